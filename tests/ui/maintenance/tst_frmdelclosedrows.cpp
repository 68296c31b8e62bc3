// The purge dialog: the day it passes and the data sheet it names reach the
// database, the questions and messages in the user's language, and the main
// window's refresh. Which rows a purge takes is tested at the core.

#include "app/mainmod.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "promptrecorder.h"
#include "refreshrecorder.h"
#include "seed.h"
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

void addClosed(int dbId, const QDate &day, const char *description)
{
    QVERIFY(test::seedDeadline(dbId, DeadlineType::Credit, day, QLatin1String(description), 0, Currency(), true));
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
    void initTestCase() { qputenv("VELTO_TODAY", "2027-02-10"); }

    void init()
    {
        test::renew(m_box);
        QVERIFY(m_box->createDatabase());
        QVERIFY(test::exec(sql::createSheet(2, QStringLiteral("Lavoro"))));
        addClosed(1, QDate(2027, 2, 1), "a on sheet 1");
        addClosed(2, QDate(2027, 2, 3), "b on the day");
        addClosed(2, QDate(2027, 2, 4), "c the day after");
        app().LanguageOffset = 0;
        app().CurrentDbId = 2;
        m_prompts = PromptRecorder();
        m_refresh = std::make_unique<RefreshRecorder>();
    }

    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        m_refresh.reset();
    }

    void yesPurgesThePickedDayOfTheActiveSheetAndRefreshes()
    {
        // Under a day/month locale 3 February must not turn into 2 March.
        QLocale::setDefault(QLocale(QStringLiteral("it_IT")));
        frmDelClosedRows dlg(m_prompts);
        dlg.show();
        QCOMPARE(dlg.picker()->date(), QDate(2027, 2, 9)); // yesterday
        dlg.picker()->setDate(QDate(2027, 2, 3));
        m_prompts.answers = {true};

        click(dlg, "cmdSalva");

        QCOMPARE(test::storedDescriptions(), (QStringList{"a on sheet 1", "c the day after"}));
        QCOMPARE(m_prompts.defaults, QList<bool>{false});
        QCOMPARE(m_prompts.messages, QStringList{LoadResString(1309)});
        QCOMPARE(m_refresh->calls, QStringList{"notice"});
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void confirmationCountsInTheInterfaceLanguage_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("question");
        QTest::newRow("English") << 3000 << "There are 2 Deadlines to delete.\r\nConfirm?";
        // The German lead-in is a single blank: the count opens the line.
        QTest::newRow("German lead-in left out")
            << 12000 << QString("2 ") + stringForId(13308) + "\r\n" + stringForId(13305);
    }

    void confirmationCountsInTheInterfaceLanguage()
    {
        QFETCH(int, offset);
        QFETCH(QString, question);
        app().LanguageOffset = offset;
        frmDelClosedRows dlg(m_prompts);
        dlg.picker()->setDate(QDate(2027, 2, 28));

        dlg.cmdSalva_Click();

        QCOMPARE(m_prompts.questions, QStringList{question});
    }

    void answeringNoDeletesNothing()
    {
        frmDelClosedRows dlg(m_prompts);
        dlg.show();
        dlg.picker()->setDate(QDate(2027, 12, 31));
        m_prompts.answers = {false};

        click(dlg, "cmdSalva");

        QCOMPARE(test::storedDescriptions().size(), 3);
        QCOMPARE(m_prompts.messages, QStringList{LoadResString(1323)});
        QVERIFY(m_refresh->calls.isEmpty());
        QVERIFY(!dlg.isVisible());
    }

    void typedDayKeepsItsCentury_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("keys");
        QTest::newRow("Italian day/month/year") << "it_IT"
                                                << "03022027";
        QTest::newRow("US month/day/year") << "en_US"
                                           << "02032027";
    }

    void typedDayKeepsItsCentury()
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

    void toolsCommandAsksFirst_data()
    {
        QTest::addColumn<bool>("goOn");
        QTest::newRow("No: no dialog") << false;
        QTest::newRow("Yes: the dialog") << true;
    }

    void toolsCommandAsksFirst()
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

private:
    std::unique_ptr<test::Sandbox> m_box;
    PromptRecorder m_prompts;
    std::unique_ptr<RefreshRecorder> m_refresh;
};

QTEST_MAIN(TestFrmDelClosedRows)
#include "tst_frmdelclosedrows.moc"
