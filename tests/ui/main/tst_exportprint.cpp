// Export and print of the deadline grid: the file of a known grid byte for
// byte, every record once in any layout, the save dialog's texts, a file
// that cannot be written, and printing to PDF with the page texts.

#include "app/mainmod.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "promptrecorder.h"
#include "testsupport.h"
#include "ui/main/exportprint.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/recordsetgridsource.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using namespace velto;
using velto::test::PromptRecorder;

namespace {

enum { ColDbId = 2, ColDate = 5, ColDescription = 6, ColGrpRow = 11, ColGrpMDay = 12, ColGrpId = 14, ColAcName = 16 };

void exec(Connection &cn, const QString &statement)
{
    const Status st = cn.execute(statement);
    QVERIFY2(st.ok(), qPrintable(st.message() + " in " + statement));
}

Currency money(const char *text) { return *Currency::fromInvariant(QString::fromLatin1(text)); }

// Four deadlines of sheet 1 and one of sheet 2 that must never show.
void fillKnownBook()
{
    Connection cn;
    QVERIFY(cn.open(app().ConnectionString));
    exec(cn, "INSERT INTO Accounts ( AcName, AcNotes ) SELECT 'Rossi', 'tel. 02 123'");
    const qint64 rossi = cn.lastInsertId();
    exec(cn, sql::insertSingle(1, 1, QDate(2027, 1, 15), "Fattura 12", rossi, money("1234.5"), money("1234.5"), 0));
    exec(cn, "UPDATE Transactions SET TrDone = True WHERE TrDescription='Fattura 12'");
    exec(cn, sql::insertSingle(1, -2, QDate(2027, 2, 1), "Dentista", 0, money("50"), money("0"), 0));
    exec(cn, sql::insertSeriesRow(1, -1, QDate(2027, 3, 1), "Affitto", 0, money("800"), money("-800"), u'm', 2, 12, 5));
    exec(cn, sql::insertSingle(1, 1, QDate(2027, 2, 20), "Monitor 24\" Dell", rossi, money("199.99"),
                               money("199.99"), 0));
    exec(cn, sql::insertSingle(2, 1, QDate(2027, 1, 1), "other sheet", 0, money("1"), money("1"), 0));
}

// The deadline grid as the main window sets it up: grouped by sheet and
// optionally a second column, sorted by date, the series counter on
// request, and appointments showing no amount.
void setUpDeadlineGrid(Grid &grid, int secondGroup)
{
    grid.setConnection(app().ConnectionString);
    grid.setRecordSource(sql::mainSelect(1, sql::mainFilter(0)));
    QVERIFY(grid.rebind());
    grid.setColumnValueByRequest(ColDescription, true);
    QObject::connect(&grid, &Grid::unboundValue, &grid, [&grid](int column, int bookmark, QVariant &value) {
        if (column != ColDescription)
            return;
        const QString description = grid.recordValue(bookmark, "TrDescription").toString();
        if (grid.recordValue(bookmark, "TrGrpId").toLongLong() > 0)
            value = description + " " + grid.recordValue(bookmark, "TrGrpRow").toString() + " / "
                + grid.recordValue(bookmark, "TrGrpMDay").toString();
        else
            value = description;
    });
    QObject::connect(&grid, &Grid::rowFormat, &grid, [](GridRow &row) {
        if (!row.isGroupRow() && row.value(3).toInt() == -2)
            row.setValue(8, QString());
    });
    grid.clearGroups();
    grid.addGroup(ColDbId);
    if (secondGroup > 0)
        grid.addGroup(secondGroup);
    grid.addSortKey(ColDate);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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

class TestExportPrint : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void exportOfAKnownGridMatchesTheGoldenFile();
    void everyRecordOnceInTheGridsOrderInAnyLayout_data();
    void everyRecordOnceInTheGridsOrderInAnyLayout();
    void emptyGridExportsTheHeaderOnly();
    void saveDialogTextsFollowTheLanguage_data();
    void saveDialogTextsFollowTheLanguage();
    void cancelledSaveWritesNothing();
    void unwritableFileShowsTheErrorAndKeepsTheOldFile();
    void printWritesTheTitleDateAndPageNumbers();
    void failingPrintShowsItsError();
    void cancelledPrintDialogPrintsNothing();

private:
    QString exportTo(Grid &grid, const QString &path, SaveFileRequest *asked = nullptr);

    std::unique_ptr<test::Sandbox> m_box;
    PromptRecorder m_prompts;
};

void TestExportPrint::initTestCase()
{
    installRecordsetLoader();
    qputenv("VELTO_TODAY", "2027-02-10");
}

void TestExportPrint::init()
{
    m_box = std::make_unique<test::Sandbox>();
    QVERIFY(m_box->createDatabase());
    app().LanguageOffset = 0;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    m_prompts = PromptRecorder();
}

void TestExportPrint::cleanup()
{
    QLocale::setDefault(QLocale::c());
    m_box.reset();
}

QString TestExportPrint::exportTo(Grid &grid, const QString &path, SaveFileRequest *asked)
{
    m_prompts.saveFile = path;
    const bool written = ExportGrid(grid, m_prompts);
    if (asked)
        asked->title = m_prompts.saveRequests.value(0);
    return written ? path : QString();
}

void TestExportPrint::exportOfAKnownGridMatchesTheGoldenFile()
{
    // Given the layout by client/supplier with every group collapsed
    fillKnownBook();
    Grid grid;
    setUpDeadlineGrid(grid, ColAcName);
    grid.collapseAll();

    // When
    const QString path = exportTo(grid, m_box->path() + "/export.txt");

    // Then
    QVERIFY(!path.isEmpty());
    const QByteArray expected = readAll(QStringLiteral(VELTO_TEST_DATA "/export_by_client.txt"));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(readAll(path), expected);
    QVERIFY(m_prompts.messages.isEmpty());
}

void TestExportPrint::everyRecordOnceInTheGridsOrderInAnyLayout_data()
{
    QTest::addColumn<int>("secondGroup");
    QTest::addColumn<bool>("collapsed");
    QTest::addColumn<QStringList>("order");
    const QStringList byDate{"Fattura 12", "Dentista", "Monitor 24\" Dell", "Affitto 2 / 12"};
    const QStringList byClient{"Dentista", "Affitto 2 / 12", "Fattura 12", "Monitor 24\" Dell"};
    QTest::newRow("plain, expanded") << 0 << false << byDate;
    QTest::newRow("plain, collapsed") << 0 << true << byDate;
    QTest::newRow("by client, expanded") << int(ColAcName) << false << byClient;
    QTest::newRow("by client, collapsed") << int(ColAcName) << true << byClient;
    QTest::newRow("by type, collapsed")
        << 3 << true << QStringList{"Dentista", "Affitto 2 / 12", "Fattura 12", "Monitor 24\" Dell"};
}

void TestExportPrint::everyRecordOnceInTheGridsOrderInAnyLayout()
{
    QFETCH(int, secondGroup);
    QFETCH(bool, collapsed);
    QFETCH(QStringList, order);
    fillKnownBook();
    Grid grid;
    setUpDeadlineGrid(grid, secondGroup);
    if (collapsed)
        grid.collapseAll();

    const QString path = exportTo(grid, m_box->path() + "/export.txt");

    const QList<QByteArray> lines = readAll(path).split('\n');
    QCOMPARE(lines.size(), order.size() + 1);
    QStringList descriptions;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        // The fourth quoted field, its doubled quotes read back as one.
        const QString line = QString::fromUtf8(lines.at(i)).remove(u'\r');
        const QStringList fields = line.split(u'\t');
        QCOMPARE(fields.size(), 8);
        QString d = fields.at(3);
        QVERIFY(d.startsWith(u'"') && d.endsWith(u'"'));
        descriptions.append(d.mid(1, d.size() - 2).replace("\"\"", "\""));
    }
    QCOMPARE(descriptions, order);
}

