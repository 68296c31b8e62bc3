// The grid widget: rebinding through the loader, row numbering with groups,
// find, sorting by header click, key requests, the navigator and printing.
// A failing rebind is the main window's test, on a damaged database.

#include "data/currency.h"
#include "selfprocess.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/gridmodel.h"
#include "ui/widgets/gridprinter.h"
#include "ui/widgets/vectorgridsource.h"

#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace velto;

namespace {

// Columns: 1 id, 2 sheet, 3 client, 4 amount.
QList<VectorGridSource::Row> someRows(int count)
{
    const QStringList clients{"Rossi", "Bianchi", "Verdi"};
    QList<VectorGridSource::Row> rows;
    for (int i = 0; i < count; ++i)
        rows.append({qint64(i + 1), qint64(1), clients.at(i % clients.size()),
                     QVariant::fromValue(Currency::fromUnits(i * 10000))});
    return rows;
}

// The rows each test hands the grid, by name.
QHash<QString, QList<VectorGridSource::Row>> &served()
{
    static QHash<QString, QList<VectorGridSource::Row>> rows;
    return rows;
}

// Binds the grid to a served source and groups it by the columns given.
void load(Grid &grid, const QString &source, std::initializer_list<int> groups = {})
{
    grid.setRows(
        std::make_unique<VectorGridSource>(QStringList{"Id", "Sheet", "Client", "Amount"}, served().value(source)));
    for (int g : groups)
        grid.addGroup(g);
}

QTreeView *show(Grid &grid, QSize size = QSize(600, 400))
{
    grid.resize(size);
    grid.show();
    if (!QTest::qWaitForWindowExposed(&grid))
        qWarning("grid not exposed");
    return grid.findChild<QTreeView *>();
}

int countPdfPages(const QByteArray &pdf)
{
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1)) {
        if (pdf.mid(at + 11, 1) != "s")
            ++pages;
    }
    return pages;
}

} // namespace

