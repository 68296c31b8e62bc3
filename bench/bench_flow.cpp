// A quick-search keystroke against the bare cost of asking SQLite for the
// same rows.
//
// BM_SearchKeystroke: the main window on 100,000 deadlines grouped by
// client/supplier; each iteration types a text that is no continuation of
// the one before (arg 0: a text that matches a few hundred rows, so every
// row is compared; arg 1: the search cleared, so all 100,000 come back;
// arg 2: the first keystroke after a load, which folds every row first).
// BM_RawSqliteSearch: the main query with the same text bound as a
// parameter, instr over lower() of the three fields, stepped with the
// SQLite C API, every column touched.

#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/schema.h"
#include "promptrecorder.h"
#include "ui/main/frmmain.h"
#include "ui/widgets/grid.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace velto;

namespace {

constexpr int kRows = 100000;

// 100,000 deadlines on sheet 1 over 60 clients, with notes on the deadlines of one client.
QString flowFolder()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        made = true;
        qputenv("VELTO_SETTINGS_DIR", (dir.path() + QStringLiteral("/settings")).toLocal8Bit());
        QDir().mkpath(dir.path() + QStringLiteral("/settings"));
        createDatabaseFile(dir.path() + QStringLiteral("/velto.mdb"));
        Connection cn;
        cn.open(connectionStringFor(dir.path()));
        cn.beginTrans();
        for (int a = 1; a <= 60; ++a)
            cn.execute(QStringLiteral("INSERT INTO Accounts (AcName, AcNotes) VALUES (")
                       + sql::text(QStringLiteral("Client %1").arg(a, 3, 10, QLatin1Char('0')))
                       + QStringLiteral(", 'n')"));
        for (int i = 0; i < kRows; ++i) {
            const int type = i % 2 ? 1 : -1;
            const Currency value = Currency::fromUnits(10000LL * (10 + i % 900));
            cn.execute(sql::insertSingle(1, type, QDate(2026, 1, 1).addDays(i % 700),
                                         QStringLiteral("Deadline %1 città").arg(i), i % 12 ? 1 + i % 60 : 0, value,
                                         value * type, 0));
        }
        cn.execute(QStringLiteral("UPDATE Transactions SET TrNotes = 'Insurance policy' WHERE TrAcId = 7"));
        cn.commitTrans();
    }
    return dir.path();
}

const char *const kTexts[] = {"deadline 12", "insurance p", "client 007", "deadline 5"};

void BM_SearchKeystroke(benchmark::State &state)
{
    const QString folder = flowFolder();
    AppState &s = app();
    s.SettingsKey = settingsKeyFor(QLatin1String(kAppTitle));
    s.LanguageOffset = 3000;
    s.DatabaseFolder = folder;
    s.ConnectionString = connectionStringFor(folder);
    s.CurrentDbId = 1;
    qputenv("VELTO_TODAY", "2026-06-15");
    test::PromptRecorder prompts;
    frmMain w(prompts);
    w.Form_Load();
    w.resize(1280, 800);
    w.applyLayout(Layout::ByClient);
    Grid *g = w.gex();
    const int mode = int(state.range(0));
    int k = 0;
    qint64 shown = 0;
    int rowsOf[4] = {};
    for (auto _ : state) {
        if (mode == 1) {
            state.PauseTiming();
            w.txtSearch()->setText(QStringLiteral("deadline 12"));
            state.ResumeTiming();
            w.txtSearch()->clear();
        } else if (mode == 2) {
            // Another language folds every row again, as a fresh load does.
            g->setSearch(frmMain::searchFields(), QStringLiteral("d"), QLocale(k++ % 2 ? "it" : "en"));
        } else {
            w.txtSearch()->setText(QString::fromLatin1(kTexts[k % 4]));
            rowsOf[k++ % 4] = g->recordCount();
        }
        shown += g->recordCount();
    }
    benchmark::DoNotOptimize(shown);
    state.counters["rows"] = double(g->recordCount());
    if (mode == 0) {
        for (int t = 0; t < 4; ++t)
            state.counters[kTexts[t]] = rowsOf[t];
    }
}
BENCHMARK(BM_SearchKeystroke)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_RawSqliteSearch(benchmark::State &state)
{
    const QByteArray path = (flowFolder() + QStringLiteral("/velto.mdb")).toUtf8();
    const char *query =
        "SELECT TrRowId, TrDbId, TrType, TrDone, TrDate, TrDescription, TrAcId, TrValue, TrBalance, TrGrpType, "
        "TrGrpRow, TrGrpMDay, TrNotes, TrGrpId, Accounts.* FROM Transactions LEFT JOIN Accounts ON "
        "Transactions.TrAcId = Accounts.AcId WHERE TrDbId=1 AND (instr(lower(TrDescription), ?1) > 0 "
        "OR instr(lower(AcName), ?1) > 0 OR instr(lower(TrNotes), ?1) > 0)";
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    int k = 0;
    std::int64_t touched = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, query, -1, &stmt, nullptr);
        sqlite3_bind_text(stmt, 1, kTexts[k++ % 4], -1, SQLITE_STATIC);
        const int columns = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_TEXT)
                    touched += sqlite3_column_bytes(stmt, c);
                else
                    touched += sqlite3_column_int64(stmt, c);
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    benchmark::DoNotOptimize(touched);
}
BENCHMARK(BM_RawSqliteSearch)->Unit(benchmark::kMillisecond);

} // namespace
