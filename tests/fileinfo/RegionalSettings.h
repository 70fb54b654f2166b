#pragma once
// Regional settings of the test's own Wine prefix, applied to the user's locale for one scope and
// put back after. They are written through the wide call, as the system's own settings hold them:
// the narrow one would store a text in another script converted with the locale's code page.

#include "platform/FileSystem.h"
#include "platform/Locale.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace korrimat::testing {

class RegionalSettings {
public:
    explicit RegionalSettings(const std::map<LCTYPE, std::string>& settings)
    {
        for (const auto& [type, value] : settings) {
            saved_[type] = LocaleText(type);
            EXPECT_TRUE(::SetLocaleInfoW(LOCALE_USER_DEFAULT, type, WideText(value).c_str())) << type;
            // The formatting reads the settings at each call, so they must be visible at once.
            EXPECT_EQ(LocaleText(type), value) << "setting " << type << " was not re-read";
        }
    }
    ~RegionalSettings()
    {
        for (const auto& [type, value] : saved_)
            ::SetLocaleInfoW(LOCALE_USER_DEFAULT, type, WideText(value).c_str());
    }
    RegionalSettings(const RegionalSettings&) = delete;
    RegionalSettings& operator=(const RegionalSettings&) = delete;

private:
    std::map<LCTYPE, std::string> saved_;
};

inline const std::map<LCTYPE, std::string> kUnitedStates{
    {LOCALE_SDECIMAL, "."}, {LOCALE_STHOUSAND, ","},
    {LOCALE_SLONGDATE, "dddd, MMMM d, yyyy"}, {LOCALE_STIMEFORMAT, "h:mm:ss tt"}};

// Decimal comma, period grouping, another long date (with quoted text) and a 24-hour clock.
inline const std::map<LCTYPE, std::string> kContinental{
    {LOCALE_SDECIMAL, ","}, {LOCALE_STHOUSAND, "."},
    {LOCALE_SLONGDATE, "dd'. 'MMMM yyyy' (week''s day: 'ddd')'"}, {LOCALE_STIMEFORMAT, "HH:mm:ss"}};

} // namespace korrimat::testing
