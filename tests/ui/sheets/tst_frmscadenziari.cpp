// The data sheets dialog driven with mouse and keys: refusals, creation,
// renaming, deletion and selection, each checked in the database file.

#include "app/mainmod.h"
#include "app/settings.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "promptrecorder.h"
#include "refreshrecorder.h"
#include "testsupport.h"
#include "ui/sheets/frmscadenziari.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/recordsetgridsource.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

using namespace velto;
using velto::test::PromptRecorder;
using velto::test::RefreshRecorder;

namespace {

struct Sheet {
    int id;
    QString name;
};

void exec(const QString &statement)
{
    Connection cn;
    QVERIFY(cn.open(app().ConnectionString));
    const Status st = cn.execute(statement);
    QVERIFY2(st.ok(), qPrintable(st.message() + " in " + statement));
}

// The data sheets as stored, by id.
QList<Sheet> storedSheets()
{
    QList<Sheet> sheets;
    Recordset rs;
    if (!rs.open(QStringLiteral("SELECT DbId, DbName FROM Dbs ORDER BY DbId"), app().ConnectionString))
        return sheets;
    for (; !rs.eof(); rs.moveNext())
        sheets.append({int(rs.intValue(0)), rs.textValue(1)});
    return sheets;
}

// Deadlines per data sheet id.
QMap<int, int> deadlinesPerSheet()
{
    QMap<int, int> counts;
    Recordset rs;
    if (!rs.open(QStringLiteral("SELECT TrDbId FROM Transactions"), app().ConnectionString))
        return counts;
    for (; !rs.eof(); rs.moveNext())
        ++counts[int(rs.intValue(0))];
    return counts;
}

void setSheets(const QList<Sheet> &sheets)
{
    exec(QStringLiteral("DELETE * FROM Dbs"));
    for (const Sheet &s : sheets)
        exec(sql::createSheet(s.id, s.name));
}

void addDeadline(int dbId, const QString &description)
{
    exec(sql::insertSingle(dbId, 1, QDate(2027, 1, 10), description, 0, Currency::fromUnits(10000),
                           Currency::fromUnits(10000), 0));
}

QTreeView *viewOf(Grid *grid) { return grid->findChild<QTreeView *>(); }

// Clicks the row showing the data sheet with this id.
void clickSheet(frmScadenziari &dlg, int id)
{
    Grid *grid = dlg.grid();
    int row = 0;
    for (int r = 1; r <= grid->rowCount(); ++r) {
        if (grid->row(r).value(1).toInt() == id)
            row = r;
    }
    QVERIFY2(row > 0, "no such data sheet in the list");
    QTreeView *view = viewOf(grid);
    const QModelIndex index = view->model()->index(row - 1, 1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    QCOMPARE(grid->currentRow(), row);
}

void click(frmScadenziari &dlg, const char *button)
{
    auto *b = dlg.findChild<QPushButton *>(QLatin1String(button));
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
}

} // namespace

class TestFrmScadenziari : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void eraseRefusesWithoutTouchingTheDatabase_data();
    void eraseRefusesWithoutTouchingTheDatabase();
    void eraseRemovesTheSheetAndOnlyItsDeadlines();
    void eraseAnsweredNoKeepsEverything();
    void newSheetTakesTheIdAfterTheHighest_data();
    void newSheetTakesTheIdAfterTheHighest();
    void newSheetNameIsTrimmedOrIgnored_data();
    void newSheetNameIsTrimmedOrIgnored();
    void renameActiveSheetUpdatesNameAndStatusBarOnly();
    void renameIsPrefilledAndStaysOnTheRenamedRow();
    void enterSelectsSheetStoresItAndReloadsInOrder();
    void dialogOpensWithTheFirstRowSelected();
    void listShowsTheDatabaseFolder();

private:
    std::unique_ptr<test::Sandbox> m_box;
    PromptRecorder m_prompts;
    std::unique_ptr<RefreshRecorder> m_refresh;
};

void TestFrmScadenziari::initTestCase()
{
    installRecordsetLoader();
    // Italian texts, also for the data tables built before init().
    app().LanguageOffset = 0;
}

void TestFrmScadenziari::init()
{
    m_box = std::make_unique<test::Sandbox>();
    QVERIFY(m_box->createDatabase());
    app().SettingsKey = settingsKeyFor(QStringLiteral("Velto"));
    app().LanguageOffset = 0;
    app().CurrentDbId = 1;
    m_prompts = PromptRecorder();
    m_refresh = std::make_unique<RefreshRecorder>();
}

void TestFrmScadenziari::cleanup()
{
    m_refresh.reset();
    m_box.reset();
}

void TestFrmScadenziari::eraseRefusesWithoutTouchingTheDatabase_data()
{
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("picked");
    QTest::addColumn<QString>("expected");

    QTest::newRow("only sheet") << QList<int>{1} << 1 << 1 << LoadResString(1405);
    QTest::newRow("only sheet, not sheet 1") << QList<int>{4} << 4 << 4 << LoadResString(1405);
    QTest::newRow("active sheet that is not sheet 1") << QList<int>{1, 2, 3} << 3 << 3 << LoadResString(1406);
    QTest::newRow("active sheet 1") << QList<int>{1, 2} << 1 << 1 << LoadResString(1406);
    QTest::newRow("sheet 1 while another is active") << QList<int>{1, 2, 3} << 2 << 1 << QStringLiteral("UNO");
}

