// CFileInfo on real files and folders made for each test, and on failures a fake platform gives.

#include "fileinfo/DateValue.h"
#include "fileinfo/FileInfo.h"
#include "platform/Locale.h"
#include "tests/fileinfo/RegionalSettings.h"
#include "tests/support/PlatformWith.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace korrimat {
namespace {

using testing::TempFolder;

std::string ShortFormOf(const std::string& path)
{
    return SystemPlatform().Entries().ShortPathOf(path).value_or(std::string());
}

std::string Upper(const std::string& text)
{
    return UpperCase(text);
}

class FileInfoOnDisk : public ::testing::Test {
protected:
    TempFolder folder_{"korrimat-fileinfo"};
};

TEST_F(FileInfoOnDisk, ShortAliasesInUpperCaseResolveToStoredLongNames)
{
    folder_.AddFolder("Program Files Alike");
    folder_.AddFolder("Program Files Alike\\Deep App");
    const std::string file = folder_.AddFile("Program Files Alike\\Deep App\\Long File Name.txt");
    const std::string shortFile = ShortFormOf(file);
    ASSERT_FALSE(shortFile.empty());
    ASSERT_NE(shortFile, file) << "the platform gives these names 8.3 aliases";

    CFileInfo info;
    info.SetFullPathName(Upper(shortFile));
    EXPECT_TRUE(info.FileExists());
    EXPECT_TRUE(info.PathExists());
    EXPECT_EQ(info.FullPathName(), file);
    EXPECT_EQ(info.FilePath(), folder_ / "Program Files Alike\\Deep App\\");
    EXPECT_EQ(info.FileName(), "Long File Name.txt");
    EXPECT_EQ(info.FileExtension(), "txt");
    EXPECT_EQ(info.ShortPathName(), shortFile);
    const std::string alias = shortFile.substr(shortFile.find_last_of('\\') + 1);
    EXPECT_EQ(info.ShortName(), alias);
    EXPECT_EQ(info.ShortPath(), shortFile.substr(0, shortFile.size() - alias.size()));
    EXPECT_EQ(info.FileSize(), 8);
    EXPECT_EQ(info.FileSizeHigh(), 0);
    EXPECT_NE(info.hIcon(), nullptr);
    EXPECT_FALSE(info.TypeName().empty());
}

TEST_F(FileInfoOnDisk, AnEightThreeNameIsItsOwnShortNameInUpperCase)
{
    const std::string file = folder_.AddFile("readme.txt");
    CFileInfo info;
    info.SetFullPathName(file);
    EXPECT_EQ(info.FileName(), "readme.txt");
    EXPECT_EQ(info.ShortName(), "README.TXT");
    EXPECT_EQ(info.ShortPathName(), ShortFormOf(file));
    EXPECT_EQ(info.ShortPath(), ShortFormOf(folder_.Path()) + "\\");
}

TEST_F(FileInfoOnDisk, AFileInADriveRoot)
{
    const std::string root = "c:\\korrimat-root-fileinfo.txt";
    HANDLE file = ::CreateFileA(root.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    CFileInfo info;
    info.SetFullPathName(Upper(root));
    ::DeleteFileA(root.c_str());
    EXPECT_TRUE(info.FileExists());
    EXPECT_EQ(info.FilePath(), "C:\\");
    EXPECT_EQ(info.FullPathName(), "C:\\korrimat-root-fileinfo.txt");
}

TEST_F(FileInfoOnDisk, AFolderItself)
{
    CFileInfo info;
    info.SetFullPathName("C:\\WINDOWS");
    EXPECT_TRUE(info.FileExists());
    EXPECT_NE(info.Attributes() & FILE_ATTRIBUTE_DIRECTORY, 0);
    EXPECT_EQ(info.FileName(), "windows");
    EXPECT_EQ(info.FilePath(), "C:\\");
    EXPECT_EQ(info.FullPathName(), "C:\\windows");
}

TEST_F(FileInfoOnDisk, AWildcardDescribesTheFirstMatch)
{
    folder_.AddFile("first.log");
    folder_.AddFile("second.log");
    folder_.AddFile("other.txt");
    CFileInfo info;
    info.SetFullPathName(folder_ / "*.LOG");
    EXPECT_TRUE(info.FileExists());
    EXPECT_TRUE(info.FileName() == "first.log" || info.FileName() == "second.log") << info.FileName();
    EXPECT_EQ(info.FullPathName(), folder_ / info.FileName());
    EXPECT_EQ(info.FileExtension(), "log");
}

TEST_F(FileInfoOnDisk, AMissingPathOnAFreshObjectLeavesEverythingEmpty)
{
    CFileInfo info;
    info.SetFullPathName(folder_ / "no such file.txt");
    EXPECT_EQ(info.FullPathName(), folder_ / "no such file.txt");
    EXPECT_FALSE(info.FileExists());
    EXPECT_FALSE(info.PathExists());
    EXPECT_EQ(info.FileName(), "");
    EXPECT_EQ(info.TypeName(), "");
    EXPECT_EQ(info.FileSize(), 0);
    EXPECT_EQ(info.ModifyTime(), 0.0);
    EXPECT_EQ(info.hIcon(), nullptr);

    // An empty path changes nothing at all.
    info.SetFullPathName("");
    EXPECT_EQ(info.FullPathName(), folder_ / "no such file.txt");
}

TEST_F(FileInfoOnDisk, AVanishedEntryKeepsTheEarlierValues)
{
    const std::string file = folder_.AddFile("soon gone.txt");
    CFileInfo info;
    info.SetFullPathName(file);
    ASSERT_TRUE(info.FileExists());
    ::DeleteFileA(file.c_str());
    info.Refresh();
    EXPECT_FALSE(info.FileExists());
    EXPECT_TRUE(info.PathExists()) << "kept from the refresh that found the entry";
    EXPECT_EQ(info.FileName(), "soon gone.txt");
    EXPECT_EQ(info.FullPathName(), file);
    EXPECT_EQ(info.FileSize(), 8);
}

TEST_F(FileInfoOnDisk, AttributesAsSet)
{
    const std::string file = folder_.AddFile("flags.txt");
    ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                        FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    CFileInfo info;
    info.SetFullPathName(file);
    EXPECT_TRUE(info.attrReadOnly());
    EXPECT_TRUE(info.attrHidden());
    EXPECT_TRUE(info.attrSystem());
    EXPECT_TRUE(info.attrArchive());
    EXPECT_FALSE(info.attrCompressed());

    ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    info.Refresh();
    EXPECT_TRUE(info.attrReadOnly());
    EXPECT_FALSE(info.attrHidden());
    EXPECT_FALSE(info.attrSystem());
    EXPECT_TRUE(info.attrArchive());
    EXPECT_FALSE(info.attrTemporary());
}

TEST_F(FileInfoOnDisk, TimesInLocalTimeToTheSecond)
{
    const std::string path = folder_.AddFile("stamped.txt");
    SYSTEMTIME utc{2026, 3, 0, 1, 12, 0, 0, 750};
    FILETIME stamp{};
    ASSERT_TRUE(::SystemTimeToFileTime(&utc, &stamp));
    HANDLE file = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(::SetFileTime(file, &stamp, &stamp, &stamp));
    ::CloseHandle(file);

    FILETIME local{};
    SYSTEMTIME parts{};
    ::FileTimeToLocalFileTime(&stamp, &local);
    ::FileTimeToSystemTime(&local, &parts);
    const double expected = DateValueOf(parts.wYear, parts.wMonth, parts.wDay, parts.wHour, parts.wMinute, parts.wSecond);

    CFileInfo info;
    info.SetFullPathName(path);
    EXPECT_DOUBLE_EQ(info.ModifyTime(), expected);
    EXPECT_DOUBLE_EQ(info.CreationTime(), expected);
    EXPECT_DOUBLE_EQ(info.LastAccessTime(), expected);
}

TEST_F(FileInfoOnDisk, ASparseFileOfMoreThanFourGibibytes)
{
    const std::string path = folder_.AddSparseFile("sparse.bin", 5368709120LL);
    ASSERT_FALSE(path.empty());

    CFileInfo info;
    info.SetFullPathName(path);
    EXPECT_EQ(info.FileSizeHigh(), 1);
    EXPECT_EQ(info.FileSize(), 1073741824);
    EXPECT_EQ(info.FileSize64(), 5368709120LL);
    // Whatever the system reports as taken on disk (Wine: see the recorded value), as it reports it.
    DWORD high = 0;
    const DWORD low = ::GetCompressedFileSizeA(path.c_str(), &high);
    RecordProperty("CompressedSizeOnThisSystem", std::to_string((std::uint64_t{high} << 32) | low));
    EXPECT_EQ(info.CompressedFileSize(), static_cast<std::int32_t>(low));
    EXPECT_EQ(info.CompressedFileSizeHigh(), static_cast<std::int32_t>(high));
    EXPECT_EQ(info.CompressedFileSize64(), static_cast<std::int64_t>((std::uint64_t{high} << 32) | low));
    testing::RegionalSettings settings(testing::kUnitedStates);
    EXPECT_EQ(info.FormatFileSize(info.FileSize64()), "5.00GB (5,368,709,120 bytes)");
}

TEST_F(FileInfoOnDisk, ExtensionsAndTypeNames)
{
    struct Case {
        const char* name;
        const char* extension;
        const char* typeWithoutShell;
    };
    for (const Case& c : {Case{"archive.tar.gz", "gz", "GZ File"}, Case{".profile", "profile", "PROFILE File"},
                          Case{"Makefile", "", "File"}}) {
        const std::string path = folder_.AddFile(c.name);
        CFileInfo info;
        info.SetFullPathName(path);
        EXPECT_EQ(info.FileName(), c.name);
        EXPECT_EQ(info.FileExtension(), c.extension) << c.name;
        // The shell's own description where it has one, else the one made from the extension.
        const std::optional<ShellDescription> shell = SystemPlatform().Shell().Describe(path);
        const std::string shellType = shell ? shell->typeName : std::string();
        EXPECT_EQ(info.TypeName(), shellType.empty() ? std::string(c.typeWithoutShell) : shellType) << c.name;
        EXPECT_EQ(info.DisplayName(), shell ? shell->displayName : std::string()) << c.name;
    }
}

TEST_F(FileInfoOnDisk, ANameEndingInADotHasNoExtension)
{
    // Only the unparsed form of a path keeps a final dot; the plain form drops it.
    const std::string path = folder_ / "trailing.";
    HANDLE file = ::CreateFileA(("\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    const auto found = SystemPlatform().Entries().FindFirst(folder_ / "trailing*");
    ASSERT_TRUE(found.has_value());
    ASSERT_STREQ(found->cFileName, "trailing.") << "the system kept the final dot";

    CFileInfo info;
    info.SetFullPathName(folder_ / "TRAILING*");
    EXPECT_TRUE(info.FileExists());
    EXPECT_EQ(info.FileName(), "trailing.");
    EXPECT_EQ(info.FileExtension(), "");
    EXPECT_EQ(info.FullPathName(), path);
    ::DeleteFileA(("\\\\?\\" + path).c_str());
}

TEST_F(FileInfoOnDisk, APathLongerThanTheClassicLimitFailsQuietly)
{
    std::string deep = folder_.Path();
    while (deep.size() < 300)
        deep += "\\a folder that is not there";
    CFileInfo info;
    info.SetFullPathName(deep + "\\file.txt");
    EXPECT_FALSE(info.FileExists());
    // Kept whole, never cut short, even where the system refuses to make it absolute.
    EXPECT_EQ(info.FullPathName(), deep + "\\file.txt");
    EXPECT_EQ(info.FileName(), "");
}

TEST_F(FileInfoOnDisk, AnOverlongPathNoLongerReadsAsTheEntryFoundBefore)
{
    // The longest classic path is found; a longer one below it, naming no entry, replaces it.
    std::string longest = folder_ / "";
    longest.append(MAX_PATH - 1 - longest.size(), 'n');
    folder_.AddFile(longest.substr(folder_.Path().size() + 1));
    CFileInfo info;
    info.SetFullPathName(longest);
    EXPECT_TRUE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), longest);

    const std::string tooLong = longest + "\\" + std::string(60, 'x');
    info.SetFullPathName(tooLong);
    EXPECT_FALSE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), tooLong);
    EXPECT_EQ(info.FileName(), longest.substr(folder_.Path().size() + 1)) << "the rest as it was";
}

