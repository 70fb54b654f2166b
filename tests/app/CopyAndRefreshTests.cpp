// The window's copies and its live display, under Wine and Xvfb through real keys and the real
// context menu: the reports read back from the clipboard, the SHA-256 worked out on a worker, F5
// and the watch on the listed folder.

#include "app/FFileInfo.h"
#include "platform/FileSystem.h"
#include "tests/support/Paths.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TempFolder.h"
#include "platform/FolderChanges.h"
#include "platform/Locale.h"
#include "tests/support/PlatformWith.h"
#include "tests/support/WindowFixture.h"
#include "tests/support/WindowSystemEnvironment.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace korrimat;
using korrimat::testing::ClipboardText;
using Json = nlohmann::json;
using korrimat::testing::KeyStrokes;
using korrimat::testing::PumpUntil;
using korrimat::testing::SendInputs;
using korrimat::testing::TempFolder;

namespace {

// Counts the displays of each path (each reads the version resource once) and the files opened
// for their contents.
class CountingCalls : public VersionResources, public FileContents {
public:
    DWORD SizeOf(const std::string& path) const override
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++displays_[UpperCase(path)];
        return VersionResources::SizeOf(path);
    }
    OpenedFile OpenToRead(const std::string& path) const override
    {
        ++opened;
        return FileContents::OpenToRead(path);
    }
    int Displays(const std::string& path) const
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto found = displays_.find(UpperCase(path));
        return found == displays_.end() ? 0 : found->second;
    }
    mutable std::atomic<int> opened{0};

private:
    mutable std::mutex mutex_;
    mutable std::map<std::string, int> displays_;
};
using CountingPlatform = korrimat::testing::PlatformWith<CountingCalls, VersionResources, FileContents>;

// Another program holding a file open, with the sharing given, until the object goes.
class HeldByAnotherProgram {
public:
    HeldByAnotherProgram(const std::string& path, const char* sharing)
    {
        static int count = 0;
        const std::string event = "Local\\korrimat-held-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                  std::to_string(++count);
        const UniqueEvent ready(::CreateEventA(nullptr, TRUE, FALSE, event.c_str()));
        program_ = std::make_unique<korrimat::testing::StartedProgram>(
            "\"" + korrimat::testing::ProgramFolder() + "\\hold_file_open.exe\" \"" + path + "\" " + sharing + " " + event + " " +
            std::to_string(::GetCurrentProcessId()));
        held_ = ready && program_->Started() && ::WaitForSingleObject(ready.Get(), 10000) == WAIT_OBJECT_0;
    }
    bool Held() const { return held_; }

private:
    std::unique_ptr<korrimat::testing::StartedProgram> program_;
    bool held_ = false;
};

class CopyAndRefresh : public ::testing::Test {
protected:
    std::unique_ptr<FFileInfo> Open(const std::string& folder, const Platform& platform = SystemPlatform())
    {
        auto window = korrimat::testing::OpenWindow(platform);
        EXPECT_TRUE(window->Created());
        EXPECT_TRUE(korrimat::testing::OpenFolder(*window, folder));
        korrimat::testing::BringToFront(*window);
        return window;
    }

    static std::string Clipboard() { return NarrowText(ClipboardText()); }

    static Json ClipboardJson()
    {
        const Json json = Json::parse(Clipboard(), nullptr, false);
        EXPECT_FALSE(json.is_discarded()) << Clipboard();
        return json.is_discarded() ? Json::object() : json;
    }

    // A point on the General page where no control lies: the page's own right-click.
    static std::vector<INPUT> RightClickOnThePage(FFileInfo& window)
    {
        const controls::Bounds page = window.frmGeneral.GetBounds();
        return korrimat::testing::RightClickAt(window.frmGeneral.Handle(), POINT{page.width - 8, page.height - 8});
    }

    // Chooses a context menu item by its access letter, the menu opened by `opening`.
    static void ChooseFromMenu(FFileInfo& window, std::vector<INPUT> opening, WORD letter)
    {
        const std::vector<INPUT> choice = KeyStrokes({letter});
        opening.insert(opening.end(), choice.begin(), choice.end());
        SendInputs(window, opening);
    }

    static std::string Caption(FFileInfo& window) { return window.Text(); }

    static bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    TempFolder folder_{"korrimat-copy"};
};

