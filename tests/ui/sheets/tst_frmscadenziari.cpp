// The data sheets dialog driven with mouse and keys: what each button sends
// to the database, what the list then shows, and what the main window is
// told. The rules of create, rename and delete are tested at the core.

#include "app/mainmod.h"
#include "app/settings.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "promptrecorder.h"
#include "refreshrecorder.h"
#include "testsupport.h"
#include "ui/sheets/frmscadenziari.h"
#include "ui/widgets/grid.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

using namespace velto;

namespace {

// The data sheets as stored, "id name" in id order.
QStringList storedSheets()
{
    return test::column(QStringLiteral("SELECT DbId || ' ' || DbName FROM Dbs ORDER BY DbId"));
}

void setSheets(const QStringList &names) // ids from 1, with a gap where a name is empty
{
    QVERIFY(test::exec(QStringLiteral("DELETE * FROM Dbs")));
    for (int i = 0; i < names.size(); ++i)
        if (!names[i].isEmpty())
            QVERIFY(test::exec(sql::createSheet(i + 1, names[i])));
}

QTreeView *viewOf(Grid *grid)
{
    return grid->findChild<QTreeView *>();
}

// Clicks the row showing the data sheet with this id.
void clickSheet(frmScadenziari &dlg, int id)
{
    Grid *grid = dlg.grid();
    QVERIFY2(grid->find(1, id), "no such data sheet in the list");
    QTreeView *view = viewOf(grid);
    const QModelIndex index = view->model()->index(grid->currentRow() - 1, 1);
    grid->setCurrentRow(0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    QCOMPARE(dlg.selectedDbId(), id);
}

void click(frmScadenziari &dlg, const char *button)
{
    QTest::mouseClick(dlg.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

class TestFrmScadenziari : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        test::renew(m_box);
        QVERIFY(m_box->createDatabase());
        app().SettingsKey = settingsKeyFor(QStringLiteral("Velto"));
        app().LanguageOffset = 0;
        app().CurrentDbId = 1;
        m_prompts = test::PromptRecorder();
        m_refresh = std::make_unique<test::RefreshRecorder>();
    }

    void cleanup() { m_refresh.reset(); }

    void eraseTakesTheSheetOnlyAfterYes_data()
    {
        QTest::addColumn<int>("picked");
        QTest::addColumn<bool>("yes");
        QTest::addRow("sheet 1: refused before any question") << 1 << true;
        QTest::addRow("Yes removes it from the list") << 3 << true;
        QTest::addRow("No keeps it") << 3 << false;
    }

    void eraseTakesTheSheetOnlyAfterYes()
    {
        QFETCH(int, picked);
        QFETCH(bool, yes);
        setSheets({"Casa", "Lavoro", "Studio"});
        app().CurrentDbId = 2;
        frmScadenziari dlg(m_prompts);
        dlg.show();
        clickSheet(dlg, picked);
        m_prompts.answers = {yes};

        click(dlg, "cmdErase");

        const bool refused = picked == 1;
        const bool gone = yes && !refused;
        QCOMPARE(m_prompts.questions, refused ? QStringList{} : QStringList{LoadResString(1407)});
        QCOMPARE(m_prompts.messages,
                 refused    ? QStringList{"UNO"}
                     : gone ? QStringList{LoadResString(1408)}
                            : QStringList{});
        QCOMPARE(storedSheets().size(), gone ? 2 : 3);
        QCOMPARE(dlg.grid()->recordCount(), gone ? 2 : 3);
        QVERIFY(m_refresh->calls.isEmpty());
    }

    void newSheetNameIsTrimmedOrIgnored_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: nothing stored, nothing shown
        QTest::newRow("surrounding blanks trimmed, apostrophe kept") << "  l'ufficio  "
                                                                     << "l'ufficio";
        QTest::newRow("blanks only ignored") << "    " << QString();
        QTest::newRow("cancel ignored") << "<cancel>" << QString();
    }

    void newSheetNameIsTrimmedOrIgnored()
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
        if (stored.isEmpty()) {
            QCOMPARE(storedSheets().size(), 1);
            QVERIFY(m_prompts.messages.isEmpty());
            return;
        }
        QCOMPARE(storedSheets().value(1), QStringLiteral("2 ") + stored);
        QVERIFY(dlg.grid()->find(1, 2));
        QCOMPARE(dlg.grid()->value(2).toString(), stored);
        QCOMPARE(m_prompts.messages, QStringList{LoadResString(1410)});
        // A new sheet is not made active.
        QCOMPARE(app().CurrentDbId, 1);
    }

    void renameOfTheActiveSheetUpdatesItsNameAndFollowsTheRow()
    {
        setSheets({"Casa", "Albero"});
        app().CurrentDbId = 2;
        LoadCurrentDbName();
        frmScadenziari dlg(m_prompts);
        dlg.show();
        clickSheet(dlg, 2);
        m_prompts.textAnswers = {QStringLiteral("  l'ufficio "), QStringLiteral("   ")};

        click(dlg, "cmdEdit");

        QCOMPARE(m_prompts.textPrompts, QStringList{LoadResString(1411)});
        QCOMPARE(m_prompts.textValues, QStringList{QStringLiteral("Albero")});
        QCOMPARE(storedSheets(), (QStringList{"1 Casa", "2 l'ufficio"}));
        QCOMPARE(app().CurrentDbName, QStringLiteral("l'ufficio"));
        QTRY_COMPARE(m_refresh->calls, QStringList{QStringLiteral("notice")});
        // Now listed after Casa; the selection moved with it.
        QCOMPARE(dlg.grid()->currentRow(), 2);
        QCOMPARE(dlg.selectedDbName(), QStringLiteral("l'ufficio"));

        click(dlg, "cmdEdit"); // a blank name changes nothing
        QCOMPARE(storedSheets().value(1), QStringLiteral("2 l'ufficio"));
    }

    void enterSelectsSheetStoresItAndReloadsInOrder()
    {
        setSheets({"Alfa", "", "", "", "Beta"});
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
        QCOMPARE(m_refresh->calls, QStringList{"reloadAll"});
    }

    void dialogOpensOnTheFirstNameInTheLanguagesOrder()
    {
        // By character code "Zeta" would come before "alfa".
        setSheets({"Zeta", "", "alfa"});
        frmScadenziari dlg(m_prompts);
        dlg.show();
        QCOMPARE(dlg.selectedDbId(), 3);
        QVERIFY(!dlg.grid()->isColumnVisible(1));
        QCOMPARE(dlg.findChild<QLabel *>(QStringLiteral("lblDb"))->text(),
                 QDir::toNativeSeparators(m_box->dataDir()) + QDir::separator());

        click(dlg, "cmdSelect");

        QCOMPARE(app().CurrentDbId, 3);
        QCOMPARE(app().CurrentDbName, QStringLiteral("alfa"));
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
    test::PromptRecorder m_prompts;
    std::unique_ptr<test::RefreshRecorder> m_refresh;
};

QTEST_MAIN(TestFrmScadenziari)
#include "tst_frmscadenziari.moc"
