// Purging closed deadlines up to a day: what goes and what stays in the
// database file, the questions and messages, and the main window's refresh.

#include "app/mainmod.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "promptrecorder.h"
#include "refreshrecorder.h"
#include "testsupport.h"
#include "ui/maintenance/frmdelclosedrows.h"

#include <QDateEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace velto;
using velto::test::PromptRecorder;
using velto::test::RefreshRecorder;

namespace {

void exec(const QString &statement)
{
    Connection cn;
    QVERIFY(cn.open(app().ConnectionString));
    const Status st = cn.execute(statement);
    QVERIFY2(st.ok(), qPrintable(st.message()));
}

void addDeadline(int dbId, const QDate &day, bool done, const QString &description)
{
    exec(sql::insertSingle(dbId, 1, day, description, 0, Currency::fromUnits(10000), Currency::fromUnits(10000), 0));
    if (done)
        exec(QStringLiteral("UPDATE Transactions SET TrDone = True WHERE TrDescription=") + sql::text(description));
}

QStringList storedDescriptions()
{
    QStringList names;
    Recordset rs;
    if (!rs.open(QStringLiteral("SELECT TrDescription FROM Transactions ORDER BY TrDescription"), app().ConnectionString))
        return names;
    for (; !rs.eof(); rs.moveNext())
        names.append(rs.textValue(0));
    return names;
}

void click(QWidget &dlg, const char *button)
{
    auto *b = dlg.findChild<QPushButton *>(QLatin1String(button));
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
}

} // namespace

class TestFrmDelClosedRows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void purgeTakesClosedOnOrBeforeTheDayOfTheActiveSheet_data();
    void purgeTakesClosedOnOrBeforeTheDayOfTheActiveSheet();
    void confirmationCountsInTheInterfaceLanguage_data();
    void confirmationCountsInTheInterfaceLanguage();
    void answeringNoDeletesNothing();
    void nothingToDeleteIsStillConfirmedAndReported();
    void cancelReadsAndChangesNothing();
    void pickerStartsAtYesterday();
    void typedDayKeepsItsCentury_data();
    void typedDayKeepsItsCentury();
    void toolsCommandAsksFirst_data();
    void toolsCommandAsksFirst();

private:
    void fillBook();
    std::unique_ptr<test::Sandbox> m_box;
    PromptRecorder m_prompts;
    std::unique_ptr<RefreshRecorder> m_refresh;
};

void TestFrmDelClosedRows::initTestCase()
{
    app().LanguageOffset = 0;
    qputenv("VELTO_TODAY", "2027-02-10");
}

void TestFrmDelClosedRows::init()
{
    m_box = std::make_unique<test::Sandbox>();
    QVERIFY(m_box->createDatabase());
    exec(sql::createSheet(2, QStringLiteral("Lavoro")));
    app().LanguageOffset = 0;
    app().CurrentDbId = 1;
    m_prompts = PromptRecorder();
    m_refresh = std::make_unique<RefreshRecorder>();
}

void TestFrmDelClosedRows::cleanup()
{
    QLocale::setDefault(QLocale::c());
    m_refresh.reset();
    m_box.reset();
}

// Sheet 1 unless named; the purge is asked for up to 3 February 2027.
void TestFrmDelClosedRows::fillBook()
{
    addDeadline(1, QDate(2027, 2, 2), true, "a closed the day before");
    addDeadline(1, QDate(2027, 2, 3), true, "b closed on the day");
    addDeadline(1, QDate(2027, 2, 4), true, "c closed the day after");
    addDeadline(1, QDate(2027, 3, 2), true, "d closed on 2 March");
    addDeadline(1, QDate(2027, 1, 1), false, "e open before");
    addDeadline(2, QDate(2027, 1, 1), true, "f closed before on sheet 2");
}

void TestFrmDelClosedRows::purgeTakesClosedOnOrBeforeTheDayOfTheActiveSheet_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("activeSheet");
    QTest::addColumn<QStringList>("kept");
    const QStringList keptOnSheet1{"c closed the day after", "d closed on 2 March", "e open before",
                                   "f closed before on sheet 2"};
    // Under a day/month locale 3 February must not turn into 2 March.
    QTest::newRow("C locale") << "C" << 1 << keptOnSheet1;
    QTest::newRow("Italian day/month locale") << "it_IT" << 1 << keptOnSheet1;
    QTest::newRow("German day.month locale") << "de_DE" << 1 << keptOnSheet1;
    QTest::newRow("US month/day locale") << "en_US" << 1 << keptOnSheet1;
    QTest::newRow("other sheet active") << "it_IT" << 2
                                        << QStringList{"a closed the day before", "b closed on the day",
                                                       "c closed the day after", "d closed on 2 March",
                                                       "e open before"};
}

void TestFrmDelClosedRows::purgeTakesClosedOnOrBeforeTheDayOfTheActiveSheet()
{
    QFETCH(QString, locale);
    QFETCH(int, activeSheet);
    QFETCH(QStringList, kept);
    QLocale::setDefault(QLocale(locale));
    fillBook();
    app().CurrentDbId = activeSheet;
    frmDelClosedRows dlg(m_prompts);
    dlg.show();
    dlg.picker()->setDate(QDate(2027, 2, 3));
    m_prompts.answers = {true};

    click(dlg, "cmdSalva");

    QCOMPARE(storedDescriptions(), kept);
    QCOMPARE(m_prompts.defaults, QList<bool>{false});
    QCOMPARE(m_prompts.messages, QStringList{LoadResString(1309)});
    const QStringList refresh{"gexUpdate(3)", "mvGetDayBold", "gextasksUpdate", "sbBallon"};
    QCOMPARE(m_refresh->calls, refresh);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
}

