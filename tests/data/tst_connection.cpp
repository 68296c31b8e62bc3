#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "selfprocess.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sqlite3.h>

using namespace velto;

namespace {

// A database file that is valid SQLite but not one of ours.
void writeForeignDatabase(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

qint64 deadlineCount(const QString &connectionString)
{
    Recordset rs;
    if (!rs.open(QStringLiteral("SELECT Count(TrRowId) AS n FROM Transactions"), connectionString))
        return -1;
    return rs.intValue(0);
}

} // namespace

class tst_Connection : public QObject
{
    Q_OBJECT

private slots:
    void connectionStringNamesTheFile_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("dataSource"); // as written in the string
        QTest::newRow("plain folder stays unquoted") << "/srv/velto"
                                                     << "/srv/velto/velto.mdb";
        QTest::newRow("semicolon is quoted") << "/srv/a;b"
                                             << "\"/srv/a;b/velto.mdb\"";
        QTest::newRow("double quote is doubled") << "/srv/say \"hi\""
                                                 << "\"/srv/say \"\"hi\"\"/velto.mdb\"";
        QTest::newRow("apostrophe and semicolon") << "/srv/it's;x=1"
                                                  << "\"/srv/it's;x=1/velto.mdb\"";
        QTest::newRow("leading blank") << " /srv"
                                       << "\" /srv/velto.mdb\"";
    }

    void connectionStringNamesTheFile()
    {
        QFETCH(QString, folder);
        QFETCH(QString, dataSource);
        const QString cs = connectionStringFor(folder);
        QCOMPARE(cs,
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + dataSource
                     + QStringLiteral(";Persist Security Info=False"));
        QCOMPARE(Connection::dataSourceOf(cs), folder + QStringLiteral("/velto.mdb"));
        QCOMPARE(Connection::dataSourceOf(QStringLiteral("Provider=x")), QString());
        QCOMPARE(Connection::dataSourceOf(QStringLiteral("Data Source=\"/unclosed;x")), QString());
    }

