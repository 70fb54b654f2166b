// korrimat_bench_report: korrimat-report's CSV of a folder's files (the console program's own
// code, in this process, its output kept in memory) against the bare calls each row needs: the
// folder's listing, each file's find data, its version resource with the fixed part, the
// translation, its language's name and three strings, and the first page of the file for its
// program headers. Then the program itself, started as a script starts it.
//
//   korrimat_bench_report [--rounds R] [--folder PATH] [--pattern *.dll]

#include "benchmarks/BenchSupport.h"
#include "console/ReportCommand.h"
#include "platform/FileSystem.h"
#include "platform/UniqueHandle.h"
#include "tests/support/StartedProgram.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace korrimat;
using namespace korrimat::bench;

namespace {

constexpr double kTarget = 1.25;

std::size_t ReportAsCsv(const std::string& pattern, std::size_t& rows)
{
    std::string out;
    RunReportCommand(SystemPlatform(), ReportCommand{ReportCommand::Format::Csv, false, false, {pattern}},
                     [&](std::string_view text) { out += text; }, [](std::string_view) {});
    rows = 0;
    for (const char c : out)
        rows += c == '\n';
    return out.size();
}

// The calls alone, in the wide forms the program uses; returns a value built from their results.
std::size_t BareCalls(const std::string& folder, const std::string& pattern, std::size_t& files)
{
    std::size_t sum = 0;
    files = 0;
    std::vector<std::wstring> paths;
    WIN32_FIND_DATAW entry{};
    {
        UniqueFindHandle search(::FindFirstFileW(WideText(folder + "\\" + pattern).c_str(), &entry));
        if (!search)
            return 0;
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                paths.push_back(WideText(folder) + L"\\" + entry.cFileName);
        } while (::FindNextFileW(search.Get(), &entry));
    }
    for (const std::wstring& path : paths) {
        ++files;
        UniqueFindHandle one(::FindFirstFileW(path.c_str(), &entry));
        sum += entry.nFileSizeLow + entry.ftLastWriteTime.dwLowDateTime;

        DWORD ignored = 0;
        if (const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored)) {
            std::vector<BYTE> image(size);
            ::GetFileVersionInfoW(path.c_str(), 0, size, image.data());
            void* value = nullptr;
            UINT length = 0;
            if (::VerQueryValueW(image.data(), L"\\", &value, &length))
                sum += length;
            if (::VerQueryValueW(image.data(), L"\\VarFileInfo\\Translation", &value, &length) && length >= 4) {
                const WORD* pair = static_cast<const WORD*>(value);
                wchar_t key[9];
                ::wsprintfW(key, L"%04x%04x", pair[0], pair[1]);
                wchar_t language[128];
                sum += ::VerLanguageNameW(pair[0], language, 128);
                for (const wchar_t* item : {L"CompanyName", L"FileDescription", L"OriginalFilename"}) {
                    const std::wstring query = std::wstring(L"\\StringFileInfo\\") + key + L"\\" + item;
                    if (::VerQueryValueW(image.data(), query.c_str(), &value, &length))
                        sum += length;
                }
            }
        }
        UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        if (file) {
            BYTE page[4096];
            DWORD read = 0;
            ::ReadFile(file.Get(), page, sizeof(page), &read, nullptr);
            sum += read;
        }
    }
    return sum;
}

// The program, as a script starts it, its output going nowhere; seconds, or a negative number.
double WholeProgram(const std::string& pattern)
{
    const std::wstring command = L"\"" + WideText(ProgramFolder() + "\\..\\console\\korrimat-report.exe") + L"\" --csv \"" +
                                 WideText(pattern) + L"\"";
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    UniqueFile nowhere(::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr));
    const double start = Now();
    return testing::RunWithOutputs(command, nowhere.Get(), nowhere.Get()) ? Now() - start : -1;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = IntOption(argc, argv, "--rounds", 7);
    const std::string folder = TextOption(argc, argv, "--folder", "C:\\windows\\system32");
    const std::string pattern = TextOption(argc, argv, "--pattern", "*");

    std::size_t files = 0, rows = 0;
    std::vector<double> report, bare, ratios, whole;
    std::size_t sink = 0;
    // One round unmeasured, so that neither side finds the files first.
    sink += ReportAsCsv(folder + "\\" + pattern, rows) + BareCalls(folder, pattern, files);
    for (int round = 0; round < rounds; ++round) {
        double reportSeconds = 0, bareSeconds = 0;
        InTurns(
            round, [&] { reportSeconds = Timed([&] { sink += ReportAsCsv(folder + "\\" + pattern, rows); }); },
            [&] { bareSeconds = Timed([&] { sink += BareCalls(folder, pattern, files); }); });
        report.push_back(reportSeconds);
        bare.push_back(bareSeconds);
        ratios.push_back(reportSeconds / bareSeconds);
        whole.push_back(WholeProgram(folder + "\\" + pattern));
        std::printf("round %d: report %.0f ms, bare %.0f ms, program %.0f ms\n", round + 1, reportSeconds * 1000.0,
                    bareSeconds * 1000.0, whole.back() * 1000.0);
    }
    if (files == 0) {
        std::printf("no file matches %s\\%s\n", folder.c_str(), pattern.c_str());
        return 2;
    }
    const double perFile = 1000.0 / static_cast<double>(files);
    std::printf("korrimat-report --csv %s\\%s: %zu files, %zu rows with the header (sum %zu)\n", folder.c_str(),
                pattern.c_str(), files, rows, sink % 10);
    std::printf("%-34s %12s\n", "", "ms a file");
    std::printf("%-34s %12.3f\n", "the report's CSV, in this process", Median(report) * perFile);
    std::printf("%-34s %12.3f\n", "the bare calls", Median(bare) * perFile);
    std::printf("%-34s %12.3f   (%.0f ms in all, start-up included)\n", "korrimat-report.exe started", Median(whole) * perFile,
                Median(whole) * 1000.0);
    const double ratio = Median(ratios);
    std::printf("Ratio (median of the rounds' own): %.2fx. Target: at most %.2fx: %s\n", ratio, kTarget,
                ratio <= kTarget ? "met" : "MISSED");
    return 0;
}
