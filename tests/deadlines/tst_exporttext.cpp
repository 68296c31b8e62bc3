// The export file's text: the fields of one deadline line in each language
// and locale, and the encoding. The whole file of an Italian user (quoting,
// line breaks, appointments) is the export test of the deadline windows.

#include "app/mainmod.h"
#include "deadlines/exporttext.h"

#include <QtTest>

using namespace velto;

namespace {

ExportRecord record(int type, bool done, const QString &description, std::optional<Currency> amount, Currency total)
{
    ExportRecord r;
    r.type = DeadlineType(type);
    r.done = done;
    r.date = QDate(2027, 3, 4);
    r.description = description;
    r.amount = amount;
    r.total = total;
    return r;
}

// The second line of the file, as text.
QString firstRecordLine(const QByteArray &file)
{
    return QString::fromUtf8(file).split(QStringLiteral("\r\n")).value(1);
}

} // namespace

class TestExportText : public QObject
{
    Q_OBJECT
private slots:
    void recordLine_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("done");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("line");
        QTest::newRow("open debit, English US")
            << 3000 << "en_US" << -1 << false << "Rent"
            << "\"Debit\"\t\"Open\"\t\"3/4/2027\"\t\"Rent\"\t\"1234.5\"\t\"1234.5\"\t\"\"\t\"\"";
        QTest::newRow("German date keeps its order, dots and century")
            << 12000 << "de_DE" << 1 << false << "Miete"
            << "\"Forderung\"\t\"Offen\"\t\"04.03.2027\"\t\"Miete\"\t\"1234,5\"\t\"1234,5\"\t\"\"\t\"\"";
        QTest::newRow("Spanish date without leading zeros, four-digit year")
            << 9000 << "es_ES" << -1 << true << "Alquiler"
            << "\"Pago\"\t\"Cerrado\"\t\"4/3/2027\"\t\"Alquiler\"\t\"1234,5\"\t\"1234,5\"\t\"\"\t\"\"";
        QTest::newRow("unknown type leaves the type empty")
            << 0 << "it_IT" << 7 << false << "x"
            << "\"\"\t\"Aperta\"\t\"04/03/2027\"\t\"x\"\t\"1234,5\"\t\"1234,5\"\t\"\"\t\"\"";
    }

    void recordLine()
    {
        QFETCH(int, offset);
        QFETCH(QString, locale);
        QFETCH(int, type);
        QFETCH(bool, done);
        QFETCH(QString, description);
        QFETCH(QString, line);
        app().LanguageOffset = offset;
        const Currency amount = Currency::fromUnits(12345000);

        const QByteArray file = exportText({record(type, done, description, amount, amount)}, QLocale(locale));

        QCOMPARE(firstRecordLine(file), line);
    }

    void accentedTextIsWrittenAsUtf8()
    {
        app().LanguageOffset = 6000; // French: "Créance"
        ExportRecord r = record(1, false, QStringLiteral("Échéance à régler"), std::nullopt, Currency());
        r.account = QStringLiteral("Société Générale");

        const QByteArray file = exportText({r}, QLocale(QLocale::French, QLocale::France));

        QVERIFY(file.contains("\"Cr\xC3\xA9"
                              "ance\""));
        QVERIFY(file.contains("\"\xC3\x89"
                              "ch\xC3\xA9"
                              "ance \xC3\xA0 r\xC3\xA9"
                              "gler\""));
        QVERIFY(file.contains("\"Soci\xC3\xA9t\xC3\xA9 G\xC3\xA9n\xC3\xA9rale\""));
    }
};

QTEST_GUILESS_MAIN(TestExportText)
#include "tst_exporttext.moc"
