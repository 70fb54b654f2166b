// korrimat_soak: shows thousands of files in a row through the real window, as a user clicking
// through a folder would, and fails when the process holds more GDI objects, windows or memory
// at the end than it held once warmed up, or when the window leaves more behind each time it is
// opened and closed again.
//
//   korrimat_soak [--files N] [--warmup N] [--progress N] [--build FOLDER] [--keep] [--hoard-icons]
//
// --files: files (and folders) to show, 10000 by default. --warmup: shows before the reference
// sample (default N/20, at least 100): the shell's and the fonts' caches fill meanwhile.
// --progress: a sample every N shows. --build: the build folder holding app\korrimat.exe and
// tests\versioninfo (default: two levels above this program). --keep: leave the folder on disk.
// --hoard-icons: the window's platform keeps a copy of every icon the shell hands over, as a leak
// would; the soak must then fail (this proves that it can).
// Exit code: 0 passed, 1 something grew or a display was wrong, 2 the soak could not start.

#include "app/FFileInfo.h"
#include "tests/support/Paths.h"
#include "controls/WindowSystem.h"
#include "reliability/soak/ProcessResources.h"
#include "reliability/soak/SoakFolder.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace korrimat;
using namespace korrimat::soak;

namespace {

// Growth allowed between the sample after warm-up and the last one, and between the first and
// the last closing of the window.
constexpr int kGdiAllowance = 2;
constexpr int kWindowAllowance = 0;
constexpr int kKernelHandleAllowance = 2;
constexpr int kThreadAllowance = 0;
constexpr int kUserAllowance = 2;
constexpr long long kPrivateKiBAllowance = 2048;
constexpr long long kHeapKiBAllowance = 512;
constexpr int kReopenings = 3;

struct Options {
    int files = 10000;
    int warmup = -1;
    int progress = -1;
    std::string build;
    bool keep = false;
    bool hoardIcons = false;
};

// Keeps a copy of every icon the shell hands over until the program ends: one icon more each
// time a file is shown, as a leak would hold it.
class IconHoardingShell : public ShellDescriptions {
public:
    std::optional<ShellDescription> Describe(const std::string& path) const override
    {
        std::optional<ShellDescription> described = ShellDescriptions::Describe(path);
        if (described && described->icon)
            hoard_.emplace_back(::CopyIcon(described->icon.Get()));
        return described;
    }

private:
    mutable std::vector<UniqueIcon> hoard_;
};

std::string FullPath(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        auto number = [&](int& target, int minimum) {
            if (i + 1 >= argc)
                return false;
            target = std::atoi(argv[++i]);
            return target >= minimum;
        };
        bool ok = true;
        if (argument == "--files")
            ok = number(options.files, 1);
        else if (argument == "--warmup")
            ok = number(options.warmup, 0);
        else if (argument == "--progress")
            ok = number(options.progress, 1);
        else if (argument == "--build" && i + 1 < argc)
            options.build = argv[++i];
        else if (argument == "--keep")
            options.keep = true;
        else if (argument == "--hoard-icons")
            options.hoardIcons = true;
        else
            ok = false;
        if (!ok) {
            std::fprintf(stderr,
                         "usage: korrimat_soak [--files N] [--warmup N] [--progress N] [--build FOLDER] [--keep] "
                         "[--hoard-icons]\n");
            return false;
        }
    }
    if (options.warmup < 0)
        options.warmup = std::min(std::max(options.files / 20, 100), options.files / 2);
    options.warmup = std::min(options.warmup, options.files);
    if (options.progress < 0)
        options.progress = std::max(options.files / 10, 100);
    if (options.build.empty())
        options.build = testing::BuildFolder();
    options.build = FullPath(options.build);
    return true;
}

class Stopwatch {
public:
    Stopwatch()
    {
        ::QueryPerformanceFrequency(&frequency_);
        ::QueryPerformanceCounter(&start_);
    }
    double Seconds() const
    {
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
};

std::string Signed(long long value)
{
    std::string text = std::to_string(value);
    if (value >= 0)
        text.insert(text.begin(), '+');
    return text;
}

long long KiB(std::uint64_t bytes)
{
    return static_cast<long long>(bytes / 1024);
}

struct Checkpoint {
    std::string name;
    int shown = 0;
    double seconds = 0;
    ResourceSample sample;
};

class Report {
public:
    explicit Report(const ResourceCounter& counter) : counter_(counter) {}

