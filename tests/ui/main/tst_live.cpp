// Every window follows the database, whoever writes it: two real main
// windows in two processes on one file (or one server database: the
// notice comes by LISTEN/NOTIFY), the grid's place kept across a
// reload, the edit window told at once, the active sheet deleted elsewhere.

#include "app/mainmod.h"
#include "deadlines/undohistory.h"
#include "selfprocess.h"
#include "ui/accounts/frmAccounts.h"
#include "ui/accounts/managecounts.h"
#include "ui/deadlines/amountbox.h"
#include "ui/deadlines/frmScadenze.h"
#include "ui/deadlines/frmScadenzeNuovo.h"
#include "ui/sheets/frmscadenziari.h"
#include "ui/widgets/monthview.h"
#include "windowtests.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace velto;
using namespace velto::test;

namespace {

// The other process: a main window of its own on the database in this
// folder (or on this server database); it saves a new deadline through the
// new-deadline window for each description it reads.
int runOtherWindow(char **args)
{
    startWindowTests();
    qunsetenv("VELTO_TEST_ENGINE"); // its own sandbox needs no server database
    WindowBench bench;
    if (!bench.reset())
        return 2;
    pointAt(QString::fromLocal8Bit(args[0]));
    auto w = bench.openMain();
    tell("ready");
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        w->mnuRecord(0)->trigger();
        auto *dlg = w->findChild<frmScadenzeNuovo *>();
        dlg->findChild<QLineEdit *>("txtData0")->setText(QString::fromUtf8(line).trimmed());
        QTest::keyClicks(dlg->findChild<AmountBox *>("txtData1"), "10");
        QTest::mouseClick(dlg->findChild<QPushButton *>("cmdSalva"), Qt::LeftButton);
        settle();
        tell(bench.prompts.messages.isEmpty() ? "saved" : "refused");
    }
    return 0;
}

} // namespace

