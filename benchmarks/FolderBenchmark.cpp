// korrimat_bench_folder: a folder of 100,000 files. From setting the window's file list to that
// folder until its first file is shown (and painted), against a bare FindFirstFileA/FindNextFileA
// enumeration of the same folder, side by side in one run; then the parts of the window's time.
//
//   korrimat_bench_folder [--files N] [--rounds R] [--folder PATH]
//
// The folder is made once under the temporary folder and reused while it holds exactly N files
// (under Wine, run.sh makes it).

#include "benchmarks/BenchSupport.h"
#include "platform/UniqueHandle.h"
#include "platform/NameList.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

using namespace korrimat;
using namespace korrimat::bench;

namespace {

constexpr double kTarget = 1.2;

// The files of a folder, counted by the bare enumeration that is the yardstick.
int EnumerateFiles(const std::string& folder)
{
    int files = 0;
    WIN32_FIND_DATAA found{};
    UniqueFindHandle search(::FindFirstFileA(JoinPath(folder, "*").c_str(), &found));
    if (!search)
        return 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++files;
    } while (::FindNextFileA(search.Get(), &found));
    return files;
}

// The same enumeration, the names kept in the file list's own name store, as found.
void EnumerateInto(const std::string& folder, korrimat::NameList& names)
{
    names.Clear();
    WIN32_FIND_DATAA found{};
    UniqueFindHandle search(::FindFirstFileA(JoinPath(folder, "*").c_str(), &found));
    if (!search)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.Add(found.cFileName);
    } while (::FindNextFileA(search.Get(), &found));
}

bool MakeFile(const std::string& path)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

// Names of mixed case and length, numbered in an order unlike the sorted one.
std::string NameOf(int index, int count)
{
    static const char* const stems[] = {"report", "Photo", "invoice-", "Notes_", "data_", "Backup", "x"};
    const long long scrambled = (static_cast<long long>(index) * 7919) % count;
    char name[64] = {};
    std::snprintf(name, sizeof(name), "%s%06lld.%s", stems[index % 7], scrambled,
                  (index % 3 == 0) ? "txt" : (index % 3 == 1) ? "dat" : "bin");
    return name;
}

bool PrepareFolder(const std::string& folder, int count)
{
    if (IsFolder(folder) && EnumerateFiles(folder) == count) {
        std::printf("Reusing %s (%d files)\n", folder.c_str(), count);
        return true;
    }
    // Wine looks through the whole folder for a name in another case before it creates a file,
    // so that making 100,000 files one by one takes hours there: run.sh makes them from outside.
    if (::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
        std::printf("%s does not hold %d files; under Wine make it with benchmarks/run.sh\n", folder.c_str(), count);
        return false;
    }
    std::printf("Making %s with %d files...\n", folder.c_str(), count);
    std::fflush(stdout);
    RemoveTree(folder);
    if (!MakeFolders(folder))
        return false;
    const double seconds = Timed([&] {
        for (int i = 0; i < count; ++i)
            MakeFile(JoinPath(folder, NameOf(i, count)));
    });
    const int made = EnumerateFiles(folder);
    std::printf("  made %d files in %.1f s\n", made, seconds);
    return made == count;
}

} // namespace

