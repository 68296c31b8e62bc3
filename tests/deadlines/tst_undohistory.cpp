// Undo/redo at the core: every kind of change returns the three tables to exactly what they held before it (redo: after
// it); a step whose rows changed since, or that would orphan deadlines or drop the active sheet, writes nothing.

#include "app/mainmod.h"
#include "deadlines/clients.h"
#include "deadlines/datasheets.h"
#include "deadlines/deadlinestore.h"
#include "deadlines/purge.h"
#include "deadlines/series.h"
#include "deadlines/undohistory.h"
#include "seed.h"
#include "testsupport.h"

#include <QTest>

#include <functional>

using namespace velto;
using namespace velto::test;
using Change = std::function<Status(UndoHistory *)>;
Q_DECLARE_METATYPE(Change)

namespace {

QString cs()
{
    return app().ConnectionString;
}

QString dump()
{
    return dumpTables(cs());
}

DeadlineEntry entry(const char *description, int count = 1, qint64 group = 0)
{
    return {DeadlineType::Credit,
            QLatin1String(description),
            0,
            money("20"),
            count > 1,
            QDate(2027, 2, 10),
            count,
            Cadence::Monthly,
            group};
}

// Sheet 2, two clients, "Office rent" (1), series 5 "Insurance" (2-4), closed bills (5, 6), "Garden" on sheet 2 (7).
void seed()
{
    seedSheet(2, QStringLiteral("Home"));
    const qint64 acme = seedAccount(QStringLiteral("Acme"), QStringLiteral("calls"));
    seedAccount(QStringLiteral("Unused"));
    seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 5), QStringLiteral("Office rent"), acme, money("100.5"));
    for (int k = 1; k <= 3; ++k)
        seedDeadline(1, DeadlineType::Credit, QDate(2027, k, 1), QStringLiteral("Insurance"), 0, money("7"), false, 5,
                     k, 3);
    seedDeadline(1, DeadlineType::Debit, QDate(2026, 5, 1), QStringLiteral("Old bill"), 0, money("3"), true);
    seedDeadline(1, DeadlineType::Debit, QDate(2026, 6, 1), QStringLiteral("Older bill"), 0, money("4"), true);
    seedDeadline(2, DeadlineType::Appointment, QDate(2027, 1, 9), QStringLiteral("Garden"), 0, Currency());
}

QStringList gymRows()
{
    return column("SELECT TrRowId FROM Transactions WHERE TrDescription='Gym' ORDER BY TrDate");
}
qint64 gym()
{
    return column("SELECT Max(TrGrpId) FROM Transactions WHERE TrDescription='Gym'").value(0).toLongLong();
}

Status closeAndPurge(const QString &where, UndoHistory *h)
{
    if (!test::exec("UPDATE Transactions SET TrDone=True WHERE " + where))
        return Status::failure(kErrorBadStatement, where);
    return purgeClosedUpTo(cs(), 1, QDate(2027, 12, 31), nullptr, h);
}

Deadline loaded(qint64 rowId)
{
    Deadline d;
    return loadDeadline(cs(), rowId, &d) ? d : Deadline();
}

} // namespace

class TestUndoHistory : public QObject
{
    Q_OBJECT
    std::unique_ptr<Sandbox> m_box;
private slots:
    void init()
    {
        renew(m_box);
        QVERIFY(m_box->createDatabase());
        seed();
    }

