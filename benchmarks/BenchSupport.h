#pragma once
// What the benchmarks share: a clock, medians, the window opened as the program opens it, the
// bare platform calls that showing one file needs, and a platform that times each of its calls.

#include "app/FFileInfo.h"
#include "platform/Platform.h"
#include "platform/PathText.h"
#include "controls/WindowSystem.h"
#include "tests/support/Paths.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowFixture.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korrimat::bench {

using korrimat::JoinPath;
using testing::IsFolder;
using testing::KorrimatExecutable;
using testing::MakeFolders;
using testing::ProgramFolder;
using testing::RemoveTree;
using testing::TempFolder;

// Seconds from a fixed point, by the performance counter.
double Now();

double Median(std::vector<double> values);
// The process's private bytes: its committed memory of its own, counted region by region (the
// counters of GetProcessMemoryInfo read zero under Wine).
std::size_t PrivateBytes();

// Runs `work` and gives the seconds it took.
template <typename Work>
double Timed(Work&& work)
{
    const double start = Now();
    work();
    return Now() - start;
}

// "--name value" among the arguments, or the fallback.
int IntOption(int argc, char** argv, const char* name, int fallback);
std::string TextOption(int argc, char** argv, const char* name, const std::string& fallback);

// OLE and the common controls, as the program sets them up, for the program's lifetime.
using WindowSystem = controls::WindowSystem;

// The real window, created, loaded and shown as the program shows it; null when it could not be.
std::unique_ptr<FFileInfo> OpenWindow(const Platform& platform = SystemPlatform());
// Lets the window handle what is waiting, repaints included.
void Dispatch(FFileInfo& window);

// One round's two measurements, the window's and the bare calls', in turns: which goes first
// alternates from round to round, so that neither always finds the caches warmer.
template <typename Window, typename Bare>
void InTurns(int round, Window&& window, Bare&& bare)
{
    if (round % 2 == 0) {
        window();
        bare();
    } else {
        bare();
        window();
    }
}

// Every platform call that showing one file needs, made directly: its full path, its entry, the
// stored name of each folder level above it (the location as stored, letter case included), the
// user's date, time and number settings, its short path, its compressed size, the shell's names
// and icon, its three local times, and its
// version resource with the fixed part, the translation, its language's name and the nine
// strings. Returns a value built from the results, so that nothing is left out.
std::size_t BarePlatformCalls(const std::string& path);

// What the window's display of one file does with CFileInfo and CFileVersionInfo, without the
// window: the objects made and read, the sizes and dates formatted. Returns a value built from
// the texts.
std::size_t ObjectsAlone(const std::string& path);

// The tallies of a timing platform's calls, by operation.
class CallTallies {
public:
    enum class Call { FullPath, FindFirst, ShortPath, CompressedSize, ShellInfo, VersionSize, QueryVersion, LanguageName, Environment };
    static constexpr int kCalls = static_cast<int>(Call::Environment) + 1;
    static const char* Name(Call call);

    struct Tally {
        long long calls = 0;
        double seconds = 0;
    };
    const Tally& Of(Call call) const { return tallies_[static_cast<std::size_t>(call)]; }
    void Reset() { tallies_ = {}; }

    template <typename Work>
    auto Time(Call call, Work&& work) const
    {
        const double start = Now();
        auto result = work();
        Tally& tally = tallies_[static_cast<std::size_t>(call)];
        tally.seconds += Now() - start;
        ++tally.calls;
        return result;
    }

private:
    mutable std::array<Tally, kCalls> tallies_{};
};

// The replaceable calls, each timed into the tallies.
struct TimedEntries : FileEntries {
    explicit TimedEntries(const CallTallies& tallies) : tallies(tallies) {}
    std::optional<std::string> FullPathOf(const std::string& path) const override;
    std::optional<WIN32_FIND_DATAA> FindFirst(const std::string& path) const override;
    std::optional<std::string> ShortPathOf(const std::string& path) const override;
    std::optional<std::uint64_t> CompressedSizeOf(const std::string& path) const override;
    const CallTallies& tallies;
};
struct TimedShell : ShellDescriptions {
    explicit TimedShell(const CallTallies& tallies) : tallies(tallies) {}
    std::optional<ShellDescription> Describe(const std::string& path) const override;
    const CallTallies& tallies;
};
struct TimedVersions : VersionResources {
    explicit TimedVersions(const CallTallies& tallies) : tallies(tallies) {}
    DWORD SizeOf(const std::string& path) const override;
    std::optional<VersionValue> Query(std::span<const BYTE> image, const std::string& subBlock) const override;
    std::string LanguageName(DWORD languageId) const override;
    const CallTallies& tallies;
};
struct TimedEnvironment : EnvironmentVariables {
    explicit TimedEnvironment(const CallTallies& tallies) : tallies(tallies) {}
    std::string Get(const std::string& name) const override;
    const CallTallies& tallies;
};

struct TimingParts : CallTallies {
    TimedEntries entries{*this};
    TimedShell shell{*this};
    TimedVersions versions{*this};
    TimedEnvironment environment{*this};
};

// A platform that counts and times every replaceable call made through it, by operation (the
// locale's and the time conversions are plain calls, timed with the rest of the window's work).
class TimingPlatform : public TimingParts, public Platform {
public:
    TimingPlatform()
        : Platform(SystemPlatform().With(entries).With(shell).With(versions).With(environment))
    {
    }
    using Call = CallTallies::Call;
};

// Prints the calls and time per show that a timing platform saw over `shows` shows.
void PrintProfile(const TimingPlatform& platform, int shows, double showSeconds);

} // namespace korrimat::bench
