// Several processes run random workflows through the core on one database,
// each logging every write it was told succeeded with the rows it left.
// Then: the file is whole; no deadline names a missing sheet or client;
// every series lies in one sheet, in date order, with no number twice; every
// failure was a refusal the program means; and every acknowledged write is
// there, in each backup taken after it and at the end, unless a logged action
// that may have come after it (of any process: delete, purge, undo, sheet
// deletion, restore...) undid it. A restore puts its backup's rows back; a
// write it undid must be in the copy it kept of the file it replaced.
// On a server (VELTO_TEST_ENGINE=server) the workers share one server
// database; steps on the file itself, backups and restores, run only on a file.
// By hand: VELTO_STRESS_PROCS, _SECONDS, _SEED, _ONLY (operations, comma
// separated), _KEEP (a folder for the run's files) and _DATABASE (a
// connection string of a database to use instead of the sandbox's).

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
#include <QSet>
#include <QThread>

#include <algorithm>
#include <chrono>

using namespace velto;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kDefaultSeconds = 10; // the sanitizers slow every step down
#else
constexpr int kDefaultSeconds = 20;
#endif
const char *const kTables[kRecordTableCount][2] = {{"Transactions", "TrRowId"}, {"Accounts", "AcId"}, {"Dbs", "DbId"}};
// What a write is checked by; series numbers are checked per series.
const QStringList kFields[kRecordTableCount] = {
    {"TrDbId", "TrType", "TrDone", "TrDate", "TrDescription", "TrAcId", "TrValue"}, {"AcName", "AcNotes"}, {"DbName"}};
const QString kAbsent = QStringLiteral("-");
const RecordedChange kNoWrite;
using Entity = QPair<int, qint64>; // table, key
using Snapshot = QHash<Entity, QString>;

qint64 nowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
QString fileConnection(const QString &path)
{
    return QStringLiteral("Data Source=") + path;
}

// A row as the checks compare it; done is 0 or 1 whatever the engine stored.
QString stateOf(int table, const RowImages &images, qint64 key, int done = -1)
{
    const auto row = images.rows.constFind(key);
    if (row == images.rows.cend())
        return kAbsent;
    QStringList parts;
    for (const QString &f : kFields[table]) {
        // A server names its columns in lower case.
        const auto column = std::find_if(images.columns.cbegin(), images.columns.cend(),
                                         [&](const QString &c) { return c.compare(f, Qt::CaseInsensitive) == 0; });
        const QVariant v = row->value(column - images.columns.cbegin());
        parts << (f == u"TrDone" ? QString::number(done >= 0 ? done : int(v.toLongLong() != 0)) : v.toString());
    }
    return u'+' + parts.join(u'|');
}

Status snapshot(const QString &connectionString, Snapshot *out)
{
    Connection cn;
    Status st = cn.open(connectionString);
    for (int t = 0; st && t < kRecordTableCount; ++t) {
        RowImages images{QLatin1String(kTables[t][0]), QLatin1String(kTables[t][1]), {}, {}};
        st = readRowImages(cn, QStringLiteral("SELECT * FROM ") + images.table, &images);
        for (auto it = images.rows.cbegin(); it != images.rows.cend(); ++it)
            out->insert({t, it.key()}, stateOf(t, images, it.key()));
    }
    return st;
}

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    for (QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    return files;
}

// ------------------------------------------------------------------ worker

const QList<QPair<QString, int>> kOps = {
    {"newSingle", 12},   {"newSeries", 12},   {"join", 6},         {"edit", 10},       {"closeOrReopen", 12},
    {"delete", 6},       {"deleteSeries", 3}, {"purge", 2},        {"undo", 7},        {"redo", 4},
    {"undoThenRedo", 5}, {"newSheet", 2},     {"renameSheet", 2},  {"deleteSheet", 2}, {"switchSheet", 4},
    {"newClient", 3},    {"renameClient", 2}, {"deleteClient", 2}, {"backup", 3}};

