// The control layer on real windows, real folders and real input, under Wine and Xvfb.

#include "controls/CheckBox.h"
#include "controls/DriveList.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/Frame.h"
#include "controls/Line.h"
#include "controls/ListBox.h"
#include "platform/NameList.h"
#include "platform/PathText.h"
#include "controls/PictureBox.h"
#include "controls/PixelDensity.h"
#include "controls/TabStrip.h"
#include "controls/TextBox.h"
#include "tests/support/DesignFigures.h"
#include "tests/support/SystemOrder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowTesting.h"
#include "tests/support/WindowSystemEnvironment.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

using namespace korrimat;
using namespace korrimat::controls;
using korrimat::testing::HostForm;
using korrimat::testing::InSystemOrder;
using korrimat::testing::Pump;
using korrimat::testing::TempFolder;

namespace {

std::vector<std::string> FilesOf(const FileList& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Item(i));
    return names;
}

// A drive letter the machine does not have.
std::string MissingDrive()
{
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'q'; letter <= 'y'; ++letter) {
        if (!(drives & (1u << (letter - 'a'))))
            return std::string{letter, ':'};
    }
    return "b:";
}

POINT RowCentre(HWND list, int row)
{
    RECT rect{};
    ::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Names in five scripts, numbered names, names the system's comparison finds equal, punctuation
// its collation weighs apart from letters, and a long name: 254 bytes here (Linux keeps no name
// past 255, and Wine cuts a longer one), 280 in UTF-16.
const std::vector<std::string> kMixedNames = {
    "file2.txt", "file10.txt", "File1.txt", "file01.txt", "file.txt", "a-b.txt", "ab.txt",
    "Ελληνικά.txt", "Кириллица.txt", "日本語のファイル.txt", "हिन्दी.txt", "😀 smile.txt",
    "очень длинное имя файла очень длинное имя файла очень длинное имя файла очень длинное имя "
    "файла очень длинное имя файла очень длинное им.txt",
};

// Every row of a list as another program reads it through the window's messages, in the wide
// form and in the narrow one.
std::vector<std::string> RowsReadWide(HWND list)
{
    std::vector<std::string> rows;
    for (const std::wstring& row : korrimat::testing::ListEntries<wchar_t>(list))
        rows.push_back(korrimat::NarrowText(row));
    return rows;
}

// Each row shows what it reads.
void ExpectRowsShowWhatTheyRead(HWND list)
{
    ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const std::vector<std::wstring> rows = korrimat::testing::ListEntries<wchar_t>(list);
    for (std::size_t row = 0; row < rows.size(); ++row)
        EXPECT_TRUE(korrimat::testing::RowShows(list, static_cast<int>(row), rows[row])) << korrimat::NarrowText(rows[row]);
}

} // namespace

// ---- Path texts ----

TEST(PathText, RootsOfDrivePathsAndShares)
{
    EXPECT_EQ(RootLength("C:\\Windows"), 3u);
    EXPECT_EQ(RootLength("C:\\"), 3u);
    EXPECT_EQ(RootLength("C:"), 2u);
    EXPECT_EQ(RootLength("\\\\server\\share\\folder"), 15u);
    EXPECT_EQ(RootLength("\\\\server\\share"), 14u);
    EXPECT_EQ(RootLength("folder\\file"), 0u);
    EXPECT_TRUE(IsRootPath("C:\\"));
    EXPECT_FALSE(IsRootPath("C:\\Windows"));
    EXPECT_FALSE(IsRootPath(""));
}

TEST(PathText, OnlyARootEndsInABackslash)
{
    EXPECT_EQ(ListPathForm("C:\\Windows\\"), "C:\\Windows");
    EXPECT_EQ(ListPathForm("C:\\Windows\\\\"), "C:\\Windows");
    EXPECT_EQ(ListPathForm("C:\\"), "C:\\");
    EXPECT_EQ(ListPathForm("C:"), "C:\\");
    EXPECT_EQ(ListPathForm("\\\\server\\share"), "\\\\server\\share\\");
    EXPECT_EQ(JoinPath("C:\\", "a.txt"), "C:\\a.txt");
    EXPECT_EQ(JoinPath("C:\\Windows", "a.txt"), "C:\\Windows\\a.txt");
}

TEST(PathText, DriveLettersAndDriveOnlyTexts)
{
    EXPECT_EQ(DriveLetterOf("C:\\Windows"), 'c');
    EXPECT_EQ(DriveLetterOf("c: [System]"), 'c');
    EXPECT_EQ(DriveLetterOf("Z"), 'z');
    EXPECT_FALSE(DriveLetterOf(""));
    EXPECT_FALSE(DriveLetterOf("\\\\server\\share"));
    EXPECT_FALSE(DriveLetterOf("folder"));
    EXPECT_TRUE(IsDriveOnly("c:"));
    EXPECT_TRUE(IsDriveOnly("c: [System]"));
    EXPECT_FALSE(IsDriveOnly("c:\\"));
    EXPECT_FALSE(IsDriveOnly("c:folder"));
}

