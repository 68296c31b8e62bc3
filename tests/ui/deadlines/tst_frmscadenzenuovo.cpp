// The new-deadline window driven by keys and clicks: single deadlines and
// series reach the database, the field checks keep the focus, Cancel writes
// nothing, a failing save keeps the window and its input, and F5 creates a
// client/supplier that is then selected.

#include "../main/deadlinebench.h"

#include "app/strings.h"
#include "ui/accounts/frmNewAcc.h"
#include "ui/deadlines/accountcombo.h"
#include "ui/deadlines/amountbox.h"
#include "ui/deadlines/frmScadenzeNuovo.h"
#include "ui/main/recordcommands.h"
#include "ui/deadlines/typecombo.h"
#include "ui/deadlines/updown.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

using namespace velto;
using namespace velto::test;

class TestFrmScadenzeNuovo : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void seriesReachTheDatabase_data();
    void seriesReachTheDatabase();
    void appointmentWithEmptiedAmountStoresZero();
    void invalidFieldKeepsFocus_data();
    void invalidFieldKeepsFocus();
    void upDownStopsAtHundredButTypedCountIsAccepted();
    void amountBoxRefusesLettersAndReadsBackExactly();
    void cancelWritesNothing_data();
    void cancelWritesNothing();
    void failingSaveKeepsWindowAndInput();
    void singleDeadlineJoinsGroupOfThree();
    void f5CreatesClientAndSelectsIt();
    void typeRuleAndModeSwitch();

private:
    frmScadenzeNuovo *openNew();
    void typeInto(QWidget *w, const QString &text);

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<Grid> m_grid;
    std::unique_ptr<RefreshRecorder> m_refresh;
    ScriptedPrompts m_prompts;
    QPointer<frmScadenzeNuovo> m_dlg;
};

void TestFrmScadenzeNuovo::init()
{
    m_box = std::make_unique<Sandbox>();
    QVERIFY(m_box->createDatabase());
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    m_grid = std::make_unique<Grid>();
    setUpDeadlineGrid(*m_grid);
    m_refresh = std::make_unique<RefreshRecorder>(*m_grid);
    m_prompts = ScriptedPrompts();
}

void TestFrmScadenzeNuovo::cleanup()
{
    delete m_dlg;
    settle();
    m_refresh.reset();
    m_grid.reset();
    QLocale::setDefault(QLocale::c());
    m_box.reset();
}

frmScadenzeNuovo *TestFrmScadenzeNuovo::openNew()
{
    m_dlg = new frmScadenzeNuovo(nullptr, m_prompts);
    m_dlg->Nuovo();
    if (!QTest::qWaitForWindowActive(m_dlg))
        qWarning("the window did not become active");
    return m_dlg;
}

void TestFrmScadenzeNuovo::typeInto(QWidget *w, const QString &text)
{
    w->setFocus(Qt::TabFocusReason);
    settle();
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        edit->selectAll();
    QTest::keyClicks(w, text);
}

void TestFrmScadenzeNuovo::seriesReachTheDatabase_data()
{
    QTest::addColumn<int>("typeDownPresses"); // from the appointment
    QTest::addColumn<int>("cadence");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QList<QDate>>("expected");
    QTest::addColumn<qint64>("balanceUnits");

    const QList<QDate> monthEnds{{2027, 1, 31}, {2027, 2, 28}, {2027, 3, 31}, {2027, 4, 30},
                                 {2027, 5, 31}, {2027, 6, 30}, {2027, 7, 31}, {2027, 8, 31},
                                 {2027, 9, 30}, {2027, 10, 31}, {2027, 11, 30}, {2027, 12, 31}};
    QTest::addRow("monthly credit of 12 from 31 Jan keeps month ends")
        << 2 << 2 << "12" << QDate(2027, 1, 31) << monthEnds << qint64(5000000);
    QTest::addRow("weekly debit of 3") << 1 << 1 << "3" << QDate(2027, 3, 1)
                                       << QList<QDate>{{2027, 3, 1}, {2027, 3, 8}, {2027, 3, 15}} << qint64(-5000000);
    QTest::addRow("quarterly appointment of 2 from 30 Nov") << 0 << 3 << "2" << QDate(2026, 11, 30)
                                                            << QList<QDate>{{2026, 11, 30}, {2027, 2, 28}} << qint64(0);
}