// Failures the real system cannot be made to give here.
class FailingCalls : public FileEntries, public ShellDescriptions {
public:
    std::optional<std::string> ShortPathOf(const std::string& path) const override
    {
        return failShortPath ? std::nullopt : FileEntries::ShortPathOf(path);
    }
    std::optional<ShellDescription> Describe(const std::string& path) const override
    {
        if (failShell)
            return std::nullopt;
        std::optional<ShellDescription> described = ShellDescriptions::Describe(path);
        if (described && described->icon)
            icons.push_back(described->icon.Get());
        return described;
    }
    std::optional<std::uint64_t> CompressedSizeOf(const std::string& path) const override
    {
        return failCompressedSize ? std::nullopt : FileEntries::CompressedSizeOf(path);
    }
    std::optional<WIN32_FIND_DATAA> FindFirst(const std::string& path) const override
    {
        if (unreachable.count(path))
            return std::nullopt;
        const auto scripted = entries.find(path);
        auto found = scripted != entries.end() ? std::optional(scripted->second) : FileEntries::FindFirst(path);
        if (found && lastWrite)
            found->ftLastWriteTime = *lastWrite;
        return found;
    }
    bool failShortPath = false;
    bool failShell = false;
    bool failCompressedSize = false;
    std::optional<FILETIME> lastWrite;
    std::set<std::string> unreachable;                  // lookups that fail
    std::map<std::string, WIN32_FIND_DATAA> entries;    // lookups answered without the system
    mutable std::vector<HICON> icons;
};
using FailingPlatform = testing::PlatformWith<FailingCalls, FileEntries, ShellDescriptions>;


