#include "tests/support/Paths.h"
#include "tests/support/PlatformWith.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VersionSnapshot.h"
#include "versioninfo/FileVersionInfo.h"
#include "versioninfo/VersionItems.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace korrimat {
namespace {

using testing::ProgramFolder;
using testing::TempFolder;
using testing::VersionSnapshot;
using testing::VersionFixture;

// The texts read from the string table, in the table's order.
std::vector<std::string> StringItems(const CFileVersionInfo& info)
{
    std::vector<std::string> texts;
    for (const VersionItem& item : kVersionItems) {
        if (!item.key.empty())
            texts.push_back((info.*item.property)());
    }
    return texts;
}

CFileVersionInfo Read(const std::string& path, const Platform& platform = SystemPlatform())
{
    CFileVersionInfo info(platform);
    info.SetFullPathName(path);
    return info;
}

// ---- The fixtures, read through the real platform ----

TEST(VersionFixtures, AllNineItemsUnder040904B0)
{
    const CFileVersionInfo info = Read(VersionFixture("complete"));
    EXPECT_EQ(info.FullPathName(), VersionFixture("complete"));
    EXPECT_TRUE(info.Available());
    EXPECT_EQ(info.VerStructure(), "1.0");
    EXPECT_EQ(info.VerFile(), "1.02.0304");
    EXPECT_EQ(info.VerProduct(), "5.01.26002180");
    EXPECT_EQ(info.FileFlags(), "");
    EXPECT_EQ(info.FileOS(), "NT-Win32");
    EXPECT_EQ(info.FileType(), "DLL");
    EXPECT_EQ(info.FileSubType(), "");
    EXPECT_EQ(info.Language(), SystemPlatform().Versions().LanguageName(0x0409));
    EXPECT_NE(info.Language().find("English"), std::string::npos) << info.Language();
    EXPECT_EQ(info.Language().find('\0'), std::string::npos);
    const std::vector<std::string> expected{
        "Complete Company", "Complete description", "1.2.3.4",          "complete",     "Copyright (C) Complete",
        "Complete trademark", "complete.dll",       "Complete product", "5.1.2600.2180"};
    EXPECT_EQ(StringItems(info), expected);
}

TEST(VersionFixtures, OnlyTheFirstTranslationPairSelectsTheTable)
{
    const CFileVersionInfo info = Read(VersionFixture("twopairs"));
    EXPECT_EQ(info.Language(), SystemPlatform().Versions().LanguageName(0x0409));
    EXPECT_EQ(info.CompanyName(), "First table company");
    EXPECT_EQ(info.ProductName(), "First table product");
    // Present only under the second pair.
    EXPECT_EQ(info.LegalTrademarks(), "");
}

TEST(VersionFixtures, MissingItemStaysEmpty)
{
    const CFileVersionInfo info = Read(VersionFixture("nodescription"));
    EXPECT_EQ(info.FileDescription(), "");
    EXPECT_EQ(info.CompanyName(), "Undescribed Company");
    EXPECT_EQ(info.ProductVersion(), "4.0.0.950");
    EXPECT_EQ(info.VerFile(), "4.00.0950");
    EXPECT_EQ(info.FileFlags(), "Debug PreRel");
    EXPECT_EQ(info.FileOS(), "DOS-Win32");
    EXPECT_EQ(info.FileType(), "Application");
}

TEST(VersionFixtures, German1252Table)
{
    const CFileVersionInfo info = Read(VersionFixture("german"));
    const std::string german = SystemPlatform().Versions().LanguageName(0x0407);
    ASSERT_FALSE(german.empty());
    EXPECT_NE(german, SystemPlatform().Versions().LanguageName(0x0409));
    EXPECT_EQ(info.Language(), german);
    EXPECT_EQ(info.CompanyName(), "Deutsche Firma");
    EXPECT_EQ(info.FileDescription(), "Deutsche Beschreibung");
    EXPECT_EQ(info.VerFile(), "3.10.0103");
}

TEST(VersionFixtures, BlanksAroundAValueStay)
{
    const CFileVersionInfo info = Read(VersionFixture("blanks"));
    EXPECT_EQ(info.ProductName(), "  Padded product  ");
    EXPECT_EQ(info.CompanyName(), " ");
}

TEST(VersionFixtures, ValueEndsAtItsFirstZeroByte)
{
    const std::string path = VersionFixture("zerobyte");
    // The resource really holds "abc", a zero and "def" as the platform delivers it.
    const DWORD size = SystemPlatform().Versions().SizeOf(path);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> image(size + 1);
    ASSERT_TRUE(ReadVersionInfo(path, std::span<BYTE>(image.data(), size)));
    const std::optional<VersionValue> value = SystemPlatform().Versions().Query(image, "\\StringFileInfo\\040904B0\\ProductName");
    ASSERT_TRUE(value);
    ASSERT_GE(value->length, 7u);
    EXPECT_EQ(std::memcmp(value->address, "abc\0def", 8), 0);

    const CFileVersionInfo info = Read(path);
    EXPECT_EQ(info.ProductName(), "abc");
    EXPECT_EQ(info.Language(), SystemPlatform().Versions().LanguageName(0x0409));
    EXPECT_EQ(info.VerFile(), "1.00.0000");
    EXPECT_EQ(info.FileType(), "DLL");
}

TEST(VersionFixtures, NoTranslationReadsOnlyTheFixedPart)
{
    const CFileVersionInfo fresh = Read(VersionFixture("novarfileinfo"));
    EXPECT_TRUE(fresh.Available());
    EXPECT_EQ(fresh.VerFile(), "6.00.600016386");
    EXPECT_EQ(fresh.FileType(), "Application");
    EXPECT_EQ(fresh.Language(), "");
    EXPECT_EQ(StringItems(fresh), std::vector<std::string>(9));

    CFileVersionInfo reused = Read(VersionFixture("complete"));
    const std::vector<std::string> before = StringItems(reused);
    const std::string language = reused.Language();
    reused.SetFullPathName(VersionFixture("novarfileinfo"));
    EXPECT_EQ(reused.VerFile(), "6.00.600016386");
    EXPECT_EQ(reused.Language(), language);
    EXPECT_EQ(StringItems(reused), before);
}

TEST(VersionFixtures, DriverSubtypes)
{
    const CFileVersionInfo unknown = Read(VersionFixture("driver0"));
    EXPECT_EQ(unknown.FileType(), "Driver");
    EXPECT_EQ(unknown.FileSubType(), "Unknown");
    EXPECT_EQ(unknown.VerFile(), "1.00.0000");

    CFileVersionInfo info = Read(VersionFixture("driver6"));
    EXPECT_EQ(info.FileType(), "Driver");
    EXPECT_EQ(info.FileSubType(), "Network drv");
    EXPECT_EQ(info.VerFile(), "1.00.0006");

    const CFileVersionInfo unnamed = Read(VersionFixture("driver11"));
    EXPECT_EQ(unnamed.FileType(), "Driver");
    EXPECT_EQ(unnamed.FileSubType(), "");
    // A subtype without a name leaves the previous file's subtype text in place.
    info.SetFullPathName(VersionFixture("driver11"));
    EXPECT_EQ(info.VerFile(), "1.00.0011");
    EXPECT_EQ(info.FileSubType(), "Network drv");
}

TEST(VersionFixtures, TrueTypeFont)
{
    const CFileVersionInfo info = Read(VersionFixture("font3"));
    EXPECT_EQ(info.FileType(), "Font");
    EXPECT_EQ(info.FileSubType(), "TrueType Font");
    EXPECT_EQ(info.FileOS(), "DOS-Win16");
}

TEST(VersionFixtures, VersionPartsAbove32767)
{
    const CFileVersionInfo info = Read(VersionFixture("bigparts"));
    EXPECT_EQ(info.VerFile(), "2.00.5072742");
    EXPECT_EQ(info.VerProduct(), "1.00.40000");
}

TEST(VersionFixtures, Flags)
{
    EXPECT_EQ(Read(VersionFixture("flags24")).FileFlags(), "Patched Special");
    // Its flags mask is 0.
    EXPECT_EQ(Read(VersionFixture("flags3f")).FileFlags(), "Debug PreRel Patched Private Info Special");
}

// ---- The object's own behaviour ----

TEST(FileVersionInfo, EmptyPathChangesNothingAndRunsNoRefresh)
{
    const TempFolder folder("korrimat-versioninfo");
    const std::string copy = folder.Path() + "\\copy.dll";
    ASSERT_TRUE(::CopyFileA(VersionFixture("complete").c_str(), copy.c_str(), FALSE));
    CFileVersionInfo info;
    info.SetFullPathName(copy);
    ASSERT_TRUE(info.Available());
    const std::vector<std::string> before = VersionSnapshot(info);

    // With the file no longer a DLL, a refresh would show: none may run.
    folder.WriteFile("copy.dll", "plain text");
    info.SetFullPathName("");
    EXPECT_EQ(VersionSnapshot(info), before);

    info.Refresh();
    EXPECT_FALSE(info.Available());
    std::vector<std::string> after = before;
    after[1] = "not available";
    EXPECT_EQ(VersionSnapshot(info), after);
}

TEST(FileVersionInfo, RelativeNameStoresTheFullPath)
{
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(ProgramFolder().c_str()));
    const CFileVersionInfo plain = Read("vi_complete.dll");
    const CFileVersionInfo winding = Read(".\\nowhere\\..\\vi_complete.dll");
    ::SetCurrentDirectoryA(previous);

