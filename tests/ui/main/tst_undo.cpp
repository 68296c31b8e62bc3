// Undo and redo in the real main window: Ctrl+Z after Del of a whole series,
// Ctrl+Shift+Z, the Record menu's names, and undo of another sheet's change.

#include "app/mainmod.h"
#include "deadlines/deadlinestore.h"
#include "deadlines/undohistory.h"
#include "testsupport.h"
#include "ui/main/frmmain.h"
#include "ui/widgets/grid.h"
#include "windowtests.h"

#include <QAction>
#include <QToolBar>
#include <QtTest>

using namespace velto;
using namespace velto::test;

class tst_Undo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { startWindowTests(); }
    void init()
    {
        QVERIFY(m_bench.reset());
        programHistory().clear();
    }

    void ctrlZAfterDelOfASeriesRestoresGridAndDatabase()
    {
        // A series of three and one deadline on its own, the series current
        const QList<qint64> series = seedSeries(1, DeadlineType::Debit, QDate(2027, 1, 20), 3,
                                                QStringLiteral("Office rent"), 0, money("100"), 7);
        seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 25), QStringLiteral("Invoice"), 0, money("100"));
        auto w = m_bench.openMain();
        const QList<Deadline> before = storedDeadlines();
        const int rows = w->gex()->rowCount();
        w->gexFind(series.first());
        m_bench.prompts.groupAnswers = {2}; // the whole series
        QTest::keyClick(viewOf(w->gex()), Qt::Key_Delete);
        QCOMPARE(storedDeadlines().size(), 1);
        QCOMPARE(w->actUndo()->text(), QStringLiteral("&Undo delete of the series \"Office rent\""));

        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);

        // The rows are back with their keys, numbering and amounts, and so is the grid
        QCOMPARE(storedDeadlines(), before);
        QCOMPARE(w->gex()->rowCount(), rows);
        QVERIFY(!w->actUndo()->isEnabled());
        QCOMPARE(w->actRedo()->text(), QStringLiteral("Re&do delete of the series \"Office rent\""));
        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(storedDeadlines().size(), 1);
    }

    void undoOfAnotherSheetsChangeSelectsThatSheet_data()
    {
        QTest::addColumn<bool>("changedMeanwhile");
        QTest::addColumn<int>("activeAfter");
        QTest::newRow("step taken: its sheet shown and kept") << false << 2;
        QTest::newRow("step refused: the sheet stays") << true << 1;
    }

    void undoOfAnotherSheetsChangeSelectsThatSheet()
    {
        QFETCH(bool, changedMeanwhile);
        QFETCH(int, activeAfter);
        // A deadline of sheet 2 closed while sheet 2 was active, sheet 1 active now
        seedSheet(2, QStringLiteral("Home"));
        const qint64 garden =
            seedDeadline(2, DeadlineType::Credit, QDate(2027, 1, 9), QStringLiteral("Garden"), 0, money("5"));
        QVERIFY(toggleDone(app().ConnectionString, garden, false, &programHistory()));
        if (changedMeanwhile)
            QVERIFY(exec(
                QStringLiteral("UPDATE Transactions SET TrDescription = 'Orchard' WHERE TrRowId = %1").arg(garden)));
        QVERIFY(selectActiveSheet(1));
        auto w = m_bench.openMain();
        QCOMPARE(w->gex()->rowCount(), 0);

        QVERIFY(w->tb()->actions().contains(w->actUndo()));
        w->actUndo()->trigger();

        QCOMPARE(app().CurrentDbId, activeAfter);
        QCOMPARE(w->gex()->rowCount() > 0, !changedMeanwhile);
        QCOMPARE(m_bench.prompts.messages.size(), changedMeanwhile ? 1 : 0);
        LoadCurrentDb(); // as the next start reads it
        QCOMPARE(app().CurrentDbId, activeAfter);
    }

private:
    WindowBench m_bench;
};

QTEST_MAIN(tst_Undo)
#include "tst_undo.moc"