    void Header() const
    {
        std::printf("Columns: GDI = %s; windows = this process's windows, enumerated; USER = "
                    "GetGuiResources(GR_USEROBJECTS)%s; handles = open kernel handles (GetProcessHandleCount, "
                    "else the system's handle table); threads = the process's threads (Toolhelp); private = %s; "
                    "heap = busy bytes of the process's heaps (HeapWalk)\n",
                    counter_.GdiSource(), counter_.UserObjects(counter_.Take()) < 0 ? ", n/a here (it answers 0)" : "",
                    counter_.PrivateBytesSource());
        std::printf("%-14s %6s %8s %6s %8s %6s %8s %8s %12s %10s\n", "sample", "shown", "seconds", "GDI", "windows",
                    "USER", "handles", "threads", "private KiB", "heap KiB");
    }

    void Row(const Checkpoint& checkpoint) const
    {
        const ResourceSample& sample = checkpoint.sample;
        const int user = counter_.UserObjects(sample);
        std::printf("%-14s %6d %8.1f %6d %8d %6s %8d %8d %12lld %10lld\n", checkpoint.name.c_str(), checkpoint.shown,
                    checkpoint.seconds, counter_.GdiObjects(sample), sample.windows,
                    user < 0 ? "n/a" : std::to_string(user).c_str(), sample.kernelHandles, sample.threads,
                    KiB(counter_.PrivateBytes(sample)),
                    KiB(sample.heapBytes));
        std::fflush(stdout);
    }

    // Adds every measure's growth from `before` to `after` to the summary, and a failure for each
    // beyond its allowance (memory only when `withMemory`).
    void Compare(const ResourceSample& before, const ResourceSample& after, bool withMemory, const std::string& when)
    {
        growth_.clear();
        when_ = when;
        const int gdiBefore = counter_.GdiObjects(before);
        const int gdiAfter = counter_.GdiObjects(after);
        if (gdiBefore >= 0 && gdiAfter >= 0)
            Check("GDI objects", gdiAfter - gdiBefore, kGdiAllowance, "");
        else
            growth_ += "GDI objects not counted here; ";
        Check("windows", after.windows - before.windows, kWindowAllowance, "");
        if (before.kernelHandles >= 0 && after.kernelHandles >= 0)
            Check("kernel handles", after.kernelHandles - before.kernelHandles, kKernelHandleAllowance, "");
        if (before.threads >= 0 && after.threads >= 0)
            Check("threads", after.threads - before.threads, kThreadAllowance, "");
        if (counter_.UserObjects(before) >= 0)
            Check("USER objects", counter_.UserObjects(after) - counter_.UserObjects(before), kUserAllowance, "");
        if (withMemory) {
            Check("private bytes", KiB(counter_.PrivateBytes(after)) - KiB(counter_.PrivateBytes(before)),
                  kPrivateKiBAllowance, " KiB");
            Check("heap bytes", KiB(after.heapBytes) - KiB(before.heapBytes), kHeapKiBAllowance, " KiB");
        }
    }
    const std::string& Growth() const noexcept { return growth_; }
    void Fail(const std::string& failure) { failures_.push_back(failure); }
    const std::vector<std::string>& Failures() const noexcept { return failures_; }

private:
    void Check(const std::string& what, long long grown, long long allowed, const char* unit)
    {
        growth_ += (growth_.empty() ? "" : ", ") + what + " " + Signed(grown) + unit + " (allowed " +
                   Signed(allowed) + ")";
        if (grown > allowed)
            failures_.push_back(what + " grew by " + std::to_string(grown) + unit + " " + when_);
    }

    const ResourceCounter& counter_;
    std::string growth_;
    std::string when_;
    std::vector<std::string> failures_;
};

// Drives the window through the soak folder, cycling, until enough files and folders are shown.
class Soak {
public:
    Soak(FFileInfo& window, SoakFolder& folder, const ResourceCounter& counter, const Report& report,
         const Options& options)
        : window_(window), folder_(folder), counter_(counter), report_(report), options_(options)
    {
    }