WIN32_FIND_DATAA Entry(const char* name, DWORD attributes)
{
    WIN32_FIND_DATAA entry{};
    entry.dwFileAttributes = attributes;
    lstrcpynA(entry.cFileName, name, MAX_PATH);
    return entry;
}

TEST_F(FileInfoOnDisk, AFailingShortNameLookupKeepsTheEarlierValues)
{
    const std::string first = folder_.AddFile("First Long Name.txt");
    const std::string second = folder_.AddFile("Second Long Name.txt");
    FailingPlatform platform;
    CFileInfo info(platform);
    info.SetFullPathName(first);
    const std::string shortPathName = info.ShortPathName();
    const std::string shortPath = info.ShortPath();
    ASSERT_FALSE(shortPathName.empty());
    platform.failShortPath = true;
    info.SetFullPathName(second);
    EXPECT_EQ(info.FileName(), "Second Long Name.txt");
    EXPECT_EQ(info.ShortPathName(), shortPathName);
    EXPECT_EQ(info.ShortPath(), shortPath);
}

TEST_F(FileInfoOnDisk, AFailingShellLookupGivesTheExtensionTypeAndNoIcon)
{
    FailingPlatform platform;
    platform.failShell = true;
    CFileInfo info(platform);
    info.SetFullPathName(folder_.AddFile("data.xyz"));
    EXPECT_EQ(info.TypeName(), "XYZ File");
    EXPECT_EQ(info.DisplayName(), "");
    EXPECT_EQ(info.hIcon(), nullptr);
    info.SetFullPathName(folder_.AddFile("NoExtension"));
    EXPECT_EQ(info.TypeName(), "File");
}

