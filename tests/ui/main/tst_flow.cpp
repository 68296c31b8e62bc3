// The quick search and the cash-flow window in the real main window.

#include "testsupport.h"
#include "ui/main/exportprint.h"
#include "ui/main/frmcashflow.h"
#include "ui/main/frmmain.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/monthview.h"
#include "windowtests.h"

#include <QtTest>
#include <QtWidgets>

using namespace velto;
using namespace velto::test;

class tst_Flow : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        qputenv("VELTO_TODAY", "2027-01-15");
        m_box = std::make_unique<Sandbox>();
        QVERIFY(m_box->createDatabase());
    }

    void searchFindsHostileTextAsItStands_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("percent") << "0%" << QStringList{"50% off"};
        QTest::newRow("underscore") << "a_b" << QStringList{"a_b"};
        QTest::newRow("apostrophe in client and notes") << "'" << QStringList{"Rent", "say \"hi\""};
        QTest::newRow("double quotes") << "\"HI\"" << QStringList{"say \"hi\""};
        QTest::newRow("accent and case ignored") << "CITTÀ" << QStringList{"Citta nuova", "Città"};
        QTest::newRow("nothing") << "%%" << QStringList{};
    }
    void searchFindsHostileTextAsItStands()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        for (const char *d : {"50% off", "5000 off", "a_b", "axb", "Città", "Citta nuova"})
            seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 20), d, 0, money("1"));
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 21), "Rent", seedAccount("O'Brien"), money("1"));
        QVERIFY(
            exec("INSERT INTO Transactions (TrDbId, TrType, TrDate, TrDescription, TrNotes) VALUES "
                 "(1, 1, #01/22/2027#, 'say \"hi\"', 'quoted '' note'), (1, 1, #01/23/2027#, 'plain', 'Insurance')"));
        auto w = openWindow();
        QTest::keyClick(w.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w->txtSearch()->hasFocus());
        QTest::keyClicks(w->txtSearch(), typed);
        QCOMPARE(shown(w->gex()), found); // as export writes them
        QVERIFY(w->gex()->findChild<QLabel *>("recordNavigator")->text().endsWith(QString::number(found.size())));
        QTest::keyClick(w->txtSearch(), Qt::Key_Escape);
        QVERIFY(w->txtSearch()->text().isEmpty() && w->gex()->focusProxy()->hasFocus());
        QCOMPARE(w->gex()->recordCount(), 9);
    }

    void searchStaysOnTopOfEveryFilterAndLayout()
    {
        const qint64 rossi = seedAccount(QStringLiteral("Rossi"));
        int n = 0;
        for (DeadlineType type : kDeadlineTypes)
            for (bool done : {false, true})
                for (const char *d : {"Rent", "Gas", "rent b"}) {
                    const bool withClient = n++ % 2; // these in January, the others in February
                    seedDeadline(1, type, QDate(2027, 1, 10 + n % 9).addMonths(n % 2), d, withClient ? rossi : 0,
                                 money("3"), done);
                }
        auto w = openWindow();
        w->selectCalendarPeriod(QDate(2027, 1, 1), QDate(2027, 1, 31));
        w->txtSearch()->setText(QStringLiteral("RENT"));
        for (int i = 0; i < frmMain::kFilterCount * 4; ++i) {
            // Filter i / 4 and layout i % 4 chosen while the search stands: each reload keeps it
            w->cmbFilter()->setCurrentIndex(i / 4);
            w->applyLayout(Layout(i % kLayoutCount));
            const QStringList searched = shown(w->gex());
            w->txtSearch()->clear();
            const QStringList all = shown(w->gex());
            w->txtSearch()->setText(QStringLiteral("RENT"));
            QVERIFY2(!all.isEmpty() && searched == all.filter("rent", Qt::CaseInsensitive),
                     qPrintable(QString::number(i)));
        }
    }

    void cashFlowFollowsWritesAndPicksMonths()
    {
        seedDeadline(1, DeadlineType::Credit, QDate(2026, 12, 1), "overdue", 0, money("100"));
        auto w = openWindow();
        w->actCashFlow()->trigger();
        frmCashFlow *chart = w->cashFlowWindow();
        QVERIFY(chart->isVisible() && chart->barText(0, 0).contains(QLocale().toCurrencyString(100.0)));

        // A deadline saved anywhere shows at once
        QVERIFY(seedDeadline(1, DeadlineType::Debit, QDate(2027, 3, 5), QStringLiteral("Tax"), 0, money("30")) > 0);
        QTRY_COMPARE(chart->flow().months[2].balance, money("70"));
        QCOMPARE(chart->table()->item(2, 2)->text(), QLocale().toCurrencyString(30.0));

        // Enter on a month selects it in the calendar
        chart->table()->setCurrentCell(2, 0);
        QTest::keyClick(chart->table(), Qt::Key_Return);
        QCOMPARE(QList<QDate>({w->mv()->selectionStart(), w->mv()->selectionEnd()}),
                 QList<QDate>({{2027, 3, 1}, {2027, 3, 31}}));

        m_prompts.saveFile = m_box->path() + "/flow.png";
        chart->findChild<QPushButton *>("cmdSave")->click();
        QVERIFY(!QImage(m_prompts.saveFile).isNull());
    }

private:
    std::unique_ptr<frmMain> openWindow()
    {
        auto w = std::make_unique<frmMain>(m_prompts);
        w->Form_Load();
        w->show();
        return QTest::qWaitForWindowActive(w.get()) ? std::move(w) : nullptr;
    }
    // The stored descriptions of the records shown, sorted.
    static QStringList shown(Grid *grid)
    {
        QStringList out;
        for (const ExportRecord &r : exportRecords(*grid))
            out << r.description;
        return out.sort(), out;
    }
    std::unique_ptr<Sandbox> m_box;
    PromptRecorder m_prompts;
};

QTEST_MAIN(tst_Flow)
#include "tst_flow.moc"
