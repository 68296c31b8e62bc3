// The help: one file per language, named as the language choice names it,
// covering every part of the program in that language's own words for the
// menus; and the help window that shows it or says the file is missing.

#include "app/languages.h"
#include "app/mainmod.h"
#include "app/strings.h"
#include "promptrecorder.h"
#include "selfprocess.h"
#include "ui/main/helpwindow.h"

#include <QKeySequence>
#include <QTextBrowser>
#include <QtTest>

using namespace velto;
using velto::test::PromptRecorder;

namespace {

QString helpFolder()
{
    return QStringLiteral(VELTO_SOURCE_DIR "/resources/help");
}

QString readText(const QString &path)
{
    return QString::fromUtf8(test::readFile(path));
}

} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT
private slots:
    void eachLanguageHasItsOwnCompleteHelp_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("lang");
        QTest::newRow("Italian") << int(LanguageItalian) << "it";
        QTest::newRow("English") << int(LanguageEnglish) << "en";
        QTest::newRow("French") << int(LanguageFrench) << "fr";
        QTest::newRow("Spanish") << int(LanguageSpanish) << "es";
        QTest::newRow("German") << int(LanguageGerman) << "de";
    }

    void eachLanguageHasItsOwnCompleteHelp()
    {
        QFETCH(int, choice);
        QFETCH(QString, lang);
        const LanguageSelection selection = selectLanguage(choice, QString());
        const QString html = readText(helpFolder() + selection.helpFileName);
        QVERIFY2(!html.isEmpty(), qPrintable(selection.helpFileName));

        QVERIFY(html.contains("<html lang=\"" + lang + "\">"));
        for (const char *section : {"deadlines", "series", "layouts", "calendar", "clients", "sheets", "export",
                                    "print", "maintenance", "keys"}) {
            QVERIFY2(html.contains(QStringLiteral("id=\"%1\"").arg(QLatin1String(section))), section);
            QVERIFY2(html.contains(QStringLiteral("href=\"#%1\"").arg(QLatin1String(section))), section);
        }
        for (const char *key : {"F1", "F4", "F5", "F12"})
            QVERIFY2(html.contains(QLatin1String(key)), key);
        // Shortcuts named as the menus show them, in Qt's words for the language.
        QVERIFY(installQtTranslations(selection.offset));
        for (const QKeySequence &keys :
             {QKeySequence(Qt::CTRL | Qt::Key_1), QKeySequence(Qt::CTRL | Qt::Key_F5),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F12), QKeySequence(Qt::Key_Delete)})
            QVERIFY2(html.contains(keys.toString(QKeySequence::NativeText)),
                     qPrintable(keys.toString(QKeySequence::NativeText)));
        QVERIFY(installQtTranslations(kOffsetEnglish));
        // The menu and button names as the program shows them in this language.
        app().LanguageOffset = selection.offset;
        for (int id : {203, 412, 413, 414, 415, 1254, 1250})
            QVERIFY2(html.contains(LoadResString(id).remove(u'&')), qPrintable(LoadResString(id)));
    }

    void showHelpOpensTheLanguagesFileInOneWindow()
    {
        app().LanguageOffset = 0;
        app().HelpFile = helpFolder() + "/ita_help.html";
        PromptRecorder prompts;

        HelpWindow *window = showHelp(nullptr, &prompts);

        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(window->browser()->toPlainText().contains(QStringLiteral("Scadenze ricorrenti")));
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(showHelp(nullptr, &prompts), window);

        QTest::keyClick(window->browser(), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    void missingHelpFileIsReported()
    {
        app().LanguageOffset = 3000;
        app().HelpFile = helpFolder() + "/xyz_help.html";
        PromptRecorder prompts;

        HelpWindow *window = showHelp(nullptr, &prompts);

        QVERIFY(!window);
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages.first().startsWith(LoadResString(1359)));
        QVERIFY(prompts.messages.first().contains(QStringLiteral("xyz_help.html")));
        QCOMPARE(prompts.icons.first(), MessageIcon::Critical);
    }
};

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