TEST(PathText, LevelsOfAPath)
{
    EXPECT_EQ(PathLevels("C:\\Windows\\System32"), (std::vector<std::string>{"C:\\", "Windows", "System32"}));
    EXPECT_EQ(PathLevels("C:\\"), (std::vector<std::string>{"C:\\"}));
    EXPECT_EQ(PathLevels("\\\\server\\share\\docs"), (std::vector<std::string>{"\\\\server\\share\\", "docs"}));
    EXPECT_TRUE(PathLevels("relative").empty());
}

// ---- Names and the screen ----

TEST(NameList, SortsInTheSystemsOrderAndFindsByInitial)
{
    // Names that differ only in case too (no file system here keeps both), in either order of
    // adding: one fixed order.
    std::vector<std::string> mixed = kMixedNames;
    for (const char* name : {"FILE2.txt", "ελληνικά.txt", "КИРИЛЛИЦА.txt", "AB.txt"})
        mixed.push_back(name);
    NameList names;
    for (bool reversed : {false, true}) {
        names.Clear();
        for (std::size_t i = 0; i < mixed.size(); ++i)
            names.Add(mixed[reversed ? mixed.size() - 1 - i : i]);
        names.Sort();
        std::vector<std::string> sorted;
        for (std::size_t i = 0; i < names.Size(); ++i)
            sorted.emplace_back(names[i]);
        EXPECT_EQ(sorted, InSystemOrder(mixed));
    }

    // Typing a first letter, in any case and any script.
    names.Clear();
    for (const char* name : {"cider", "Кот", "apple", "Cherry", "кит", "banana"})
        names.Add(name);
    names.Sort();
    ASSERT_EQ(names[2], "Cherry");
    ASSERT_EQ(names[4], "кит");
    EXPECT_EQ(names.FindByInitial('c', -1), 2);
    EXPECT_EQ(names.FindByInitial('C', 2), 3);
    EXPECT_EQ(names.FindByInitial('c', 3), 2);  // round to the start
    EXPECT_EQ(names.FindByInitial('x', 0), -1);
    EXPECT_EQ(names.FindByInitial(L'К', -1), 4);
    EXPECT_EQ(names.FindByInitial(L'к', 4), 5);
}

TEST(PixelDensity, TwipsPerPixelAndFontHeightsAtEachDensity)
{
    EXPECT_DOUBLE_EQ(PixelDensity(96, 96).TwipsPerPixelX(), 15.0);
    EXPECT_DOUBLE_EQ(PixelDensity(120, 120).TwipsPerPixelY(), 12.0);
    EXPECT_DOUBLE_EQ(PixelDensity(192, 192).TwipsPerPixelX(), 7.5);
    EXPECT_EQ(PixelDensity(96, 96).PixelsX(225), 15);
    EXPECT_EQ(PixelDensity(120, 120).PixelsY(225), 19);  // 18.75 rounds up
    EXPECT_EQ(PixelDensity(120, 120).PixelsX(32 * 12.0), 32);
    EXPECT_EQ(PixelDensity(192, 192).PixelsX(32 * 7.5), 32);
    for (const auto& figures : korrimat::testing::kDesignFigures)
        EXPECT_EQ(PixelDensity(figures.dpi, figures.dpi).FontHeight(825), figures.fontHeight) << figures.dpi;
    EXPECT_EQ(PixelDensity(192, 192).Scale(13), 26);
}

// ---- File list ----

class FileListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Handle());
        ASSERT_TRUE(files.Create(host, {10, 10, 200, 200}));
        files.onPathChange = [this] { events.push_back("path:" + files.Path()); };
        files.onClick = [this] { events.push_back("click:" + files.FileName()); };
    }

    HostForm host{1100, 700};
    FileList files;
    TempFolder folder{"korrimat-files"};
    std::vector<std::string> events;
};

