#pragma once
// The user's regional settings and the system's time conversions, read at each call. The locale's
// texts come from the wide functions: the narrow ones give them in the locale's own code page, not
// the process's.

#include <windows.h>

#include <optional>
#include <string>

namespace korrimat {

// FileTimeToLocalFileTime, with the offset in force now.
[[nodiscard]] std::optional<FILETIME> LocalFileTime(const FILETIME& utc);
// FileTimeToSystemTime.
[[nodiscard]] std::optional<SYSTEMTIME> SystemTimeOf(const FILETIME& time);
// GetLocaleInfoW for the user's default locale, in the active code page.
[[nodiscard]] std::string LocaleText(LCTYPE type);
// Upper case by the system's locale rules, whole characters of the active code page at a time.
[[nodiscard]] std::string UpperCase(const std::string& text);

} // namespace korrimat
