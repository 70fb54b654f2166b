#include "platform/IconSourceCheck.h"
#include "platform/Platform.h"
#include "platform/SizedText.h"
#include "platform/UniqueHandle.h"
#include "tests/support/Paths.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
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

// Korrimat's own executable, built beside the tests.
std::string KorrimatImage()
{
    std::ifstream in(testing::KorrimatExecutable(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class BytesInMemory : public ByteSource {
public:
    explicit BytesInMemory(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    bool Read(std::uint64_t offset, void* into, std::size_t count) const override
    {
        if (offset > bytes_.size() || count > bytes_.size() - offset)
            return false;
        std::memcpy(into, bytes_.data() + offset, count);
        return true;
    }

private:
    std::string_view bytes_;
};

// Some shells (Wine's) read a program's icons trusting every offset in the file: a program cut
// short, or an icon file pointing past its end, made them read outside the file and fault.
TEST(WindowsPlatform, ProgramsAndIconFilesCutShortAreDescribedWithoutTheirIcons)
{
    const std::string image = KorrimatImage();
    ASSERT_GT(image.size(), 4096u);
    EXPECT_TRUE(IconSourceIsWhole(BytesInMemory(image)));
    int refused = 0;
    for (std::size_t length = 0; length < image.size(); length += 61)
        refused += IconSourceIsWhole(BytesInMemory(std::string_view(image).substr(0, length))) ? 0 : 1;
    EXPECT_GT(refused, 0);

    std::string icon("\0\0\1\0\1\0", 6);
    icon += std::string(8, '\x20') + std::string("\x00\x10\x00\x00\x00\x00\x10\x00", 8);  // 4 KiB at 1 MiB
    EXPECT_FALSE(IconSourceIsWhole(BytesInMemory(icon)));

    const testing::TempFolder folder("korrimat-icons");
    const std::pair<std::string, std::string> files[] = {
        {"headers only.exe", image.substr(0, 1024)},
        {"cut in half.exe", image.substr(0, image.size() / 2)},
        {"past its end.ico", icon},
    };
    for (const auto& [name, bytes] : files) {
        SHFILEINFOA info{};
        EXPECT_NE(SystemPlatform().ShellInfoOf(folder.WriteFile(name, bytes), info), 0u) << name;
        EXPECT_NE(std::string(info.szDisplayName).find(name.substr(0, name.find('.'))), std::string::npos);
        EXPECT_NE(info.hIcon, nullptr) << name;
        const UniqueIcon owned(info.hIcon);
    }
}

} // namespace
} // namespace korrimat
