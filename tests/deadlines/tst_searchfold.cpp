// The quick search's comparison: case and accents ignored as readers of
// the language ignore them; every other character, wildcards of SQL and
// quotes included, is only itself.

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
        QTest::newRow("ASCII case ignored") << "en" << "Car INSURANCE" << "insurance" << true;
        QTest::newRow("plain letters find an accented word") << "it" << "Città di Torino" << "CITTA" << true;
        QTest::newRow("accented needle finds plain text") << "fr" << "Cafe Central" << "café" << true;
        QTest::newRow("accented capitals") << "fr" << "ÉTÉ indien" << "ete" << true;
        QTest::newRow("sharp s as ss") << "de" << "Straßenbau" << "STRASSE" << true;
        QTest::newRow("ligature oe") << "fr" << "Cœur" << "coeur" << true;
        QTest::newRow("tilde dropped") << "es" << "Año nuevo" << "ano" << true;
        QTest::newRow("percent is itself") << "en" << "100% paid" << "0% p" << true;
        QTest::newRow("percent is no wildcard") << "en" << "100 paid" << "1%p" << false;
        QTest::newRow("underscore is no wildcard") << "en" << "ab" << "a_" << false;
        QTest::newRow("quotes as they stand") << "it" << "L'affitto \"casa\"" << "'AFFITTO \"" << true;
        QTest::newRow("another letter stays another") << "en" << "rent" << "rant" << false;
        QTest::newRow("empty needle is everywhere") << "en" << "" << "" << true;
    }
    void foldedTextHoldsFoldedNeedle()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        QFETCH(QString, needle);
        QFETCH(bool, found);
        const QLocale locale(language);
        QCOMPARE(searchMatches(searchFold(text, locale), searchFold(needle, locale)), found);
    }
};

QTEST_APPLESS_MAIN(TestSearchFold)
#include "tst_searchfold.moc"
