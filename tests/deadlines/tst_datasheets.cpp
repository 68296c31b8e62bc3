// Data sheets at the core: the refusals of a delete, a delete taking only
// its own deadlines, new ids past the highest, names trimmed and kept with
// their apostrophes. The list's order is the clients' collation.

#include "app/mainmod.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "deadlines/datasheets.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;

namespace {

QString cs()
{
    return app().ConnectionString;
}

// Each sheet with one deadline; ids in order.
void setSheets(const QList<int> &ids)
{
    QVERIFY(test::exec(QStringLiteral("DELETE * FROM Dbs")));
    for (int id : ids) {
        QVERIFY(test::exec(sql::createSheet(id, QStringLiteral("Sheet %1").arg(id))));
        QVERIFY(test::exec(sql::insertSingle(id, 1, QDate(2027, 1, 10), "rent", 0, Currency(), Currency(), 0)));
    }
}

QList<int> ids(const QString &statement)
{
    QList<int> out;
    for (const QString &id : test::column(statement))
        out << id.toInt();
    return out;
}
QList<int> storedIds()
{
    return ids(QStringLiteral("SELECT DbId FROM Dbs ORDER BY DbId"));
}
QList<int> deadlineSheets()
{
    return ids(QStringLiteral("SELECT TrDbId FROM Transactions ORDER BY TrDbId"));
}

} // namespace

class TestDataSheets : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        test::renew(m_box);
        QVERIFY(m_box->createDatabase());
        app().LanguageOffset = kOffsetItalian;
    }

    void deleteIsRefusedOrTakesOnlyItsDeadlines_data()
    {
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<int>("active");
        QTest::addColumn<int>("picked");
        QTest::addColumn<QString>("refusal"); // empty: deleted
        QTest::addRow("only sheet") << QList<int>{1} << 1 << 1 << stringForId(1405);
        QTest::addRow("only sheet, not sheet 1") << QList<int>{4} << 4 << 4 << stringForId(1405);
        QTest::addRow("active sheet that is not sheet 1") << QList<int>{1, 2, 3} << 3 << 3 << stringForId(1406);
        QTest::addRow("active sheet 1") << QList<int>{1, 2} << 1 << 1 << stringForId(1406);
        QTest::addRow("sheet 1 while another is active") << QList<int>{1, 2, 3} << 2 << 1 << QStringLiteral("UNO");
        QTest::addRow("another sheet goes with its deadlines only") << QList<int>{1, 2, 3} << 1 << 2 << QString();
    }

    void deleteIsRefusedOrTakesOnlyItsDeadlines()
    {
        QFETCH(QList<int>, ids);
        QFETCH(int, active);
        QFETCH(int, picked);
        QFETCH(QString, refusal);
        setSheets(ids);

        const Status check = checkDataSheetDeletable(cs(), picked, active);
        const Status st = deleteDataSheet(cs(), picked, active);

        QCOMPARE(check.message(), refusal);
        QCOMPARE(st.code(), refusal.isEmpty() ? 0 : int(kErrorInUse));
        QCOMPARE(st.message(), refusal);
        if (refusal.isEmpty())
            ids.removeOne(picked);
        QCOMPARE(storedIds(), ids);
        QCOMPARE(deadlineSheets(), ids);
    }

    void newSheetNeverTakesAGivenId()
    {
        setSheets({1, 7});
        int id = 0;

        QVERIFY(createDataSheet(cs(), QStringLiteral("Nuovo"), &id));

        QCOMPARE(id, 8); // ids 2 to 6 are free, yet never given again
        QCOMPARE(storedIds(), (QList<int>{1, 7, 8}));
        // Nor is the id of a sheet deleted since: a deadline saved by someone still on it never lands in a new one.
        QVERIFY(deleteDataSheet(cs(), 8, 1) && createDataSheet(cs(), QStringLiteral("Altro"), &id));
        QCOMPARE(id, 9);
    }

    void namesAreTrimmedAndKeptAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: refused, nothing stored
        QTest::addRow("surrounding blanks trimmed") << "   Ufficio  "
                                                    << "Ufficio";
        QTest::addRow("two apostrophes and a quote") << "d'Arco''s \"casa\""
                                                     << "d'Arco''s \"casa\"";
        QTest::addRow("blanks only refused") << "    " << QString();
    }

    void namesAreTrimmedAndKeptAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        int id = 0;
        QCOMPARE(createDataSheet(cs(), typed, &id).ok(), !stored.isEmpty());
        QCOMPARE(renameDataSheet(cs(), 1, typed).ok(), !stored.isEmpty());

        QString created, renamed;
        if (!stored.isEmpty()) {
            QVERIFY(dataSheetName(cs(), id, &created));
            QVERIFY(dataSheetName(cs(), 1, &renamed));
        }

        QCOMPARE(created, stored);
        QCOMPARE(renamed, stored);
        QCOMPARE(storedIds().size(), stored.isEmpty() ? 1 : 2);
        // A sheet gone meanwhile is not renamed silently.
        QCOMPARE(renameDataSheet(cs(), 42, QStringLiteral("Altro")).code(), int(kErrorMissing));
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
};

QTEST_GUILESS_MAIN(TestDataSheets)
#include "tst_datasheets.moc"
