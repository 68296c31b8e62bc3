// Several processes run random workflows through the core on one database
// for a while, each logging every write it was told succeeded. Afterwards
// the file must be whole, every deadline must name a sheet and client that
// exist, every series must lie in one sheet numbered 1..n in date order,
// every refusal must be one the program means, and every acknowledged write
// must still be there unless a logged action that may have come after it
// (of any process: delete, purge, undo, sheet deletion, restore...) undid it.
//
// Short by default. By hand: VELTO_STRESS_PROCS, VELTO_STRESS_SECONDS,
// VELTO_STRESS_SEED, VELTO_STRESS_ONLY (a comma list of operations, to aim
// at one race) and VELTO_STRESS_DATABASE (a connection string for another
// engine; the steps on the file itself - integrity check, backups, restore -
// run only when it names a file); VELTO_STRESS_KEEP=folder keeps the logs
// and files of the run there.
// With VELTO_STRESS_MAY_FAIL set, a broken invariant is reported and the
// test skipped: the faults it finds are known and not yet mended.
//
// The test binary plays each worker itself when started with --stress-worker.

#include "app/backups.h"
#include "app/mainmod.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "data/rowimages.h"
#include "deadlines/clients.h"
#include "deadlines/datasheets.h"
#include "deadlines/deadlinestore.h"
#include "deadlines/purge.h"
#include "deadlines/series.h"
#include "deadlines/undohistory.h"
#include "selfprocess.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QThread>

#include <chrono>

using namespace velto;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kDefaultSeconds = 10; // the sanitizers slow every step down
#else
constexpr int kDefaultSeconds = 20;
#endif
constexpr const char *kTables[kRecordTableCount][2] = {{"Transactions", "TrRowId"}, {"Accounts", "AcId"}, {"Dbs", "DbId"}};
// What a write is checked by; series numbers are checked per series instead.
const QStringList kStateFields[kRecordTableCount] = {
    {"TrDbId", "TrType", "TrDone", "TrDate", "TrDescription", "TrAcId", "TrValue"}, {"AcName", "AcNotes"}, {"DbName"}};
const QString kAbsent = QStringLiteral("-");
using Entity = QPair<int, qint64>;                // table, key
using Snapshot = QHash<Entity, QString>;          // state of every row

qint64 nowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