void TestFrmScadenziari::eraseRefusesWithoutTouchingTheDatabase()
{
    QFETCH(QList<int>, ids);
    QFETCH(int, active);
    QFETCH(int, picked);
    QFETCH(QString, expected);
    // Given
    QList<Sheet> sheets;
    for (int id : ids) {
        sheets.append({id, QStringLiteral("Sheet %1").arg(id)});
        addDeadline(id, QStringLiteral("rent"));
    }
    setSheets(sheets);
    app().CurrentDbId = active;
    const auto deadlinesBefore = deadlinesPerSheet();
    frmScadenziari dlg(m_prompts);
    dlg.show();
    clickSheet(dlg, picked);
    m_prompts.answers = {true};

    // When
    click(dlg, "cmdErase");

    // Then
    QCOMPARE(m_prompts.messages, QStringList{expected});
    QVERIFY(m_prompts.questions.isEmpty());
    QCOMPARE(storedSheets().size(), ids.size());
    QCOMPARE(deadlinesPerSheet(), deadlinesBefore);
}

void TestFrmScadenziari::eraseRemovesTheSheetAndOnlyItsDeadlines()
{
    setSheets({{1, "Casa"}, {2, "Lavoro"}, {3, "Studio"}});
    addDeadline(1, "luce");
    addDeadline(2, "affitto ufficio");
    addDeadline(2, "telefono");
    addDeadline(3, "tasse");
    frmScadenziari dlg(m_prompts);
    dlg.show();
    clickSheet(dlg, 2);
    m_prompts.answers = {true};

    click(dlg, "cmdErase");

    QCOMPARE(m_prompts.questions, QStringList{LoadResString(1407)});
    QCOMPARE(m_prompts.messages, QStringList{LoadResString(1408)});
    const QList<Sheet> left = storedSheets();
    QCOMPARE(left.size(), 2);
    QCOMPARE(left.at(0).id, 1);
    QCOMPARE(left.at(1).id, 3);
    const QMap<int, int> expected{{1, 1}, {3, 1}};
    QCOMPARE(deadlinesPerSheet(), expected);
    QCOMPARE(dlg.grid()->recordCount(), 2);
    QVERIFY(m_refresh->calls.isEmpty());
}

void TestFrmScadenziari::eraseAnsweredNoKeepsEverything()
{
    setSheets({{1, "Casa"}, {2, "Lavoro"}});
    addDeadline(2, "telefono");
    frmScadenziari dlg(m_prompts);
    dlg.show();
    clickSheet(dlg, 2);
    m_prompts.answers = {false};

    click(dlg, "cmdErase");

    QCOMPARE(m_prompts.questions.size(), 1);
    QVERIFY(m_prompts.messages.isEmpty());
    QCOMPARE(storedSheets().size(), 2);
    QCOMPARE(deadlinesPerSheet().value(2), 1);
}

void TestFrmScadenziari::newSheetTakesTheIdAfterTheHighest_data()
{
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<int>("expectedId");
    QTest::newRow("highest 7 gives 8 past free ids 2 to 6") << QList<int>{1, 7} << 8;
    QTest::newRow("consecutive ids") << QList<int>{1, 2, 3} << 4;
    QTest::newRow("sheet 1 only") << QList<int>{1} << 2;
}

void TestFrmScadenziari::newSheetTakesTheIdAfterTheHighest()
{
    QFETCH(QList<int>, ids);
    QFETCH(int, expectedId);
    QList<Sheet> sheets;
    for (int id : ids)
        sheets.append({id, QStringLiteral("Sheet %1").arg(id)});
    setSheets(sheets);
    frmScadenziari dlg(m_prompts);
    dlg.show();
    m_prompts.textAnswers = {QStringLiteral("Nuovo")};

    click(dlg, "cmdNuovo");

    const QList<Sheet> after = storedSheets();
    QCOMPARE(after.size(), ids.size() + 1);
    QCOMPARE(after.last().id, expectedId);
    QCOMPARE(after.last().name, QStringLiteral("Nuovo"));
    QCOMPARE(m_prompts.messages, QStringList{LoadResString(1410)});
    QCOMPARE(dlg.grid()->recordCount(), ids.size() + 1);
    // A new sheet is not made active.
    QCOMPARE(app().CurrentDbId, 1);
}

void TestFrmScadenziari::newSheetNameIsTrimmedOrIgnored_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: nothing stored, nothing shown
    QTest::newRow("surrounding blanks trimmed") << QStringLiteral("   Ufficio  ") << QStringLiteral("Ufficio");
    QTest::newRow("apostrophe kept as typed") << QStringLiteral("l'ufficio") << QStringLiteral("l'ufficio");
    QTest::newRow("two apostrophes and a quote") << QStringLiteral("d'Arco''s \"casa\"")
                                                  << QStringLiteral("d'Arco''s \"casa\"");
    QTest::newRow("blanks only ignored") << QStringLiteral("    ") << QString();
    QTest::newRow("empty ignored") << QString() << QString();
    QTest::newRow("cancel ignored") << QStringLiteral("<cancel>") << QString();
}

