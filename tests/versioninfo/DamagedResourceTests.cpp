// Damaged version resources: the check made before the system's queries, on real images, and
// the files kept from the mutation run, each of which once made a query read or write outside
// the image.

#include "fileinfo/FileInfo.h"
#include "platform/FileSystem.h"
#include "tests/support/Paths.h"
#include "tests/support/VersionSnapshot.h"
#include "versioninfo/FileVersionInfo.h"
#include "formats/VersionImageCheck.h"
#include "formats/VersionResource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace korrimat {
namespace {

using testing::ProgramFolder;
using testing::VersionFixture;

// The image exactly as the system reads it.
std::vector<BYTE> ImageOf(const std::string& path)
{
    const DWORD size = SystemPlatform().Versions().SizeOf(path);
    std::vector<BYTE> image(size);
    if (size == 0 || !ReadVersionInfo(path, image))
        image.clear();
    return image;
}

WORD WordAt(const std::vector<BYTE>& image, std::size_t offset)
{
    return static_cast<WORD>(image[offset] | (image[offset + 1] << 8));
}

void SetWord(std::vector<BYTE>& image, std::size_t offset, std::size_t value)
{
    image[offset] = static_cast<BYTE>(value & 0xFF);
    image[offset + 1] = static_cast<BYTE>((value >> 8) & 0xFF);
}

// Where the block with this key starts: its key follows the block's three words.
std::size_t BlockOf(const std::vector<BYTE>& image, const std::wstring& key)
{
    std::vector<BYTE> pattern;
    for (const wchar_t c : key) {
        pattern.push_back(static_cast<BYTE>(c & 0xFF));
        pattern.push_back(static_cast<BYTE>(c >> 8));
    }
    pattern.insert(pattern.end(), {0, 0});
    const auto found = std::search(image.begin(), image.end(), pattern.begin(), pattern.end());
    EXPECT_NE(found, image.end());
    return static_cast<std::size_t>(found - image.begin()) - 6;
}

std::size_t EndOf(const std::vector<BYTE>& image, std::size_t block) { return block + WordAt(image, block); }

// ---- The check, on images read from the fixtures ----

// The text the system's own query finds under a sub-block; empty for a value of no length.
std::u16string QueriedText(const std::vector<BYTE>& image, const std::wstring& subBlock)
{
    void* address = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(image.data(), subBlock.c_str(), &address, &length) || !address || length == 0)
        return {};
    return std::u16string(static_cast<const char16_t*>(address));
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// Every well-formed resource passes the check, and Korrimat's own walk reads it whole and reads
// what the system's queries read: the fixed part, every translation, every string of every table.
TEST(VersionImageCheck, WellFormedResourcesPassAndReadAsTheSystemReadsThem)
{
    std::vector<std::string> paths;
    for (const char* name : {"complete", "nodescription", "twopairs", "german", "blanks", "zerobyte",
                             "novarfileinfo", "driver0", "driver6", "driver11", "font3", "bigparts", "flags24",
                             "flags3f", "translations"})
        paths.push_back(VersionFixture(name));
    const std::string system = SystemPlatform().Environment().Get("windir") + "\\system32";
    for (const char* name : {"kernel32.dll", "user32.dll", "shell32.dll", "winspool.drv"})
        paths.push_back(system + "\\" + name);
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const std::vector<BYTE> image = ImageOf(path);
        ASSERT_FALSE(image.empty());
        EXPECT_TRUE(VersionImageIsWalkable(image));

        const VersionResourceContents contents = ReadVersionResource(image);
        EXPECT_TRUE(contents.whole);
        void* address = nullptr;
        UINT length = 0;
        ASSERT_TRUE(contents.fixed.has_value());
        ASSERT_TRUE(::VerQueryValueW(image.data(), L"\\", &address, &length));
        EXPECT_EQ(std::memcmp(address, &*contents.fixed, sizeof(FixedFileFields)), 0);
        if (::VerQueryValueW(image.data(), L"\\VarFileInfo\\Translation", &address, &length)) {
            ASSERT_EQ(contents.translations.size(), length / 4);
            EXPECT_EQ(std::memcmp(address, contents.translations.data(), length / 4 * 4), 0);
        }
        for (const VersionStringTable& table : contents.tables) {
            for (const VersionString& item : table.strings)
                EXPECT_EQ(QueriedText(image, L"\\StringFileInfo\\" + Wide(table.key) + L"\\" + Wide(item.key)), item.value)
                    << NarrowText(Wide(item.key));
        }
    }
}

