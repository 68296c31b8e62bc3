// The data layer against raw SQLite: a series written through
// InsertDeadlines, and the main grid query read field by field through the
// recordset, each beside the same work done with the bare C API.

#include "app/mainmod.h"
#include "benchfolder.h"
#include "data/catalogue.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "deadlines/mainrows.h"
#include "deadlines/series.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <memory>

using namespace velto;

namespace {

void BM_InsertSeries(benchmark::State &state)
{
    BenchFolder &folder = BenchFolder::instance();
    setWritePauseMs(0);
    app().ConnectionString = connectionStringFor(folder.writeFolder());
    app().CurrentDbId = 1;
    const DeadlineEntry entry = seriesEntry(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        if (!folder.resetWriteDatabase()) {
            state.SkipWithError("cannot create the database");
            break;
        }
        state.ResumeTiming();
        const Status st = InsertDeadlines(app().ConnectionString, 1, entry);
        if (!st) {
            state.SkipWithError(st.message().toUtf8().constData());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InsertSeries)->Arg(10000)->Unit(benchmark::kMillisecond);

// A weekly series from a Saturday, once as the plain cadence and once moved
// to the next working day off weekends and Italian holidays: every date moves.
void BM_InsertWeeklySeries(benchmark::State &state)
{
    BenchFolder &folder = BenchFolder::instance();
    setWritePauseMs(0);
    DeadlineEntry entry = seriesEntry(int(state.range(0)));
    entry.date = QDate(2027, 1, 2);
    entry.cadence = Cadence::Weekly;
    if (state.range(1))
        entry.rule = Recurrence{Frequency::Weeks, 1, 1, 1, DateShift::Next, HolidayCountry::Italy, QDate()};
    const QString connection = connectionStringFor(folder.writeFolder());
    for (auto _ : state) {
        state.PauseTiming();
        if (!folder.resetWriteDatabase()) {
            state.SkipWithError("cannot create the database");
            break;
        }
        state.ResumeTiming();
        if (const Status st = InsertDeadlines(connection, 1, entry); !st) {
            state.SkipWithError(st.message().toUtf8().constData());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InsertWeeklySeries)
    ->ArgNames({"count", "shift"})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

void BM_RawSqliteInsert(benchmark::State &state)
{
    BenchFolder &folder = BenchFolder::instance();
    const int count = int(state.range(0));
    const QByteArray path = QFile::encodeName(folder.writeDatabase());
    const DeadlineEntry entry = seriesEntry(count);
    const QByteArray description = entry.description.toUtf8();
    for (auto _ : state) {
        state.PauseTiming();
        if (!folder.resetWriteDatabase()) {
            state.SkipWithError("cannot create the database");
            break;
        }
        state.ResumeTiming();
        sqlite3 *db = nullptr;
        sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(
            db,
            "INSERT INTO Transactions (TrDbId, TrType, TrDate, TrDescription, TrAcId, TrValue, "
            "TrBalance, TrGrpType, TrGrpRow, TrGrpMDay, TrGrpId) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            -1, &stmt, nullptr);
        for (int k = 0; k < count; ++k) {
            const QByteArray day = entry.date.addDays(k).toString(Qt::ISODate).toLatin1();
            sqlite3_bind_int(stmt, 1, 1);
            sqlite3_bind_int(stmt, 2, -1);
            sqlite3_bind_text(stmt, 3, day.constData(), int(day.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 4, description.constData(), int(description.size()), SQLITE_STATIC);
            sqlite3_bind_int(stmt, 5, 3);
            sqlite3_bind_double(stmt, 6, 1234.5);
            sqlite3_bind_double(stmt, 7, -1234.5);
            sqlite3_bind_text(stmt, 8, "d", 1, SQLITE_STATIC);
            sqlite3_bind_int(stmt, 9, k + 1);
            sqlite3_bind_int(stmt, 10, count);
            sqlite3_bind_int(stmt, 11, 1);
            if (sqlite3_step(stmt) != SQLITE_DONE) {
                state.SkipWithError(sqlite3_errmsg(db));
                break;
            }
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RawSqliteInsert)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_MainQuery(benchmark::State &state)
{
    // The main grid's rows read typed by the core, every row's values touched.
    const QString folder = BenchFolder::instance().queryFolder(int(state.range(0)));
    const QString connection = connectionStringFor(folder);
    std::size_t bytes = 0;
    for (auto _ : state) {
        MainRows rows;
        if (!readMainRowsTouched(state, connection, &rows))
            break;
        bytes = rows.bytes() / std::size_t(std::max(1, rows.size()));
    }
    state.counters["bytes/row"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MainQuery)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RawSqliteSelect(benchmark::State &state)
{
    const QString folder = BenchFolder::instance().queryFolder(int(state.range(0)));
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/velto.mdb"));
    const char *statement =
        "SELECT TrRowId, TrDbId, TrType, TrDone, TrDate, TrDescription, TrAcId, TrValue, TrBalance, TrGrpType, "
        "TrGrpRow, TrGrpMDay, TrNotes, TrGrpId, Accounts.* FROM Transactions LEFT JOIN Accounts ON "
        "Transactions.TrAcId = Accounts.AcId WHERE TrDbId=1 AND (1)";
    for (auto _ : state) {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, statement, -1, &stmt, nullptr);
        const int columns = sqlite3_column_count(stmt);
        std::int64_t sum = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER: sum += sqlite3_column_int64(stmt, c); break;
                case SQLITE_FLOAT: sum += std::int64_t(sqlite3_column_double(stmt, c)); break;
                case SQLITE_TEXT:
                    benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
                    sum += sqlite3_column_bytes(stmt, c);
                    break;
                default: break;
                }
            }
        }
        benchmark::DoNotOptimize(sum);
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RawSqliteSelect)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
