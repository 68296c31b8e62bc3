// The preferences dialog: boxes from the stored values, clicks stored as
// 0/1 and applied to the program-wide flags, Cancel changing nothing, and
// the grid reload after the View menu command.

#include "app/mainmod.h"
#include "app/settings.h"
#include "promptrecorder.h"
#include "refreshrecorder.h"
#include "testsupport.h"
#include "ui/maintenance/frmoptions.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace velto;
using velto::test::PromptRecorder;
using velto::test::RefreshRecorder;

namespace {

const char *const kNames[] = {kSaveIntSettings, kShowsGroupTotals, kShowsGrpDlCounters};

QVariant stored(int i)
{
    return ReadSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(kNames[i]), QVariant());
}

void store(int i, int value)
{
    WriteSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(kNames[i]), value);
}

QList<bool> flags()
{
    return {app().SaveLayout, app().ShowGroupTotals, app().ShowGroupCounters};
}

QList<bool> boxes(const frmOptions &dlg)
{
    return {dlg.chkData(0)->isChecked(), dlg.chkData(1)->isChecked(), dlg.chkData(2)->isChecked()};
}

void click(QWidget &dlg, const char *button)
{
    auto *b = dlg.findChild<QPushButton *>(QLatin1String(button));
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
}

} // namespace

class TestFrmOptions : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void emptyStoreShowsEveryBoxTicked();
    void boxesShowTheStoredValues_data();
    void boxesShowTheStoredValues();
    void saveStoresZeroOrOneAndSetsTheFlags_data();
    void saveStoresZeroOrOneAndSetsTheFlags();
    void cancelLeavesStoreAndFlags();
    void viewMenuReloadsTheGridAfterwards_data();
    void viewMenuReloadsTheGridAfterwards();

private:
    std::unique_ptr<test::Sandbox> m_box;
    PromptRecorder m_prompts;
};

void TestFrmOptions::init()
{
    m_box = std::make_unique<test::Sandbox>();
    app().SettingsKey = settingsKeyFor(QStringLiteral("Velto"));
    app().LanguageOffset = 0;
    app().SaveLayout = app().ShowGroupTotals = app().ShowGroupCounters = true;
    m_prompts = PromptRecorder();
}

void TestFrmOptions::cleanup()
{
    m_box.reset();
}

void TestFrmOptions::emptyStoreShowsEveryBoxTicked()
{
    frmOptions dlg(m_prompts);
    QCOMPARE(boxes(dlg), (QList<bool>{true, true, true}));
}

void TestFrmOptions::boxesShowTheStoredValues_data()
{
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QList<bool>>("ticked");
    QTest::newRow("all off") << QList<int>{0, 0, 0} << QList<bool>{false, false, false};
    QTest::newRow("only totals") << QList<int>{0, 1, 0} << QList<bool>{false, true, false};
    QTest::newRow("layout and counters") << QList<int>{1, 0, 1} << QList<bool>{true, false, true};
    // Left by older check boxes: anything but 1 reads as off, as at start-up.
    QTest::newRow("minus one and two read as off") << QList<int>{-1, 2, 1} << QList<bool>{false, false, true};
}

void TestFrmOptions::boxesShowTheStoredValues()
{
    QFETCH(QList<int>, values);
    QFETCH(QList<bool>, ticked);
    for (int i = 0; i < 3; ++i)
        store(i, values.at(i));
    frmOptions dlg(m_prompts);
    QCOMPARE(boxes(dlg), ticked);
}

void TestFrmOptions::saveStoresZeroOrOneAndSetsTheFlags_data()
{
    QTest::addColumn<QList<int>>("clicked");
    QTest::addColumn<QList<int>>("stored");
    QTest::newRow("nothing clicked") << QList<int>{} << QList<int>{1, 1, 1};
    QTest::newRow("counters off") << QList<int>{2} << QList<int>{1, 1, 0};
    QTest::newRow("layout and totals off") << QList<int>{0, 1} << QList<int>{0, 0, 1};
    QTest::newRow("everything off") << QList<int>{0, 1, 2} << QList<int>{0, 0, 0};
    QTest::newRow("totals off and on again") << QList<int>{1, 1} << QList<int>{1, 1, 1};
}

void TestFrmOptions::saveStoresZeroOrOneAndSetsTheFlags()
{
    QFETCH(QList<int>, clicked);
    QFETCH(QList<int>, stored);
    frmOptions dlg(m_prompts);
    dlg.show();
    for (int i : clicked)
        QTest::mouseClick(dlg.chkData(i), Qt::LeftButton, {}, QPoint(6, dlg.chkData(i)->height() / 2));

    click(dlg, "cmdSalva");

    for (int i = 0; i < 3; ++i) {
        QCOMPARE(::stored(i).toInt(), stored.at(i));
        QCOMPARE(flags().at(i), stored.at(i) == 1);
    }
    QVERIFY(m_prompts.messages.isEmpty());
    QVERIFY(!dlg.isVisible());
}

void TestFrmOptions::cancelLeavesStoreAndFlags()
{
    store(1, 1);
    frmOptions dlg(m_prompts);
    dlg.show();
    QTest::keyClick(dlg.chkData(1), Qt::Key_Space);
    QTest::keyClick(dlg.chkData(2), Qt::Key_Space);
    QVERIFY(!dlg.chkData(1)->isChecked());

    click(dlg, "cmdAnnulla");

    QCOMPARE(::stored(1).toInt(), 1);
    QVERIFY(!::stored(2).isValid());
    QCOMPARE(flags(), (QList<bool>{true, true, true}));
}

void TestFrmOptions::viewMenuReloadsTheGridAfterwards_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("saved") << "cmdSalva";
    QTest::newRow("cancelled") << "cmdAnnulla";
}

void TestFrmOptions::viewMenuReloadsTheGridAfterwards()
{
    QFETCH(QString, button);
    RefreshRecorder refresh;
    refresh.filterIndex = 6;
    bool shown = false;
    QTimer::singleShot(0, this, [&] {
        auto *dlg = qobject_cast<frmOptions *>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        shown = true;
        // The reload comes after the dialog, not while it is open.
        QVERIFY(refresh.calls.isEmpty());
        QTest::mouseClick(dlg->chkData(2), Qt::LeftButton, {}, QPoint(6, dlg->chkData(2)->height() / 2));
        click(*dlg, button.toLatin1().constData());
    });

    frmOptions::runFromViewMenu(m_prompts, nullptr);

    QVERIFY(shown);
    QCOMPARE(refresh.calls, QStringList{"gexUpdate(6)"});
    QCOMPARE(app().ShowGroupCounters, button == QLatin1String("cmdAnnulla"));
}

QTEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
