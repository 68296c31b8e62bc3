// Undo and redo in the real main window: Ctrl+Z after Del of a whole series,
// Ctrl+Shift+Z, the Record menu's names, and undo of another sheet's change.

#include "deadlines/deadlinestore.h"
#include "deadlines/undohistory.h"
#include "testsupport.h"
#include "ui/main/frmmain.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/recordsetgridsource.h"
#include "windowtests.h"

#include <QAction>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>

using namespace velto;
using namespace velto::test;

class tst_Undo : public QObject
{
    Q_OBJECT

    std::unique_ptr<frmMain> openWindow()
    {
        auto w = std::make_unique<frmMain>(m_prompts);
        w->Form_Load();
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("window not active");
        return w;
    }

private slots:
    void init()
    {
        installDatabaseGridLoader();
        m_box = std::make_unique<Sandbox>();
        QVERIFY(m_box->createDatabase());
        app().SettingsKey = settingsKeyFor(QLatin1String(kAppTitle));
        app().LanguageOffset = 3000; // English
        programHistory().clear();
        m_prompts = ScriptedPrompts();
    }

    void ctrlZAfterDelOfASeriesRestoresGridAndDatabase()
    {
        // Given a series of three and one deadline on its own, the series current
        QVERIFY(addDeadline(DeadlineType::Debit, QDate(2027, 1, 20), QStringLiteral("Office rent"), "100", 3));
        QVERIFY(addDeadline(DeadlineType::Credit, QDate(2027, 1, 25), QStringLiteral("Invoice")));
        auto w = openWindow();
        const QList<QVariantMap> before = deadlines();
        const int rows = w->gex()->rowCount();
        w->gexFind(before.first().value("TrRowId").toLongLong());
        m_prompts.groupAnswers = {2}; // the whole series
        QTest::keyClick(w->gex()->findChild<QTreeView *>(), Qt::Key_Delete);
        QCOMPARE(deadlines().size(), 1);
        QCOMPARE(w->actUndo()->text(), QStringLiteral("&Undo delete of the series \"Office rent\""));

        // When Ctrl+Z is pressed
        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);

        // Then the rows are back with their keys, numbering and amounts, and so is the grid
        QCOMPARE(deadlines(), before);
        QCOMPARE(w->gex()->rowCount(), rows);
        QVERIFY(!w->actUndo()->isEnabled());
        QCOMPARE(w->actRedo()->text(), QStringLiteral("Re&do delete of the series \"Office rent\""));
        // and Ctrl+Shift+Z deletes the series again
        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(deadlines().size(), 1);
    }

    void undoOfAnotherSheetsChangeSelectsThatSheet()
    {
        // Given a deadline of sheet 2 deleted while sheet 2 was active, sheet 1 active now
        seedSheet(2, QStringLiteral("Home"));
        const qint64 garden = seedDeadline(2, DeadlineType::Credit, QDate(2027, 1, 9), QStringLiteral("Garden"), 0, money("5"));
        QVERIFY(deleteDeadline(app().ConnectionString, garden, &programHistory()));
        app().CurrentDbId = 1;
        auto w = openWindow();
        QCOMPARE(w->gex()->rowCount(), 0);

        // When Undo is chosen from the toolbar
        QVERIFY(w->tb()->actions().contains(w->actUndo()));
        w->actUndo()->trigger();

        // Then sheet 2 is active, and its grid shows the deadline again
        QCOMPARE(app().CurrentDbId, 2);
        QCOMPARE(deadlines().size(), 1);
        QVERIFY(w->gex()->rowCount() > 0);
    }

private:
    std::unique_ptr<Sandbox> m_box;
    ScriptedPrompts m_prompts;
};

QTEST_MAIN(tst_Undo)
#include "tst_undo.moc"
