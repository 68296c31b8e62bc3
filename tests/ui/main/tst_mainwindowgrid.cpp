// The deadline grid as the user meets it in the main window: the notes line
// and collapsed groups across the rebinds of Space and Del, the record
// navigator and the current record after reloads, a double click on an
// empty list, Enter on the buttons of a deadline window, and the printed
// list read back from its PDF.

#include "ui/accounts/frmAccounts.h"
#include "ui/common/widgetprompts.h"
#include "ui/deadlines/frmScadenzeNuovo.h"
#include "ui/widgets/gridvalues.h"
#include "windowtests.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace velto;
using namespace velto::test;

class tst_MainWindowGrid : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { startWindowTests(); }
    void init() { QVERIFY(m_bench.reset()); }

    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        settle();
    }

    void rebindKeepsNotesLineAndCollapsedGroups_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Space closes the deadline, which leaves the open list") << int(Qt::Key_Space);
        QTest::newRow("Del deletes the deadline") << int(Qt::Key_Delete);
    }

    void rebindKeepsNotesLineAndCollapsedGroups()
    {
        QFETCH(int, key);
        // Open deadlines of two clients in January and one in February, by
        // month, February collapsed, Rossi's deadline current.
        const qint64 rossi = seedAccount(QStringLiteral("Rossi"), QStringLiteral("Calls after 3"));
        const qint64 bianchi = seedAccount(QStringLiteral("Bianchi"), QStringLiteral("Pays late"));
        const qint64 rossis =
            seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 10), QStringLiteral("Rossi's"), rossi, money("10"));
        QVERIFY(seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 11), QStringLiteral("Bianchi's"), bianchi,
                             money("10")));
        QVERIFY(seedDeadline(1, DeadlineType::Debit, QDate(2027, 2, 20), QStringLiteral("Later"), rossi, money("10")));
        auto w = openWindow();
        w->cmbFilter()->setCurrentIndex(1); // open deadlines
        w->applyLayout(Layout::ByMonth);
        Grid *grid = w->gex();
        const QString february = QLatin1Char(' ') + QLocale().toString(QDate(2027, 2, 1), QStringLiteral("MMMM yyyy"));
        grid->setRowExpanded(groupRow(grid, february), false);
        w->gexFind(rossis);
        QCOMPARE(w->lblAccNotes()->text(), QStringLiteral("[Rossi]  Calls after 3"));
        const int position = grid->currentRow();
        m_prompts.answers = {true};

        viewOf(grid)->setFocus();
        QTest::keyClick(viewOf(grid), Qt::Key(key));

        QCOMPARE(grid->currentRow(), position);
        QCOMPARE(grid->value(col(MainColumn::Description)).toString(), QStringLiteral("Bianchi's"));
        QCOMPARE(w->lblAccNotes()->text(), QStringLiteral("[Bianchi]  Pays late"));
        QVERIFY(!grid->isRowExpanded(groupRow(grid, february)));
        QVERIFY(grid->isRowExpanded(groupRow(grid, QStringLiteral(" January"))));
    }

    void navigatorAndCurrentRowNeverRestOnNothing()
    {
        for (int day = 1; day <= 3; ++day)
            QVERIFY(seedDeadline(1, DeadlineType::Credit, QDate(2027, 3, day), QStringLiteral("March %1").arg(day), 0,
                                 money("100")));
        QVERIFY(seedDeadline(1, DeadlineType::Credit, QDate(2027, 4, 1), QStringLiteral("April"), 0, money("100")));
        auto w = openWindow();
        w->applyLayout(Layout::ByMonth);
        Grid *grid = w->gex();
        const QString pattern = QStringLiteral("Deadline %1of 4");

        // A group row shows the place of the record under it, not 0.
        grid->setCurrentRow(1);
        QCOMPARE(navigator(grid), pattern.arg("1 "));
        grid->setCurrentRow(groupRow(grid, QStringLiteral(" April")));
        QCOMPARE(navigator(grid), pattern.arg("4 "));

        // After a reload the current row is a record, whatever the number was.
        grid->setCurrentRow(1);
        w->gexUpdate(1);
        QVERIFY(grid->currentRow() > 0);
        QVERIFY(!grid->row(grid->currentRow()).isGroupRow());
        // and a list without records has no current row and names no place
        w->gexUpdate(6); // closed deadlines: none
        QCOMPARE(grid->currentRow(), 0);
        QCOMPARE(navigator(grid), QStringLiteral("Deadline of 0"));
    }

    void doubleClickOnAnEmptyListOpensANewDeadline()
    {
        auto w = openWindow();
        QVERIFY(w->picStart()->isVisible());
        QWidget *viewport = viewOf(w->gex())->viewport();
        // a corner of the list, away from the start panel in its middle
        const QPoint corner(4, viewport->height() - 4);
        QVERIFY(!w->picStart()->geometry().contains(viewport->mapTo(w->picStart()->parentWidget(), corner)));

        QTest::mouseDClick(viewport, Qt::LeftButton, {}, corner);

        auto *dialog = w->findChild<frmScadenzeNuovo *>();
        QVERIFY(dialog && dialog->isVisible());
        dialog->close();
    }

    void enterOnAFocusedButtonPressesIt_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("stillOpen");
        QTest::addColumn<int>("saved");
        QTest::newRow("Enter on Save saves and closes") << "cmdSalva" << false << 1;
        QTest::newRow("Enter on Cancel closes without saving") << "cmdAnnulla" << false << 0;
        QTest::newRow("Enter in a field moves on as Tab") << "txtData0" << true << 0;
    }

    void enterOnAFocusedButtonPressesIt()
    {
        QFETCH(QString, focus);
        QFETCH(bool, stillOpen);
        QFETCH(int, saved);
        auto w = openWindow();
        w->mnuRecord(0)->trigger();
        settle();
        // The window deletes itself when it closes.
        QPointer<frmScadenzeNuovo> dialog = w->findChild<frmScadenzeNuovo *>();
        QVERIFY(dialog && dialog->isVisible());
        dialog->findChild<QLineEdit *>("txtData0")->setText(QStringLiteral("Typed"));
        dialog->findChild<QLineEdit *>("txtData1")->setText(QStringLiteral("12"));
        QWidget *target = dialog->findChild<QWidget *>(focus);
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        target->setFocus(Qt::TabFocusReason);
        QVERIFY(target->hasFocus());

        QTest::keyClick(target, Qt::Key_Return);
        settle();

        QCOMPARE(dialog && dialog->isVisible(), stillOpen);
        QCOMPARE(int(storedDeadlines().size()), saved);
        if (stillOpen) {
            QVERIFY(!target->hasFocus());
            dialog->close();
        }
    }

    void printShowsTypesCountersAndSignedAmountsWhole()
    {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (package poppler-utils) is not installed");
        // Long amounts, two-digit months, a series and every type, in US English.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY(seedDeadline(1, DeadlineType::Credit, QDate(2027, 10, 11), QStringLiteral("Invoice"), 0,
                             money("1234567.89")));
        seedSeries(1, DeadlineType::Debit, QDate(2027, 10, 30), 3, QStringLiteral("Lease"), 0, money("98765432.1"), 1);
        QVERIFY(
            seedDeadline(1, DeadlineType::Appointment, QDate(2027, 12, 12), QStringLiteral("Meeting"), 0, Currency()));
        auto w = openWindow();
        const QString pdf = m_bench.box->path() + QStringLiteral("/list.pdf");
        m_prompts.printerSetUp = [&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageSize(QPageSize(QPageSize::A4));
            return true;
        };

        w->mnuFile(2)->trigger();
        QVERIFY(m_prompts.messages.isEmpty());

        QProcess reader;
        reader.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(reader.waitForFinished(30000));
        const QString text = QString::fromUtf8(reader.readAllStandardOutput());
        auto money = [](const char *amount) {
            return formatGridValue(QVariant::fromValue(*Currency::fromInvariant(QString::fromLatin1(amount))),
                                   QStringLiteral("Currency"));
        };
        auto date = [](int month, int day) {
            return formatGridValue(QDate(2027, month, day), QStringLiteral("Short Date"));
        };
        const QStringList expected = {LoadResString(1041),
                                      LoadResString(1042),
                                      LoadResString(1043),
                                      QStringLiteral("Lease 1 of 3"),
                                      QStringLiteral("Lease 3 of 3"),
                                      money("1234567.89"),
                                      money("-98765432.1"),
                                      date(10, 11),
                                      date(10, 30),
                                      date(11, 30),
                                      date(12, 30),
                                      date(12, 12)};
        for (const QString &piece : expected)
            QVERIFY2(text.contains(piece), qPrintable(piece + QStringLiteral(" missing from:\n") + text));
        QCOMPARE(text.count(money("-98765432.1")), 3);
        QVERIFY2(!text.contains(QChar(0x2026)), qPrintable(text)); // nothing cut short
    }

    void refusalInTheClientsWindowBelongsToIt()
    {
        // A client named by a deadline, in the clients window opened from the
        // main window, with the program's own message boxes.
        const qint64 rossi = seedAccount(QStringLiteral("Rossi"), QString());
        QVERIFY(
            seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 10), QStringLiteral("Rossi's"), rossi, money("10")));
        WidgetPrompts prompts;
        frmMain w(prompts);
        prompts.setOwner(&w);
        w.Form_Load();
        w.show();
        w.mnuView(0)->trigger();
        auto *clients = w.findChild<frmAccounts *>();
        QVERIFY(clients && QTest::qWaitForWindowActive(clients));
        QList<QWidget *> boxOwners;
        auto refuse = [&] {
            whenModal("QMessageBox", [&](QWidget *box) {
                boxOwners << box->parentWidget();
                box->close();
            });
            QTest::keyClick(viewOf(clients->findChild<Grid *>()), Qt::Key_Delete);
            settle();
        };

        // Refused twice: the second time the window system may not yet have
        // given the activation back after the first box.
        refuse();
        refuse();

        QCOMPARE(boxOwners, (QList<QWidget *>{clients, clients}));
        QTRY_COMPARE(QApplication::activeWindow(), clients);
        clients->close();
    }

private:
    std::unique_ptr<frmMain> openWindow() { return m_bench.openMain(); }

    static int groupRow(Grid *grid, const QString &captionStart)
    {
        for (int r = 1; r <= grid->rowCount(); ++r) {
            if (grid->row(r).isGroupRow() && grid->row(r).caption().startsWith(captionStart))
                return r;
        }
        return 0;
    }

    static QString navigator(Grid *grid) { return grid->findChild<QLabel *>("recordNavigator")->text(); }
    WindowBench m_bench;
    PromptRecorder &m_prompts = m_bench.prompts;
};

QTEST_MAIN(tst_MainWindowGrid)
#include "tst_mainwindowgrid.moc"