TEST_F(CopyAndRefresh, ReportsOfAVersionedFileAndOfAFolderReachTheClipboard)
{
    const std::string dll = folder_.CopyIn(korrimat::testing::VersionFixture("translations"), "a.dll");
    const std::string empty = folder_.AddFolder("empty");
    auto window = Open(folder_.Path());
    ASSERT_EQ(window->CurrentPath(), dll);

    // Ctrl+C with no text selected: the whole report as text.
    korrimat::testing::PressKeys(*window, {VK_CONTROL, 'C'});
    const std::string text = Clipboard();
    for (const char* part : {"[General]", "[Version]", "Size in bytes: ", "Modified (UTC): ", "Attributes: Archive",
                             "Company Name: Translated Company", "File flags: 0x0000002B (Debug PreRel Private Special)",
                             "File version (fixed): 2.5.0.17", "BuildHost: korrimat-ci",
                             "Comments: A table without a translation"})
        EXPECT_TRUE(Contains(text, part)) << part << "\n" << text;
    EXPECT_TRUE(Contains(text, sizeof(void*) == 8 ? "Program: x64, 64-bit" : "Program: x86, 32-bit")) << text;
    for (const DWORD language : {0x0409, 0x0407, 0x0411})
        EXPECT_TRUE(Contains(text, SystemPlatform().Versions().LanguageName(language))) << language;
    // The first table's strings in the file's own order.
    const std::size_t comments = text.find("Comments: Built for the report");
    ASSERT_NE(comments, std::string::npos);
    EXPECT_LT(comments, text.find("PrivateBuild: Private build 7"));
    EXPECT_LT(text.find("PrivateBuild: Private build 7"), text.find("BuildHost: korrimat-ci"));
    EXPECT_LT(text.find("BuildHost: korrimat-ci"), text.find("SpecialBuild: Special build for testing"));

    // The same facts as JSON, from the context menu of the page.
    ChooseFromMenu(*window, RightClickOnThePage(*window), 'J');
    const Json json = ClipboardJson();
    EXPECT_EQ(json["path"], dll);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExA(dll.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(json["general"]["sizeBytes"].get<std::uint64_t>(), data.nFileSizeLow);
    EXPECT_EQ(json["general"]["modifiedUtc"].get<std::string>().size(), std::string("2024-06-03T08:00:00Z").size());
    EXPECT_EQ(json["general"]["archive"].get<bool>(), true);
    EXPECT_EQ(json["general"]["program"]["bits"].get<std::uint64_t>(), sizeof(void*) * 8);
    // Every table and string: the console's tests read the same report's JSON in full.
    EXPECT_EQ(json["version"]["fileFlags"].get<std::uint64_t>(), 0x2Bu);
    EXPECT_EQ(json["version"]["translations"].size(), 3u);

    // A selection in a text box: Ctrl+C copies only that, as the box itself would.
    ::SetFocus(window->txtCompSize.Handle());
    ::SendMessageA(window->txtCompSize.Handle(), EM_SETSEL, 0, 4);
    korrimat::testing::PressKeys(*window, {VK_CONTROL, 'C'});
    EXPECT_EQ(Clipboard(), "File");
    ::SetFocus(window->File1.Handle());

    // A folder: its General values, no program, no version.
    ASSERT_TRUE(window->Dir1.SetPath(empty));
    ASSERT_EQ(window->CurrentPath(), empty);
    korrimat::testing::PressKeys(*window, {VK_CONTROL, 'C'});
    const std::string folderText = Clipboard();
    for (const char* part : {"Location: ", "Program: not a program file", "Version: none", "Directory"})
        EXPECT_TRUE(Contains(folderText, part)) << part << "\n" << folderText;
    ChooseFromMenu(*window, RightClickOnThePage(*window), 'J');
    const Json folderJson = ClipboardJson();
    EXPECT_TRUE(folderJson.contains("version") && folderJson["version"].is_null());
    EXPECT_TRUE(folderJson["general"].contains("program") && folderJson["general"]["program"].is_null());
    EXPECT_EQ(folderJson["general"]["location"], folder_.Path() + "\\");
}

TEST_F(CopyAndRefresh, Sha256IsWorkedOutOnAWorkerWithProgressAndEscCancelsIt)
{
    std::ifstream expectedFile(korrimat::testing::VersionFixture("complete") + ".sha256");
    std::string expected;
    std::getline(expectedFile, expected);
    ASSERT_EQ(expected.size(), 64u);
    const std::string dll = folder_.CopyIn(korrimat::testing::VersionFixture("complete"), "a.dll");
    const std::string big = folder_.AddSparseFile("b.bin", 1LL << 30);
    ASSERT_FALSE(big.empty());
    CountingPlatform counting;
    auto window = Open(folder_.Path(), counting);
    ASSERT_EQ(window->CurrentPath(), dll);
    EXPECT_EQ(counting.opened, 0) << "never read unless asked";

    // From the keyboard's context menu: Shift+F10, then the item's letter.
    ChooseFromMenu(*window, KeyStrokes({VK_SHIFT, VK_F10}), 'S');
    ASSERT_TRUE(PumpUntil(*window, [&] { return !window->Hashing(); }, 10000));
    EXPECT_EQ(Clipboard(), expected);

    // Another program writing the file, sharing it only for reading: it still hashes. One that
    // shares nothing at all: no one can read it, and the window says so.
    {
        const HeldByAnotherProgram writer(dll, "read");
        ASSERT_TRUE(writer.Held());
        korrimat::testing::SetClipboardText(L"before");
        window->RunCommand(FFileInfo::kCopySha256);
        ASSERT_TRUE(PumpUntil(*window, [&] { return !window->Hashing(); }, 10000));
        EXPECT_EQ(Clipboard(), expected);
    }
    {
        const HeldByAnotherProgram locker(dll, "none");
        ASSERT_TRUE(locker.Held());
        korrimat::testing::SetClipboardText(L"before");
        window->RunCommand(FFileInfo::kCopySha256);
        ASSERT_TRUE(PumpUntil(*window, [&] { return !window->Hashing(); }, 10000));
        EXPECT_EQ(Clipboard(), "before");
        EXPECT_TRUE(Contains(Caption(*window), "open in another program")) << Caption(*window);
    }

    // A large file: its progress in the title while the window goes on answering; Esc stops it
    // and leaves the clipboard as it was.
    ASSERT_TRUE(korrimat::testing::Choose(*window, "b.bin"));
    EXPECT_EQ(Caption(*window), "Korrimat");
    korrimat::testing::SetClipboardText(L"before");
    window->RunCommand(FFileInfo::kCopySha256);
    ASSERT_TRUE(PumpUntil(*window, [&] { return Contains(Caption(*window), "%"); }, 10000)) << Caption(*window);
    EXPECT_TRUE(Contains(Caption(*window), "SHA-256 of b.bin")) << Caption(*window);
    EXPECT_TRUE(window->Hashing());
    ::SetFocus(window->File1.Handle());
    korrimat::testing::PressKeys(*window, {VK_ESCAPE});
    EXPECT_FALSE(window->Hashing());
    korrimat::testing::Pump(window.get());
    EXPECT_EQ(Caption(*window), "Korrimat");
    EXPECT_EQ(Clipboard(), "before");
}

TEST_F(CopyAndRefresh, TheDisplayFollowsChangesInTheListedFolder)
{
    const std::string sub = folder_.AddFolder("watched");
    const TempFolder& root = folder_;
    const std::string dll = root.CopyIn(korrimat::testing::VersionFixture("complete"), "watched\\b.dll");
    root.AddFile("watched\\a.txt");
    CountingPlatform counting;
    auto window = Open(sub, counting);
    ASSERT_TRUE(korrimat::testing::Choose(*window, "b.dll"));
    // The Version page in front with an item of the user's choice: a refresh keeps both.
    window->tabInfo.Select(std::string_view("Version"));
    window->lstVerInfo.SetSelectedIndex(3);
    const std::string language = window->txtVerInfo.Text();
    auto kept = [&] {
        return window->tabInfo.IsSelected("Version") && window->lstVerInfo.SelectedIndex() == 3 &&
               window->txtVerInfo.Text() == language && window->File1.FileName() == "b.dll";
    };

    // Rewritten larger: the new size within a second.
    const std::string size = window->txtSize.Text();
    const ULONGLONG written = ::GetTickCount64();
    {
        std::ofstream append(dll, std::ios::binary | std::ios::app);
        append << std::string(3000, 'x');
    }
    ASSERT_TRUE(PumpUntil(*window, [&] { return window->txtSize.Text() != size; }, 1000))
        << "after " << ::GetTickCount64() - written << " ms";
    EXPECT_TRUE(kept());

    // A file added appears in the list; the selection stays.
    root.AddFile("watched\\c.txt");
    ASSERT_TRUE(PumpUntil(*window, [&] { return window->File1.IndexOf("c.txt") >= 0; }, 1000));
    EXPECT_TRUE(kept());

    // A hundred rapid writes: one display, once they are over.
    ::Sleep(2 * FolderChanges::kQuietMilliseconds);
    korrimat::testing::Pump(window.get());
    const int before = counting.Displays(dll);
    for (int write = 0; write < 100; ++write) {
        std::ofstream append(dll, std::ios::binary | std::ios::app);
        append << 'y';
    }
    EXPECT_TRUE(PumpUntil(*window, [&] { return counting.Displays(dll) > before; }, 1000));
    PumpUntil(*window, [] { return false; }, 3 * FolderChanges::kQuietMilliseconds);
    EXPECT_EQ(counting.Displays(dll), before + 1);
    EXPECT_TRUE(kept());

    // F5 reads everything again, and keeps the page and the item too.
    korrimat::testing::PressKeys(*window, {VK_F5});
    EXPECT_EQ(counting.Displays(dll), before + 2);
    EXPECT_TRUE(kept());

    // The shown file deleted: the folder's first file, the General page in front.
    ASSERT_TRUE(::DeleteFileA(dll.c_str()));
    ASSERT_TRUE(PumpUntil(*window, [&] { return window->CurrentPath() == sub + "\\a.txt"; }, 1000))
        << window->CurrentPath();
    EXPECT_TRUE(window->tabInfo.IsSelected("General"));
    EXPECT_EQ(window->tabInfo.Count(), 2);

    // The folder itself gone (moved away): F5 goes to the nearest folder above it that is there.
    ASSERT_TRUE(::MoveFileA(sub.c_str(), (folder_ / "moved").c_str()));
    korrimat::testing::PressKeys(*window, {VK_F5});
    EXPECT_EQ(window->Dir1.Path(), folder_.Path());
    EXPECT_EQ(window->CurrentPath(), folder_.Path());
    EXPECT_EQ(counting.opened, 0) << "never read unless asked";
}

// What the system may refuse where it cannot be made to: each refusal is told in the title and
// changes nothing else.
class RefusingCalls : public ClipboardWriter, public FileContents, public ThreadStarter {
public:
    bool CopyText(HWND, const std::string&) const override { return false; }
    std::unique_ptr<Digest> NewDigest(HashAlgorithm algorithm) const override
    {
        return cryptography ? FileContents::NewDigest(algorithm) : nullptr;
    }
    FileRead Read(HANDLE, std::span<BYTE>) const override { return {0, ERROR_IO_DEVICE}; }
    UniqueThread Start(ThreadMain main, void* argument) const override
    {
        return threads ? ThreadStarter::Start(main, argument) : UniqueThread();
    }
    bool cryptography = false;
    bool threads = true;
};
using RefusingPlatform = korrimat::testing::PlatformWith<RefusingCalls, ClipboardWriter, FileContents, ThreadStarter>;

TEST_F(CopyAndRefresh, WhatTheSystemRefusesIsToldAndChangesNothing)
{
    folder_.AddFile("a.txt");
    const std::string sub = folder_.AddFolder("sub");
    RefusingPlatform refusing;
    auto window = Open(folder_.Path(), refusing);
    korrimat::testing::SetClipboardText(L"before");
    auto told = [&](const std::string& what) {
        EXPECT_TRUE(PumpUntil(*window, [&] { return !window->Hashing(); }, 10000));
        EXPECT_TRUE(Contains(Caption(*window), what)) << Caption(*window);
        EXPECT_EQ(Clipboard(), "before");
        EXPECT_EQ(window->CurrentPath(), folder_ / "a.txt");
    };
    window->RunCommand(FFileInfo::kCopyProperties);
    told("the clipboard could not be opened");
    window->RunCommand(FFileInfo::kCopySha256);
    told("cryptography is not available");
    refusing.cryptography = true;
    window->RunCommand(FFileInfo::kCopySha256);
    told("reading the file failed (error 1117)");
    refusing.threads = false;
    window->RunCommand(FFileInfo::kCopySha256);
    told("no worker thread");

    // Without a watch the folder is still shown, and F5 reads it again.
    ASSERT_TRUE(window->Dir1.SetPath(sub));
    EXPECT_EQ(Caption(*window), "Korrimat");
    folder_.AddFile("sub\\new.txt");
    window->RunCommand(FFileInfo::kRefresh);
    EXPECT_EQ(window->CurrentPath(), sub + "\\new.txt");
}

} // namespace
