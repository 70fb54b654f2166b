// korrimat_bench_show: the window's display of one file (ShowFileInfo: CFileInfo, CFileVersionInfo
// and the text boxes) against the bare platform calls that file needs, side by side in one run;
// beside them the same show through a selection in the file list, and the two objects alone.
// Then where the window's time goes, call by call.
//
//   korrimat_bench_show [--rounds R] [--shows K] [--file PATH]
//
// Each round times K shows of each kind; the figures are the medians over the rounds. --file adds
// a file of your own to Korrimat's executable and a text file.

#include "benchmarks/BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace korrimat;
using namespace korrimat::bench;

namespace {

constexpr double kTarget = 1.1;

struct Subject {
    std::string label;
    std::string path;
    int index = -1;
};

// Shows the file `count` times through the window's file list; false when it shows another.
bool ShowThroughTheWindow(FFileInfo& window, const Subject& subject, int count)
{
    for (int i = 0; i < count; ++i)
        window.File1.SetSelectedIndex(subject.index);
    return ::lstrcmpiA(window.CurrentPath().c_str(), subject.path.c_str()) == 0;
}

// The window's display alone, without the file list's selection around it.
bool ShowFileInfoAlone(FFileInfo& window, const Subject& subject, int count)
{
    for (int i = 0; i < count; ++i)
        window.ShowFileInfo(subject.path);
    const std::string folder = subject.path.substr(0, subject.path.find_last_of('\\') + 1);
    return ::lstrcmpiA(window.txtLocation.Text().c_str(), folder.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = IntOption(argc, argv, "--rounds", 7);
    const int shows = IntOption(argc, argv, "--shows", 40);
    const std::string extra = TextOption(argc, argv, "--file", "");

    const WindowSystem windowSystem;
    const TempFolder scratch("korrimat-bench-show");
    const std::string& folder = scratch.Path();
    if (!IsFolder(folder)) {
        std::printf("cannot create %s\n", folder.c_str());
        return 2;
    }
    std::vector<Subject> subjects;
    if (!scratch.CopyIn(KorrimatExecutable(), "korrimat.exe").empty())
        subjects.push_back({"korrimat.exe (icon, version)", JoinPath(folder, "korrimat.exe")});
    else
        std::printf("no %s: build the korrimat target (only the text file is measured)\n",
                    KorrimatExecutable().c_str());
    {
        const std::string notes = JoinPath(folder, "notes.txt");
        if (FILE* file = std::fopen(notes.c_str(), "wb")) {
            std::fputs("A few words of text.\r\n", file);
            std::fclose(file);
            subjects.push_back({"notes.txt (no version)", notes});
        }
    }
    if (!extra.empty()) {
        const std::string name = extra.substr(extra.find_last_of("\\/") + 1);
        if (!scratch.CopyIn(extra, name).empty())
            subjects.push_back({name, JoinPath(folder, name)});
    }

    TimingPlatform timing;
    auto window = OpenWindow();
    auto profiled = OpenWindow(timing);
    if (!window || !profiled || !window->Dir1.SetPath(folder) || !profiled->Dir1.SetPath(folder)) {
        std::printf("the window cannot be opened on %s\n", folder.c_str());
        return 2;
    }
    for (Subject& subject : subjects) {
        subject.index = window->File1.IndexOf(subject.path.substr(folder.size() + 1));
        if (subject.index < 0) {
            std::printf("%s is not listed\n", subject.path.c_str());
            return 2;
        }
    }

    std::printf("Showing one file: the window's ShowFileInfo (CFileInfo, CFileVersionInfo, the text boxes)\n"
                "against the bare platform calls for the same file; beside them the same show through a\n"
                "selection in the file list, and the two objects alone. Median of %d rounds of %d shows each.\n",
                rounds, shows);
    std::printf("%-30s %10s %10s %8s %11s %8s %11s %8s %14s\n", "file", "show ms", "bare ms", "ratio", "via list",
                "ratio", "objects ms", "ratio", "+ repaint ms");
    bool met = true;
    std::size_t sink = 0;
    for (const Subject& subject : subjects) {
        // Warm: the shell's caches, the file's pages.
        ShowThroughTheWindow(*window, subject, 5);
        for (int i = 0; i < 5; ++i)
            sink += BarePlatformCalls(subject.path);

        std::vector<double> windowTimes, bareTimes, listTimes, objectTimes, repaintTimes, ratios;
        bool right = true;
        for (int round = 0; round < rounds; ++round) {
            double windowTime = 0;
            double bareTime = 0;
            auto measureWindow = [&] {
                windowTime = Timed([&] { right = ShowFileInfoAlone(*window, subject, shows) && right; }) / shows;
            };
            auto measureBare = [&] {
                bareTime = Timed([&] {
                    for (int i = 0; i < shows; ++i)
                        sink += BarePlatformCalls(subject.path);
                }) / shows;
            };
            InTurns(round, measureWindow, measureBare);
            listTimes.push_back(Timed([&] { right = ShowThroughTheWindow(*window, subject, shows) && right; }) / shows);
            objectTimes.push_back(Timed([&] {
                for (int i = 0; i < shows; ++i)
                    sink += ObjectsAlone(subject.path);
            }) / shows);
            repaintTimes.push_back(Timed([&] {
                for (int i = 0; i < shows; ++i) {
                    window->File1.SetSelectedIndex(subject.index);
                    Dispatch(*window);
                }
            }) / shows);
            windowTimes.push_back(windowTime);
            bareTimes.push_back(bareTime);
            ratios.push_back(windowTime / bareTime);
        }
        const double windowMedian = Median(windowTimes);
        const double bareMedian = Median(bareTimes);
        const double ratio = windowMedian / bareMedian;
        // The target holds for the rounds' own ratios, each of a window and a bare run side by side.
        met = met && Median(ratios) <= kTarget;
        const double objectMedian = Median(objectTimes);
        const double listMedian = Median(listTimes);
        std::printf("%-30s %10.3f %10.3f %7.2fx %11.3f %7.2fx %11.3f %7.2fx %14.3f%s\n", subject.label.c_str(),
                    windowMedian * 1000.0, bareMedian * 1000.0, ratio, listMedian * 1000.0, listMedian / bareMedian,
                    objectMedian * 1000.0, objectMedian / bareMedian,
                    Median(repaintTimes) * 1000.0,
                    right ? "" : "  (the window showed another file!)");
        std::printf("%-30s median of the rounds' own ratios %.2fx, lowest %.2fx, highest %.2fx\n", "",
                    Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
                    *std::max_element(ratios.begin(), ratios.end()));
    }
    std::printf("Target: at most %.2fx for each file (median of the rounds' ratios): %s\n", kTarget, met ? "met" : "MISSED");

    std::printf("\nWhere a show's time goes (the window on a platform that times its calls; per show):\n");
    for (const Subject& subject : subjects) {
        ShowThroughTheWindow(*profiled, subject, 3);
        timing.Reset();
        const double seconds = Timed([&] { ShowThroughTheWindow(*profiled, subject, shows * 2); });
        std::printf("%s: %.3f ms a show\n", subject.label.c_str(), seconds * 1000.0 / (shows * 2));
        PrintProfile(timing, shows * 2, seconds);
    }

    profiled.reset();
    window.reset();
    static_cast<void>(sink);
    return 0;
}
