// The order the grid sorts and groups by, for every kind of value a source
// gives: the key columns are ranked once, and the ranks must order and
// break groups exactly as the values compare.

#include "data/currency.h"
#include "ui/widgets/gridmodel.h"
#include "ui/widgets/gridvalues.h"
#include "ui/widgets/vectorgridsource.h"

#include <QtTest>

using namespace velto;

using Values = QList<QVariant>;

class TestGridKeyOrder : public QObject
{
    Q_OBJECT

private slots:
    void sortAndGroupsFollowTheValueOrder_data()
    {
        QTest::addColumn<Values>("values");
        QTest::addColumn<int>("order");
        QTest::addColumn<QList<int>>("expected");
        QTest::addColumn<int>("groups");
        const QVariant null;
        const auto money = [](double v) { return QVariant::fromValue(Currency::fromDouble(v)); };
        const int up = Qt::AscendingOrder, down = Qt::DescendingOrder;

        QTest::newRow("integers, nulls first") << Values{3, null, 1, 3} << up << QList<int>{1, 2, 0, 3} << 3;
        QTest::newRow("integers descending, nulls last") << Values{3, null, 1} << down << QList<int>{0, 2, 1} << 3;
        QTest::newRow("text in the language's order, case apart only among equal letters")
            << Values{QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B"),
                      QStringLiteral("a")}
            << up << QList<int>{2, 4, 1, 0, 3} << 4;
        QTest::newRow("null and empty text are one group before other text")
            << Values{QStringLiteral("x"), QString(), QStringLiteral("")} << up << QList<int>{1, 2, 0} << 2;
        QTest::newRow("currency by value")
            << Values{money(2.5), money(-1), money(0.1), money(2.5)} << up << QList<int>{1, 2, 0, 3} << 3;
        QTest::newRow("dates") << Values{QDate(2027, 2, 1), QDate(2026, 12, 31), null, QDate(2027, 1, 15)} << up
                               << QList<int>{2, 1, 3, 0} << 4;
        QTest::newRow("booleans") << Values{true, false, true} << up << QList<int>{1, 0, 2} << 2;
        QTest::newRow("integers mixed with doubles") << Values{2, 1.5, 3, 2.0} << up << QList<int>{1, 0, 3, 2} << 3;
        QTest::newRow("currency mixed with integers stays exact")
            << Values{money(1.5), 1, money(1), 2} << up << QList<int>{1, 2, 0, 3} << 3;
        QTest::newRow("numbers before dates before text")
            << Values{QStringLiteral("t"), QDate(2027, 1, 1), 5, null} << up << QList<int>{3, 2, 1, 0} << 4;
    }

    void sortAndGroupsFollowTheValueOrder()
    {
        QFETCH(Values, values);
        QFETCH(int, order);
        QFETCH(QList<int>, expected);
        QFETCH(int, groups);

        GridModel sorted;
        sorted.setSource(sourceOf(values));
        sorted.setSortKeys({{1, Qt::SortOrder(order)}});
        QList<int> shown;
        for (int p = 1; p <= sorted.rowTotal(); ++p)
            shown << sorted.row(p).bookmark();
        QCOMPARE(shown, expected);

        GridModel grouped;
        grouped.setSource(sourceOf(values));
        grouped.addGroup(1, Qt::SortOrder(order));
        int groupRows = 0;
        for (int p = 1; p <= grouped.rowTotal(); ++p) {
            const GridRow row = grouped.row(p);
            if (!row.isGroupRow())
                continue;
            ++groupRows;
            // Every record under a group compares equal to its key.
            for (int q = p + 1; q <= grouped.rowTotal() && !grouped.row(q).isGroupRow(); ++q)
                QCOMPARE(compareGridValues(values[grouped.row(q).bookmark()], row.groupValue()), 0);
        }
        QCOMPARE(groupRows, groups);
    }

private:
    static std::unique_ptr<GridSource> sourceOf(const Values &values)
    {
        QList<VectorGridSource::Row> rows;
        for (const QVariant &v : values)
            rows.append({v});
        return std::make_unique<VectorGridSource>(QStringList{QStringLiteral("Key")}, rows);
    }
};

QTEST_MAIN(TestGridKeyOrder)
#include "tst_gridkeyorder.moc"