class Worker
{
public:
    Worker(char **args)
        : m_cs(QString::fromLocal8Bit(args[0]))
        , m_index(atoi(args[1]))
        , m_rng(quint32(atoll(args[2]) + 7919 * m_index))
        , m_end(atoll(args[3]))
        , m_run(QString::fromLocal8Bit(args[4]))
        , m_log(QStringLiteral("%1/log-%2").arg(m_run).arg(m_index))
    {
        setWritePauseMs(0);
        setBackupFolder(QStringLiteral("%1/backups-%2").arg(m_run).arg(m_index));
    }

    int run()
    {
        const QStringList only = qEnvironmentVariable("VELTO_STRESS_ONLY").split(u',', Qt::SkipEmptyParts);
        QStringList deck; // each operation as often as its weight
        for (const auto &[op, weight] : kOps)
            for (int k = 0; k < weight && (only.isEmpty() || only.contains(op)); ++k)
                deck << op;
        if (!m_log.open(QIODevice::WriteOnly) || deck.isEmpty())
            return 2;
        // The first worker keeps two backups and puts them back while the
        // others go on: first the one of the layout before series had
        // numbers (as start-up's daily backup can be), then the other, twice.
        const bool file = QFileInfo::exists(Connection::dataSourceOf(m_cs));
        const qint64 start = m_start = nowUs();
        int phase = m_index == 0 && file ? 0 : 5;
        while (nowUs() < m_end) {
            if (phase < 5 && nowUs() > start + qint64((0.2 + phase * 0.1 + (phase > 1) * 0.1) * (m_end - start)))
                phase < 2 ? keepBackup(phase++) : restore(phase++ == 2);
            else
                step(deck[m_rng.bounded(int(deck.size()))]);
        }
        write({{"k", "counts"}, {"c", m_counts}});
        return 0;
    }

private:
    void write(const QJsonObject &line)
    {
        m_log.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
        m_log.flush();
    }

    // Counts the outcome. A write that succeeded is logged with every row
    // it touched as it left them (as the step put them, for undo and redo).
    void outcome(const QString &op, qint64 start, const Status &st, const RecordedChange *change = nullptr,
                 bool back = false, qint64 toggled = 0, int done = -1)
    {
        count(op);
        if (!st) {
            const int code = isBusy(st) ? 0 : st.code();
            const QString kind = !code           ? QStringLiteral("busy")
                : code == kErrorChangedMeanwhile ? QStringLiteral("changed meanwhile")
                : code == kErrorInUse            ? QStringLiteral("in use")
                : code == kErrorMissing          ? QStringLiteral("missing")
                : code == kErrorInvalidEntry     ? QStringLiteral("invalid")
                                                 : QStringLiteral("other");
            count(QStringLiteral("refused: ") + kind);
            if (kind == u"other")
                write({{"k", "other"}, {"m", QStringLiteral("%1: %2 %3").arg(op).arg(st.code()).arg(st.message())}});
            return;
        }
        // A write that changed nothing records nothing.
        if (!change)
            change = m_history.undoCount() > m_undoCount ? m_history.nextUndo() : &kNoWrite;
        QJsonArray rows;
        for (int t = 0; t < kRecordTableCount; ++t) {
            const TableChange &tc = change->tables[t];
            for (const qint64 key : tc.keys())
                rows.append(QJsonArray{
                    t, key, stateOf(t, back ? tc.before : tc.after, key, t == 0 && key == toggled ? done : -1)});
        }
        write({{"k", op}, {"s", start}, {"a", nowUs()}, {"e", rows}});
    }

    // Rows of the current sheet as its grid lists them: key and series.
    QList<QPair<qint64, qint64>> rows(const QString &where = QStringLiteral("True"))
    {
        QList<QPair<qint64, qint64>> out;
        Recordset rs;
        if (rs.open(QStringLiteral("SELECT TrRowId, TrGrpId FROM Transactions WHERE TrDbId=%1 AND %2")
                        .arg(m_sheet)
                        .arg(where),
                    m_cs))
            for (; !rs.eof(); rs.moveNext())
                out.append({rs.intValue(0), rs.intValue(1)});
        return out;
    }
    template<typename T>
    T pick(const QList<T> &from)
    {
        return from.isEmpty() ? T() : from[m_rng.bounded(int(from.size()))];
    }
    Deadline loaded(const QString &where = QStringLiteral("True"))
    {
        Deadline d;
        const qint64 key = pick(rows(where)).first;
        d.rowId = key && loadDeadline(m_cs, key, &d) ? d.rowId : 0;
        return d;
    }
    QString name(const char *what)
    {
        return QStringLiteral("%1 p%2 n%3").arg(QLatin1String(what)).arg(m_index).arg(++m_serial);
    }
    Currency amount() { return Currency::fromUnits(qint64(m_rng.bounded(1, 100000)) * 100); }

