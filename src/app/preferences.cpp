#include "app/preferences.h"

#include "app/mainmod.h"
#include "app/settings.h"
#include "data/catalogue.h"

#include <functional>

namespace velto {

namespace {

int readNumber(const char *name, int dflt)
{
    return int(NzNum(ReadSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(name), dflt), dflt));
}

bool readFlag(const char *name, int dflt)
{
    return isFlagOn(ReadSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(name), dflt));
}

void write(const char *name, int value)
{
    WriteSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(name), value);
}

// The store throws; the callers get the store's message as a Status.
Status writing(const std::function<void()> &writes)
{
    try {
        writes();
    } catch (const RegistryError &e) {
        return Status::failure(e.number, e.description);
    }
    return Status::success();
}

bool inRange(int value, int first, int last)
{
    return value >= first && value <= last;
}

} // namespace

Preferences Preferences::load()
{
    Preferences p;
    p.saveLayout = readFlag(kSaveIntSettings, kSaveIntSettingsDefault);
    p.showGroupTotals = readFlag(kShowsGroupTotals, kShowsGroupTotalsDefault);
    p.showGroupCounters = readFlag(kShowsGrpDlCounters, kShowsGrpDlCountersDefault);
    p.languageChoice = loadLanguageChoice();
    const int holidays = readNumber(kHolidays, kHolidaysDefault);
    if (inRange(holidays, -1, kHolidayChoices - 1))
        p.holidayCountry = holidays;
    if (!p.saveLayout)
        return p;

    // A stored value outside its range would select, group or sort by
    // nothing sensible: the default stands instead.
    const int view = readNumber(kSelectedView, kSelectedViewDefault);
    if (inRange(view, 0, sql::kMainFilterCount - 1))
        p.view = view;
    const int layout = readNumber(kGroupOpt, kGroupOptDefault);
    if (inRange(layout, 0, kLayoutCount - 1))
        p.layout = Layout(layout);
    const int column = readNumber(kSortKeyIdx, kSortKeyIdxDefault);
    if (inRange(column, 1, kSortColumnCount))
        p.sortColumn = column;
    const int ascending = readNumber(kSortKeyAsc, kSortKeyAscDefault);
    if (inRange(ascending, 0, 1))
        p.sortAscending = ascending == 1;
    p.maximized = readNumber(kMeMaximized, kMeMaximizedDefault) == 2;
    const int width = readNumber(kMeWidth, kMeWidthDefault);
    const int height = readNumber(kMeHeight, kMeHeightDefault);
    if (width > 0 && height > 0) {
        p.widthTwips = width;
        p.heightTwips = height;
    }
    return p;
}

int Preferences::loadLanguageChoice()
{
    return readNumber(kIntLang, kIntLangDefault);
}

Preferences &preferences()
{
    static Preferences state;
    return state;
}

Status Preferences::save() const
{
    const Status st = writing([this] {
        if (saveLayout) {
            write(kSelectedView, view);
            write(kGroupOpt, int(layout));
            write(kSortKeyIdx, sortColumn);
            write(kSortKeyAsc, sortAscending ? 1 : 0);
            write(kMeMaximized, maximized ? 2 : 0);
            write(kMeWidth, widthTwips);
            write(kMeHeight, heightTwips);
        } else {
            write(kSelectedView, 0);
            write(kGroupOpt, 0);
        }
    });
    return st ? saveLanguage() : st;
}

Status Preferences::saveOptions() const
{
    return writing([this] {
        write(kSaveIntSettings, saveLayout ? 1 : 0);
        write(kShowsGroupTotals, showGroupTotals ? 1 : 0);
        write(kShowsGrpDlCounters, showGroupCounters ? 1 : 0);
    });
}

Status Preferences::saveLanguage() const
{
    return writing([this] { write(kIntLang, languageChoice); });
}

Status Preferences::saveHolidayCountry() const
{
    return writing([this] { write(kHolidays, holidayCountry); });
}

Status Preferences::saveActiveSheet(int sheetId)
{
    return writing([sheetId] { write(kCurSca, sheetId); });
}

} // namespace velto
