// The grouping model: structure, exact group sums, sorting within groups.

#include "data/currency.h"
#include "ui/widgets/gridmodel.h"
#include "ui/widgets/vectorgridsource.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace velto;

namespace {

QVariant money(const char *text)
{
    return QVariant::fromValue(*Currency::fromInvariant(QString::fromLatin1(text)));
}

// Columns: 1 id, 2 sheet, 3 client, 4 amount, 5 date.
template<typename Source = VectorGridSource>
std::unique_ptr<Source> sample()
{
    const QStringList names{"id", "sheet", "client", "amount", "date"};
    QList<VectorGridSource::Row> rows{
        {qint64(1), qint64(1), "Rossi", money("10.5"), QDate(2024, 3, 5)},
        {qint64(2), qint64(1), "Bianchi", money("-4"), QDate(2024, 1, 2)},
        {qint64(3), qint64(1), "Rossi", money("0.25"), QDate(2024, 2, 9)},
        {qint64(4), qint64(1), QVariant(), money("7"), QDate(2024, 4, 1)},
        {qint64(5), qint64(1), "Bianchi", money("1"), QDate(2024, 5, 30)},
    };
    return std::make_unique<Source>(names, rows);
}

// The bookmarks of the records in row order.
QList<int> recordOrder(const GridModel &m)
{
    QList<int> out;
    for (int r = 1; r <= m.rowTotal(); ++r) {
        const GridRow row = m.row(r);
        if (!row.isGroupRow())
            out.append(row.bookmark());
    }
    return out;
}

} // namespace

class TestGridModel : public QObject
{
    Q_OBJECT
private slots:
    void structurePassesModelTesterAndSortingKeepsIndexes_data()
    {
        QTest::addColumn<QList<int>>("groups");
        QTest::addColumn<int>("expectedRows");
        QTest::newRow("plain list has one row per record") << QList<int>{} << 5;
        QTest::newRow("one level adds one row per group") << QList<int>{2} << 6;
        QTest::newRow("two levels nest clients under the sheet") << QList<int>{2, 3} << 9;
    }

    void structurePassesModelTesterAndSortingKeepsIndexes()
    {
        QFETCH(QList<int>, groups);
        QFETCH(int, expectedRows);
        GridModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setSource(sample());
        for (int g : groups)
            model.addGroup(g);
        const QPersistentModelIndex third(model.indexAt(model.positionOfRecord(2), 4));
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);

        model.setSortKeys({{5, Qt::DescendingOrder}});

        // Sorting keeps the view's place: a layout change, not a reset.
        QCOMPARE(resets.count(), 0);
        QCOMPARE(layouts.count(), 1);
        QCOMPARE(third.data(GridModel::BookmarkRole).toInt(), 2);
        QCOMPARE(third.column(), 3);