    void step(const QString &op)
    {
        m_undoCount = m_history.undoCount();
        const qint64 start = nowUs();
        const auto anyClient = [&] {
            QList<Client> clients;
            listClients(m_cs, &clients);
            return m_rng.bounded(2) ? pick(clients).id : 0;
        };
        const auto anySheet = [&] {
            QList<DataSheet> sheets;
            listDataSheets(m_cs, &sheets);
            return pick(sheets).id;
        };
        const QDate day = QDate(2027, 1, 1).addDays(m_rng.bounded(365));
        if (op == u"newSingle" || op == u"newSeries") {
            const DeadlineEntry e{kDeadlineTypes[m_rng.bounded(3)],
                                  name("deadline"),
                                  anyClient(),
                                  amount(),
                                  op == u"newSeries",
                                  day,
                                  2 + int(m_rng.bounded(5)),
                                  Cadence(m_rng.bounded(kCadenceCount))};
            outcome(op, start, InsertDeadlines(m_cs, m_sheet, e, nullptr, &m_history));
        } else if (op == u"join" || op == u"deleteSeries") {
            const Deadline d = loaded(QStringLiteral("TrGrpId>0"));
            const DeadlineEntry e{d.type, d.description, d.accountId, d.value, false, day, 1, {}, d.groupId};
            if (d.rowId)
                outcome(op, start,
                        op == u"join" ? InsertDeadlines(m_cs, m_sheet, e, nullptr, &m_history)
                                      : deleteSeries(m_cs, d.groupId, &m_history));
        } else if (op == u"edit" || op == u"delete") {
            // Load, then save; members keep their description.
            const Deadline asLoaded = loaded();
            Deadline edited = asLoaded;
            edited.value = amount();
            edited.description = asLoaded.isSeriesMember() ? asLoaded.description : name("edited");
            if (asLoaded.rowId)
                outcome(op, start,
                        op == u"edit"          ? saveDeadline(m_cs, edited, asLoaded, &m_history)
                            : asLoaded.groupId ? deleteSeriesMember(m_cs, asLoaded.rowId, &m_history)
                                               : deleteDeadline(m_cs, asLoaded.rowId, &m_history));
        } else if (op == u"closeOrReopen") {
            // Space: the user means the opposite of what the grid showed a
            // moment ago. Users of one book look at the same rows: the first due.
            const Deadline shown = loaded(
                QStringLiteral("TrRowId IN (SELECT TrRowId FROM Transactions WHERE TrDbId=%1 ORDER BY TrDate LIMIT 3)")
                    .arg(m_sheet));
            QThread::msleep(m_rng.bounded(50));
            if (shown.rowId)
                outcome(op, start, toggleDone(m_cs, shown.rowId, shown.done, &m_history), nullptr, false, shown.rowId,
                        !shown.done);
        } else if (op == u"purge") {
            qint64 deleted = 0;
            outcome(op, start, purgeClosedUpTo(m_cs, m_sheet, day, &deleted, &m_history));
        } else if (const bool back = op != u"redo"; (op == u"undo" || op == u"redo" || op == u"undoThenRedo")
                   && (back ? m_history.canUndo() : m_history.canRedo())) {
            const RecordedChange change = back ? *m_history.nextUndo() : *m_history.nextRedo();
            const Status st = back ? m_history.undo(m_cs, m_sheet) : m_history.redo(m_cs, m_sheet);
            outcome(back ? QStringLiteral("undo") : op, start, st, &change, back);
            // Taken back and made again a moment later, while the others go on.
            if (st && op == u"undoThenRedo")
                QThread::msleep(m_rng.bounded(200)), step(QStringLiteral("redo"));
        } else if (int id = 0; op == u"newSheet") {
            outcome(op, start, createDataSheet(m_cs, name("sheet"), &id, &m_history));
            m_sheet = id && m_rng.bounded(2) ? id : m_sheet;
        } else if (const int sheet = op.endsWith(u"Sheet") ? anySheet() : 0; op == u"renameSheet" && sheet) {
            outcome(op, start, renameDataSheet(m_cs, sheet, name("sheet"), &m_history));
        } else if (op == u"deleteSheet" && sheet) {
            outcome(op, start, deleteDataSheet(m_cs, sheet, m_sheet, &m_history));
        } else if (op == u"switchSheet" && sheet) {
            m_sheet = sheet;
        } else if (Client c{0, name("client"), QStringLiteral("notes")}, was; op == u"newClient") {
            outcome(op, start, createClient(m_cs, c, &c.id, &m_history));
        } else if (const qint64 client = op.endsWith(u"Client") ? anyClient() : 0;
                   op == u"renameClient" && client && loadClient(m_cs, client, &was)) {
            c.id = client;
            outcome(op, start, saveClient(m_cs, c, was, &m_history));
        } else if (op == u"deleteClient" && client) {
            outcome(op, start, deleteClient(m_cs, client, &m_history));
        } else if (QString made; op == u"backup" && QFileInfo::exists(Connection::dataSourceOf(m_cs))) {
            // Each backup is also a look at the file in the middle of the run.
            const Status st = makeBackup(m_cs, &made);
            const QString copy = QStringLiteral("%1/look-%2-%3.mdb").arg(m_run).arg(m_index).arg(++m_serial);
            outcome(op, start, st, &kNoWrite);
            // About 40 looks per worker, however long the run.
            if (st && start > m_nextLook && QFile::copy(made, copy)) {
                m_nextLook = start + (m_end - m_start) / 40;
                write({{"k", "look"}, {"s", start}, {"a", nowUs()}, {"c", copy}});
            }
        }
    }

