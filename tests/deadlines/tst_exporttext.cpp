// The export file's text: the fields of one deadline line in each language
// and locale, quoting, and the bytes of the line breaks and encoding.

#include "deadlines/exporttext.h"
#include "app/mainmod.h"

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
    void recordLine_data();
    void recordLine();
    void linesAreSeparatedByCrLfWithoutATrailingBreak();
    void accentedTextIsWrittenAsUtf8();
};

void TestExportText::recordLine_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("done");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("line");
    QTest::newRow("closed credit, Italian") << 0 << "it_IT" << 1 << true << "Fattura"
                                            << "\"Credito\"\t\"Chiusa\"\t\"04/03/2027\"\t\"Fattura\"\t\"1234,5\"\t\"1234,5\"\t\"\"\t\"\"";
    QTest::newRow("open debit, English US") << 3000 << "en_US" << -1 << false << "Rent"
                                            << "\"Debit\"\t\"Open\"\t\"3/4/2027\"\t\"Rent\"\t\"1234.5\"\t\"1234.5\"\t\"\"\t\"\"";
    QTest::newRow("German date keeps its order, dots and century") << 12000 << "de_DE" << 1 << false << "Miete"
        << "\"Forderung\"\t\"Offen\"\t\"04.03.2027\"\t\"Miete\"\t\"1234,5\"\t\"1234,5\"\t\"\"\t\"\"";
    QTest::newRow("Spanish date without leading zeros, four-digit year") << 9000 << "es_ES" << -1 << true << "Alquiler"
        << "\"Pago\"\t\"Cerrado\"\t\"4/3/2027\"\t\"Alquiler\"\t\"1234,5\"\t\"1234,5\"\t\"\"\t\"\"";
    QTest::newRow("appointment has no amount") << 0 << "it_IT" << -2 << false << "Dentista"
                                               << "\"Appuntamento\"\t\"Aperta\"\t\"04/03/2027\"\t\"Dentista\"\t\"\"\t\"1234,5\"\t\"\"\t\"\"";
    QTest::newRow("unknown type leaves the type empty") << 0 << "it_IT" << 7 << false << "x"
                                                        << "\"\"\t\"Aperta\"\t\"04/03/2027\"\t\"x\"\t\"1234,5\"\t\"1234,5\"\t\"\"\t\"\"";
    QTest::newRow("quote inside a value is doubled") << 0 << "it_IT" << 1 << false << "Monitor 24\" \"Dell\""
                                                     << "\"Credito\"\t\"Aperta\"\t\"04/03/2027\"\t\"Monitor 24\"\" \"\"Dell\"\"\"\t\"1234,5\"\t\"1234,5\"\t\"\"\t\"\"";
}

void TestExportText::recordLine()
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

void TestExportText::linesAreSeparatedByCrLfWithoutATrailingBreak()
{
    app().LanguageOffset = 3000;
    const QList<ExportRecord> two{record(1, false, "a", std::nullopt, Currency()),
                                  record(-1, true, "b", std::nullopt, Currency())};

    const QByteArray file = exportText(two, QLocale::c());

    QCOMPARE(file.count("\r\n"), 2);
    QCOMPARE(file.count('\n'), 2);
    QVERIFY(file.startsWith("Type\tDone\tDate\tDescription\tAmount\tTotal\tClient/Supplier\tClient/Supplier Notes\r\n"));
    QVERIFY(file.endsWith("\"\"\t\"\""));
}

void TestExportText::accentedTextIsWrittenAsUtf8()
{
    app().LanguageOffset = 6000; // French: "Créance"
    ExportRecord r = record(1, false, QStringLiteral("Échéance à régler"), std::nullopt, Currency());
    r.account = QStringLiteral("Société Générale");

    const QByteArray file = exportText({r}, QLocale(QLocale::French, QLocale::France));

    QVERIFY(file.contains("\"Cr\xC3\xA9" "ance\""));
    QVERIFY(file.contains("\"\xC3\x89" "ch\xC3\xA9" "ance \xC3\xA0 r\xC3\xA9" "gler\""));
    QVERIFY(file.contains("\"Soci\xC3\xA9t\xC3\xA9 G\xC3\xA9n\xC3\xA9rale\""));
}

QTEST_GUILESS_MAIN(TestExportText)
#include "tst_exporttext.moc"