    EXPECT_EQ(plain.FullPathName(), VersionFixture("complete"));
    EXPECT_TRUE(plain.Available());
    EXPECT_EQ(plain.CompanyName(), "Complete Company");
    EXPECT_EQ(winding.FullPathName(), VersionFixture("complete"));
}

TEST(FileVersionInfo, FilesWithoutAResourceAreNotAvailable)
{
    const TempFolder folder("korrimat-versioninfo");
    const std::string text = folder.WriteFile("notes.txt", "Not a program.\r\n");
    for (const std::string& path : {text, folder.Path(), folder.Path() + "\\missing.dll"}) {
        const CFileVersionInfo fresh = Read(path);
        std::vector<std::string> expected(19);
        expected[0] = path;
        expected[1] = "not available";
        EXPECT_EQ(VersionSnapshot(fresh), expected) << path;

        // Everything but the path and Available keeps the previous file's values.
        CFileVersionInfo reused = Read(VersionFixture("complete"));
        std::vector<std::string> kept = VersionSnapshot(reused);
        reused.SetFullPathName(path);
        kept[0] = path;
        kept[1] = "not available";
        EXPECT_EQ(VersionSnapshot(reused), kept) << path;
    }
}

TEST(FileVersionInfo, RefreshKeepsItemsTheNextFileLacks)
{
    CFileVersionInfo info = Read(VersionFixture("complete"));
    info.SetFullPathName(VersionFixture("nodescription"));
    EXPECT_EQ(info.FileDescription(), "Complete description");
    EXPECT_EQ(info.CompanyName(), "Undescribed Company");
    EXPECT_EQ(info.OriginalFilename(), "nodescription.dll");
    EXPECT_EQ(info.VerFile(), "4.00.0950");
    EXPECT_EQ(info.FileType(), "Application");

    // A string table of another language replaces only what it holds.
    info.SetFullPathName(VersionFixture("german"));
    EXPECT_EQ(info.Language(), SystemPlatform().Versions().LanguageName(0x0407));
    EXPECT_EQ(info.CompanyName(), "Deutsche Firma");
    EXPECT_EQ(info.ProductName(), "Undescribed product");
}

