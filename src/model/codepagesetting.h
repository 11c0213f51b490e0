#pragma once

#include <QString>

// The settings key CodePage (section "Settings" of the application's settings) names the ANSI code
// page of varlex.dat, the list files and the .lng files. Both programs call apply() once at start,
// after the application and organization names are set.
namespace CodePageSetting {

inline constexpr const char *kKey = "Settings/CodePage";

// Selects the code page the setting names (windows-1252 when it is absent or empty). A name that is
// unknown or not a single-byte code page (UTF-8, Shift_JIS, ...) keeps windows-1252 and returns a
// one-line message naming it and why; otherwise returns an empty string.
QString apply();

} // namespace CodePageSetting