class tst_Live : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { startWindowTests(); }
    void init() { QVERIFY(m_bench.reset()); }

    void aSaveInAnotherProcessShowsWithinOneSecond()
    {
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 20), "Rent garage", 0, money("50"));
        const qint64 office = seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 25), "Rent office", 0, money("90"));
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 22), "Gas", 0, money("30"));
        auto w = m_bench.openMain();
        w->txtSearch()->setText("rent");
        w->gexFind(office);
        QProcess other;
        QVERIFY(startSelf(other, {"--other-window", app().DatabaseFolder}, "ready"));
        QVERIFY(w->dueImage() == 1 && !w->mv()->isDayBold(today()) && w->gextasks()->rowCount() == 0);

        other.write("Rent cellar\n");
        QVERIFY(other.waitForReadyRead(20000));
        QCOMPARE(other.readLine().trimmed(), QByteArray("saved"));

        QTRY_VERIFY_WITH_TIMEOUT(shownRows(w->gex(), Shown::Descriptions).contains("Rent cellar"), 1000);
        QCOMPARE(shownRows(w->gex(), Shown::Descriptions).size(), 3);
        QCOMPARE(currentKey(w->gex()), office);
        QCOMPARE(w->txtSearch()->text(), QStringLiteral("rent"));
        // Saved for today: due now, a bold day, in the start list of today
        QVERIFY(w->dueImage() == 2 && w->mv()->isDayBold(today()) && w->gextasks()->rowCount() == 1);
        other.closeWriteChannel();
        QVERIFY(other.waitForFinished(20000));
    }

    void theGridKeepsItsPlaceAcrossANotice()
    {
        const QList<qint64> rent =
            seedSeries(1, DeadlineType::Debit, QDate(2027, 1, 10), 60, "Rent", 0, money("100"), 10);
        seedDeadline(1, DeadlineType::Credit, QDate(2027, 2, 3), "Invoice", 0, money("70"));
        auto w = m_bench.openMain();
        w->applyLayout(Layout::ByMonth);
        w->txtSearch()->setText("rent");
        Grid *g = w->gex();
        g->setRowExpanded(g->row(1).isGroupRow() ? 2 : 1, false); // January
        w->gexFind(rent[40]);
        QScrollBar *bar = viewOf(g)->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        const int scroll = bar->value();
        const QStringList collapsed = shownRows(g, Shown::CollapsedGroups);
        QCOMPARE(collapsed.size(), 1);

        // A row comes in above the current one: the same number is another deadline now
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 3, 1), "Rent extra", 0, money("5"));

        QTRY_VERIFY_WITH_TIMEOUT(shownRows(g, Shown::Descriptions).contains("Rent extra"), 1000);
        QCOMPARE(currentKey(g), rent[40]);
        QCOMPARE(bar->value(), scroll);
        QCOMPARE(shownRows(g, Shown::CollapsedGroups), collapsed);
        QCOMPARE(w->txtSearch()->text(), QStringLiteral("rent"));
        QVERIFY(!shownRows(g, Shown::Descriptions).contains("Invoice"));
    }

    void theClientAndSheetListsFollow()
    {
        auto w = m_bench.openMain();
        frmAccounts *clients = ManageCounts(w.get(), m_bench.prompts);
        frmScadenziari sheets(m_bench.prompts, w.get());
        sheets.show();
        const int before[] = {clients->grid()->rowCount(), sheets.grid()->rowCount()};

        QVERIFY(exec("INSERT INTO Accounts (AcName) VALUES ('Rossi')"));
        QVERIFY(exec("INSERT INTO Dbs (DbId, DbName) VALUES (2, 'Office')"));

        QTRY_COMPARE_WITH_TIMEOUT(clients->grid()->rowCount(), before[0] + 1, 1000);
        QTRY_COMPARE_WITH_TIMEOUT(sheets.grid()->rowCount(), before[1] + 1, 1000);
    }

    void theEditWindowSaysAtOnceWhenItsDeadlineChanged_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("notice");
        QTest::newRow("closed elsewhere") << "UPDATE Transactions SET TrDone = True" << 1841;
        QTest::newRow("deleted elsewhere") << "DELETE FROM Transactions" << 1842;
        QTest::newRow("another deadline changed")
            << "UPDATE Transactions SET TrDone = True WHERE TrDescription = 'Gas'" << 0;
    }

    void theEditWindowSaysAtOnceWhenItsDeadlineChanged()
    {
        QFETCH(QString, statement);
        QFETCH(int, notice);
        const qint64 rent = seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 20), "Rent", 0, money("50"));
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 22), "Gas", 0, money("30"));
        auto w = m_bench.openMain();
        w->gexFind(rent);
        QTest::keyClick(viewOf(w->gex()), Qt::Key_Return);
        auto *dlg = w->findChild<frmScadenze *>();
        QVERIFY(dlg && dlg->changedNotice().isEmpty());

        QVERIFY(exec(statement));

        const QString expected = notice ? LoadResString(notice) : QString();
        QTRY_COMPARE_WITH_TIMEOUT(dlg->changedNotice(), expected, 1000);
        QTest::qWait(400);
        QCOMPARE(dlg->changedNotice(), expected);
        QVERIFY(m_bench.prompts.messages.isEmpty()); // said in the window, not in a box
    }

    void theActiveSheetDeletedElsewhereMovesToTheFirst()
    {
        seedSheet(2, "Office");
        seedDeadline(2, DeadlineType::Debit, QDate(2027, 1, 20), "Rent", 0, money("50"));
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 22), "Gas", 0, money("30"));
        app().CurrentDbId = 2;
        LoadCurrentDbName();
        auto w = m_bench.openMain();
        const QString first = column("SELECT DbName FROM Dbs WHERE DbId = 1").value(0);

        QVERIFY(exec("DELETE FROM Dbs WHERE DbId = 2"));

        QTRY_COMPARE_WITH_TIMEOUT(app().CurrentDbId, 1, 1000);
        QCOMPARE(m_bench.prompts.messages, QStringList{LoadResString(1840).arg("Office", first)});
        QCOMPARE(shownRows(w->gex(), Shown::Descriptions), QStringList{"Gas"});
        QVERIFY(w->sbPanel2()->text().contains(first));
    }

private:
    WindowBench m_bench;
};

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--other-window") == 0)
        return runOtherWindow(argv + 2);
    tst_Live tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_live.moc"
