// The data layer against raw SQLite: a series written through
// InsertDeadlines, and the main grid query read field by field through the
// recordset, each beside the same work done with the bare C API.

#include "app/mainmod.h"
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

// One temporary folder for the run: an empty database to copy from, and the
// large database the queries read.
class BenchFolder
{
public:
    static BenchFolder &instance()
    {
        static BenchFolder folder;
        return folder;
    }

    [[nodiscard]] QString emptyDatabase() const { return m_dir.path() + QStringLiteral("/empty.mdb"); }
    [[nodiscard]] QString writeFolder() const { return m_dir.path() + QStringLiteral("/write"); }
    [[nodiscard]] QString writeDatabase() const { return writeFolder() + QStringLiteral("/velto.mdb"); }

    // A fresh empty database in the write folder.
    bool resetWriteDatabase() const
    {
        QFile::remove(writeDatabase());
        QFile::remove(writeDatabase() + QStringLiteral("-journal"));
        return QFile::copy(emptyDatabase(), writeDatabase())
            && QFile::setPermissions(writeDatabase(), QFile::ReadOwner | QFile::WriteOwner);
    }

    // The folder of a database with rows deadlines on data sheet 1, a third
    // of them without a client.
    QString queryFolder(int rows)
    {
        const QString folder = m_dir.path() + QStringLiteral("/query%1").arg(rows);
        const QString path = folder + QStringLiteral("/velto.mdb");
        if (QFile::exists(path))
            return folder;
        QDir().mkpath(folder);
        if (!QFile::copy(emptyDatabase(), path) || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner))
            return QString();
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt *acc = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO Accounts (AcName, AcNotes) VALUES (?, ?)", -1, &acc, nullptr);
        for (int a = 1; a <= 200; ++a) {
            const QByteArray name = QStringLiteral("Client %1 S.r.l.").arg(a).toUtf8();
            sqlite3_bind_text(acc, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(acc, 2, "Via Roma 1, Milano", -1, SQLITE_STATIC);
            sqlite3_step(acc);
            sqlite3_reset(acc);
        }
        sqlite3_finalize(acc);
        sqlite3_stmt *ins = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Transactions (TrDbId, TrType, TrDone, TrDate, TrDescription, TrAcId, TrValue, "
                           "TrBalance, TrGrpType, TrGrpRow, TrGrpMDay, TrNotes, TrGrpId) "
                           "VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                           -1, &ins, nullptr);
        const QDate first(2020, 1, 1);
        for (int k = 0; k < rows; ++k) {
            const int type = k % 3 == 0 ? 1 : (k % 3 == 1 ? -1 : -2);
            const double value = type == -2 ? 0 : 10 + (k % 1000) * 1.25;
            const QByteArray date = first.addDays(k % 3000).toString(Qt::ISODate).toLatin1();
            const QByteArray description = QStringLiteral("Deadline number %1 of the book").arg(k).toUtf8();
            const bool grouped = k % 4 == 0;
            sqlite3_bind_int(ins, 1, type);
            sqlite3_bind_int(ins, 2, k % 5 == 0);
            sqlite3_bind_text(ins, 3, date.constData(), int(date.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(ins, 4, description.constData(), int(description.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(ins, 5, k % 3 == 2 ? 0 : 1 + k % 200);
            sqlite3_bind_double(ins, 6, value);
            sqlite3_bind_double(ins, 7, value * (type == -2 ? 0 : type));
            sqlite3_bind_text(ins, 8, grouped ? "m" : "n", 1, SQLITE_STATIC);
            if (grouped) {
                sqlite3_bind_int(ins, 9, 1 + k % 12);
                sqlite3_bind_int(ins, 10, 12);
            } else {
                sqlite3_bind_null(ins, 9);
                sqlite3_bind_null(ins, 10);
            }
            if (k % 10 == 0)
                sqlite3_bind_text(ins, 11, "Call before paying", -1, SQLITE_STATIC);
            else
                sqlite3_bind_null(ins, 11);
            sqlite3_bind_int(ins, 12, grouped ? 1 + k / 48 : 0);
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return folder;
    }

private:
    BenchFolder()
    {
        QDir().mkpath(writeFolder());
        createDatabaseFile(emptyDatabase());
    }

    QTemporaryDir m_dir;
};

DeadlineEntry seriesEntry(int count)
{
    DeadlineEntry e;
    e.type = DeadlineType::Debit;
    e.description = QStringLiteral("Monthly rent l'appartamento");
    e.amount = Currency::fromUnits(12345000);
    e.recurring = true;
    e.date = QDate(2027, 1, 31);
    e.count = count;
    e.cadence = Cadence::Daily;
    return e;
}

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
BENCHMARK(BM_InsertWeeklySeries)->ArgNames({"count", "shift"})->Args({10000, 0})->Args({10000, 1})
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
        sqlite3_prepare_v2(db,
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
        const Status st = readMainRows(connection, 1, MainFilter::All, QDate(), QDate(), &rows);
        if (!st) {
            state.SkipWithError(st.message().toUtf8().constData());
            break;
        }
        std::int64_t sum = 0;
        for (int i = 0; i < rows.size(); ++i)
            sum += rows.rowId(i) + rows.julianDay(i) + rows.balance(i).units() + rows.clientIndex(i);
        benchmark::DoNotOptimize(sum);
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