    void Run()
    {
        Record("window open");
        while (!Done() && faults_ < kMaxFaults) {
            ReturnToTheFolder();
            SelectEveryFile();
            OpenEverySubfolder();
        }
        Record("end");
    }

    const std::vector<Checkpoint>& Checkpoints() const noexcept { return checkpoints_; }
    const ResourceSample& AfterWarmUp() const
    {
        for (const Checkpoint& checkpoint : checkpoints_)
            if (checkpoint.name == "after warm-up")
                return checkpoint.sample;
        return checkpoints_.front().sample;
    }
    int Shown() const noexcept { return shown_; }
    int Rewrites() const noexcept { return rewrites_; }
    ULONGLONG SlowestRefresh() const noexcept { return slowestRefresh_; }
    int Faults() const noexcept { return faults_; }
    double Seconds() const { return clock_.Seconds(); }

private:
    static constexpr int kMaxFaults = 20;
    static constexpr ULONGLONG kRefreshWaitMilliseconds = 2000;

    bool Done() const noexcept { return shown_ >= options_.files; }

    void Record(const std::string& name)
    {
        checkpoints_.push_back({name, shown_, clock_.Seconds(), counter_.Take()});
        report_.Row(checkpoints_.back());
    }

    // One file or folder shown: checked, its repaint let through, the samples taken on time.
    void Shown(bool right, const std::string& what)
    {
        ++shown_;
        if (!right)
            Fault("wrong display after " + what + ": the window shows \"" + window_.CurrentPath() + "\"");
        controls::DispatchPendingMessages(&window_);
        if (shown_ == options_.warmup)
            Record("after warm-up");
        else if (shown_ % options_.progress == 0 && shown_ < options_.files)
            Record("progress");
    }

    void Fault(const std::string& what)
    {
        ++faults_;
        std::printf("  %s\n", what.c_str());
    }

    // Back to the soak folder through the folder list (by its level entry once the list is below
    // it), so that the file list is filled again, with the vanishing file in it; then it goes.
    void ReturnToTheFolder()
    {
        folder_.CreateVanishingFile();
        controls::FolderList& folders = window_.Dir1;
        bool moved = false;
        if (mainLevel_ >= 0 && mainLevel_ < folders.CurrentIndex())
            moved = folders.Open(mainLevel_);
        else if (folders.Path() != folder_.Path())
            moved = folders.SetPath(folder_.Path());
        folder_.DeleteVanishingFile();
        if (!moved || folders.Path() != folder_.Path()) {
            Fault("cannot return to " + folder_.Path() + " (the folder list is on " + folders.Path() + ")");
            return;
        }
        mainLevel_ = folders.CurrentIndex();
        const controls::FileList& files = window_.File1;
        Shown(files.Count() > 0 && window_.CurrentPath() == files.Path() + "\\" + files.Item(0), "the return");
    }

    void SelectEveryFile()
    {
        controls::FileList& files = window_.File1;
        if (files.Path() != folder_.Path())
            return;
        for (int i = 0; i < files.Count() && !Done(); ++i) {
            const std::string name = files.Item(i);
            files.SetSelectedIndex(i);
            Shown(window_.CurrentPath() == files.Path() + "\\" + name, "selecting " + name);
            if (name == SoakFolder::kRewritten)
                RewriteWhileShown();
            // Every other file with a version resource also has an item of its Version page read,
            // and every third program its Program page drawn.
            if (window_.tabInfo.IndexOfKey("Program") >= 0 && (++programs_ % 3) == 0) {
                window_.tabInfo.Select(std::string_view("Program"));
                controls::DispatchPendingMessages(&window_);
            }
            if (window_.tabInfo.IndexOfKey("Version") >= 0 && (++versioned_ % 2) == 0) {
                window_.tabInfo.Select(std::string_view("Version"));
                controls::ListBox& items = window_.lstVerInfo;
                if (items.Count() > 0)
                    items.SetSelectedIndex(versioned_ / 2 % items.Count());
                controls::DispatchPendingMessages(&window_);
            }
        }
    }

