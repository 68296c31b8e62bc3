// The edit-deadline window driven by keys and clicks: the amount of a debit,
// an appointment's amount, the closed box, a group member's date, Cancel,
// and a save whose row was deleted meanwhile.

#include "../main/deadlinebench.h"

#include "ui/deadlines/accountcombo.h"
#include "ui/deadlines/amountbox.h"
#include "ui/deadlines/frmScadenze.h"
#include "ui/deadlines/typecombo.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using namespace velto;
using namespace velto::test;

class TestFrmScadenze : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void savingWritesTheFields_data();
    void savingWritesTheFields();
    void groupMemberKeepsItsGroupFields();
    void cancelLeavesRowUnchanged_data();
    void cancelLeavesRowUnchanged();
    void rowDeletedMeanwhileKeepsWindowAndInput();
    void typeIsLockedAndItsLabelDoesNothing();
    void openingAMissingRowIsShownAndClosesTheWindow();

private:
    frmScadenze *open(qint64 rowId);
    void typeInto(QWidget *w, const QString &text);

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<Grid> m_grid;
    std::unique_ptr<RefreshRecorder> m_refresh;
    ScriptedPrompts m_prompts;
    QPointer<frmScadenze> m_dlg;
};

void TestFrmScadenze::init()
{
    m_box = std::make_unique<Sandbox>();
    QVERIFY(m_box->createDatabase());
    m_grid = std::make_unique<Grid>();
    setUpDeadlineGrid(*m_grid);
    m_refresh = std::make_unique<RefreshRecorder>(*m_grid);
    m_prompts = ScriptedPrompts();
}

void TestFrmScadenze::cleanup()
{
    delete m_dlg;
    settle();
    m_refresh.reset();
    m_grid.reset();
    m_box.reset();
}

frmScadenze *TestFrmScadenze::open(qint64 rowId)
{
    m_dlg = new frmScadenze(nullptr, m_prompts);
    if (!m_dlg->Apri(rowId))
        return nullptr;
    if (!QTest::qWaitForWindowActive(m_dlg))
        qWarning("the window did not become active");
    return m_dlg;
}

void TestFrmScadenze::typeInto(QWidget *w, const QString &text)
{
    w->setFocus(Qt::TabFocusReason);
    settle();
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        edit->selectAll();
    QTest::keyClicks(w, text);
}

void TestFrmScadenze::savingWritesTheFields_data()
{
    QTest::addColumn<QString>("typeKey");
    QTest::addColumn<QString>("typedAmount");
    QTest::addColumn<bool>("tickClosed");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<qint64>("balance");

    QTest::addRow("debit amount to 80 gives balance -80") << "d-1" << "80" << false << qint64(800000) << qint64(-800000);
    QTest::addRow("credit amount with decimals") << "d+1" << "80.25" << false << qint64(802500) << qint64(802500);
    QTest::addRow("appointment stores 0 and 0 whatever it held") << "d-2" << "" << false << qint64(0) << qint64(0);
    QTest::addRow("closing with the space bar") << "d-1" << "" << true << qint64(1000000) << qint64(-1000000);
}

