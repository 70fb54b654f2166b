// Sizes and dates as CFileInfo writes them, under two regional settings of the test prefix.

#include "fileinfo/DateValue.h"
#include "fileinfo/FileInfo.h"
#include "tests/fileinfo/RegionalSettings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace korrimat {
namespace {

using testing::kContinental;
using testing::kUnitedStates;
using testing::RegionalSettings;

struct SizeRow {
    std::int64_t bytes;
    const char* text;
};

// Written with "." and ","; every count below 2 GiB in its classic form, larger ones in the same steps.
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
    {INT64_MIN, "-9,223,372,036,854,775,808 bytes"},
    // Halves at each pattern round away from zero, never to even.
    {10496, "10.3KB (10,496 bytes)"},          // 10.25
    {102912, "101KB (102,912 bytes)"},         // 100.5
    {1179648, "1.13MB (1,179,648 bytes)"},     // 1.125
    {1207959552, "1.13GB (1,207,959,552 bytes)"},  // 1.125
    // Either side of 1.005, which no count gives exactly.
    {1029, "1.00KB (1,029 bytes)"},            // 1.0048828125
    {1030, "1.01KB (1,030 bytes)"},            // 1.005859375
    // Beyond 2 GiB.
    {2147483648LL, "2.00GB (2,147,483,648 bytes)"},
    {5368709120LL, "5.00GB (5,368,709,120 bytes)"},
    {10239999999LL, "9.54GB (10,239,999,999 bytes)"},
    {10240000000LL, "9.5GB (10,240,000,000 bytes)"},
    {10737418240LL, "10.0GB (10,737,418,240 bytes)"},
    {1023999999999LL, "954GB (1,023,999,999,999 bytes)"},
    {1024000000000LL, "0.93TB (1,024,000,000,000 bytes)"},
    {1099511627776LL, "1.00TB (1,099,511,627,776 bytes)"},
    {1125899906842624LL, "1.00PB (1,125,899,906,842,624 bytes)"},
    {1152921504606846976LL, "1.00EB (1,152,921,504,606,846,976 bytes)"},
    {INT64_MAX, "8.00EB (9,223,372,036,854,775,807 bytes)"},
};

// The same text with the separators the other way round.
std::string SwapSeparators(std::string text)
{
    for (char& c : text)
        c = c == '.' ? ',' : c == ',' ? '.' : c;
    return text;
}

TEST(FormatFileSize, EveryBandBoundaryAndHalf)
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
        for (const SizeRow& row : kSizes)
            EXPECT_EQ(info.FormatFileSize(row.bytes), SwapSeparators(row.text)) << row.bytes;
    }
    {
        RegionalSettings settings({{LOCALE_SDECIMAL, "."}, {LOCALE_STHOUSAND, "'"}});
        EXPECT_EQ(info.FormatFileSize(1023999), "1000KB (1'023'999 bytes)");
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
    // Negative values: the whole part, towards zero, is the day; the absolute fraction the time.
    EXPECT_EQ(info.FormatFileDate(-1.25), "Friday, December 29, 1899 6:00:00 AM");
    EXPECT_EQ(info.FormatFileDate(-0.5), "Saturday, December 30, 1899 12:00:00 PM");
    // The ends of the range, and the zero stamp of the platform.
    EXPECT_EQ(info.FormatFileDate(DateValueOf(100, 1, 1, 0, 0, 1)), "Friday, January 1, 0100 12:00:01 AM");
    EXPECT_EQ(info.FormatFileDate(DateValueOf(9999, 12, 31, 23, 59, 59)), "Friday, December 31, 9999 11:59:59 PM");
    EXPECT_EQ(info.FormatFileDate(DateValueOf(1601, 1, 1, 0, 0, 0)), "Monday, January 1, 1601 12:00:00 AM");
}

TEST(FormatFileDate, SecondRegionalSettingWithQuotedText)
{
    RegionalSettings settings(kContinental);
    const CFileInfo info;
    EXPECT_EQ(info.FormatFileDate(0), "30. December 1899 (week's day: Sat) 00:00:00");
    EXPECT_EQ(info.FormatFileDate(DateValueOf(2026, 3, 1, 13, 0, 0)), "01. March 2026 (week's day: Sun) 13:00:00");
}

