#pragma once
// Undo and redo of the changes of this run: every workflow that writes
// deadlines, clients/suppliers or data sheets can record the rows it
// touched, as they were before and as it left them, in the same
// transaction as its write. Taking a change back is one transaction that
// first checks that those rows still hold what the change left (otherwise
// it refuses and changes nothing), then puts the earlier rows back with
// their own keys; making it again is the mirror.

#include "data/rowimages.h"
#include "data/status.h"

#include <QList>
#include <QSet>
#include <QString>

#include <functional>

namespace velto {

class Connection;

enum class ChangeKind {
    NewDeadline,
    NewSeries,
    JoinSeries,
    EditDeadline,
    CloseDeadline,
    ReopenDeadline,
    DeleteDeadline,
    DeleteSeriesMember,
    DeleteSeries,
    Purge,
    NewClient,
    EditClient,
    DeleteClient,
    NewSheet,
    RenameSheet,
    DeleteSheet,
};

// The three tables a change can touch.
enum class RecordTable { Deadlines = 0, Clients, Sheets };
inline constexpr int kRecordTableCount = 3;

struct TableChange {
    RowImages before, after;
    // Every key the change touched: rows it removed, changed or added.
    [[nodiscard]] QList<qint64> keys() const;
};

struct RecordedChange {
    ChangeKind kind = ChangeKind::NewDeadline;
    QString subject; // the description or name it is known by
    qint64 rows = 0; // deadlines it touched
    int sheetId = 0; // the data sheet of its deadlines; 0 when it changed none
    TableChange tables[kRecordTableCount];
    // Deadlines outside the change that shared a series number with its
    // rows when it was made (members a purge left alone).
    QSet<qint64> seriesPeers;
};

class UndoHistory
{
public:
    // Keeps a change made on this database, after its commit; a change on
    // another database (the folder changed) first empties the history.
    void record(const QString &connectionString, RecordedChange change);
    // Empties the history when the database is another than the one its
    // changes were made on.
    void follow(const QString &connectionString);
    void clear();

    [[nodiscard]] bool canUndo() const { return !m_undo.isEmpty(); }
    [[nodiscard]] bool canRedo() const { return !m_redo.isEmpty(); }
    [[nodiscard]] const RecordedChange *nextUndo() const { return m_undo.isEmpty() ? nullptr : &m_undo.last(); }
    [[nodiscard]] const RecordedChange *nextRedo() const { return m_redo.isEmpty() ? nullptr : &m_redo.last(); }
    [[nodiscard]] int undoCount() const { return int(m_undo.size()); }

    // Takes back the newest change (redo: makes the newest undone change
    // again) in one transaction. Refused with kErrorChangedMeanwhile when
    // its rows were changed since in another way, and with kErrorInUse when
    // it would remove the active data sheet or leave deadlines naming a
    // client/supplier or data sheet that is gone. A step that puts deadlines
    // into a series, or takes them out of one, is refused as changed
    // meanwhile when other deadlines now hold that series number (another
    // series took it, or members joined it). Nothing is written then,
    // and a step whose rows changed meanwhile is dropped, as it can never
    // apply again. rowId receives a deadline the change put back (0: none).
    Status undo(const QString &connectionString, int activeSheetId, qint64 *rowId = nullptr);
    Status redo(const QString &connectionString, int activeSheetId, qint64 *rowId = nullptr);

    // "delete of "Office rent"", in the user's language.
    [[nodiscard]] static QString describe(const RecordedChange &change);
    // The menu texts: "&Undo delete of "Office rent"", or "&Undo" alone.
    [[nodiscard]] QString undoText() const;
    [[nodiscard]] QString redoText() const;

    // Called after every change of the history (the menu follows it).
    void setListener(std::function<void()> listener) { m_listener = std::move(listener); }

private:
    Status step(const QString &connectionString, int activeSheetId, qint64 *rowId, bool back);
    void changed() const;

    QString m_database;
    QList<RecordedChange> m_undo, m_redo;
    std::function<void()> m_listener;
};

// The history of this run, shared by every window.
UndoHistory &programHistory();

// Records one change inside a workflow's transaction; does nothing without
// a history. before() reads rows as they are and remembers the query;
// after() reads every remembered query again (and the extra ones given).
class ChangeRecorder
{
public:
    ChangeRecorder(UndoHistory *history, Connection &connection) : m_history(history), m_connection(connection) { }
    [[nodiscard]] bool active() const { return m_history != nullptr; }
    Status before(RecordTable table, const QString &selectAll);
    Status after();
    Status afterAlso(RecordTable table, const QString &selectAll);
    // After the commit: hands the change to the history.
    void commit(const QString &connectionString, ChangeKind kind);

private:
    UndoHistory *m_history;
    Connection &m_connection;
    QList<QPair<RecordTable, QString>> m_queries;
    RecordedChange m_change;
    bool m_prepared = false;
    void prepare();
    Status readSeriesPeers();
};

// The frame of every recorded write: opens a connection, runs work in one
// transaction with a ChangeRecorder on that connection, closes it, and after
// the commit hands the change to the history as kind. A failure to open, of
// the work or of the commit is returned, and nothing is recorded then.
Status recordedWrite(const QString &connectionString, UndoHistory *history, ChangeKind kind,
                     const std::function<Status(Connection &, ChangeRecorder &)> &work);

} // namespace velto