TEST(VersionImageCheck, RootLengthLeavesRoomForNarrowText)
{
    std::vector<BYTE> image = ImageOf(VersionFixture("complete"));
    ASSERT_FALSE(image.empty());
    // The system's image holds the resource and, after it, as much room again plus four bytes.
    const std::size_t largest = (image.size() - 4) / 2;
    ASSERT_GE(largest, WordAt(image, 0));
    SetWord(image, 0, largest);
    EXPECT_TRUE(VersionImageIsWalkable(image));
    SetWord(image, 0, largest + 1);
    EXPECT_FALSE(VersionImageIsWalkable(image));
    SetWord(image, 0, 0xFFFF);
    EXPECT_FALSE(VersionImageIsWalkable(image));

    // Too short for the root block's own words, or for the fixed part the root holds.
    for (const std::size_t length : {0, 5, 6, 40, 91}) {
        SetWord(image, 0, length);
        EXPECT_FALSE(VersionImageIsWalkable(image)) << length;
    }
    // Just the fixed part: the queries find no child, and read nothing outside.
    SetWord(image, 0, 92);
    EXPECT_TRUE(VersionImageIsWalkable(image));
    EXPECT_FALSE(VersionImageIsWalkable(std::span<const BYTE>(image.data(), 5)));
}

TEST(VersionImageCheck, RootTypeSelectsTheLayout)
{
    std::vector<BYTE> image = ImageOf(VersionFixture("complete"));
    ASSERT_FALSE(image.empty());
    SetWord(image, 4, 1);
    EXPECT_TRUE(VersionImageIsWalkable(image));
    // A low byte from a space on reads as the first character of a 16-bit resource's key.
    for (const std::size_t type : {0x0002, 0x0020, 0x0100}) {
        SetWord(image, 4, type);
        EXPECT_FALSE(VersionImageIsWalkable(image)) << type;
    }
}

TEST(VersionImageCheck, ChildLengthsStayInsideTheirParent)
{
    const std::vector<BYTE> original = ImageOf(VersionFixture("complete"));
    ASSERT_FALSE(original.empty());
    const std::size_t table = BlockOf(original, L"040904B0");
    const std::size_t stringFileInfo = BlockOf(original, L"StringFileInfo");
    const std::size_t varFileInfo = BlockOf(original, L"VarFileInfo");
    const std::size_t rootEnd = EndOf(original, 0);

    std::vector<BYTE> image = original;
    // The table reaching exactly to its parent's end still fits; one byte more does not.
    SetWord(image, table, EndOf(image, stringFileInfo) - table);
    EXPECT_TRUE(VersionImageIsWalkable(image));
    SetWord(image, table, EndOf(image, stringFileInfo) - table + 1);
    EXPECT_FALSE(VersionImageIsWalkable(image));

    // The last block of the root reaching past the root's end.
    image = original;
    SetWord(image, varFileInfo, rootEnd - varFileInfo + 4);
    EXPECT_FALSE(VersionImageIsWalkable(image));

    // A length of zero names the block itself as the next one; below six bytes is no block.
    for (const std::size_t length : {0, 1, 5}) {
        image = original;
        SetWord(image, BlockOf(image, L"CompanyName"), length);
        EXPECT_FALSE(VersionImageIsWalkable(image)) << length;
    }
}

TEST(VersionImageCheck, TextValuesEndInsideTheRoot)
{
    const std::vector<BYTE> original = ImageOf(VersionFixture("complete"));
    ASSERT_FALSE(original.empty());
    const std::size_t rootEnd = EndOf(original, 0);
    // "ProductVersion" holds "5.1.2600.2180": its value starts after the key, aligned to four.
    const std::size_t item = BlockOf(original, L"ProductVersion");
    const std::size_t value = item + ((6 + 2 * 15 + 3) & ~std::size_t{3});
    ASSERT_EQ(WordAt(original, item + 2), 14u);
    ASSERT_EQ(WordAt(original, value), L'5');

    // A text value's length counts characters of two bytes each.
    std::vector<BYTE> image = original;
    SetWord(image, item + 2, (rootEnd - value) / 2);
    EXPECT_TRUE(VersionImageIsWalkable(image));
    SetWord(image, item + 2, (rootEnd - value) / 2 + 1);
    EXPECT_FALSE(VersionImageIsWalkable(image));

    // The same length read as binary, in bytes, still fits.
    SetWord(image, item + 4, 0);
    EXPECT_TRUE(VersionImageIsWalkable(image));
}

