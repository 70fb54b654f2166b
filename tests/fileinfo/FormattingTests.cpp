// Sizes and dates as CFileInfo writes them, under two regional settings of the test prefix.

#include "fileinfo/DateValue.h"
#include "fileinfo/FileInfo.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace korrimat {
namespace {

// Applies regional settings to the user's locale for one test and puts the old ones back.
class RegionalSettings {
public:
    explicit RegionalSettings(const std::map<LCTYPE, std::string>& settings)
    {
        for (const auto& [type, value] : settings) {
            saved_[type] = SystemPlatform().LocaleText(type);
            ::SetLocaleInfoA(LOCALE_USER_DEFAULT, type, value.c_str());
        }
    }
    ~RegionalSettings()
    {
        for (const auto& [type, value] : saved_)
            ::SetLocaleInfoA(LOCALE_USER_DEFAULT, type, value.c_str());
    }

private:
    std::map<LCTYPE, std::string> saved_;
};

const std::map<LCTYPE, std::string> kUnitedStates{
    {LOCALE_SDECIMAL, "."}, {LOCALE_STHOUSAND, ","},
    {LOCALE_SLONGDATE, "dddd, MMMM d, yyyy"}, {LOCALE_STIMEFORMAT, "h:mm:ss tt"}};

const std::map<LCTYPE, std::string> kContinental{
    {LOCALE_SDECIMAL, ","}, {LOCALE_STHOUSAND, "."},
    {LOCALE_SLONGDATE, "dd'. 'MMMM yyyy' (week''s day: 'ddd')'"}, {LOCALE_STIMEFORMAT, "HH:mm:ss"}};

struct SizeRow {
    std::int64_t bytes;
    const char* text;
};

// Every count below 2 GiB in its classic form; larger ones continue in the same steps.
const SizeRow kSizes[] = {
    {0, "0 bytes"},
    {1, "1 bytes"},
    {1023, "1,023 bytes"},
    {1024, "1.00KB (1,024 bytes)"},
    {1152, "1.13KB (1,152 bytes)"},
    {1536, "1.50KB (1,536 bytes)"},
    {10239, "10.00KB (10,239 bytes)"},
    {10240, "10.0KB (10,240 bytes)"},
    {102400, "100KB (102,400 bytes)"},
    {1000000, "977KB (1,000,000 bytes)"},
    {1023999, "1000KB (1,023,999 bytes)"},
    {1024000, "0.98MB (1,024,000 bytes)"},
    {1048576, "1.00MB (1,048,576 bytes)"},
    {10485760, "10.0MB (10,485,760 bytes)"},
    {102399999, "97.7MB (102,399,999 bytes)"},
    {104857600, "100MB (104,857,600 bytes)"},
    {1073741824, "1.00GB (1,073,741,824 bytes)"},
    {2147483647, "2.00GB (2,147,483,647 bytes)"},
    {-1, "-1 bytes"},
    {-1073741824, "-1,073,741,824 bytes"},
    {2147483648LL, "2.00GB (2,147,483,648 bytes)"},
    {5368709120LL, "5.00GB (5,368,709,120 bytes)"},
    {10737418240LL, "10.0GB (10,737,418,240 bytes)"},
    {1099511627776LL, "1.00TB (1,099,511,627,776 bytes)"},
    {1125899906842624LL, "1.00PB (1,125,899,906,842,624 bytes)"},
    {1152921504606846976LL, "1.00EB (1,152,921,504,606,846,976 bytes)"},
    {INT64_MAX, "8.00EB (9,223,372,036,854,775,807 bytes)"},
};

TEST(FormatFileSize, EveryBandAndBoundary)
{
    RegionalSettings settings(kUnitedStates);
    const CFileInfo info;
    for (const SizeRow& row : kSizes)
        EXPECT_EQ(info.FormatFileSize(row.bytes), row.text) << row.bytes;
}

TEST(FormatFileSize, FollowsTheUsersSeparatorsAtEachCall)
{
    const CFileInfo info;
    {
        RegionalSettings settings(kContinental);
        EXPECT_EQ(info.FormatFileSize(1152), "1,13KB (1.152 bytes)");
        EXPECT_EQ(info.FormatFileSize(1023999), "1000KB (1.023.999 bytes)");
        EXPECT_EQ(info.FormatFileSize(5368709120LL), "5,00GB (5.368.709.120 bytes)");
        EXPECT_EQ(info.FormatFileSize(-1023), "-1.023 bytes");
    }
    RegionalSettings settings(kUnitedStates);
    EXPECT_EQ(info.FormatFileSize(1152), "1.13KB (1,152 bytes)");
}

TEST(FormatFileDate, WorkedExamples)
{
    RegionalSettings settings(kUnitedStates);
    const CFileInfo info;
    EXPECT_EQ(info.FormatFileDate(0), "Saturday, December 30, 1899 12:00:00 AM");
    EXPECT_EQ(info.FormatFileDate(DateValueOf(2026, 3, 1, 13, 0, 0)), "Sunday, March 1, 2026 1:00:00 PM");
    EXPECT_EQ(info.FormatFileDate(-1.25), "Friday, December 29, 1899 6:00:00 AM");
    EXPECT_EQ(info.FormatFileDate(DateValueOf(100, 1, 1, 0, 0, 1)), "Friday, January 1, 0100 12:00:01 AM");
    EXPECT_EQ(info.FormatFileDate(DateValueOf(9999, 12, 31, 23, 59, 59)), "Friday, December 31, 9999 11:59:59 PM");
}

TEST(FormatFileDate, SecondRegionalSettingWithQuotedText)
{
    RegionalSettings settings(kContinental);
    const CFileInfo info;
    EXPECT_EQ(info.FormatFileDate(0), "30. December 1899 (week's day: Sat) 00:00:00");
    EXPECT_EQ(info.FormatFileDate(DateValueOf(2026, 3, 1, 13, 0, 0)), "01. March 2026 (week's day: Sun) 13:00:00");
}

TEST(FormatFileDate, OutsideTheDateRangeGivesNoText)
{
    const CFileInfo info;
    EXPECT_EQ(info.FormatFileDate(1.0e7), "");
    EXPECT_EQ(info.FormatFileDate(-1.0e6), "");
}

TEST(DateValue, RoundTripsAndRoundsToTheNearestSecond)
{
    EXPECT_DOUBLE_EQ(DateValueOf(1899, 12, 30, 12, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(DateValueOf(1899, 12, 29, 6, 0, 0), -1.25);
    EXPECT_DOUBLE_EQ(DateValueOf(2026, 3, 1, 13, 0, 0), 46082 + 46800.0 / 86400.0);
    const auto parts = SplitDateValue(DateValueOf(2000, 2, 29, 23, 59, 59));
    ASSERT_TRUE(parts.has_value());
    EXPECT_EQ(parts->year, 2000);
    EXPECT_EQ(parts->month, 2);
    EXPECT_EQ(parts->day, 29);
    EXPECT_EQ(parts->second, 59);
    EXPECT_EQ(parts->dayOfWeek, 2);  // a Tuesday
    // Just short of midnight rounds into the next day.
    const auto carried = SplitDateValue(1.0 - 0.1 / 86400.0);
    ASSERT_TRUE(carried.has_value());
    EXPECT_EQ(carried->day, 31);
    EXPECT_EQ(carried->hour, 0);
}

} // namespace
} // namespace korrimat
