#include "platform/Platform.h"

#include "platform/FileSystem.h"
#include "platform/SizedText.h"

#include <process.h>

namespace korrimat {

std::optional<std::string> FileEntries::FullPathOf(const std::string& path) const
{
    return FullPathName(path);
}

std::optional<WIN32_FIND_DATAA> FileEntries::FindFirst(const std::string& path) const
{
    return FindFirstEntry(path);
}

std::optional<std::string> FileEntries::ShortPathOf(const std::string& path) const
{
    return ShortPathName(path);
}

std::optional<std::uint64_t> FileEntries::CompressedSizeOf(const std::string& path) const
{
    return CompressedFileSize(path);
}

std::string EnvironmentVariables::Get(const std::string& name) const
{
    return FillSizedText([&](char* buffer, std::size_t capacity) {
               return ::GetEnvironmentVariableA(name.c_str(), buffer, static_cast<DWORD>(capacity));
           })
        .value_or(std::string());
}

UniqueThread ThreadStarter::Start(ThreadMain main, void* argument) const
{
    return UniqueThread(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, main, argument, 0, nullptr)));
}

UniqueEvent NewEvent()
{
    return UniqueEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

const Platform& SystemPlatform()
{
    static const FileEntries entries;
    static const ShellDescriptions shell;
    static const VersionResources versions;
    static const FileContents contents;
    static const EnvironmentVariables environment;
    static const ThreadStarter threads;
    static const ClipboardWriter clipboard;
    static const Platform platform(entries, shell, versions, contents, environment, threads, clipboard);
    return platform;
}

} // namespace korrimat
