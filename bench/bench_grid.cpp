// The deadline grid's reload against the bare cost of reading its rows.
//
// BM_GridReload: gexUpdate of the main window on 100,000 deadlines grouped
// by client/supplier with totals, every group caption (and so every open
// balance) computed. BM_RawSqliteSelectForGrid: the same query stepped with
// the SQLite C API, every column touched.

#include "app/mainmod.h"
#include "app/preferences.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/currency.h"
#include "data/schema.h"
#include "promptrecorder.h"
#include "ui/main/frmmain.h"
#include "ui/widgets/grid.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTreeView>

#include <map>
#include <memory>

using namespace velto;

namespace {

// main.cpp makes the one application object, on the offscreen platform.
QApplication &application()
{
    return *static_cast<QApplication *>(QCoreApplication::instance());
}

// A database folder with n deadlines on data sheet 1, over 60 clients and
// suppliers (one in twelve without), a third closed, one in five in a series.
class Fixture
{
public:
    static Fixture &of(int n)
    {
        static std::map<int, std::unique_ptr<Fixture>> made;
        auto &f = made[n];
        if (!f)
            f.reset(new Fixture(n));
        return *f;
    }
    [[nodiscard]] QString folder() const { return m_dir.path(); }
    [[nodiscard]] QString file() const { return m_dir.path() + QStringLiteral("/velto.mdb"); }

private:
    explicit Fixture(int n)
    {
        qputenv("VELTO_SETTINGS_DIR", (m_dir.path() + QStringLiteral("/settings")).toLocal8Bit());
        QDir().mkpath(m_dir.path() + QStringLiteral("/settings"));
        createDatabaseFile(file());
        Connection cn;
        cn.open(connectionStringFor(folder()));
        cn.beginTrans();
        for (int a = 1; a <= 60; ++a)
            cn.execute(QStringLiteral("INSERT INTO Accounts (AcName, AcNotes) VALUES (")
                       + sql::text(QStringLiteral("Client %1").arg(a, 3, 10, QLatin1Char('0')))
                       + QStringLiteral(", 'notes')"));
        const QDate first(2026, 1, 1);
        for (int i = 0; i < n; ++i) {
            const int type = i % 7 == 0 ? -2 : (i % 2 ? 1 : -1);
            const Currency value = type == -2 ? Currency() : Currency::fromUnits(10000LL * (10 + i % 900) + 2500);
            const qint64 account = i % 12 == 0 ? 0 : 1 + i % 60;
            const QDate day = first.addDays(i % 700);
            if (i % 5 == 0) {
                cn.execute(sql::insertSeriesRow(1, type, day, QStringLiteral("Series %1").arg(i / 60), account, value,
                                                value * type, u'm', 1 + i % 12, 12, 1 + i / 60));
            } else {
                cn.execute(sql::insertSingle(1, type, day, QStringLiteral("Deadline %1").arg(i), account, value,
                                             value * type, 0));
            }
        }
        cn.execute(QStringLiteral("UPDATE Transactions SET TrDone = True WHERE (TrRowId % 3) = 0"));
        cn.commitTrans();
    }
    QTemporaryDir m_dir;
};

void BM_RawSqliteSelectForGrid(benchmark::State &state)
{
    const Fixture &f = Fixture::of(int(state.range(0)));
    const QByteArray path = f.file().toUtf8();
    const char *query =
        "SELECT TrRowId, TrDbId, TrType, TrDone, TrDate, TrDescription, TrAcId, TrValue, TrBalance, TrGrpType, "
        "TrGrpRow, TrGrpMDay, TrNotes, TrGrpId, Accounts.* FROM Transactions LEFT JOIN Accounts ON "
        "Transactions.TrAcId = Accounts.AcId WHERE TrDbId=1 AND (1)";
    for (auto _ : state) {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, query, -1, &stmt, nullptr);
        const int columns = sqlite3_column_count(stmt);
        std::int64_t rows = 0, touched = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            ++rows;
            for (int c = 0; c < columns; ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER: touched += sqlite3_column_int64(stmt, c); break;
                case SQLITE_FLOAT: touched += std::int64_t(sqlite3_column_double(stmt, c)); break;
                case SQLITE_TEXT:
                    touched += sqlite3_column_bytes(stmt, c);
                    (void)sqlite3_column_text(stmt, c);
                    break;
                default: break;
                }
            }
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        benchmark::DoNotOptimize(touched);
        if (rows != state.range(0))
            state.SkipWithError("wrong row count");
    }
}
BENCHMARK(BM_RawSqliteSelectForGrid)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_GridReload(benchmark::State &state)
{
    application();
    const Fixture &f = Fixture::of(int(state.range(0)));
    AppState &s = app();
    s.SettingsKey = settingsKeyFor(QLatin1String(kAppTitle));
    s.LanguageOffset = 3000;
    s.DatabaseFolder = f.folder();
    s.ConnectionString = connectionStringFor(f.folder());
    s.CurrentDbId = 1;
    s.CurrentDbName = QStringLiteral("Scadenziario");
    qputenv("VELTO_TODAY", "2026-06-15");
    test::PromptRecorder prompts; // the same stand-in the tests use
    frmMain w(prompts);
    w.Form_Load();
    w.resize(1280, 800);
    w.applyLayout(Layout::ByClient);
    preferences().showGroupTotals = true;
    for (auto _ : state) {
        w.gexUpdate(0);
        // The captions carry the open totals: ask for every group's, as
        // the view does when it shows them.
        Grid *g = w.gex();
        const QAbstractItemModel *m = g->findChild<QTreeView *>()->model();
        qint64 length = 0;
        for (int top = 0; top < m->rowCount(); ++top) {
            const QModelIndex sheet = m->index(top, 0);
            length += m->data(sheet).toString().size();
            for (int k = 0; k < m->rowCount(sheet); ++k)
                length += m->data(m->index(k, 0, sheet)).toString().size();
        }
        benchmark::DoNotOptimize(length);
        if (g->recordCount() != state.range(0))
            state.SkipWithError("wrong record count");
    }
}
BENCHMARK(BM_GridReload)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
