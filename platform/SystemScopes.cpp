#include "platform/SystemScopes.h"

#include "platform/SizedText.h"
#include "platform/Text.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace korrimat {

namespace {

// A 32-bit process on 64-bit Windows, where the system folder is redirected.
bool RunsUnderWow64()
{
    static const bool wow64 = [] {
        BOOL result = FALSE;
        return ::IsWow64Process(::GetCurrentProcess(), &result) && result;
    }();
    return wow64;
}

} // namespace

CriticalErrorsSilenced::CriticalErrorsSilenced() noexcept
{
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_);
}

CriticalErrorsSilenced::~CriticalErrorsSilenced()
{
    ::SetThreadErrorMode(previous_, nullptr);
}

NativeSystemFolder::NativeSystemFolder(bool wanted) noexcept
{
    if (wanted && RunsUnderWow64())
        turnedOff_ = ::Wow64DisableWow64FsRedirection(&previous_) != FALSE;
}

NativeSystemFolder::~NativeSystemFolder()
{
    if (turnedOff_)
        ::Wow64RevertWow64FsRedirection(previous_);
}

bool IsRedirectedPath(std::string_view path)
{
    if (!RunsUnderWow64())
        return false;
    // GetSystemDirectory names System32 in a 32-bit process too.
    static const std::wstring systemFolder = [] {
        return FillSizedText<wchar_t>([](wchar_t* buffer, std::size_t capacity) {
                   return ::GetSystemDirectoryW(buffer, static_cast<UINT>(capacity));
               })
            .value_or(std::wstring());
    }();
    const std::wstring wide = WideText(path);
    if (systemFolder.empty() || wide.size() < systemFolder.size())
        return false;
    const bool sameStart = ::CompareStringOrdinal(wide.data(), static_cast<int>(systemFolder.size()),
                                                  systemFolder.data(), static_cast<int>(systemFolder.size()),
                                                  TRUE) == CSTR_EQUAL;
    return sameStart && (wide.size() == systemFolder.size() || wide[systemFolder.size()] == L'\\');
}

} // namespace korrimat
