#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes: the real files and folders the tests, the soak and the benchmarks list and show.

#include "platform/FileSystem.h"
#include "platform/UniqueHandle.h"

#include <windows.h>
#include <winioctl.h>

#include <string>
#include <string_view>

namespace korrimat::testing {

// Removes a folder and everything in it, read-only entries and paths past 260 characters too.
inline void RemoveTree(const std::string& folder)
{
    const std::wstring wide = WidePath(folder);
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(::FindFirstFileW((wide + L"\\*").c_str(), &found));
    if (search) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::string path = folder + "\\" + NarrowText(name);
            ::SetFileAttributesW(WidePath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                ::DeleteFileW(WidePath(path).c_str());
        } while (::FindNextFileW(search.Get(), &found));
    }
    search.Reset();
    ::RemoveDirectoryW(wide.c_str());
}

class TempFolder {
public:
    explicit TempFolder(std::string_view stem = "korrimat")
    {
        char base[MAX_PATH + 1] = {};
        ::GetTempPathA(sizeof(base), base);
        static int counter = 0;
        for (;;) {
            path_ = std::string(base) + std::string(stem) + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
                    std::to_string(++counter);
            if (::CreateDirectoryA(path_.c_str(), nullptr))
                break;
            if (::GetLastError() != ERROR_ALREADY_EXISTS)
                break;
        }
        // The long form, so that paths compare with what the lists report.
        char longPath[MAX_PATH + 1] = {};
        if (::GetLongPathNameA(path_.c_str(), longPath, sizeof(longPath)))
            path_ = longPath;
    }
    ~TempFolder()
    {
        if (!keep_)
            RemoveTree(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }

    // Creates a file with these bytes. Names in any script and paths of any length.
    std::string WriteFile(std::string_view relative, std::string_view bytes) const
    {
        const std::string path = *this / relative;
        UniqueFile file(::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file)
            ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        return path;
    }
    // Creates a file with a little content and gives it attributes.
    std::string AddFile(std::string_view relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const
    {
        const std::string path = WriteFile(relative, "Korrimat");
        if (attributes != FILE_ATTRIBUTE_NORMAL)
            ::SetFileAttributesW(WidePath(path).c_str(), attributes);
        return path;
    }
    // Creates a sparse file of a given size, taking no room on disk; empty text when it cannot.
    std::string AddSparseFile(std::string_view relative, long long size) const
    {
        const std::string path = *this / relative;
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return {};
        DWORD returned = 0;
        ::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        LARGE_INTEGER end{};
        end.QuadPart = size;
        const bool sized = ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
        ::CloseHandle(file);
        return sized ? path : std::string();
    }
    // A copy of a file under a path of any length below the folder; empty text when it failed.
    std::string CopyIn(const std::string& source, std::string_view relative) const
    {
        const std::string target = *this / relative;
        return ::CopyFileW(WidePath(source).c_str(), WidePath(target).c_str(), FALSE) ? target : std::string();
    }
    std::string AddFolder(std::string_view relative) const
    {
        const std::string path = *this / relative;
        ::CreateDirectoryW(WidePath(path).c_str(), nullptr);
        return path;
    }

    // Leaves the folder on disk when the object goes (a run kept for a developer to look at).
    void Keep() noexcept { keep_ = true; }

private:
    std::string path_;
    bool keep_ = false;
};

inline bool IsFolder(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Makes a folder and all its parents; true when it exists afterwards.
inline bool MakeFolders(const std::string& path)
{
    if (path.empty() || IsFolder(path))
        return true;
    const auto separator = path.find_last_of('\\');
    if (separator != std::string::npos && separator > 2)
        MakeFolders(path.substr(0, separator));
    ::CreateDirectoryW(WidePath(path).c_str(), nullptr);
    return IsFolder(path);
}

// While it lives, the process's current folder is another; the one before comes back after.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder)
    {
        wchar_t before[MAX_PATH] = {};
        if (::GetCurrentDirectoryW(MAX_PATH, before) < MAX_PATH)
            before_ = before;
        ::SetCurrentDirectoryW(WideText(folder).c_str());
    }
    ~CurrentFolder() { ::SetCurrentDirectoryW(before_.c_str()); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::wstring before_;
};

} // namespace korrimat::testing