TEST(FileVersionInfo, RefreshingTwiceGivesTheSameValues)
{
    for (const char* name : {"complete", "twopairs", "zerobyte", "driver6"}) {
        CFileVersionInfo info = Read(VersionFixture(name));
        const std::vector<std::string> first = VersionSnapshot(info);
        info.Refresh();
        EXPECT_EQ(VersionSnapshot(info), first) << name;
    }
}

TEST(FileVersionInfo, SystemFilesReadWithoutError)
{
    const std::string system = SystemPlatform().Environment().Get("windir") + "\\system32";
    for (const std::string& path : {system + "\\kernel32.dll", system + "\\winex11.drv",
                                    system + "\\winspool.drv", system + "\\drivers\\ksecdd.sys"}) {
        const CFileVersionInfo info = Read(path);
        ASSERT_TRUE(info.Available()) << path;
        EXPECT_EQ(info.VerStructure(), "1.0") << path;
        EXPECT_FALSE(info.FileVersion().empty()) << path;
        EXPECT_FALSE(info.CompanyName().empty()) << path;
        EXPECT_FALSE(info.Language().empty()) << path;
        EXPECT_EQ(info.Language().find('\0'), std::string::npos) << path;
    }
    // Wine marks its print spooler as a printer driver.
    const CFileVersionInfo spooler = Read(system + "\\winspool.drv");
    EXPECT_EQ(spooler.FileType(), "Driver");
    EXPECT_EQ(spooler.FileSubType(), "Printer drv");
    // A driver that carries no version resource at all.
    EXPECT_FALSE(Read(system + "\\drivers\\ndis.sys").Available());
}