void TestFrmScadenzeNuovo::seriesReachTheDatabase()
{
    QFETCH(int, typeDownPresses);
    QFETCH(int, cadence);
    QFETCH(QString, count);
    QFETCH(QDate, first);
    QFETCH(QList<QDate>, expected);
    QFETCH(qint64, balanceUnits);

    frmScadenzeNuovo *dlg = openNew();
    auto *type = child<TypeCombo>(dlg, "imgcmbData");
    type->setFocus();
    for (int i = 0; i < typeDownPresses; ++i)
        QTest::keyClick(type, Qt::Key_Down);
    QTest::mouseClick(child<QRadioButton>(dlg, "optgrp1"), Qt::LeftButton);
    QVERIFY(child<QWidget>(dlg, "picgrp1")->isVisible());
    child<QDateEdit>(dlg, "datData1")->setDate(first);
    typeInto(child<QLineEdit>(dlg, "txtData2"), count);
    auto *cadenceBox = child<QComboBox>(dlg, "cmbCadenza");
    cadenceBox->setFocus();
    for (int i = 0; i < cadence; ++i)
        QTest::keyClick(cadenceBox, Qt::Key_Down);
    typeInto(child<QLineEdit>(dlg, "txtData0"), QStringLiteral("Affitto"));
    if (typeDownPresses > 0)
        typeInto(child<QLineEdit>(dlg, "txtData1"), QStringLiteral("500"));
    QTest::mouseClick(child<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
    settle();

    QVERIFY2(m_prompts.messages.isEmpty(), qPrintable(m_prompts.messages.join('\n')));
    QVERIFY(!m_dlg);
    const QList<QVariantMap> rows = deadlines();
    QCOMPARE(rows.size(), expected.size());
    for (int k = 0; k < rows.size(); ++k) {
        QCOMPARE(rows[k]["TrDate"].toDate(), expected[k]);
        QCOMPARE(rows[k]["TrGrpRow"].toInt(), k + 1);
        QCOMPARE(rows[k]["TrGrpMDay"].toInt(), expected.size());
        QCOMPARE(rows[k]["TrGrpType"].toString(), QString(cadenceLetter(cadence)));
        QCOMPARE(rows[k]["TrBalance"].value<Currency>().units(), balanceUnits);
        QCOMPARE(rows[k]["TrDescription"].toString(), QStringLiteral("Affitto"));
    }
    QCOMPARE(m_refresh->calls, (QStringList{"gexUpdate", "mvGetDayBold", "gextasksUpdate", "sbBallon",
                                            "picStartVisible", "gexFind"}));
    QCOMPARE(m_refresh->foundRowId, qint64(0));
}

void TestFrmScadenzeNuovo::appointmentWithEmptiedAmountStoresZero()
{
    frmScadenzeNuovo *dlg = openNew();
    auto *amount = child<AmountBox>(dlg, "txtData1");
    // Opened as an appointment: no amount to type.
    QVERIFY(!amount->isEnabled());
    QVERIFY(amount->text().isEmpty());
    typeInto(child<QLineEdit>(dlg, "txtData0"), QStringLiteral("Dentista"));
    QTest::mouseClick(child<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
    settle();

    const QList<QVariantMap> rows = deadlines();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0]["TrType"].toInt(), -2);
    QCOMPARE(rows[0]["TrValue"].value<Currency>(), Currency());
    QCOMPARE(rows[0]["TrBalance"].value<Currency>(), Currency());
    QCOMPARE(rows[0]["TrGrpId"].toLongLong(), qint64(0));
    QCOMPARE(rows[0]["TrDate"].toDate(), today());
}

void TestFrmScadenzeNuovo::invalidFieldKeepsFocus_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed"); // empty: the field is emptied
    QTest::addColumn<bool>("keepsFocus");

    QTest::addRow("empty description") << "txtData0" << "" << true;
    QTest::addRow("description given") << "txtData0" << "Affitto" << false;
    QTest::addRow("count 1") << "txtData2" << "1" << true;
    QTest::addRow("count 2 as at the start") << "txtData2" << "2" << false;
    QTest::addRow("count 32767 typed") << "txtData2" << "32767" << false;
    QTest::addRow("count 32768 typed") << "txtData2" << "32768" << true;
    QTest::addRow("amount emptied") << "txtData1" << "" << true;
    QTest::addRow("letters in the amount are refused, digits stay") << "txtData1" << "1x2y" << false;
    QTest::addRow("amount with decimals") << "txtData1" << "12,5" << false;
}

