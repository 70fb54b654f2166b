#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. For tests that list and show real files.

#include "platform/FileSystem.h"

#include <windows.h>
#include <winioctl.h>

#include <string>
#include <string_view>

namespace korrimat::testing {

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
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    // An absolute path in the wide form that passes 260 characters.
    static std::wstring LongForm(const std::string& path)
    {
        const std::wstring wide = WideText(path);
        return wide.starts_with(L"\\\\") ? wide : L"\\\\?\\" + wide;
    }
    std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }

    // Creates a file (with a little content) and gives it attributes. Names in any script and
    // paths of any length.
    std::string AddFile(std::string_view relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const
    {
        const std::string path = *this / relative;
        HANDLE file = ::CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, "Korrimat", 8, &written, nullptr);
            ::CloseHandle(file);
        }
        if (attributes != FILE_ATTRIBUTE_NORMAL)
            ::SetFileAttributesW(LongForm(path).c_str(), attributes);
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
    std::string AddFolder(std::string_view relative) const
    {
        const std::string path = *this / relative;
        ::CreateDirectoryW(LongForm(path).c_str(), nullptr);
        return path;
    }

private:
    // Wide calls with long-path prefixes, so that folder chains past 260 characters go too.
    static void RemoveTree(const std::string& folder) { RemoveTree(LongForm(folder)); }
    static void RemoveTree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring path = folder + L"\\" + name;
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else
                    ::DeleteFileW(path.c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(folder.c_str());
    }

    std::string path_;
};

} // namespace korrimat::testing
