#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/sqldialect.h"

#include <QTest>

using namespace velto;

class tst_SqlDialect : public QObject
{
    Q_OBJECT

private slots:
    void dateLiteralIgnoresTheRegion_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("literal");
        QTest::newRow("5 March 2024, German") << QLocale(QLocale::German) << QDate(2024, 3, 5) << "#03/05/2024#";
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

        QTest::newRow("date literal becomes ISO text") << "SELECT TrRowId FROM Transactions WHERE TrDate=#03/05/2024#"
                                                       << "SELECT TrRowId FROM Transactions WHERE TrDate='2024-03-05'";
        QTest::newRow("one-digit month and day") << "SELECT * FROM t WHERE d<=#3/5/2024#"
                                                 << "SELECT * FROM t WHERE d<='2024-03-05'";
        QTest::newRow("between two dates") << "WHERE (TrDate Between #01/01/2024# And #12/31/2024#)"
                                           << "WHERE (TrDate Between '2024-01-01' And '2024-12-31')";
        QTest::newRow("True and False become 1 and 0") << "SELECT * FROM t WHERE TrDone=False AND x=True"
                                                       << "SELECT * FROM t WHERE TrDone=0 AND x=1";
        QTest::newRow("names that only contain True stay") << "SELECT TrueValue, IsFalse FROM t"
                                                           << "SELECT TrueValue, IsFalse FROM t";
        QTest::newRow("DELETE * FROM loses the star") << "DELETE * FROM Transactions WHERE Transactions.TrRowId=7"
                                                      << "DELETE FROM Transactions WHERE Transactions.TrRowId=7";
        QTest::newRow("Not [x] and qualified name in SET")
            << "UPDATE Transactions SET Transactions.TrDone = Not [TrDone] WHERE Transactions.TrRowId=3"
            << "UPDATE Transactions SET TrDone = Not [TrDone] WHERE Transactions.TrRowId=3";
        QTest::newRow("every qualified name in SET") << "UPDATE T SET T.a = 1, T.b = T.c + 1 WHERE T.d=2"
                                                     << "UPDATE T SET a = 1, b = c + 1 WHERE T.d=2";
        QTest::newRow("qualified names outside UPDATE stay")
            << "SELECT Transactions.TrRowId, Accounts.* FROM Transactions"
            << "SELECT Transactions.TrRowId, Accounts.* FROM Transactions";
        QTest::newRow("literal with dialect words untouched")
            << "SELECT 'Meeting #01/02/2024# True DELETE * FROM x' AS t"
            << "SELECT 'Meeting #01/02/2024# True DELETE * FROM x' AS t";
        QTest::newRow("doubled apostrophe stays doubled")
            << "UPDATE Dbs SET Dbs.DbName = 'l''affitto Dbs.x = True' WHERE Dbs.DbId=2"
            << "UPDATE Dbs SET DbName = 'l''affitto Dbs.x = True' WHERE Dbs.DbId=2";
        QTest::newRow("comment marks inside a literal") << "SELECT '--x /* y' AS t"
                                                        << "SELECT '--x /* y' AS t";
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

    void translatesForTheServer_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("numbered values, truth values, no brackets")
            << "UPDATE Transactions SET Transactions.TrDone = Not [TrDone] WHERE TrDone=False AND TrDate<=#3/5/2024#"
            << "UPDATE Transactions SET TrDone = Not TrDone WHERE TrDone=FALSE AND TrDate<=$1";
        QTest::newRow("a row of values is a VALUES list, typed by its columns")
            << "INSERT INTO t ( a, b ) SELECT 1, 'x'"
            << "INSERT INTO t ( a, b ) VALUES ( $1, $2)";
        QTest::newRow("bound marks take their numbers") << "INSERT INTO t ( a, b ) SELECT ?, ?"
                                                        << "INSERT INTO t ( a, b ) VALUES ( $1, $2)";
        QTest::newRow("a SELECT with a condition stays")
            << "INSERT INTO t ( a ) SELECT 'k' WHERE NOT EXISTS (SELECT a FROM t)"
            << "INSERT INTO t ( a ) SELECT $1 WHERE NOT EXISTS (SELECT a FROM t)";
        QTest::newRow("the program's own key counters") << "UPDATE sqlite_sequence SET seq=5 WHERE name='Dbs'"
                                                        << "UPDATE velto_sequence SET seq=$1 WHERE name=$2";
    }

    void translatesForTheServer()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        const TranslatedSql t = translateSql(statement, LiteralMode::Lift, Dialect::PostgreSQL);
        QVERIFY2(t.ok(), qPrintable(t.error));
        QCOMPARE(QString::fromUtf8(t.sql), expected);
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
        const TranslatedSql t =
            translateSql(sql::insertSingle(1, -1, QDate(2027, 1, 31), QStringLiteral("l'affitto #01/02/2024#"), 5,
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
        const auto a =
            translateSql(sql::insertSeriesRow(1, 1, QDate(2027, 1, 31), QStringLiteral("Rent"), 0,
                                              Currency::fromUnits(10000), Currency::fromUnits(10000), u'm', 1, 12, 4));
        const auto b =
            translateSql(sql::insertSeriesRow(2, 1, QDate(2027, 2, 28), QStringLiteral("Other 'x'"), 9,
                                              Currency::fromUnits(25), Currency::fromUnits(25), u'm', 2, 12, 4));
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
};

QTEST_GUILESS_MAIN(tst_SqlDialect)
#include "tst_sqldialect.moc"