    QString source(int k) const { return QStringLiteral("%1/restore-%2.mdb").arg(m_run).arg(k); }
    void keepBackup(int k)
    {
        QString made;
        Status st = makeBackup(m_cs, &made);
        if (st && !QFile::copy(made, source(k)))
            st = Status::failure(kErrorBackupFailed, made);
        for (const char *old : {"DROP INDEX TrGrpId", "ALTER TABLE Transactions DROP COLUMN TrGrpId"})
            st = st && k == 1 ? Connection::executeAlone(fileConnection(source(k)), QLatin1String(old)) : st;
        outcome(QStringLiteral("keepBackup"), nowUs(), st, &kNoWrite);
    }
    // The copy the restore keeps of the file it replaces is the one new
    // file in this worker's backup folder; it is kept aside for the check.
    void restore(int k)
    {
        const QStringList before = filesUnder(backupFolder());
        const qint64 start = nowUs();
        const Status st = restoreBackup(m_cs, source(k));
        const qint64 ack = nowUs();
        QStringList made = filesUnder(backupFolder());
        for (const QString &f : before)
            made.removeAll(f);
        const QString kept = QStringLiteral("%1/kept-%2.mdb").arg(m_run).arg(++m_serial);
        if (!st)
            return outcome(QStringLiteral("restore"), start, st);
        count(QStringLiteral("restore"));
        write({{"k", "restore"},
               {"s", start},
               {"a", ack},
               {"b", source(k)},
               {"c", made.size() == 1 && QFile::copy(made[0], kept) ? kept : ""}});
        m_history.clear(); // as the program does after a restore
        m_sheet = kFallbackSheetId;
    }

    QString m_cs;
    int m_index;
    QRandomGenerator m_rng;
    qint64 m_end;
    QString m_run;
    QFile m_log;
    UndoHistory m_history;
    int m_sheet = kFallbackSheetId, m_serial = 0, m_undoCount = 0;
    qint64 m_start = 0, m_nextLook = 0;
    QJsonObject m_counts;
    void count(const QString &what) { m_counts[what] = m_counts[what].toInt() + 1; }
};

