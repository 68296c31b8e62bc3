// The record commands on the deadline grid, driven by keys and double
// clicks on the grid and by the group questions answered with clicks:
// deleting one deadline, a group member (the rest renumbered) or a whole
// group, closing and reopening in place, and failures that are shown while
// the grid is reloaded to what the database holds.

#include "deadlinebench.h"

#include "app/strings.h"
#include "ui/deadlines/frmScadenze.h"
#include "ui/deadlines/frmScadenzeNuovo.h"
#include "ui/main/recordcommands.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

using namespace velto;
using namespace velto::test;

class TestRecordCommands : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void deletingGroupMemberRenumbersTheRest_data();
    void deletingGroupMemberRenumbersTheRest();
    void deletingWholeGroupLeavesOthers();
    void cancelledGroupQuestionDeletesNothingButRefreshes();
    void deletingSingleDeadlineAsksFirst_data();
    void deletingSingleDeadlineAsksFirst();
    void deleteOnGroupRowDoesNothing();
    void failingRenumberKeepsTheMember();
    void toggleDoneKeepsPosition_data();
    void toggleDoneKeepsPosition();
    void failingToggleIsShownAndGridReloaded();
    void doubleClickOnEmptyGridOpensNewDeadline();
    void newDeadlineOnGroupMemberFollowsTheAnswer_data();
    void newDeadlineOnGroupMemberFollowsTheAnswer();
    void enterOnRecordOpensEditWindow();
    void firstLastExpandCollapse();

private:
    void press(int key);
    int rowOf(const QString &description) const;

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<Grid> m_grid;
    std::unique_ptr<RefreshRecorder> m_refresh;
    std::unique_ptr<RecordCommands> m_commands;
    ScriptedPrompts m_prompts;
};

void TestRecordCommands::init()
{
    m_box = std::make_unique<Sandbox>();
    QVERIFY(m_box->createDatabase());
    m_grid = std::make_unique<Grid>();
    setUpDeadlineGrid(*m_grid);
    m_grid->resize(600, 400);
    m_grid->show();
    m_refresh = std::make_unique<RefreshRecorder>(*m_grid);
    m_prompts = ScriptedPrompts();
    m_commands = std::make_unique<RecordCommands>(m_grid.get(), *m_grid, m_prompts);
}

void TestRecordCommands::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<QDialog *>(w))
            delete w;
    m_commands.reset();
    m_refresh.reset();
    m_grid.reset();
    settle();
    m_box.reset();
}

void TestRecordCommands::press(int key)
{
    QTreeView *view = m_grid->findChild<QTreeView *>();
    QTest::keyClick(view, Qt::Key(key));
    settle();
}

int TestRecordCommands::rowOf(const QString &description) const
{
    for (int r = 1; r <= m_grid->rowCount(); ++r)
        if (!m_grid->row(r).isGroupRow() && m_grid->recordValue(m_grid->row(r).bookmark(), "TrDescription") == description)
            return r;
    return 0;
}

void TestRecordCommands::deletingGroupMemberRenumbersTheRest_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("deleted"); // place in the group, from 1
    QTest::addRow("middle of three") << 3 << 2;
    QTest::addRow("second of five") << 5 << 2;
    QTest::addRow("one of two leaves a group of one") << 2 << 1;
}

void TestRecordCommands::deletingGroupMemberRenumbersTheRest()
{
    QFETCH(int, size);
    QFETCH(int, deleted);
    QVERIFY(addDeadline("d-1", QDate(2027, 1, 15), "Rata", "90", size, 2));
    m_grid->rebind();
    const QList<QVariantMap> before = deadlines();
    const qint64 group = before[0]["TrGrpId"].toLongLong();
    const qint64 gone = before[deleted - 1]["TrRowId"].toLongLong();
    QVERIFY(m_grid->find(1, gone));

    m_prompts.groupAnswers = {1};
    press(Qt::Key_Delete);

    const QList<QVariantMap> rows = query(sql::groupRows(group));
    QCOMPARE(rows.size(), size - 1);
    for (int k = 0; k < rows.size(); ++k) {
        QVERIFY(rows[k]["TrRowId"].toLongLong() != gone);
        QCOMPARE(rows[k]["TrGrpRow"].toInt(), k + 1);
        QCOMPARE(rows[k]["TrGrpMDay"].toInt(), size - 1);
        QCOMPARE(rows[k]["TrGrpId"].toLongLong(), group);
    }
    QCOMPARE(m_refresh->calls, (QStringList{"sbBallon", "mvGetDayBold", "gextasksUpdate", "picStartVisible"}));
    QCOMPARE(m_grid->recordCount(), size - 1);
}

