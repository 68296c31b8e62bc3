#pragma once
// The settings the program keeps, and the two routines every window uses to
// read and write them. All values live under SettingsKey; only the database
// folder is machine-wide, the rest belong to the user.

#include "app/registry.h"

#include <QString>
#include <QVariant>

namespace velto {

// Value names and their defaults when missing. Numbers are REG_DWORD, the
// database folder is REG_SZ.
inline constexpr auto kCurDb = "appset_curdb";                           // HKLM, REG_SZ
inline constexpr auto kIntLang = "appset_intlang";                       // 0 = automatic
inline constexpr auto kCurSca = "appset_cursca";                         // active data sheet id
inline constexpr auto kSaveIntSettings = "appset_saveintsettings";       // flag
inline constexpr auto kShowsGroupTotals = "appset_showsgrouptotals";     // flag
inline constexpr auto kShowsGrpDlCounters = "appset_showsgrpdlcounters"; // flag
inline constexpr auto kSelectedView = "appset_selected_view";
inline constexpr auto kGroupOpt = "appset_groupopt";
inline constexpr auto kSortKeyIdx = "appset_sortkeyidx";
inline constexpr auto kSortKeyAsc = "appset_sortkeyasc";
inline constexpr auto kMeMaximized = "me_maximized"; // 0 normal, 2 maximized
inline constexpr auto kMeWidth = "me_width";         // twips
inline constexpr auto kMeHeight = "me_height";       // twips
inline constexpr auto kHolidays = "appset_holidays"; // -1 = regional settings

inline constexpr int kIntLangDefault = 0;
inline constexpr int kCurScaDefault = 1;
inline constexpr int kSaveIntSettingsDefault = 1;
inline constexpr int kShowsGroupTotalsDefault = 1;
inline constexpr int kShowsGrpDlCountersDefault = 1;
inline constexpr int kSelectedViewDefault = 0;
inline constexpr int kGroupOptDefault = 0;
inline constexpr int kSortKeyIdxDefault = 5;
inline constexpr int kSortKeyAscDefault = 1;
inline constexpr int kMeMaximizedDefault = 2;
inline constexpr int kMeWidthDefault = 10785;
inline constexpr int kMeHeightDefault = 7395;
inline constexpr int kHolidaysDefault = -1;
// The database folder defaults to the program folder where this user may
// create files there, otherwise to userDatabaseFolder(). A stored
// "appset_curdb" always wins over it.
[[nodiscard]] QString curDbDefault();
// $XDG_DATA_HOME/Kelvorn/Velto (~/.local/share/Kelvorn/Velto); not created here.
[[nodiscard]] QString userDatabaseFolder();
// True when this user may create files in the folder (false when it is missing).
[[nodiscard]] bool isWritableFolder(const QString &folder);

// A fresh registry instance per call, so every read sees the store as it is
// now. A REG_DWORD value comes back as an int, REG_SZ as text, and anything
// that cannot be read as the default unchanged.
[[nodiscard]] QVariant ReadSetting(int hive, const QString &keyPath, int valueType, const QString &valueName,
                                   const QVariant &dflt = QVariant());
// Throws RegistryError when the store refuses the write. A window that
// writes settings catches it and shows its description; its own work stays
// done.
void WriteSetting(int hive, const QString &keyPath, int valueType, const QString &valueName, const QVariant &value);

// The three on/off preferences are on only when the stored number is exactly
// 1: a -1 left by older check boxes, or a 2, reads as off. Text that holds a
// number counts as that number.
[[nodiscard]] bool isFlagOn(const QVariant &stored);

} // namespace velto
