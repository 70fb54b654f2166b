// FFileInfo's behaviour under Wine and Xvfb: start-up, the navigation chain, the file display,
// the version item browser and the page switch, driven through the window's own controls.

#include "app/FFileInfo.h"
#include "controls/Gdi.h"
#include "versioninfo/VersionItems.h"
#include "app/resources/resource.h"
#include "fileinfo/FileInfo.h"
#include "platform/PathText.h"
#include "versioninfo/FileVersionInfo.h"
#include "tests/support/Paths.h"
#include "tests/support/TempFolder.h"
#include "platform/Locale.h"
#include "tests/support/PlatformWith.h"
#include "tests/support/WindowFixture.h"
#include "tests/support/WindowSystemEnvironment.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

using namespace korrimat;
using korrimat::testing::Pump;
using korrimat::testing::TempFolder;

namespace {

using korrimat::testing::Choose;
using korrimat::testing::DropOn;
using korrimat::testing::KorrimatExecutable;
using korrimat::testing::PictureFolder;
using korrimat::testing::ProgramFolder;
using korrimat::testing::ShowPage;
using korrimat::testing::VersionFixture;

// Records the paths the objects are given, and can take the shell's icon away.
class RecordingCalls : public FileEntries, public ShellDescriptions, public EnvironmentVariables {
public:
    std::optional<std::string> FullPathOf(const std::string& path) const override
    {
        requested.push_back(path);
        return FileEntries::FullPathOf(path);
    }
    std::optional<WIN32_FIND_DATAA> FindFirst(const std::string& path) const override
    {
        searched.push_back(path);
        return FileEntries::FindFirst(path);
    }
    std::optional<ShellDescription> Describe(const std::string& path) const override
    {
        std::optional<ShellDescription> described = ShellDescriptions::Describe(path);
        if (withoutIcons && described)
            described->icon.Reset();
        return described;
    }
    std::string Get(const std::string& name) const override
    {
        return (name == "windir" && !windir.empty()) ? windir : EnvironmentVariables::Get(name);
    }
    mutable std::vector<std::string> requested;
    mutable std::vector<std::string> searched;
    bool withoutIcons = false;
    std::string windir;
};
using RecordingPlatform = korrimat::testing::PlatformWith<RecordingCalls, FileEntries, ShellDescriptions, EnvironmentVariables>;

class Behaviour : public ::testing::Test {
protected:
    // The window as the program opens it.
    static std::unique_ptr<FFileInfo> Open(const Platform& platform = SystemPlatform())
    {
        auto window = korrimat::testing::OpenWindow(platform);
        EXPECT_TRUE(window->Created());
        return window;
    }

    static bool GeneralPageInFront(FFileInfo& window)
    {
        return ::IsWindowVisible(window.frmGeneral.Handle()) && !::IsWindowVisible(window.frmVersion.Handle());
    }

    static bool IconBoxIsClear(FFileInfo& window)
    {
        HDC surface = window.picIcon.Surface();
        const COLORREF background = ::GetPixel(surface, 0, 0);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (::GetPixel(surface, x, y) != background)
                    return false;
        return true;
    }

    // A program's first icon read straight from its file, at a size.
    static UniqueIcon ProgramIcon(const std::string& program, int size)
    {
        HMODULE image = ::LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!image)
            return {};
        UniqueIcon icon(static_cast<HICON>(::LoadImageA(image, MAKEINTRESOURCEA(IDI_KORRIMAT), IMAGE_ICON, size, size, 0)));
        ::FreeLibrary(image);
        return icon;
    }

    // Every pixel of the icon box is that icon drawn on the box's background.
    static bool IconBoxHolds(FFileInfo& window, const UniqueIcon& icon)
    {
        if (!icon)
            return false;
        const int width = window.picIcon.SurfaceWidth();
        const int height = window.picIcon.SurfaceHeight();
        HDC surface = window.picIcon.Surface();
        HDC screen = ::GetDC(nullptr);
        UniqueMemoryDc expected(::CreateCompatibleDC(screen));
        UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
        ::ReleaseDC(nullptr, screen);
        const HGDIOBJ old = ::SelectObject(expected.Get(), bitmap.Get());
        ::BitBlt(expected.Get(), 0, 0, width, height, surface, width - 1, height - 1, SRCCOPY);
        UniqueBrush background(::CreateSolidBrush(::GetPixel(surface, width - 1, height - 1)));
        const RECT all{0, 0, width, height};
        ::FillRect(expected.Get(), &all, background.Get());
        ::DrawIcon(expected.Get(), 0, 0, icon.Get());
        int differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                differing += ::GetPixel(expected.Get(), x, y) != ::GetPixel(surface, x, y) ? 1 : 0;
        ::SelectObject(expected.Get(), old);
        EXPECT_EQ(differing, 0) << "of " << width * height << " pixels";
        return differing == 0;
    }

    TempFolder folder_{"korrimat-behaviour"};
};