void TestRecordCommands::deletingWholeGroupLeavesOthers()
{
    QVERIFY(addDeadline("d-1", QDate(2027, 1, 15), "Rata", "90", 3, 2));
    QVERIFY(addDeadline("d+1", QDate(2027, 1, 20), "Canone", "40", 2, 1));
    QVERIFY(addDeadline("d-2", QDate(2027, 1, 25), "Riunione"));
    // A member of the same group in another data sheet goes too.
    const qint64 group = query("SELECT TrGrpId FROM Transactions WHERE TrDescription='Rata'")[0]["TrGrpId"].toLongLong();
    QVERIFY(run(QStringLiteral("UPDATE Transactions SET TrDbId=2 WHERE TrGrpId=%1 AND TrGrpRow=3").arg(group)));
    m_grid->rebind();
    m_grid->setCurrentRow(rowOf("Rata"));

    m_prompts.groupAnswers = {2};
    press(Qt::Key_Delete);

    QVERIFY(query(sql::groupRows(group)).isEmpty());
    const QList<QVariantMap> rest = deadlines();
    QCOMPARE(rest.size(), 3);
    for (const QVariantMap &r : rest)
        QVERIFY(r["TrDescription"] != QStringLiteral("Rata"));
    QCOMPARE(m_grid->recordCount(), 3);
}

void TestRecordCommands::cancelledGroupQuestionDeletesNothingButRefreshes()
{
    QVERIFY(addDeadline("d-1", QDate(2027, 1, 15), "Rata", "90", 3, 2));
    m_grid->rebind();
    m_grid->setCurrentRow(2);
    m_prompts.groupAnswers = {0};
    press(Qt::Key_Delete);
    QCOMPARE(deadlines().size(), 3);
    QCOMPARE(m_refresh->calls.size(), 4);
}

void TestRecordCommands::deletingSingleDeadlineAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addRow("Yes deletes and refreshes") << true;
    QTest::addRow("No keeps it and refreshes nothing") << false;
}

void TestRecordCommands::deletingSingleDeadlineAsksFirst()
{
    QFETCH(bool, yes);
    QVERIFY(addDeadline("d+1", QDate(2027, 2, 1), "Fattura 12"));
    QVERIFY(addDeadline("d+1", QDate(2027, 2, 2), "Fattura 13"));
    m_grid->rebind();
    m_grid->setCurrentRow(rowOf("Fattura 12"));
    m_prompts.answers = {yes};
    press(Qt::Key_Delete);

    QCOMPARE(m_prompts.questions, QStringList{LoadResString(1055)});
    const QList<QVariantMap> rows = deadlines();
    QCOMPARE(rows.size(), yes ? 1 : 2);
    QCOMPARE(rows.last()["TrDescription"].toString(), QStringLiteral("Fattura 13"));
    QCOMPARE(m_refresh->calls.isEmpty(), !yes);
}

void TestRecordCommands::deleteOnGroupRowDoesNothing()
{
    QVERIFY(addDeadline("d+1", QDate(2027, 2, 1), "Fattura 12"));
    m_grid->rebind();
    m_grid->setCurrentRow(1);
    QVERIFY(m_grid->row(1).isGroupRow());
    press(Qt::Key_Delete);
    press(Qt::Key_Space);
    m_commands->DeleteDeadline(0);
    QVERIFY(m_prompts.questions.isEmpty());
    QVERIFY(m_refresh->calls.isEmpty());
    QCOMPARE(deadlines().size(), 1);
}

void TestRecordCommands::failingRenumberKeepsTheMember()
{
    QVERIFY(addDeadline("d-1", QDate(2027, 1, 15), "Rata", "90", 3, 2));
    QVERIFY(run(QStringLiteral("CREATE TRIGGER noRenumber BEFORE UPDATE ON Transactions "
                               "BEGIN SELECT RAISE(ABORT, 'database is locked'); END")));
    m_grid->rebind();
    m_grid->setCurrentRow(3);
    m_prompts.groupAnswers = {1};
    press(Qt::Key_Delete);

    // The deletion went back with the renumbering: the group is whole.
    QCOMPARE(m_prompts.messages.size(), 1);
    QVERIFY(m_prompts.messages[0].contains(QStringLiteral("database is locked")));
    const QList<QVariantMap> rows = deadlines();
    QCOMPARE(rows.size(), 3);
    for (int k = 0; k < 3; ++k)
        QCOMPARE(rows[k]["TrGrpRow"].toInt(), k + 1);
    QCOMPARE(m_grid->recordCount(), 3);
    QCOMPARE(m_refresh->calls.size(), 4);
}

void TestRecordCommands::toggleDoneKeepsPosition_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<bool>("doneBefore");
    QTest::addRow("closing under the open filter drops the row, the place stays") << 1 << false;
    QTest::addRow("reopening under all deadlines") << 0 << true;
}

void TestRecordCommands::toggleDoneKeepsPosition()
{
    QFETCH(int, filter);
    QFETCH(bool, doneBefore);
    for (int d = 1; d <= 4; ++d)
        QVERIFY(addDeadline("d+1", QDate(2027, 3, d), QStringLiteral("Incasso %1").arg(d)));
    if (doneBefore)
        QVERIFY(run(QStringLiteral("UPDATE Transactions SET TrDone=True")));
    setUpDeadlineGrid(*m_grid, filter);
    const int position = rowOf("Incasso 2");
    QCOMPARE(position, 3);
    m_grid->setCurrentRow(position);
    press(Qt::Key_Space);

    QCOMPARE(query("SELECT TrDone FROM Transactions WHERE TrDescription='Incasso 2'")[0]["TrDone"].toBool(), !doneBefore);
    QCOMPARE(m_grid->currentRow(), position);
    QCOMPARE(m_grid->recordCount(), filter == 1 ? 3 : 4);
    QCOMPARE(m_refresh->calls, (QStringList{"sbBallon", "mvGetDayBold", "gextasksUpdate"}));
}