// ---- Answers the real system cannot be made to give ----

struct Answer {
    bool found = false;
    const void* address = nullptr;
    UINT length = 0;
};

// The real platform, except that one sub-block's query is answered by `answer` (when set),
// which sees the image and what the real query would have answered.
class HandMadeQueryCalls : public VersionResources {
public:
    explicit HandMadeQueryCalls(std::string subBlock) : subBlock_(std::move(subBlock)) {}

    std::function<Answer(std::span<const BYTE> image, const Answer& real)> answer;

    std::optional<VersionValue> Query(std::span<const BYTE> image, const std::string& subBlock) const override
    {
        const std::optional<VersionValue> found = VersionResources::Query(image, subBlock);
        const Answer real = found ? Answer{true, found->address, found->length} : Answer{};
        const Answer given = (answer && subBlock == subBlock_) ? answer(image, real) : real;
        return given.found ? std::optional(VersionValue{given.address, given.length}) : std::nullopt;
    }

private:
    std::string subBlock_;
};
using HandMadeQuery = testing::PlatformWith<HandMadeQueryCalls, VersionResources>;

// Memory that is certainly not part of any resource image.
const BYTE elsewhere[64] = {1, 2, 3, 4, 5, 6, 7, 8, 'x', 'y', 'z'};

struct BadAnswer {
    const char* what;
    std::function<Answer(std::span<const BYTE> image, const Answer& real)> answer;
};

TEST(FileVersionInfoHandMade, UnusableRootGivesTheAllZeroRecord)
{
    const std::vector<BadAnswer> answers{
        {"query fails", [](auto, const Answer&) { return Answer{}; }},
        {"fewer than 52 bytes", [](auto, const Answer& real) { return Answer{true, real.address, 51}; }},
        {"null address", [](auto, const Answer&) { return Answer{true, nullptr, 52}; }},
        {"record runs past the image's end",
         [](std::span<const BYTE> image, const Answer&) { return Answer{true, image.data() + image.size() - 20, 52}; }},
        {"address outside the image", [](auto, const Answer&) { return Answer{true, elsewhere, 52}; }},
    };
    for (const BadAnswer& bad : answers) {
        HandMadeQuery platform("\\");
        CFileVersionInfo info = Read(VersionFixture("driver6"), platform);
        ASSERT_EQ(info.VerFile(), "1.00.0006");
        ASSERT_EQ(info.FileSubType(), "Network drv");

        platform.answer = bad.answer;
        info.Refresh();
        EXPECT_TRUE(info.Available()) << bad.what;
        EXPECT_EQ(info.VerStructure(), "0.0") << bad.what;
        EXPECT_EQ(info.VerFile(), "0.00.0000") << bad.what;
        EXPECT_EQ(info.VerProduct(), "0.00.0000") << bad.what;
        EXPECT_EQ(info.FileFlags(), "") << bad.what;
        EXPECT_EQ(info.FileOS(), "Unknown") << bad.what;
        EXPECT_EQ(info.FileType(), "Unknown") << bad.what;
        EXPECT_EQ(info.FileSubType(), "Network drv") << bad.what;
    }
}