    // The shown file rewritten with another size: the window shows the new size on its own, after
    // its watch on the folder has seen the change.
    void RewriteWhileShown()
    {
        const std::string size = window_.txtSize.Text();
        if (!folder_.Rewrite()) {
            Fault("cannot rewrite " + std::string(SoakFolder::kRewritten));
            return;
        }
        ++rewrites_;
        const ULONGLONG start = ::GetTickCount64();
        while (window_.txtSize.Text() == size && ::GetTickCount64() - start < kRefreshWaitMilliseconds) {
            ::Sleep(10);
            controls::DispatchPendingMessages(&window_);
        }
        if (window_.txtSize.Text() == size)
            Fault("the rewritten file still shows its old size after " + std::to_string(kRefreshWaitMilliseconds) + " ms");
        else
            slowestRefresh_ = std::max(slowestRefresh_, ::GetTickCount64() - start);
    }

    // Each subfolder through the folder list, nested ones down to the bottom, coming back through
    // the list between them; the cycle ends inside the last one.
    void OpenEverySubfolder()
    {
        controls::FolderList& folders = window_.Dir1;
        if (folders.Path() != folder_.Path())
            return;
        std::vector<std::string> names;
        for (int i = folders.CurrentIndex() + 1; i < folders.EntryCount(); ++i)
            names.emplace_back(folders.EntryAt(i).name);
        for (std::size_t n = 0; n < names.size() && !Done(); ++n) {
            if (n > 0 && !OpenEntry(mainLevel_))
                return;
            int entry = -1;
            for (int i = folders.CurrentIndex() + 1; i < folders.EntryCount(); ++i)
                if (folders.EntryAt(i).name == names[n])
                    entry = i;
            if (entry < 0) {
                Fault("the folder list lost " + names[n]);
                return;
            }
            if (!OpenEntry(entry))
                return;
            while (!Done() && folders.EntryCount() > folders.CurrentIndex() + 1) {
                if (!OpenEntry(folders.CurrentIndex() + 1))
                    return;
            }
        }
    }

    bool OpenEntry(int index)
    {
        controls::FolderList& folders = window_.Dir1;
        const std::string path = folders.EntryPath(index);
        if (!folders.Open(index) || folders.Path() != path) {
            Fault("cannot open " + path + " in the folder list");
            return false;
        }
        Shown(window_.CurrentPath().compare(0, path.size(), path) == 0, "opening " + path);
        return true;
    }

    FFileInfo& window_;
    SoakFolder& folder_;
    const ResourceCounter& counter_;
    const Report& report_;
    const Options& options_;
    Stopwatch clock_;
    std::vector<Checkpoint> checkpoints_;
    int shown_ = 0;
    int faults_ = 0;
    int versioned_ = 0;
    int programs_ = 0;
    int mainLevel_ = -1;
    int rewrites_ = 0;
    ULONGLONG slowestRefresh_ = 0;
};

// Dispatches what a closed window left in the queue, its request to end the loop included.
void DrainMessages()
{
    MSG message{};
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT)
            ::DispatchMessageA(&message);
    }
}

std::string KindBreakdown(const GdiTableCount& count)
{
    std::string text;
    for (std::size_t kind = 0; kind < count.byKind.size(); ++kind) {
        if (count.byKind[kind] == 0)
            continue;
        text += (text.empty() ? "" : ", ") + std::string(GdiKindName(static_cast<GdiKind>(kind))) + " " +
                std::to_string(count.byKind[kind]);
    }
    return text;
}