void TestFrmScadenzeNuovo::invalidFieldKeepsFocus()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, keepsFocus);

    frmScadenzeNuovo *dlg = openNew();
    QTest::keyClick(child<TypeCombo>(dlg, "imgcmbData"), Qt::Key_Down); // a debit: the amount is open
    QTest::mouseClick(child<QRadioButton>(dlg, "optgrp1"), Qt::LeftButton);
    auto *box = child<QLineEdit>(dlg, qPrintable(field));
    box->setFocus(Qt::TabFocusReason);
    settle();
    box->selectAll();
    if (typed.isEmpty())
        QTest::keyClick(box, Qt::Key_Backspace);
    else
        QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Tab);
    settle();

    QCOMPARE(QApplication::focusWidget() == box, keepsFocus);
    QVERIFY(m_prompts.messages.isEmpty()); // no message, only the focus
    if (typed == QLatin1String("1x2y"))
        QCOMPARE(box->text(), QStringLiteral("12"));
}

void TestFrmScadenzeNuovo::upDownStopsAtHundredButTypedCountIsAccepted()
{
    frmScadenzeNuovo *dlg = openNew();
    QTest::mouseClick(child<QRadioButton>(dlg, "optgrp1"), Qt::LeftButton);
    auto *count = child<QLineEdit>(dlg, "txtData2");
    auto *up = child<QToolButton>(dlg, "UpDown1Up");
    typeInto(count, QStringLiteral("99"));
    QTest::mouseClick(up, Qt::LeftButton);
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(count->text(), QStringLiteral("100"));
    QTest::keyClick(count, Qt::Key_Up);
    QCOMPARE(count->text(), QStringLiteral("100"));
    QTest::mouseClick(child<QToolButton>(dlg, "UpDown1Down"), Qt::LeftButton);
    QCOMPARE(count->text(), QStringLiteral("99"));
    typeInto(count, QStringLiteral("150"));
    QTest::keyClick(count, Qt::Key_Tab);
    settle();
    QVERIFY(QApplication::focusWidget() != count);

    typeInto(child<QLineEdit>(dlg, "txtData0"), QStringLiteral("Giornaliera"));
    QTest::mouseClick(child<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
    settle();
    QCOMPARE(deadlines().size(), 150);
}

void TestFrmScadenzeNuovo::amountBoxRefusesLettersAndReadsBackExactly()
{
    frmScadenzeNuovo *dlg = openNew();
    QTest::keyClick(child<TypeCombo>(dlg, "imgcmbData"), Qt::Key_Down);
    auto *amount = child<AmountBox>(dlg, "txtData1");
    QVERIFY(amount->isEnabled());
    // Shown in the locale's currency format.
    QCOMPARE(amount->text(), QLocale().toCurrencyString(0.0));
    typeInto(amount, QStringLiteral("-1a234.5678"));
    // The minus and the letter are refused; the full stop is the locale's comma.
    QCOMPARE(amount->text(), QStringLiteral("1234,5678"));
    QCOMPARE(amount->amount()->units(), qint64(12345678));
    amount->setAmount(Currency::fromUnits(12345678));
    QCOMPARE(amount->amount()->units(), qint64(12345678));

    typeInto(child<QLineEdit>(dlg, "txtData0"), QStringLiteral("Fornitura"));
    amount->setAmount(Currency::fromUnits(12345678));
    QTest::mouseClick(child<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
    settle();
    const QList<QVariantMap> rows = deadlines();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0]["TrValue"].value<Currency>().units(), qint64(12345678));
    QCOMPARE(rows[0]["TrBalance"].value<Currency>().units(), qint64(-12345678));
}

void TestFrmScadenzeNuovo::cancelWritesNothing_data()
{
    QTest::addColumn<bool>("byEscape");
    QTest::addRow("Cancel button while the description is empty and invalid") << false;
    QTest::addRow("Escape key") << true;
}

void TestFrmScadenzeNuovo::cancelWritesNothing()
{
    QFETCH(bool, byEscape);
    frmScadenzeNuovo *dlg = openNew();
    QTest::keyClick(child<TypeCombo>(dlg, "imgcmbData"), Qt::Key_Down);
    typeInto(child<QLineEdit>(dlg, "txtData1"), QStringLiteral("50"));
    auto *description = child<QLineEdit>(dlg, "txtData0");
    if (byEscape)
        typeInto(description, QStringLiteral("Bolletta"));
    else
        description->setFocus();
    settle();
    if (byEscape)
        QTest::keyClick(description, Qt::Key_Escape);
    else
        QTest::mouseClick(child<QPushButton>(dlg, "cmdAnnulla"), Qt::LeftButton);
    settle();
    QVERIFY(!m_dlg);
    QVERIFY(deadlines().isEmpty());
    QVERIFY(m_refresh->calls.isEmpty());
}