TEST_F(FileListTest, ListsEveryFileSortedWithHiddenAndSystemButNoFolders)
{
    folder.AddFile("b.txt");
    folder.AddFile("A.txt");
    folder.AddFile("c.TXT");
    folder.AddFile("hidden.dat", FILE_ATTRIBUTE_HIDDEN);
    folder.AddFile("system.sys", FILE_ATTRIBUTE_SYSTEM);
    folder.AddFolder("a folder");
    ASSERT_TRUE(::GetFileAttributesA((folder / "hidden.dat").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(::GetFileAttributesA((folder / "system.sys").c_str()) & FILE_ATTRIBUTE_SYSTEM);

    ASSERT_TRUE(files.SetPath(folder.Path()));
    EXPECT_EQ(FilesOf(files), (std::vector<std::string>{"A.txt", "b.txt", "c.TXT", "hidden.dat", "system.sys"}));
    EXPECT_EQ(::SendMessageA(files.Handle(), LB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(files.SelectedIndex(), -1);
    EXPECT_EQ(files.FileName(), "");
}

TEST_F(FileListTest, EveryRowReadsAsItIsDrawnAndTheRowsStandInTheSystemsOrder)
{
    for (const std::string& name : kMixedNames)
        folder.AddFile(name);
    ASSERT_TRUE(files.SetPath(folder.Path()));
    // As another program reads a list box: each row's text, and in the system's own order.
    EXPECT_EQ(RowsReadWide(files.Handle()), InSystemOrder(kMixedNames));
    EXPECT_EQ(korrimat::testing::ListEntries<char>(files.Handle()), InSystemOrder(kMixedNames));
    EXPECT_EQ(::SendMessageW(files.Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(files.Count()), 0), LB_ERR);
    EXPECT_EQ(::SendMessageA(files.Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(-1), 0), LB_ERR);

    files.Move({10, 10, 1080, 680});
    korrimat::testing::BringToFront(host);
    ExpectRowsShowWhatTheyRead(files.Handle());

    // Typing a name's first letter finds it, in any script.
    ::SetFocus(files.Handle());
    korrimat::testing::TypeCharacters(host, L"к");
    EXPECT_EQ(files.FileName(), "Кириллица.txt");
}

TEST_F(FileListTest, PathOfARootEndsInABackslashAndNoOtherDoes)
{
    ASSERT_TRUE(files.SetPath(folder.Path() + "\\"));
    EXPECT_EQ(files.Path(), folder.Path());
    ASSERT_TRUE(files.SetPath("C:\\"));
    EXPECT_EQ(files.Path(), "C:\\");
    ASSERT_TRUE(files.SetPath("c:\\"));
    EXPECT_EQ(files.Path(), "c:\\");
}

TEST_F(FileListTest, PathChangeEventOnlyWhenThePathChanges)
{
    folder.AddFile("one.txt");
    ASSERT_TRUE(files.SetPath(folder.Path()));
    ASSERT_TRUE(files.SetPath(folder.Path()));
    EXPECT_EQ(events, (std::vector<std::string>{"path:" + folder.Path()}));
    EXPECT_FALSE(files.SetPath(folder / "no such folder"));
    EXPECT_FALSE(files.SetPath(folder / "one.txt"));
    EXPECT_FALSE(files.SetPath(""));
    EXPECT_EQ(files.Path(), folder.Path());
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(FileListTest, EverySelectionRaisesTheClickEventTheProgramsToo)
{
    folder.AddFile("a.txt");
    folder.AddFile("b.txt");
    folder.AddFile("c.txt");
    ASSERT_TRUE(files.SetPath(folder.Path()));
    events.clear();
    files.SetSelectedIndex(0);
    files.SetSelectedIndex(2);
    files.SetSelectedIndex(2);
    files.SetSelectedIndex(-1);  // clears, no event
    files.SetSelectedIndex(7);   // out of range: nothing
    EXPECT_EQ(events, (std::vector<std::string>{"click:a.txt", "click:c.txt", "click:c.txt"}));
    EXPECT_EQ(files.SelectedIndex(), -1);

    korrimat::testing::BringToFront(host);
    korrimat::testing::ClickAt(host, files.Handle(), RowCentre(files.Handle(), 1));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), "click:b.txt");
    EXPECT_EQ(files.FileName(), "b.txt");
}

TEST_F(FileListTest, AnExceptionInAHandlerStaysInsideTheWindowProcedure)
{
    folder.AddFile("a.txt");
    folder.AddFile("b.txt");
    ASSERT_TRUE(files.SetPath(folder.Path()));
    files.onClick = [] { throw std::runtime_error("handler failed"); };
    korrimat::testing::BringToFront(host);
    korrimat::testing::ClickAt(host, files.Handle(), RowCentre(files.Handle(), 1));
    EXPECT_EQ(files.FileName(), "b.txt");
    // The window goes on working.
    files.onClick = [this] { events.push_back("click:" + files.FileName()); };
    korrimat::testing::ClickAt(host, files.Handle(), RowCentre(files.Handle(), 0));
    EXPECT_EQ(events.back(), "click:a.txt");
}

TEST_F(FileListTest, ManyFilesKeepTheirOrder)
{
    for (int i = 0; i < 300; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "%c%03d.dat", (i % 2) ? 'F' : 'f', 299 - i);
        folder.AddFile(name);
    }
    ASSERT_TRUE(files.SetPath(folder.Path()));
    ASSERT_EQ(files.Count(), 300);
    for (int i = 1; i < files.Count(); ++i)
        EXPECT_LT(files.Item(i - 1).substr(1), files.Item(i).substr(1)) << i;
}

// ---- Folder list ----

class FolderListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Handle());
        ASSERT_TRUE(folders.Create(host, {10, 10, 220, 250}));
        folders.onChange = [this] { events.push_back(folders.Path()); };
        folder.AddFolder("a");
        folder.AddFolder("a\\b");
        for (const char* name : {"z", "Y", "x"})
            folder.AddFolder(std::string("a\\b\\") + name);
        folder.AddFile("a\\b\\file.txt");
    }

    HostForm host{1100, 700};
    FolderList folders;
    TempFolder folder{"korrimat-folders"};
    std::vector<std::string> events;
};

