// korrimat_bench_depth: the same file 1, 10 and 30 folders below the drive's root, shown through
// the window at each depth, with the bare platform calls for it beside; and whether the time
// grows in a straight line with the depth (the time per extra level from 1 to 10 against that
// from 10 to 30).
//
//   korrimat_bench_depth [--rounds R] [--shows K] [--base FOLDER]
//
// The chain of folders starts at --base (default: "korrimat-depth" in the Windows drive's root,
// or in the temporary folder where the root cannot be written); depths count from the root.

#include "benchmarks/BenchSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace korrimat;
using namespace korrimat::bench;

namespace {

// Folders between the drive's root and a file inside `folder`.
int DepthOf(const std::string& folder)
{
    return static_cast<int>(std::count(folder.begin(), folder.end(), '\\')) - (folder.size() > 3 ? 0 : 1);
}

std::string DefaultBase()
{
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string root = std::string(windows, 3);
    return root + "korrimat-depth";
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = IntOption(argc, argv, "--rounds", 7);
    const int shows = IntOption(argc, argv, "--shows", 30);
    const std::string base = TextOption(argc, argv, "--base", DefaultBase());

    const WindowSystem windowSystem;
    if (!MakeFolders(base)) {
        std::printf("cannot create %s\n", base.c_str());
        return 2;
    }
    // One chain of folders; the file lies at three depths of it.
    const int baseDepth = DepthOf(base);
    const int wanted[] = {1, 10, 30};
    struct Level {
        int depth = 0;
        std::string folder;
        std::string file;
    };
    std::vector<Level> levels;
    std::string folder = base;
    for (int depth = baseDepth; depth <= 30; ++depth) {
        if (depth > baseDepth)
            folder = JoinPath(folder, std::string("d").append(std::to_string(depth)));
        if (std::find(std::begin(wanted), std::end(wanted), depth) == std::end(wanted))
            continue;
        if (!MakeFolders(folder) || !::CopyFileA(KorrimatExecutable().c_str(), JoinPath(folder, "korrimat.exe").c_str(), FALSE)) {
            std::printf("cannot put %s into %s\n", KorrimatExecutable().c_str(), folder.c_str());
            return 2;
        }
        levels.push_back({depth, folder, JoinPath(folder, "korrimat.exe")});
    }
    if (levels.size() < 2) {
        std::printf("%s is already %d folders deep: give a shallower --base\n", base.c_str(), baseDepth);
        return 2;
    }

    auto window = OpenWindow();
    if (!window) {
        std::printf("the window cannot be opened\n");
        return 2;
    }
    std::printf("The same file (a copy of korrimat.exe: icon and version) at several depths; median of %d rounds\n"
                "of %d shows each.\n",
                rounds, shows);
    std::printf("%6s %10s %10s %8s  %s\n", "depth", "window ms", "bare ms", "ratio", "path length");
    std::vector<double> windowMedians, bareMedians;
    std::size_t sink = 0;
    bool right = true;
    for (const Level& level : levels) {
        window->Dir1.SetPath(level.folder);
        const int index = window->File1.IndexOf("korrimat.exe");
        auto show = [&] {
            for (int i = 0; i < shows; ++i)
                window->File1.SetSelectedIndex(index);
        };
        show();
        for (int i = 0; i < 3; ++i)
            sink += BarePlatformCalls(level.file);
        std::vector<double> windowTimes, bareTimes;
        for (int round = 0; round < rounds; ++round) {
            auto measureWindow = [&] { windowTimes.push_back(Timed(show) / shows); };
            auto measureBare = [&] {
                bareTimes.push_back(Timed([&] {
                    for (int i = 0; i < shows; ++i)
                        sink += BarePlatformCalls(level.file);
                }) / shows);
            };
            InTurns(round, measureWindow, measureBare);
        }
        right = right && index >= 0 && ::lstrcmpiA(window->CurrentPath().c_str(), level.file.c_str()) == 0;
        windowMedians.push_back(Median(windowTimes));
        bareMedians.push_back(Median(bareTimes));
        std::printf("%6d %10.3f %10.3f %7.2fx  %zu\n", level.depth, windowMedians.back() * 1000.0,
                    bareMedians.back() * 1000.0, windowMedians.back() / bareMedians.back(), level.file.size());
    }
    if (!right)
        std::printf("(the window showed another file than the one measured!)\n");

    // The time each extra level adds, over each stretch of depths.
    std::printf("Time per extra level:\n");
    std::vector<double> windowSlopes, bareSlopes;
    for (std::size_t i = 1; i < levels.size(); ++i) {
        const double steps = levels[i].depth - levels[i - 1].depth;
        windowSlopes.push_back((windowMedians[i] - windowMedians[i - 1]) / steps);
        bareSlopes.push_back((bareMedians[i] - bareMedians[i - 1]) / steps);
        std::printf("  depth %2d to %2d: window %+.4f ms, bare %+.4f ms a level\n", levels[i - 1].depth,
                    levels[i].depth, windowSlopes.back() * 1000.0, bareSlopes.back() * 1000.0);
    }
    if (windowSlopes.size() >= 2) {
        // A straight line: both stretches add about the same per level. A difference within a
        // twentieth of a millisecond a level is taken as noise.
        const double first = windowSlopes.front();
        const double last = windowSlopes.back();
        const double noise = 0.00005;
        const bool linear = std::fabs(last - first) <= std::max(noise, 0.5 * std::max(std::fabs(first), std::fabs(last)));
        std::printf("Growth with depth: %s (per level %.4f ms, then %.4f ms)\n",
                    linear ? "linear" : (last > first ? "FASTER than linear" : "slower than linear"),
                    first * 1000.0, last * 1000.0);
    }

    // The platform calls that grow with the depth.
    std::printf("Platform calls a show, by depth (the window on a platform that times its calls):\n");
    TimingPlatform timing;
    auto profiled = OpenWindow(timing);
    for (const Level& level : levels) {
        if (!profiled || !profiled->Dir1.SetPath(level.folder))
            break;
        const int index = profiled->File1.IndexOf("korrimat.exe");
        profiled->File1.SetSelectedIndex(index);
        timing.Reset();
        for (int i = 0; i < shows; ++i)
            profiled->File1.SetSelectedIndex(index);
        std::printf("  depth %2d:", level.depth);
        using Call = TimingPlatform::Call;
        for (Call call : {Call::FindFirst, Call::ShortPath, Call::ShellInfo, Call::VersionSize}) {
            const TimingPlatform::Tally& tally = timing.Of(call);
            std::printf(" %s %.0f (%.3f ms)", TimingPlatform::Name(call), static_cast<double>(tally.calls) / shows,
                        tally.seconds * 1000.0 / shows);
        }
        std::printf("\n");
    }
    profiled.reset();
    window.reset();
    static_cast<void>(sink);
    if (TextOption(argc, argv, "--base", "").empty())
        RemoveTree(base);
    return 0;
}
