#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. For tests that list and show real files.

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
    std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }

    // Creates a file (with a little content) and gives it attributes.
    std::string AddFile(std::string_view relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const
    {
        const std::string path = *this / relative;
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, "Korrimat", 8, &written, nullptr);
            ::CloseHandle(file);
        }
        if (attributes != FILE_ATTRIBUTE_NORMAL)
            ::SetFileAttributesA(path.c_str(), attributes);
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
        ::CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }

private:
    static void RemoveTree(const std::string& folder)
    {
        WIN32_FIND_DATAA found{};
        HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..")
                    continue;
                const std::string path = folder + "\\" + name;
                ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else
                    ::DeleteFileA(path.c_str());
            } while (::FindNextFileA(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryA(folder.c_str());
    }

    std::string path_;
};

} // namespace korrimat::testing