int main(int argc, char** argv)
{
    const int count = IntOption(argc, argv, "--files", 100000);
    const int rounds = IntOption(argc, argv, "--rounds", 5);
    // Without --folder the big folder is made for this run alone (run.sh gives one it keeps).
    std::optional<TempFolder> ownFolder;
    std::string folder = TextOption(argc, argv, "--folder", "");
    if (folder.empty()) {
        ownFolder.emplace("korrimat-bench-folder");
        folder = ownFolder->Path();
    }
    const TempFolder other("korrimat-bench-folder-one");
    const std::string& elsewhere = other.Path();

    const WindowSystem windowSystem;
    if (!PrepareFolder(folder, count) || !MakeFolders(elsewhere) || !MakeFile(JoinPath(elsewhere, "one.txt"))) {
        std::printf("the folders are not there\n");
        return 2;
    }
    auto window = OpenWindow();
    if (!window) {
        std::printf("the window cannot be opened\n");
        return 2;
    }

    // The private bytes the folder's names add to the window, beside the names' own bytes.
    window->File1.SetPath(elsewhere);
    Dispatch(*window);
    const std::size_t before = PrivateBytes();
    window->File1.SetPath(folder);
    Dispatch(*window);
    const std::size_t after = PrivateBytes();
    std::size_t nameBytes = 0;
    for (int i = 0; i < window->File1.Count(); ++i)
        nameBytes += window->File1.Item(i).size();

    std::vector<double> bare, whole, reading, sorting, showing;
    bool right = true;
    korrimat::NameList names;
    for (int round = 0; round < rounds; ++round) {
        // From another folder each time, so that the path really changes.
        window->File1.SetPath(elsewhere);
        Dispatch(*window);
        auto measureWindow = [&] {
            whole.push_back(Timed([&] {
                window->File1.SetPath(folder);
                Dispatch(*window);
            }));
            right = right && window->File1.Count() == count &&
                    window->CurrentPath() == JoinPath(folder, window->File1.Item(0));
        };
        auto measureBare = [&] {
            int found = 0;
            bare.push_back(Timed([&] { found = EnumerateFiles(folder); }));
            right = right && found == count;
        };
        InTurns(round, measureWindow, measureBare);
        // The parts: the list's own reading (enumeration and sort), its sort alone on the names as
        // found, the first file's display.
        reading.push_back(Timed([&] { korrimat::ReadFolderEntries(SystemPlatform(), folder, false, names); }));
        EnumerateInto(folder, names);
        sorting.push_back(Timed([&] { names.Sort(); }));
        showing.push_back(Timed([&] { window->File1.SetSelectedIndex(0); }));
    }

    const double bareMedian = Median(bare);
    const double wholeMedian = Median(whole);
    const double ratio = wholeMedian / bareMedian;
    std::printf("A folder of %d files; median of %d rounds.\n", count, rounds);
    std::printf("  %-58s %10.1f ms\n", "bare FindFirstFileA/FindNextFileA enumeration", bareMedian * 1000.0);
    std::printf("  %-58s %10.1f ms  %.2fx\n", "the window: file list path set -> first file shown, painted",
                wholeMedian * 1000.0, ratio);
    std::printf("Target: at most %.2fx: %s%s\n", kTarget, ratio <= kTarget ? "met" : "MISSED",
                right ? "" : " (but the window listed or showed something else!)");
    std::printf("Parts of the window's time:\n");
    std::printf("  %-58s %10.1f ms  %.2fx\n", "the list's reading (ReadFolderEntries: enumeration + sort)",
                Median(reading) * 1000.0, Median(reading) / bareMedian);
    // Within a reading the sort runs beside the enumeration, on the names as they arrive.
    std::printf("  %-58s %10.1f ms  %.2fx\n", "the sort alone, of the names as found (NameList::Sort)",
                Median(sorting) * 1000.0, Median(sorting) / bareMedian);
    std::printf("  %-58s %10.1f ms  %.2fx\n", "showing the first file (a selection)", Median(showing) * 1000.0,
                Median(showing) / bareMedian);

    const double perName = after > before ? static_cast<double>(after - before) / count : 0.0;
    const double ownPerName = static_cast<double>(nameBytes) / count;
    std::printf("Memory: the folder's names add %.1f MiB of private bytes to the window, %.1f bytes a name, "
                "against %.1f bytes of the name itself: %.2fx (target at most 2x: %s)\n",
                (after > before ? after - before : 0) / 1048576.0, perName, ownPerName, perName / ownPerName,
                perName <= 2 * ownPerName ? "met" : "MISSED");

    // The first file's show, call by call: in a folder this large some calls read the whole folder.
    TimingPlatform timing;
    if (auto profiled = OpenWindow(timing); profiled && profiled->File1.SetPath(folder)) {
        constexpr int kShows = 5;
        timing.Reset();
        const double seconds = Timed([&] {
            for (int i = 0; i < kShows; ++i)
                profiled->ShowFileInfo(JoinPath(folder, profiled->File1.Item(0)));
        });
        std::printf("\nThe first file's show (%.1f ms), call by call:\n", seconds * 1000.0 / kShows);
        PrintProfile(timing, kShows, seconds);
    }

    window.reset();
    return 0;
}
