// Names in any script and folder chains past 260 characters: listed, opened and shown through the
// real window, and read by the objects. The test program runs under Korrimat's manifest, so the
// narrow code page is UTF-8 (this source file is UTF-8 too).

#include "app/FFileInfo.h"
#include "fileinfo/FileInfo.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/PathText.h"
#include "tests/support/Paths.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/SystemOrder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowFixture.h"
#include "tests/support/WindowSystemEnvironment.h"
#include "versioninfo/FileVersionInfo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace korrimat;
using korrimat::testing::Pump;
using korrimat::testing::TempFolder;

namespace {

using korrimat::testing::Choose;
using korrimat::testing::ProgramFolder;

// The version fixture with texts in five scripts, built beside this program.
std::string ScriptsFixture()
{
    return ProgramFolder() + "\\vi_scripts.dll";
}

// Text that converts to UTF-16 without a single invalid byte: nothing cut inside a character.
bool WholeCharacters(const std::string& text)
{
    return text.empty() || ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                                 static_cast<int>(text.size()), nullptr, 0) > 0;
}

const std::vector<std::string> kScriptNames = {
    "日本語のファイル.txt",  // Japanese
    "Ελληνικά.txt",          // Greek
    "Кириллица.txt",         // Cyrillic
    "हिन्दी.txt",            // Devanagari
    "😀 smile.txt",          // an emoji, outside the 16-bit plane
};

class NamesAndPaths : public ::testing::Test {
protected:
    static std::unique_ptr<FFileInfo> Open()
    {
        auto window = korrimat::testing::OpenWindow();
        EXPECT_TRUE(window->Created());
        return window;
    }

    static std::string VersionItem(FFileInfo& window, const std::string& item)
    {
        for (int i = 0; i < window.lstVerInfo.Count(); ++i) {
            if (window.lstVerInfo.Item(i) == item) {
                window.lstVerInfo.SetSelectedIndex(i);
                return window.txtVerInfo.Text();
            }
        }
        ADD_FAILURE() << "no item " << item;
        return {};
    }

    // A chain of folders below the test folder whose full path passes `length` characters.
    std::vector<std::string> MakeChain(std::size_t length)
    {
        std::vector<std::string> levels;
        std::string path = folder_.Path();
        for (int level = 1; path.size() <= length; ++level) {
            const std::string name = "level " + std::to_string(level) + " of a chain of folders";
            path += "\\" + name;
            levels.push_back(name);
            EXPECT_TRUE(::CreateDirectoryW(WidePath(path).c_str(), nullptr)) << path.size();
        }
        return levels;
    }

    // The entries of the window's lists as another program reads them through their messages
    // (korrimat_list_reader, built beside this program); the window answers meanwhile.
    std::vector<std::vector<std::string>> ReadByAnotherProgram(FFileInfo& window, const std::vector<HWND>& lists)
    {
        const std::string output = folder_ / "lists read.txt";
        std::string command = "\"" + ProgramFolder() + "\\korrimat_list_reader.exe\" \"" + output + "\"";
        for (HWND list : lists) {
            char handle[32] = {};
            std::snprintf(handle, sizeof(handle), " %llx", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(list)));
            command += handle;
        }
        const korrimat::testing::StartedProgram reader(command);
        if (!reader.Started()) {
            ADD_FAILURE() << "the reader did not start: " << command;
            return {};
        }
        // The window answers the reader's messages while it reads; 30 seconds at most in all.
        const ULONGLONG deadline = ::GetTickCount64() + 30000;
        HANDLE process = reader.Handle();
        for (ULONGLONG now = ::GetTickCount64(); now < deadline; now = ::GetTickCount64()) {
            if (::MsgWaitForMultipleObjects(1, &process, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT) !=
                WAIT_OBJECT_0 + 1)
                break;
            controls::DispatchPendingMessages(&window);
        }
        DWORD exitCode = 1;
        EXPECT_TRUE(::GetExitCodeProcess(process, &exitCode) && exitCode == 0) << exitCode;

        std::ifstream file(output, std::ios::binary);
        std::vector<std::vector<std::string>> read;
        for (std::string line; std::getline(file, line);) {
            if (line == "list")
                read.emplace_back();
            else if (!read.empty())
                read.back().push_back(line);
        }
        return read;
    }

    TempFolder folder_{"korrimat-names"};
};

} // namespace

TEST_F(NamesAndPaths, TheCodePageIsUtf8)
{
    EXPECT_EQ(::GetACP(), static_cast<UINT>(CP_UTF8));
}

