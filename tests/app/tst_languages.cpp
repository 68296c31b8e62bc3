#include "app/languages.h"
#include "app/mainmod.h"
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
        app().LanguageChoice = 0;
    }

    void languageFollowsChoiceOrSystemLanguage_data();
    void languageFollowsChoiceOrSystemLanguage();
    void menuOffersAutomaticSeparatorAndFiveLanguages();
    void eachLanguageItemStartsTheLanguageItNames_data();
    void eachLanguageItemStartsTheLanguageItNames();
    void automaticItemIsTranslatedAndNamesAreNot_data();
    void automaticItemIsTranslatedAndNamesAreNot();
    void storedChoiceChecksItsItem_data();
    void storedChoiceChecksItsItem();
    void pickingAnotherLanguageStoresItsIndex_data();
    void pickingAnotherLanguageStoresItsIndex();
    void pickingEnglishInAnItalianRunKeepsItalianUntilRestart();
};

void tst_Languages::languageFollowsChoiceOrSystemLanguage_data()
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
    QTest::newRow("automatic, Swiss Italian") << 0 << "0810" << 0 << ita;
    QTest::newRow("automatic, French") << 0 << "040c" << 6000 << fra;
    QTest::newRow("automatic, Canadian French") << 0 << "0c0c" << 6000 << fra;
    QTest::newRow("automatic, last French id") << 0 << "1c0c" << 6000 << fra;
    QTest::newRow("automatic, Spanish of Spain") << 0 << "0c0a" << 9000 << esp;
    QTest::newRow("automatic, Mexican Spanish") << 0 << "080a" << 9000 << esp;
    QTest::newRow("automatic, last Spanish id") << 0 << "200a" << 9000 << esp;
    QTest::newRow("automatic, German") << 0 << "0407" << 12000 << deu;
    QTest::newRow("automatic, Swiss German") << 0 << "0807" << 12000 << deu;
    QTest::newRow("automatic, Liechtenstein German") << 0 << "1407" << 12000 << deu;
    QTest::newRow("automatic, US English") << 0 << "0409" << 3000 << eng;
    QTest::newRow("automatic, Brazilian Portuguese falls to English") << 0 << "0416" << 3000 << eng;
    QTest::newRow("automatic, Luxembourg German") << 0 << "1007" << 12000 << deu;
    QTest::newRow("automatic, upper-case id is not matched") << 0 << "0C0A" << 3000 << eng;
    QTest::newRow("automatic, id with blanks is not matched") << 0 << " 0410" << 3000 << eng;
    QTest::newRow("automatic, empty id") << 0 << "" << 3000 << eng;

    QTest::newRow("choice 1 (the separator) is English") << 1 << "0410" << 3000 << eng;
    QTest::newRow("choice German beats Italian system") << 2 << "0410" << 12000 << deu;
    QTest::newRow("choice English beats Italian system") << 3 << "0410" << 3000 << eng;
    QTest::newRow("choice Spanish") << 4 << "0409" << 9000 << esp;
    QTest::newRow("choice French") << 5 << "0409" << 6000 << fra;
    QTest::newRow("choice Italian beats Spanish system") << 6 << "0c0a" << 0 << ita;
    QTest::newRow("choice 7 is English") << 7 << "0c0a" << 3000 << eng;
    QTest::newRow("negative choice is English") << -1 << "0407" << 3000 << eng;
}

void tst_Languages::languageFollowsChoiceOrSystemLanguage()
{
    QFETCH(int, choice);
    QFETCH(QString, localeId);
    QFETCH(int, offset);
    QFETCH(QString, helpFile);

    const LanguageSelection selection = selectLanguage(choice, localeId);

    QCOMPARE(selection.offset, offset);
    QCOMPARE(selection.helpFileName, helpFile);
}

void tst_Languages::menuOffersAutomaticSeparatorAndFiveLanguages()
{
    const QList<LanguageMenuItem> items = languageMenuItems();

    QCOMPARE(items.size(), 7);
    for (int i = 0; i < items.size(); ++i)
        QCOMPARE(items[i].index, i);
    QCOMPARE(items[0].captionId, 505);
    QVERIFY(!items[0].separator);
    QVERIFY(items[1].separator);
    for (int i = 2; i < items.size(); ++i) {
        QCOMPARE(items[i].captionId, 0);
        QVERIFY(!items[i].fixedCaption.isEmpty());
    }
}

void tst_Languages::eachLanguageItemStartsTheLanguageItNames_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("offset");
    QTest::newRow("Deutch") << 2 << "Deutch" << kOffsetGerman;
    QTest::newRow("English") << 3 << "English" << kOffsetEnglish;
    QTest::newRow("Espanol") << 4 << QString::fromUtf8("Español") << kOffsetSpanish;
    QTest::newRow("Francais") << 5 << QString::fromUtf8("Français") << kOffsetFrench;
    QTest::newRow("Italiano") << 6 << "Italiano" << kOffsetItalian;
}

