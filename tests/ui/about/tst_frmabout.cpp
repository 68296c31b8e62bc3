// The About box: title and version line, the two address lines opened with
// the busy pointer shown only during the call, and a failing open.

#include "app/mainmod.h"
#include "app/strings.h"
#include "promptrecorder.h"
#include "ui/about/frmabout.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace velto;
using velto::test::PromptRecorder;

class TestFrmAbout : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void versionTextHasThreeParts_data();
    void versionTextHasThreeParts();
    void versionLineFollowsTheLanguage_data();
    void versionLineFollowsTheLanguage();
    void addressLinesOpenTheirAddress_data();
    void addressLinesOpenTheirAddress();
    void failingOpenKeepsTheWindowAndSaysSo();
    void okClosesTheMenuReusesOneWindowAndClosingTheOwnerEnds();
};

void TestFrmAbout::cleanup()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void TestFrmAbout::versionTextHasThreeParts_data()
{
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("shown");
    QTest::newRow("major.minor.revision") << "1.5.3" << "1.5.3";
    QTest::newRow("missing revision") << "2.1" << "2.1.0";
    QTest::newRow("major only") << "3" << "3.0.0";
    QTest::newRow("leading zeros dropped") << "01.05.10" << "1.5.10";
}

void TestFrmAbout::versionTextHasThreeParts()
{
    QFETCH(QString, build);
    QFETCH(QString, shown);
    QCOMPARE(versionText(build), shown);
}

void TestFrmAbout::versionLineFollowsTheLanguage_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("word");
    QTest::newRow("Italian") << 0 << "Versione";
    QTest::newRow("English") << 3000 << "Version";
    QTest::newRow("Spanish") << 9000 << QString::fromUtf8("Versión");
}

void TestFrmAbout::versionLineFollowsTheLanguage()
{
    QFETCH(int, offset);
    QFETCH(QString, word);
    app().LanguageOffset = offset;
    PromptRecorder prompts;
    frmAbout about(prompts);
    QCOMPARE(about.lblVersion()->text(), word + " " + versionText(QStringLiteral(VELTO_VERSION)));
    QCOMPARE(about.windowTitle(), app().AppTitle);
    auto *title = about.findChild<QLabel *>("lblTitle");
    QVERIFY(title);
    QCOMPARE(title->text(), app().AppTitle);
}

void TestFrmAbout::addressLinesOpenTheirAddress_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QUrl>("url");
    QTest::newRow("web line opens the web address") << "lblWeb" << QUrl(QLatin1String(kMakerWeb));
    QTest::newRow("mail line opens a new message")
        << "lblMain" << QUrl(QStringLiteral("mailto:") + QLatin1String(kMakerMail));
}

void TestFrmAbout::addressLinesOpenTheirAddress()
{
    QFETCH(QString, line);
    QFETCH(QUrl, url);
    PromptRecorder prompts;
    const QList<QUrl> &opened = prompts.openedAddresses;
    frmAbout about(prompts);
    about.show();
    auto *target = about.findChild<QPushButton *>(line);
    QVERIFY(target);

    QTest::mouseClick(target, Qt::LeftButton);

    QCOMPARE(opened, QList<QUrl>{url});
    QVERIFY(prompts.messages.isEmpty());

    // The line is a button for the keyboard too.
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Space);
    QCOMPARE(opened.size(), 2);
}

void TestFrmAbout::failingOpenKeepsTheWindowAndSaysSo()
{
    PromptRecorder prompts;
    prompts.addressOpens = false;
    frmAbout about(prompts);
    about.show();

    QTest::mouseClick(about.lblWeb(), Qt::LeftButton);

    QVERIFY(about.isVisible());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(prompts.messages.first().contains(QLatin1String(kMakerWeb).mid(8)));
}

void TestFrmAbout::okClosesTheMenuReusesOneWindowAndClosingTheOwnerEnds()
{
    PromptRecorder prompts;
    QWidget owner; // the main window
    owner.show();
    QPointer<frmAbout> first = frmAbout::showAbout(prompts, &owner);
    QVERIFY(first && first->isVisible());
    QCOMPARE(first->parentWidget(), &owner);
    QCOMPARE(frmAbout::showAbout(prompts, &owner), first.data());

    QTest::mouseClick(first->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QVERIFY(!first || !first->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!first);

    // An About box left open does not keep the program running once the
    // main window is closed.
    QPointer<frmAbout> second = frmAbout::showAbout(prompts, &owner);
    QVERIFY(second && second->isVisible());
    QTimer::singleShot(0, &owner, &QWidget::close);
    QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(1); }); // still running
    QCOMPARE(QApplication::exec(), 0);
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
