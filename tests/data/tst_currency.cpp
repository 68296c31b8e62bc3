#include "data/currency.h"

#include <QTest>

#include <limits>

using namespace velto;
using namespace Qt::StringLiterals;

namespace {
constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();
} // namespace

class tst_Currency : public QObject
{
    Q_OBJECT

private slots:
    void readsInvariantText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("units");

        QTest::newRow("whole number") << "1234" << true << qint64(12340000);
        QTest::newRow("one decimal") << "1234.5" << true << qint64(12345000);
        QTest::newRow("four decimals exact") << "0.0001" << true << qint64(1);
        QTest::newRow("negative") << "-1234.5" << true << qint64(-12345000);
        QTest::newRow("plus sign") << "+2" << true << qint64(20000);
        QTest::newRow("blanks around") << "  7.25 " << true << qint64(72500);
        QTest::newRow("no whole digits") << ".5" << true << qint64(5000);
        QTest::newRow("no decimals after point") << "3." << true << qint64(30000);
        QTest::newRow("fifth decimal 5 rounds up") << "0.00005" << true << qint64(1);
        QTest::newRow("fifth decimal 4 rounds down") << "0.000049999" << true << qint64(0);
        QTest::newRow("rounding carries into whole") << "1.99995" << true << qint64(20000);
        QTest::newRow("negative rounds away from zero") << "-0.00005" << true << qint64(-1);
        QTest::newRow("largest value") << "922337203685477.5807" << true << kMax;
        QTest::newRow("smallest value") << "-922337203685477.5808" << true << kMin;
        QTest::newRow("one unit beyond largest") << "922337203685477.5808" << false << qint64(0);
        QTest::newRow("whole part beyond range") << "922337203685479" << false << qint64(0);
        QTest::newRow("rounding beyond largest") << "922337203685477.58075" << false << qint64(0);
        QTest::newRow("empty") << "" << false << qint64(0);
        QTest::newRow("sign only") << "-" << false << qint64(0);
        QTest::newRow("point only") << "." << false << qint64(0);
        QTest::newRow("comma decimal") << "1,5" << false << qint64(0);
        QTest::newRow("letters after") << "12abc" << false << qint64(0);
        QTest::newRow("two points") << "1.2.3" << false << qint64(0);
        QTest::newRow("exponent") << "1e3" << false << qint64(0);
    }

    void readsInvariantText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(qint64, units);
        const auto c = Currency::fromInvariant(text);
        QCOMPARE(c.has_value(), valid);
        if (valid)
            QCOMPARE(c->units(), units);
    }

    void writesInvariantAndSqlText_data()
    {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("invariant");
        QTest::addColumn<QString>("sqlText");

        QTest::newRow("zero") << qint64(0) << "0"
                              << " 0";
        QTest::newRow("no trailing zeros") << qint64(12345000) << "1234.5"
                                           << " 1234.5";
        QTest::newRow("whole") << qint64(1000000) << "100"
                               << " 100";
        QTest::newRow("smallest unit") << qint64(1) << "0.0001"
                                       << " 0.0001";
        QTest::newRow("negative keeps minus, no blank") << qint64(-12345000) << "-1234.5"
                                                        << "-1234.5";
        QTest::newRow("negative below one") << qint64(-500) << "-0.05"
                                            << "-0.05";
        QTest::newRow("four decimals") << qint64(12345678) << "1234.5678"
                                       << " 1234.5678";
        QTest::newRow("largest") << kMax << "922337203685477.5807"
                                 << " 922337203685477.5807";
        QTest::newRow("smallest") << kMin << "-922337203685477.5808"
                                  << "-922337203685477.5808";
    }

    void writesInvariantAndSqlText()
    {
        QFETCH(qint64, units);
        QFETCH(QString, invariant);
        QFETCH(QString, sqlText);
        const Currency c = Currency::fromUnits(units);
        QCOMPARE(c.toInvariant(), invariant);
        QCOMPARE(c.toSqlText(), sqlText);
        QCOMPARE(Currency::fromInvariant(c.toInvariant()), std::optional<Currency>(c));
    }

    void readsTextTheUserSees_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("units");

        const QLocale it(QLocale::Italian, QLocale::Italy);
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QLocale fr(QLocale::French, QLocale::France);
        const QLocale ch(QLocale::German, QLocale::Switzerland);

        QTest::newRow("it: symbol and grouping") << it << "1.234,50 €" << true << qint64(12345000);
        QTest::newRow("it: plain comma decimal") << it << "12,5" << true << qint64(125000);
        QTest::newRow("it: negative") << it << "-1.234,50 €" << true << qint64(-12345000);
        QTest::newRow("us: minus before symbol") << us << "-$0.75" << true << qint64(-7500);
        QTest::newRow("ch: apostrophe grouping") << ch << QStringLiteral("CHF 1’234.50") << true << qint64(12345000);
        QTest::newRow("us: comma where no grouping stands") << us << "1,5" << false << qint64(0);
        QTest::newRow("us: short group") << us << "$12,34.5" << false << qint64(0);
        QTest::newRow("us: grouping as the locale writes it") << us << "12,345.6" << true << qint64(123456000);
        QTest::newRow("it: full stop where no grouping stands") << it << "1.5" << false << qint64(0);
        QTest::newRow("de: full stop where no grouping stands")
            << QLocale(QLocale::German) << "1.5" << false << qint64(0);
        QTest::newRow("es: full stop where no grouping stands")
            << QLocale(QLocale::Spanish) << "1.5" << false << qint64(0);
        QTest::newRow("fr: comma decimal") << fr << "1,5" << true << qint64(15000);
        QTest::newRow("fr: plain blank grouping") << fr << "1 234,5 €" << true << qint64(12345000);
        QTest::newRow("empty box") << it << "" << false << qint64(0);
        QTest::newRow("symbol only") << it << "€" << false << qint64(0);
        QTest::newRow("letters") << us << "abc" << false << qint64(0);
        QTest::newRow("double minus") << us << "--5" << false << qint64(0);
    }

    void readsTextTheUserSees()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(qint64, units);
        const auto c = Currency::fromLocaleText(text, locale);
        QCOMPARE(c.has_value(), valid);
        if (valid)
            QCOMPARE(c->units(), units);
    }

    // Shown amounts are rounded half away from zero from the exact value.
    void showsMoneyRoundedFromTheExactValue_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("shown");
        QTest::newRow("2.675 up") << "en_US" << qint64(26750) << "$2.68";
        QTest::newRow("1.005 up") << "en_US" << qint64(10050) << "$1.01";
        QTest::newRow("tiny debit, no minus") << "en_US" << qint64(-40) << "$0.00";
        QTest::newRow("negative half away from zero") << "en_US" << qint64(-10050) << "($1.01)";
        QTest::newRow("it") << "it_IT" << qint64(26750) << u"2,68\u00a0€"_s;
        QTest::newRow("de grouping") << "de_DE" << qint64(12345678910050) << u"1.234.567.891,01\u00a0€"_s;
        QTest::newRow("fr") << "fr_FR" << qint64(-12345674999) << u"(1\u202f234\u202f567,50\u00a0€)"_s;
        QTest::newRow("es") << "es_ES" << qint64(49) << u"0,00\u00a0€"_s;
        QTest::newRow("smallest value") << "en_US" << kMin << "($922,337,203,685,477.58)";
        QTest::newRow("yen has no decimals") << "ja_JP" << qint64(15000) << u"￥2"_s;
    }
    void showsMoneyRoundedFromTheExactValue()
    {
        QFETCH(QString, locale);
        QFETCH(qint64, units);
        QTEST(Currency::fromUnits(units).toLocaleCurrency(QLocale(locale)), "shown");
    }

    // The amount box shows the locale's currency text; saving reads it back.
    void localeCurrencyTextReadsBack_data()
    {
        QTest::addColumn<QLocale>("locale");
        const QList<QLocale> locales = {
            QLocale(QLocale::Italian, QLocale::Italy),
            QLocale(QLocale::English, QLocale::UnitedStates),
            QLocale(QLocale::English, QLocale::UnitedKingdom),
            QLocale(QLocale::French, QLocale::France),
            QLocale(QLocale::German, QLocale::Germany),
            QLocale(QLocale::German, QLocale::Switzerland),
            QLocale(QLocale::Spanish, QLocale::Spain),
            QLocale(QLocale::Spanish, QLocale::Mexico),
            QLocale::c(),
        };
        for (const QLocale &l : locales)
            QTest::newRow(qPrintable(l.name())) << l;
    }

    void localeCurrencyTextReadsBack()
    {
        QFETCH(QLocale, locale);
        for (qint64 units : {qint64(0), qint64(12345000), qint64(-12345000), qint64(500), qint64(12345678900000)}) {
            const Currency c = Currency::fromUnits(units);
            const QString shown = c.toLocaleCurrency(locale);
            const auto back = Currency::fromLocaleText(shown, locale);
            QVERIFY2(back.has_value(), qPrintable(shown));
            QCOMPARE(back->units(), units);
        }
    }
};

QTEST_GUILESS_MAIN(tst_Currency)
#include "tst_currency.moc"