TEST_F(NamesAndPaths, NamesInAnyScriptAreListedAndShownWhole)
{
    for (const std::string& name : kScriptNames)
        folder_.AddFile(name);
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    ASSERT_EQ(window->File1.Count(), static_cast<int>(kScriptNames.size()));

    for (const std::string& name : kScriptNames) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Choose(*window, name));
        // The window hands the objects the path in upper case: the stored case comes back.
        CFileInfo expected;
        expected.SetFullPathName(folder_ / name);
        ASSERT_TRUE(expected.FileExists());
        EXPECT_EQ(expected.FileName(), name);
        EXPECT_EQ(window->CurrentPath(), folder_ / name);
        EXPECT_EQ(window->txtFilename.Text(), expected.DisplayName());
        EXPECT_NE(window->txtFilename.Text().find(name.substr(0, name.find('.'))), std::string::npos);
        EXPECT_EQ(window->txtLocation.Text(), folder_.Path() + "\\");
        EXPECT_EQ(window->txtSize.Text(), expected.FormatFileSize(8));
        for (auto* box : {&window->txtFilename, &window->txtType, &window->txtDosName, &window->txtDosPath})
            EXPECT_TRUE(WholeCharacters(box->Text())) << box->Text();
        EXPECT_FALSE(window->txtDosName.Text().empty());
        EXPECT_EQ(window->tabInfo.Count(), 2);
    }
}

TEST_F(NamesAndPaths, AnotherProgramReadsTheNavigationListsInTheSystemsOrder)
{
    std::vector<std::string> files = kScriptNames;
    for (const char* name : {"file2.txt", "file10.txt", "File1.txt"})
        files.emplace_back(name);
    for (const std::string& name : files)
        folder_.AddFile(name);
    const std::vector<std::string> subfolders{"Ελληνικά", "Кириллица", "日本語", "folder10", "folder9"};
    for (const std::string& name : subfolders)
        folder_.AddFolder(name);
    auto window = Open();
    ASSERT_TRUE(korrimat::testing::OpenFolder(*window, folder_.Path()));

    const auto read = ReadByAnotherProgram(*window, {window->Drive1.Handle(), window->Dir1.Handle(), window->File1.Handle()});
    ASSERT_EQ(read.size(), 3u);
    std::vector<std::string> drives;
    for (int i = 0; i < window->Drive1.Count(); ++i)
        drives.push_back(window->Drive1.Item(i));
    EXPECT_EQ(read[0], drives);
    EXPECT_EQ(read[0], korrimat::testing::InSystemOrder(drives));
    std::vector<std::string> folders = korrimat::PathLevels(folder_.Path());
    for (const std::string& name : korrimat::testing::InSystemOrder(subfolders))
        folders.push_back(name);
    EXPECT_EQ(read[1], folders);
    EXPECT_EQ(read[2], korrimat::testing::InSystemOrder(files));
}

TEST_F(NamesAndPaths, AVersionResourceUnderAnyNameShowsItsTextsInAnyScript)
{
    const std::string name = "版本情報 Ελληνικά.dll";
    ASSERT_FALSE(folder_.CopyIn(ScriptsFixture(), name).empty());
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    ASSERT_TRUE(Choose(*window, name));
    ASSERT_EQ(window->tabInfo.Count(), 4);
    ASSERT_TRUE(korrimat::testing::ShowPage(*window, "Version"));
    EXPECT_EQ(window->txtFileVer.Text(), "7.1.0.2");
    EXPECT_EQ(window->txtDescription.Text(), "日本語の説明");
    EXPECT_EQ(window->txtCopyright.Text(), "© Кириллица 2026");
    EXPECT_EQ(VersionItem(*window, "Company Name"), "Ελληνική Εταιρεία");
    EXPECT_EQ(VersionItem(*window, "Internal Name"), "😀 emoji");
    EXPECT_EQ(VersionItem(*window, "Product Name"), "हिन्दी उत्पाद");

    window->tabInfo.Select(std::string_view("Version"));
    Pump(window.get());
    EXPECT_TRUE(::IsWindowVisible(window->frmVersion.Handle()));
}

TEST_F(NamesAndPaths, NamesInOtherScriptsResolveToTheirStoredCase)
{
    folder_.AddFolder("Αθήνα");
    folder_.AddFile("Αθήνα\\Кириллица.txt");
    CFileInfo info;
    info.SetFullPathName(UpperCase(folder_ / "Αθήνα\\Кириллица.txt"));
    ASSERT_TRUE(info.FileExists());
    EXPECT_EQ(info.FileName(), "Кириллица.txt");
    EXPECT_EQ(info.FilePath(), folder_.Path() + "\\Αθήνα\\");
    EXPECT_EQ(info.FullPathName(), folder_ / "Αθήνα\\Кириллица.txt");
}

TEST_F(NamesAndPaths, UpperCaseWorksOnWholeCharacters)
{
    EXPECT_EQ(UpperCase("αθήνα кириллица"), "ΑΘΉΝΑ КИРИЛЛИЦА");
    // Characters without case, and one of four bytes, pass through untouched.
    EXPECT_EQ(UpperCase("日本語 हिन्दी 😀 abc"), "日本語 हिन्दी 😀 ABC");
}