        QCOMPARE(model.rowTotal(), expectedRows);
        QCOMPARE(model.recordCount(), 5);
        for (int r = 1; r <= model.rowTotal(); ++r)
            QCOMPARE(model.positionOf(model.indexAt(r, 2)), r);
        model.clearGroups();
        QCOMPARE(model.rowTotal(), 5);
    }

    void groupSumAddsCurrencyExactly_data()
    {
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("0.1 + 0.2 is exactly 0.3") << QVariantList{money("0.1"), money("0.2")} << money("0.3");
        QTest::newRow("credit and debit cancel to zero")
            << QVariantList{money("1234.5678"), money("-1234.5678")} << money("0");
        QTest::newRow("whole numbers count as amounts")
            << QVariantList{money("0.7"), QVariant(qint64(0)), money("0.1")} << money("0.8");
        QTest::newRow("closed rows only sum to currency zero")
            << QVariantList{QVariant(qint64(0)), QVariant(qint64(0))} << money("0");
        QTest::newRow("empty values are skipped") << QVariantList{QVariant(), money("2.0001")} << money("2.0001");
    }

    void groupSumAddsCurrencyExactly()
    {
        QFETCH(QVariantList, values);
        QFETCH(QVariant, expected);
        QList<VectorGridSource::Row> rows;
        for (const QVariant &v : values)
            rows.append({qint64(1), v});
        GridModel model;
        model.setSource(std::make_unique<VectorGridSource>(QStringList{"sheet", "balance"}, rows));
        GridColumn balance = model.gridColumn(2);
        balance.format = QStringLiteral("Currency");
        model.setGridColumn(2, balance);
        model.addGroup(1);

        const QVariant sum = model.row(1).aggregate(2, GridAggregate::Sum);
        QCOMPARE(sum.metaType(), QMetaType::fromType<Currency>());
        QCOMPARE(sum.value<Currency>(), expected.value<Currency>());
    }

    void shortDateShowsFourDigitYearsInTheLocalesOrder_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        // A year before 2000 is the case two digits get wrong.
        QTest::newRow("Italian day/month/year") << "it_IT"
                                                << "05/03/1999";
        QTest::newRow("German with dots") << "de_DE"
                                          << "05.03.1999";
        QTest::newRow("Spanish without leading zeros") << "es_ES"
                                                       << "5/3/1999";
        QTest::newRow("US English month first") << "en_US"
                                                << "3/5/1999";
        QTest::newRow("French already four digits") << "fr_FR"
                                                    << "05/03/1999";
    }

    void shortDateShowsFourDigitYearsInTheLocalesOrder()
    {
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        GridModel model;
        model.setSource(std::make_unique<VectorGridSource>(QStringList{"TrDate"},
                                                           QList<VectorGridSource::Row>{{QDate(1999, 3, 5)}}));
        GridColumn date = model.gridColumn(1);
        date.format = QStringLiteral("Short Date");
        model.setGridColumn(1, date);

        const QString shown = model.data(model.index(0, 0), Qt::DisplayRole).toString();
        QLocale::setDefault(QLocale::c());
        QCOMPARE(shown, expected);
    }

    void sortOrdersRecordsInsideTheirGroups_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<QList<int>>("expected");
        // Groups by client: empty first, then Bianchi, then Rossi; dates inside.
        QTest::newRow("ascending dates") << int(Qt::AscendingOrder) << QList<int>{3, 1, 4, 2, 0};
        QTest::newRow("descending dates") << int(Qt::DescendingOrder) << QList<int>{3, 4, 1, 0, 2};
    }

    void sortOrdersRecordsInsideTheirGroups()
    {
        QFETCH(int, order);
        QFETCH(QList<int>, expected);
        GridModel model;
        model.setSource(sample());
        model.addGroup(3);
        model.setSortKeys({{5, Qt::SortOrder(order)}});
        QCOMPARE(recordOrder(model), expected);
        QVERIFY(model.row(1).isGroupRow());
        QCOMPARE(model.row(1).groupValue(), QVariant());
        QCOMPARE(model.row(3).groupValue().toString(), QStringLiteral("Bianchi"));
    }

    // Client groups in the order of the language, as the clients window lists them.
    void groupsFollowTheLanguagesCollation()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QList<VectorGridSource::Row> rows;
        for (const char *name : {"Telecom", "Ärzte d'Été", "Zeta", "alpha", "Émile"})
            rows.append({qint64(rows.size() + 1), QString::fromUtf8(name)});
        GridModel model;
        model.setSource(std::make_unique<VectorGridSource>(QStringList{"id", "client"}, rows));
        model.addGroup(2);
        QStringList groups;
        for (int r = 1; r <= model.rowTotal(); ++r)
            groups << model.row(r).groupValue().toString();
        QLocale::setDefault(QLocale::c());
        QCOMPARE(groups.join(u','), QString::fromUtf8("alpha,,Ärzte d'Été,,Émile,,Telecom,,Zeta,"));
    }

    void sourceCaptionsHiddenTextAndConditionsStyleRows()
    {
        // A source that writes each group's total into its caption.
        struct Totals : VectorGridSource {
            using VectorGridSource::VectorGridSource;
            QString groupCaption(const GridRow &row) const override
            {
                return row.caption() + QStringLiteral(" [")
                    + row.aggregate(4, GridAggregate::Sum).value<Currency>().toInvariant() + u']';
            }
        };
        GridModel model;
        model.setSource(sample<Totals>());
        GridColumn client = model.gridColumn(3);
        client.caption = QStringLiteral("Client");
        client.emptyText = QStringLiteral("(empty)");
        model.setGridColumn(3, client);
        GridColumn amount = model.gridColumn(4);
        amount.textHidden = true;
        model.setGridColumn(4, amount);
        GridStyle closed;
        closed.foreColor = QColor(0x80, 0x80, 0x80);
        closed.strikeOut = true;
        model.addFormatCondition(3, QStringLiteral("Rossi"), closed);
        model.addGroup(3);

        QCOMPARE(model.row(3).caption(), QStringLiteral("Client: Bianchi [-3]"));
        QCOMPARE(model.cellText(model.positionOfRecord(4), 4), QString());
        QCOMPARE(model.data(model.indexAt(model.positionOfRecord(4), 3), Qt::DisplayRole).toString(),
                 QStringLiteral("Bianchi"));
        // Screen readers hear the caption once, in the first shown column, and
        // a hidden cell as empty rather than as its column's name.
        QCOMPARE(model.data(model.indexAt(1, 1), Qt::AccessibleTextRole).toString(),
                 QStringLiteral("Client: (empty) [7]"));
        QCOMPARE(model.data(model.indexAt(1, 2), Qt::AccessibleTextRole).toString(), QString());
        QCOMPARE(model.data(model.indexAt(model.positionOfRecord(4), 4), Qt::AccessibleTextRole).toString(), QString());
        // A format condition styles the records that match it, and only them.
        const QModelIndex rossi = model.indexAt(model.positionOfRecord(0), 4);
        const QModelIndex bianchi = model.indexAt(model.positionOfRecord(1), 4);
        QCOMPARE(rossi.data(Qt::ForegroundRole).value<QColor>(), closed.foreColor);
        QVERIFY(rossi.data(Qt::FontRole).value<QFont>().strikeOut());
        QVERIFY(!bianchi.data(Qt::ForegroundRole).isValid());
        QVERIFY(!bianchi.data(Qt::FontRole).isValid());
    }

    void hundredThousandRowsGroupWithExactSums()
    {
        const int n = 100000;
        auto source = std::make_unique<VectorGridSource>(QStringList{"id", "sheet", "client", "amount", "date"},
                                                         QList<VectorGridSource::Row>{});
        const QStringList clients{"Rossi", "Bianchi", "Verdi", "Neri", QString()};
        for (int i = 0; i < n; ++i) {
            source->appendRow({qint64(i + 1), qint64(1), clients.at(i % clients.size()),
                               QVariant::fromValue(Currency::fromUnits((i % 997) * 1234 - 500000)),
                               QDate(2020, 1, 1).addDays(i % 2000)});
        }
        GridModel model;
        model.setSource(std::move(source));
        model.addGroup(2);
        model.addGroup(3);
        model.setSortKeys({{5, Qt::DescendingOrder}});
        const QVariant total = model.row(1).aggregate(4, GridAggregate::Sum);
        QCOMPARE(model.recordCount(), n);
        QCOMPARE(model.rowTotal(), n + 1 + clients.size());
        qint64 expected = 0;
        for (int i = 0; i < n; ++i)
            expected += (i % 997) * 1234 - 500000;
        QCOMPARE(total.value<Currency>(), Currency::fromUnits(expected)); // exact, no floating sum
    }
};

QTEST_MAIN(TestGridModel)
#include "tst_gridmodel.moc"
