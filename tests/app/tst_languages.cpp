#include "app/languages.h"
#include "app/mainmod.h"
#include "app/preferences.h"
#include "app/strings.h"

#include <QTest>

#include <optional>

using namespace velto;

Q_DECLARE_METATYPE(std::optional<int>)

class tst_Languages : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        app().LanguageOffset = kOffsetEnglish;
        preferences().languageChoice = 0;
    }

    void languageFollowsChoiceOrSystemLanguage_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("localeId");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("helpFile");

        const QString ita = QStringLiteral("/ita_help.html");
        const QString eng = QStringLiteral("/eng_help.html");
        const QString fra = QStringLiteral("/fra_help.html");
        const QString esp = QStringLiteral("/esp_help.html");
        const QString deu = QStringLiteral("/deu_help.html");

        QTest::newRow("automatic, Italian") << 0 << "0410" << 0 << ita;
        QTest::newRow("automatic, French") << 0 << "040c" << 6000 << fra;
        QTest::newRow("automatic, Spanish of Spain") << 0 << "0c0a" << 9000 << esp;
        QTest::newRow("automatic, German") << 0 << "0407" << 12000 << deu;
        QTest::newRow("automatic, Swiss German, the last German id") << 0 << "0807" << 12000 << deu;
        QTest::newRow("automatic, Brazilian Portuguese falls to English") << 0 << "0416" << 3000 << eng;
        QTest::newRow("automatic, upper-case id is not matched") << 0 << "0C0A" << 3000 << eng;
        QTest::newRow("automatic, empty id") << 0 << "" << 3000 << eng;

        QTest::newRow("choice 1 (the separator) is English") << 1 << "0410" << 3000 << eng;
        QTest::newRow("choice German beats Italian system") << 2 << "0410" << 12000 << deu;
        QTest::newRow("choice English beats Italian system") << 3 << "0410" << 3000 << eng;
        QTest::newRow("choice Spanish") << 4 << "0409" << 9000 << esp;
        QTest::newRow("choice French") << 5 << "0409" << 6000 << fra;
        QTest::newRow("choice Italian beats Spanish system") << 6 << "0c0a" << 0 << ita;
        QTest::newRow("negative choice is English") << -1 << "0407" << 3000 << eng;
    }

    void languageFollowsChoiceOrSystemLanguage()
    {
        QFETCH(int, choice);
        QFETCH(QString, localeId);
        QFETCH(int, offset);
        QFETCH(QString, helpFile);

        const LanguageSelection selection = selectLanguage(choice, localeId);

        QCOMPARE(selection.offset, offset);
        QCOMPARE(selection.helpFileName, helpFile);
    }

    void automaticItemIsTranslatedAndNamesAreNot_data()
    {
        QTest::addColumn<int>("languageOffset");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Automatico in Italian") << kOffsetItalian << 0 << "Automatico";
        QTest::newRow("Automatic in English") << kOffsetEnglish << 0 << "Automatic";
        QTest::newRow("separator in French") << kOffsetFrench << 1 << "-";
        QTest::newRow("Deutch in Spanish") << kOffsetSpanish << 2 << "Deutch";
        QTest::newRow("English in German") << kOffsetGerman << 3 << "English";
        QTest::newRow("Espanol in French") << kOffsetFrench << 4 << QString::fromUtf8("Español");
        QTest::newRow("Francais in Italian") << kOffsetItalian << 5 << QString::fromUtf8("Français");
        QTest::newRow("Italiano in German") << kOffsetGerman << 6 << "Italiano";
        QTest::newRow("past the last item") << kOffsetEnglish << 7 << "";
        QTest::newRow("negative index") << kOffsetEnglish << -1 << "";
    }

    void automaticItemIsTranslatedAndNamesAreNot()
    {
        QFETCH(int, languageOffset);
        QFETCH(int, index);
        QFETCH(QString, caption);
        app().LanguageOffset = languageOffset;
        QCOMPARE(languageMenuCaption(index), caption);
        // The menu is built from the items; each name sits at the index whose
        // stored choice starts that language (the choice rows above).
        if (index > LanguageSeparator && index < LanguageMenuItemCount)
            QCOMPARE(languageMenuItems().at(index).fixedCaption, caption);
    }

    void menuChecksTheStoredChoiceAndStoresAnotherPick_data()
    {
        using Opt = std::optional<int>;
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("picked");
        QTest::addColumn<Opt>("checked"); // the item checked for the current choice
        QTest::addColumn<Opt>("stored");
        QTest::newRow("Italian to English stores 3") << 6 << 3 << Opt(6) << Opt(3);
        QTest::newRow("English to automatic stores 0") << 3 << 0 << Opt(3) << Opt(0);
        QTest::newRow("from an unknown choice 7 to English") << 7 << 3 << Opt() << Opt(3);
        QTest::newRow("from a negative choice to German") << -1 << 2 << Opt() << Opt(2);
        QTest::newRow("automatic again does nothing") << 0 << 0 << Opt(0) << Opt();
        QTest::newRow("separator as choice checks nothing") << 1 << 3 << Opt() << Opt(3);
        QTest::newRow("separator is no pick") << 0 << 1 << Opt(0) << Opt();
        QTest::newRow("index past the menu is no choice") << 2 << 7 << Opt(2) << Opt();
    }

    void menuChecksTheStoredChoiceAndStoresAnotherPick()
    {
        QFETCH(int, current);
        QFETCH(int, picked);
        QFETCH(std::optional<int>, checked);
        QFETCH(std::optional<int>, stored);
        QCOMPARE(checkedLanguageItem(current), checked);
        QCOMPARE(languageToStore(current, picked), stored);
    }
};

QTEST_GUILESS_MAIN(tst_Languages)
#include "tst_languages.moc"