void TestFrmScadenze::savingWritesTheFields()
{
    QFETCH(QString, typeKey);
    QFETCH(QString, typedAmount);
    QFETCH(bool, tickClosed);
    QFETCH(qint64, value);
    QFETCH(qint64, balance);

    QVERIFY(addDeadline(typeKey, QDate(2027, 4, 1), "Bolletta", "100"));
    // An old appointment that still holds an amount.
    if (typeKey == QLatin1String("d-2"))
        QVERIFY(run(QStringLiteral("UPDATE Transactions SET TrValue=5, TrBalance=-10")));
    const qint64 rowId = deadlines()[0]["TrRowId"].toLongLong();
    frmScadenze *dlg = open(rowId);
    QVERIFY(dlg);
    if (!typedAmount.isEmpty())
        typeInto(child<QLineEdit>(dlg, "txtData1"), typedAmount);
    if (tickClosed) {
        auto *box = child<QCheckBox>(dlg, "chkData");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
    }
    typeInto(child<QLineEdit>(dlg, "txtData0"), QStringLiteral("Bolletta gas"));
    QTest::mouseClick(child<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
    settle();

    QVERIFY2(m_prompts.messages.isEmpty(), qPrintable(m_prompts.messages.join('\n')));
    QVERIFY(!m_dlg);
    const QVariantMap row = deadlines()[0];
    QCOMPARE(row["TrValue"].value<Currency>().units(), value);
    QCOMPARE(row["TrBalance"].value<Currency>().units(), balance);
    QCOMPARE(row["TrDescription"].toString(), QStringLiteral("Bolletta gas"));
    QCOMPARE(row["TrDone"].toBool(), tickClosed);
    QCOMPARE(row["TrType"].toInt(), typeCodeOfKey(typeKey));
    QCOMPARE(m_refresh->calls, (QStringList{"gexUpdate", "mvGetDayBold", "gextasksUpdate", "sbBallon",
                                            "picStartVisible", "gexFind"}));
    // The grid comes back to the edited deadline.
    QCOMPARE(m_refresh->foundRowId, rowId);
    QCOMPARE(m_grid->value(1).toLongLong(), rowId);
}

void TestFrmScadenze::groupMemberKeepsItsGroupFields()
{
    QVERIFY(addDeadline("d-1", QDate(2027, 1, 10), "Rata", "90", 3, 2));
    const QVariantMap third = deadlines()[2];
    frmScadenze *dlg = open(third["TrRowId"].toLongLong());
    QVERIFY(dlg);
    child<QDateEdit>(dlg, "datData")->setDate(QDate(2027, 1, 20)); // before the second
    QTest::mouseClick(child<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
    settle();
    const QVariantMap after = query(sql::editDeadline(third["TrRowId"].toLongLong()))[0];
    QCOMPARE(after["TrDate"].toDate(), QDate(2027, 1, 20));
    for (const char *f : {"TrGrpRow", "TrGrpMDay", "TrGrpType", "TrGrpId"})
        QCOMPARE(after[f], third[f]);
}

void TestFrmScadenze::cancelLeavesRowUnchanged_data()
{
    QTest::addColumn<bool>("byEscape");
    QTest::addRow("Cancel button while the amount is invalid") << false;
    QTest::addRow("Escape key") << true;
}

void TestFrmScadenze::cancelLeavesRowUnchanged()
{
    QFETCH(bool, byEscape);
    QVERIFY(run(QStringLiteral("INSERT INTO Accounts (AcName) VALUES ('Beta')")));
    QVERIFY(addDeadline("d+1", QDate(2027, 4, 1), "Fattura", "100"));
    const QVariantMap before = deadlines()[0];
    frmScadenze *dlg = open(before["TrRowId"].toLongLong());
    QVERIFY(dlg);
    typeInto(child<QLineEdit>(dlg, "txtData0"), QStringLiteral("Altro"));
    QTest::keyClick(child<AccountCombo>(dlg, "dtcData"), Qt::Key_Down);
    child<QDateEdit>(dlg, "datData")->setDate(QDate(2030, 1, 1));
    auto *amount = child<QLineEdit>(dlg, "txtData1");
    typeInto(amount, QStringLiteral("7"));
    QTest::keyClick(amount, Qt::Key_Backspace); // empty: invalid, keeps the focus
    if (byEscape)
        QTest::keyClick(amount, Qt::Key_Escape);
    else
        QTest::mouseClick(child<QPushButton>(dlg, "cmdAnnulla"), Qt::LeftButton);
    settle();
    QVERIFY(!m_dlg);
    QCOMPARE(deadlines()[0], before);
    QVERIFY(m_refresh->calls.isEmpty());
}

void TestFrmScadenze::rowDeletedMeanwhileKeepsWindowAndInput()
{
    QVERIFY(addDeadline("d-1", QDate(2027, 4, 1), "Fattura", "100"));
    const qint64 rowId = deadlines()[0]["TrRowId"].toLongLong();
    frmScadenze *dlg = open(rowId);
    QVERIFY(dlg);
    typeInto(child<QLineEdit>(dlg, "txtData1"), QStringLiteral("80"));
    QVERIFY(run(sql::deleteOne(rowId)));
    QTest::mouseClick(child<QPushButton>(dlg, "cmdSalva"), Qt::LeftButton);
    settle();

    QCOMPARE(m_prompts.messages.size(), 1);
    QCOMPARE(m_prompts.icons[0], MessageIcon::Critical);
    QVERIFY(m_dlg && m_dlg->isVisible());
    QCOMPARE(child<QLineEdit>(dlg, "txtData1")->text(), QStringLiteral("80"));
    QVERIFY(deadlines().isEmpty()); // nothing came back to life
    QVERIFY(m_refresh->calls.isEmpty());
}

void TestFrmScadenze::typeIsLockedAndItsLabelDoesNothing()
{
    QVERIFY(addDeadline("d-2", QDate(2027, 4, 1), "Riunione"));
    frmScadenze *dlg = open(deadlines()[0]["TrRowId"].toLongLong());
    QVERIFY(dlg);
    auto *type = child<TypeCombo>(dlg, "imgcmbData");
    QVERIFY(!type->isEnabled());
    QCOMPARE(type->typeKey(), QStringLiteral("d-2"));
    QVERIFY(!child<QLineEdit>(dlg, "txtData1")->isEnabled());
    QWidget *focused = QApplication::focusWidget();
    QTest::mouseClick(child<QLabel>(dlg, "lblData0"), Qt::LeftButton);
    QTest::mouseClick(child<QLabel>(dlg, "lblData4"), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), focused);
    QTest::mouseClick(child<QLabel>(dlg, "lblData1"), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(dlg, "datData"));
    QCOMPARE(child<QLineEdit>(dlg, "txtData0")->maxLength(), 255);
}

void TestFrmScadenze::openingAMissingRowIsShownAndClosesTheWindow()
{
    m_dlg = new frmScadenze(nullptr, m_prompts);
    QVERIFY(!m_dlg->Apri(4242));
    settle();
    QVERIFY(!m_dlg);
    QCOMPARE(m_prompts.messages.size(), 1);
}

QTEST_MAIN(TestFrmScadenze)
#include "tst_frmscadenze.moc"
