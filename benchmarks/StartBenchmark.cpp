// korrimat_bench_start: what a user waits for after the Explorer verb, from `korrimat.exe PATH`
// to that file's page painted, against the floor: a bare window program that binds the same
// system libraries and paints one window (korrimat_bench_start_floor). Beside them Korrimat
// started without a path, which splits Korrimat's time into the window's opening and the file's
// show. Each start is timed until the program waits for input (WaitForInputIdle: its first
// messages, paints included, handled), then checked and closed. With --before, another build of
// korrimat.exe (an earlier one, copied out of the way) is timed in the same rounds the same ways,
// so that a change's before and after come from one run on one machine.
//
//   korrimat_bench_start [--rounds R] [--before C:\path\korrimat.exe]

#include "benchmarks/BenchSupport.h"
#include "platform/UniqueHandle.h"
#include "tests/support/StartedProgram.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace korrimat;
using namespace korrimat::bench;

namespace {

constexpr double kTarget = 1.3;

BOOL CALLBACK HasText(HWND child, LPARAM argument)
{
    auto* wanted = reinterpret_cast<std::pair<const std::wstring*, bool>*>(argument);
    wanted->second = wanted->second || testing::TextOfWindow(child) == *wanted->first;
    return !wanted->second;
}

// Starts the program, waits until it is idle with its window up, and gives the seconds that took
// (negative when it did not start or showed no window, or not `shownName` in a box when given).
double TimedStart(const std::string& program, const std::string& argument, const std::wstring& shownName)
{
    std::wstring command = L"\"" + WideText(program) + L"\"" + (argument.empty() ? L"" : L" \"" + WideText(argument) + L"\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    const double start = Now();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return -1;
    const UniqueProcess process(started.hProcess);
    ::CloseHandle(started.hThread);
    const bool idle = ::WaitForInputIdle(process.Get(), 60000) == 0;
    const double seconds = Now() - start;
    const HWND window = testing::VisibleWindowOf(started.dwProcessId);
    std::pair<const std::wstring*, bool> wanted{&shownName, shownName.empty()};
    if (window && !shownName.empty())
        ::EnumChildWindows(window, HasText, reinterpret_cast<LPARAM>(&wanted));
    if (window)
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.Get(), 15000) != WAIT_OBJECT_0)
        ::TerminateProcess(process.Get(), 1);
    return idle && window && wanted.second ? seconds : -1;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = IntOption(argc, argv, "--rounds", 7);
    const std::string before = TextOption(argc, argv, "--before", "");
    const TempFolder folder("korrimat-bench-start");
    const std::string file = folder.CopyIn(KorrimatExecutable(), "shown.exe");
    const std::string floor = ProgramFolder() + "\\korrimat_bench_start_floor.exe";
    if (file.empty()) {
        std::printf("no %s: build the korrimat target\n", KorrimatExecutable().c_str());
        return 2;
    }
    std::vector<double> floors, withPath, withoutPath, ratios, beforeWithPath, beforeWithoutPath, beforeRatios;
    bool right = true;
    // One start of each first, unmeasured, so that none finds the libraries first.
    TimedStart(floor, "", L"");
    TimedStart(KorrimatExecutable(), file, L"shown.exe");
    if (!before.empty())
        TimedStart(before, file, L"shown.exe");
    for (int round = 0; round < rounds; ++round) {
        double bare = 0, shown = 0;
        InTurns(round, [&] { shown = TimedStart(KorrimatExecutable(), file, L"shown.exe"); },
                [&] { bare = TimedStart(floor, "", L""); });
        const double plain = TimedStart(KorrimatExecutable(), "", L"");
        right = right && bare > 0 && shown > 0 && plain > 0;
        floors.push_back(bare);
        withPath.push_back(shown);
        withoutPath.push_back(plain);
        ratios.push_back(shown / bare);
        if (!before.empty()) {
            const double earlierShown = TimedStart(before, file, L"shown.exe");
            const double earlierPlain = TimedStart(before, "", L"");
            right = right && earlierShown > 0 && earlierPlain > 0;
            beforeWithPath.push_back(earlierShown);
            beforeWithoutPath.push_back(earlierPlain);
            beforeRatios.push_back(earlierShown / bare);
        }
    }
    std::printf("Starting from the Explorer verb: korrimat.exe PATH until idle with the file shown; median of %d rounds\n",
                rounds);
    std::printf("  %-52s %9.1f ms\n", "the floor (same libraries, one window painted)", Median(floors) * 1000.0);
    std::printf("  %-52s %9.1f ms  %.2fx\n", "korrimat.exe PATH (a copy of korrimat.exe shown)", Median(withPath) * 1000.0,
                Median(ratios));
    std::printf("  %-52s %9.1f ms\n", "  of which the window opening (korrimat.exe alone)", Median(withoutPath) * 1000.0);
    std::printf("  %-52s %9.1f ms\n", "  and the path's arrival and show (the difference)",
                (Median(withPath) - Median(withoutPath)) * 1000.0);
    if (!before.empty()) {
        std::printf("  the build before (%s):\n", before.c_str());
        std::printf("  %-52s %9.1f ms  %.2fx\n", "korrimat.exe PATH", Median(beforeWithPath) * 1000.0, Median(beforeRatios));
        std::printf("  %-52s %9.1f ms\n", "  of which the window opening", Median(beforeWithoutPath) * 1000.0);
        std::printf("  %-52s %.2f\n", "the window opening, now against before",
                    Median(withoutPath) / Median(beforeWithoutPath));
    }
    std::printf("Target: at most %.2fx (median of the rounds' own ratios): %s%s\n", kTarget,
                Median(ratios) <= kTarget ? "met" : "MISSED", right ? "" : " (but some start failed or showed something else!)");
    return 0;
}
