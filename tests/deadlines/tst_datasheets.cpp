// Data sheets at the core: the refusals of a delete, a delete taking only
// its own deadlines, new ids past the highest, names trimmed and kept with
// their apostrophes, the list in the language's order.

#include "app/mainmod.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "deadlines/datasheets.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;

namespace {

QString cs() { return app().ConnectionString; }

void exec(const QString &statement)
{
    const Status st = Connection::executeAlone(cs(), statement);
    QVERIFY2(st.ok(), qPrintable(st.message()));
}

void setSheets(const QList<int> &ids)
{
    exec(QStringLiteral("DELETE * FROM Dbs"));
    for (int id : ids) {
        exec(sql::createSheet(id, QStringLiteral("Sheet %1").arg(id)));
        exec(sql::insertSingle(id, 1, QDate(2027, 1, 10), QStringLiteral("rent"), 0, Currency::fromUnits(10000),
                               Currency::fromUnits(10000), 0));
    }
}

QList<int> storedIds()
{
    QList<int> ids;
    Recordset rs;
    if (rs.open(QStringLiteral("SELECT DbId FROM Dbs ORDER BY DbId"), cs()))
        for (; !rs.eof(); rs.moveNext())
            ids << int(rs.intValue(0));
    return ids;
}

// The data sheet of every deadline, in sheet order.
QList<int> deadlineSheets()
{
    QList<int> ids;
    Recordset rs;
    if (rs.open(QStringLiteral("SELECT TrDbId FROM Transactions ORDER BY TrDbId"), cs()))
        for (; !rs.eof(); rs.moveNext())
            ids << int(rs.intValue(0));
    return ids;
}

} // namespace

class TestDataSheets : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void deleteRefusalsTouchNothing_data();
    void deleteRefusalsTouchNothing();
    void deleteTakesTheSheetAndOnlyItsDeadlines();
    void newSheetTakesTheIdAfterTheHighest_data();
    void newSheetTakesTheIdAfterTheHighest();
    void namesAreTrimmedAndKeptAsTyped_data();
    void namesAreTrimmedAndKeptAsTyped();
    void listIsSortedAsTheLanguageSorts();
    void renamingASheetGoneMeanwhileIsReported();

private:
    std::unique_ptr<test::Sandbox> m_box;
};

void TestDataSheets::init()
{
    m_box = std::make_unique<test::Sandbox>();
    QVERIFY(m_box->createDatabase());
    app().LanguageOffset = kOffsetItalian;
}

void TestDataSheets::cleanup()
{
    QLocale::setDefault(QLocale::c());
    m_box.reset();
}

void TestDataSheets::deleteRefusalsTouchNothing_data()
{
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("picked");
    QTest::addColumn<QString>("expected");
    QTest::addRow("only sheet") << QList<int>{1} << 1 << 1 << stringForId(1405);
    QTest::addRow("only sheet, not sheet 1") << QList<int>{4} << 4 << 4 << stringForId(1405);
    QTest::addRow("active sheet that is not sheet 1") << QList<int>{1, 2, 3} << 3 << 3 << stringForId(1406);
    QTest::addRow("active sheet 1") << QList<int>{1, 2} << 1 << 1 << stringForId(1406);
    QTest::addRow("sheet 1 while another is active") << QList<int>{1, 2, 3} << 2 << 1 << QStringLiteral("UNO");
}

void TestDataSheets::deleteRefusalsTouchNothing()
{
    QFETCH(QList<int>, ids);
    QFETCH(int, active);
    QFETCH(int, picked);
    QFETCH(QString, expected);
    setSheets(ids);

    const Status check = checkDataSheetDeletable(cs(), picked, active);
    const Status st = deleteDataSheet(cs(), picked, active);

    QCOMPARE(check.message(), expected);
    QCOMPARE(st.code(), int(kErrorInUse));
    QCOMPARE(st.message(), expected);
    QCOMPARE(storedIds(), ids);
    QCOMPARE(deadlineSheets(), ids);
}

void TestDataSheets::deleteTakesTheSheetAndOnlyItsDeadlines()
{
    setSheets({1, 2, 3});
    exec(sql::insertSingle(2, 1, QDate(2027, 3, 1), QStringLiteral("phone"), 0, Currency(), Currency(), 0));

    QVERIFY(deleteDataSheet(cs(), 2, 1));

    QCOMPARE(storedIds(), (QList<int>{1, 3}));
    QCOMPARE(deadlineSheets(), (QList<int>{1, 3}));
}

void TestDataSheets::newSheetTakesTheIdAfterTheHighest_data()
{
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<int>("expectedId");
    QTest::addRow("highest 7 gives 8 past free ids 2 to 6") << QList<int>{1, 7} << 8;
    QTest::addRow("consecutive ids") << QList<int>{1, 2, 3} << 4;
}

void TestDataSheets::newSheetTakesTheIdAfterTheHighest()
{
    QFETCH(QList<int>, ids);
    QFETCH(int, expectedId);
    setSheets(ids);
    int id = 0;

    QVERIFY(createDataSheet(cs(), QStringLiteral("Nuovo"), &id));

    QCOMPARE(id, expectedId);
    QCOMPARE(storedIds(), ids + QList<int>{expectedId});
}

void TestDataSheets::namesAreTrimmedAndKeptAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: refused, nothing stored
    QTest::addRow("surrounding blanks trimmed") << "   Ufficio  " << "Ufficio";
    QTest::addRow("apostrophe kept") << "l'ufficio" << "l'ufficio";
    QTest::addRow("two apostrophes and a quote") << "d'Arco''s \"casa\"" << "d'Arco''s \"casa\"";
    QTest::addRow("blanks only refused") << "    " << QString();
}

void TestDataSheets::namesAreTrimmedAndKeptAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    int id = 0;
    const Status created = createDataSheet(cs(), typed, &id);
    const Status renamed = renameDataSheet(cs(), 1, typed);

    QCOMPARE(created.ok(), !stored.isEmpty());
    QCOMPARE(renamed.ok(), !stored.isEmpty());
    if (stored.isEmpty()) {
        QCOMPARE(storedIds(), QList<int>{1});
        return;
    }
    QString name;
    QVERIFY(dataSheetName(cs(), id, &name));
    QCOMPARE(name, stored);
    QVERIFY(dataSheetName(cs(), 1, &name));
    QCOMPARE(name, stored);
}

void TestDataSheets::listIsSortedAsTheLanguageSorts()
{
    QLocale::setDefault(QLocale(QStringLiteral("it_IT")));
    exec(QStringLiteral("DELETE * FROM Dbs"));
    const QStringList stored{"Zeta", "beta", "Émile", "Alpha2", "alpha"};
    for (int i = 0; i < stored.size(); ++i)
        exec(sql::createSheet(i + 1, stored.at(i)));

    QList<DataSheet> sheets;
    QVERIFY(listDataSheets(cs(), &sheets));

    QStringList listed;
    for (const DataSheet &s : sheets)
        listed << s.name;
    QCOMPARE(listed, (QStringList{"alpha", "Alpha2", "beta", "Émile", "Zeta"}));
}

void TestDataSheets::renamingASheetGoneMeanwhileIsReported()
{
    QCOMPARE(renameDataSheet(cs(), 42, QStringLiteral("Altro")).code(), int(kErrorMissing));
    QCOMPARE(storedIds(), QList<int>{1});
}

QTEST_GUILESS_MAIN(TestDataSheets)
#include "tst_datasheets.moc"
