#include "formats/IconSourceCheck.h"
#include "platform/Locale.h"
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
    const std::string windir = platform.Environment().Get("windir");
    ASSERT_FALSE(windir.empty());
    EXPECT_EQ(platform.Environment().Get("KORRIMAT_SURELY_UNSET_VARIABLE"), "");
    const auto full = platform.Entries().FullPathOf(windir + "\\.\\system32\\..");
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(UpperCase(*full), UpperCase(windir));
    EXPECT_FALSE(platform.Entries().FullPathOf("").has_value());
}

TEST(WindowsPlatform, FindsAFolderAndNotAMissingEntry)
{
    const Platform& platform = SystemPlatform();
    const auto found = platform.Entries().FindFirst(platform.Environment().Get("windir"));
    ASSERT_TRUE(found.has_value());
    EXPECT_NE(found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_FALSE(platform.Entries().FindFirst("C:\\no such folder\\no such file").has_value());
}

TEST(WindowsPlatform, UpperCaseKeepsLengthAndNonLetters)
{
    EXPECT_EQ(UpperCase("c:\\program files\\readme.txt"), "C:\\PROGRAM FILES\\README.TXT");
    EXPECT_EQ(UpperCase(""), "");
    EXPECT_EQ(UpperCase("123-_~"), "123-_~");
}

TEST(WindowsPlatform, LanguageNameNeverHoldsAZero)
{
    const std::string english = SystemPlatform().Versions().LanguageName(0x0409);
    ASSERT_FALSE(english.empty());
    EXPECT_EQ(english.find('\0'), std::string::npos);
    EXPECT_NE(english.find("English"), std::string::npos);
}

TEST(WindowsPlatform, ReadsRegionalSettings)
{
    EXPECT_FALSE(LocaleText(LOCALE_SDECIMAL).empty());
    EXPECT_FALSE(LocaleText(LOCALE_SLONGDATE).empty());
    EXPECT_EQ(LocaleText(LOCALE_SDECIMAL).find('\0'), std::string::npos);
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
        const std::optional<ShellDescription> described = SystemPlatform().Shell().Describe(folder.WriteFile(name, bytes));
        ASSERT_TRUE(described) << name;
        EXPECT_NE(described->displayName.find(name.substr(0, name.find('.'))), std::string::npos);
        EXPECT_TRUE(described->icon) << name;
    }
}

// The pixels of an icon drawn at its own size on white.
std::vector<COLORREF> IconPixels(HICON icon)
{
    ICONINFO parts{};
    if (!icon || !::GetIconInfo(icon, &parts))
        return {};
    BITMAP shape{};
    ::GetObjectW(parts.hbmColor ? parts.hbmColor : parts.hbmMask, sizeof(shape), &shape);
    const UniqueBitmap color(parts.hbmColor), mask(parts.hbmMask);
    const int size = shape.bmWidth;
    HDC screen = ::GetDC(nullptr);
    const UniqueMemoryDc surface(::CreateCompatibleDC(screen));
    const UniqueBitmap canvas(::CreateCompatibleBitmap(screen, size, size));
    ::ReleaseDC(nullptr, screen);
    const HGDIOBJ old = ::SelectObject(surface.Get(), canvas.Get());
    const RECT all{0, 0, size, size};
    ::FillRect(surface.Get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::DrawIconEx(surface.Get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            pixels.push_back(::GetPixel(surface.Get(), x, y));
    ::SelectObject(surface.Get(), old);
    return pixels;
}

TEST(BoundShellFolder, DescribesAFileAsTheShellDoesByItsPathWhateverTheExtensionSetting)
{
    const testing::TempFolder folder("korrimat-bound-view");
    const std::string image = KorrimatImage();
    const std::string files[] = {
        folder.WriteFile("notes.txt", "text"), folder.WriteFile("no type.text", "text"),
        folder.WriteFile("Start.bat", "@echo off"), folder.WriteFile("program.exe", image),
        folder.WriteFile("UPPER.TXT", "TEXT")};
    constexpr const wchar_t* kAdvanced = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
    DWORD before = 0, size = sizeof(before);
    const bool had = ::RegGetValueW(HKEY_CURRENT_USER, kAdvanced, L"HideFileExt", RRF_RT_REG_DWORD, nullptr, &before,
                                    &size) == ERROR_SUCCESS;
    const ShellDescriptions& shell = SystemPlatform().Shell();
    for (const DWORD hide : {0u, 1u}) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kAdvanced, L"HideFileExt", REG_DWORD, &hide, sizeof(hide)),
                  ERROR_SUCCESS);
        BindShellFolder(folder.Path());
        for (const std::string& path : files) {
            SHFILEINFOA byPath{};
            ASSERT_NE(::SHGetFileInfoA(path.c_str(), 0, &byPath, sizeof(byPath), SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME), 0u);
            const UniqueIcon iconByPath(byPath.hIcon);
            const std::optional<ShellDescription> bound = shell.Describe(path);
            ASSERT_TRUE(bound) << path;
            EXPECT_EQ(bound->displayName, byPath.szDisplayName) << path << ", extensions hidden: " << hide;
            EXPECT_EQ(bound->typeName, byPath.szTypeName) << path;
            EXPECT_EQ(IconPixels(bound->icon.Get()), IconPixels(byPath.hIcon)) << path;
            EXPECT_FALSE(IconPixels(bound->icon.Get()).empty()) << path;
        }
    }
    if (had)
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kAdvanced, L"HideFileExt", REG_DWORD, &before, sizeof(before));
    else
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kAdvanced, L"HideFileExt");
}

} // namespace
} // namespace korrimat