void tst_Languages::eachLanguageItemStartsTheLanguageItNames()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(int, offset);

    // The item's index is what gets stored; the next start turns it into a
    // language, which must be the one the item is named after.
    QCOMPARE(languageMenuItems().at(index).fixedCaption, name);
    QCOMPARE(selectLanguage(index, QStringLiteral("0409")).offset, offset);
}

void tst_Languages::automaticItemIsTranslatedAndNamesAreNot_data()
{
    QTest::addColumn<int>("languageOffset");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Automatico in Italian") << kOffsetItalian << 0 << "Automatico";
    QTest::newRow("Automatic in English") << kOffsetEnglish << 0 << "Automatic";
    QTest::newRow("Automatisch in German") << kOffsetGerman << 0 << "Automatisch";
    QTest::newRow("separator in French") << kOffsetFrench << 1 << "-";
    QTest::newRow("Italiano in German") << kOffsetGerman << 6 << "Italiano";
    QTest::newRow("Deutch in Spanish") << kOffsetSpanish << 2 << "Deutch";
    QTest::newRow("Francais in Italian") << kOffsetItalian << 5 << QString::fromUtf8("Français");
    QTest::newRow("past the last item") << kOffsetEnglish << 7 << "";
    QTest::newRow("negative index") << kOffsetEnglish << -1 << "";
}

void tst_Languages::automaticItemIsTranslatedAndNamesAreNot()
{
    QFETCH(int, languageOffset);
    QFETCH(int, index);
    QFETCH(QString, caption);
    app().LanguageOffset = languageOffset;
    QCOMPARE(languageMenuCaption(index), caption);
}

void tst_Languages::storedChoiceChecksItsItem_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<std::optional<int>>("checked");
    QTest::newRow("automatic") << 0 << std::optional<int>(0);
    QTest::newRow("German") << 2 << std::optional<int>(2);
    QTest::newRow("English") << 3 << std::optional<int>(3);
    QTest::newRow("Italian") << 6 << std::optional<int>(6);
    QTest::newRow("separator index checks nothing") << 1 << std::optional<int>();
    QTest::newRow("7 checks nothing") << 7 << std::optional<int>();
    QTest::newRow("negative checks nothing") << -1 << std::optional<int>();
}

void tst_Languages::storedChoiceChecksItsItem()
{
    QFETCH(int, choice);
    QFETCH(std::optional<int>, checked);
    QCOMPARE(checkedLanguageItem(choice), checked);
}

void tst_Languages::pickingAnotherLanguageStoresItsIndex_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("picked");
    QTest::addColumn<std::optional<int>>("stored");
    QTest::newRow("Italian to English stores 3") << 6 << 3 << std::optional<int>(3);
    QTest::newRow("English to automatic stores 0") << 3 << 0 << std::optional<int>(0);
    QTest::newRow("automatic to Italian stores 6") << 0 << 6 << std::optional<int>(6);
    QTest::newRow("from an unknown choice 7 to English") << 7 << 3 << std::optional<int>(3);
    QTest::newRow("from a negative choice to German") << -1 << 2 << std::optional<int>(2);
    QTest::newRow("English again does nothing") << 3 << 3 << std::optional<int>();
    QTest::newRow("automatic again does nothing") << 0 << 0 << std::optional<int>();
    QTest::newRow("separator is no choice") << 0 << 1 << std::optional<int>();
    QTest::newRow("index past the menu is no choice") << 0 << 7 << std::optional<int>();
}

void tst_Languages::pickingAnotherLanguageStoresItsIndex()
{
    QFETCH(int, current);
    QFETCH(int, picked);
    QFETCH(std::optional<int>, stored);
    QCOMPARE(languageToStore(current, picked), stored);
}

void tst_Languages::pickingEnglishInAnItalianRunKeepsItalianUntilRestart()
{
    // Given an Italian run
    app().LanguageChoice = LanguageItalian;
    app().LanguageOffset = selectLanguage(app().LanguageChoice, QStringLiteral("0409")).offset;

    // When English is picked
    const std::optional<int> stored = languageToStore(app().LanguageChoice, LanguageEnglish);

    // Then 3 is stored, the restart request and every other text stay Italian
    QCOMPARE(stored, std::optional<int>(3));
    QCOMPARE(LoadResString(1362), QStringLiteral("Riavviare l'applicazione"));
    QCOMPARE(languageMenuCaption(LanguageAutomatic), QStringLiteral("Automatico"));
    // and the next start speaks English
    QCOMPARE(selectLanguage(*stored, QStringLiteral("0410")).offset, kOffsetEnglish);
}

QTEST_GUILESS_MAIN(tst_Languages)
#include "tst_languages.moc"