void TestRecordCommands::failingToggleIsShownAndGridReloaded()
{
    QVERIFY(addDeadline("d+1", QDate(2027, 3, 1), "Incasso"));
    m_grid->rebind();
    // Changed by someone else meanwhile: the grid shows the old text until reloaded.
    QVERIFY(run(QStringLiteral("UPDATE Transactions SET TrDescription='Incasso rivisto'")));
    QVERIFY(run(QStringLiteral("CREATE TRIGGER noToggle BEFORE UPDATE ON Transactions "
                               "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END")));
    m_grid->setCurrentRow(2);
    press(Qt::Key_Space);
    QCOMPARE(m_prompts.messages.size(), 1);
    QVERIFY(m_prompts.messages[0].contains(QStringLiteral("disk I/O error")));
    QCOMPARE(m_grid->recordValue(m_grid->row(2).bookmark(), "TrDescription").toString(), QStringLiteral("Incasso rivisto"));
    QVERIFY(!deadlines()[0]["TrDone"].toBool());
}

void TestRecordCommands::doubleClickOnEmptyGridOpensNewDeadline()
{
    QCOMPARE(m_grid->rowCount(), 0);
    emit m_grid->doubleClicked();
    QVERIFY(m_commands->newDeadlineWindow());
    QVERIFY(m_commands->newDeadlineWindow()->isVisible());
}

void TestRecordCommands::newDeadlineOnGroupMemberFollowsTheAnswer_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("joinsGroup");
    QTest::addRow("cancel opens nothing") << 0 << false << false;
    QTest::addRow("independent deadline") << 1 << true << false;
    QTest::addRow("join the group") << 2 << true << true;
}

void TestRecordCommands::newDeadlineOnGroupMemberFollowsTheAnswer()
{
    QFETCH(int, answer);
    QFETCH(bool, opens);
    QFETCH(bool, joinsGroup);
    QVERIFY(addDeadline("d+1", QDate(2027, 1, 15), "Canone", "40", 2, 2));
    m_grid->rebind();
    m_grid->setCurrentRow(2);
    m_prompts.groupAnswers = {answer};
    m_commands->NewDeadline(m_grid->currentRow());
    QCOMPARE(m_prompts.groupQuestions.size(), 1);
    frmScadenzeNuovo *dlg = m_commands->newDeadlineWindow();
    QCOMPARE(dlg != nullptr, opens);
    if (dlg)
        QCOMPARE(dlg->addToGroupId() > 0, joinsGroup);

    // A single deadline or no row: no question.
    m_grid->setCurrentRow(1);
    m_commands->NewDeadline(m_grid->currentRow());
    QCOMPARE(m_prompts.groupQuestions.size(), 1);
    QVERIFY(m_commands->newDeadlineWindow());
    QCOMPARE(m_commands->newDeadlineWindow()->addToGroupId(), qint64(0));
}

void TestRecordCommands::enterOnRecordOpensEditWindow()
{
    QVERIFY(addDeadline("d-1", QDate(2027, 3, 1), "Assicurazione"));
    m_grid->rebind();
    m_grid->setCurrentRow(1);
    press(Qt::Key_Return); // a group row: nothing
    QVERIFY(!m_commands->editWindow());
    m_grid->setCurrentRow(2);
    press(Qt::Key_Return);
    QVERIFY(m_commands->editWindow());
    QCOMPARE(m_commands->editWindow()->rowId(), deadlines()[0]["TrRowId"].toLongLong());
}

void TestRecordCommands::firstLastExpandCollapse()
{
    app().GroupOption = 2;
    for (int m = 1; m <= 3; ++m)
        QVERIFY(addDeadline("d+1", QDate(2027, m, 1), QStringLiteral("Mese %1").arg(m)));
    m_grid->clearGroups();
    m_grid->addGroup(2);
    m_grid->addGroup(5);
    m_grid->rebind();
    m_commands->LastRow();
    QCOMPARE(m_grid->currentRow(), m_grid->rowCount());
    m_commands->FirstRow();
    QCOMPARE(m_grid->currentRow(), 1);
    m_commands->CollapseAll();
    // The data sheet row stays open so the month rows stay in sight.
    QVERIFY(m_grid->isRowExpanded(1));
    QVERIFY(!m_grid->isRowExpanded(2));
    m_commands->ExpandAll();
    QVERIFY(m_grid->isRowExpanded(2));
    app().GroupOption = 0;
}

QTEST_MAIN(TestRecordCommands)
#include "tst_recordcommands.moc"
