// Korrimat only reads. This program takes the real window through every path a user has (each
// file selected, both pages, every version item, the copies and the SHA-256, F5, a drop) over a
// folder of varied files, while Wine traces every file the process opens; read-only.sh then fails
// the run if any open of those files asks for a right to change them, or for anything but opening
// what exists; then the console program's code reports the folder in every form under the same
// trace. The program marks in the trace where the user's part begins and ends.

#include "console/ReportCommand.h"
#include "tests/support/Paths.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowFixture.h"
#include "tests/support/WindowSystemEnvironment.h"
#include "versioninfo/VersionItems.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace korrimat;
using korrimat::testing::Pump;
using korrimat::testing::TempFolder;

namespace {

// Written to the same stream as Wine's trace, so that the two stay in order.
void Mark(const char* what, const std::string& folder)
{
    std::fprintf(stderr, "korrimat-read-only %s %s\n", what, folder.substr(folder.find_last_of('\\') + 1).c_str());
    std::fflush(stderr);
}

// Every version item of the file shown, both pages, and everything the context menu offers.
void BrowseBothPages(FFileInfo& window)
{
    for (int command : {FFileInfo::kCopyProperties, FFileInfo::kCopyJson, FFileInfo::kCopySha256}) {
        window.RunCommand(command);
        korrimat::testing::PumpUntil(window, [&] { return !window.Hashing(); }, 10000);
    }
    if (window.tabInfo.Count() < 2)
        return;
    window.tabInfo.Select(std::string_view("Version"));
    for (int item = 0; item < window.lstVerInfo.Count(); ++item)
        window.lstVerInfo.SetSelectedIndex(item);
    window.tabInfo.Select(std::string_view("General"));
    Pump(&window, 1);
}

} // namespace

TEST(ReadOnly, EveryPathAUserHasOpensTheFilesForReadingOnly)
{
    const TempFolder folder("korrimat-read-only");
    folder.CopyIn(korrimat::testing::KorrimatExecutable(), "program.exe");
    for (const char* fixture : {"complete", "twopairs", "german", "driver6"})
        folder.CopyIn(korrimat::testing::VersionFixture(fixture), std::string(fixture) + ".dll");
    folder.CopyIn(korrimat::testing::VersionFixture("complete"), "read-only.dll");
    ::SetFileAttributesW(WidePath(folder / "read-only.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    folder.AddFile("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    folder.AddFile("notes.txt");
    folder.AddFolder("subfolder");
    folder.AddFile("subfolder\\inside.txt");
    // Held open elsewhere with no sharing: nobody else can open it at all.
    const std::string locked = folder.CopyIn(korrimat::testing::VersionFixture("complete"), "locked.dll");
    const UniqueFile held(::CreateFileW(WidePath(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    Mark("begin", folder.Path());
    {
        auto window = korrimat::testing::OpenWindow();
        ASSERT_TRUE(window->Created());
        ASSERT_TRUE(korrimat::testing::OpenFolder(*window, folder.Path()));
        for (int file = 0; file < window->File1.Count(); ++file) {
            window->File1.SetSelectedIndex(file);
            BrowseBothPages(*window);
        }
        window->RunCommand(FFileInfo::kRefresh);
        ASSERT_TRUE(window->Dir1.SetPath(folder / "subfolder"));
        ASSERT_TRUE(korrimat::testing::DropOn(*window, {folder / "german.dll"}));
        BrowseBothPages(*window);
        EXPECT_EQ(window->CurrentPath(), folder / "german.dll");
        window->RunCommand(FFileInfo::kRefresh);
        EXPECT_EQ(window->CurrentPath(), folder / "german.dll");
        window->Unload();
    }
    // The console program's code, in every form, over the folder and the one below.
    for (const auto format : {ReportCommand::Format::Text, ReportCommand::Format::Json, ReportCommand::Format::Csv})
        RunReportCommand(korrimat::SystemPlatform(), ReportCommand{format, true, true, {folder.Path()}}, [](std::string_view) {},
                         [](std::string_view) {});
    Mark("end", folder.Path());
}
