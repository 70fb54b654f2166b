// korrimat_mutation: copies of files with a version resource, each damaged in one way, shown one
// at a time through CFileInfo, CFileVersionInfo and the real window (its lists navigated to the
// file as a user would), each one timed. A file that takes over a second, or a crash, ends the
// run at once with the file kept; the last line sums the run up.

#include "app/FFileInfo.h"
#include "report/ReportWriters.h"
#include "console/ReportCommand.h"
#include "tests/support/Paths.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VersionSnapshot.h"
#include "fileinfo/FileInfo.h"
#include "controls/Control.h"
#include "platform/ProgramFiles.h"
#include "platform/Signatures.h"
#include "controls/WindowSystem.h"
#include "reliability/mutation/FencedPlatform.h"
#include "reliability/mutation/Mutations.h"
#include "reliability/mutation/PeResources.h"
#include "reliability/mutation/RunGuard.h"
#include "versioninfo/FileVersionInfo.h"
#include "formats/VersionImageCheck.h"
#include "formats/VersionResource.h"

#include <nlohmann/json.hpp>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

using namespace korrimat;
using namespace korrimat::mutation;

namespace {

// A hang is a damaged file shown far more slowly than the whole files were on this machine: the
// window's drawing under a loaded or slow machine takes several times what it takes on a quiet
// one, and a fixed limit would call that a hang.
constexpr DWORD kLimitFloorMilliseconds = 1000;
constexpr long long kLimitTimesSlowestWhole = 4;
constexpr int kSetupFailed = 2;
constexpr int kShownWrongly = 1;

const char kUsage[] =
    "usage: korrimat_mutation [--seed N] [--files N] [--flips N] [--only TEXT]\n"
    "                         [--fixtures FOLDER] [--program FILE] [--work FOLDER] [--keep FOLDER]\n"
    "  --seed N      the run's seed (default: drawn from the clock; printed either way)\n"
    "  --files N     show only the first N files of the shuffled plan (default: all of it)\n"
    "  --flips N     sets of bit flips planned per source file (default 400)\n"
    "  --only TEXT   only the files whose name holds TEXT, for example complete-root-0100\n"
    "  --fixtures    folder of the vi_*.dll test files (default: ..\\..\\tests\\versioninfo)\n"
    "  --program     Korrimat's own executable, mutated too (default: ..\\..\\app\\korrimat.exe)\n"
    "  --work        where each file is written to be shown (default: a new temporary folder)\n"
    "  --keep        where a file that crashed, hung or showed wrongly is kept (default: kept\\\n"
    "                beside this program)\n";

struct Options {
    std::optional<std::uint64_t> seed;
    std::optional<std::size_t> files;
    std::size_t flips = 400;
    std::string only;
    std::string fixtures;
    std::string program;
    std::string work;
    std::string keep;
};

std::optional<Options> ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            return std::nullopt;
        const std::string value = argv[++i];
        char* end = nullptr;
        const unsigned long long number = std::strtoull(value.c_str(), &end, 10);
        const bool numeric = !value.empty() && *end == '\0';
        if (name == "--seed" && numeric)
            options.seed = number;
        else if (name == "--files" && numeric)
            options.files = static_cast<std::size_t>(number);
        else if (name == "--flips" && numeric)
            options.flips = static_cast<std::size_t>(number);
        else if (name == "--only")
            options.only = value;
        else if (name == "--fixtures")
            options.fixtures = value;
        else if (name == "--program")
            options.program = value;
        else if (name == "--work")
            options.work = value;
        else if (name == "--keep")
            options.keep = value;
        else
            return std::nullopt;
    }
    return options;
}

// The absolute, long form of a path, so that it compares with what the window's lists report.
std::string CanonicalPath(const std::string& path)
{
    char full[MAX_PATH] = {};
    if (::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr) == 0)
        return path;
    char longPath[MAX_PATH] = {};
    return ::GetLongPathNameA(full, longPath, MAX_PATH) ? std::string(longPath) : std::string(full);
}

