// The deadline windows and record commands as the user drives them from the
// real main window: keys on its grid, the new-deadline and edit windows,
// export. Each case checks what reached the database file.

#include "app/localeinfo.h"
#include "app/preferences.h"
#include "app/strings.h"
#include "deadlines/deadline.h"
#include "deadlines/holidays.h"
#include "selfprocess.h"
#include "ui/deadlines/accountcombo.h"
#include "ui/deadlines/amountbox.h"
#include "ui/deadlines/frmScadenze.h"
#include "ui/deadlines/frmScadenzeNuovo.h"
#include "ui/deadlines/typecombo.h"
#include "windowtests.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace velto;
using namespace velto::test;

class tst_DeadlineWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { startWindowTests(); }

    void init()
    {
        QVERIFY(m_bench.reset());
        m_rossi = seedAccount(QStringLiteral("Rossi"), QStringLiteral("tel. 02 123"));
        m_bianchi = seedAccount(QStringLiteral("Bianchi"));
    }

    // F5 on a member of a debit or appointment series, then "into the series":
    // the new member has the series' type, whatever the grid shows for it.
    void addingToADebitSeriesStoresADebit_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("debit series") << typeCode(DeadlineType::Debit);
        QTest::newRow("appointment series") << typeCode(DeadlineType::Appointment);
    }

    void addingToADebitSeriesStoresADebit()
    {
        QFETCH(int, type);
        const auto seriesType = DeadlineType(type);
        const QList<qint64> ids =
            seedSeries(1, seriesType, QDate(2027, 1, 10), 3, QStringLiteral("Leasing"), m_bianchi, money("250"), 5);
        auto w = openMain();
        goTo(*w, ids[1]);
        m_prompts.groupAnswers = {2};

        press(w->gex(), Qt::Key_F5);

        auto *dlg = window<frmScadenzeNuovo>(*w);
        QVERIFY(dlg && dlg->isVisible());
        QCOMPARE(field<TypeCombo>(dlg, "imgcmbData")->type(), seriesType);
        QVERIFY(!field<TypeCombo>(dlg, "imgcmbData")->isEnabled());
        QCOMPARE(field<AccountCombo>(dlg, "dtcData")->boundValue(), m_bianchi);
        field<QDateEdit>(dlg, "datData0")->setDate(QDate(2027, 1, 20));
        QTest::mouseClick(field<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);

        QVERIFY(m_prompts.messages.isEmpty());
        const QList<Deadline> rows = storedDeadlines(QStringLiteral("TrGrpId=5"));
        QCOMPARE(rows.size(), 4);
        QVERIFY(numberedInOrder(rows));
        for (const Deadline &d : rows) {
            QCOMPARE(d.type, seriesType);
            QCOMPARE(d.balance, signedAmount(seriesType, d.value));
            QCOMPARE(d.accountId, m_bianchi);
        }
        QCOMPARE(rows[1].date, QDate(2027, 1, 20));
    }

    // The window may still be open from an earlier new deadline: adding to a
    // series without a client starts from no client.
    void reusedNewWindowCarriesNoClientIntoTheSeries()
    {
        const qint64 member =
            seedSeries(1, DeadlineType::Debit, QDate(2027, 2, 1), 2, QStringLiteral("Canone"), 0, money("40"), 8)[0];
        auto w = openMain();
        auto *dlg = openNew(*w); // no current row: a new deadline on its own
        QVERIFY(dlg);
        field<AccountCombo>(dlg, "dtcData")->setBoundValue(m_rossi);
        field<QLineEdit>(dlg, "txtData0")->setText(QStringLiteral("typed, then abandoned"));

        goTo(*w, member);
        m_prompts.groupAnswers = {2};
        press(w->gex(), Qt::Key_F5);

        QCOMPARE(window<frmScadenzeNuovo>(*w), dlg);
        QCOMPARE(field<AccountCombo>(dlg, "dtcData")->boundValue(), qint64(0));
        QCOMPARE(field<QLineEdit>(dlg, "txtData0")->text(), QStringLiteral("Canone"));
        QTest::mouseClick(field<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
        const QList<Deadline> rows = storedDeadlines(QStringLiteral("TrGrpId=8"));
        QCOMPARE(rows.size(), 3);
        for (const Deadline &d : rows)
            QCOMPARE(d.accountId, qint64(0));
    }

    void memberIsNotAddedToASeriesOfAnotherSheet()
    {
        seedSheet(2, QStringLiteral("Office"));
        const qint64 member =
            seedSeries(1, DeadlineType::Credit, QDate(2027, 2, 1), 2, QStringLiteral("Affitto"), 0, money("500"), 6)[0];
        auto w = openMain();
        goTo(*w, member);
        m_prompts.groupAnswers = {2};
        press(w->gex(), Qt::Key_F5);
        auto *dlg = window<frmScadenzeNuovo>(*w);
        QVERIFY(dlg);

        // The user selects the other data sheet while the window is open.
        app().CurrentDbId = 2;
        app().CurrentDbName = QStringLiteral("Office");
        w->gexUpdate(w->currentFilterIndex());
        QTest::mouseClick(field<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);

        QCOMPARE(m_prompts.messages, QStringList{LoadResString(1502)});
        QVERIFY(dlg->isVisible());
        QCOMPARE(storedDeadlines().size(), 2);
        for (const Deadline &d : storedDeadlines())
            QCOMPARE(d.groupCount, 2);
    }

    void seriesIsSavedAndTheFirstNewDeadlineIsCurrent()
    {
        seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 5), QStringLiteral("Before"), 0, money("1"));
        auto w = openMain();
        auto *dlg = openNew(*w);
        QVERIFY(dlg);
        field<TypeCombo>(dlg, "imgcmbData")->selectType(DeadlineType::Debit);
        QTest::mouseClick(field<QRadioButton>(dlg, "optgrp1"), Qt::LeftButton);
        field<QDateEdit>(dlg, "datData1")->setDate(QDate(2027, 1, 31));
        field<QLineEdit>(dlg, "txtData2")->setText(QStringLiteral("12"));
        field<QComboBox>(dlg, "cmbCadenza")->setCurrentIndex(int(Cadence::Monthly));
        QTest::keyClicks(field<QLineEdit>(dlg, "txtData0"), QStringLiteral("Rata l'auto"));
        auto *amount = field<AmountBox>(dlg, "txtData1");
        amount->clear();
        QTest::keyClicks(amount, QStringLiteral("120.5"));

        QTest::mouseClick(field<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
        QCoreApplication::processEvents();

        const QList<Deadline> rows = storedDeadlines(QStringLiteral("TrGrpId>0"));
        QCOMPARE(rows.size(), 12);
        QCOMPARE(rows[1].date, QDate(2027, 2, 28)); // month ends kept
        QCOMPARE(rows[11].date, QDate(2027, 12, 31));
        for (const Deadline &d : rows) {
            QCOMPARE(d.description, QStringLiteral("Rata l'auto"));
            QCOMPARE(d.balance.units(), qint64(-1205000));
        }
        // The first new deadline is current and the grid has the focus: Space closes it.
        QCOMPARE(currentKey(w->gex()), rows[0].rowId);
        QVERIFY(w->gex()->isAncestorOf(w->focusWidget()));
        press(w->focusWidget(), Qt::Key_Space);
        QVERIFY(storedDeadlines(QStringLiteral("TrGrpRow=1")).value(0).done);
    }

    // "Last working day, every month, 24 times" with the United States'
    // holidays: the database holds the dates the preview listed before Save
    // (the New Year of 2028 is observed on Friday 31 December 2027).
    void lastWorkingDaySeriesStoresThePreviewedDates()
    {
        Preferences chosen = Preferences::load();
        chosen.holidayCountry = int(HolidayCountry::UnitedStates);
        QVERIFY(chosen.saveHolidayCountry());
        auto w = openMain();
        auto *dlg = openNew(*w);
        QTest::mouseClick(field<QRadioButton>(dlg, "optgrp1"), Qt::LeftButton);
        field<QDateEdit>(dlg, "datData1")->setDate(QDate(2027, 1, 1));
        auto *count = field<QLineEdit>(dlg, "txtData2");
        count->selectAll();
        QTest::keyClicks(count, QStringLiteral("24"));
        QTest::keyClick(field<QComboBox>(dlg, "cmbCadenza"), Qt::Key_End);
        QTest::keyClicks(field<QLineEdit>(dlg, "txtData0"), QStringLiteral("Rent"));
        const QStringList preview = dlg->previewDates();
        QCOMPARE(preview.size(), 24);

        QTest::mouseClick(field<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
        QCoreApplication::processEvents();
        QStringList stored;
        const QLocale l;
        for (const Deadline &d : storedDeadlines(QStringLiteral("TrGrpId>0")))
            stored << l.dayName(d.date.dayOfWeek(), QLocale::ShortFormat) + u' '
                    + l.toString(d.date, fourDigitYearFormat(l));
        QCOMPARE(stored, preview);
        QCOMPARE(storedDeadlines(QStringLiteral("TrDate>='2027-12-01' AND TrDate<'2028-01-01'")).value(0).date,
                 QDate(2027, 12, 30));
    }

    void invalidFieldKeepsTheFocusAndWritesNothing_data()
    {
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("pasted");
        QTest::newRow("empty description") << "txtData0" << QString() << "10";
        // A pasted minus gets past the key filter: an amount is never negative.
        QTest::newRow("negative amount pasted") << "txtData1"
                                                << "Gas"
                                                << "-50";
        QTest::newRow("letters pasted") << "txtData1"
                                        << "Gas"
                                        << "abc";
        // Not fifteen: a comma where the regional format has no grouping.
        QTest::newRow("comma for a full stop") << "txtData1"
                                               << "Gas"
                                               << "1,5";
    }

    void invalidFieldKeepsTheFocusAndWritesNothing()
    {
        QFETCH(QString, fieldName);
        QFETCH(QString, description);
        QFETCH(QString, pasted);
        auto w = openMain();
        auto *dlg = openNew(*w);
        QVERIFY(dlg);
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg));
        field<TypeCombo>(dlg, "imgcmbData")->selectType(DeadlineType::Debit);
        field<QLineEdit>(dlg, "txtData0")->setText(description);
        auto *amount = field<AmountBox>(dlg, "txtData1");
        amount->setFocus();
        amount->selectAll();
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(amount, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(amount->text(), pasted);

        QTest::mouseClick(field<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);

        QVERIFY(dlg->isVisible());
        QCOMPARE(dlg->focusWidget(), field<QWidget>(dlg, qPrintable(fieldName)));
        QVERIFY(storedDeadlines().isEmpty());
        QCOMPARE(m_prompts.messages.value(0), fieldName == u"txtData1" ? amount->refusalText() : QString());
    }

    void countStepsStopAtAHundredButTypedCountsAreKept()
    {
        auto w = openMain();
        auto *dlg = openNew(*w);
        QVERIFY(dlg);
        QTest::mouseClick(field<QRadioButton>(dlg, "optgrp1"), Qt::LeftButton);
        auto *count = field<QLineEdit>(dlg, "txtData2");
        count->setText(QStringLiteral("99"));
        auto *up = field<QToolButton>(dlg, "UpDown1Up");
        QTest::mouseClick(up, Qt::LeftButton);
        QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(count->text(), QStringLiteral("100"));
        QTest::mouseClick(field<QToolButton>(dlg, "UpDown1Down"), Qt::LeftButton);
        QCOMPARE(count->text(), QStringLiteral("99"));

        count->setText(QStringLiteral("150"));
        field<QLineEdit>(dlg, "txtData0")->setText(QStringLiteral("Giornaliera"));
        QTest::mouseClick(field<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
        QCOMPARE(storedDeadlines().size(), 150);
    }

    void appointmentTakesNoAmountAndEscapeWritesNothing()
    {
        auto w = openMain();
        auto *dlg = openNew(*w);
        QVERIFY(dlg);
        auto *type = field<TypeCombo>(dlg, "imgcmbData");
        auto *amount = field<AmountBox>(dlg, "txtData1");
        type->selectType(DeadlineType::Credit);
        amount->setAmount(money("70"));
        type->selectType(DeadlineType::Appointment);
        QVERIFY(!amount->isEnabled());
        QVERIFY(amount->text().isEmpty());
        field<QLineEdit>(dlg, "txtData0")->setText(QStringLiteral("Dentista"));

        QTest::keyClick(dlg, Qt::Key_Escape);
        QTRY_VERIFY(!window<frmScadenzeNuovo>(*w));
        QVERIFY(storedDeadlines().isEmpty());

        dlg = openNew(*w);
        field<TypeCombo>(dlg, "imgcmbData")->selectType(DeadlineType::Appointment);
        field<QLineEdit>(dlg, "txtData0")->setText(QStringLiteral("Dentista"));
        QTest::mouseClick(field<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
        const Deadline stored = storedDeadlines().value(0);
        QCOMPARE(stored.type, DeadlineType::Appointment);
        QCOMPARE(stored.value, Currency());
        QCOMPARE(stored.balance, Currency());
    }

    void newClientFromTheDeadlineWindowIsSelected()
    {
        auto w = openMain();
        auto *dlg = openNew(*w);
        QVERIFY(dlg);
        auto *box = field<AccountCombo>(dlg, "dtcData");
        whenModal("velto::frmNewAcc", [](QWidget *editor) {
            QTest::keyClicks(editor->findChild<QLineEdit *>("txtData0"), QStringLiteral("Verdi & Figli"));
            QTest::mouseClick(editor->findChild<QPushButton *>("cmdSalva"), Qt::LeftButton);
        });

        QTest::mouseClick(field<QToolButton>(dlg, "cmdAdd"), Qt::LeftButton);

        const QList<QVariantMap> added =
            query(QStringLiteral("SELECT AcId FROM Accounts WHERE AcName='Verdi & Figli'"));
        QCOMPARE(added.size(), 1);
        QCOMPARE(box->boundValue(), added[0].value(QStringLiteral("AcId")).toLongLong());
    }

    void editAfterTheRowWasClosedInTheGridOverwritesNothing()
    {
        const qint64 id =
            seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 20), QStringLiteral("Luce"), 0, money("60"));
        auto w = openMain();
        goTo(*w, id);
        press(w->gex(), Qt::Key_Return);
        auto *dlg = window<frmScadenze>(*w);
        QVERIFY(dlg && dlg->isVisible());
        field<AmountBox>(dlg, "txtData1")->setAmount(money("65"));

        // Meanwhile the deadline is closed from the grid.
        w->activateWindow();
        goTo(*w, id);
        press(w->gex(), Qt::Key_Space);
        QVERIFY(storedDeadlines().value(0).done);

        QTest::mouseClick(field<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);

        QCOMPARE(m_prompts.messages, QStringList{LoadResString(1500)});
        const Deadline stored = storedDeadlines().value(0);
        QVERIFY(stored.done);
        QCOMPARE(stored.value, money("60"));
        // The window now shows the row as it is; saving again writes the edit.
        QVERIFY(dlg->isVisible());
        QVERIFY(field<QCheckBox>(dlg, "chkData")->isChecked());
        field<AmountBox>(dlg, "txtData1")->setAmount(money("65"));
        QTest::mouseClick(field<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
        QCOMPARE(storedDeadlines().value(0).value, money("65"));
        QVERIFY(storedDeadlines().value(0).done);
    }

    void editOfARowDeletedMeanwhileIsShownAndOpensNothing()
    {
        const qint64 id =
            seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 20), QStringLiteral("Luce"), 0, money("60"));
        auto w = openMain();
        goTo(*w, id);
        QVERIFY(test::exec(QStringLiteral("DELETE * FROM Transactions")));

        press(w->gex(), Qt::Key_Return);

        QCOMPARE(m_prompts.messages, QStringList{LoadResString(1504)});
        QVERIFY(!window<frmScadenze>(*w) || !window<frmScadenze>(*w)->isVisible());
    }

    void editWritesTheFieldsTyped()
    {
        const qint64 id =
            seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 20), QStringLiteral("Luce"), 0, money("60"));
        auto w = openMain();
        goTo(*w, id);
        press(w->gex(), Qt::Key_Return);
        auto *dlg = window<frmScadenze>(*w);
        QVERIFY(dlg);
        // A second Enter on the same deadline brings the same window to the front.
        w->activateWindow();
        goTo(*w, id);
        press(w->gex(), Qt::Key_Return);
        QCOMPARE(w->findChildren<frmScadenze *>().size(), 1);

        auto *description = field<QLineEdit>(dlg, "txtData0");
        description->selectAll();
        QTest::keyClicks(description, QStringLiteral("Luce e gas"));
        field<AccountCombo>(dlg, "dtcData")->setBoundValue(m_rossi);
        field<AmountBox>(dlg, "txtData1")->setAmount(money("80"));
        QTest::mouseClick(field<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);

        const Deadline stored = storedDeadlines().value(0);
        QCOMPARE(stored.description, QStringLiteral("Luce e gas"));
        QCOMPARE(stored.accountId, m_rossi);
        QCOMPARE(stored.balance, money("-80"));
        QVERIFY(m_prompts.messages.isEmpty());
    }

    // Space on the grid is the new-series and edit cases' closing step, and
    // keeps its place in the main window's grid test.
    void deleteKeyAsksBeforeDeletingTheCurrentDeadline()
    {
        const qint64 a = seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 20), QStringLiteral("A"), 0, money("1"));
        const qint64 b = seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 21), QStringLiteral("B"), 0, money("2"));
        auto w = openMain();
        goTo(*w, b);
        m_prompts.answers = {false};
        press(w->gex(), Qt::Key_Delete);
        QCOMPARE(m_prompts.questions, QStringList{LoadResString(1055)});
        QCOMPARE(storedDeadlines().size(), 2);
        m_prompts.answers = {true};
        press(w->gex(), Qt::Key_Delete);
        QCOMPARE(storedDeadlines().size(), 1);
        QCOMPARE(storedDeadlines().value(0).rowId, a);
    }

    void deletingASeriesMemberFollowsTheAnswer_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("cancelled") << 0 << 3;
        QTest::newRow("this deadline") << 1 << 2;
        QTest::newRow("the whole series") << 2 << 0;
    }

    void deletingASeriesMemberFollowsTheAnswer()
    {
        QFETCH(int, answer);
        QFETCH(int, left);
        const qint64 middle =
            seedSeries(1, DeadlineType::Debit, QDate(2027, 1, 15), 3, QStringLiteral("Rata"), 0, money("90"), 4)[1];
        auto w = openMain();
        goTo(*w, middle);
        m_prompts.groupAnswers = {answer};

        press(w->gex(), Qt::Key_Delete);

        QCOMPARE(m_prompts.groupQuestions, QList<GroupQuestionKind>{GroupQuestionKind::Erase});
        const QList<Deadline> rows = storedDeadlines();
        QCOMPARE(rows.size(), left);
        QVERIFY(numberedInOrder(rows));
        QCOMPARE(w->gex()->recordCount(), left);
    }

    // The layout by client/supplier with its groups collapsed: every deadline
    // once, in the grid's order, with its type named.
    void exportWritesWhatTheGridShowsWithItsTypes()
    {
        app().LanguageOffset = kOffsetItalian;
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        const qint64 rossi = m_rossi;
        seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 15), QStringLiteral("Fattura 12"), rossi, money("1234.5"),
                     true);
        seedDeadline(1, DeadlineType::Appointment, QDate(2027, 2, 1), QStringLiteral("Dentista"), 0, money("50"));
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 3, 1), QStringLiteral("Affitto"), 0, money("800"), false, 5, 2,
                     12);
        seedDeadline(1, DeadlineType::Credit, QDate(2027, 2, 20), QStringLiteral("Monitor 24\" Dell"), rossi,
                     money("199.99"));
        seedDeadline(2, DeadlineType::Credit, QDate(2027, 1, 1), QStringLiteral("other sheet"), 0, money("1"));
        auto w = openMain();
        w->applyLayout(Layout::ByClient);
        w->mnuView(5)->trigger(); // collapse all
        m_prompts.saveFile = m_bench.box->path() + QStringLiteral("/export.txt");

        w->mnuFile(3)->trigger();

        QVERIFY(m_prompts.messages.isEmpty());
        const QByteArray expected = readFile(QStringLiteral(VELTO_TEST_DATA "/export_by_client.txt"));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(readFile(m_prompts.saveFile), expected);
        QLocale::setDefault(QLocale::c());
    }

    void unwritableExportFileIsShown()
    {
        seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 15), QStringLiteral("Fattura"), 0, money("1"));
        auto w = openMain();
        m_prompts.saveFile = m_bench.box->path() + QStringLiteral("/no such folder/export.txt");

        w->mnuFile(3)->trigger();

        QCOMPARE(m_prompts.messages.size(), 1);
        QVERIFY(m_prompts.messages[0].startsWith(m_prompts.saveFile));
        QCOMPARE(m_prompts.icons[0], MessageIcon::Critical);
        QVERIFY(!QFile::exists(m_prompts.saveFile));
    }

    void printFailureIsShownAndCancelPrintsNothing()
    {
        seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 15), QStringLiteral("Fattura"), 0, money("1"));
        auto w = openMain();
        const QString pdf = m_bench.box->path() + QStringLiteral("/no such folder/print.pdf");
        m_prompts.printerSetUp = [&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        w->mnuFile(2)->trigger();
        QCOMPARE(m_prompts.messages.size(), 1);
        QCOMPARE(m_prompts.icons[0], MessageIcon::Critical);

        m_prompts = PromptRecorder(); // the dialog is cancelled
        w->mnuFile(2)->trigger();
        QVERIFY(m_prompts.messages.isEmpty());
        QVERIFY(!QFile::exists(pdf));
    }