TEST_F(FileInfoOnDisk, AFailingCompressedSizeReadsAllBitsSet)
{
    FailingPlatform platform;
    platform.failCompressedSize = true;
    CFileInfo info(platform);
    info.SetFullPathName(folder_.AddFile("a.txt"));
    EXPECT_EQ(info.CompressedFileSize(), -1);
}

TEST_F(FileInfoOnDisk, StampsPastTheDateRangeReadAsItsLastSecond)
{
    FailingPlatform platform;
    CFileInfo info(platform);
    const std::string file = folder_.AddFile("future.txt");
    const double lastSecond = DateValueOf(9999, 12, 31, 23, 59, 59);
    // The system splits this one into the year 30828, past the range, and refuses the next.
    for (const FILETIME stamp : {FILETIME{0xFFFFFFFFu, 0x7FFFFFFFu}, FILETIME{0xFFFFFFFFu, 0xFFFFFFFFu}}) {
        platform.lastWrite = stamp;
        info.SetFullPathName(file);
        EXPECT_DOUBLE_EQ(info.ModifyTime(), lastSecond);
        EXPECT_NE(info.CreationTime(), lastSecond);
        EXPECT_FALSE(info.FormatFileDate(info.ModifyTime()).empty());
    }
    // The zero stamp: 1601 moved on by the local offset, or held at 1601 when it would go before.
    platform.lastWrite = FILETIME{0, 0};
    info.Refresh();
    EXPECT_NEAR(info.ModifyTime(), DateValueOf(1601, 1, 1, 0, 0, 0), 1.0);
}