int envInt(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

QString fileConnection(const QString &path) { return QStringLiteral("Data Source=") + path; }

// A row as the checks compare it; done is 0 or 1 whatever the engine stored.
QString stateOf(int table, const RowImages &images, qint64 key, int doneOverride = -1)
{
    const auto row = images.rows.constFind(key);
    if (row == images.rows.cend())
        return kAbsent;
    QStringList parts;
    for (const QString &f : kStateFields[table]) {
        const QVariant v = row->value(images.columns.indexOf(f));
        parts << (f == u"TrDone" ? QString::number(doneOverride >= 0 ? doneOverride : int(v.toLongLong() != 0)) : v.toString());
    }
    return u'+' + parts.join(u'\x1f');
}

Status snapshot(const QString &connectionString, Snapshot *out)
{
    Connection cn;
    Status st = cn.open(connectionString);
    for (int t = 0; st && t < kRecordTableCount; ++t) {
        RowImages images{QLatin1String(kTables[t][0]), QLatin1String(kTables[t][1]), {}, {}};
        st = readRowImages(cn, QStringLiteral("SELECT * FROM ") + images.table, &images);
        for (auto it = images.rows.cbegin(); st && it != images.rows.cend(); ++it)
            out->insert({t, it.key()}, stateOf(t, images, it.key()));
    }
    return st;
}

QString refusalKind(const Status &st)
{
    if (isBusy(st))
        return QStringLiteral("busy");
    switch (st.code()) {
    case kErrorChangedMeanwhile: case kErrorNoRowUpdated: return QStringLiteral("changed meanwhile");
    case kErrorInUse: return QStringLiteral("in use");
    case kErrorMissing: return QStringLiteral("missing");
    case kErrorInvalidEntry: return QStringLiteral("invalid");
    default: return QString();
    }
}

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    for (QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    return files;
}

// ------------------------------------------------------------------ worker

class Worker
{
public:
    Worker(const QString &connectionString, int index, quint32 seed, qint64 endUs, const QString &runFolder)
        : m_cs(connectionString), m_index(index), m_rng(seed + 7919u * quint32(index)), m_end(endUs), m_run(runFolder),
          m_log(QStringLiteral("%1/log-%2.jsonl").arg(runFolder).arg(index))
    {
        m_fileEngine = QFileInfo::exists(Connection::dataSourceOf(connectionString));
        setBackupFolder(QStringLiteral("%1/backups-%2").arg(runFolder).arg(index));
    }

    int run()
    {
        if (!m_log.open(QIODevice::WriteOnly | QIODevice::Append))
            return 2;
        const QStringList only = qEnvironmentVariable("VELTO_STRESS_ONLY").split(u',', Qt::SkipEmptyParts);
        int total = 0;
        for (const Op &op : kOps)
            total += only.isEmpty() || only.contains(QLatin1String(op.name)) ? op.weight : 0;
        const qint64 start = nowUs();
        // The first worker takes two backups and puts them back later while
        // the others go on: first one of the layout before series had
        // numbers, then the other, so the last part of the run works on the
        // current layout again.
        const double phases[] = {0.2, 0.3, 0.5, 0.6};
        int phase = 0;
        while (nowUs() < m_end) {
            if (m_index == 0 && m_fileEngine && phase < 4 && nowUs() > start + qint64(phases[phase] * (m_end - start))) {
                phase < 2 ? keepBackup(phase) : restore(3 - phase);
                ++phase;
                continue;
            }
            int r = total > 0 ? int(m_rng.bounded(total)) : 0;
            for (const Op &op : kOps) {
                if (!only.isEmpty() && !only.contains(QLatin1String(op.name)))
                    continue;
                if ((r -= op.weight) < 0) {
                    (this->*op.run)(QLatin1String(op.name));
                    break;
                }
            }
        }
        QJsonObject counts{{"k", "counts"}, {"other", QJsonArray::fromStringList(m_other)}};
        for (const auto &[key, map] : {std::pair{"ops", &m_ops}, std::pair{"refused", &m_refused}}) {
            QJsonObject o;
            for (auto it = map->cbegin(); it != map->cend(); ++it)
                o[it.key()] = it.value();
            counts[QLatin1String(key)] = o;
        }
        write(counts);
        return 0;
    }

private:
    struct Op {
        const char *name;
        int weight;
        void (Worker::*run)(const QString &);
    };
    static const Op kOps[19];
    static inline const RecordedChange kNoWrite{};

    void write(const QJsonObject &line)
    {
        m_log.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
        m_log.flush();
    }

    // Counts the outcome; a write that succeeded is logged with every row it
    // touched as it left it (as the step put them, for undo and redo).
    void outcome(const QString &kind, qint64 start, const Status &st, const RecordedChange *change = nullptr,
                 bool back = false, qint64 toggled = 0, int done = -1)
    {
        ++m_ops[kind];
        if (!st) {
            const QString refusal = refusalKind(st);
            ++m_refused[refusal.isEmpty() ? QStringLiteral("other") : refusal];
            if (refusal.isEmpty() && m_other.size() < 20)
                m_other << kind + QStringLiteral(": ") + QString::number(st.code()) + u' ' + st.message();
            return;
        }
        // The write just recorded; one that changed nothing records nothing.
        if (!change)
            change = m_history.undoCount() > m_undoCount ? m_history.nextUndo() : &kNoWrite;
        QJsonArray effects;
        for (int t = 0; change && t < kRecordTableCount; ++t) {
            const TableChange &tc = change->tables[t];
            for (const qint64 key : tc.keys())
                effects.append(QJsonArray{t, key, stateOf(t, back ? tc.before : tc.after, key,
                                                          t == 0 && key == toggled ? done : -1)});
        }
        write({{"k", kind}, {"s", start}, {"a", nowUs()}, {"p", m_index}, {"e", effects}});
    }

    qint64 begin()
    {
        m_undoCount = m_history.undoCount();
        return nowUs();
    }

    // Keys (and series) of the current sheet, as its grid lists them.
    QList<QPair<qint64, qint64>> rows(const QString &where = QStringLiteral("True"))
    {
        QList<QPair<qint64, qint64>> out;
        Recordset rs;
        if (rs.open(QStringLiteral("SELECT TrRowId, TrGrpId FROM Transactions WHERE TrDbId=%1 AND %2").arg(m_sheet).arg(where),
                    m_cs, CursorType::Static))
            for (; !rs.eof(); rs.moveNext())
                out.append({rs.intValue(0), rs.intValue(1)});
        return out;
    }
    template <typename T> const T *pick(const QList<T> &from)
    {
        return from.isEmpty() ? nullptr : &from[m_rng.bounded(int(from.size()))];
    }
    Deadline loaded(const QString &where = QStringLiteral("True"))
    {
        Deadline d;
        const auto list = rows(where);
        if (const auto *row = pick(list); !row || !loadDeadline(m_cs, row->first, &d))
            d.rowId = 0;
        return d;
    }
    qint64 anyClient()
    {
        QList<Client> clients;
        listClients(m_cs, &clients);
        const Client *c = pick(clients);
        return c && m_rng.bounded(2) ? c->id : 0;
    }
    int anySheet()
    {
        QList<DataSheet> sheets;
        listDataSheets(m_cs, &sheets);
        const DataSheet *s = pick(sheets);
        return s ? s->id : 0;
    }
    QString name(const char *what) { return QStringLiteral("%1 p%2 n%3").arg(QLatin1String(what)).arg(m_index).arg(++m_serial); }
    Currency amount() { return Currency::fromUnits(qint64(m_rng.bounded(1, 100000)) * 100); }

    void newDeadline(const QString &kind)
    {
        const bool series = kind == u"newSeries";
        const DeadlineEntry e{kDeadlineTypes[m_rng.bounded(3)], name(series ? "series" : "single"), anyClient(), amount(),
                              series, QDate(2027, 1, 1).addDays(m_rng.bounded(365)), 2 + int(m_rng.bounded(5)),
                              Cadence(m_rng.bounded(kCadenceCount))};
        const qint64 start = begin();
        outcome(kind, start, InsertDeadlines(m_cs, m_sheet, e, nullptr, &m_history));
    }
    void join(const QString &kind)
    {
        const Deadline d = loaded(QStringLiteral("TrGrpId>0"));
        if (!d.rowId)
            return;
        DeadlineEntry e{d.type, d.description, d.accountId, d.value, false, d.date.addDays(m_rng.bounded(-60, 60))};
        e.addToGroupId = d.groupId;
        const qint64 start = begin();
        outcome(kind, start, InsertDeadlines(m_cs, m_sheet, e, nullptr, &m_history));
    }
    // Load, then save: what an edit window does. Members keep their
    // description, so every series holds one.
    void edit(const QString &kind)
    {
        const Deadline asLoaded = loaded();
        if (!asLoaded.rowId)
            return;
        Deadline edited = asLoaded;
        edited.value = amount();
        if (!asLoaded.isSeriesMember())
            edited.description = name("edited");
        const qint64 start = begin();
        outcome(kind, start, saveDeadline(m_cs, edited, asLoaded, &m_history));
    }
    // Space on a row: the user means the opposite of what the grid showed
    // a moment ago. Users of one book look at the same rows: the first due.
    void closeOrReopen(const QString &kind)
    {
        const Deadline shown = loaded(
            QStringLiteral("TrRowId IN (SELECT TrRowId FROM Transactions WHERE TrDbId=%1 ORDER BY TrDate LIMIT 3)").arg(m_sheet));
        if (!shown.rowId)
            return;
        QThread::msleep(m_rng.bounded(50));
        const qint64 start = begin();
        outcome(kind, start, toggleDone(m_cs, shown.rowId, &m_history), nullptr, false, shown.rowId, shown.done ? 0 : 1);
    }
    void deleteOne(const QString &kind)
    {
        const auto list = rows();
        const auto *row = pick(list);
        if (!row)
            return;
        const qint64 start = begin();
        outcome(kind, start, row->second ? deleteSeriesMember(m_cs, row->first, &m_history)
                                         : deleteDeadline(m_cs, row->first, &m_history));
    }
    void deleteWholeSeries(const QString &kind)
    {
        const auto list = rows(QStringLiteral("TrGrpId>0"));
        if (const auto *row = pick(list)) {
            const qint64 start = begin();
            outcome(kind, start, deleteSeries(m_cs, row->second, &m_history));
        }
    }
    void purge(const QString &kind)
    {
        qint64 deleted = 0;
        const qint64 start = begin();
        outcome(kind, start, purgeClosedUpTo(m_cs, m_sheet, QDate(2027, 1, 1).addDays(m_rng.bounded(365)), &deleted, &m_history));
    }
    void undoRedo(const QString &kind)
    {
        const bool back = kind != u"redo";
        const RecordedChange *next = back ? m_history.nextUndo() : m_history.nextRedo();
        if (!next)
            return;
        const RecordedChange change = *next;
        const qint64 start = nowUs();
        const Status st = back ? m_history.undo(m_cs, m_sheet) : m_history.redo(m_cs, m_sheet);
        outcome(back ? QStringLiteral("undo") : QStringLiteral("redo"), start, st, &change, back);
        // Taken back and made again a moment later, while the others go on.
        if (st && kind == u"undoThenRedo") {
            QThread::msleep(m_rng.bounded(200));
            undoRedo(QStringLiteral("redo"));
        }
    }
    void sheets(const QString &kind)
    {
        const qint64 start = begin();
        if (kind == u"newSheet") {
            int id = 0;
            outcome(kind, start, createDataSheet(m_cs, name("sheet"), &id, &m_history));
            if (id && m_rng.bounded(2))
                m_sheet = id;
        } else if (const int id = anySheet(); id && kind == u"renameSheet") {
            outcome(kind, start, renameDataSheet(m_cs, id, name("sheet"), &m_history));
        } else if (id && kind == u"deleteSheet") {
            outcome(kind, start, deleteDataSheet(m_cs, id, m_sheet, &m_history));
        } else if (id) {
            m_sheet = id; // another sheet chosen: no write
            ++m_ops[kind];
        }
    }
    void clients(const QString &kind)
    {
        const qint64 start = begin();
        Client c{0, name("client"), QStringLiteral("notes")}, asLoaded;
        if (kind == u"newClient") {
            outcome(kind, start, createClient(m_cs, c, &c.id, &m_history));
        } else if (const qint64 id = anyClient(); id && kind == u"renameClient" && loadClient(m_cs, id, &asLoaded)) {
            c.id = id;
            outcome(kind, start, saveClient(m_cs, c, asLoaded, &m_history));
        } else if (id && kind == u"deleteClient") {
            outcome(kind, start, deleteClient(m_cs, id, &m_history));
        }
    }
    void backup(const QString &kind) { outcome(kind, nowUs(), m_fileEngine ? makeBackup(m_cs) : Status(), &kNoWrite); }

    QString restoreSource(int k) const { return QStringLiteral("%1/restore-%2.mdb").arg(m_run).arg(k); }
    // A backup to put back later; the second as a file of the older layout,
    // as start-up's daily backup of a database not yet upgraded is.
    void keepBackup(int k)
    {
        QString made;
        Status st = makeBackup(m_cs, &made);
        if (st && !QFile::copy(made, restoreSource(k)))
            st = Status::failure(kErrorBackupFailed, QStringLiteral("cannot copy ") + made);
        for (const char *old : {"DROP INDEX TrGrpId", "ALTER TABLE Transactions DROP COLUMN TrGrpId"})
            if (st && k == 1)
                st = Connection::executeAlone(fileConnection(restoreSource(k)), QLatin1String(old));
        outcome(QStringLiteral("keepBackup"), nowUs(), st, &kNoWrite);
    }
    // The copy of the replaced database the restore keeps is found as the
    // one new file in this worker's backup folder, and kept aside.
    void restore(int k)
    {
        const QStringList before = filesUnder(backupFolder());
        const qint64 start = nowUs();
        const Status st = restoreBackup(m_cs, restoreSource(k));
        const qint64 ack = nowUs();
        QStringList made = filesUnder(backupFolder());
        for (const QString &f : before)
            made.removeAll(f);
        const QString kept = QStringLiteral("%1/kept-%2.mdb").arg(m_run).arg(k);
        if (!st)
            return outcome(QStringLiteral("restore"), start, st);
        ++m_ops[QStringLiteral("restore")];
        write({{"k", "restore"}, {"s", start}, {"a", ack}, {"p", m_index}, {"b", restoreSource(k)},
               {"c", made.size() == 1 && QFile::copy(made[0], kept) ? kept : QString()}});
        m_history.clear(); // as the program does after a restore
        m_sheet = kFallbackSheetId;
    }

    QString m_cs;
    int m_index;
    QRandomGenerator m_rng;
    qint64 m_end;
    QString m_run;
    QFile m_log;
    bool m_fileEngine = true;
    UndoHistory m_history;
    int m_sheet = kFallbackSheetId;
    int m_serial = 0;
    int m_undoCount = 0;
    QMap<QString, int> m_ops, m_refused;
    QStringList m_other;
};

const Worker::Op Worker::kOps[19] = {
    {"newSingle", 12, &Worker::newDeadline}, {"newSeries", 12, &Worker::newDeadline}, {"join", 6, &Worker::join},
    {"edit", 10, &Worker::edit}, {"closeOrReopen", 12, &Worker::closeOrReopen}, {"delete", 6, &Worker::deleteOne},
    {"deleteSeries", 3, &Worker::deleteWholeSeries}, {"purge", 2, &Worker::purge}, {"undo", 7, &Worker::undoRedo},
    {"redo", 4, &Worker::undoRedo},
    {"undoThenRedo", 5, &Worker::undoRedo}, {"newSheet", 2, &Worker::sheets}, {"renameSheet", 2, &Worker::sheets},
    {"deleteSheet", 2, &Worker::sheets}, {"switchSheet", 4, &Worker::sheets}, {"newClient", 3, &Worker::clients},
    {"renameClient", 2, &Worker::clients}, {"deleteClient", 2, &Worker::clients}, {"backup", 1, &Worker::backup},
};

int runWorker(char **args)
{
    setWritePauseMs(0);
    app().ConnectionString = QString::fromLocal8Bit(args[0]);
    return Worker(app().ConnectionString, atoi(args[1]), quint32(strtoul(args[2], nullptr, 10)), strtoll(args[3], nullptr, 10),
                  QString::fromLocal8Bit(args[4])).run();
}

// ----------------------------------------------------------------- checker

struct Action {
    QString kind;
    qint64 start = 0, ack = 0;
    QString backup, kept; // restore only
};
struct Effect {
    int action;
    Entity entity;
    QString state;
};

class Checker
{
public:
    void read(const QString &logPath)
    {
        QFile f(logPath);
        if (!f.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("worker log"), logPath + QStringLiteral(" missing"));
        while (!f.atEnd()) {
            const QJsonObject o = QJsonDocument::fromJson(f.readLine()).object();
            const QString kind = o[u"k"].toString();
            if (kind == u"counts") {
                for (const char *key : {"ops", "refused"}) {
                    const QJsonObject counts = o[QLatin1String(key)].toObject();
                    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
                        m_counts[QLatin1String(key)][it.key()] += it.value().toInt();
                }
                for (const auto v : o[u"other"].toArray())
                    fail(QStringLiteral("every failure is a refusal the program means"), v.toString());
                continue;
            }
            const int index = int(m_actions.size());
            m_actions.append({kind, o[u"s"].toInteger(), o[u"a"].toInteger(), o[u"b"].toString(), o[u"c"].toString()});
            if (kind == u"restore")
                m_restores.append(index);
            for (const auto e : o[u"e"].toArray()) {
                const QJsonArray a = e.toArray();
                m_effects.append({index, {a[0].toInt(), a[1].toInteger()}, a[2].toString()});
            }
        }
    }

    void check(const QString &cs, bool fileEngine)
    {
        Recordset rs;
        const auto firstText = [&](const QString &statement) {
            return rs.open(statement, cs, CursorType::Static) && !rs.eof() ? rs.value(0).toString() : QStringLiteral("(failed)");
        };
        if (fileEngine && firstText(QStringLiteral("PRAGMA integrity_check")) != u"ok")
            fail(QStringLiteral("integrity_check"), firstText(QStringLiteral("PRAGMA integrity_check")));
        for (const char *table : {"Transactions", "Accounts", "Dbs"}) {
            QStringList now, built;
            const QString info = QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(table));
            for (auto [list, from] : {std::pair{&now, cs}, std::pair{&built, fileConnection(test::builtTemplatePath())}})
                if (rs.open(info, from, CursorType::Static))
                    for (; !rs.eof(); rs.moveNext())
                        list->append(rs.textValue(1));
            std::sort(now.begin(), now.end());
            std::sort(built.begin(), built.end());
            if (now != built)
                fail(QStringLiteral("the database has the current layout"), QLatin1String(table) + u' ' + now.join(u','));
        }
        if (rs.open(QStringLiteral("SELECT TrRowId, TrDbId, TrAcId FROM Transactions WHERE TrDbId NOT IN (SELECT DbId FROM Dbs)"
                                   " OR (TrAcId<>0 AND TrAcId NOT IN (SELECT AcId FROM Accounts))"), cs, CursorType::Static))
            for (; !rs.eof(); rs.moveNext())
                fail(QStringLiteral("no deadline names a missing sheet or client"),
                     QStringLiteral("deadline %1 sheet %2 client %3").arg(rs.intValue(0)).arg(rs.intValue(1)).arg(rs.intValue(2)));
        checkSeries(cs);
        checkWrites(cs);
    }

    void fail(const QString &invariant, const QString &example)
    {
        if (m_failures[invariant].size() < 6)
            m_failures[invariant] << example;
        ++m_failureCounts[invariant];
    }
    [[nodiscard]] bool failed() const { return !m_failures.isEmpty(); }
    [[nodiscard]] QString report() const
    {
        QString text;
        for (auto it = m_counts.cbegin(); it != m_counts.cend(); ++it) {
            text += u'\n' + it.key() + u':';
            for (auto c = it->cbegin(); c != it->cend(); ++c)
                text += QStringLiteral(" %1 %2,").arg(c.key()).arg(c.value());
        }
        text += QStringLiteral("\n%1 acknowledged writes logged, %2 rows touched, %3 restores")
                    .arg(m_actions.size() - m_restores.size()).arg(m_effects.size()).arg(m_restores.size());
        for (auto it = m_failures.cbegin(); it != m_failures.cend(); ++it)
            text += QStringLiteral("\nBROKEN (%1 times): %2\n    ").arg(m_failureCounts[it.key()]).arg(it.key())
                  + it->join(QStringLiteral("\n    "));
        return text;
    }

private:
    void checkSeries(const QString &cs)
    {
        Recordset rs;
        if (!rs.open(QStringLiteral("SELECT TrGrpId, TrDbId, TrGrpRow, TrGrpMDay, TrDate, TrDescription FROM Transactions "
                                    "WHERE TrGrpId>0 ORDER BY TrGrpId, TrGrpRow, TrDate"), cs, CursorType::Static))
            return fail(QStringLiteral("every series lies in one sheet, numbered 1..n in date order, of one entry"),
                        QStringLiteral("cannot read the series"));
        struct Row { qint64 sheet, row, count; QDate date; QString description; };
        QMap<qint64, QList<Row>> groups;
        for (; !rs.eof(); rs.moveNext())
            groups[rs.intValue(0)].append({rs.intValue(1), rs.intValue(2), rs.intValue(3), rs.dateValue(4), rs.textValue(5)});
        for (auto it = groups.cbegin(); it != groups.cend(); ++it) {
            const QList<Row> &g = *it;
            bool ok = true;
            QStringList shown;
            for (qsizetype k = 0; k < g.size(); ++k) {
                // Ties of date may be numbered either way. A purge removes
                // closed members without renumbering the rest, so numbers
                // may be missing, never doubled.
                ok = ok && g[k].sheet == g[0].sheet && g[k].row >= k + 1 && g[k].row <= g[k].count
                     && g[k].count == g[0].count && (k == 0 || (g[k - 1].row < g[k].row && g[k - 1].date <= g[k].date))
                     && g[k].description == g[0].description;
                shown << QStringLiteral("%1 %2/%3 %4 sheet %5").arg(g[k].description).arg(g[k].row).arg(g[k].count)
                             .arg(g[k].date.toString(Qt::ISODate)).arg(g[k].sheet);
            }
            if (!ok)
                fail(QStringLiteral("every series lies in one sheet, numbered 1..n in date order, of one entry"),
                     QStringLiteral("series %1: ").arg(it.key()) + shown.join(QStringLiteral("; ")));
        }
    }

    // The state a snapshot holds is explained for effect p by p itself, by
    // any logged write on the same row that may have come after p (and
    // before `until`), or by a restore that may have come after p: it put
    // its backup's row there, and the copy it kept of the file it replaced
    // must in turn be explained.
    const Snapshot &snap(const QString &path) const
    {
        static const Snapshot none;
        const auto it = m_snapshots.constFind(path);
        return it == m_snapshots.cend() ? none : *it;
    }
    bool explained(const Effect &p, const Snapshot &snap, qint64 until, qsizetype restoresBefore) const
    {
        const QString have = snap.value(p.entity, kAbsent);
        const qint64 from = m_actions[p.action].start;
        for (const Effect *e : m_byEntity[p.entity])
            if ((e == &p || (m_actions[e->action].ack >= from && m_actions[e->action].start <= until)) && e->state == have)
                return true;
        for (qsizetype r = 0; r < restoresBefore; ++r) {
            const Action &x = m_actions[m_restores[r]];
            if (x.ack >= from && x.start <= until && this->snap(x.backup).value(p.entity, kAbsent) == have
                && explained(p, this->snap(x.kept), x.ack, r))
                return true;
        }
        return false;
    }

    void checkWrites(const QString &cs)
    {
        for (const Effect &e : m_effects)
            m_byEntity[e.entity].append(&e);
        const QString kFinal = QStringLiteral("final");
        Status st = snapshot(cs, &m_snapshots[kFinal]);
        for (const int r : m_restores) {
            for (const QString &path : {m_actions[r].backup, m_actions[r].kept})
                if (st && !m_snapshots.contains(path))
                    st = snapshot(fileConnection(path), &m_snapshots[path]);
            if (m_actions[r].kept.isEmpty())
                fail(QStringLiteral("a restore keeps the database it replaces"), QStringLiteral("no new backup found"));
        }
        if (!st)
            return fail(QStringLiteral("acknowledged writes"), QStringLiteral("cannot read: ") + st.message());
        static const char *const names[] = {"deadline", "client", "sheet"};
        for (const Effect &e : m_effects) {
            if (explained(e, m_snapshots[kFinal], std::numeric_limits<qint64>::max(), m_restores.size()))
                continue;
            const Action &a = m_actions[e.action];
            QString restores;
            for (const int r : m_restores)
                if (m_actions[r].ack >= a.start)
                    restores += m_actions[r].start < a.ack ? QStringLiteral(" - during a restore")
                                                           : QStringLiteral(" - %1 ms before a restore").arg((m_actions[r].start - a.ack) / 1000);
            fail(QStringLiteral("no acknowledged write is missing unless a later action removed it"),
                 QStringLiteral("%1 %2 %3: '%4' now '%5'%6").arg(a.kind, QLatin1String(names[e.entity.first])).arg(e.entity.second)
                     .arg(QString(e.state).replace(u'\x1f', u'|'), m_snapshots[kFinal].value(e.entity, kAbsent).replace(u'\x1f', u'|'), restores));
        }
    }

    QList<Action> m_actions;
    QList<int> m_restores;
    QList<Effect> m_effects;
    QHash<Entity, QList<const Effect *>> m_byEntity;
    QHash<QString, Snapshot> m_snapshots;
    QMap<QString, QMap<QString, int>> m_counts;
    QMap<QString, QStringList> m_failures;
    QMap<QString, int> m_failureCounts;
};

} // namespace

