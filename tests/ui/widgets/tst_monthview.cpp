// The month calendar: visible days, mouse and keyboard selection and what
// screen readers see. Bold days are asked for through the main window's test.

#include "ui/widgets/monthview.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QtTest>

using namespace velto;

class TestMonthView : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("VELTO_TODAY", "2027-01-15"); }

    void visibleDaysStartOnFirstWeekday_data()
    {
        QTest::addColumn<int>("firstDay");
        QTest::addColumn<QDate>("month");
        QTest::addColumn<QDate>("expectedFirst");
        QTest::newRow("Monday start, month begins on Friday")
            << int(Qt::Monday) << QDate(2027, 1, 1) << QDate(2026, 12, 28);
        QTest::newRow("Sunday start, month begins on Friday")
            << int(Qt::Sunday) << QDate(2027, 1, 1) << QDate(2026, 12, 27);
        QTest::newRow("Monday start, month begins on Monday")
            << int(Qt::Monday) << QDate(2027, 2, 1) << QDate(2027, 2, 1);
        QTest::newRow("Sunday start, month begins on Sunday")
            << int(Qt::Sunday) << QDate(2026, 11, 1) << QDate(2026, 11, 1);
    }

    void visibleDaysStartOnFirstWeekday()
    {
        QFETCH(int, firstDay);
        QFETCH(QDate, month);
        QFETCH(QDate, expectedFirst);
        MonthView view;
        view.setFirstDayOfWeek(Qt::DayOfWeek(firstDay));
        view.showMonth(month.year(), month.month());

        QCOMPARE(view.firstVisibleDay(), expectedFirst);
        QCOMPARE(view.firstVisibleDay().dayOfWeek(), firstDay);
        QCOMPARE(view.lastVisibleDay(), expectedFirst.addDays(41));
        QCOMPARE(view.visibleDay(43), QDate());
    }

    void mouseSelectsOrderedRange_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<bool>("shiftClick");
        QTest::newRow("drag forwards across a week") << QDate(2027, 1, 5) << QDate(2027, 1, 13) << false;
        QTest::newRow("drag backwards across a week") << QDate(2027, 1, 13) << QDate(2027, 1, 5) << false;
        QTest::newRow("single day press") << QDate(2027, 1, 20) << QDate(2027, 1, 20) << false;
        QTest::newRow("shift-click extends from the anchor") << QDate(2027, 1, 10) << QDate(2027, 1, 3) << true;
    }

    void mouseSelectsOrderedRange()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(bool, shiftClick);
        MonthView view;
        view.setFirstDayOfWeek(Qt::Monday);
        view.resize(view.sizeHint());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        if (shiftClick)
            QTest::mouseClick(&view, Qt::LeftButton, {}, view.dayRect(from).center());
        QSignalSpy changed(&view, &MonthView::selectionChanged);

        if (shiftClick) {
            QTest::mouseClick(&view, Qt::LeftButton, Qt::ShiftModifier, view.dayRect(to).center());
        } else {
            QTest::mousePress(&view, Qt::LeftButton, {}, view.dayRect(from).center());
            QTest::mouseMove(&view, view.dayRect(to).center());
            QTest::mouseRelease(&view, Qt::LeftButton, {}, view.dayRect(to).center());
        }

        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toDate(), std::min(from, to));
        QCOMPARE(changed.at(0).at(1).toDate(), std::max(from, to));
        QCOMPARE(view.selectionStart(), std::min(from, to));
        QCOMPARE(view.selectionEnd(), std::max(from, to));
    }

    void keysMoveSelectionAndMonth_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QDate>("shownMonth");
        // From 31 January 2027.
        QTest::newRow("right crosses into February")
            << int(Qt::Key_Right) << 0 << QDate(2027, 2, 1) << QDate(2027, 2, 1) << QDate(2027, 2, 1);
        QTest::newRow("up goes back a week")
            << int(Qt::Key_Up) << 0 << QDate(2027, 1, 24) << QDate(2027, 1, 24) << QDate(2027, 1, 1);
        QTest::newRow("shift+left extends backwards") << int(Qt::Key_Left) << int(Qt::ShiftModifier)
                                                      << QDate(2027, 1, 30) << QDate(2027, 1, 31) << QDate(2027, 1, 1);
        QTest::newRow("page down clamps to February's end")
            << int(Qt::Key_PageDown) << 0 << QDate(2027, 2, 28) << QDate(2027, 2, 28) << QDate(2027, 2, 1);
        QTest::newRow("page up goes to December")
            << int(Qt::Key_PageUp) << 0 << QDate(2026, 12, 31) << QDate(2026, 12, 31) << QDate(2026, 12, 1);
    }

    void keysMoveSelectionAndMonth()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QDate, shownMonth);
        MonthView view;
        view.setValue(QDate(2027, 1, 31));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy changed(&view, &MonthView::selectionChanged);

        QTest::keyClick(&view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

        QCOMPARE(view.selectionStart(), start);
        QCOMPARE(view.selectionEnd(), end);
        QCOMPARE(view.shownMonth(), shownMonth);
        QCOMPARE(changed.count(), 1);
    }

    void daysAreAccessibleAsTable()
    {
        MonthView view;
        view.setFirstDayOfWeek(Qt::Monday);
        view.setSelection(QDate(2027, 1, 4), QDate(2027, 1, 6));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&view);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::Table);
        QCOMPARE(iface->childCount(), 42);
        QAccessibleTableInterface *table = iface->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount() * table->columnCount(), 42);
        QCOMPARE(table->selectedCellCount(), 3);

        // 2027 begins on a Friday: Monday 4 January is the second row's first cell.
        QAccessibleInterface *monday = table->cellAt(1, 0);
        QCOMPARE(monday->text(QAccessible::Name), QLocale().toString(QDate(2027, 1, 4), QLocale::LongFormat));
        QVERIFY(monday->state().selected);
        QVERIFY(!table->cellAt(0, 0)->state().selected);
        QCOMPARE(iface->indexOfChild(monday), 7);
        QCOMPARE(monday->parent(), iface);
        QCOMPARE(table->columnDescription(0), QLocale().dayName(1, QLocale::LongFormat));
    }
};

QTEST_MAIN(TestMonthView)
#include "tst_monthview.moc"
