// The preferences as one value: defaults for an empty store, stored values
// out of range replaced by defaults, the layout forgotten when it is not to
// be remembered, and the user's group totals choice kept on save.

#include "app/mainmod.h"
#include "app/preferences.h"
#include "app/settings.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;

namespace {

void store(const char *name, const QVariant &value)
{
    WriteSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(name), value);
}

QVariant stored(const char *name)
{
    return ReadSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(name));
}

using Stored = QList<QPair<QByteArray, int>>;

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        test::renew(m_box);
        app().SettingsKey = settingsKeyFor(QStringLiteral("Velto"));
    }

    void loadChecksEveryValue_data()
    {
        QTest::addColumn<Stored>("values");
        QTest::addColumn<QString>("expected"); // a summary of what load() gives
        const QString defaults =
            QStringLiteral("layout 1 totals 1 counters 1 view 0 group 0 sort 5 asc 1 max 1 10785x7395 holidays -1");
        QTest::addRow("empty store gives the defaults, every box on") << Stored{} << defaults;
        QTest::addRow("values in range are read")
            << Stored{{kSelectedView, 6}, {kGroupOpt, 3},   {kSortKeyIdx, 19}, {kSortKeyAsc, 0},
                      {kMeMaximized, 0},  {kMeWidth, 9000}, {kMeHeight, 6000}, {kHolidays, 6}}
            << "layout 1 totals 1 counters 1 view 6 group 3 sort 19 asc 0 max 0 9000x6000 holidays 6";
        QTest::addRow("values out of range fall back") << Stored{{kSelectedView, 7}, {kGroupOpt, 4}, {kSortKeyIdx, 20},
                                                                 {kSortKeyAsc, 2},   {kMeWidth, -5}, {kHolidays, 7}}
                                                       << defaults;
        QTest::addRow("negative view, layout and sort fall back")
            << Stored{{kSelectedView, -1}, {kGroupOpt, -1}, {kSortKeyIdx, 0}, {kHolidays, -2}} << defaults;
        // Left by older check boxes: anything but 1 reads as off.
        QTest::addRow("flags other than 1 read as off")
            << Stored{{kShowsGroupTotals, -1}, {kShowsGrpDlCounters, 2}}
            << "layout 1 totals 0 counters 0 view 0 group 0 sort 5 asc 1 max 1 10785x7395 holidays -1";
        QTest::addRow("layout not remembered: stored view and grouping ignored")
            << Stored{{kSaveIntSettings, 0}, {kSelectedView, 4}, {kGroupOpt, 2}, {kSortKeyIdx, 3}}
            << "layout 0 totals 1 counters 1 view 0 group 0 sort 5 asc 1 max 1 10785x7395 holidays -1";
    }

    void loadChecksEveryValue()
    {
        QFETCH(Stored, values);
        QFETCH(QString, expected);
        for (const auto &[name, value] : values)
            store(name.constData(), value);

        const Preferences p = Preferences::load();

        const QString got =
            QStringLiteral("layout %1 totals %2 counters %3 view %4 group %5 sort %6 asc %7 max %8 %9x%10 holidays %11")
                .arg(int(p.saveLayout))
                .arg(int(p.showGroupTotals))
                .arg(int(p.showGroupCounters))
                .arg(p.view)
                .arg(int(p.layout))
                .arg(p.sortColumn)
                .arg(int(p.sortAscending))
                .arg(int(p.maximized))
                .arg(p.widthTwips)
                .arg(p.heightTwips)
                .arg(p.holidayCountry);
        QCOMPARE(got, expected);
    }

    void saveWithoutRememberedLayoutKeepsTheUsersTotals_data()
    {
        QTest::addColumn<bool>("totals");
        QTest::addRow("totals off stay off") << false;
        QTest::addRow("totals on stay on") << true;
    }

    void saveWithoutRememberedLayoutKeepsTheUsersTotals()
    {
        QFETCH(bool, totals);
        store(kShowsGroupTotals, totals ? 1 : 0);
        store(kSelectedView, 4);
        store(kGroupOpt, 2);
        Preferences p = Preferences::load();
        p.saveLayout = false;
        p.view = 3;
        p.layout = Layout::ByClient;

        QVERIFY(p.save());

        QCOMPARE(stored(kShowsGroupTotals).toInt(), totals ? 1 : 0);
        QCOMPARE(stored(kSelectedView).toInt(), 0);
        QCOMPARE(stored(kGroupOpt).toInt(), 0);
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
