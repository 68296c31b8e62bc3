#include "deadlines/undohistory.h"

#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"

#include <QSet>

namespace velto {

namespace {

constexpr int kUndoPlain = 1650;
constexpr int kRedoPlain = 1651;
constexpr int kUndoWhat = 1652;
constexpr int kRedoWhat = 1653;
constexpr int kFirstKindText = 1654; // one text per ChangeKind, in its order
constexpr int kUndoChangedMeanwhile = 1670;
constexpr int kRedoChangedMeanwhile = 1671;
constexpr int kActiveSheet = 1672;
constexpr int kDanglingReference = 1673;

struct TableName {
    const char *table;
    const char *key;
};
constexpr TableName kTables[kRecordTableCount] = {
    {"Transactions", "TrRowId"},
    {"Accounts", "AcId"},
    {"Dbs", "DbId"},
};

QVariant fieldOf(const RowImages &images, const QVariantList &row, const char *column)
{
    for (qsizetype at = 0; at < images.columns.size() && at < row.size(); ++at)
        if (images.columns.at(at).compare(QLatin1String(column), Qt::CaseInsensitive) == 0)
            return row.at(at);
    return QVariant();
}

// The first row the change left, or else the first it removed.
const QVariantList *firstRow(const TableChange &t, const RowImages **images)
{
    for (const RowImages *side : {&t.after, &t.before}) {
        if (!side->rows.isEmpty()) {
            *images = side;
            return &side->rows.first();
        }
    }
    return nullptr;
}

qint64 groupOf(const RowImages &images, qint64 key)
{
    const auto row = images.rows.constFind(key);
    return row == images.rows.cend() ? 0 : fieldOf(images, *row, "TrGrpId").toLongLong();
}

// The keys of the deadlines that hold a series number now.
Status seriesKeys(Connection &cn, qint64 group, QList<qint64> *keys)
{
    Recordset rs;
    const Status st = rs.open(sql::groupKeys(group), cn, CursorType::ForwardOnly);
    for (; st && !rs.eof(); rs.moveNext())
        keys->append(rs.intValue(0));
    return st ? rs.status() : st;
}

// The series a change puts deadlines into or takes them out of (either
// way round); an edit of one member leaves its series as it is.
QSet<qint64> movedSeries(const TableChange &deadlines)
{
    QSet<qint64> moved;
    for (const qint64 key : deadlines.keys()) {
        const qint64 was = groupOf(deadlines.before, key), will = groupOf(deadlines.after, key);
        if (was != will)
            moved << was << will;
    }
    moved.remove(0);
    return moved;
}

// A step must not put rows back under a series number that other rows hold
// by now, nor take rows out of a series others have joined: the two series
// would become one (deleted together, numbered as one).
Status checkSeriesNumbers(Connection &cn, const RecordedChange &change, bool back)
{
    const TableChange &tc = change.tables[int(RecordTable::Deadlines)];
    const QList<qint64> keyList = tc.keys();
    const QSet<qint64> keys(keyList.cbegin(), keyList.cend());
    for (const qint64 group : movedSeries(tc)) {
        QList<qint64> holders;
        if (const Status st = seriesKeys(cn, group, &holders); !st)
            return st;
        for (const qint64 key : std::as_const(holders))
            if (!keys.contains(key) && !change.seriesPeers.contains(key))
                return Status::failure(kErrorChangedMeanwhile,
                                       LoadResString(back ? kUndoChangedMeanwhile : kRedoChangedMeanwhile));
    }
    return Status::success();
}

bool exists(Connection &cn, const QString &query, Status *st)
{
    Recordset rs;
    *st = rs.open(query, cn, CursorType::ForwardOnly);
    return *st && !rs.eof();
}

// What a step must never leave behind: the active data sheet gone, or a
// deadline naming a data sheet or client/supplier that no longer exists
// (both can happen when a change is taken back after later ones were made
// in another way). Checked after the write, inside its transaction.
Status checkReferences(Connection &cn, const RecordedChange &change, bool back, int activeSheetId)
{
    const auto removed = [&](RecordTable t) {
        const TableChange &tc = change.tables[int(t)];
        const RowImages &from = back ? tc.after : tc.before;
        const RowImages &to = back ? tc.before : tc.after;
        QList<qint64> keys;
        for (auto it = from.rows.cbegin(); it != from.rows.cend(); ++it)
            if (!to.rows.contains(it.key()))
                keys << it.key();
        return keys;
    };
    const Status dangling = Status::failure(kErrorInUse, LoadResString(kDanglingReference));
    Status st;
    for (const qint64 sheet : removed(RecordTable::Sheets)) {
        if (sheet == activeSheetId)
            return Status::failure(kErrorInUse, LoadResString(kActiveSheet));
        if (exists(cn, sql::sheetDeadlines(int(sheet)), &st))
            return dangling;
        if (!st)
            return st;
    }
    for (const qint64 client : removed(RecordTable::Clients)) {
        if (exists(cn, sql::accountDeadlines(client), &st))
            return dangling;
        if (!st)
            return st;
    }
    const TableChange &deadlines = change.tables[int(RecordTable::Deadlines)];
    const RowImages &put = back ? deadlines.before : deadlines.after;
    QSet<qint64> sheets, clients;
    for (const QVariantList &row : put.rows) {
        sheets.insert(fieldOf(put, row, "TrDbId").toLongLong());
        if (const qint64 client = fieldOf(put, row, "TrAcId").toLongLong())
            clients.insert(client);
    }
    for (const qint64 sheet : sheets) {
        if (!exists(cn, sql::lookupSheet(sheet), &st))
            return st ? dangling : st;
    }
    for (const qint64 client : clients) {
        if (!exists(cn, sql::editAccount(client), &st))
            return st ? dangling : st;
    }
    return Status::success();
}

} // namespace

QList<qint64> TableChange::keys() const
{
    QList<qint64> all = before.rows.keys();
    for (auto it = after.rows.cbegin(); it != after.rows.cend(); ++it)
        if (!before.rows.contains(it.key()))
            all << it.key();
    return all;
}

UndoHistory &programHistory()
{
    static UndoHistory history;
    return history;
}

void UndoHistory::changed() const
{
    if (m_listener)
        m_listener();
}

void UndoHistory::record(const QString &connectionString, RecordedChange change)
{
    follow(connectionString);
    m_database = connectionString;
    m_undo.append(std::move(change));
    // A new change ends what could be made again: it was made on the rows
    // as the undone changes had left them.
    m_redo.clear();
    changed();
}

void UndoHistory::follow(const QString &connectionString)
{
    if (m_database == connectionString)
        return;
    m_database = connectionString;
    if (!m_undo.isEmpty() || !m_redo.isEmpty())
        clear();
}

void UndoHistory::clear()
{
    m_undo.clear();
    m_redo.clear();
    changed();
}

Status UndoHistory::undo(const QString &connectionString, int activeSheetId, qint64 *rowId)
{
    return step(connectionString, activeSheetId, rowId, true);
}

Status UndoHistory::redo(const QString &connectionString, int activeSheetId, qint64 *rowId)
{
    return step(connectionString, activeSheetId, rowId, false);
}

Status UndoHistory::step(const QString &connectionString, int activeSheetId, qint64 *rowId, bool back)
{
    if (rowId)
        *rowId = 0;
    follow(connectionString);
    QList<RecordedChange> &from = back ? m_undo : m_redo;
    QList<RecordedChange> &to = back ? m_redo : m_undo;
    if (from.isEmpty())
        return Status::success();
    const RecordedChange &change = from.last();

    Connection cn;
    Status st = cn.open(connectionString);
    if (!st)
        return st;
    st = cn.transaction([&] {
        QList<qint64> keys[kRecordTableCount];
        for (int t = 0; t < kRecordTableCount; ++t) {
            keys[t] = change.tables[t].keys();
            bool same = false;
            const Status read = rowsMatch(cn, back ? change.tables[t].after : change.tables[t].before, keys[t], &same);
            if (!read)
                return read;
            if (!same)
                return Status::failure(kErrorChangedMeanwhile,
                                       LoadResString(back ? kUndoChangedMeanwhile : kRedoChangedMeanwhile));
        }
        if (const Status series = checkSeriesNumbers(cn, change, back); !series)
            return series;
        // Deadlines last when rows come back, first when they go, so a
        // sheet or client is never missing under its deadlines mid-way
        // (the checks below run on the final state anyway).
        for (const int t : {2, 1, 0}) {
            const TableChange &tc = change.tables[t];
            const Status written =
                writeRowImages(cn, back ? tc.after : tc.before, back ? tc.before : tc.after, keys[t]);
            if (!written)
                return written;
        }
        return checkReferences(cn, change, back, activeSheetId);
    });
    cn.close();
    if (!st) {
        // Rows changed in another way never come back to what the step
        // expects: keeping it would block every older step behind it.
        if (st.code() == kErrorChangedMeanwhile) {
            from.removeLast();
            changed();
        }
        return st;
    }
    if (rowId) {
        const RowImages &put = back ? change.tables[0].before : change.tables[0].after;
        if (!put.rows.isEmpty())
            *rowId = put.rows.firstKey();
    }
    to.append(from.takeLast());
    changed();
    return Status::success();
}

QString UndoHistory::describe(const RecordedChange &change)
{
    const QString text = LoadResString(kFirstKindText + int(change.kind));
    return change.kind == ChangeKind::Purge ? text.arg(change.rows) : text.arg(change.subject);
}

QString UndoHistory::undoText() const
{
    if (m_undo.isEmpty())
        return LoadResString(kUndoPlain);
    // An ampersand of a description is shown, not taken as an access key.
    return LoadResString(kUndoWhat).arg(describe(m_undo.last()).replace(u'&', QStringLiteral("&&")));
}

QString UndoHistory::redoText() const
{
    if (m_redo.isEmpty())
        return LoadResString(kRedoPlain);
    return LoadResString(kRedoWhat).arg(describe(m_redo.last()).replace(u'&', QStringLiteral("&&")));
}

// ---------------------------------------------------------------- recorder

void ChangeRecorder::prepare()
{
    if (m_prepared)
        return;
    for (int t = 0; t < kRecordTableCount; ++t) {
        for (RowImages *side : {&m_change.tables[t].before, &m_change.tables[t].after}) {
            side->table = QLatin1String(kTables[t].table);
            side->keyColumn = QLatin1String(kTables[t].key);
        }
    }
    m_prepared = true;
}

Status ChangeRecorder::before(RecordTable table, const QString &selectAll)
{
    if (!active())
        return Status::success();
    prepare();
    m_queries.append({table, selectAll});
    return readRowImages(m_connection, selectAll, &m_change.tables[int(table)].before);
}

Status ChangeRecorder::after()
{
    if (!active())
        return Status::success();
    prepare();
    for (const auto &q : std::as_const(m_queries)) {
        const Status st = readRowImages(m_connection, q.second, &m_change.tables[int(q.first)].after);
        if (!st)
            return st;
    }
    return readSeriesPeers();
}

Status ChangeRecorder::afterAlso(RecordTable table, const QString &selectAll)
{
    if (!active())
        return Status::success();
    prepare();
    const Status st = readRowImages(m_connection, selectAll, &m_change.tables[int(table)].after);
    return st ? readSeriesPeers() : st;
}

Status ChangeRecorder::readSeriesPeers()
{
    const TableChange &tc = m_change.tables[int(RecordTable::Deadlines)];
    QList<qint64> holders;
    for (const qint64 group : movedSeries(tc))
        if (const Status st = seriesKeys(m_connection, group, &holders); !st)
            return st;
    m_change.seriesPeers = QSet<qint64>(holders.cbegin(), holders.cend());
    for (const qint64 key : tc.keys())
        m_change.seriesPeers.remove(key);
    return Status::success();
}

void ChangeRecorder::commit(const QString &connectionString, ChangeKind kind)
{
    if (!active())
        return;
    RecordedChange &c = m_change;
    bool touched = false;
    for (const TableChange &t : c.tables)
        touched = touched || t.before.rows != t.after.rows;
    // A write that found nothing to change leaves nothing to take back.
    if (!touched)
        return;
    c.kind = kind;
    const TableChange &deadlines = c.tables[int(RecordTable::Deadlines)];
    c.rows = deadlines.keys().size();
    const RowImages *images = nullptr;
    if (kind >= ChangeKind::NewClient && kind <= ChangeKind::DeleteClient) {
        if (const QVariantList *row = firstRow(c.tables[int(RecordTable::Clients)], &images))
            c.subject = fieldOf(*images, *row, "AcName").toString();
    } else if (kind >= ChangeKind::NewSheet) {
        if (const QVariantList *row = firstRow(c.tables[int(RecordTable::Sheets)], &images))
            c.subject = fieldOf(*images, *row, "DbName").toString();
    } else if (const QVariantList *row = firstRow(deadlines, &images)) {
        c.subject = fieldOf(*images, *row, "TrDescription").toString();
        c.sheetId = int(fieldOf(*images, *row, "TrDbId").toLongLong());
    }
    m_history->record(connectionString, std::move(c));
}

Status recordedWrite(const QString &connectionString, UndoHistory *history, ChangeKind kind,
                     const std::function<Status(Connection &, ChangeRecorder &)> &work)
{
    Connection conn;
    Status st = conn.open(connectionString);
    if (!st)
        return st;
    ChangeRecorder recorder(history, conn);
    st = conn.transaction([&] { return work(conn, recorder); });
    conn.close();
    if (st)
        recorder.commit(connectionString, kind);
    return st;
}

} // namespace velto
