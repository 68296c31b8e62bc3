// The About box: the version line, the two address lines opened with the
// busy pointer shown only during the call, and a failing open.

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
    void cleanup()
    {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }

    void versionTextHasThreeParts_data()
    {
        QTest::addColumn<QString>("build");
        QTest::addColumn<QString>("shown");
        QTest::newRow("major.minor.revision") << "1.5.3"
                                              << "1.5.3";
        QTest::newRow("missing revision") << "2.1"
                                          << "2.1.0";
        QTest::newRow("major only") << "3"
                                    << "3.0.0";
        QTest::newRow("leading zeros dropped") << "01.05.10"
                                               << "1.5.10";
    }

    void versionTextHasThreeParts()
    {
        QFETCH(QString, build);
        QFETCH(QString, shown);
        QCOMPARE(versionText(build), shown);
    }

    void addressLinesOpenTheirAddress_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<bool>("opens");
        const QUrl web{QLatin1String(kMakerWeb)};
        QTest::newRow("web line opens the web address") << "lblWeb" << web << true;
        QTest::newRow("mail line opens a new message")
            << "lblMain" << QUrl(QStringLiteral("mailto:") + QLatin1String(kMakerMail)) << true;
        QTest::newRow("failing open keeps the window and says so") << "lblWeb" << web << false;
    }

    void addressLinesOpenTheirAddress()
    {
        QFETCH(QString, line);
        QFETCH(QUrl, url);
        QFETCH(bool, opens);
        PromptRecorder prompts;
        prompts.addressOpens = opens;
        const QList<QUrl> &opened = prompts.openedAddresses;
        frmAbout about(prompts);
        about.show();
        QVERIFY(about.lblVersion()->text().endsWith(u' ' + versionText(QStringLiteral(VELTO_VERSION))));
        auto *target = about.findChild<QPushButton *>(line);
        QVERIFY(target);

        QTest::mouseClick(target, Qt::LeftButton);

        QCOMPARE(opened, QList<QUrl>{url});
        QVERIFY(about.isVisible());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(prompts.messages.size(), opens ? 0 : 1);
        if (!opens)
            QVERIFY(prompts.messages.first().contains(QLatin1String(kMakerWeb).mid(8)));

        // The line is a button for the keyboard too.
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Space);
        QCOMPARE(opened.size(), 2);
    }

    void okClosesTheMenuReusesOneWindowAndClosingTheOwnerEnds()
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
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