void TestExportPrint::emptyGridExportsTheHeaderOnly()
{
    Grid grid;
    setUpDeadlineGrid(grid, ColAcName);

    const QString path = exportTo(grid, m_box->path() + "/empty.txt");

    QCOMPARE(readAll(path), QByteArray("Tipo\tFatto\tData\tDescrizione\tImporto\tTotale\tCliente/Fornitore\t"
                                       "Note Cliente/Fornitore"));
}

void TestExportPrint::saveDialogTextsFollowTheLanguage_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("Italian") << 0 << "Velto - Esporta i dati" << "File di testo (*.txt)" << QByteArray("Tipo\tFatto\t");
    QTest::newRow("English") << 3000 << "Velto - Export data" << "Text file (*.txt)" << QByteArray("Type\tDone\t");
}

void TestExportPrint::saveDialogTextsFollowTheLanguage()
{
    QFETCH(int, offset);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    QFETCH(QByteArray, header);
    app().LanguageOffset = offset;
    Grid grid;
    setUpDeadlineGrid(grid, 0);
    SaveFileRequest asked;

    const QString path = exportTo(grid, m_box->path() + "/export.txt", &asked);

    QCOMPARE(asked.title, title);
    QVERIFY(readAll(path).startsWith(header));
}

void TestExportPrint::cancelledSaveWritesNothing()
{
    Grid grid;
    setUpDeadlineGrid(grid, 0);

    const bool written = ExportGrid(grid, m_prompts);

    QVERIFY(!written);
    QVERIFY(m_prompts.messages.isEmpty());
}