bool ReadBytes(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::optional<Source> LoadSource(const std::string& path, std::string stem, std::string extension)
{
    Source source;
    source.stem = std::move(stem);
    source.extension = std::move(extension);
    if (!ReadBytes(path, source.bytes)) {
        std::printf("cannot read %s\n", path.c_str());
        return std::nullopt;
    }
    std::string why;
    const std::optional<VersionResource> resource = FindVersionResource(source.bytes, why);
    if (!resource) {
        std::printf("%s: %s\n", path.c_str(), why.c_str());
        return std::nullopt;
    }
    source.resource = *resource;
    source.blocks = VersionBlocks(std::span<const std::uint8_t>(source.bytes).subspan(resource->dataOffset, resource->size));
    if (source.blocks.empty()) {
        std::printf("%s: the version resource has no block to start from\n", path.c_str());
        return std::nullopt;
    }
    std::printf("  %s: version resource of %zu bytes at 0x%zx, %zu blocks\n", path.c_str(), resource->size,
                resource->dataOffset, source.blocks.size());
    // Its signature, if it has one whole.
    const EmbeddedSignaturePlace signature = EmbeddedSignatureAt(path);
    if (signature.state == EmbeddedSignaturePlace::State::Present) {
        source.signatureEntry = static_cast<std::size_t>(signature.directoryEntry);
        source.signatureOffset = signature.offset;
        source.signatureSize = signature.size;
        std::printf("  %s: signature of %u bytes at 0x%x\n", path.c_str(), signature.size, signature.offset);
    }
    return source;
}

std::optional<std::vector<Source>> LoadSources(const Options& options)
{
    const std::string fixtures = options.fixtures.empty() ? testing::BuildFolder() + "\\tests\\versioninfo"
                                                          : options.fixtures;
    const std::string program = options.program.empty() ? testing::KorrimatExecutable()
                                                        : options.program;
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    UniqueFindHandle search(::FindFirstFileA((fixtures + "\\vi_*.dll").c_str(), &found));
    if (search) {
        do
            names.emplace_back(found.cFileName);
        while (::FindNextFileA(search.Get(), &found));
    }
    std::sort(names.begin(), names.end());
    if (names.empty()) {
        std::printf("no vi_*.dll in %s\n", fixtures.c_str());
        return std::nullopt;
    }

    std::vector<Source> sources;
    for (const std::string& name : names) {
        // "vi_complete.dll" -> "complete"
        std::optional<Source> source = LoadSource(fixtures + "\\" + name, name.substr(3, name.size() - 7), ".dll");
        if (!source)
            return std::nullopt;
        sources.push_back(std::move(*source));
    }
    std::optional<Source> own = LoadSource(program, "korrimat", ".exe");
    if (!own)
        return std::nullopt;
    sources.push_back(std::move(*own));
    // A signed copy of a fixture, as the signature tests' script made it.
    std::optional<Source> signedFile = LoadSource(fixtures + "\\..\\signatures\\signed\\signed.dll", "signed", ".dll");
    if (!signedFile || signedFile->signatureSize == 0)
        return std::nullopt;
    sources.push_back(std::move(*signedFile));
    return sources;
}

// Shows files through the objects and the window, and says what it found inconsistent.
class Viewer {
public:
    Viewer(FFileInfo& window, const Platform& fenced) : window_(window), fenced_(fenced) {}

    std::vector<std::string> Show(const std::string& path, const std::string& name, std::size_t number)
    {
        std::vector<std::string> faults;

        CFileInfo fileInfo(fenced_);
        fileInfo.SetFullPathName(path);
        if (!fileInfo.FileExists() || fileInfo.FileName() != name)
            faults.push_back("CFileInfo does not find the file");
        // Every text the General page would show.
        const std::string texts = fileInfo.FormatFileSize(fileInfo.FileSize64()) +
                                  fileInfo.FormatFileDate(fileInfo.ModifyTime()) + fileInfo.TypeName() +
                                  fileInfo.DisplayName() + fileInfo.ShortPath();
        static_cast<void>(texts);

        CFileVersionInfo fencedInfo(fenced_);
        fencedInfo.SetFullPathName(path);
        const std::vector<std::string> values = testing::VersionSnapshot(fencedInfo);
        CFileVersionInfo plainInfo;
        plainInfo.SetFullPathName(path);
        if (testing::VersionSnapshot(plainInfo) != values)
            faults.push_back("CFileVersionInfo reads differently when its queries are fenced");

        // Korrimat's own walk of the resource, on a copy fenced as the queries' images are: it
        // reads whole whatever the check lets the queries at. Then the properties report, whose
        // JSON must parse.
        const std::vector<BYTE> image = ReadVersionImage(fenced_, path);
        if (!image.empty()) {
            const std::span<const BYTE> resource(image.data(), image.size() - 1);
            const FencedCopy copy(resource);
            const VersionResourceContents contents = ReadVersionResource(copy.Fenced() ? copy.Bytes() : resource);
            if (VersionImageIsWalkable(resource) && !contents.whole)
                faults.push_back("the walk leaves out part of a resource the check passes");
        }
        // The signature, checked by the system as the Digital Signatures page would have it.
        if (EmbeddedSignatureAt(path).state != EmbeddedSignaturePlace::State::None
            && CheckEmbeddedSignatures(path).signatures.empty())
            faults.push_back("the signature check gives no verdict");
        // The report as the console program writes it in each form: one JSON element and one CSV
        // row for the file, whatever its damage.
        for (const auto format : {ReportCommand::Format::Text, ReportCommand::Format::Json, ReportCommand::Format::Csv}) {
            std::string out;
            RunReportCommand(fenced_, ReportCommand{format, true, false, {path}},
                             [&](std::string_view text) { out += text; }, [](std::string_view) {});
            if (format == ReportCommand::Format::Text && out.find("[General]") == std::string::npos)
                faults.push_back("the text report has no General section");
            if (format == ReportCommand::Format::Json) {
                const nlohmann::json json = nlohmann::json::parse(out, nullptr, false);
                if (json.is_discarded() || json.size() != 1)
                    faults.push_back("the JSON report does not parse as one report");
            }
            const std::string header = CsvHeader(true);
            if (format == ReportCommand::Format::Csv &&
                (out.compare(0, header.size(), header) != 0 || out.size() <= header.size() || !out.ends_with("\r\n")))
                faults.push_back("the CSV report is not a header and a row");
        }

        // Through the window, as a user would: the file list, read again, and a click on the file.
        window_.File1.Refresh();
        int index = -1;
        for (int i = 0; i < window_.File1.Count() && index < 0; ++i)
            if (::lstrcmpiA(window_.File1.Item(i).c_str(), name.c_str()) == 0)
                index = i;
        if (index < 0) {
            faults.push_back("the file list does not hold the file");
            return faults;
        }
        window_.File1.SetSelectedIndex(index);
        if (::lstrcmpiA(window_.CurrentPath().c_str(), path.c_str()) != 0)
            faults.push_back("the window shows " + window_.CurrentPath());
        const bool signedFile = EmbeddedSignatureAt(path).state != EmbeddedSignaturePlace::State::None;
        // General, Version, Digital Signatures, Program for a PE image, and Hashes for every file.
        const bool peImage = ProgramHeadersAt(path, true).program.has_value();
        const int tabs = 1 + (fencedInfo.Available() ? 1 : 0) + (signedFile ? 1 : 0) + (peImage ? 1 : 0) + 1;
        if (window_.tabInfo.Count() != tabs)
            faults.push_back("the window has " + std::to_string(window_.tabInfo.Count()) + " tabs");
        if (window_.tabInfo.IndexOfKey("Version") >= 0) {
            // One of the version items, and the Version page in front, drawn.
            window_.lstVerInfo.SetSelectedIndex(static_cast<int>(number % 9));
            window_.tabInfo.Select(std::string_view("Version"));
        }
        // Now and then the Hashes page, whose work on the damaged file the next file drops, or
        // the Program page.
        if (number % 3 == 0)
            window_.tabInfo.Select(std::string_view("Hashes"));
        else if (number % 3 == 1 && peImage)
            window_.tabInfo.Select(std::string_view("Program"));
        controls::DispatchPendingMessages(&window_);
        return faults;
    }

private:
    FFileInfo& window_;
    const Platform& fenced_;
};

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    static const double frequency = [] {
        LARGE_INTEGER value{};
        ::QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / frequency;
}

struct Progress {
    std::atomic<std::size_t> files{0};
    std::atomic<long long> slowestMicroseconds{-1};
    std::atomic<std::size_t> slowest{0};
};


} // namespace