int runWorker(char **args)
{
    return Worker(args).run();
}

// ----------------------------------------------------------------- checker

struct Action {
    QString kind;
    qint64 start = 0, ack = 0;
    QString backup, kept;
}; // backup: restores only
struct Effect {
    qsizetype action;
    Entity entity;
    QString state;
};

class Checker
{
public:
    QMap<QString, QStringList> failures;
    QMap<QString, int> counts;

    void read(const QString &logPath)
    {
        QFile f(logPath);
        if (!f.open(QIODevice::ReadOnly))
            failures[QStringLiteral("every worker ends normally")] << logPath;
        while (!f.atEnd()) {
            const QJsonObject o = QJsonDocument::fromJson(f.readLine()).object();
            const QString kind = o[u"k"].toString();
            const QJsonObject c = o[u"c"].toObject();
            for (auto it = c.constBegin(); it != c.constEnd(); ++it)
                counts[it.key()] += it.value().toInt();
            if (kind == u"other")
                failures[QStringLiteral("every failure is a refusal the program means")] << o[u"m"].toString();
            if (kind == u"counts" || kind == u"other")
                continue;
            if (kind == u"restore" || kind == u"look")
                (kind == u"look" ? m_looks : m_restores) << m_actions.size();
            for (const auto e : o[u"e"].toArray())
                m_effects.append({m_actions.size(),
                                  {e.toArray()[0].toInt(), e.toArray()[1].toInteger()},
                                  e.toArray()[2].toString()});
            m_actions.append({kind, o[u"s"].toInteger(), o[u"a"].toInteger(), o[u"b"].toString(), o[u"c"].toString()});
        }
    }

    void check(const QString &cs)
    {
        Recordset rs;
        const QString whole = QStringLiteral("the database is whole");
        if (Connection cn; !QFileInfo::exists(Connection::dataSourceOf(cs))) {
            if (Status st = cn.open(cs); !st || !(st = cn.checkStructure()))
                failures[whole] << st.message();
        } else if (!rs.open(QStringLiteral("PRAGMA integrity_check"), cs) || rs.eof() || rs.textValue(0) != u"ok") {
            failures[whole] << (rs.eof() ? rs.status().message() : rs.textValue(0));
        }
        const QString refs = QStringLiteral("no deadline names a missing sheet or client");
        if (rs.open(QStringLiteral(
                        "SELECT TrRowId, TrDbId, TrAcId FROM Transactions WHERE TrDbId NOT IN (SELECT DbId FROM Dbs)"
                        " OR (TrAcId<>0 AND TrAcId NOT IN (SELECT AcId FROM Accounts))"),
                    cs))
            for (; !rs.eof(); rs.moveNext())
                failures[refs] << QStringLiteral("deadline %1 sheet %2 client %3")
                                      .arg(rs.intValue(0))
                                      .arg(rs.intValue(1))
                                      .arg(rs.intValue(2));
        // Ties of date may be numbered either way; a purge removes closed
        // members without renumbering the rest, so numbers may be missing,
        // never doubled.
        const QString series =
            QStringLiteral("every series lies in one sheet, numbered 1..n in date order, of one entry");
        if (!rs.open(
                QStringLiteral("SELECT TrGrpId, TrDbId, TrGrpRow, TrGrpMDay, TrDate, TrDescription FROM Transactions "
                               "WHERE TrGrpId>0 ORDER BY TrGrpId, TrGrpRow, TrDate"),
                cs, CursorType::Static))
            failures[series] << rs.status().message();
        for (qint64 group = -1, sheet = 0, row = 0, count = 0; !rs.eof(); rs.moveNext()) {
            const QString date = rs.textValue(4), description = rs.textValue(5);
            if (rs.intValue(0) != group)
                group = rs.intValue(0), sheet = rs.intValue(1), row = 0, count = rs.intValue(3),
                m_last = {date, description};
            if (rs.intValue(1) != sheet || rs.intValue(2) <= row || rs.intValue(2) > count || rs.intValue(3) != count
                || date < m_last.first || description != m_last.second)
                failures[series] << QStringLiteral("series %1: %2 %3/%4 %5 in sheet %6 after %7 %8/%9 %10")
                                        .arg(group)
                                        .arg(description)
                                        .arg(rs.intValue(2))
                                        .arg(rs.intValue(3))
                                        .arg(date)
                                        .arg(rs.intValue(1))
                                        .arg(m_last.second)
                                        .arg(row)
                                        .arg(count)
                                        .arg(m_last.first);
            row = rs.intValue(2);
            m_last = {date, description};
        }
        checkWrites(cs);
    }

private:
    const Snapshot &snap(const QString &path) const
    {
        static const Snapshot none;
        return m_snapshots.contains(path) ? *m_snapshots.constFind(path) : none;
    }
    // The state a snapshot holds for p's row is explained by p itself, by a
    // logged write on that row that may have come after p (and before
    // until), or by a restore that may have come after p: it put its
    // backup's row there, and the copy it kept of the file it replaced must
    // in turn be explained.
    bool explained(const Effect &p, const Snapshot &snapshot, qint64 until, qsizetype restoresBefore) const
    {
        const QString have = snapshot.value(p.entity, kAbsent);
        const qint64 from = m_actions[p.action].start;
        for (const Effect *e : m_byEntity[p.entity])
            if ((e == &p || (m_actions[e->action].ack >= from && m_actions[e->action].start <= until))
                && e->state == have)
                return true;
        for (qsizetype r = 0; r < restoresBefore; ++r) {
            const Action &x = m_actions[m_restores[r]];
            if (x.ack >= from && x.start <= until && snap(x.backup).value(p.entity, kAbsent) == have
                && explained(p, snap(x.kept), x.ack, r))
                return true;
        }
        return false;
    }

