// The quick search's comparison: case and accents ignored as readers of the
// language ignore them, every other character only itself.

#include "deadlines/searchfold.h"

#include <QTest>

using namespace velto;

class TestSearchFold : public QObject
{
    Q_OBJECT
private slots:
    void foldedTextHoldsFoldedNeedle_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<bool>("found");
        QTest::newRow("ASCII case ignored") << "en"
                                            << "Car INSURANCE"
                                            << "insurance" << true;
        QTest::newRow("plain letters find an accented word") << "it"
                                                             << "Città di Torino"
                                                             << "CITTA" << true;
        QTest::newRow("accented capitals match plain needle") << "fr"
                                                              << "ÉTÉ indien"
                                                              << "ete" << true;
        QTest::newRow("sharp s as ss") << "de"
                                       << "Straßenbau"
                                       << "STRASSE" << true;
        QTest::newRow("ligature oe") << "fr"
                                     << "Cœur"
                                     << "coeur" << true;
        QTest::newRow("tilde dropped") << "es"
                                       << "Año nuevo"
                                       << "ano" << true;
        QTest::newRow("another letter stays another") << "es"
                                                      << "Años"
                                                      << "anes" << false;
        QTest::newRow("tr: capitals as typed") << "tr_TR"
                                               << "KIRMIZI Şirket"
                                               << "KIRMIZI" << true;
        QTest::newRow("tr: dotted capital I") << "tr_TR"
                                              << "İstanbul ofis"
                                              << "istanbul" << true;
        QTest::newRow("az: capitals as typed") << "az_AZ"
                                               << "KIRMIZI Şirket"
                                               << "kirmizi" << true;
        QTest::newRow("lt: dotless i typed as i") << "lt_LT"
                                                  << "Diyarbakır"
                                                  << "DIYARBAKIR" << true;
        QTest::newRow("de: umlaut transcribed") << "de_DE"
                                                << "Müller"
                                                << "mueller" << true;
        QTest::newRow("de: umlaut dropped") << "de_DE"
                                            << "MÜLLER"
                                            << "muller" << true;
        QTest::newRow("pl: stroke dropped") << "pl_PL"
                                            << "Łódź"
                                            << "lodz" << true;
        QTest::newRow("no needle spans both foldings") << "de_DE"
                                                       << "Bär"
                                                       << "rb" << false;
    }
    void foldedTextHoldsFoldedNeedle()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        QFETCH(QString, needle);
        const QLocale locale(language);
        QTEST(searchMatches(searchFold(text, locale), searchNeedle(needle, locale)), "found");
    }
};

QTEST_APPLESS_MAIN(TestSearchFold)
#include "tst_searchfold.moc"
