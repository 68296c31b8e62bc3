// The server engine against raw libpq, on the throwaway local cluster the
// test suite uses (started here on first use, stopped at exit): the main
// query of a large book, a series written through InsertDeadlines, and the
// main window's reads at start-up on a server book beside a file of the
// same size.

#include "app/mainmod.h"
#include "benchfolder.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/copydatabase.h"
#include "deadlines/mainquery.h"
#include "deadlines/mainrows.h"
#include "servercluster.h"

#include <QHash>

#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <cstdint>
#include <cstdlib>

using namespace velto;

namespace {

// A server database holding the bench's file book of rows deadlines (0: the
// empty book), copied once; empty when there is no server.
QString serverBook(benchmark::State &state, int rows)
{
    static QHash<int, QString> made;
    if (made.contains(rows))
        return made[rows];
    QString why;
    const QString location = test::newServerDatabase(&why);
    const QString from = rows ? connectionStringFor(BenchFolder::instance().queryFolder(rows))
                              : QStringLiteral("Data Source=") + BenchFolder::instance().emptyDatabase();
    Status st = location.isEmpty() ? Status::failure(kErrorServerUnreachable, why) : copyDatabase(from, location);
    if (!st) {
        state.SkipWithError(st.message().toUtf8().constData());
        return QString();
    }
    return made[rows] = location;
}

// A raw session, kept for the whole benchmark as the engine keeps its own.
struct RawSession {
    PGconn *conn = nullptr;
    explicit RawSession(const QString &location) : conn(PQconnectdb(location.toUtf8().constData())) { }
    ~RawSession() { PQfinish(conn); }
    bool run(const char *sql) const
    {
        PGresult *r = PQexec(conn, sql);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        PQclear(r);
        return ok;
    }
};

void BM_ServerMainQuery(benchmark::State &state)
{
    const QString location = serverBook(state, int(state.range(0)));
    for (auto _ : state) {
        MainRows rows;
        if (!readMainRowsTouched(state, location, &rows))
            break;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ServerMainQuery)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same SELECT as the server gets it, every value read as its type:
// numbers parsed, texts and dates taken where they lie.
void BM_RawLibpqSelect(benchmark::State &state)
{
    const QString location = serverBook(state, int(state.range(0)));
    const RawSession raw(location);
    const QByteArray statement =
        translateSql(sql::mainSelect(1, sql::mainFilter(0)), LiteralMode::Inline, Dialect::PostgreSQL).sql;
    for (auto _ : state) {
        PGresult *r = PQexec(raw.conn, statement.constData());
        if (PQresultStatus(r) != PGRES_TUPLES_OK) {
            state.SkipWithError(PQresultErrorMessage(r));
            PQclear(r);
            break;
        }
        const int rows = PQntuples(r), columns = PQnfields(r);
        std::int64_t sum = 0;
        for (int row = 0; row < rows; ++row) {
            for (int c = 0; c < columns; ++c) {
                if (PQgetisnull(r, row, c))
                    continue;
                const char *v = PQgetvalue(r, row, c);
                switch (PQftype(r, c)) {
                case 20:
                case 21:
                case 23: sum += std::strtoll(v, nullptr, 10); break;
                case 1700: sum += std::int64_t(std::strtod(v, nullptr)); break;
                default: sum += PQgetlength(r, row, c); break;
                }
            }
        }
        benchmark::DoNotOptimize(sum);
        PQclear(r);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RawLibpqSelect)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ServerInsertSeries(benchmark::State &state)
{
    const QString location = serverBook(state, 0);
    const RawSession raw(location);
    const DeadlineEntry entry = seriesEntry(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        raw.run("TRUNCATE Transactions, SeriesRules");
        state.ResumeTiming();
        if (const Status st = InsertDeadlines(location, 1, entry); !st) {
            state.SkipWithError(st.message().toUtf8().constData());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ServerInsertSeries)->Arg(10000)->Unit(benchmark::kMillisecond);

// One prepared INSERT in pipeline mode, answers read every 256 rows so that
// they never fill the socket while rows are still being sent.
void BM_RawLibpqInsert(benchmark::State &state)
{
    const QString location = serverBook(state, 0);
    const RawSession raw(location);
    const int count = int(state.range(0));
    const DeadlineEntry entry = seriesEntry(count);
    const QByteArray description = entry.description.toUtf8(), total = QByteArray::number(count);
    PQclear(PQprepare(raw.conn, "ins",
                      "INSERT INTO Transactions (TrDbId, TrType, TrDate, TrDescription, TrAcId, TrValue, TrBalance, "
                      "TrGrpType, TrGrpRow, TrGrpMDay, TrGrpId) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11)",
                      11, nullptr));
    const auto drain = [&] {
        if (!PQpipelineSync(raw.conn))
            return false;
        for (bool ok = true;;) {
            PGresult *r = PQgetResult(raw.conn);
            if (!r && PQstatus(raw.conn) != CONNECTION_OK)
                return false;
            const ExecStatusType s = r ? PQresultStatus(r) : PGRES_COMMAND_OK;
            PQclear(r);
            if (s == PGRES_PIPELINE_SYNC)
                return ok;
            ok = ok && s == PGRES_COMMAND_OK;
        }
    };
    for (auto _ : state) {
        state.PauseTiming();
        raw.run("TRUNCATE Transactions, SeriesRules");
        state.ResumeTiming();
        bool ok = raw.run("BEGIN") && PQenterPipelineMode(raw.conn);
        for (int k = 0; ok && k < count; ++k) {
            const QByteArray day = entry.date.addDays(k).toString(Qt::ISODate).toLatin1(),
                             row = QByteArray::number(k + 1);
            const char *values[] = {"1",       "-1", day.constData(), description.constData(), "3", "1234.5",
                                    "-1234.5", "d",  row.constData(), total.constData(),       "1"};
            ok = PQsendQueryPrepared(raw.conn, "ins", 11, values, nullptr, nullptr, 0) && ((k + 1) % 256 || drain());
        }
        ok = ok && drain() && PQexitPipelineMode(raw.conn) && raw.run("COMMIT");
        if (!ok) {
            state.SkipWithError(PQerrorMessage(raw.conn));
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RawLibpqInsert)->Arg(10000)->Unit(benchmark::kMillisecond);

// What the main window reads when it opens (the grid, the start list of a
// day, the calendar's bold days, the due indicator), on a file book
// (engine 0) or a server book (1) of the same rows; a server's sessions are
// opened anew each time, as at a real start.
void BM_StartReads(benchmark::State &state)
{
    const int rows = int(state.range(1));
    const QString location =
        state.range(0) ? serverBook(state, rows) : connectionStringFor(BenchFolder::instance().queryFolder(rows));
    const QDate day(2024, 6, 15), first(2024, 5, 27);
    for (auto _ : state) {
        dropIdleServerSessions();
        MainRows grid, start;
        QList<QDate> bold;
        bool due = false;
        Status st = readMainRows(location, 1, MainFilter::All, QDate(), QDate(), &grid);
        if (st)
            st = readStartList(location, 1, day, day, &start);
        if (st)
            st = openDeadlineDays(location, 1, first, first.addDays(41), &bold);
        if (st)
            st = anythingDueBy(location, 1, day, &due);
        if (!st) {
            state.SkipWithError(st.message().toUtf8().constData());
            break;
        }
        benchmark::DoNotOptimize(grid.size() + start.size() + bold.size() + due);
    }
}
BENCHMARK(BM_StartReads)
    ->ArgNames({"server", "rows"})
    ->Args({0, 100000})
    ->Args({1, 100000})
    ->Unit(benchmark::kMillisecond);

} // namespace
