#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "data/sqldialect.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;

namespace {

const QString kHostile = QStringLiteral("Meeting #01/02/2024# DELETE * FROM x'); DROP TABLE Accounts; --");

QStringList tableNames(Connection &conn)
{
    QStringList names;
    Recordset rs;
    if (!rs.open(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%' ORDER BY name"),
                 conn))
        return names;
    for (; !rs.eof(); rs.moveNext())
        names << rs.textValue(0);
    return names;
}

} // namespace

class tst_SqlDialect : public QObject
{
    Q_OBJECT

private slots:
    void dateLiteralIgnoresTheRegion_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("literal");
        QTest::newRow("5 March 2024, Italian") << QLocale(QLocale::Italian) << QDate(2024, 3, 5) << "#03/05/2024#";
        QTest::newRow("5 March 2024, German") << QLocale(QLocale::German) << QDate(2024, 3, 5) << "#03/05/2024#";
        QTest::newRow("31 December, US") << QLocale(QLocale::English, QLocale::UnitedStates) << QDate(2027, 12, 31)
                                         << "#12/31/2027#";
        QTest::newRow("year below 1000") << QLocale::c() << QDate(999, 1, 9) << "#01/09/0999#";
    }

    void dateLiteralIgnoresTheRegion()
    {
        QFETCH(QLocale, locale);
        QFETCH(QDate, day);
        QFETCH(QString, literal);
        QLocale::setDefault(locale);
        const QString text = SqlDate(day);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(text, literal);
        const auto t = translateSql(QStringLiteral("SELECT ") + text, LiteralMode::Lift);
        QVERIFY(t.ok());
        QCOMPARE(t.params.at(0).text, day.toString(Qt::ISODate).toLatin1());
    }

    void translatesDialectInline_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");

        QTest::newRow("date literal becomes ISO text")
            << "SELECT TrRowId FROM Transactions WHERE TrDate=#03/05/2024#"
            << "SELECT TrRowId FROM Transactions WHERE TrDate='2024-03-05'";
        QTest::newRow("one-digit month and day")
            << "SELECT * FROM t WHERE d<=#3/5/2024#" << "SELECT * FROM t WHERE d<='2024-03-05'";
        QTest::newRow("between two dates")
            << "WHERE (TrDate Between #01/01/2024# And #12/31/2024#)"
            << "WHERE (TrDate Between '2024-01-01' And '2024-12-31')";
        QTest::newRow("True and False become 1 and 0")
            << "SELECT * FROM t WHERE TrDone=False AND x=True" << "SELECT * FROM t WHERE TrDone=0 AND x=1";
        QTest::newRow("filter True alone") << "Where TrDbId=1 AND (True )" << "Where TrDbId=1 AND (1 )";
        QTest::newRow("names that only contain True stay") << "SELECT TrueValue, IsFalse FROM t"
                                                          << "SELECT TrueValue, IsFalse FROM t";
        QTest::newRow("DELETE * FROM loses the star")
            << "DELETE * FROM Transactions WHERE Transactions.TrRowId=7"
            << "DELETE FROM Transactions WHERE Transactions.TrRowId=7";
        QTest::newRow("Not [x] and qualified name in SET")
            << "UPDATE Transactions SET Transactions.TrDone = Not [TrDone] WHERE Transactions.TrRowId=3"
            << "UPDATE Transactions SET TrDone = Not [TrDone] WHERE Transactions.TrRowId=3";
        QTest::newRow("every qualified name in SET")
            << "UPDATE T SET T.a = 1, T.b = T.c + 1 WHERE T.d=2" << "UPDATE T SET a = 1, b = c + 1 WHERE T.d=2";
        QTest::newRow("qualified names outside UPDATE stay")
            << "SELECT Transactions.TrRowId, Accounts.* FROM Transactions"
            << "SELECT Transactions.TrRowId, Accounts.* FROM Transactions";
        QTest::newRow("literal with dialect words untouched")
            << "SELECT 'Meeting #01/02/2024# True DELETE * FROM x' AS t"
            << "SELECT 'Meeting #01/02/2024# True DELETE * FROM x' AS t";
        QTest::newRow("doubled apostrophe stays doubled")
            << "UPDATE Dbs SET Dbs.DbName = 'l''affitto Dbs.x = True' WHERE Dbs.DbId=2"
            << "UPDATE Dbs SET DbName = 'l''affitto Dbs.x = True' WHERE Dbs.DbId=2";
        QTest::newRow("comment marks inside a literal") << "SELECT '--x /* y' AS t" << "SELECT '--x /* y' AS t";
    }

    void translatesDialectInline()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        const TranslatedSql t = translateSql(statement, LiteralMode::Inline);
        QVERIFY2(t.ok(), qPrintable(t.error));
        QCOMPARE(QString::fromUtf8(t.sql), expected);
        QVERIFY(t.params.empty());
    }

    void refusesWhatItCannotRead_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::newRow("unterminated text") << "SELECT 'abc FROM t";
        QTest::newRow("month 13") << "SELECT * FROM t WHERE d=#13/05/2024#";
        QTest::newRow("30 February") << "SELECT * FROM t WHERE d=#02/30/2024#";
        QTest::newRow("two-digit year") << "SELECT * FROM t WHERE d=#03/05/24#";
        QTest::newRow("unclosed date") << "SELECT * FROM t WHERE d=#03/05/2024";
        QTest::newRow("unterminated name") << "SELECT [TrDone FROM t";
    }

    void refusesWhatItCannotRead()
    {
        QFETCH(QString, statement);
        QVERIFY(!translateSql(statement, LiteralMode::Lift).ok());
        QVERIFY(!translateSql(statement, LiteralMode::Inline).ok());
    }

    void liftedLiteralsCarryTheirValues()
    {
        const TranslatedSql t = translateSql(
            sql::insertSingle(1, -1, QDate(2027, 1, 31), QStringLiteral("l'affitto #01/02/2024#"), 5,
                              Currency::fromUnits(12345000), Currency::fromUnits(-12345000), 0),
            LiteralMode::Lift);
        QVERIFY2(t.ok(), qPrintable(t.error));
        QVERIFY(!t.sql.contains('\''));
        QVERIFY(!t.sql.contains('#'));
        QCOMPARE(qsizetype(t.params.size()), t.sql.count('?'));

        QStringList texts;
        QList<double> reals;
        for (const SqlParam &p : t.params) {
            if (p.kind == SqlParam::Text)
                texts << QString::fromUtf8(p.text);
            else if (p.kind == SqlParam::Real)
                reals << p.d;
        }
        QCOMPARE(texts, QStringList({"2027-01-31", "l'affitto #01/02/2024#", "n"}));
        QCOMPARE(reals, QList<double>({1234.5, 1234.5})); // the balance's minus stays in the text
        QVERIFY(t.sql.contains("-?"));
    }

    void statementsDifferingInValuesShareOneShape()
    {
        const auto a = translateSql(sql::insertSeriesRow(1, 1, QDate(2027, 1, 31), QStringLiteral("Rent"), 0,
                                                         Currency::fromUnits(10000), Currency::fromUnits(10000),
                                                         u'm', 1, 12, 4));
        const auto b = translateSql(sql::insertSeriesRow(2, 1, QDate(2027, 2, 28), QStringLiteral("Other 'x'"), 9,
                                                         Currency::fromUnits(25), Currency::fromUnits(25),
                                                         u'm', 2, 12, 4));
        QVERIFY(a.ok() && b.ok());
        QCOMPARE(a.sql, b.sql);
        QVERIFY(a.params.size() == b.params.size());
    }

    void orderByColumnNumberIsNotLifted()
    {
        const auto t = translateSql(QStringLiteral("SELECT a, b FROM t WHERE a=5 ORDER BY 2"), LiteralMode::Lift);
        QVERIFY(t.ok());
        QCOMPARE(t.sql, QByteArray("SELECT a, b FROM t WHERE a=? ORDER BY 2"));
        QCOMPARE(int(t.params.size()), 1);
    }

    void schemaStatementsKeepLiteralsInAutomaticMode()
    {
        const auto t = translateSql(sql::upgradeAddGroupField());
        QVERIFY(t.ok());
        QCOMPARE(t.sql, QByteArray("ALTER TABLE Transactions ADD COLUMN TrGrpId INTEGER DEFAULT 0"));
        QVERIFY(t.params.empty());
    }

    // Through the real statements and the real file.
    void hostileDescriptionIsStoredByteForByte_data()
    {
        QTest::addColumn<QString>("description");
        QTest::newRow("dialect and injection") << kHostile;
        QTest::newRow("apostrophes only") << QStringLiteral("l'affitto ''doppio'' '");
        QTest::newRow("non-Latin and a question mark") << QStringLiteral("Zahlung für Müller ? € 日本");
        QTest::newRow("qualified name and True") << QStringLiteral("Transactions.TrDone = True");
    }

    void hostileDescriptionIsStoredByteForByte()
    {
        QFETCH(QString, description);
        test::Sandbox box;
        QVERIFY(box.createDatabase());
        Connection conn;
        QVERIFY(conn.open(app().ConnectionString));
        const QStringList tablesBefore = tableNames(conn);

        const Status st = conn.execute(sql::insertSingle(1, 1, QDate(2024, 1, 2), description, 0,
                                                         Currency::fromUnits(10000), Currency::fromUnits(10000), 0));
        QVERIFY2(st.ok(), qPrintable(st.message()));
        // A data sheet name holds 50 characters; the start of the text is
        // hostile enough.
        const QString sheetName = description.left(50);
        QVERIFY(conn.execute(sql::renameSheet(sheetName, 1)).ok());

        Recordset rs;
        QVERIFY(rs.open(sql::mainSelect(1, sql::mainFilter(0)), conn));
        QVERIFY(!rs.eof());
        QCOMPARE(rs.textBytes(rs.fieldIndex(u"TrDescription")), QByteArrayView(description.toUtf8()));
        QCOMPARE(rs.dateValue(rs.fieldIndex(u"TrDate")), QDate(2024, 1, 2));
        rs.close();
        QVERIFY(rs.open(sql::lookupSheet(1), conn));
        QCOMPARE(rs.textValue(rs.fieldIndex(u"DbName")), sheetName);
        rs.close();
        QCOMPARE(tableNames(conn), tablesBefore);
        QVERIFY(tablesBefore.contains(QStringLiteral("Accounts")));
    }

    void secondStatementInOneTextIsRefused()
    {
        test::Sandbox box;
        QVERIFY(box.createDatabase());
        Connection conn;
        QVERIFY(conn.open(app().ConnectionString));
        const Status st = conn.execute(QStringLiteral("DELETE * FROM Dbs WHERE DbId=5; DROP TABLE Accounts"));
        QCOMPARE(st.code(), int(kErrorBadStatement));
        QVERIFY(tableNames(conn).contains(QStringLiteral("Accounts")));
    }

    void toggleDoneFlipsTheFlag()
    {
        test::Sandbox box;
        QVERIFY(box.createDatabase());
        Connection conn;
        QVERIFY(conn.open(app().ConnectionString));
        QVERIFY(conn.execute(sql::insertSingle(1, 1, QDate(2024, 5, 1), QStringLiteral("a"), 0, {}, {}, 0)).ok());
        const qint64 id = conn.lastInsertId();
        auto done = [&] {
            Recordset rs;
            rs.open(sql::editDeadline(id), conn);
            return rs.value(u"TrDone");
        };
        QCOMPARE(done(), QVariant(false));
        qint64 affected = 0;
        QVERIFY(conn.execute(sql::toggleDone(id), &affected).ok());
        QCOMPARE(affected, 1);
        QCOMPARE(done(), QVariant(true));
        QVERIFY(conn.execute(sql::toggleDone(id)).ok());
        QCOMPARE(done(), QVariant(false));
    }
};

QTEST_GUILESS_MAIN(tst_SqlDialect)
#include "tst_sqldialect.moc"
