#pragma once
// Scopes that change how the system treats the calling thread's file calls for a while: no
// question about a drive without a medium, and System32 seen as it is by a 32-bit program.

#include <windows.h>

#include <string_view>

namespace korrimat {

// While it lives, a drive without a medium fails at once instead of asking the user.
class CriticalErrorsSilenced {
public:
    CriticalErrorsSilenced() noexcept;
    ~CriticalErrorsSilenced();
    CriticalErrorsSilenced(const CriticalErrorsSilenced&) = delete;
    CriticalErrorsSilenced& operator=(const CriticalErrorsSilenced&) = delete;

private:
    DWORD previous_ = 0;
};

// A 32-bit program on 64-bit Windows is silently given the 32-bit system folder (SysWOW64) when
// it names System32, and would show another file's size, times and version under the name the
// user chose. While this lives, the calling thread sees the folder each path names, as a 64-bit
// program does; elsewhere it does nothing. The system loads code through the same paths, so it
// is kept to single calls: always around the kernel's file calls above, which load no code, and
// around the shell's and the version library's only for paths in the system folder.
class NativeSystemFolder {
public:
    // `wanted` false: a scope that changes nothing, for callers that decide per path.
    explicit NativeSystemFolder(bool wanted = true) noexcept;
    ~NativeSystemFolder();
    NativeSystemFolder(const NativeSystemFolder&) = delete;
    NativeSystemFolder& operator=(const NativeSystemFolder&) = delete;

private:
    void* previous_ = nullptr;
    bool turnedOff_ = false;
};

// True in a 32-bit process on 64-bit Windows, for the system folder and everything below it:
// the paths the system would send elsewhere.
bool IsRedirectedPath(std::string_view path);

} // namespace korrimat
