#pragma once
// The user's preferences as one value: read once with defaults and range
// checks, written in one place. Callers never see the settings store.
// preferences() is the one the program runs with.

#include "app/layout.h"
#include "data/status.h"

namespace velto {

// The deadline grid's columns, numbered from 1: the range of the sort key.
inline constexpr int kSortColumnCount = 19;
inline constexpr int kSortColumnDefault = 5;

// Countries whose public holidays a series can move off: 0 none, then the
// countries in the order of HolidayCountry.
inline constexpr int kHolidayChoices = 7;

struct Preferences {
    // The options dialog.
    bool saveLayout = true; // restore and keep view, grouping, sort and window size
    bool showGroupTotals = true;
    bool showGroupCounters = true;

    // Restored only with saveLayout; load() gives the defaults otherwise.
    int view = 0; // index in the view list
    Layout layout = Layout::Simple;
    int sortColumn = kSortColumnDefault;
    bool sortAscending = true;
    bool maximized = true;
    int widthTwips = 10785;
    int heightTwips = 7395;

    int languageChoice = 0; // 0 automatic, else a language's menu code
    // Whose public holidays new series move off: a HolidayCountry, or -1
    // while the user has not chosen, when the regional settings decide.
    int holidayCountry = -1;

    // Defaults first, then every stored value that is in range.
    [[nodiscard]] static Preferences load();
    // The stored language choice alone, as load() reads it.
    [[nodiscard]] static int loadLanguageChoice();

    // What the main window keeps when it closes: the layout (or, without
    // saveLayout, the view and grouping put back to the first ones; the
    // options, group totals among them, stay as the user chose) and the
    // language. Stops at the first write the store refuses.
    [[nodiscard]] Status save() const;
    // The three options only.
    [[nodiscard]] Status saveOptions() const;
    [[nodiscard]] Status saveLanguage() const;
    [[nodiscard]] Status saveHolidayCountry() const;
    // The data sheet the next start opens.
    [[nodiscard]] static Status saveActiveSheet(int sheetId);
};

// The preferences this run works with, one instance for the whole process:
// the language set by the start, the options, grouping and sort key by the
// main window as it opens (from the store), then changed by the options
// dialog, the View menu and the language menu; the main window keeps them
// with save() when it closes. The holiday country is read from the store
// where it is used.
Preferences &preferences();

} // namespace velto