TEST_F(FolderListTest, ShowsTheLevelsOfThePathThenTheSubfolders)
{
    const std::string path = folder / "a\\b";
    ASSERT_TRUE(folders.SetPath(path));
    EXPECT_EQ(folders.Path(), path);
    const std::vector<std::string> levels = PathLevels(path);
    ASSERT_EQ(folders.EntryCount(), static_cast<int>(levels.size()) + 3);
    for (int i = 0; i < static_cast<int>(levels.size()); ++i) {
        const FolderList::Entry entry = folders.EntryAt(i);
        EXPECT_EQ(entry.name, levels[static_cast<std::size_t>(i)]);
        EXPECT_EQ(entry.level, i);
        EXPECT_TRUE(entry.open);
    }
    const int first = static_cast<int>(levels.size());
    const char* expected[] = {"x", "Y", "z"};
    for (int i = 0; i < 3; ++i) {
        const FolderList::Entry entry = folders.EntryAt(first + i);
        EXPECT_EQ(entry.name, expected[i]);
        EXPECT_EQ(entry.level, first);
        EXPECT_FALSE(entry.open);
    }
    EXPECT_EQ(folders.CurrentIndex(), first - 1);
    EXPECT_EQ(folders.SelectedIndex(), first - 1);
    EXPECT_EQ(folders.EntryPath(first - 2), folder / "a");
    EXPECT_EQ(folders.EntryPath(first + 1), folder / "a\\b\\Y");
    EXPECT_EQ(folders.EntryPath(0), levels[0]);
    EXPECT_EQ(::SendMessageA(folders.Handle(), LB_GETCOUNT, 0, 0), folders.EntryCount());
}

TEST_F(FolderListTest, EveryRowReadsAsItIsDrawn)
{
    std::vector<std::string> subfolders{"a"};
    for (const std::string& name : kMixedNames) {
        folder.AddFolder(name);
        subfolders.push_back(name);
    }
    ASSERT_TRUE(folders.SetPath(folder.Path()));
    std::vector<std::string> expected = PathLevels(folder.Path());
    for (const std::string& name : InSystemOrder(subfolders))
        expected.push_back(name);
    EXPECT_EQ(RowsReadWide(folders.Handle()), expected);
    EXPECT_EQ(korrimat::testing::ListEntries<char>(folders.Handle()), expected);

    folders.Move({10, 10, 1080, 680});
    korrimat::testing::BringToFront(host);
    ExpectRowsShowWhatTheyRead(folders.Handle());
    // Selection and count as before.
    EXPECT_EQ(folders.SelectedIndex(), folders.CurrentIndex());
    EXPECT_EQ(::SendMessageW(folders.Handle(), LB_GETCOUNT, 0, 0), folders.EntryCount());
}