    // Every acknowledged write is checked against each look at the file
    // taken after it in the middle of the run, and against the file at the end.
    void checkWrites(const QString &cs)
    {
        const QString lost = QStringLiteral("no acknowledged write is missing unless a later action removed it");
        for (const Effect &e : m_effects)
            m_byEntity[e.entity].append(&e);
        constexpr qint64 kEnd = std::numeric_limits<qint64>::max();
        m_looks << m_actions.size();
        m_actions.append({QStringLiteral("end"), kEnd, kEnd, {}, {}});
        Status st = snapshot(cs, &m_snapshots[QString()]);
        for (const qsizetype r : m_restores) {
            if (m_actions[r].kept.isEmpty())
                failures[QStringLiteral("a restore keeps a copy of the file it replaces")]
                    << QString::number(m_actions[r].start);
            for (const QString &path : {m_actions[r].backup, m_actions[r].kept})
                if (st && !path.isEmpty() && !m_snapshots.contains(path)
                    && !(st = snapshot(fileConnection(path), &m_snapshots[path])))
                    failures[lost] << st.message();
        }
        // One look at a time in memory; each write reported once.
        QSet<const Effect *> reported;
        for (const qsizetype l : m_looks) {
            const Action &look = m_actions[l];
            Snapshot local;
            if (st && !look.kept.isEmpty() && !(st = snapshot(fileConnection(look.kept), &local)))
                failures[lost] << st.message();
            const Snapshot &seen = look.kept.isEmpty() ? snap(QString()) : local;
            for (const Effect &e : m_effects) {
                const Action &a = m_actions[e.action];
                if (!st || reported.contains(&e) || a.ack >= look.start
                    || explained(e, seen, look.ack, m_restores.size()))
                    continue;
                QString when = look.start == kEnd
                    ? QStringLiteral(" at the end")
                    : QStringLiteral(" in a look %1 ms later").arg((look.start - a.ack) / 1000);
                for (const qsizetype r : m_restores)
                    if (m_actions[r].ack >= a.start && m_actions[r].start <= look.ack)
                        when += m_actions[r].start < a.ack
                            ? QStringLiteral(", written during a restore")
                            : QStringLiteral(", %1 ms before a restore").arg((m_actions[r].start - a.ack) / 1000);
                failures[lost] << QStringLiteral("%1 of %2 %3: '%4' but '%5'%6")
                                      .arg(a.kind, QLatin1String(kTables[e.entity.first][0]))
                                      .arg(e.entity.second)
                                      .arg(e.state, seen.value(e.entity, kAbsent), when);
                reported.insert(&e);
            }
        }
        counts[QStringLiteral("acknowledged writes")] = int(m_actions.size() - m_restores.size() - m_looks.size());
    }

