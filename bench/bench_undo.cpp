// Undo of a purge against the purge itself, in the same run.
//
// BM_PurgeRecorded: the purge of 10,000 closed deadlines as the program runs
// it: the backup before it, and its rows recorded for undo. BM_UndoPurge: taking that purge back (the
// check that the rows are still gone, the 10,000 rows written back with their
// keys). BM_PurgeUnrecorded: the purge (with its backup) without a history. BM_RawSqlitePurge:
// the same DELETE through the bare C API.

#include "app/backups.h"
#include "app/mainmod.h"
#include "data/connection.h"
#include "data/schema.h"
#include "deadlines/purge.h"
#include "deadlines/undohistory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace velto;

namespace {

constexpr int kClosed = 10000;
const QDate kPurgeDay(2026, 12, 31);

// A database of 10,000 closed deadlines up to 2026 and 2,000 open ones
// after, copied afresh before every purge.
class UndoBenchFolder
{
public:
    static UndoBenchFolder &instance()
    {
        static UndoBenchFolder folder;
        return folder;
    }
    [[nodiscard]] QString folder() const { return m_dir.path() + QStringLiteral("/work"); }
    [[nodiscard]] QString database() const { return folder() + QStringLiteral("/velto.mdb"); }
    bool reset() const
    {
        QFile::remove(database());
        return QFile::copy(m_seed, database())
            && QFile::setPermissions(database(), QFile::ReadOwner | QFile::WriteOwner);
    }

private:
    UndoBenchFolder() : m_seed(m_dir.path() + QStringLiteral("/seed.mdb"))
    {
        QDir().mkpath(folder());
        // The backup each purge makes first goes to the run's own folder.
        setBackupFolder(m_dir.path() + QStringLiteral("/backups"));
        if (!createDatabaseFile(m_seed))
            return;
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(m_seed).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt *ins = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Transactions (TrDbId, TrType, TrDone, TrDate, TrDescription, TrAcId, TrValue, "
                           "TrBalance, TrGrpType, TrGrpRow, TrGrpMDay, TrNotes, TrGrpId) "
                           "VALUES (1, -1, ?, ?, ?, 0, 12.5, -12.5, 'n', NULL, NULL, ?, 0)",
                           -1, &ins, nullptr);
        for (int k = 0; k < kClosed + 2000; ++k) {
            const bool closed = k < kClosed;
            const QDate day = closed ? QDate(2020, 1, 1).addDays(k % 2500) : QDate(2027, 1, 1).addDays(k % 300);
            const QByteArray date = day.toString(Qt::ISODate).toLatin1();
            const QByteArray text = QStringLiteral("Bill number %1 of the year").arg(k).toUtf8();
            sqlite3_bind_int(ins, 1, closed ? 1 : 0);
            sqlite3_bind_text(ins, 2, date.constData(), int(date.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(ins, 3, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            if (k % 10 == 0)
                sqlite3_bind_text(ins, 4, "Paid by transfer", -1, SQLITE_STATIC);
            else
                sqlite3_bind_null(ins, 4);
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }

    QTemporaryDir m_dir;
    QString m_seed;
};

// Each iteration starts from the copied database; purgeFirst also purges
// (recorded) outside the timing, for the undo.
template<typename Work>
void run(benchmark::State &state, bool purgeFirst, Work work)
{
    UndoBenchFolder &folder = UndoBenchFolder::instance();
    const QString cs = connectionStringFor(folder.folder());
    UndoHistory history;
    for (auto _ : state) {
        state.PauseTiming();
        history.clear();
        qint64 deleted = 0;
        if (!folder.reset()
            || (purgeFirst && (!purgeClosedUpTo(cs, 1, kPurgeDay, &deleted, &history) || deleted != kClosed))) {
            state.SkipWithError("cannot prepare the database");
            break;
        }
        state.ResumeTiming();
        const Status st = work(cs, history);
        if (!st) {
            state.SkipWithError(st.message().toUtf8().constData());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kClosed);
}

void BM_PurgeRecorded(benchmark::State &state)
{
    run(state, false, [](const QString &cs, UndoHistory &h) { return purgeClosedUpTo(cs, 1, kPurgeDay, nullptr, &h); });
}
BENCHMARK(BM_PurgeRecorded)->Unit(benchmark::kMillisecond);

void BM_UndoPurge(benchmark::State &state)
{
    run(state, true, [](const QString &cs, UndoHistory &h) {
        const Status st = h.undo(cs, 1);
        return st && !h.canUndo() ? st : Status::failure(kErrorInvalidEntry, QStringLiteral("nothing undone"));
    });
}
BENCHMARK(BM_UndoPurge)->Unit(benchmark::kMillisecond);

void BM_PurgeUnrecorded(benchmark::State &state)
{
    run(state, false, [](const QString &cs, UndoHistory &) { return purgeClosedUpTo(cs, 1, kPurgeDay, nullptr); });
}
BENCHMARK(BM_PurgeUnrecorded)->Unit(benchmark::kMillisecond);

void BM_RawSqlitePurge(benchmark::State &state)
{
    run(state, false, [](const QString &cs, UndoHistory &) {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(Connection::dataSourceOf(cs)).constData(), &db, SQLITE_OPEN_READWRITE,
                        nullptr);
        const int rc = sqlite3_exec(db, "DELETE FROM Transactions WHERE TrDate<='2026-12-31' AND TrDone=1 AND TrDbId=1",
                                    nullptr, nullptr, nullptr);
        const int changed = sqlite3_changes(db);
        sqlite3_close(db);
        return rc == SQLITE_OK && changed == kClosed ? Status::success()
                                                     : Status::failure(rc, QStringLiteral("raw purge failed"));
    });
}
BENCHMARK(BM_RawSqlitePurge)->Unit(benchmark::kMillisecond);

} // namespace
