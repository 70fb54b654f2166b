// CFileInfo on real files and folders made for each test, and on failures a fake platform gives.

#include "fileinfo/DateValue.h"
#include "fileinfo/FileInfo.h"
#include "tests/platform/TempFolder.h"

#include <winioctl.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace korrimat {
namespace {

using testing::TempFolder;

std::string ShortFormOf(const std::string& path)
{
    return SystemPlatform().ShortPathOf(path).value_or(std::string());
}

std::string Upper(const std::string& text)
{
    return SystemPlatform().UpperCase(text);
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
    EXPECT_EQ(info.ShortPath() + info.ShortName(), info.ShortPathName().substr(0, info.ShortPath().size()) + "README.TXT");
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
    EXPECT_EQ(info.FileName(), "soon gone.txt");
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
    const std::string path = folder_ / "sparse.bin";
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    ::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER size{};
    size.QuadPart = 5368709120LL;
    ASSERT_TRUE(::SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file));
    ::CloseHandle(file);

    CFileInfo info;
    info.SetFullPathName(path);
    EXPECT_EQ(info.FileSizeHigh(), 1);
    EXPECT_EQ(info.FileSize(), 1073741824);
    EXPECT_EQ(info.FileSize64(), 5368709120LL);
    DWORD high = 0;
    const DWORD low = ::GetCompressedFileSizeA(path.c_str(), &high);
    EXPECT_EQ(info.CompressedFileSize(), static_cast<std::int32_t>(low));
    EXPECT_EQ(info.CompressedFileSizeHigh(), static_cast<std::int32_t>(high));
    EXPECT_EQ(info.FormatFileSize(info.FileSize64()).substr(0, 6), info.FormatFileSize(5368709120LL).substr(0, 6));
}

TEST_F(FileInfoOnDisk, ExtensionsAndTypeNames)
{
    struct Case {
        const char* name;
        const char* extension;
    };
    for (const Case& c : {Case{"archive.tar.gz", "gz"}, Case{".profile", "profile"}, Case{"Makefile", ""}}) {
        CFileInfo info;
        info.SetFullPathName(folder_.AddFile(c.name));
        EXPECT_EQ(info.FileName(), c.name);
        EXPECT_EQ(info.FileExtension(), c.extension) << c.name;
        EXPECT_FALSE(info.TypeName().empty()) << c.name;
    }
}

TEST_F(FileInfoOnDisk, APathLongerThanTheClassicLimitFailsQuietly)
{
    std::string deep = folder_.Path();
    while (deep.size() < 300)
        deep += "\\a folder that is not there";
    CFileInfo info;
    info.SetFullPathName(deep + "\\file.txt");
    EXPECT_FALSE(info.FileExists());
    // Whole or not at all (the system may refuse to form it): never a path cut short.
    EXPECT_TRUE(info.FullPathName().empty() || info.FullPathName() == deep + "\\file.txt") << info.FullPathName();
    EXPECT_EQ(info.FileName(), "");
}

// Failures the real system cannot be made to give here.
class FailingPlatform : public WindowsPlatform {
public:
    std::optional<std::string> ShortPathOf(const std::string& path) const override
    {
        return failShortPath ? std::nullopt : WindowsPlatform::ShortPathOf(path);
    }
    DWORD_PTR ShellInfoOf(const std::string& path, SHFILEINFOA& info) const override
    {
        if (failShell) {
            info = SHFILEINFOA{};
            return 0;
        }
        const DWORD_PTR result = WindowsPlatform::ShellInfoOf(path, info);
        if (info.hIcon)
            icons.push_back(info.hIcon);
        return result;
    }
    DWORD CompressedSizeOf(const std::string& path, DWORD& high) const override
    {
        if (failCompressedSize) {
            high = 0;
            return INVALID_FILE_SIZE;
        }
        return WindowsPlatform::CompressedSizeOf(path, high);
    }
    std::optional<WIN32_FIND_DATAA> FindFirst(const std::string& path) const override
    {
        auto found = WindowsPlatform::FindFirst(path);
        if (found && farFutureStamps)
            found->ftLastWriteTime = FILETIME{0xFFFFFFFFu, 0x7FFFFFFFu};
        return found;
    }
    bool failShortPath = false;
    bool failShell = false;
    bool failCompressedSize = false;
    bool farFutureStamps = false;
    mutable std::vector<HICON> icons;
};

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
    platform.farFutureStamps = true;
    CFileInfo info(platform);
    info.SetFullPathName(folder_.AddFile("future.txt"));
    EXPECT_DOUBLE_EQ(info.ModifyTime(), DateValueOf(9999, 12, 31, 23, 59, 59));
    EXPECT_FALSE(info.FormatFileDate(info.ModifyTime()).empty());
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