TEST_F(Behaviour, OpensOnTheWindowsDriveWithTheItemsAndTheGeneralPage)
{
    auto window = Open();
    EXPECT_EQ(window->Drive1.DriveLetter(), 'c');
    EXPECT_FALSE(window->CurrentPath().empty());
    // Only the page in front is made at the opening; the others are made when they first come.
    EXPECT_NE(window->txtFilename.Handle(), nullptr);
    for (const controls::Control* later : std::initializer_list<const controls::Control*>{
             &window->lstVerInfo, &window->txtSigIssuer, &window->txtMd5, &window->txtProgram})
        EXPECT_EQ(later->Handle(), nullptr);
    window->MakeEveryPage();
    ASSERT_EQ(window->lstVerInfo.Count(), 9);
    EXPECT_EQ(window->lstVerInfo.Item(0), "Company Name");
    EXPECT_EQ(window->lstVerInfo.Item(8), "Product Version");
    EXPECT_TRUE(GeneralPageInFront(*window));
    const controls::Bounds pages = window->tabInfo.ClientArea();
    EXPECT_EQ(window->frmGeneral.GetBounds().left, pages.left);
    EXPECT_EQ(window->frmVersion.GetBounds().top, pages.top);
}

TEST_F(Behaviour, SeparatorsAndIconBoxAreExactInScreenPixels)
{
    auto window = Open();
    for (int i = 1; i < 6; i += 2) {
        EXPECT_EQ(window->Line1[i].Y1(), window->Line1[i - 1].Y1() + 1) << i;
        EXPECT_EQ(window->Line1[i].Y2(), window->Line1[i].Y1()) << i;
    }
    // Exactly one large icon, as the system draws it: 32 pixels at 96 dots per inch, more above.
    RECT box{};
    ::GetClientRect(window->picIcon.Handle(), &box);
    EXPECT_EQ(box.right, ::GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(box.bottom, ::GetSystemMetrics(SM_CYICON));
    if (window->Density().DpiY() == 96) {
        EXPECT_EQ(box.right, 32);
    }
}

TEST_F(Behaviour, StartUpShowsAVersionedFirstFileOnceTheItemsExist)
{
    // The chain runs inside the first opening step, before the item list is filled.
    folder_.CopyIn(VersionFixture("complete"), "a-complete.dll");
    RecordingPlatform platform;
    platform.windir = "C:\\windows";
    ::SetEnvironmentVariableA("=C:", folder_.Path().c_str());
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    ::SetCurrentDirectoryA(ProgramFolder().c_str());
    auto window = Open(platform);
    ::SetEnvironmentVariableA("=C:", nullptr);
    ::SetCurrentDirectoryA(current);
    if (window->Drive1.DriveLetter() != 'c' || current[0] == 'C' || current[0] == 'c')
        GTEST_SKIP() << "the test program must start on a drive other than C:";
    EXPECT_EQ(window->CurrentPath(), folder_ / "a-complete.dll");
    EXPECT_EQ(window->tabInfo.Count(), 4);
    ASSERT_TRUE(ShowPage(*window, "Version"));
    EXPECT_EQ(window->lstVerInfo.SelectedIndex(), 0);
    EXPECT_EQ(window->txtVerInfo.Text(), "Complete Company");
}

TEST_F(Behaviour, AFileInARootGetsOneBackslash)
{
    const std::string rootFile = "C:\\korrimat-root-file.txt";
    {
        HANDLE file = ::CreateFileA(rootFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ::CloseHandle(file);
    }
    auto window = Open();
    window->Dir1.SetPath("C:\\");
    ASSERT_TRUE(Choose(*window, "korrimat-root-file.txt"));
    const std::string shown = window->CurrentPath();
    ::DeleteFileA(rootFile.c_str());
    EXPECT_EQ(::lstrcmpiA(shown.c_str(), rootFile.c_str()), 0) << shown;
}

TEST_F(Behaviour, AFolderWithFilesShowsItsFirstFileWithoutAClick)
{
    folder_.AddFile("beta.txt");
    folder_.AddFile("Alpha.txt");
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    EXPECT_EQ(window->CurrentPath(), folder_ / "Alpha.txt");
    EXPECT_EQ(window->txtLocation.Text(), folder_.Path() + "\\");
    EXPECT_EQ(window->txtCompSize.Text(), "File is not compressed");
    EXPECT_EQ(window->txtSize.Text(), "8 bytes");
    EXPECT_EQ(window->chkAttr[0].Value(), 0);
}

TEST_F(Behaviour, TheFirstFileIsShownFromItsListingAsASearchWouldShowIt)
{
    // A long name with an 8.3 alias, attributes set, a size: each a field of the listing's record.
    const std::string first = folder_.AddFile("Alpha with a long name.text", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    folder_.AddFile("beta.txt");
    RecordingPlatform platform;
    auto window = Open(platform);
    auto generalPage = [&window] {
        std::vector<std::string> texts;
        for (const auto* box : {&window->txtFilename, &window->txtType, &window->txtLocation, &window->txtSize,
                                &window->txtCompSize, &window->txtDosPath, &window->txtDosName, &window->txtCreated,
                                &window->txtModified})
            texts.push_back(box->Text());
        for (const auto& attribute : window->chkAttr)
            texts.push_back(std::to_string(attribute.Value()));
        return texts;
    };
    platform.searched.clear();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    ASSERT_EQ(window->CurrentPath(), first);
    // The listing's record stood in for a search of the folder for the file.
    EXPECT_EQ(std::count(platform.searched.begin(), platform.searched.end(), korrimat::UpperCase(first)), 0);
    const std::vector<std::string> fromListing = generalPage();
    EXPECT_NE(window->txtDosName.Text(), korrimat::UpperCase("Alpha with a long name.text"));

    window->File1.SetSelectedIndex(0);
    EXPECT_EQ(std::count(platform.searched.begin(), platform.searched.end(), korrimat::UpperCase(first)), 1);
    EXPECT_EQ(generalPage(), fromListing);
}

TEST_F(Behaviour, SizesOfFiveGibibytesShowWhole)
{
    const std::string path = folder_.AddSparseFile("big.bin", 5368709120LL);
    ASSERT_FALSE(path.empty());
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    ASSERT_EQ(window->CurrentPath(), path);
    if (LocaleText(LOCALE_STHOUSAND) != "," || LocaleText(LOCALE_SDECIMAL) != ".")
        GTEST_SKIP() << "the test prefix is expected to use the United States' separators";
    EXPECT_EQ(window->txtSize.Text(), "5.00GB (5,368,709,120 bytes)");
}

// A program's page says in words that it asks for administrator rights; a download's mark says
// under the icon where it came from; a file that is no program has no Program tab.
TEST_F(Behaviour, TheProgramPageAndTheDownloadsOrigin)
{
    folder_.CopyIn(korrimat::testing::BuildFolder() + "\\tests\\formats\\programs\\manifest-requireadministrator.exe", "setup.exe");
    folder_.WriteFile("setup.exe:Zone.Identifier",
                      "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://example.com/get/setup.exe\r\n");
    folder_.AddFile("notes.txt");
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    ASSERT_TRUE(Choose(*window, "setup.exe"));
    ASSERT_EQ(window->tabInfo.Count(), 3);
    EXPECT_EQ(window->tabInfo.Key(1), "Program");
    EXPECT_EQ(window->txtOrigin.Text(), "Downloaded from the internet: https://example.com/get/setup.exe");
    window->tabInfo.Select(std::string_view("Program"));
    EXPECT_TRUE(::IsWindowVisible(window->frmProgram.Handle()));
    EXPECT_FALSE(::IsWindowVisible(window->frmVersion.Handle()));
    EXPECT_EQ(window->txtProgramSummary.Text(), "x64 program, 64-bit, Windows GUI");
    EXPECT_EQ(window->lblElevation.Text(), "Asks for administrator rights");

    ASSERT_TRUE(Choose(*window, "notes.txt"));
    EXPECT_EQ(window->tabInfo.Count(), 2);
    EXPECT_EQ(window->txtOrigin.Text(), "");
    EXPECT_TRUE(GeneralPageInFront(*window));
}

TEST_F(Behaviour, AFolderWithoutFilesIsShownItselfWithoutTheVersionTab)
{
    const std::string empty = folder_.AddFolder("Empty Folder");
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(empty));
    EXPECT_EQ(window->CurrentPath(), empty);
    EXPECT_EQ(window->tabInfo.Count(), 1);
    EXPECT_EQ(window->txtLocation.Text(), folder_.Path() + "\\");
}

TEST_F(Behaviour, TheVersionTabFollowsTheFileShown)
{
    folder_.CopyIn(VersionFixture("complete"), "a.dll");
    folder_.AddFile("b.txt");
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    EXPECT_EQ(window->tabInfo.Count(), 4);
    ASSERT_TRUE(ShowPage(*window, "Version"));
    EXPECT_EQ(window->txtFileVer.Text(), "1.2.3.4");

    ASSERT_TRUE(Choose(*window, "b.txt"));
    EXPECT_EQ(window->tabInfo.Count(), 2);

    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(Choose(*window, "a.dll"));
        ASSERT_EQ(window->tabInfo.Count(), 4);
        EXPECT_EQ(window->tabInfo.Key(1), "Version");
        EXPECT_EQ(window->tabInfo.Caption(1), "Version");
        EXPECT_EQ(window->tabInfo.Key(2), "Program");
    }
    EXPECT_EQ(window->lstVerInfo.SelectedIndex(), 0);
    EXPECT_EQ(window->txtVerInfo.Text(), "Complete Company");
}

TEST_F(Behaviour, ChoosingAFileBringsTheGeneralPageToTheFront)
{
    folder_.CopyIn(VersionFixture("complete"), "a.dll");
    folder_.CopyIn(VersionFixture("nodescription"), "b.dll");
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    window->tabInfo.Select(std::string_view("Version"));
    EXPECT_FALSE(GeneralPageInFront(*window));
    EXPECT_TRUE(::IsWindowVisible(window->frmVersion.Handle()));
    ASSERT_TRUE(Choose(*window, "b.dll"));
    EXPECT_TRUE(GeneralPageInFront(*window));
    EXPECT_TRUE(window->tabInfo.IsSelected("General"));
}

TEST_F(Behaviour, VersionItemsShowTheCurrentFilesValues)
{
    const std::string complete = folder_.CopyIn(VersionFixture("complete"), "a.dll");
    folder_.CopyIn(VersionFixture("nodescription"), "b.dll");
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    CFileVersionInfo expected;
    expected.SetFullPathName(complete);
    ASSERT_TRUE(ShowPage(*window, "Version"));
    window->lstVerInfo.SetSelectedIndex(3);
    EXPECT_EQ(window->txtVerInfo.Text(), expected.Language());
    EXPECT_FALSE(expected.Language().empty());
    window->lstVerInfo.SetSelectedIndex(8);
    EXPECT_EQ(window->txtVerInfo.Text(), expected.ProductVersion());

    // The next file lacks a description: the page and the item read empty, not the last value.
    ASSERT_TRUE(Choose(*window, "b.dll"));
    EXPECT_EQ(window->txtDescription.Text(), "");
    window->lstVerInfo.SetSelectedIndex(1);
    EXPECT_EQ(window->txtVerInfo.Text(), "");
    window->lstVerInfo.SetSelectedIndex(0);
    EXPECT_EQ(window->txtVerInfo.Text(), "Undescribed Company");
}

// Counts how often the version resource is read.
class CountingCalls : public VersionResources {
public:
    DWORD SizeOf(const std::string& path) const override
    {
        ++readings;
        return VersionResources::SizeOf(path);
    }
    mutable int readings = 0;
};
using CountingPlatform = korrimat::testing::PlatformWith<CountingCalls, VersionResources>;

TEST_F(Behaviour, AShowReadsTheVersionResourceOnceAndAClickReadsItAfresh)
{
    const std::string complete = folder_.CopyIn(VersionFixture("complete"), "a.dll");
    folder_.CopyIn(VersionFixture("nodescription"), "b.dll");
    CountingPlatform counting;
    auto window = Open(counting);
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    ASSERT_TRUE(ShowPage(*window, "Version"));
    ASSERT_TRUE(Choose(*window, "b.dll"));
    counting.readings = 0;
    ASSERT_TRUE(Choose(*window, "a.dll"));
    EXPECT_EQ(counting.readings, 1);
    EXPECT_EQ(window->txtVerInfo.Text(), "Complete Company");

    // The user's own choice of an item reads the file again: a changed file shows its new value.
    ASSERT_TRUE(::CopyFileA(VersionFixture("nodescription").c_str(), complete.c_str(), FALSE));
    window->lstVerInfo.SetSelectedIndex(0);
    EXPECT_EQ(counting.readings, 2);
    EXPECT_EQ(window->txtVerInfo.Text(), "Undescribed Company");
}

TEST_F(Behaviour, AnItemTextMatchingNoRowLeavesTheValue)
{
    folder_.CopyIn(VersionFixture("complete"), "a.dll");
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    ASSERT_TRUE(ShowPage(*window, "Version"));
    window->lstVerInfo.Add("No Such Item");
    window->lstVerInfo.SetSelectedIndex(window->lstVerInfo.Count() - 1);
    EXPECT_EQ(window->txtVerInfo.Text(), "Complete Company");
}

TEST_F(Behaviour, BeforeAnyFileSelectingAnItemEmptiesTheValue)
{
    FFileInfo window;  // not loaded: nothing shown yet
    window.lstVerInfo.Add(kVersionItems[0].caption, 0);
    window.txtVerInfo.SetText("something");
    window.lstVerInfo.SetSelectedIndex(0);
    EXPECT_EQ(window.CurrentPath(), "");
    EXPECT_EQ(window.txtVerInfo.Text(), "");
}

TEST_F(Behaviour, ALowerCasePathReachesTheObjectsInUpperCase)
{
    const std::string sub = folder_.AddFolder("lower case");
    folder_.AddFile("lower case\\mixed name.txt");
    RecordingPlatform platform;
    auto window = Open(platform);
    platform.requested.clear();
    ASSERT_TRUE(window->Dir1.SetPath(sub));
    EXPECT_EQ(window->CurrentPath(), sub + "\\mixed name.txt");
    // The file's path reaches the file object in upper case (the lists ask for their folders too).
    const auto& requested = platform.requested;
    EXPECT_NE(std::find(requested.begin(), requested.end(), UpperCase(window->CurrentPath())),
              requested.end());
    // The object rebuilds the path in stored case.
    EXPECT_EQ(window->txtLocation.Text(), sub + "\\");
}

TEST_F(Behaviour, TheIconIsDrawnAndSurvivesARepaint)
{
    folder_.AddFile("icon.txt");
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    EXPECT_FALSE(IconBoxIsClear(*window));
    ::RedrawWindow(window->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(window.get());
    const COLORREF background = korrimat::testing::PixelOf(window->picIcon.Handle(), POINT{0, 0});
    bool drawn = false;
    for (int y = 0; y < 32 && !drawn; ++y)
        for (int x = 0; x < 32 && !drawn; ++x)
            drawn = korrimat::testing::PixelOf(window->picIcon.Handle(), POINT{x, y}) != background;
    EXPECT_TRUE(drawn);
}

TEST_F(Behaviour, AFileWithoutAnIconLeavesTheBoxClear)
{
    folder_.AddFile("a.txt");
    folder_.AddFile("b.txt");
    RecordingPlatform platform;
    auto window = Open(platform);
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    EXPECT_FALSE(IconBoxIsClear(*window));
    platform.withoutIcons = true;
    ASSERT_TRUE(Choose(*window, "b.txt"));
    EXPECT_TRUE(IconBoxIsClear(*window));
}

TEST_F(Behaviour, VanishedEntriesShowWhatTheObjectsReport)
{
    const std::string doomed = folder_.AddFile("doomed.txt");
    folder_.AddFile("kept.txt");
    const std::string sub = folder_.AddFolder("gone");
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    ASSERT_TRUE(::DeleteFileA(doomed.c_str()));
    ASSERT_TRUE(Choose(*window, "doomed.txt"));
    EXPECT_EQ(window->CurrentPath(), doomed);
    EXPECT_EQ(window->txtType.Text(), "");
    EXPECT_EQ(window->txtSize.Text(), "0 bytes");
    EXPECT_EQ(window->tabInfo.Count(), 1);

    ASSERT_TRUE(::RemoveDirectoryA(sub.c_str()));
    int entry = -1;
    for (int i = 0; i < window->Dir1.EntryCount(); ++i)
        if (window->Dir1.EntryAt(i).name == "gone")
            entry = i;
    ASSERT_GE(entry, 0);
    window->Dir1.Open(entry);
    EXPECT_EQ(window->Dir1.Path(), folder_.Path());
    // Still usable.
    ASSERT_TRUE(Choose(*window, "kept.txt"));
    EXPECT_EQ(window->CurrentPath(), folder_ / "kept.txt");
}

TEST_F(Behaviour, ADriveThatCannotBeReadChangesOnlyTheDriveList)
{
    // The test run maps such a drive (a letter whose folder is missing) for this test.
    std::string unready;
    for (char letter = 'd'; letter <= 'y' && unready.empty(); ++letter) {
        const std::string root = std::string(1, letter) + ":\\";
        if (::GetDriveTypeA(root.c_str()) == DRIVE_NO_ROOT_DIR && (::GetLogicalDrives() & (1u << (letter - 'a'))))
            unready = root;
    }
    if (unready.empty())
        GTEST_SKIP() << "no drive that cannot be read is mapped";
    folder_.AddFile("shown.txt");
    auto window = Open();
    window->Drive1.SetDrive(folder_.Path());
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    const std::string shown = window->CurrentPath();
    const std::string name = window->txtFilename.Text();

    ASSERT_TRUE(window->Drive1.SetDrive(unready));
    EXPECT_EQ(window->Drive1.DriveLetter(), unready[0]);
    EXPECT_EQ(window->Dir1.Path(), folder_.Path());
    EXPECT_EQ(window->File1.Path(), folder_.Path());
    EXPECT_EQ(window->CurrentPath(), shown);
    EXPECT_EQ(window->txtFilename.Text(), name);
}

TEST_F(Behaviour, SavesPicturesOfBothPagesForKorrimatItself)
{
    auto window = Open();
    const std::string program = KorrimatExecutable();
    char full[MAX_PATH] = {};
    ::GetFullPathNameA(program.c_str(), MAX_PATH, full, nullptr);
    std::string folder(full);
    folder.resize(folder.find_last_of('\\'));
    window->Drive1.SetDrive(folder);
    ASSERT_TRUE(window->Dir1.SetPath(folder));
    ASSERT_TRUE(Choose(*window, "korrimat.exe"));
    ASSERT_EQ(window->tabInfo.Count(), 4);
    // As on a user's Windows: a program, drawn with its own icon rather than a blank page.
    EXPECT_EQ(window->txtType.Text(), "Application");
    EXPECT_TRUE(IconBoxHolds(*window, ProgramIcon(program, window->picIcon.SurfaceWidth())));
    korrimat::testing::BringToFront(*window);
    const std::string pictures = PictureFolder();
    const std::string suffix = "-" + std::to_string(window->Density().DpiY()) + "dpi.bmp";
    EXPECT_TRUE(korrimat::testing::SaveWindowPicture(window->Handle(), pictures + "\\general-page" + suffix));
    window->tabInfo.Select(std::string_view("Version"));
    Pump(window.get());
    EXPECT_EQ(window->txtVerInfo.Text(), "Korrimat");
    EXPECT_TRUE(korrimat::testing::SaveWindowPicture(window->Handle(), pictures + "\\version-page" + suffix));

    // The Program page: the summary fits its box at every density; the facts, the report's own
    // lines, wrap and scroll in theirs.
    window->tabInfo.Select(std::string_view("Program"));
    Pump(window.get());
    const std::string machine = sizeof(void*) == 8 ? "x64" : "x86";
    EXPECT_EQ(window->txtProgramSummary.Text(), machine + " program, " + (sizeof(void*) == 8 ? "64" : "32") + "-bit, Windows GUI");
    RECT summaryBox{};
    ::GetClientRect(window->txtProgramSummary.Handle(), &summaryBox);
    EXPECT_LE(korrimat::controls::TextWidth(window->txtProgramSummary.Font(), window->txtProgramSummary.Text()),
              summaryBox.right);
    EXPECT_EQ(window->lblElevation.Text(), "");
    const std::string facts = window->txtProgram.Text();
    EXPECT_EQ(facts.find("Machine: " + machine + "\r\nBits: "), 0u) << facts;
    EXPECT_NE(facts.find("  ASLR: Yes\r\n"), std::string::npos) << facts;
    EXPECT_NE(facts.find("  Execution level: asInvoker\r\n"), std::string::npos) << facts;
    EXPECT_TRUE(korrimat::testing::SaveWindowPicture(window->Handle(), pictures + "\\program-page" + suffix));
}

// A 32-bit program on 64-bit Windows is given SysWOW64 when it asks for System32; the window
// shows System32 as a 64-bit program sees it. Wine's Z: drive reaches the same folder by a path
// the system does not redirect: the listing from outside the 32-bit view.
TEST_F(Behaviour, TheSystemFolderIsTheOneA64BitProgramSees)
{
    BOOL wow64 = FALSE;
    ::IsWow64Process(::GetCurrentProcess(), &wow64);
    char prefix[MAX_PATH] = {};
    if (!wow64 || !::GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH))
        GTEST_SKIP() << "for a 32-bit program in a 64-bit Wine prefix";
    std::string outside = std::string("Z:") + prefix + "\\drive_c\\windows\\system32";
    std::replace(outside.begin(), outside.end(), '/', '\\');
    char systemFolder[MAX_PATH] = {};
    ::GetSystemDirectoryA(systemFolder, MAX_PATH);

    std::vector<std::string> outsideFolders;
    std::vector<std::string> outsideFiles;
    WIN32_FIND_DATAA found{};
    UniqueFindHandle search(::FindFirstFileA((outside + "\\*").c_str(), &found));
    ASSERT_TRUE(search) << outside;
    do {
        const std::string name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            outsideFiles.push_back(name);
        else if (name != "." && name != "..")
            outsideFolders.push_back(name);
    } while (::FindNextFileA(search.Get(), &found));

    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(systemFolder));
    std::vector<std::string> listedFolders;
    for (int i = window->Dir1.CurrentIndex() + 1; i < window->Dir1.EntryCount(); ++i)
        listedFolders.emplace_back(window->Dir1.EntryAt(i).name);
    std::vector<std::string> listedFiles;
    for (int i = 0; i < window->File1.Count(); ++i)
        listedFiles.push_back(window->File1.Item(i));
    for (auto* names : {&outsideFolders, &outsideFiles, &listedFolders, &listedFiles})
        std::sort(names->begin(), names->end());
    EXPECT_EQ(listedFolders, outsideFolders);
    EXPECT_EQ(listedFiles, outsideFiles);

    // kernel32.dll differs between the two folders: both pages show the 64-bit one.
    const std::string native = outside + "\\kernel32.dll";
    CFileInfo expected;
    expected.SetFullPathName(native);
    char wow64Folder[MAX_PATH] = {};
    ::GetSystemWow64DirectoryA(wow64Folder, MAX_PATH);
    CFileInfo wow64Copy;
    wow64Copy.SetFullPathName(std::string(wow64Folder) + "\\kernel32.dll");
    ASSERT_NE(expected.FileSize64(), wow64Copy.FileSize64());
    ASSERT_TRUE(Choose(*window, "kernel32.dll"));
    EXPECT_EQ(window->txtSize.Text(), expected.FormatFileSize(expected.FileSize64()));
    CFileVersionInfo expectedVersion;
    expectedVersion.SetFullPathName(native);
    ASSERT_EQ(window->tabInfo.Count(), 4);
    ASSERT_TRUE(ShowPage(*window, "Version"));
    EXPECT_EQ(window->txtFileVer.Text(), expectedVersion.FileVersion());
    window->tabInfo.Select(std::string_view("Program"));
    EXPECT_EQ(window->txtProgramSummary.Text().rfind("x64 library, 64-bit", 0), 0u) << window->txtProgramSummary.Text();
}