private:
    std::unique_ptr<frmMain> openMain()
    {
        auto w = m_bench.openMain();
        w->resize(1000, 700);
        return w;
    }

    // Makes the deadline with this key the grid's current row.
    void goTo(frmMain &w, qint64 rowId)
    {
        QVERIFY(w.gex()->find(col(MainColumn::RowId), rowId));
        w.gex()->setFocus();
    }

    void press(QWidget *target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        // Keys for the grid reach the list inside it, as they do for the user.
        if (auto *grid = qobject_cast<Grid *>(target))
            target = grid->findChild<QTreeView *>();
        QTest::keyClick(target, key, modifiers);
        QCoreApplication::processEvents();
    }

    frmScadenzeNuovo *openNew(frmMain &w)
    {
        w.mnuRecord(0)->trigger();
        return window<frmScadenzeNuovo>(w);
    }

    template<class Window>
    Window *window(frmMain &w) const
    {
        return w.findChild<Window *>();
    }
    template<class Widget>
    static Widget *field(QWidget *window, const char *name)
    {
        return window->findChild<Widget *>(QLatin1String(name));
    }

    WindowBench m_bench;
    PromptRecorder &m_prompts = m_bench.prompts;
    qint64 m_rossi = 0;
    qint64 m_bianchi = 0;
};

QTEST_MAIN(tst_DeadlineWindows)
#include "tst_deadlinewindows.moc"