void TestExportPrint::unwritableFileShowsTheErrorAndKeepsTheOldFile()
{
    fillKnownBook();
    Grid grid;
    setUpDeadlineGrid(grid, 0);
    const QString missingFolder = m_box->path() + "/no such folder/export.txt";
    // A folder where the file should be: the name cannot be replaced by a file.
    const QString folderInTheWay = m_box->path() + "/taken.txt";
    QVERIFY(QDir().mkpath(folderInTheWay));

    for (const QString &path : {missingFolder, folderInTheWay}) {
        m_prompts.messages.clear();
        m_prompts.saveFile = path;
        const bool written = ExportGrid(grid, m_prompts);
        QVERIFY2(!written, qPrintable(path));
        QCOMPARE(m_prompts.messages.size(), 1);
        QVERIFY(m_prompts.messages.first().startsWith(QDir::toNativeSeparators(path)));
        QCOMPARE(m_prompts.icons.last(), MessageIcon::Critical);
    }
    QVERIFY(!QFile::exists(missingFolder));
    QVERIFY(QFileInfo(folderInTheWay).isDir());
}

void TestExportPrint::printWritesTheTitleDateAndPageNumbers()
{
    // Given enough deadlines for three pages
    Grid grid;
    setUpDeadlineGrid(grid, 0);
    installPageTexts(grid);
    QStringList footers;
    QStringList headers;
    int lastCount = 0;
    connect(&grid, &Grid::pagePrinted, this, [&](int, int count, GridPageTexts &texts) {
        footers.append(texts.footer(1));
        headers.append(texts.header(2) + " | " + texts.header(3));
        lastCount = count;
    }, Qt::DirectConnection);
    const QString pdf = m_box->path() + "/print.pdf";
    m_prompts.printerSetUp = [&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    // The rows a page holds depend on the fonts at hand: add rows until
    // the print takes three pages.
    auto addDeadlines = [&](int from, int count) {
        Connection cn;
        QVERIFY(cn.open(app().ConnectionString));
        QVERIFY(cn.beginTrans());
        for (int i = from; i < from + count; ++i)
            exec(cn, sql::insertSingle(1, 1, QDate(2027, 1, 1).addDays(i), QString("deadline %1").arg(i), 0,
                                       money("10"), money("10"), 0));
        QVERIFY(cn.commitTrans());
    };
    int rows = 0;
    while (lastCount < 3 && rows < 3000) {
        addDeadlines(rows, 10);
        rows += 10;
        QVERIFY(grid.rebind());
        QVERIFY(PrintGrid(grid, m_prompts));
    }
    QCOMPARE(lastCount, 3);
    footers.clear();
    headers.clear();

    // When
    QVERIFY(PrintGrid(grid, m_prompts));

    // Then
    QCOMPARE(footers, (QStringList{"1 / 3", "2 / 3", "3 / 3"}));
    const QString longDate = QLocale().toString(QDate(2027, 2, 10), QLocale::LongFormat);
    QVERIFY(longDate.contains("febbraio"));
    QCOMPARE(headers, QStringList(3, "Velto | " + longDate));
    QCOMPARE(countPdfPages(readAll(pdf)), 3);
    QVERIFY(m_prompts.messages.isEmpty());
}

void TestExportPrint::failingPrintShowsItsError()
{
    fillKnownBook();
    Grid grid;
    setUpDeadlineGrid(grid, 0);

    m_prompts.printerSetUp = [&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_box->path() + "/no such folder/print.pdf");
        return true;
    };
    const bool printed = PrintGrid(grid, m_prompts);

    QVERIFY(!printed);
    QCOMPARE(m_prompts.messages.size(), 1);
    QVERIFY(!m_prompts.messages.first().isEmpty());
    QCOMPARE(m_prompts.icons.first(), MessageIcon::Critical);
}

void TestExportPrint::cancelledPrintDialogPrintsNothing()
{
    Grid grid;
    setUpDeadlineGrid(grid, 0);
    int pages = 0;
    connect(&grid, &Grid::pagePrinted, this, [&](int, int, GridPageTexts &) { ++pages; }, Qt::DirectConnection);

    QVERIFY(!PrintGrid(grid, m_prompts));

    QCOMPARE(pages, 0);
    QVERIFY(m_prompts.messages.isEmpty());
}

QTEST_MAIN(TestExportPrint)
#include "tst_exportprint.moc"