class TestGrid : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        served().insert(QStringLiteral("ten"), someRows(10));
        served().insert(QStringLiteral("four"), someRows(4));
    }

    void rebindKeepsColumnSettingsAndCurrentRow()
    {
        Grid grid;
        load(grid, QStringLiteral("ten"));
        grid.setColumnCaption(3, QStringLiteral("Client"));
        grid.setColumnWidth(3, 2880);
        grid.setColumnVisible(1, false);
        grid.addSortKey(1, Qt::DescendingOrder);
        grid.setCurrentRow(7);

        load(grid, QStringLiteral("four"));

        QCOMPARE(grid.recordCount(), 4);
        QCOMPARE(grid.columnCount(), 4);
        QCOMPARE(grid.columnCaption(3), QStringLiteral("Client"));
        QCOMPARE(grid.columnWidth(3), 2880);
        QVERIFY(!grid.isColumnVisible(1));
        QCOMPARE(grid.sortKeyCount(), 1);
        QCOMPARE(grid.sortKey(1).order, Qt::DescendingOrder);
        QCOMPARE(grid.currentRow(), 4); // clamped to the last row
        QCOMPARE(grid.value(1).toLongLong(), 1);
    }

    void currentRowCountsGroupRows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("isGroup");
        QTest::addColumn<int>("bookmark");
        // Groups: sheet 1 > Bianchi (1,4,7), Rossi (0,3,6,9), Verdi (2,5,8).
        QTest::newRow("row 1 is the sheet group") << 1 << true << -1;
        QTest::newRow("row 2 is the first client group") << 2 << true << -1;
        QTest::newRow("row 3 is Bianchi's first record") << 3 << false << 1;
        QTest::newRow("row 6 is the Rossi group") << 6 << true << -1;
        QTest::newRow("row 7 is Rossi's first record") << 7 << false << 0;
        QTest::newRow("last row is Verdi's last record") << 14 << false << 8;
    }

    void currentRowCountsGroupRows()
    {
        QFETCH(int, row);
        QFETCH(bool, isGroup);
        QFETCH(int, bookmark);
        Grid grid;
        load(grid, QStringLiteral("ten"), {2, 3});
        QSignalSpy changed(&grid, &Grid::currentRowChanged);
        const int before = grid.currentRow();

        grid.setCurrentRow(row);

        QCOMPARE(grid.rowCount(), 14);
        QCOMPARE(grid.recordCount(), 10);
        QCOMPARE(grid.currentRow(), row);
        QCOMPARE(grid.row(row).isGroupRow(), isGroup);
        QCOMPARE(grid.row(row).bookmark(), bookmark);
        if (row != before) {
            QCOMPARE(changed.count(), 1);
            QCOMPARE(changed.at(0).at(0).toInt(), before);
        }
    }

    void clickOnARowMakesItCurrentAndOnABranchCollapsesTheGroup()
    {
        Grid grid;
        load(grid, QStringLiteral("ten"));
        grid.setColumnVisible(1, false); // the key column stays hidden, as in the windows
        grid.addGroup(3);
        QTreeView *view = show(grid);
        const QModelIndex third = view->model()->index(2, 2, view->model()->index(0, 0));
        QSignalSpy changed(&grid, &Grid::currentRowChanged);

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(third).center());
        QCOMPARE(grid.currentRow(), 4);
        QCOMPARE(grid.value(1).toLongLong(), 8); // Bianchi: rows 2, 5, 8
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(1).toInt(), 3);

        const QRect groupRow = view->visualRect(view->model()->index(0, 1));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(view->indentation() / 2, groupRow.center().y()));
        QVERIFY(!grid.isRowExpanded(1));
        QCOMPARE(grid.rowCount(), 13); // numbering does not depend on what is expanded
    }

    void findExpandsGroupAndSelectsRowWhichTheNavigatorCounts()
    {
        Grid grid;
        load(grid, QStringLiteral("ten"), {3});
        grid.setNavigatorText(QStringLiteral("Deadline|of"));
        grid.collapseAll();
        QVERIFY(!grid.isRowExpanded(5));

        QVERIFY(grid.find(1, 7));
        QCOMPARE(grid.value(1).toLongLong(), 7);
        QCOMPARE(grid.value(3).toString(), QStringLiteral("Rossi"));
        QCOMPARE(grid.currentRow(), 8); // Bianchi group and its 3 records, Rossi group, ids 1, 4, 7
        QVERIFY(grid.isRowExpanded(5));
        QVERIFY(!grid.isRowExpanded(1));
        QCOMPARE(grid.findChild<QLabel *>(QStringLiteral("recordNavigator"))->text(),
                 QStringLiteral("Deadline 6 of 10"));

        QVERIFY(!grid.find(1, 0));
        QCOMPARE(grid.currentRow(), 8);
    }

    void headerClickSortsThenReverses()
    {
        Grid grid;
        load(grid, QStringLiteral("ten"), {2});
        QHeaderView *header = show(grid, QSize(600, 300))->header();
        const QPoint amount(header->sectionViewportPosition(3) + header->sectionSize(3) / 2, header->height() / 2);

        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, amount);
        QCOMPARE(grid.sortKey(1).column, 4);
        QCOMPARE(grid.sortKey(1).order, Qt::AscendingOrder);
        QCOMPARE(grid.row(2).value(1).toLongLong(), 1);

        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, amount);
        QCOMPARE(grid.sortKey(1).order, Qt::DescendingOrder);
        QVERIFY(grid.row(1).isGroupRow());
        QCOMPARE(grid.row(2).value(1).toLongLong(), 10);
        QCOMPARE(grid.sortKeyCount(), 1);
    }

    void keyDownRequestMaySwallowKey_data()
    {
        QTest::addColumn<bool>("swallow");
        QTest::addColumn<int>("expectedRow");
        QTest::newRow("key passed on moves down") << false << 3;
        QTest::newRow("key set to 0 is swallowed") << true << 2;
    }

    void keyDownRequestMaySwallowKey()
    {
        QFETCH(bool, swallow);
        QFETCH(int, expectedRow);
        Grid grid;
        load(grid, QStringLiteral("ten"));
        QTreeView *view = show(grid);
        grid.setCurrentRow(2);
        Qt::KeyboardModifiers seen;
        connect(&grid, &Grid::keyDown, &grid, [&](int &key, Qt::KeyboardModifiers modifiers) {
            seen = modifiers;
            if (swallow)
                key = 0;
        });
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(grid.currentRow(), expectedRow);
        QCOMPARE(seen, Qt::ShiftModifier);
    }

    void printingThreePagesAsksTextsForEachPage()
    {
        QTemporaryDir dir;
        Grid grid;
        served().insert(QStringLiteral("many"), someRows(1000));
        load(grid, QStringLiteral("many"));
        QStringList footers;
        int reportedCount = 0;
        connect(&grid, &Grid::pagePrinted, &grid, [&](int page, int count, GridPageTexts &texts) {
            texts.setHeader(2, QStringLiteral("Velto"));
            texts.setFooter(1, QStringLiteral("%1 / %2").arg(page).arg(count));
            footers.append(texts.footer(1));
            reportedCount = count;
        });
        auto printTo = [&](const QString &file) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            QString error;
            return grid.print(&printer, &error) ? QString() : error;
        };
        // A long list tells how many rows fill a page on this printer; two and
        // a half pages of rows must then print on three.
        QCOMPARE(printTo(dir.filePath(QStringLiteral("long.pdf"))), QString());
        QVERIFY(reportedCount >= 5);
        served().insert(QStringLiteral("three pages"), someRows(1000 / reportedCount * 5 / 2));
        load(grid, QStringLiteral("three pages"));
        footers.clear();

        const QString file = dir.filePath(QStringLiteral("three.pdf"));
        QCOMPARE(printTo(file), QString());
        QCOMPARE(countPdfPages(test::readFile(file)), 3);
        QCOMPARE(footers, (QStringList{"1 / 3", "2 / 3", "3 / 3"}));
    }

    void printedPageCarriesRequestedTexts()
    {
        GridModel model;
        model.setSource(std::make_unique<VectorGridSource>(QStringList{"id", "name"},
                                                           QList<VectorGridSource::Row>{{qint64(1), "Affitto"}}));
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        GridPrinter pages(model, GridPrintSettings(), {{1, 1000}, {2, 3000}}, QFont());
        QCOMPARE(pages.layout(&printer), 1);
        GridPageTexts texts;
        texts.setHeader(3, QStringLiteral("15 January 2027"));
        texts.setFooter(1, QStringLiteral("1 / 1"));

        QPicture picture;
        QPainter painter(&picture);
        pages.paintPage(painter, 1, texts);
        painter.end();

        // A picture records its texts as UTF-16 strings.
        auto contains = [&](const QString &text) {
            QByteArray utf16;
            QDataStream s(&utf16, QIODevice::WriteOnly);
            s << text;
            return QByteArray(picture.data(), picture.size()).contains(utf16.mid(4));
        };
        for (const char *text : {"15 January 2027", "1 / 1", "Affitto"})
            QVERIFY2(contains(QLatin1String(text)), text);
        QVERIFY(!contains(QStringLiteral("Velto")));
    }

    void rowsAndGroupCaptionsAreAccessible()
    {
        Grid grid;
        load(grid, QStringLiteral("four"));
        grid.setColumnCaption(3, QStringLiteral("Client"));
        grid.addGroup(3);
        QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(show(grid))->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->columnCount(), 4);
        QStringList firstCells;
        for (int r = 0; r < table->rowCount(); ++r)
            firstCells.append(table->cellAt(r, 0)->text(QAccessible::Name));
        QCOMPARE(firstCells, (QStringList{"Client: Bianchi", "2", "Client: Rossi", "1", "4", "Client: Verdi", "3"}));
        QCOMPARE(table->cellAt(1, 2)->text(QAccessible::Name), QStringLiteral("Bianchi"));
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