    void openNeverCreatesAFile_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing file") << "/data/velto.mdb";
        QTest::newRow("missing folder") << "/nowhere/velto.mdb";
    }

    void openNeverCreatesAFile()
    {
        QFETCH(QString, relative);
        test::Sandbox box;
        const QString path = box.path() + relative;
        Connection conn;
        const Status st = conn.open(QStringLiteral("Data Source=") + path);
        QVERIFY(!st.ok());
        QVERIFY(!st.message().isEmpty());
        QVERIFY(!conn.isOpen());
        QVERIFY(!QFileInfo::exists(path));
    }

    void refusesFilesThatAreNotOurDatabase_data()
    {
        QTest::addColumn<QByteArray>("sql"); // empty: write rawBytes instead
        QTest::addColumn<QByteArray>("rawBytes");
        QTest::addColumn<int>("code");

        QTest::newRow("other SQLite database")
            << QByteArray("CREATE TABLE Customers (id INTEGER)") << QByteArray() << int(kErrorNotVeltoDatabase);
        QTest::newRow("only two of the three tables")
            << QByteArray("CREATE TABLE Transactions (a); CREATE TABLE Dbs (b)") << QByteArray()
            << int(kErrorNotVeltoDatabase);
        QTest::newRow("empty file") << QByteArray() << QByteArray("") << int(kErrorNotVeltoDatabase);
        QTest::newRow("text file") << QByteArray() << QByteArray(4096, 'x') << int(SQLITE_NOTADB);
    }

    void refusesFilesThatAreNotOurDatabase()
    {
        QFETCH(QByteArray, sql);
        QFETCH(QByteArray, rawBytes);
        QFETCH(int, code);
        test::Sandbox box;
        if (!sql.isEmpty())
            writeForeignDatabase(box.databasePath(), sql.constData());
        else
            QVERIFY(test::writeFile(box.databasePath(), rawBytes));
        const QByteArray before = test::readFile(box.databasePath());

        Connection conn;
        const Status st = conn.open(connectionStringFor(box.dataDir()));
        QCOMPARE(st.code(), code);
        QVERIFY(!conn.isOpen());
        QVERIFY(ConnectionFails(connectionStringFor(box.dataDir())));
        QCOMPARE(test::readFile(box.databasePath()), before);
    }

    // Other connections see nothing before the commit; closing inside a
    // transaction, or rolling back, keeps nothing.
    void onlyCommittedWorkIsKept()
    {
        test::Sandbox box;
        QVERIFY(box.createDatabase());
        const QString insert = sql::insertSingle(1, 1, QDate(2027, 1, 1), QStringLiteral("x"), 0, {}, {}, 0);
        {
            Connection conn;
            QVERIFY(conn.open(app().ConnectionString));
            QVERIFY(conn.beginTrans());
            QVERIFY(conn.execute(insert));
            QCOMPARE(deadlineCount(app().ConnectionString), 0);
        }
        QCOMPARE(deadlineCount(app().ConnectionString), 0);
        Connection conn;
        QVERIFY(conn.open(app().ConnectionString));
        QVERIFY(conn.beginTrans());
        QVERIFY(conn.execute(insert));
        QVERIFY(conn.rollbackTrans());
        QVERIFY(!conn.inTransaction());
        QVERIFY(conn.beginTrans());
        QVERIFY(conn.execute(insert));
        QVERIFY(conn.execute(insert));
        QVERIFY(conn.commitTrans());
        conn.close();
        QCOMPARE(deadlineCount(app().ConnectionString), 2);
    }

    // A series row bound to its prepared statement is stored exactly as the
    // same row written out as text: same values, same storage types.
    void boundRowIsStoredAsItsText_data()
    {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole amount") << qint64(120000) << QDate(2027, 1, 31) << "Rent";
        QTest::newRow("cents, negative") << qint64(-26750) << QDate(2028, 2, 29) << "l'affitto #01/02/2024# ?";
        QTest::newRow("smallest unit") << qint64(1) << QDate(1, 1, 1) << "";
        QTest::newRow("largest amount") << qint64(999999999999999) << QDate(9999, 12, 31)
                                        << QStringLiteral("Müller – ı");
        QTest::newRow("zero") << qint64(0) << QDate(2026, 12, 8) << "--";
    }

    void boundRowIsStoredAsItsText()
    {
        QFETCH(qint64, units);
        QFETCH(QDate, day);
        QFETCH(QString, text);
        test::Sandbox box;
        QVERIFY(box.createDatabase());
        const Currency value = Currency::fromUnits(units);
        Connection conn;
        QVERIFY(conn.open(app().ConnectionString));
        QVERIFY(conn.execute(sql::insertSeriesRow(1, -1, day, text, 7, value, Currency() - value, u'x', 2, 9, 5)));
        BoundStatement bound(conn, sql::insertSeriesRowMarks());
        const Status st = bound.add(1)
                              .add(-1)
                              .add(day)
                              .add(text)
                              .add(qint64(7))
                              .add(value)
                              .add(Currency() - value)
                              .add(u'x')
                              .add(2)
                              .add(9)
                              .add(qint64(5))
                              .execute();
        QVERIFY2(st, qPrintable(st.message()));
        QVERIFY(!bound.add(1).execute()); // too few values: refused, nothing written
        conn.close();
        const QStringList rows = test::column(QStringLiteral(
            "SELECT quote(TrDbId)||quote(TrType)||quote(TrDate)||quote(TrDescription)||quote(TrAcId)||quote(TrValue)"
            "||typeof(TrValue)||quote(TrBalance)||typeof(TrBalance)||quote(TrGrpType)||quote(TrGrpRow)"
            "||quote(TrGrpMDay)||quote(TrGrpId) FROM Transactions ORDER BY TrRowId"));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(1), rows.at(0));
    }

    void failingStatementReportsTheEnginesMessage()
    {
        test::Sandbox box;
        QVERIFY(box.createDatabase());
        Connection conn;
        QVERIFY(conn.open(app().ConnectionString));
        const Status st = conn.execute(QStringLiteral("SELECT NoSuchField FROM Transactions"));
        QVERIFY(!st.ok());
        QVERIFY2(st.message().contains(QStringLiteral("NoSuchField")), qPrintable(st.message()));
        QCOMPARE(conn.execute(QStringLiteral("SELECT 'open")).code(), int(kErrorBadStatement));
        // One text, one statement: what follows a semicolon is never run.
        QCOMPARE(conn.execute(QStringLiteral("DELETE * FROM Dbs WHERE DbId=5; DROP TABLE Accounts")).code(),
                 int(kErrorBadStatement));
        QVERIFY(conn.execute(QStringLiteral("SELECT AcId FROM Accounts")));
        Connection closed;
        QCOMPARE(closed.execute(QStringLiteral("SELECT 1")).code(), int(kErrorNotOpen));
    }
};

QTEST_GUILESS_MAIN(tst_Connection)
#include "tst_connection.moc"
