// The export file of hostile values, read back by a standard reader (Python's
// csv module, tab-delimited with double-quote quoting): one line per
// deadline, eight fields on every line, each value as the user typed it.

#include "app/mainmod.h"
#include "deadlines/exporttext.h"
#include "selfprocess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace velto;

class tst_HostileExport : public QObject
{
    Q_OBJECT

private slots:
    void hostileValuesStayOneFieldOnOneLine_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("readBack");
        auto same = [](const char *tag, const QString &v) { QTest::newRow(tag) << v << v; };
        same("apostrophes and runs of them", QStringLiteral("l'affitto '' ''' '"));
        same("date-like text", QStringLiteral("#01/02/2024# and #12/31/9999#"));
        same("comment and statement end", QStringLiteral("x'); DROP TABLE Accounts; --"));
        same("star and brackets", QStringLiteral("DELETE * FROM [x]"));
        same("a boolean word", QStringLiteral("True"));
        same("backslashes", QStringLiteral("C:\\conti\\2027\\"));
        same("tabs inside", QStringLiteral("a\tb\t\tc"));
        same("double quotes", QStringLiteral("12\" monitor \"\"quoted\"\""));
        same("a value that is one quote", QStringLiteral("\""));
        same("quote at both ends", QStringLiteral("\"begin and end\""));
        same("non-Latin scripts", QStringLiteral("Счёт 請求書 فاتورة"));
        same("emoji", QStringLiteral("Bolletta 💡🔥 ok"));
        same("empty", QString());
        QTest::newRow("line breaks become blanks")
            << QStringLiteral("first\r\nsecond\nthird\rfourth") << QStringLiteral("first second third fourth");
        QTest::newRow("other controls become blanks")
            << QStringLiteral("a\x01\a\x1b[2J\x7f\u0085z") << QStringLiteral("a   [2J  z");
    }

    void hostileValuesStayOneFieldOnOneLine()
    {
        QFETCH(QString, value);
        QFETCH(QString, readBack);
        app().LanguageOffset = 0;
        const QString python3 = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python3.isEmpty())
            QSKIP("python3 is not installed; the standard reader is not available");

        // The value in every free-text column, between two ordinary deadlines.
        QList<ExportRecord> records(3);
        for (ExportRecord &r : records) {
            r.date = QDate(2027, 1, 15);
            r.description = QStringLiteral("Rent");
            r.amount = Currency::fromUnits(1000000);
            r.total = Currency::fromUnits(1000000);
        }
        records[1].description = value;
        records[1].account = value;
        records[1].accountNotes = value;
        const QByteArray text = exportText(records, QLocale::c());

        // One physical line per deadline, plus the header.
        QCOMPARE(text.count("\r\n"), 3);
        QCOMPARE(QByteArray(text).replace("\r\n", "").count('\n'), 0);
        QCOMPARE(QByteArray(text).replace("\r\n", "").count('\r'), 0);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("export.txt"));
        QVERIFY(test::writeFile(file, text));

        // The reader prints, per row, its field count and then each field.
        const char *reader = "import csv, json, sys\n"
                             "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                             "    rows = list(csv.reader(f, delimiter='\\t', quotechar='\"'))\n"
                             "print(json.dumps(rows))\n";
        QProcess python;
        python.start(python3, {QStringLiteral("-c"), QString::fromLatin1(reader), file});
        QVERIFY(python.waitForFinished(30000));
        QCOMPARE(python.exitCode(), 0);
        const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), 4);
        for (const QJsonValue &row : rows)
            QCOMPARE(row.toArray().size(), 8);
        const QJsonArray hostile = rows.at(2).toArray();
        QCOMPARE(hostile.at(3).toString(), readBack);                            // description
        QCOMPARE(hostile.at(6).toString(), readBack);                            // client/supplier
        QCOMPARE(hostile.at(7).toString(), readBack);                            // notes
        QCOMPARE(rows.at(3).toArray().at(3).toString(), QStringLiteral("Rent")); // the next line is untouched
    }
};

QTEST_GUILESS_MAIN(tst_HostileExport)
#include "tst_hostileexport.moc"