TEST_F(NamesAndPaths, AChainPastTheClassicLimitOpensStepByStepDownToItsFiles)
{
    const std::vector<std::string> levels = MakeChain(300);
    std::string bottom = folder_.Path();
    for (const std::string& level : levels)
        bottom += "\\" + level;
    ASSERT_GT(bottom.size(), 300u);
    folder_.AddFile(bottom.substr(folder_.Path().size() + 1) + "\\deep.txt");
    ASSERT_FALSE(folder_.CopyIn(ScriptsFixture(), bottom.substr(folder_.Path().size() + 1) + "\\deep.dll").empty());

    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    std::string expected = folder_.Path();
    for (const std::string& level : levels) {
        SCOPED_TRACE(level);
        int entry = -1;
        for (int i = window->Dir1.CurrentIndex() + 1; i < window->Dir1.EntryCount(); ++i)
            if (window->Dir1.EntryAt(i).name == level)
                entry = i;
        ASSERT_GE(entry, 0);
        ASSERT_TRUE(window->Dir1.Open(entry));
        expected += "\\" + level;
        EXPECT_EQ(window->Dir1.Path(), expected);
        EXPECT_EQ(window->File1.Path(), expected);
    }
    ASSERT_EQ(window->File1.Count(), 2);

    ASSERT_TRUE(Choose(*window, "deep.txt"));
    CFileInfo deep;
    deep.SetFullPathName(bottom + "\\deep.txt");
    EXPECT_EQ(window->CurrentPath(), bottom + "\\deep.txt");
    EXPECT_NE(window->txtFilename.Text().find("deep"), std::string::npos);
    EXPECT_EQ(window->txtLocation.Text(), bottom + "\\");
    EXPECT_EQ(window->txtSize.Text(), deep.FormatFileSize(8));
    EXPECT_EQ(window->txtType.Text(), deep.TypeName());
    EXPECT_FALSE(deep.TypeName().empty());
    EXPECT_FALSE(window->txtCreated.Text().empty());
    EXPECT_FALSE(window->txtDosPath.Text().empty());
    EXPECT_LT(window->txtDosPath.Text().size(), bottom.size());

    ASSERT_TRUE(Choose(*window, "deep.dll"));
    ASSERT_EQ(window->tabInfo.Count(), 4);
    ASSERT_TRUE(korrimat::testing::ShowPage(*window, "Version"));
    EXPECT_EQ(window->txtFileVer.Text(), "7.1.0.2");
    EXPECT_EQ(window->txtDescription.Text(), "日本語の説明");
}

TEST_F(NamesAndPaths, TheObjectsReadAnEntryPastTheClassicLimit)
{
    std::string bottom = folder_.Path();
    for (const std::string& level : MakeChain(400))
        bottom += "\\" + level;
    const std::string file = folder_.AddFile(bottom.substr(folder_.Path().size() + 1) + "\\Кириллица.txt");
    ASSERT_FALSE(folder_.CopyIn(ScriptsFixture(), bottom.substr(folder_.Path().size() + 1) + "\\deep.dll").empty());

    CFileInfo info;
    info.SetFullPathName(UpperCase(file));
    ASSERT_TRUE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), file);
    EXPECT_NE(info.DisplayName().find("Кириллица"), std::string::npos);
    EXPECT_EQ(info.FileSize(), 8);
    EXPECT_EQ(info.CompressedFileSize(), 8);
    EXPECT_NE(info.hIcon(), nullptr);
    EXPECT_FALSE(info.ShortPathName().empty());
    EXPECT_EQ(FileAttributes(info.ShortPathName()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

    CFileVersionInfo version;
    version.SetFullPathName(bottom + "\\deep.dll");
    EXPECT_TRUE(version.Available());
    EXPECT_EQ(version.FileDescription(), "日本語の説明");
    EXPECT_EQ(version.FileVersion(), "7.1.0.2");
    EXPECT_EQ(version.CompanyName(), "Ελληνική Εταιρεία");
}

TEST_F(NamesAndPaths, APathBeyondWhatTheSystemTakesIsReportedMissing)
{
    // Past the system's own limit of 32,767 characters nothing can be found; nothing breaks.
    const std::string endless = folder_.Path() + "\\" + std::string(40000, 'x') + "\\file.txt";
    CFileInfo info;
    info.SetFullPathName(endless);
    EXPECT_FALSE(info.FileExists());
    CFileVersionInfo version;
    version.SetFullPathName(endless);
    EXPECT_FALSE(version.Available());

    auto window = Open();
    EXPECT_FALSE(window->Dir1.SetPath(endless));
    EXPECT_TRUE(window->Dir1.SetPath(folder_.Path()));
}