TEST(FormatFileDate, EveryPictureElement)
{
    RegionalSettings settings({{LOCALE_SLONGDATE, "d dd ddd dddd M MM MMM MMMM y yy yyy yyyy yyyyy g gg"},
                               {LOCALE_STIMEFORMAT, "h hh H HH m mm s ss t tt 'o''clock'"},
                               {LOCALE_S1159, "AM"},
                               {LOCALE_S2359, "PM"}});
    const CFileInfo info;
    EXPECT_EQ(info.FormatFileDate(DateValueOf(2005, 3, 4, 7, 8, 9)),
              "4 04 Fri Friday 3 03 Mar March 5 05 2005 2005 2005 A.D. A.D. 7 07 7 07 8 08 9 09 A AM o'clock");
    EXPECT_EQ(info.FormatFileDate(DateValueOf(2010, 11, 28, 23, 45, 30)),
              "28 28 Sun Sunday 11 11 Nov November 10 10 2010 2010 2010 A.D. A.D. 11 11 23 23 45 45 30 30 P PM o'clock");
}

TEST(FormatFileDate, MidnightAndNoonOnBothClocks)
{
    RegionalSettings settings({{LOCALE_SLONGDATE, "yyyy"}, {LOCALE_STIMEFORMAT, "h hh H HH tt"}});
    const CFileInfo info;
    EXPECT_EQ(info.FormatFileDate(0), "1899 12 12 0 00 AM");
    EXPECT_EQ(info.FormatFileDate(0.5), "1899 12 12 12 12 PM");
    EXPECT_EQ(info.FormatFileDate(DateValueOf(1900, 1, 1, 11, 59, 59)), "1900 11 11 11 11 AM");
}

TEST(FormatFileDate, PicturesAndMarkersInOtherScriptsStayWhole)
{
    // Under the UTF-8 code page the texts of every locale pass through, whole characters only.
    RegionalSettings settings({{LOCALE_SLONGDATE, "yyyy年M月d日 (dddd)"},
                               {LOCALE_STIMEFORMAT, "t tt h:mm"},
                               {LOCALE_S1159, "午前"},
                               {LOCALE_S2359, "μμ"}});
    const CFileInfo info;
    EXPECT_EQ(info.FormatFileDate(DateValueOf(2026, 12, 8, 9, 5, 0)), "2026年12月8日 (Tuesday) 午 午前 9:05");
    EXPECT_EQ(info.FormatFileDate(DateValueOf(2026, 12, 8, 21, 5, 0)), "2026年12月8日 (Tuesday) μ μμ 9:05");
}

TEST(FormatFileDate, OutsideTheDateRangeGivesNoText)
{
    const CFileInfo info;
    EXPECT_EQ(info.FormatFileDate(1.0e7), "");
    EXPECT_EQ(info.FormatFileDate(-1.0e6), "");
    EXPECT_EQ(info.FormatFileDate(DateValueOf(99, 12, 31, 0, 0, 0)), "");
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
    // Before day 0 the carry still goes to the following calendar day: 29 December at
    // 23:59:59.9 is the midnight that begins 30 December, and 30 December at 23:59:59.9 (read from
    // -0.99...) the one that begins 31 December.
    const auto beforeDayZero = SplitDateValue(-1.0 - (86399.9 / 86400.0));
    ASSERT_TRUE(beforeDayZero.has_value());
    EXPECT_EQ(beforeDayZero->month, 12);
    EXPECT_EQ(beforeDayZero->day, 30);
    EXPECT_EQ(beforeDayZero->hour, 0);
    const auto nearZero = SplitDateValue(-(86399.9 / 86400.0));
    ASSERT_TRUE(nearZero.has_value());
    EXPECT_EQ(nearZero->day, 31);
    EXPECT_EQ(nearZero->second, 0);
}

} // namespace
} // namespace korrimat