    void undoRestoresEveryTableAndRedoRepeats_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QString>("named");
        QTest::addColumn<int>("sheet");
        QTest::addRow("new deadline") << Change([](UndoHistory *h) {
            return InsertDeadlines(cs(), 1, entry("Phone"), nullptr, h);
        }) << "new deadline \"Phone\"" << 1;
        QTest::addRow("new series") << Change([](UndoHistory *h) {
            return InsertDeadlines(cs(), 2, entry("Gym", 4), nullptr, h);
        }) << "new series \"Gym\"" << 2;
        QTest::addRow("new series by rule") << Change([](UndoHistory *h) {
            DeadlineEntry e = entry("Tax", 3);
            e.rule = Recurrence{Frequency::LastWorkingDay};
            return InsertDeadlines(cs(), 1, e, nullptr, h);
        }) << "new series \"Tax\"" << 1;
        QTest::addRow("member joins a series and renumbers it")
            << Change([](UndoHistory *h) { return InsertDeadlines(cs(), 1, entry("Extra", 1, 5), nullptr, h); })
            << "addition to the series \"Insurance\"" << 1;
        QTest::addRow("edit") << Change([](UndoHistory *h) {
            Deadline d = loaded(1);
            d.description = "Rent";
            d.value = money("120");
            return saveDeadline(cs(), d, loaded(1), h);
        }) << "edit of \"Rent\""
                              << 1;
        QTest::addRow("close") << Change([](UndoHistory *h) { return toggleDone(cs(), 1, false, h); })
                               << "close of \"Office rent\"" << 1;
        QTest::addRow("reopen") << Change([](UndoHistory *h) { return toggleDone(cs(), 5, true, h); })
                                << "reopen of \"Old bill\"" << 1;
        QTest::addRow("delete one") << Change([](UndoHistory *h) { return deleteDeadline(cs(), 1, h); })
                                    << "delete of \"Office rent\"" << 1;
        QTest::addRow("delete a series member, the rest renumbered")
            << Change([](UndoHistory *h) { return deleteSeriesMember(cs(), 3, h); })
            << "delete of \"Insurance\" from its series" << 1;
        QTest::addRow("delete a whole series") << Change([](UndoHistory *h) { return deleteSeries(cs(), 5, h); })
                                               << "delete of the series \"Insurance\"" << 1;
        QTest::addRow("purge") << Change(
            [](UndoHistory *h) { return purgeClosedUpTo(cs(), 1, QDate(2026, 12, 31), nullptr, h); })
                               << "purge of 2 closed deadlines" << 1;
        QTest::addRow("new client") << Change([](UndoHistory *h) {
            return createClient(cs(), {0, "Beta", "n"}, nullptr, h);
        }) << "new client/supplier \"Beta\""
                                    << 0;
        QTest::addRow("edit client") << Change([](UndoHistory *h) {
            return saveClient(cs(), {1, "Acme Ltd", ""}, {1, "Acme", "calls"}, h);
        }) << "edit of the client/supplier \"Acme Ltd\""
                                     << 0;
        QTest::addRow("delete client") << Change([](UndoHistory *h) { return deleteClient(cs(), 2, h); })
                                       << "delete of the client/supplier \"Unused\"" << 0;
        QTest::addRow("new data sheet") << Change([](UndoHistory *h) {
            return createDataSheet(cs(), "Work", nullptr, h);
        }) << "new data sheet \"Work\"" << 0;
        QTest::addRow("rename data sheet")
            << Change([](UndoHistory *h) { return renameDataSheet(cs(), 2, "House", h); })
            << "renaming of the data sheet \"House\"" << 0;
        QTest::addRow("delete data sheet with its deadlines")
            << Change([](UndoHistory *h) { return deleteDataSheet(cs(), 2, 1, h); })
            << "delete of the data sheet \"Home\"" << 0;
    }

    void undoRestoresEveryTableAndRedoRepeats()
    {
        QFETCH(Change, change);
        QFETCH(QString, named);
        QFETCH(int, sheet);
        UndoHistory history;
        const QString before = dump();

        QVERIFY(change(&history));
        const QString after = dump();
        QVERIFY(after != before);
        QCOMPARE(UndoHistory::describe(*history.nextUndo()), named);
        QCOMPARE(history.nextUndo()->sheetId, sheet);

        QVERIFY(history.undo(cs(), 1));
        QCOMPARE(dump(), before);
        QVERIFY(history.redo(cs(), 1));
        QCOMPARE(dump(), after);
        QVERIFY(history.undo(cs(), 1));
        QCOMPARE(dump(), before);
        // A new change ends the redo; another database empties the history.
        QVERIFY(history.canRedo());
        history.follow(cs() + QStringLiteral("x"));
        QVERIFY(!history.canRedo() && !history.canUndo());
    }

    void refusedStepWritesNothing_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<int>("code");
        QTest::addRow("closed deadline given notes elsewhere")
            << Change([](UndoHistory *h) { return toggleDone(cs(), 1, false, h); })
            << "UPDATE Transactions SET TrNotes='x' WHERE TrRowId=1" << int(kErrorChangedMeanwhile);
        QTest::addRow("one member of a new series closed elsewhere")
            << Change([](UndoHistory *h) { return InsertDeadlines(cs(), 1, entry("Gym", 3), nullptr, h); })
            << "UPDATE Transactions SET TrDone=True WHERE TrRowId=9" << int(kErrorChangedMeanwhile);
        QTest::addRow("purged rows partly put back elsewhere")
            << Change([](UndoHistory *h) { return purgeClosedUpTo(cs(), 1, QDate(2026, 12, 31), nullptr, h); })
            << "INSERT INTO Transactions (TrRowId, TrDbId, TrType, TrDate, TrDescription) SELECT 6, 1, 1, "
               "#01/01/2026#, 'x'"
            << int(kErrorChangedMeanwhile);
        QTest::addRow("new client named by a deadline since") << Change([](UndoHistory *h) {
            return createClient(cs(), {0, "Beta", ""}, nullptr, h);
        }) << "UPDATE Transactions SET TrAcId=(SELECT Max(AcId) FROM Accounts) WHERE TrRowId=2"
                                                              << int(kErrorInUse);
        QTest::addRow("new data sheet that is now active")
            << Change([](UndoHistory *h) { return createDataSheet(cs(), "Work", nullptr, h); })
            << "UPDATE Dbs SET DbId=DbId WHERE DbId=3" << int(kErrorInUse);
    }

    void refusedStepWritesNothing()
    {
        QFETCH(Change, change);
        QFETCH(QString, meanwhile);
        QFETCH(int, code);
        UndoHistory history;
        QVERIFY(change(&history));
        QVERIFY(test::exec(meanwhile));
        const QString now = dump();

        const Status st = history.undo(cs(), 3);

        QCOMPARE(st.code(), code);
        QCOMPARE(dump(), now);
        // Rows changed elsewhere never match again: the step is gone; a refusal
        // that may pass later keeps it.
        QCOMPARE(history.canUndo(), code != kErrorChangedMeanwhile);
    }

    // Another user's series is created between a change and its undo or redo; when it holds the freed series number (as
    // an older program numbered it), the step is refused. Either way no series number ever holds two series.
    void seriesNumberNeverServesTwoSeries_data()
    {
        QTest::addColumn<int>("members");
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("taken");
        const struct {
            const char *name;
            int members;
            Change change;
        } rows[] = {
            {"redo of a new series", 0,
             [](UndoHistory *h) { return InsertDeadlines(cs(), 1, entry("Gym", 3), nullptr, h); }},
            {"undo of a series deletion", 3, [](UndoHistory *h) { return deleteSeries(cs(), gym(), h); }},
            {"undo of a purge of a closed series", 3,
             [](UndoHistory *h) { return closeAndPurge("TrGrpId=" + QString::number(gym()), h); }},
            {"undo of a purge of a series' first member", 3,
             [](UndoHistory *h) { return closeAndPurge("TrRowId=" + gymRows().value(0), h); }},
            {"undo of the last member's deletion", 1,
             [](UndoHistory *h) { return deleteSeriesMember(cs(), gymRows().value(0).toLongLong(), h); }},
        };
        for (const auto &r : rows)
            for (const bool taken : {false, true})
                QTest::addRow("%s%s", r.name, taken ? ", number taken" : "") << r.members << r.change << taken;
    }

    void seriesNumberNeverServesTwoSeries()
    {
        QFETCH(int, members);
        QFETCH(Change, change);
        QFETCH(bool, taken);
        // The newest series: a number given as the highest plus one would be its own again once it is gone.
        if (members > 0)
            QVERIFY(InsertDeadlines(cs(), 1, entry("Gym", 3)));
        while (gymRows().size() > members)
            QVERIFY(deleteSeriesMember(cs(), gymRows().value(0).toLongLong()));
        UndoHistory history;
        qint64 number = gym();
        QVERIFY(change(&history));
        if (members == 0) {
            number = gym();
            QVERIFY(history.undo(cs(), 1));
        }
        QVERIFY(InsertDeadlines(cs(), 1, entry("Rent", 2)));
        if (taken)
            QVERIFY(test::exec(
                QStringLiteral("UPDATE Transactions SET TrGrpId=%1 WHERE TrDescription='Rent'").arg(number)));
        const QString before = dump();

        const Status st = members == 0 ? history.redo(cs(), 1) : history.undo(cs(), 1);

        QCOMPARE(st.code(), taken ? int(kErrorChangedMeanwhile) : 0);
        if (taken)
            QCOMPARE(dump(), before);
        else
            QCOMPARE(column("SELECT TrGrpId FROM Transactions WHERE TrGrpId>0 GROUP BY TrGrpId HAVING Count(DISTINCT "
                            "TrDescription)>1"),
                     QStringList());
    }
};

QTEST_GUILESS_MAIN(TestUndoHistory)
#include "tst_undohistory.moc"
