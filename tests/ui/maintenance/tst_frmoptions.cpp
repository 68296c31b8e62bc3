// The preferences dialog: boxes from the stored values, clicks stored and
// applied to the program-wide flags, Cancel changing nothing, and the grid
// reload after the View menu command. Reading the stored values is tested
// with the preferences at the core.

#include "app/mainmod.h"
#include "app/preferences.h"
#include "deadlines/holidays.h"
#include "promptrecorder.h"
#include "refreshrecorder.h"
#include "testsupport.h"
#include "ui/maintenance/frmoptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace velto;

namespace {

QList<bool> stored()
{
    const Preferences p = Preferences::load();
    return {p.saveLayout, p.showGroupTotals, p.showGroupCounters};
}

QList<bool> flags()
{
    return {preferences().saveLayout, preferences().showGroupTotals, preferences().showGroupCounters};
}

QList<bool> boxes(const frmOptions &dlg)
{
    return {dlg.chkData(0)->isChecked(), dlg.chkData(1)->isChecked(), dlg.chkData(2)->isChecked()};
}

void tick(frmOptions &dlg, int box)
{
    QTest::mouseClick(dlg.chkData(box), Qt::LeftButton, {}, QPoint(6, dlg.chkData(box)->height() / 2));
}

void click(QWidget &dlg, const char *button)
{
    QTest::mouseClick(dlg.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

class TestFrmOptions : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        test::renew(m_box);
        app().SettingsKey = settingsKeyFor(QStringLiteral("Velto"));
        app().LanguageOffset = 0;
        preferences().saveLayout = preferences().showGroupTotals = preferences().showGroupCounters = true;
        m_prompts = test::PromptRecorder();
    }

    void savedBoxesAreStoredAndApplied_data()
    {
        QTest::addColumn<QList<bool>>("before"); // stored when the dialog opens
        QTest::addColumn<QList<int>>("clicked");
        QTest::addColumn<QList<bool>>("after");
        QTest::newRow("empty store shows ticked; nothing clicked")
            << QList<bool>{true, true, true} << QList<int>{} << QList<bool>{true, true, true};
        QTest::newRow("layout and totals off")
            << QList<bool>{true, true, true} << QList<int>{0, 1} << QList<bool>{false, false, true};
        QTest::newRow("stored off shows clear; ticked on")
            << QList<bool>{true, false, false} << QList<int>{2} << QList<bool>{true, false, true};
    }

    void savedBoxesAreStoredAndApplied()
    {
        QFETCH(QList<bool>, before);
        QFETCH(QList<int>, clicked);
        QFETCH(QList<bool>, after);
        Preferences p;
        std::tie(p.saveLayout, p.showGroupTotals, p.showGroupCounters) = std::tuple(before[0], before[1], before[2]);
        if (before != QList<bool>{true, true, true})
            QVERIFY(p.saveOptions());
        frmOptions dlg(m_prompts);
        dlg.show();
        QCOMPARE(boxes(dlg), before);
        for (int i : clicked)
            tick(dlg, i);

        click(dlg, "cmdSalva");

        QCOMPARE(stored(), after);
        QCOMPARE(flags(), after);
        QVERIFY(m_prompts.messages.isEmpty());
        QVERIFY(!dlg.isVisible());
    }

    // Whose holidays: the regional settings' until the user picks a country.
    void holidayCountryIsStoredOnceChosen()
    {
        for (int pick : {-1, int(HolidayCountry::France)}) {
            frmOptions dlg(m_prompts);
            dlg.show();
            QCOMPARE(dlg.cmbHolidays()->currentIndex(), int(holidayCountryOf(QLocale::system())));
            if (pick >= 0)
                dlg.cmbHolidays()->setCurrentIndex(pick);
            click(dlg, "cmdSalva");
            QCOMPARE(Preferences::load().holidayCountry, pick);
        }
    }

    void viewMenuReloadsTheGridAfterwards_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("saved") << "cmdSalva";
        QTest::newRow("cancelled") << "cmdAnnulla";
    }

    void viewMenuReloadsTheGridAfterwards()
    {
        QFETCH(QString, button);
        test::RefreshRecorder refresh;
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            auto *dlg = qobject_cast<frmOptions *>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            shown = true;
            // The reload comes after the dialog, not while it is open.
            QVERIFY(refresh.calls.isEmpty());
            tick(*dlg, 2);
            click(*dlg, button.toLatin1().constData());
        });

        frmOptions::runFromViewMenu(m_prompts, nullptr);

        QVERIFY(shown);
        QCOMPARE(refresh.calls, QStringList{"reloadAll"});
        // Cancel leaves both the stored value and the flag as they were.
        const bool cancelled = button == QLatin1String("cmdAnnulla");
        QCOMPARE(preferences().showGroupCounters, cancelled);
        QCOMPARE(stored(), (QList<bool>{true, true, cancelled}));
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
    test::PromptRecorder m_prompts;
};

QTEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
