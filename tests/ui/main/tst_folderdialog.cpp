// The folder dialog behind Tools > Change database and the start-up
// failure: the real dialog, answered by the test, returns the folder
// without a trailing separator (the root stays "/"), and Cancel returns
// nothing.

#include "ui/main/widgetprompts.h"

#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace velto;

class TestFolderDialog : public QObject
{
    Q_OBJECT
private slots:
    void chosenFolderComesBackWithoutTrailingSeparator_data();
    void chosenFolderComesBackWithoutTrailingSeparator();
    void cancelReturnsNothing();

};

void TestFolderDialog::chosenFolderComesBackWithoutTrailingSeparator_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("returned");
    const QString home = QDir::homePath();
    QTest::newRow("a folder") << home << home;
    QTest::newRow("root stays the root") << "/" << "/";
}

void TestFolderDialog::chosenFolderComesBackWithoutTrailingSeparator()
{
    QFETCH(QString, typed);
    QFETCH(QString, returned);
    WidgetPrompts prompts;
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Cambia database"));
        dialog->setDirectory(typed);
        dialog->selectFile(typed);
        QMetaObject::invokeMethod(dialog, "accept");
        // A dialog that did not take the answer fails the test, not hangs it.
        QTimer::singleShot(500, dialog, [dialog] { dialog->reject(); });
    });

    const QString folder = prompts.browseForFolder(QStringLiteral("Cambia database"));

    QVERIFY(seen);
    QCOMPARE(folder, returned);
}

void TestFolderDialog::cancelReturnsNothing()
{
    WidgetPrompts prompts;
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        dialog->reject();
    });

    QVERIFY(prompts.browseForFolder(QStringLiteral("Cambia database")).isEmpty());
    QVERIFY(seen);
}

QTEST_MAIN(TestFolderDialog)
#include "tst_folderdialog.moc"