TEST_F(FolderListTest, ChangeEventWhenThePathChangesAndFailuresChangeNothing)
{
    ASSERT_TRUE(folders.SetPath(folder / "a"));
    ASSERT_TRUE(folders.SetPath(folder / "a\\"));
    EXPECT_EQ(events, (std::vector<std::string>{folder / "a"}));
    EXPECT_FALSE(folders.SetPath(folder / "missing"));
    EXPECT_FALSE(folders.SetPath(folder / "a\\b\\file.txt"));
    EXPECT_FALSE(folders.SetPath(MissingDrive()));
    EXPECT_FALSE(folders.SetPath(""));
    EXPECT_EQ(folders.Path(), folder / "a");
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(FolderListTest, ADriveMovesToThatDrivesCurrentFolder)
{
    // The current folder of a drive other than the process's own is kept in "=X:".
    ASSERT_TRUE(::SetEnvironmentVariableA("=C:", (folder / "a").c_str()));
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(sizeof(current), current);
    ASSERT_TRUE(::SetCurrentDirectoryA("Z:\\"));
    ASSERT_TRUE(folders.SetPath("Z:\\"));
    EXPECT_TRUE(folders.SetPath("c:"));
    EXPECT_EQ(folders.Path(), folder / "a");
    EXPECT_TRUE(folders.SetPath("z: [label]"));
    EXPECT_EQ(folders.Path(), "Z:\\");
    ::SetCurrentDirectoryA(current);
    ::SetEnvironmentVariableA("=C:", nullptr);
}

TEST_F(FolderListTest, DoubleClickOrEnterOpensAnEntry)
{
    ASSERT_TRUE(folders.SetPath(folder / "a\\b"));
    events.clear();
    korrimat::testing::BringToFront(host);
    const int first = folders.CurrentIndex() + 1;  // "x"
    korrimat::testing::ClickAt(host, folders.Handle(), RowCentre(folders.Handle(), first), true);
    EXPECT_EQ(folders.Path(), folder / "a\\b\\x");
    ASSERT_EQ(events, (std::vector<std::string>{folder / "a\\b\\x"}));

    // Enter on the entry of the level above.
    ::SetFocus(folders.Handle());
    ::SendMessageA(folders.Handle(), LB_SETCURSEL, static_cast<WPARAM>(folders.CurrentIndex() - 1), 0);
    korrimat::testing::PressKeys(host, {VK_RETURN});
    EXPECT_EQ(folders.Path(), folder / "a\\b");
    EXPECT_EQ(events.size(), 2u);
    EXPECT_TRUE(::IsWindow(host.Handle()));
}

TEST_F(FolderListTest, AVanishedFolderIsReportedAndTheListStays)
{
    ASSERT_TRUE(folders.SetPath(folder / "a\\b"));
    events.clear();
    const int x = folders.CurrentIndex() + 1;
    ASSERT_TRUE(::RemoveDirectoryA((folder / "a\\b\\x").c_str()));
    EXPECT_FALSE(folders.Open(x));
    EXPECT_EQ(folders.Path(), folder / "a\\b");
    EXPECT_EQ(folders.SelectedIndex(), folders.CurrentIndex());
    EXPECT_TRUE(events.empty());
}

// ---- Drive list and the chain of events ----

TEST(DriveList, HoldsTheMachinesDrivesWithTheLabelsUsersKnow)
{
    HostForm host;
    DriveList drives;
    ASSERT_TRUE(drives.Create(host, {10, 10, 173, 21}));
    // Made, it has asked only the chosen drive for its label; opened, every drive.
    for (int i = 0; i < drives.Count(); ++i) {
        if (i != drives.SelectedIndex())
            EXPECT_EQ(drives.Item(i).size(), 2u) << drives.Item(i);
    }
    ::SendMessageA(drives.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    ::SendMessageA(drives.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    std::vector<std::string> expected;
    char roots[512] = {};
    const DWORD length = ::GetLogicalDriveStringsA(sizeof(roots), roots);
    for (const char* root = roots; root < roots + length && *root; root += std::strlen(root) + 1) {
        std::string text{static_cast<char>(std::tolower(static_cast<unsigned char>(root[0]))), ':'};
        char label[MAX_PATH + 1] = {};
        if (::GetDriveTypeA(root) != DRIVE_REMOTE &&
            ::GetVolumeInformationA(root, label, sizeof(label), nullptr, nullptr, nullptr, nullptr, 0) && label[0])
            text += std::string(" [") + label + "]";
        expected.push_back(text);
    }
    std::vector<std::string> shown;
    for (int i = 0; i < drives.Count(); ++i)
        shown.push_back(drives.Item(i));
    EXPECT_EQ(shown, expected);
    auto hasDrive = [&](char letter) {
        for (const std::string& text : shown) {
            if (text[0] == letter && text[1] == ':')
                return true;
        }
        return false;
    };
    EXPECT_TRUE(hasDrive('c'));
    EXPECT_TRUE(hasDrive('z'));
    EXPECT_EQ(::SendMessageA(drives.Handle(), CB_GETCOUNT, 0, 0), drives.Count());
    EXPECT_EQ(drives.GetBounds().height, 21);
}

TEST(DriveList, TakesTheDriveOfAPathAndRaisesChangeOnlyForAnotherDrive)
{
    HostForm host;
    DriveList drives;
    ASSERT_TRUE(drives.Create(host, {10, 10, 173, 21}));
    int changes = 0;
    drives.onChange = [&] { ++changes; };
    ASSERT_TRUE(drives.SetDrive("Z:\\"));
    changes = 0;
    EXPECT_TRUE(drives.SetDrive("C:\\windows\\system32"));
    EXPECT_EQ(drives.DriveLetter(), 'c');
    EXPECT_EQ(drives.Drive().substr(0, 2), "c:");
    EXPECT_EQ(drives.Item(drives.SelectedIndex()), drives.Drive());
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(drives.SetDrive("c:"));
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(drives.SetDrive(""));
    EXPECT_FALSE(drives.SetDrive(MissingDrive()));
    EXPECT_FALSE(drives.SetDrive("\\\\server\\share"));
    EXPECT_EQ(drives.DriveLetter(), 'c');
    EXPECT_EQ(changes, 1);
}

TEST(DriveList, ChoosingWithTheKeyboardRaisesChange)
{
    HostForm host;
    DriveList drives;
    ASSERT_TRUE(drives.Create(host, {10, 10, 173, 21}));
    ASSERT_TRUE(drives.SetDrive("c:"));
    std::vector<char> seen;
    drives.onChange = [&] { seen.push_back(drives.DriveLetter()); };
    korrimat::testing::BringToFront(host);
    ::SetFocus(drives.Handle());
    korrimat::testing::PressKeys(host, {VK_END});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], drives.Item(drives.Count() - 1)[0]);
}

TEST(NavigationChain, ProgramSettingTheDriveRunsEveryListsEventNested)
{
    HostForm host;
    DriveList drives;
    FolderList folders;
    FileList files;
    ASSERT_TRUE(drives.Create(host, {10, 10, 180, 21}));
    ASSERT_TRUE(folders.Create(host, {10, 40, 180, 150}));
    ASSERT_TRUE(files.Create(host, {10, 200, 180, 150}));
    TempFolder folder{"korrimat-chain"};
    folder.AddFile("second.txt");
    folder.AddFile("First.txt");
    ASSERT_TRUE(::SetEnvironmentVariableA("=C:", folder.Path().c_str()));
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(sizeof(current), current);
    ASSERT_TRUE(::SetCurrentDirectoryA("Z:\\"));
    ASSERT_TRUE(drives.SetDrive("z:"));

    std::vector<std::string> trace;
    drives.onChange = [&] {
        trace.push_back("drive " + std::string(1, drives.DriveLetter()));
        folders.SetPath(drives.Drive());
        trace.push_back("drive done");
    };
    folders.onChange = [&] {
        trace.push_back("folder " + folders.Path());
        files.SetPath(folders.Path());
        trace.push_back("folder done");
    };
    files.onPathChange = [&] {
        trace.push_back("path " + files.Path());
        if (files.Count() > 0)
            files.SetSelectedIndex(0);
        trace.push_back("path done");
    };
    files.onClick = [&] { trace.push_back("click " + files.FileName()); };

    ASSERT_TRUE(drives.SetDrive("C:\\Windows"));
    trace.push_back("returned");
    EXPECT_EQ(trace, (std::vector<std::string>{"drive c", "folder " + folder.Path(), "path " + folder.Path(),
                                               "click First.txt", "path done", "folder done", "drive done",
                                               "returned"}));
    ::SetCurrentDirectoryA(current);
    ::SetEnvironmentVariableA("=C:", nullptr);
}

TEST(NavigationChain, ADriveThatCannotBeReadChangesOnlyTheDriveList)
{
    HostForm host;
    DriveList drives;
    FolderList folders;
    ASSERT_TRUE(drives.Create(host, {10, 10, 180, 21}));
    ASSERT_TRUE(folders.Create(host, {10, 40, 180, 150}));
    const std::string before = folders.Path();
    bool folderMoved = true;
    drives.onChange = [&] { folderMoved = folders.SetPath(drives.Drive()); };
    // A drive letter the list holds but that cannot be listed is hard to come by under Wine;
    // the folder list's refusal is what the chain rests on.
    EXPECT_FALSE(folders.SetPath(MissingDrive()));
    EXPECT_EQ(folders.Path(), before);
    ASSERT_TRUE(drives.SetDrive(drives.DriveLetter() == 'z' ? "c:" : "z:"));
    EXPECT_TRUE(folderMoved);
}

// ---- List box, tab strip ----

TEST(ListBox, KeepsTheOrderAddedAndRaisesClickOnEverySelection)
{
    HostForm host;
    ListBox list;
    ASSERT_TRUE(list.Create(host, {10, 10, 150, 150}));
    int clicks = 0;
    list.onClick = [&] { ++clicks; };
    for (const char* item : {"Company Name", "Description", "Alpha"})
        list.Add(item);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(2), "Alpha");
    EXPECT_EQ(list.Item(3), "");
    EXPECT_EQ(list.SelectedIndex(), -1);
    list.SetSelectedIndex(1);
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_EQ(clicks, 1);
    korrimat::testing::BringToFront(host);
    korrimat::testing::ClickAt(host, list.Handle(), RowCentre(list.Handle(), 0));
    EXPECT_EQ(list.SelectedIndex(), 0);
    EXPECT_EQ(clicks, 2);
}

class TabStripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tabs.Create(host, {200, 16, 369, 385}));
        tabs.onClick = [this] { ++clicks; };
        ASSERT_TRUE(tabs.Add(0, "General", "General"));
        ASSERT_TRUE(tabs.Add(1, "Version", "Version"));
    }

    HostForm host;
    TabStrip tabs;
    int clicks = 0;
};

TEST_F(TabStripTest, TabsByKeyAndPosition)
{
    EXPECT_EQ(tabs.Count(), 2);
    EXPECT_EQ(::SendMessageA(tabs.Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(tabs.IndexOfKey("General"), 0);
    EXPECT_EQ(tabs.IndexOfKey("Version"), 1);
    EXPECT_EQ(tabs.IndexOfKey("version"), -1);
    EXPECT_EQ(tabs.Caption(1), "Version");
    EXPECT_TRUE(tabs.IsSelected("General"));
    EXPECT_EQ(clicks, 1);  // the first tab became the selected one
    EXPECT_FALSE(tabs.Add(2, "General", "Again"));
    EXPECT_FALSE(tabs.Add(5, "Other", "Other"));
    EXPECT_TRUE(tabs.Remove(1));
    EXPECT_EQ(tabs.Count(), 1);
    EXPECT_EQ(tabs.IndexOfKey("Version"), -1);
    EXPECT_FALSE(tabs.Remove(1));
    EXPECT_TRUE(tabs.Add(1, "Version", "Version"));
    EXPECT_EQ(tabs.Key(1), "Version");
    EXPECT_TRUE(tabs.Add(0, "First", "First"));
    EXPECT_EQ(tabs.IndexOfKey("General"), 1);
    EXPECT_TRUE(tabs.IsSelected("General"));
}

TEST_F(TabStripTest, SelectionEventWhenTheSelectionChangesByProgramOrUser)
{
    clicks = 0;
    tabs.Select("Version");
    EXPECT_TRUE(tabs.IsSelected("Version"));
    EXPECT_EQ(clicks, 1);
    tabs.Select("Version");
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(tabs.Select("Nothing"));
    // Removing the selected tab selects the one before it.
    EXPECT_TRUE(tabs.Remove(1));
    EXPECT_TRUE(tabs.IsSelected("General"));
    EXPECT_EQ(clicks, 2);
    ASSERT_TRUE(tabs.Add(1, "Version", "Version"));

    korrimat::testing::BringToFront(host);
    RECT tab{};
    ::SendMessageA(tabs.Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    korrimat::testing::ClickAt(host, tabs.Handle(), {(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
    EXPECT_TRUE(tabs.IsSelected("Version"));
    EXPECT_EQ(clicks, 3);
}

TEST_F(TabStripTest, ClientAreaLiesBelowTheTabsAndIsLeftToThePages)
{
    const Bounds strip = tabs.GetBounds();
    const Bounds area = tabs.ClientArea();
    RECT tab{};
    ::SendMessageA(tabs.Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    EXPECT_GT(area.left, strip.left);
    EXPECT_GE(area.top, strip.top + tab.bottom);
    EXPECT_LT(area.left + area.width, strip.left + strip.width);
    EXPECT_LT(area.top + area.height, strip.top + strip.height);
    EXPECT_GT(area.width, strip.width - 20);

    // A page lying over the client area, behind the strip in z-order, gets its clicks and shows.
    Frame page;
    ASSERT_TRUE(page.Create(host, area, "", false));
    page.SetBackColor(RGB(0, 128, 255));
    korrimat::testing::BringToFront(host);
    POINT centre{area.left + area.width / 2, area.top + area.height / 2};
    EXPECT_EQ(::WindowFromPoint(korrimat::testing::ScreenPointOf(host.Handle(), centre)), page.Handle());
    EXPECT_EQ(korrimat::testing::PixelOf(host.Handle(), centre), RGB(0, 128, 255));
    // The strip still has its tabs.
    EXPECT_EQ(::WindowFromPoint(korrimat::testing::ScreenPointOf(
                  host.Handle(), {strip.left + tab.left + 5, strip.top + tab.top + 5})),
              tabs.Handle());
}

TEST_F(TabStripTest, TabsThatDoNotFitTakeAnotherRowAndThePagesGiveUpItsRoom)
{
    const Bounds oneRow = tabs.ClientArea();
    int changes = 0;
    tabs.onAreaChange = [&changes] { ++changes; };
    for (int i = 0; i < 6; ++i) {
        const std::string key = "Page " + std::to_string(i);
        ASSERT_TRUE(tabs.Add(tabs.Count(), key, "A page with a long name " + std::to_string(i)));
    }
    EXPECT_GT(::SendMessageA(tabs.Handle(), TCM_GETROWCOUNT, 0, 0), 1);
    EXPECT_GE(changes, 1);
    // Every tab whole inside the strip, and the pages' area below the last row.
    const Bounds strip = tabs.GetBounds();
    const Bounds area = tabs.ClientArea();
    for (int i = 0; i < tabs.Count(); ++i) {
        RECT tab{};
        ::SendMessageA(tabs.Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tab));
        EXPECT_GE(tab.left, 0) << i;
        EXPECT_LE(tab.right, strip.width) << i;
        EXPECT_LE(strip.top + tab.bottom, area.top) << i;
    }
    EXPECT_GT(area.top, oneRow.top);
    while (tabs.Count() > 2)
        ASSERT_TRUE(tabs.Remove(tabs.Count() - 1));
    EXPECT_EQ(tabs.ClientArea(), oneRow);
}

// ---- Text boxes, check boxes, picture box, lines, frames ----

TEST(TextBox, DisplayFieldIsReadOnlyBorderlessAndKeepsTheStartOfALongText)
{
    HostForm host;
    TextBox field;
    ASSERT_TRUE(field.Create(host, {10, 10, 120, 15}, TextBoxStyle::DisplayField, "txtType"));
    EXPECT_EQ(field.Text(), "txtType");
    const LONG style = ::GetWindowLongA(field.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_FALSE(style & (WS_BORDER | ES_AUTOHSCROLL | ES_MULTILINE));
    EXPECT_FALSE(::GetWindowLongA(field.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    const std::string longText(200, 'W');
    field.SetText(longText + "END");
    EXPECT_EQ(field.Text(), longText + "END");
    // A text the box cannot hold shows whole in its tip, and only such a text.
    EXPECT_EQ(field.ToolTipText(), longText + "END");
    // The pointer resting on the box brings the tip up.
    korrimat::testing::BringToFront(host);
    const POINT inside = korrimat::testing::ScreenPointOf(field.Handle(), {60, 7});
    ::SetCursorPos(inside.x - 5, inside.y);
    korrimat::testing::Pump(&host, 2);
    ::SetCursorPos(inside.x, inside.y);
    const auto tipShown = [&host] {
        HWND tip = nullptr;
        while ((tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr)
            if (::GetWindow(tip, GW_OWNER) == host.Handle() && ::IsWindowVisible(tip))
                return true;
        return false;
    };
    EXPECT_TRUE(korrimat::testing::PumpUntil(host, tipShown, 3000));
    korrimat::testing::BringToFront(host);
    ::SetFocus(field.Handle());
    ::SendMessageA(field.Handle(), EM_SETSEL, 0, -1);
    Pump(&host);
    EXPECT_EQ(::SendMessageA(field.Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    // Typing changes nothing.
    korrimat::testing::PressKeys(host, {'X'});
    EXPECT_EQ(field.Text(), longText + "END");
    // Button face behind the text.
    field.SetText("");
    EXPECT_EQ(field.ToolTipText(), "");
    ::RedrawWindow(field.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(korrimat::testing::PixelOf(field.Handle(), {60, 7}), ::GetSysColor(COLOR_BTNFACE));
    field.SetText("txtType");
    EXPECT_EQ(field.ToolTipText(), "");
    // The box made narrower than its text gets the tip; wider again, loses it.
    field.Move({10, 10, 20, 15});
    EXPECT_EQ(field.ToolTipText(), "txtType");
    field.Move({10, 10, 120, 15});
    EXPECT_EQ(field.ToolTipText(), "");
}

TEST(TextBox, MultiLineWrapsScrollsAndHasASunkenBorder)
{
    HostForm host;
    TextBox box;
    ASSERT_TRUE(box.Create(host, {10, 10, 153, 149}, TextBoxStyle::MultiLine, "txtVerInfo"));
    const LONG style = ::GetWindowLongA(box.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & (ES_AUTOHSCROLL | WS_HSCROLL));
    EXPECT_TRUE(::GetWindowLongA(box.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    box.SetText("one two three four five six seven eight nine ten eleven twelve thirteen fourteen");
    EXPECT_GT(::SendMessageA(box.Handle(), EM_GETLINECOUNT, 0, 0), 1);
}

TEST(CheckBox, ValueIsSetByTheProgramOnly)
{
    HostForm host;
    CheckBox box;
    ASSERT_TRUE(box.Create(host, {10, 10, 89, 13}, "&Read-only"));
    EXPECT_EQ(box.Text(), "&Read-only");
    EXPECT_EQ(box.Value(), 0);
    EXPECT_TRUE(box.SetValue(1));
    EXPECT_EQ(box.Value(), 1);
    EXPECT_FALSE(box.SetValue(2));
    EXPECT_EQ(box.Value(), 1);
    korrimat::testing::BringToFront(host);
    korrimat::testing::ClickAt(host, box.Handle(), {5, 6});
    EXPECT_EQ(box.Value(), 1);
    EXPECT_TRUE(box.SetValue(0));
    EXPECT_EQ(box.Value(), 0);
}

TEST(PictureBox, DrawingSurvivesBeingCoveredAndClearRestoresTheBackground)
{
    HostForm host;
    PictureBox picture;
    ASSERT_TRUE(picture.Create(host, {16, 16, 40, 40}));
    picture.SetSize(32, 32);
    EXPECT_EQ(picture.GetBounds().width, 32);
    EXPECT_EQ(picture.SurfaceWidth(), 32);
    korrimat::testing::BringToFront(host);
    RECT square{4, 4, 12, 12};
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    ::FillRect(picture.Surface(), &square, red);
    ::DeleteObject(red);
    picture.Invalidate();
    Pump(&host);
    EXPECT_EQ(korrimat::testing::PixelOf(picture.Handle(), {8, 8}), RGB(255, 0, 0));

    // Cover the box with another window, then uncover it.
    HWND cover = ::CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 2000, 2000, nullptr,
                                   nullptr, nullptr, nullptr);
    Pump(&host);
    ::DestroyWindow(cover);
    Pump(&host);
    ::UpdateWindow(host.Handle());
    EXPECT_EQ(korrimat::testing::PixelOf(picture.Handle(), {8, 8}), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(picture.Surface(), 8, 8), RGB(255, 0, 0));

    picture.Clear();
    Pump(&host);
    EXPECT_EQ(::GetPixel(picture.Surface(), 8, 8), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(korrimat::testing::PixelOf(picture.Handle(), {8, 8}), ::GetSysColor(COLOR_BTNFACE));
}

TEST(Line, DrawnByItsContainerFromEndToEndAndMovable)
{
    HostForm host;
    Frame frame;
    ASSERT_TRUE(frame.Create(host, {0, 0, 400, 300}, "", false));
    Line shadow;
    Line highlight;
    shadow.Create(frame, {16, 72}, {340, 72}, COLOR_BTNSHADOW);
    highlight.Create(frame, {16, 68}, {340, 68}, COLOR_BTNHIGHLIGHT);
    highlight.SetY1(shadow.Y1() + 1);
    highlight.SetY2(highlight.Y1());
    EXPECT_EQ(highlight.Y1(), 73);
    EXPECT_EQ(highlight.Y2(), 73);
    EXPECT_EQ(highlight.X1(), 16);
    korrimat::testing::BringToFront(host);
    ::RedrawWindow(frame.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(korrimat::testing::PixelOf(frame.Handle(), {16, 72}), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(korrimat::testing::PixelOf(frame.Handle(), {340, 72}), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(korrimat::testing::PixelOf(frame.Handle(), {200, 73}), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(korrimat::testing::PixelOf(frame.Handle(), {200, 68}), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(korrimat::testing::PixelOf(frame.Handle(), {341, 72}), ::GetSysColor(COLOR_BTNFACE));
}

TEST(Frame, ReflectsItsChildrensEventsAndDisablingItStopsTheirInput)
{
    HostForm host;
    Frame outer;
    Frame inner;
    ListBox list;
    ASSERT_TRUE(outer.Create(host, {10, 10, 300, 300}, "Files", true));
    ASSERT_TRUE(inner.Create(outer, {10, 20, 280, 270}, "", false));
    ASSERT_TRUE(list.Create(inner, {10, 10, 200, 200}));
    EXPECT_EQ(outer.Text(), "Files");
    EXPECT_TRUE(::GetWindowLongA(outer.Handle(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    list.Add("one");
    list.Add("two");
    int clicks = 0;
    list.onClick = [&] { ++clicks; };
    korrimat::testing::BringToFront(host);
    korrimat::testing::ClickAt(host, list.Handle(), RowCentre(list.Handle(), 1));
    EXPECT_EQ(clicks, 1);  // LBN_SELCHANGE went through two frames back to the list's wrapper

    inner.SetEnabled(false);
    korrimat::testing::ClickAt(host, list.Handle(), RowCentre(list.Handle(), 0));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list.SelectedIndex(), 1);
}