class tst_Stress : public QObject
{
    Q_OBJECT

private slots:
    void everyWorkflowHoldsWhenProcessesShareTheFile()
    {
        const int procs = envInt("VELTO_STRESS_PROCS", 4);
        const int seconds = envInt("VELTO_STRESS_SECONDS", kDefaultSeconds);
        const quint32 seed = quint32(envInt("VELTO_STRESS_SEED", int(QRandomGenerator::global()->bounded(1000000))));
        test::Sandbox box;
        QString cs = qEnvironmentVariable("VELTO_STRESS_DATABASE");
        if (cs.isEmpty()) {
            QVERIFY(box.createDatabase());
            cs = app().ConnectionString;
        }
        const bool fileEngine = QFileInfo::exists(Connection::dataSourceOf(cs));
        qInfo("%d processes x %d s, seed %u (VELTO_STRESS_SEED)", procs, seconds, seed);

        const qint64 end = nowUs() + seconds * qint64(1000000);
        std::vector<std::unique_ptr<QProcess>> workers;
        for (int k = 0; k < procs; ++k) {
            workers.push_back(std::make_unique<QProcess>());
            workers.back()->setProcessChannelMode(QProcess::ForwardedChannels);
            workers.back()->start(QCoreApplication::applicationFilePath(),
                                  {QStringLiteral("--stress-worker"), cs, QString::number(k), QString::number(seed),
                                   QString::number(end), box.path()});
        }
        Checker checker;
        for (int k = 0; k < procs; ++k) {
            QProcess &w = *workers[k];
            if (!w.waitForFinished(seconds * 1000 + 120000) || w.exitStatus() != QProcess::NormalExit || w.exitCode() != 0)
                checker.fail(QStringLiteral("every worker ends normally"), QStringLiteral("worker %1: %2").arg(k).arg(w.exitCode()));
            checker.read(QStringLiteral("%1/log-%2.jsonl").arg(box.path()).arg(k));
        }
        checker.check(cs, fileEngine);
        if (const QString keep = qEnvironmentVariable("VELTO_STRESS_KEEP"); !keep.isEmpty())
            QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), box.path(), keep});
        const QString report = QStringLiteral("seed %1, %2 processes x %3 s").arg(seed).arg(procs).arg(seconds) + checker.report();
        qInfo("%s", qPrintable(report));
        if (checker.failed() && qEnvironmentVariableIsSet("VELTO_STRESS_MAY_FAIL"))
            QSKIP("invariants broken by known faults of processes sharing the file (reported above)");
        QVERIFY2(!checker.failed(), qPrintable(report));
    }
};

VELTO_TEST_MAIN_WITH_ROLE(tst_Stress, "--stress-worker", 5, runWorker)

#include "tst_stress.moc"