TEST(VersionImageCheck, KeysEndInsideTheirBlock)
{
    std::vector<BYTE> image = ImageOf(VersionFixture("zerobyte"));
    ASSERT_FALSE(image.empty());
    // Translation, the last block, cut (with its parents) to its key and padding: 32 bytes.
    const std::size_t translation = BlockOf(image, L"Translation");
    const std::size_t varFileInfo = BlockOf(image, L"VarFileInfo");
    ASSERT_EQ(EndOf(image, translation), EndOf(image, 0));
    SetWord(image, translation, 32);
    SetWord(image, translation + 2, 0);
    SetWord(image, varFileInfo, translation + 32 - varFileInfo);
    SetWord(image, 0, translation + 32);
    EXPECT_TRUE(VersionImageIsWalkable(image));
    // Its key's zero character and the padding overwritten: the key runs to the block's end.
    SetWord(image, translation + 6 + 2 * 11, 'X');
    SetWord(image, translation + 6 + 2 * 12, 'X');
    EXPECT_FALSE(VersionImageIsWalkable(image));
}

// ---- The files kept from the mutation run ----

// Each kept file, by name, and what was damaged in it.
const std::map<std::string, std::string> kKeptFiles{
    {"complete-size-0007.dll", "resource size cut to 7 bytes: the root block's length runs far past it"},
    {"nodescription-size-0207.dll", "resource size cut to 207 of its 780 bytes"},
    {"zerobyte-b02-length-ffff.dll", "the string table's length set to 0xFFFF, past its parent and the resource"},
    {"driver6-flips-0136.dll", "two bits flipped: root length 0x805C, root type 0x2000 (text)"},
};

std::vector<std::string> KeptFilesInFolder()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((ProgramFolder() + "\\regressions\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.emplace_back(found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(KeptDamagedFiles, EveryKeptFileIsDescribed)
{
    std::vector<std::string> described;
    for (const auto& [name, damage] : kKeptFiles)
        described.push_back(name);
    EXPECT_EQ(KeptFilesInFolder(), described);
}

TEST(KeptDamagedFiles, ReadAsAResourceWithNothingInIt)
{
    for (const auto& [name, damage] : kKeptFiles) {
        const std::string path = ProgramFolder() + "\\regressions\\" + name;
        SCOPED_TRACE(name + ": " + damage);

        CFileInfo fileInfo;
        fileInfo.SetFullPathName(path);
        EXPECT_TRUE(fileInfo.FileExists());
        EXPECT_EQ(fileInfo.FileName(), name);
        EXPECT_GT(fileInfo.FileSize64(), 0);

        // Present, with the all-zero fixed part and no string table.
        CFileVersionInfo fresh;
        fresh.SetFullPathName(path);
        std::vector<std::string> empty{path, "available", "0.0", "0.00.0000", "0.00.0000", "", "Unknown", "Unknown", ""};
        empty.resize(empty.size() + kVersionItems.size());
        EXPECT_EQ(testing::VersionSnapshot(fresh), empty);

        // After a whole file, the fixed part is replaced and the strings and language stay.
        CFileVersionInfo reused;
        reused.SetFullPathName(VersionFixture("driver6"));
        reused.SetFullPathName(VersionFixture("complete"));
        const std::string language = reused.Language();
        reused.SetFullPathName(path);
        EXPECT_TRUE(reused.Available());
        EXPECT_EQ(reused.VerFile(), "0.00.0000");
        EXPECT_EQ(reused.FileType(), "Unknown");
        EXPECT_EQ(reused.FileSubType(), "Network drv");
        EXPECT_EQ(reused.Language(), language);
        EXPECT_EQ(reused.CompanyName(), "Complete Company");
        EXPECT_EQ(reused.ProductVersion(), "5.1.2600.2180");
    }
}

} // namespace
} // namespace korrimat