// Files dropped on the window from the shell.
class Drop : public Behaviour {
protected:
    static char DriveOf(const std::string& path)
    {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    }

    // What a drop must leave alone when it changes nothing.
    struct State {
        char drive;
        std::string folder;
        std::string fileFolder;
        std::string selected;
        std::string shown;
        std::string name;
        std::string location;
        friend bool operator==(const State&, const State&) = default;
    };
    static State StateOf(FFileInfo& window)
    {
        return {window.Drive1.DriveLetter(), window.Dir1.Path(),          window.File1.Path(),
                window.File1.FileName(),     window.CurrentPath(),          window.txtFilename.Text(),
                window.txtLocation.Text()};
    }
};

TEST_F(Drop, ADroppedFileIsChosenInTheThreeListsAndShown)
{
    folder_.AddFile("alpha.txt");
    folder_.AddFile("beta.txt");
    folder_.CopyIn(VersionFixture("complete"), "gamma.dll");
    auto window = Open();
    EXPECT_TRUE(::GetWindowLongA(window->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    ASSERT_TRUE(DropOn(*window, {folder_ / "beta.txt"}));
    EXPECT_EQ(window->Drive1.DriveLetter(), DriveOf(folder_.Path()));
    EXPECT_EQ(window->Dir1.Path(), folder_.Path());
    EXPECT_EQ(window->File1.Path(), folder_.Path());
    EXPECT_EQ(window->File1.FileName(), "beta.txt");
    EXPECT_EQ(window->CurrentPath(), folder_ / "beta.txt");
    EXPECT_EQ(window->txtLocation.Text(), folder_.Path() + "\\");
    EXPECT_EQ(window->txtSize.Text(), "8 bytes");
    EXPECT_EQ(window->tabInfo.Count(), 2);

    // A versioned file, dropped while the Version page is in front: the General page shows it.
    ASSERT_TRUE(DropOn(*window, {folder_ / "gamma.dll"}));
    ASSERT_EQ(window->tabInfo.Count(), 4);
    window->tabInfo.Select(std::string_view("Version"));
    ASSERT_TRUE(DropOn(*window, {folder_ / "alpha.txt"}));
    ASSERT_TRUE(DropOn(*window, {folder_ / "gamma.dll"}));
    EXPECT_TRUE(GeneralPageInFront(*window));
    EXPECT_EQ(window->File1.FileName(), "gamma.dll");
    EXPECT_EQ(window->txtFileVer.Text(), "1.2.3.4");
    EXPECT_EQ(window->txtVerInfo.Text(), "Complete Company");
}

TEST_F(Drop, AFileOnAnotherDriveMovesTheDriveListFirst)
{
    char full[MAX_PATH] = {};
    ::GetFullPathNameA(KorrimatExecutable().c_str(), MAX_PATH, full, nullptr);
    const std::string program(full);
    const std::string folder = program.substr(0, program.find_last_of('\\'));
    auto window = Open();
    if (window->Drive1.DriveLetter() == DriveOf(program))
        GTEST_SKIP() << "Korrimat is built on the Windows drive";

    ASSERT_TRUE(DropOn(*window, {program}));
    EXPECT_EQ(window->Drive1.DriveLetter(), DriveOf(program));
    EXPECT_EQ(window->Dir1.Path(), folder);
    EXPECT_EQ(window->File1.FileName(), "korrimat.exe");
    EXPECT_EQ(::lstrcmpiA(window->CurrentPath().c_str(), program.c_str()), 0) << window->CurrentPath();
    EXPECT_EQ(window->txtLocation.Text(), folder + "\\");
    EXPECT_EQ(window->tabInfo.Count(), 4);
    ASSERT_TRUE(ShowPage(*window, "Version"));
    EXPECT_EQ(window->txtVerInfo.Text(), "Korrimat");
}

TEST_F(Drop, ADroppedFolderIsOpenedAndShownAsChoosingItWould)
{
    const std::string full = folder_.AddFolder("full");
    folder_.AddFile("full\\b.txt");
    folder_.AddFile("full\\A.txt");
    const std::string empty = folder_.AddFolder("empty");
    auto window = Open();

    ASSERT_TRUE(DropOn(*window, {full}));
    EXPECT_EQ(window->Drive1.DriveLetter(), DriveOf(full));
    EXPECT_EQ(window->Dir1.Path(), full);
    EXPECT_EQ(window->File1.Path(), full);
    EXPECT_EQ(window->CurrentPath(), full + "\\A.txt");  // its first file

    ASSERT_TRUE(DropOn(*window, {empty}));
    EXPECT_EQ(window->Dir1.Path(), empty);
    EXPECT_EQ(window->CurrentPath(), empty);  // nothing in it: the folder itself
    EXPECT_EQ(window->txtLocation.Text(), folder_.Path() + "\\");
    EXPECT_EQ(window->tabInfo.Count(), 1);

    const std::string root = folder_.Path().substr(0, 3);
    ASSERT_TRUE(DropOn(*window, {root}));
    EXPECT_EQ(window->Dir1.Path(), root);
}

TEST_F(Drop, OfSeveralEntriesTheFirstCounts)
{
    const std::string first = folder_.AddFolder("first");
    const std::string second = folder_.AddFolder("second");
    folder_.AddFile("first\\z.txt");
    folder_.AddFile("first\\a.txt");
    folder_.AddFile("second\\b.txt");
    auto window = Open();
    ASSERT_TRUE(DropOn(*window, {first + "\\z.txt", second, second + "\\b.txt"}));
    EXPECT_EQ(window->Dir1.Path(), first);
    EXPECT_EQ(window->File1.FileName(), "z.txt");
    EXPECT_EQ(window->CurrentPath(), first + "\\z.txt");
}

TEST_F(Drop, AFileMadeAfterItsFolderWasListedIsFoundToo)
{
    folder_.AddFile("old.txt");
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    const std::string made = folder_.AddFile("new.txt");
    ASSERT_TRUE(DropOn(*window, {made}));
    EXPECT_EQ(window->File1.FileName(), "new.txt");
    EXPECT_EQ(window->CurrentPath(), made);
}

TEST_F(Drop, NamesInAnyScriptArriveWhole)
{
    const std::string name = "Ελληνικά ファイル Кириллица.txt";
    const std::string path = folder_.AddFile(name);
    auto window = Open();
    ASSERT_TRUE(DropOn(*window, {path}));
    EXPECT_EQ(window->File1.FileName(), name);
    EXPECT_EQ(window->CurrentPath(), path);
    EXPECT_EQ(window->txtSize.Text(), "8 bytes");
}

TEST_F(Drop, PathsPastTwoHundredAndSixtyCharactersArriveWhole)
{
    std::string folder = folder_.Path();
    for (int level = 1; folder.size() <= 300; ++level) {
        folder += "\\folder " + std::to_string(level) + " of a long chain";
        ASSERT_TRUE(::CreateDirectoryW(WidePath(folder).c_str(), nullptr)) << folder.size();
    }
    const std::string file = folder_.AddFile(folder.substr(folder_.Path().size() + 1) + "\\deep.txt");
    auto window = Open();
    ASSERT_TRUE(DropOn(*window, {file}));
    EXPECT_EQ(window->Dir1.Path(), folder);
    EXPECT_EQ(window->File1.FileName(), "deep.txt");
    EXPECT_EQ(window->CurrentPath(), file);
    EXPECT_EQ(window->txtSize.Text(), "8 bytes");

    ASSERT_TRUE(DropOn(*window, {folder}));
    EXPECT_EQ(window->Dir1.Path(), folder);
}

// korrimat.exe PATH: the lists move to the path as for a drop, in place of the usual start.
TEST_F(Drop, TheCommandLinePathIsShownAtStart)
{
    const std::string chosen = folder_.AddFolder("chosen folder");
    folder_.AddFile("chosen folder\\b.txt");
    folder_.AddFile("chosen folder\\a.txt");
    const std::string script = folder_.AddFile("chosen folder\\Ελληνικά ファイル.txt");
    const std::string empty = folder_.AddFolder("empty");
    std::string deep = chosen;
    for (int level = 1; deep.size() <= 300; ++level) {
        deep += "\\level " + std::to_string(level) + " of a long chain";
        ASSERT_TRUE(::CreateDirectoryW(WidePath(deep).c_str(), nullptr)) << deep.size();
    }
    const std::string deepFile = folder_.AddFile(deep.substr(folder_.Path().size() + 1) + "\\deep.txt");
    const auto shortForm = ShortPathName(chosen + "\\b.txt");
    ASSERT_TRUE(shortForm);
    std::wstring slashed = WideText(chosen + "\\");
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');

    const struct {
        std::wstring argument;
        std::string shown;
    } cases[] = {
        {WideText(chosen + "\\b.txt"), chosen + "\\b.txt"},
        {WideText(chosen), chosen + "\\a.txt"},            // a folder shows its first file
        {slashed, chosen + "\\a.txt"},                      // forward slashes, a trailing one
        {WideText(script), script},                         // a name in other scripts
        {L"chosen folder\\..\\chosen folder\\b.txt", chosen + "\\b.txt"},  // against the current folder
        {WideText(*shortForm), chosen + "\\b.txt"},         // 8.3, shown by its long names
        {WideText(deepFile), deepFile},                     // past 260 characters
        {WideText(empty), empty},                           // a folder with no file shows itself
    };
    const korrimat::testing::CurrentFolder inside(folder_.Path());
    for (const auto& start : cases) {
        SCOPED_TRACE(NarrowText(start.argument));
        auto window = korrimat::testing::OpenWindow(SystemPlatform(), start.argument);
        EXPECT_EQ(window->CurrentPath(), start.shown);
        EXPECT_EQ(window->Dir1.Path(), start.shown == empty ? empty : korrimat::ParentFolder(start.shown));
        EXPECT_EQ(window->Text(), "Korrimat");
        EXPECT_EQ(window->txtLocation.Text(), (start.shown == empty ? folder_.Path() : window->Dir1.Path()) + "\\");
    }
}

// One that cannot be shown leaves the usual start and says why in the title, until the next
// entry is shown.
TEST_F(Drop, ACommandLinePathThatCannotBeShownSaysWhyInTheTitle)
{
    folder_.AddFile("next.txt");
    const std::string usual = Open()->CurrentPath();
    const std::string missing = folder_ / "missing folder\\missing.txt";
    auto window = korrimat::testing::OpenWindow(SystemPlatform(), WideText(missing));
    EXPECT_EQ(window->Text(), "Korrimat - not found: " + missing);
    EXPECT_EQ(window->CurrentPath(), usual);

    ASSERT_TRUE(korrimat::testing::OpenFolder(*window, folder_.Path()));
    EXPECT_EQ(window->CurrentPath(), folder_ / "next.txt");
    EXPECT_EQ(window->Text(), "Korrimat");
}

TEST_F(Drop, WhatCannotBeReachedChangesNothingAndTheWindowStaysUsable)
{
    folder_.AddFile("kept.txt");
    const std::string other = folder_.AddFolder("other");
    folder_.AddFile("other\\next.txt");
    auto window = Open();
    ASSERT_TRUE(window->Dir1.SetPath(folder_.Path()));
    const State before = StateOf(*window);
    ASSERT_EQ(before.shown, folder_ / "kept.txt");

    const std::vector<std::vector<std::string>> unreachable = {
        {folder_ / "vanished.txt"},                      // gone before the drop arrived
        {folder_ / "vanished folder"},
        {"\\\\korrimat-nowhere\\share\\file.txt"},    // a share without a drive letter
        {"relative.txt"},
        {""},
        {},                                              // no name at all
    };
    for (const auto& drop : unreachable) {
        SCOPED_TRACE(drop.empty() ? "(none)" : drop.front());
        EXPECT_TRUE(DropOn(*window, drop));
        EXPECT_EQ(StateOf(*window), before);
    }
    // A drive letter that no drive has.
    for (char letter = 'y'; letter > 'd'; --letter) {
        if (!(::GetLogicalDrives() & (1u << (letter - 'a')))) {
            EXPECT_TRUE(DropOn(*window, {std::string(1, letter) + ":\\file.txt"}));
            EXPECT_EQ(StateOf(*window), before);
            break;
        }
    }

    ASSERT_TRUE(DropOn(*window, {other + "\\next.txt"}));
    EXPECT_EQ(window->CurrentPath(), other + "\\next.txt");
}

} // namespace
