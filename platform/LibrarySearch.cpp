#include "platform/LibrarySearch.h"

#include "platform/SizedText.h"

#include <string>

namespace korrimat {

namespace {

// Loads one delay-loaded library and fills its import address table, as the delay-load helper
// would on each first call. The descriptor's fields are offsets from the program's base.
bool Bind(BYTE* image, const IMAGE_DELAYLOAD_DESCRIPTOR& library, bool systemFolderOnly, const std::wstring& systemFolder)
{
    const char* name = reinterpret_cast<const char*>(image + library.DllNameRVA);
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));
    const HMODULE module = systemFolderOnly
                               ? ::LoadLibraryW(wideName.c_str())
                               : ::LoadLibraryExW((systemFolder + L"\\" + wideName).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module)
        return false;
    // Loaded for the life of the process.
    if (library.ModuleHandleRVA)
        *reinterpret_cast<HMODULE*>(image + library.ModuleHandleRVA) = module;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(image + library.ImportNameTableRVA);
    auto* targets = reinterpret_cast<IMAGE_THUNK_DATA*>(image + library.ImportAddressTableRVA);
    bool all = true;
    for (; names->u1.AddressOfData != 0; ++names, ++targets) {
        const FARPROC function =
            IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)
                ? ::GetProcAddress(module, MAKEINTRESOURCEA(IMAGE_ORDINAL(names->u1.Ordinal)))
                : ::GetProcAddress(module, reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(image + names->u1.AddressOfData)->Name);
        if (function)
            targets->u1.Function = reinterpret_cast<ULONG_PTR>(function);
        all = all && function;
    }
    return all;
}

} // namespace

bool LoadLibrariesFromSystemFolderOnly(std::span<const IMAGE_DELAYLOAD_DESCRIPTOR* const> delayLoaded) noexcept
{
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    const bool systemFolderOnly = setDefaultDirectories && setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!systemFolderOnly)
        ::SetDllDirectoryW(L"");

    const std::wstring systemFolder = FillSizedText<wchar_t>([](wchar_t* buffer, std::size_t capacity) {
                                          return ::GetSystemDirectoryW(buffer, static_cast<UINT>(capacity));
                                      }).value_or(L"");
    auto* image = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    bool all = true;
    for (const IMAGE_DELAYLOAD_DESCRIPTOR* library : delayLoaded)
        all = Bind(image, *library, systemFolderOnly, systemFolder) && all;
    return all;
}

} // namespace korrimat
