#pragma once
// Where the build put what the tests, the soak, the mutation run and the benchmarks use: found
// from the running program's own folder (build\tests\<area>, build\reliability\<name> or
// build\benchmarks), whatever the current folder is.

#include "platform/FileSystem.h"

#include <windows.h>

#include <string>

namespace korrimat::testing {

// The running program's folder, at any length.
inline std::string ProgramFolder()
{
    std::wstring buffer(32768, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    const std::string path = NarrowText(std::wstring_view(buffer.data(), length));
    return path.substr(0, path.find_last_of('\\'));
}

// The build folder: the nearest folder above the program that holds CMake's cache.
inline std::string BuildFolder()
{
    std::string folder = ProgramFolder();
    for (int level = 0; level < 4 && !folder.empty(); ++level) {
        if (::GetFileAttributesW(WidePath(folder + "\\CMakeCache.txt").c_str()) != INVALID_FILE_ATTRIBUTES)
            return folder;
        folder.resize(folder.find_last_of('\\') == std::string::npos ? 0 : folder.find_last_of('\\'));
    }
    return ProgramFolder() + "\\..\\..";
}

inline std::string KorrimatExecutable()
{
    return BuildFolder() + "\\app\\korrimat.exe";
}

// A code-free DLL carrying one version resource, built from tests\versioninfo\fixtures.
inline std::string VersionFixture(const std::string& name)
{
    return BuildFolder() + "\\tests\\versioninfo\\vi_" + name + ".dll";
}

// Where the window tests leave pictures for people to look at.
inline std::string PictureFolder()
{
    const std::string folder = BuildFolder() + "\\pictures";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

} // namespace korrimat::testing