    QList<Action> m_actions;
    QList<qsizetype> m_restores, m_looks;
    QList<Effect> m_effects;
    QHash<Entity, QList<const Effect *>> m_byEntity;
    QHash<QString, Snapshot> m_snapshots; // by file; the database itself under ""
    QPair<QString, QString> m_last;
};

} // namespace

class tst_Stress : public QObject
{
    Q_OBJECT

private slots:
    void everyWorkflowHoldsWhenProcessesShareTheDatabase()
    {
        const int procs =
            qEnvironmentVariableIsSet("VELTO_STRESS_PROCS") ? qEnvironmentVariableIntValue("VELTO_STRESS_PROCS") : 4;
        const int seconds = qEnvironmentVariableIsSet("VELTO_STRESS_SECONDS")
            ? qEnvironmentVariableIntValue("VELTO_STRESS_SECONDS")
            : kDefaultSeconds;
        const quint32 seed = qEnvironmentVariableIsSet("VELTO_STRESS_SEED")
            ? qEnvironmentVariableIntValue("VELTO_STRESS_SEED")
            : QRandomGenerator::global()->bounded(1000000);
        test::Sandbox box;
        QString cs = qEnvironmentVariable("VELTO_STRESS_DATABASE");
        if (cs.isEmpty()) {
            QVERIFY(box.createDatabase());
            cs = app().ConnectionString;
        }
        const QString end = QString::number(nowUs() + seconds * qint64(1000000));
        std::vector<std::unique_ptr<QProcess>> workers;
        for (int k = 0; k < procs; ++k) {
            workers.push_back(std::make_unique<QProcess>());
            workers.back()->setProcessChannelMode(QProcess::ForwardedChannels);
            workers.back()->start(
                QCoreApplication::applicationFilePath(),
                {QStringLiteral("--stress-worker"), cs, QString::number(k), QString::number(seed), end, box.path()});
        }
        Checker checker;
        const QString ended = QStringLiteral("every worker ends normally");
        for (int k = 0; k < procs; ++k) {
            if (!workers[k]->waitForFinished(seconds * 1000 + 120000)
                || workers[k]->exitStatus() != QProcess::NormalExit || workers[k]->exitCode())
                checker.failures[ended] << QString::number(k);
            checker.read(QStringLiteral("%1/log-%2").arg(box.path()).arg(k));
        }
        checker.check(cs);
        if (const QString keep = qEnvironmentVariable("VELTO_STRESS_KEEP"); !keep.isEmpty())
            QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), box.path(), keep});
        QString report = QStringLiteral("seed %1, %2 processes x %3 s on %4\n")
                             .arg(seed)
                             .arg(procs)
                             .arg(seconds)
                             .arg(isServerLocation(cs) ? QStringLiteral("a server") : QStringLiteral("a file"));
        for (const bool refusals : {false, true}) {
            for (auto it = checker.counts.cbegin(); it != checker.counts.cend(); ++it)
                if (it.key().startsWith(u"refused") == refusals)
                    report += QStringLiteral("%1 %2, ").arg(it.key()).arg(it.value());
            report += u'\n';
        }
        for (auto it = checker.failures.cbegin(); it != checker.failures.cend(); ++it)
            report += QStringLiteral("\nBROKEN (%1 times): %2\n    ").arg(it->size()).arg(it.key())
                + it->mid(0, 8).join(QStringLiteral("\n    "));
        qInfo("%s", qPrintable(report));
        QVERIFY2(checker.failures.isEmpty(), qPrintable(report));
    }
};

VELTO_TEST_MAIN_WITH_ROLE(tst_Stress, "--stress-worker", 5, runWorker)

#include "tst_stress.moc"