int RunSoak(const Options& options, const ResourceCounter& counter, const Platform& platform)
{
    SoakFolder folder(options.build);
    if (options.keep)
        folder.Keep();
    if (!folder.Problems().empty()) {
        for (const std::string& problem : folder.Problems())
            std::printf("setup: %s\n", problem.c_str());
        std::printf("FAIL: the soak folder could not be made (build korrimat and the version fixtures)\n");
        return 2;
    }
    std::printf("Folder: %s (%d files, %d folders, and a file that vanishes once listed)\n", folder.Path().c_str(),
                folder.FileCount(), folder.FolderCount());

    Report report(counter);
    report.Header();
    const Checkpoint start{"start", 0, 0, counter.Take()};
    report.Row(start);

    ResourceSample warm;
    ResourceSample last;
    int shown = 0;
    int faults = 0;
    double seconds = 0;
    int rewrites = 0;
    ULONGLONG slowestRefresh = 0;
    {
        FFileInfo window(platform);
        if (!window.Created()) {
            std::printf("FAIL: the window could not be created\n");
            return 2;
        }
        window.Load();
        window.Show(SW_SHOWNORMAL);
        controls::DispatchPendingMessages(&window);
        Soak soak(window, folder, counter, report, options);
        soak.Run();
        warm = soak.AfterWarmUp();
        last = soak.Checkpoints().back().sample;
        shown = soak.Shown();
        faults = soak.Faults();
        seconds = soak.Seconds();
        rewrites = soak.Rewrites();
        slowestRefresh = soak.SlowestRefresh();
    }
    DrainMessages();
    const Checkpoint closed{"after close", shown, seconds, counter.Take()};
    report.Row(closed);

    // The window opened, filled and closed again: each time it must leave nothing more behind.
    ResourceSample reclosed;
    for (int round = 0; round < kReopenings; ++round) {
        {
            FFileInfo window(platform);
            window.Load();
            window.Show(SW_SHOWNORMAL);
            window.Dir1.SetPath(folder.Path());
            controls::DispatchPendingMessages(&window);
        }
        DrainMessages();
        reclosed = counter.Take();
    }
    report.Row({"reopened x" + std::to_string(kReopenings), shown, seconds, reclosed});

    if (warm.gdiTable.readable) {
        std::printf("GDI objects by kind: after warm-up %s; end %s; after close %s\n",
                    KindBreakdown(warm.gdiTable).c_str(), KindBreakdown(last.gdiTable).c_str(),
                    KindBreakdown(closed.sample.gdiTable).c_str());
    }
    report.Compare(warm, last, true, "after warm-up");
    std::printf("Growth after warm-up: %s\n", report.Growth().c_str());
    report.Compare(closed.sample, reclosed, false, "over the reopenings");
    std::printf("Growth over %d more openings and closings of the window: %s\n", kReopenings,
                report.Growth().c_str());
    std::printf("Held after closing, against the start (the system's own caches, made once): GDI %s, windows %s, "
                "handles %s, threads %s\n",
                Signed(counter.GdiObjects(closed.sample) - counter.GdiObjects(start.sample)).c_str(),
                Signed(closed.sample.windows - start.sample.windows).c_str(),
                Signed(closed.sample.kernelHandles - start.sample.kernelHandles).c_str(),
                Signed(closed.sample.threads - start.sample.threads).c_str());
    std::printf("Live refresh: %s rewritten %d times while shown, each new size shown by the window on its own "
                "(slowest after %llu ms)\n",
                SoakFolder::kRewritten, rewrites, static_cast<unsigned long long>(slowestRefresh));
    std::printf("Shown: %d in %.1f s (%.2f ms each), %d faults\n", shown, seconds,
                shown > 0 ? seconds * 1000.0 / shown : 0.0, faults);

    if (rewrites == 0 && shown >= options.warmup)
        report.Fail("the rewritten file was never shown");
    if (shown < options.files)
        report.Fail("only " + std::to_string(shown) + " of " + std::to_string(options.files) + " shown");
    if (faults > 0)
        report.Fail(std::to_string(faults) + " wrong displays or failed steps");
    if (report.Failures().empty()) {
        std::printf("PASS\n");
        return 0;
    }
    for (const std::string& failure : report.Failures())
        std::printf("FAIL: %s\n", failure.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options))
        return 2;

    // As the program itself starts: OLE for the shell's file information, the common controls.
    const controls::WindowSystem windowSystem;
    int status = 0;
    {
        const ResourceCounter counter;
        std::printf("Korrimat soak: %d files and folders shown through the window, warm-up %d, on %s\n",
                    options.files, options.warmup,
                    counter.UnderWine() ? ("Wine " + counter.WineVersion()).c_str() : "Windows");
        std::printf("%s", counter.ProbeReport().c_str());
        const IconHoardingShell hoarding;
        const Platform hoardingPlatform = SystemPlatform().With(hoarding);
        if (options.hoardIcons)
            std::printf("Every icon the shell hands over is kept: this run must fail\n");
        status = RunSoak(options, counter, options.hoardIcons ? hoardingPlatform : SystemPlatform());
    }
    return status;
}
