#include "platform/Platform.h"
#include "platform/SizedText.h"
#include "platform/UniqueHandle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace korrimat {
namespace {

// A size-then-fill call that behaves like GetFullPathNameA for a text of a given length.
struct FakeFill {
    std::string text;
    std::vector<std::size_t> capacities;
    std::size_t operator()(char* buffer, std::size_t capacity)
    {
        capacities.push_back(capacity);
        if (text.size() + 1 > capacity)
            return text.size() + 1;
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return text.size();
    }
};

TEST(SizedText, FitsAtEveryBoundaryOfTheFirstBuffer)
{
    for (std::size_t length : {258u, 259u, 260u, 261u}) {
        FakeFill fill{std::string(length, 'x'), {}};
        const auto text = FillSizedText(std::ref(fill), 260);
        ASSERT_TRUE(text.has_value()) << length;
        EXPECT_EQ(text->size(), length);
        EXPECT_EQ(fill.capacities.size(), length < 260 ? 1u : 2u) << length;
    }
}

TEST(SizedText, FailureGivesNothing)
{
    EXPECT_FALSE(FillSizedText([](char*, std::size_t) { return std::size_t{0}; }).has_value());
}

TEST(SizedText, TextThatKeepsGrowingGivesNothing)
{
    std::size_t calls = 0;
    const auto text = FillSizedText([&](char*, std::size_t capacity) { ++calls; return capacity + 10; });
    EXPECT_FALSE(text.has_value());
    EXPECT_LE(calls, 4u);
}

struct CountingTraits {
    using Handle = int;
    static inline int closed = 0;
    static Handle Empty() noexcept { return -1; }
    static void Close(Handle) noexcept { ++closed; }
};

TEST(UniqueHandle, ClosesOnceThroughMovesAndResets)
{
    CountingTraits::closed = 0;
    {
        UniqueHandle<CountingTraits> first(7);
        UniqueHandle<CountingTraits> second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_TRUE(second);
        UniqueHandle<CountingTraits> third;
        third = std::move(second);
        EXPECT_EQ(CountingTraits::closed, 0);
        third.Reset(8);
        EXPECT_EQ(CountingTraits::closed, 1);
    }
    EXPECT_EQ(CountingTraits::closed, 2);
}

TEST(UniqueHandle, RealFindHandleIsEmptyWhenNothingMatches)
{
    WIN32_FIND_DATAA found{};
    UniqueFindHandle search(::FindFirstFileA("C:\\no such folder\\*", &found));
    EXPECT_FALSE(search);
}

TEST(WindowsPlatform, ReportsTheWindowsFolderAndItsFullPath)
{
    const Platform& platform = SystemPlatform();
    const std::string windir = platform.Environment("windir");
    ASSERT_FALSE(windir.empty());
    EXPECT_EQ(platform.Environment("KORRIMAT_SURELY_UNSET_VARIABLE"), "");
    const auto full = platform.FullPathOf(windir + "\\.\\system32\\..");
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(platform.UpperCase(*full), platform.UpperCase(windir));
    EXPECT_FALSE(platform.FullPathOf("").has_value());
}

TEST(WindowsPlatform, FindsAFolderAndNotAMissingEntry)
{
    const Platform& platform = SystemPlatform();
    const auto found = platform.FindFirst(platform.Environment("windir"));
    ASSERT_TRUE(found.has_value());
    EXPECT_NE(found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_FALSE(platform.FindFirst("C:\\no such folder\\no such file").has_value());
}

TEST(WindowsPlatform, UpperCaseKeepsLengthAndNonLetters)
{
    const Platform& platform = SystemPlatform();
    EXPECT_EQ(platform.UpperCase("c:\\program files\\readme.txt"), "C:\\PROGRAM FILES\\README.TXT");
    EXPECT_EQ(platform.UpperCase(""), "");
    EXPECT_EQ(platform.UpperCase("123-_~"), "123-_~");
}

TEST(WindowsPlatform, LanguageNameNeverHoldsAZero)
{
    const std::string english = SystemPlatform().LanguageName(0x0409);
    ASSERT_FALSE(english.empty());
    EXPECT_EQ(english.find('\0'), std::string::npos);
    EXPECT_NE(english.find("English"), std::string::npos);
}

TEST(WindowsPlatform, ReadsRegionalSettings)
{
    const Platform& platform = SystemPlatform();
    EXPECT_FALSE(platform.LocaleText(LOCALE_SDECIMAL).empty());
    EXPECT_FALSE(platform.LocaleText(LOCALE_SLONGDATE).empty());
    EXPECT_EQ(platform.LocaleText(LOCALE_SDECIMAL).find('\0'), std::string::npos);
}

} // namespace
} // namespace korrimat