int main(int argc, char** argv)
{
    const std::optional<Options> parsed = ParseOptions(argc, argv);
    if (!parsed) {
        std::fputs(kUsage, stdout);
        return kSetupFailed;
    }
    const Options& options = *parsed;
    const std::uint64_t seed = options.seed.value_or(::GetTickCount64() ^ (std::uint64_t{::GetCurrentProcessId()} << 20));
    std::printf("korrimat_mutation: seed %llu\n", static_cast<unsigned long long>(seed));
    const ULONGLONG runStart = ::GetTickCount64();

    const std::optional<std::vector<Source>> loaded = LoadSources(options);
    if (!loaded)
        return kSetupFailed;
    const std::vector<Source>& sources = *loaded;

    std::vector<Mutation> plan = PlanMutations(sources, seed, options.flips);
    const std::size_t planned = plan.size();
    if (!options.only.empty())
        std::erase_if(plan, [&](const Mutation& m) {
            return FileNameOf(sources[m.source], m).find(options.only) == std::string::npos;
        });
    if (options.files && *options.files < plan.size())
        plan.resize(*options.files);
    std::printf("%zu files to show, of %zu planned\n", plan.size(), planned);

    // The work folder holds one file at a time, so that the file list stays short.
    // A new folder under the temporary folder unless one is given: a crashed run's leftovers are
    // never shown again.
    const bool ownWork = options.work.empty();
    std::optional<testing::TempFolder> ownFolder;
    if (ownWork)
        ownFolder.emplace("korrimat-mutation");
    std::string work = ownWork ? ownFolder->Path() : options.work;
    ::CreateDirectoryA(work.c_str(), nullptr);
    work = CanonicalPath(work);
    const std::string keep = CanonicalPath(options.keep.empty() ? testing::ProgramFolder() + "\\kept" : options.keep);
    ::CreateDirectoryA(keep.c_str(), nullptr);
    std::printf("work folder %s, keep folder %s\n", work.c_str(), keep.c_str());
    std::fflush(stdout);

    Progress progress;
    const auto printSummary = [&](int crashes, int hangs) {
        const long long slowest = progress.slowestMicroseconds.load();
        const std::size_t at = progress.slowest.load();
        const std::string slowestName = slowest >= 0 ? FileNameOf(sources[plan[at].source], plan[at]) : "-";
        std::printf("mutation run: %zu files, %d crashes, %d hangs, slowest %lld ms (%s), seed %llu, %llu s\n",
                    progress.files.load(), crashes, hangs, slowest < 0 ? 0LL : (slowest + 500) / 1000,
                    slowestName.c_str(), static_cast<unsigned long long>(seed),
                    static_cast<unsigned long long>((::GetTickCount64() - runStart + 500) / 1000));
    };
    RunGuard guard(keep, kLimitFloorMilliseconds, printSummary, ownWork ? work : std::string());

    int status = 0;
    {
        const controls::WindowSystem windowSystem;

        const FencedPlatform fenced;
        FFileInfo window(fenced);
        if (!window.Created()) {
            std::printf("the window cannot be created\n");
            return kSetupFailed;
        }
        guard.Begin(work, "the work folder", false);
        window.Load();
        window.Show(SW_SHOWNOACTIVATE);
        window.Drive1.SetDrive(work);
        const bool there = window.Dir1.SetPath(work);
        guard.End();
        if (!there) {
            std::printf("the folder list cannot go to %s\n", work.c_str());
            return kSetupFailed;
        }
        controls::DispatchPendingMessages(&window);
        Viewer viewer(window, fenced);

        // First each source as it is: the run only means something if these show whole. The
        // slowest of them sets the hang limit.
        double slowestWhole = 0;
        for (const Source& source : sources) {
            const std::string name = source.stem + source.extension;
            const std::string path = work + "\\" + name;
            if (!WriteBytes(path, source.bytes)) {
                std::printf("cannot write %s\n", path.c_str());
                return kSetupFailed;
            }
            LARGE_INTEGER start{};
            LARGE_INTEGER end{};
            ::QueryPerformanceCounter(&start);
            guard.Begin(path, name, false);
            std::vector<std::string> faults = viewer.Show(path, name, 0);
            guard.End();
            ::QueryPerformanceCounter(&end);
            slowestWhole = std::max(slowestWhole, Milliseconds(start, end));
            if (window.tabInfo.IndexOfKey("Version") < 0)
                faults.push_back("no Version page");
            ::DeleteFileA(path.c_str());
            for (const std::string& fault : faults)
                std::printf("unmutated %s: %s\n", name.c_str(), fault.c_str());
            if (!faults.empty())
                return kSetupFailed;
        }

        const auto limit = static_cast<DWORD>(
            std::max<long long>(kLimitFloorMilliseconds, kLimitTimesSlowestWhole * std::llround(slowestWhole)));
        guard.SetLimit(limit);
        std::printf("hang limit %lu ms (the whole files took up to %.0f ms each)\n", static_cast<unsigned long>(limit),
                    slowestWhole);
        std::fflush(stdout);

        std::size_t wrong = 0;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            const Source& source = sources[plan[i].source];
            const std::string name = FileNameOf(source, plan[i]);
            const std::string path = work + "\\" + name;
            if (!WriteBytes(path, Apply(source, plan[i]))) {
                std::printf("cannot write %s\n", path.c_str());
                status = kSetupFailed;
                break;
            }

            LARGE_INTEGER start{};
            LARGE_INTEGER end{};
            ::QueryPerformanceCounter(&start);
            guard.Begin(path, name);
            progress.files = i + 1;
            const std::vector<std::string> faults = viewer.Show(path, name, i);
            guard.End();
            ::QueryPerformanceCounter(&end);

            const auto microseconds = static_cast<long long>(Milliseconds(start, end) * 1000.0);
            if (microseconds > progress.slowestMicroseconds) {
                progress.slowestMicroseconds = microseconds;
                progress.slowest = i;
            }
            if (microseconds >= 1000LL * limit) {
                std::printf("hang: %s took %lld ms, kept as %s\n", name.c_str(), microseconds / 1000,
                            guard.Keep(path, name).c_str());
                ::DeleteFileA(path.c_str());
                printSummary(0, 1);
                std::fflush(stdout);
                return static_cast<int>(RunGuard::kHangExitCode);
            }
            if (!faults.empty()) {
                ++wrong;
                const std::string kept = guard.Keep(path, name);
                for (const std::string& fault : faults)
                    std::printf("wrong: %s: %s (kept as %s)\n", name.c_str(), fault.c_str(), kept.c_str());
            }
            ::DeleteFileA(path.c_str());
            if ((i + 1) % 1000 == 0) {
                std::printf("  %zu files, slowest %lld ms\n", i + 1, (progress.slowestMicroseconds + 500) / 1000);
                std::fflush(stdout);
            }
        }
        if (wrong != 0) {
            std::printf("%zu files showed wrongly\n", wrong);
            if (status == 0)
                status = kShownWrongly;
        }
        printSummary(0, 0);
    }
    return status;
}