void TestFrmScadenziari::newSheetNameIsTrimmedOrIgnored()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    frmScadenziari dlg(m_prompts);
    dlg.show();
    if (typed != QLatin1String("<cancel>"))
        m_prompts.textAnswers = {typed};

    click(dlg, "cmdNuovo");

    QCOMPARE(m_prompts.textPrompts, QStringList{LoadResString(1409)});
    // The box holds no more than the name field does.
    QCOMPARE(m_prompts.textMaxLengths, QList<int>{50});
    const QList<Sheet> after = storedSheets();
    if (stored.isEmpty()) {
        QCOMPARE(after.size(), 1);
        QVERIFY(m_prompts.messages.isEmpty());
        return;
    }
    QCOMPARE(after.size(), 2);
    QCOMPARE(after.last().name, stored);
    // The list shows it as typed too.
    QVERIFY(dlg.grid()->find(1, after.last().id));
    QCOMPARE(dlg.grid()->value(2).toString(), stored);
}

void TestFrmScadenziari::renameActiveSheetUpdatesNameAndStatusBarOnly()
{
    setSheets({{1, "Casa"}, {2, "Lavoro"}});
    app().CurrentDbId = 2;
    LoadCurrentDbName();
    frmScadenziari dlg(m_prompts);
    dlg.show();
    clickSheet(dlg, 2);
    m_prompts.textAnswers = {QStringLiteral("  l'ufficio ")};

    click(dlg, "cmdEdit");

    QCOMPARE(m_prompts.textPrompts, QStringList{LoadResString(1411)});
    QCOMPARE(storedSheets().at(1).name, QStringLiteral("l'ufficio"));
    QCOMPARE(storedSheets().at(0).name, QStringLiteral("Casa"));
    QCOMPARE(app().CurrentDbName, QStringLiteral("l'ufficio"));
    QCOMPARE(m_refresh->calls, QStringList{QStringLiteral("sbBallon")});
    QVERIFY(dlg.isVisible());
}

void TestFrmScadenziari::renameIsPrefilledAndStaysOnTheRenamedRow()
{
    setSheets({{1, "Alfa"}, {2, "Beta"}});
    frmScadenziari dlg(m_prompts);
    dlg.show();
    clickSheet(dlg, 1);
    m_prompts.textAnswers = {QStringLiteral("Zeta"), QStringLiteral("   ")};

    click(dlg, "cmdEdit");
    QCOMPARE(m_prompts.textValues, QStringList{QStringLiteral("Alfa")});
    // Sorted by name the sheet moves to the end; the selection follows it.
    QCOMPARE(dlg.selectedDbId(), 1);
    QCOMPARE(dlg.selectedDbName(), QStringLiteral("Zeta"));

    click(dlg, "cmdEdit");
    QCOMPARE(storedSheets().at(0).name, QStringLiteral("Zeta"));
}

void TestFrmScadenziari::enterSelectsSheetStoresItAndReloadsInOrder()
{
    setSheets({{1, "Alfa"}, {5, "Beta"}});
    frmScadenziari dlg(m_prompts);
    dlg.show();
    QTreeView *view = viewOf(dlg.grid());
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(dlg.selectedDbId(), 5);

    QTest::keyClick(view, Qt::Key_Return);

    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(app().CurrentDbId, 5);
    QCOMPARE(app().CurrentDbName, QStringLiteral("Beta"));
    QCOMPARE(ReadSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(kCurSca), 1).toInt(), 5);
    const QStringList expected{QStringLiteral("gexUpdate(3)"), QStringLiteral("gextasksUpdate"),
                               QStringLiteral("mvGetDayBold"), QStringLiteral("picStartVisible"),
                               QStringLiteral("sbBallon")};
    QCOMPARE(m_refresh->calls, expected);
}

void TestFrmScadenziari::dialogOpensWithTheFirstRowSelected()
{
    setSheets({{1, "Zeta"}, {9, "Alfa"}});
    frmScadenziari dlg(m_prompts);
    dlg.show();
    QCOMPARE(dlg.selectedDbId(), 9);

    click(dlg, "cmdSelect");

    QCOMPARE(app().CurrentDbId, 9);
    QCOMPARE(app().CurrentDbName, QStringLiteral("Alfa"));
}

void TestFrmScadenziari::listShowsTheDatabaseFolder()
{
    frmScadenziari dlg(m_prompts);
    auto *folder = dlg.findChild<QLabel *>(QStringLiteral("lblDb"));
    QVERIFY(folder);
    QCOMPARE(folder->text(), QDir::toNativeSeparators(m_box->dataDir()) + QDir::separator());
    QVERIFY(!dlg.grid()->isColumnVisible(1));
}

QTEST_MAIN(TestFrmScadenziari)
#include "tst_frmscadenziari.moc"