void TestFrmDelClosedRows::confirmationCountsInTheInterfaceLanguage_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("question");
    QTest::newRow("Italian") << 0 << "Sono state individuate 2 Scadenze da eliminare.\r\nConfermare l'operazione?";
    QTest::newRow("English") << 3000 << "There are 2 Deadlines to delete.\r\nConfirm?";
    // The German lead-in is a single blank: the count opens the line.
    QTest::newRow("German lead-in left out")
        << 12000 << QString("2 ") + stringForId(13308) + "\r\n" + stringForId(13305);
}

void TestFrmDelClosedRows::confirmationCountsInTheInterfaceLanguage()
{
    QFETCH(int, offset);
    QFETCH(QString, question);
    fillBook();
    app().LanguageOffset = offset;
    frmDelClosedRows dlg(m_prompts);
    dlg.show();
    dlg.picker()->setDate(QDate(2027, 2, 3));

    click(dlg, "cmdSalva");

    QCOMPARE(m_prompts.questions, QStringList{question});
}

void TestFrmDelClosedRows::answeringNoDeletesNothing()
{
    fillBook();
    const QStringList before = storedDescriptions();
    frmDelClosedRows dlg(m_prompts);
    dlg.show();
    dlg.picker()->setDate(QDate(2027, 12, 31));
    m_prompts.answers = {false};

    click(dlg, "cmdSalva");

    QCOMPARE(storedDescriptions(), before);
    QCOMPARE(m_prompts.messages, QStringList{LoadResString(1323)});
    QVERIFY(m_refresh->calls.isEmpty());
    QVERIFY(!dlg.isVisible());
}

void TestFrmDelClosedRows::nothingToDeleteIsStillConfirmedAndReported()
{
    addDeadline(1, QDate(2027, 2, 1), false, "open");
    frmDelClosedRows dlg(m_prompts);
    dlg.show();
    m_prompts.answers = {true};

    click(dlg, "cmdSalva");

    QVERIFY(m_prompts.questions.value(0).startsWith(QStringLiteral("Sono state individuate 0 ")));
    QCOMPARE(m_prompts.messages, QStringList{LoadResString(1309)});
    QCOMPARE(m_refresh->calls.size(), 4);
    QCOMPARE(storedDescriptions(), QStringList{"open"});
}

void TestFrmDelClosedRows::cancelReadsAndChangesNothing()
{
    fillBook();
    const QStringList before = storedDescriptions();
    frmDelClosedRows dlg(m_prompts);
    dlg.show();

    click(dlg, "cmdAnnulla");

    QCOMPARE(storedDescriptions(), before);
    QVERIFY(m_prompts.questions.isEmpty());
    QVERIFY(m_prompts.messages.isEmpty());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
}

void TestFrmDelClosedRows::pickerStartsAtYesterday()
{
    frmDelClosedRows dlg(m_prompts);
    QCOMPARE(dlg.picker()->date(), QDate(2027, 2, 9));
}

void TestFrmDelClosedRows::typedDayKeepsItsCentury_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("keys");
    QTest::newRow("Italian day/month/year") << "it_IT" << "03022027";
    QTest::newRow("US month/day/year") << "en_US" << "02032027";
    QTest::newRow("German day.month.year") << "de_DE" << "03022027";
}

void TestFrmDelClosedRows::typedDayKeepsItsCentury()
{
    QFETCH(QString, locale);
    QFETCH(QString, keys);
    QLocale::setDefault(QLocale(locale));
    frmDelClosedRows dlg(m_prompts);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QDateEdit *picker = dlg.picker();
    picker->setFocus();
    picker->setSelectedSection(picker->sectionAt(0));
    // Each full section moves on to the next by itself.
    QTest::keyClicks(picker, keys);

    QCOMPARE(picker->date(), QDate(2027, 2, 3));
}

void TestFrmDelClosedRows::toolsCommandAsksFirst_data()
{
    QTest::addColumn<bool>("goOn");
    QTest::newRow("No: no dialog") << false;
    QTest::newRow("Yes: the dialog") << true;
}

void TestFrmDelClosedRows::toolsCommandAsksFirst()
{
    QFETCH(bool, goOn);
    m_prompts.answers = {goOn};
    bool dialogShown = false;
    QTimer::singleShot(0, this, [&] {
        auto *dlg = qobject_cast<frmDelClosedRows *>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        dialogShown = true;
        click(*dlg, "cmdAnnulla");
    });

    frmDelClosedRows::run(m_prompts, nullptr);

    QCOMPARE(m_prompts.questions.value(0), LoadResString(1301) + "\r\n\r\n" + LoadResString(1302));
    QCOMPARE(dialogShown, goOn);
}

QTEST_MAIN(TestFrmDelClosedRows)
#include "tst_frmdelclosedrows.moc"
