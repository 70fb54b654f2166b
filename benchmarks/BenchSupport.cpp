#include "benchmarks/BenchSupport.h"
#include "platform/Locale.h"

#include "fileinfo/FileInfo.h"
#include "platform/UniqueHandle.h"
#include "versioninfo/FileVersionInfo.h"
#include "controls/Control.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace korrimat::bench {

double Now()
{
    static const double frequency = [] {
        LARGE_INTEGER value{};
        ::QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

std::size_t PrivateBytes()
{
    std::size_t bytes = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; ::VirtualQuery(at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += region.RegionSize;
        if (region.RegionSize == 0)
            break;
    }
    return bytes;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int IntOption(int argc, char** argv, const char* name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return std::max(1, std::atoi(argv[i + 1]));
    return fallback;
}

std::string TextOption(int argc, char** argv, const char* name, const std::string& fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return fallback;
}

std::unique_ptr<FFileInfo> OpenWindow(const Platform& platform)
{
    auto window = testing::OpenWindow(platform);
    return window->Created() ? std::move(window) : nullptr;
}

void Dispatch(FFileInfo& window)
{
    controls::DispatchPendingMessages(&window);
}

std::size_t BarePlatformCalls(const std::string& path)
{
    std::size_t result = 0;
    char full[MAX_PATH] = {};
    result += ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);

    WIN32_FIND_DATAA found{};
    {
        UniqueFindHandle search(::FindFirstFileA(full, &found));
        result += found.nFileSizeLow;
    }
    // The location as stored on disk, letter case included: one lookup per folder level.
    const std::string fullText(full);
    for (std::size_t slash = fullText.find('\\', 3); slash != std::string::npos; slash = fullText.find('\\', slash + 1)) {
        WIN32_FIND_DATAA level{};
        UniqueFindHandle search(::FindFirstFileA(fullText.substr(0, slash).c_str(), &level));
        result += static_cast<unsigned char>(level.cFileName[0]);
    }
    // The user's regional settings, for the dates and the size.
    for (const LCTYPE setting : {LOCALE_SLONGDATE, LOCALE_STIMEFORMAT, LOCALE_SDECIMAL, LOCALE_STHOUSAND}) {
        wchar_t text[80] = {};
        result += static_cast<std::size_t>(::GetLocaleInfoW(LOCALE_USER_DEFAULT, setting, text, 80));
    }
    char shortPath[MAX_PATH] = {};
    result += ::GetShortPathNameA(full, shortPath, MAX_PATH);
    DWORD high = 0;
    result += ::GetCompressedFileSizeA(full, &high);

    SHFILEINFOA shell{};
    result += ::SHGetFileInfoA(full, 0, &shell, sizeof(shell), SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
    const UniqueIcon icon(shell.hIcon);
    result += std::strlen(shell.szDisplayName) + std::strlen(shell.szTypeName);

    for (const FILETIME* stamp : {&found.ftCreationTime, &found.ftLastAccessTime, &found.ftLastWriteTime}) {
        FILETIME local{};
        SYSTEMTIME parts{};
        ::FileTimeToLocalFileTime(stamp, &local);
        ::FileTimeToSystemTime(&local, &parts);
        result += parts.wDay;
    }

    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(full, &ignored);
    if (size == 0)
        return result;
    std::vector<BYTE> image(size);
    ::GetFileVersionInfoA(full, 0, size, image.data());
    void* value = nullptr;
    UINT length = 0;
    if (::VerQueryValueA(image.data(), "\\", &value, &length))
        result += length;
    if (!::VerQueryValueA(image.data(), "\\VarFileInfo\\Translation", &value, &length) || length < 4)
        return result;
    WORD pair[2] = {};
    std::memcpy(pair, value, sizeof(pair));
    wchar_t language[256] = {};
    result += ::VerLanguageNameW(pair[0], language, 256);
    char prefix[40] = {};
    std::snprintf(prefix, sizeof(prefix), "\\StringFileInfo\\%04X%04X\\", pair[0], pair[1]);
    for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
                             "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion"}) {
        if (::VerQueryValueA(image.data(), (std::string(prefix) + name).c_str(), &value, &length))
            result += length;
    }
    return result;
}

std::size_t ObjectsAlone(const std::string& path)
{
    const Platform& platform = SystemPlatform();
    std::size_t result = 0;
    std::string fullPath;
    {
        CFileInfo fileInfo(platform);
        fileInfo.SetFullPathName(UpperCase(path));
        for (const std::string& text :
             {fileInfo.DisplayName(), fileInfo.TypeName(), fileInfo.FilePath(), fileInfo.ShortPath(),
              fileInfo.ShortName(), fileInfo.FormatFileSize(fileInfo.FileSize64()),
              fileInfo.FormatFileSize(fileInfo.CompressedFileSize64()), fileInfo.FormatFileDate(fileInfo.CreationTime()),
              fileInfo.FormatFileDate(fileInfo.ModifyTime()), fileInfo.FormatFileDate(fileInfo.LastAccessTime())})
            result += text.size();
        result += fileInfo.hIcon() != nullptr;
        fullPath = fileInfo.FullPathName();
    }
    CFileVersionInfo versionInfo(platform);
    versionInfo.SetFullPathName(fullPath);
    if (versionInfo.Available()) {
        for (const std::string& text :
             {versionInfo.FileVersion(), versionInfo.FileDescription(), versionInfo.LegalCopyright(),
              versionInfo.CompanyName()})
            result += text.size();
    }
    return result;
}

const char* CallTallies::Name(Call call)
{
    static constexpr const char* names[kCalls] = {
        "GetFullPathNameA", "FindFirstFileA", "GetShortPathNameA", "GetCompressedFileSizeA", "SHGetFileInfoA",
        "GetFileVersionInfoSizeA", "VerQueryValueA", "VerLanguageNameW", "GetEnvironmentVariableA"};
    return names[static_cast<std::size_t>(call)];
}

std::optional<std::string> TimedEntries::FullPathOf(const std::string& path) const
{
    return tallies.Time(CallTallies::Call::FullPath, [&] { return FileEntries::FullPathOf(path); });
}

std::optional<WIN32_FIND_DATAA> TimedEntries::FindFirst(const std::string& path) const
{
    return tallies.Time(CallTallies::Call::FindFirst, [&] { return FileEntries::FindFirst(path); });
}

std::optional<std::string> TimedEntries::ShortPathOf(const std::string& path) const
{
    return tallies.Time(CallTallies::Call::ShortPath, [&] { return FileEntries::ShortPathOf(path); });
}

std::optional<std::uint64_t> TimedEntries::CompressedSizeOf(const std::string& path) const
{
    return tallies.Time(CallTallies::Call::CompressedSize, [&] { return FileEntries::CompressedSizeOf(path); });
}

std::optional<ShellDescription> TimedShell::Describe(const std::string& path) const
{
    return tallies.Time(CallTallies::Call::ShellInfo, [&] { return ShellDescriptions::Describe(path); });
}

DWORD TimedVersions::SizeOf(const std::string& path) const
{
    return tallies.Time(CallTallies::Call::VersionSize, [&] { return VersionResources::SizeOf(path); });
}

std::optional<VersionValue> TimedVersions::Query(std::span<const BYTE> image, const std::string& subBlock) const
{
    return tallies.Time(CallTallies::Call::QueryVersion, [&] { return VersionResources::Query(image, subBlock); });
}

std::string TimedVersions::LanguageName(DWORD languageId) const
{
    return tallies.Time(CallTallies::Call::LanguageName, [&] { return VersionResources::LanguageName(languageId); });
}

std::string TimedEnvironment::Get(const std::string& name) const
{
    return tallies.Time(CallTallies::Call::Environment, [&] { return EnvironmentVariables::Get(name); });
}

void PrintProfile(const TimingPlatform& platform, int shows, double showSeconds)
{
    double platformSeconds = 0;
    std::printf("  %-28s %8s %10s\n", "platform call", "calls", "ms");
    for (int i = 0; i < TimingPlatform::kCalls; ++i) {
        const auto call = static_cast<TimingPlatform::Call>(i);
        const TimingPlatform::Tally& tally = platform.Of(call);
        if (tally.calls == 0)
            continue;
        platformSeconds += tally.seconds;
        std::printf("  %-28s %8.1f %10.3f\n", TimingPlatform::Name(call),
                    static_cast<double>(tally.calls) / shows, tally.seconds * 1000.0 / shows);
    }
    std::printf("  %-28s %8s %10.3f\n", "all platform calls", "", platformSeconds * 1000.0 / shows);
    std::printf("  %-28s %8s %10.3f\n", "the rest (window, texts)", "", (showSeconds - platformSeconds) * 1000.0 / shows);
}

} // namespace korrimat::bench