void TestFrmScadenzeNuovo::failingSaveKeepsWindowAndInput()
{
    // The fifth row of a series fails: nothing of the series may stay.
    QVERIFY(run(QStringLiteral("CREATE TRIGGER failFifth BEFORE INSERT ON Transactions WHEN NEW.TrGrpRow = 5 "
                               "BEGIN SELECT RAISE(ABORT, 'disk is full'); END")));
    frmScadenzeNuovo *dlg = openNew();
    QTest::keyClick(child<TypeCombo>(dlg, "imgcmbData"), Qt::Key_Down);
    QTest::mouseClick(child<QRadioButton>(dlg, "optgrp1"), Qt::LeftButton);
    typeInto(child<QLineEdit>(dlg, "txtData2"), QStringLiteral("8"));
    typeInto(child<QLineEdit>(dlg, "txtData0"), QStringLiteral("Mutuo"));
    typeInto(child<QLineEdit>(dlg, "txtData1"), QStringLiteral("700"));
    QTest::mouseClick(child<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
    settle();

    QCOMPARE(m_prompts.messages.size(), 1);
    QVERIFY2(m_prompts.messages[0].contains(QStringLiteral("disk is full")), qPrintable(m_prompts.messages[0]));
    QVERIFY(m_dlg && m_dlg->isVisible());
    QCOMPARE(child<QLineEdit>(dlg, "txtData0")->text(), QStringLiteral("Mutuo"));
    QCOMPARE(child<QLineEdit>(dlg, "txtData2")->text(), QStringLiteral("8"));
    QCOMPARE(child<QLineEdit>(dlg, "txtData1")->text(), QStringLiteral("700"));
    QVERIFY(deadlines().isEmpty());
    QVERIFY(m_refresh->calls.isEmpty());

    // Once the fault is gone the same input saves.
    QVERIFY(run(QStringLiteral("DROP TRIGGER failFifth")));
    QTest::mouseClick(child<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
    settle();
    QVERIFY(!m_dlg);
    QCOMPARE(deadlines().size(), 8);
}

void TestFrmScadenzeNuovo::singleDeadlineJoinsGroupOfThree()
{
    QVERIFY(addDeadline("d-1", QDate(2027, 1, 10), "Leasing", "250", 3, 2));
    QVERIFY(addDeadline("d+1", QDate(2027, 1, 5), "Altro"));
    m_grid->rebind();
    const qint64 group = deadlines()[1]["TrGrpId"].toLongLong();
    QVERIFY(group > 0);
    QVERIFY(m_grid->find(6, QStringLiteral("Leasing")));

    RecordCommands commands(nullptr, *m_grid, m_prompts);
    m_prompts.groupAnswers = {2};
    commands.NewDeadline(m_grid->currentRow());
    frmScadenzeNuovo *dlg = commands.newDeadlineWindow();
    QVERIFY(dlg);
    m_dlg = dlg;
    QCOMPARE(dlg->addToGroupId(), group);
    QVERIFY(!child<QLineEdit>(dlg, "txtData0")->isEnabled());
    QVERIFY(!child<TypeCombo>(dlg, "imgcmbData")->isEnabled());
    QVERIFY(!child<AccountCombo>(dlg, "dtcData")->isEnabled());
    QCOMPARE(child<QLineEdit>(dlg, "txtData0")->text(), QStringLiteral("Leasing"));
    QCOMPARE(child<TypeCombo>(dlg, "imgcmbData")->typeKey(), QStringLiteral("d-1"));
    QCOMPARE(child<AmountBox>(dlg, "txtData1")->amount()->units(), qint64(2500000));

    child<QDateEdit>(dlg, "datData0")->setDate(QDate(2027, 2, 20));
    QTest::mouseClick(child<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
    settle();

    const QList<QVariantMap> rows = query(sql::groupRows(group));
    QCOMPARE(rows.size(), 4);
    const QList<QDate> dates{{2027, 1, 10}, {2027, 2, 10}, {2027, 2, 20}, {2027, 3, 10}};
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(rows[k]["TrDate"].toDate(), dates[k]);
        QCOMPARE(rows[k]["TrGrpRow"].toInt(), k + 1);
        QCOMPARE(rows[k]["TrGrpMDay"].toInt(), 4);
        QCOMPARE(rows[k]["TrBalance"].value<Currency>().units(), qint64(-2500000));
    }
    QCOMPARE(query(QStringLiteral("SELECT * FROM Transactions WHERE TrGrpId=0")).size(), 1);
}

void TestFrmScadenzeNuovo::f5CreatesClientAndSelectsIt()
{
    QVERIFY(run(QStringLiteral("INSERT INTO Accounts (AcName) VALUES ('Zeta srl')")));
    frmScadenzeNuovo *dlg = openNew();
    auto *combo = child<AccountCombo>(dlg, "dtcData");
    QCOMPARE(combo->count(), 2); // the empty entry and Zeta
    combo->setFocus();
    settle();
    whenModal("velto::frmNewAcc", [](QWidget *w) {
        QTest::keyClicks(w->findChild<QLineEdit *>("txtData0"), QStringLiteral("Alfa spa"));
        QTest::keyClicks(w->findChild<QLineEdit *>("txtData1"), QStringLiteral("tel. 0123"));
        QTest::mouseClick(w->findChild<QPushButton *>("cmdSalva"), Qt::LeftButton);
    });
    QTest::keyClick(combo, Qt::Key_F5);
    settle();

    const QList<QVariantMap> accounts = query(QStringLiteral("SELECT * FROM Accounts WHERE AcName='Alfa spa'"));
    QCOMPARE(accounts.size(), 1);
    QCOMPARE(accounts[0]["AcNotes"].toString(), QStringLiteral("tel. 0123"));
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->currentText(), QStringLiteral("Alfa spa"));
    QCOMPARE(combo->boundValue(), accounts[0]["AcId"].toLongLong());
    QTRY_COMPARE(QApplication::focusWidget(), combo);

    // Typing finds a name; the empty entry leaves the deadline without one.
    QTest::keyClicks(combo, QStringLiteral("Z"));
    QCOMPARE(combo->currentText(), QStringLiteral("Zeta srl"));
    typeInto(child<QLineEdit>(dlg, "txtData0"), QStringLiteral("Visita"));
    QTest::mouseClick(child<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
    settle();
    const QList<QVariantMap> rows = query(QStringLiteral("SELECT TrAcId, AcName FROM Transactions INNER JOIN Accounts ON TrAcId = AcId"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0]["AcName"].toString(), QStringLiteral("Zeta srl"));
}

void TestFrmScadenzeNuovo::typeRuleAndModeSwitch()
{
    frmScadenzeNuovo *dlg = openNew();
    auto *type = child<TypeCombo>(dlg, "imgcmbData");
    auto *amount = child<AmountBox>(dlg, "txtData1");
    QTest::keyClick(type, Qt::Key_Down);
    QVERIFY(amount->isEnabled());
    typeInto(amount, QStringLiteral("30"));
    QTest::keyClick(type, Qt::Key_Up);
    QVERIFY(!amount->isEnabled());
    QVERIFY(amount->text().isEmpty());

    auto *single = child<QRadioButton>(dlg, "optgrp0");
    auto *series = child<QRadioButton>(dlg, "optgrp1");
    QTest::mouseClick(series, Qt::LeftButton);
    QVERIFY(child<QWidget>(dlg, "picgrp1")->isVisible());
    QVERIFY(!child<QWidget>(dlg, "picgrp0")->isVisible());
    QVERIFY(series->font().bold() && !single->font().bold());
    QCOMPARE(dlg->statusText(), series->toolTip());
    QTest::mouseClick(single, Qt::LeftButton);
    QVERIFY(child<QWidget>(dlg, "picgrp0")->isVisible());

    // Enter moves on like Tab; the focused field's help shows in the status bar.
    auto *description = child<QLineEdit>(dlg, "txtData0");
    description->setFocus();
    settle();
    QCOMPARE(dlg->statusText(), LoadResString(1112));
    QTest::keyClicks(description, QStringLiteral("x"));
    QTest::keyClick(description, Qt::Key_Return);
    settle();
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(dlg, "dtcData"));
    QCOMPARE(dlg->statusText(), LoadResString(1113));
    // In single mode the hidden series fields are passed over.
    auto *date = child<QDateEdit>(dlg, "datData0");
    date->setFocus();
    settle();
    QTest::keyClick(date, Qt::Key_Return);
    settle();
    QCOMPARE(QApplication::focusWidget(), description);
    QVERIFY(deadlines().isEmpty());
    // A label click focuses its field.
    QTest::mouseClick(child<QLabel>(dlg, "lblData2"), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), description);
    QVERIFY(!(dlg->windowFlags() & Qt::WindowCloseButtonHint));
}

QTEST_MAIN(TestFrmScadenzeNuovo)
#include "tst_frmscadenzenuovo.moc"