TEST(FileVersionInfoHandMade, UnusableTranslationCountsAsMissing)
{
    const std::vector<BadAnswer> answers{
        {"query fails", [](auto, const Answer&) { return Answer{}; }},
        {"length 0", [](auto, const Answer& real) { return Answer{true, real.address, 0}; }},
        {"length 2", [](auto, const Answer& real) { return Answer{true, real.address, 2}; }},
        {"null address", [](auto, const Answer&) { return Answer{true, nullptr, 4}; }},
        {"two bytes before the image's end",
         [](std::span<const BYTE> image, const Answer&) { return Answer{true, image.data() + image.size() - 2, 4}; }},
        {"address outside the image", [](auto, const Answer&) { return Answer{true, elsewhere, 4}; }},
    };
    for (const BadAnswer& bad : answers) {
        HandMadeQuery platform("\\VarFileInfo\\Translation");
        CFileVersionInfo info = Read(VersionFixture("complete"), platform);
        const std::string language = info.Language();
        const std::vector<std::string> items = StringItems(info);

        platform.answer = bad.answer;
        info.SetFullPathName(VersionFixture("german"));
        EXPECT_EQ(info.VerFile(), "3.10.0103") << bad.what;
        EXPECT_EQ(info.Language(), language) << bad.what;
        EXPECT_EQ(StringItems(info), items) << bad.what;
    }
}

TEST(FileVersionInfoHandMade, TranslationLongerThanTheImageUsesItsFirstPair)
{
    HandMadeQuery platform("\\VarFileInfo\\Translation");
    platform.answer = [](auto, const Answer& real) { return Answer{true, real.address, 0xFFFFFF}; };
    const CFileVersionInfo info = Read(VersionFixture("german"), platform);
    EXPECT_EQ(info.Language(), SystemPlatform().Versions().LanguageName(0x0407));
    EXPECT_EQ(info.CompanyName(), "Deutsche Firma");
}

TEST(FileVersionInfoHandMade, StringValueAddresses)
{
    const struct {
        const char* what;
        std::function<Answer(std::span<const BYTE> image, const Answer& real)> answer;
        const char* companyName;
    } cases[] = {
        {"query fails", [](auto, const Answer&) { return Answer{}; }, "Complete Company"},
        {"length 0", [](auto, const Answer& real) { return Answer{true, real.address, 0}; }, "Complete Company"},
        // The reported length does not limit the text.
        {"length 1", [](auto, const Answer& real) { return Answer{true, real.address, 1}; }, "Complete Company"},
        {"null address", [](auto, const Answer&) { return Answer{true, nullptr, 5}; }, ""},
        {"address outside the image", [](auto, const Answer&) { return Answer{true, elsewhere + 8, 4}; }, ""},
        {"last byte of the image",
         [](std::span<const BYTE> image, const Answer&) { return Answer{true, &image.back(), 5}; }, ""},
        {"just past the image",
         [](std::span<const BYTE> image, const Answer&) { return Answer{true, image.data() + image.size(), 5}; }, ""},
    };
    for (const auto& c : cases) {
        HandMadeQuery platform("\\StringFileInfo\\040904B0\\CompanyName");
        CFileVersionInfo info = Read(VersionFixture("complete"), platform);
        std::vector<std::string> expected = StringItems(info);
        expected[0] = c.companyName;
        platform.answer = c.answer;
        info.Refresh();
        EXPECT_EQ(StringItems(info), expected) << c.what;
    }
}

// The real platform, except that languages are named by hand.
class HandMadeLanguageNameCalls : public VersionResources {
public:
    std::string name;
    mutable std::vector<DWORD> asked;

    std::string LanguageName(DWORD languageId) const override
    {
        asked.push_back(languageId);
        return name;
    }
};
using HandMadeLanguageName = testing::PlatformWith<HandMadeLanguageNameCalls, VersionResources>;

TEST(FileVersionInfoHandMade, LanguageNameIsAskedForTheFirstPairsLanguage)
{
    HandMadeLanguageName platform;
    platform.name = "Deutsch";
    CFileVersionInfo info = Read(VersionFixture("german"), platform);
    EXPECT_EQ(info.Language(), "Deutsch");
    info.SetFullPathName(VersionFixture("twopairs"));
    info.SetFullPathName(VersionFixture("novarfileinfo"));
    EXPECT_EQ(platform.asked, (std::vector<DWORD>{0x0407, 0x0409}));

    // A language the system cannot name empties Language instead of keeping the old name.
    platform.name.clear();
    info.SetFullPathName(VersionFixture("complete"));
    EXPECT_EQ(info.Language(), "");
    EXPECT_EQ(info.CompanyName(), "Complete Company");
}

} // namespace
} // namespace korrimat