TEST_F(FileInfoOnDisk, ANetworkPathKeepsItsServerAndShareAsSpelled)
{
    FailingPlatform platform;
    platform.failShortPath = platform.failShell = platform.failCompressedSize = true;
    platform.entries["\\\\SRV\\DATA\\REPORTS\\Q1.DOC"] = Entry("Q1.doc", FILE_ATTRIBUTE_ARCHIVE);
    platform.entries["\\\\SRV\\DATA\\REPORTS"] = Entry("Reports", FILE_ATTRIBUTE_DIRECTORY);
    CFileInfo info(platform);
    info.SetFullPathName("\\\\SRV\\DATA\\REPORTS\\Q1.DOC");
    EXPECT_TRUE(info.FileExists());
    EXPECT_EQ(info.FilePath(), "\\\\SRV\\DATA\\Reports\\");
    EXPECT_EQ(info.FullPathName(), "\\\\SRV\\DATA\\Reports\\Q1.doc");
    EXPECT_EQ(info.TypeName(), "DOC File");
}

TEST_F(FileInfoOnDisk, AFolderLevelThatCannotBeLookedUpDropsItAndTheLevelsAbove)
{
    folder_.AddFolder("Top");
    folder_.AddFolder("Top\\Middle");
    const std::string file = folder_.AddFile("Top\\Middle\\Leaf.txt");
    FailingPlatform platform;
    platform.unreachable.insert(folder_ / "Top");
    CFileInfo info(platform);
    info.SetFullPathName(file);
    EXPECT_TRUE(info.FileExists());
    EXPECT_EQ(info.FilePath(), "\\Middle\\");
    EXPECT_EQ(info.FullPathName(), "\\Middle\\Leaf.txt");

    // The deepest level failing leaves a lone backslash.
    platform.unreachable.insert(folder_ / "Top\\Middle");
    info.SetFullPathName(file);
    EXPECT_EQ(info.FilePath(), "\\");
    EXPECT_EQ(info.FullPathName(), "\\Leaf.txt");
}

TEST_F(FileInfoOnDisk, RefreshingManyTimesHoldsNoMoreGuiObjects)
{
    const HANDLE process = ::GetCurrentProcess();
    CFileInfo info;
    info.SetFullPathName(folder_.AddFile("many.txt"));  // the shell's own caches fill here
    const DWORD gdi = ::GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = ::GetGuiResources(process, GR_USEROBJECTS);
    if (gdi == 0 && user == 0)
        GTEST_SKIP() << "this system does not count GUI objects (Wine); EveryIconIsReleased checks the handles";
    for (int i = 0; i < 200; ++i)
        info.Refresh();
    EXPECT_LE(::GetGuiResources(process, GR_GDIOBJECTS), gdi + 2);
    EXPECT_LE(::GetGuiResources(process, GR_USEROBJECTS), user + 2);
}

TEST_F(FileInfoOnDisk, EveryIconIsReleased)
{
    FailingPlatform platform;
    const std::string file = folder_.AddFile("icon.txt");
    {
        CFileInfo info(platform);
        info.SetFullPathName(file);
        for (int i = 0; i < 20; ++i)
            info.Refresh();
        CFileInfo moved(std::move(info));
        EXPECT_NE(moved.hIcon(), nullptr);
        EXPECT_EQ(moved.hIcon(), platform.icons.back());
    }
    ASSERT_EQ(platform.icons.size(), 21u);
    for (HICON icon : platform.icons) {
        ICONINFO parts{};
        EXPECT_FALSE(::GetIconInfo(icon, &parts)) << "an icon was left alive";
    }
}

} // namespace
} // namespace korrimat
