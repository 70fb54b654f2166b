#pragma once
// Another program a test starts (a helper playing another process). It never outlives the
// object: one still running when the object goes is ended and waited for.

#include "platform/FileSystem.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <optional>
#include <string>

namespace korrimat::testing {

class StartedProgram {
public:
    explicit StartedProgram(const std::string& commandLine)
    {
        std::wstring command = WideText(commandLine);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
            process_.Reset(started.hProcess);
            ::CloseHandle(started.hThread);
        }
    }
    ~StartedProgram()
    {
        if (process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process_.Get(), 1);
            ::WaitForSingleObject(process_.Get(), 10000);
        }
    }
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    bool Started() const { return static_cast<bool>(process_); }
    HANDLE Handle() const { return process_.Get(); }

private:
    UniqueProcess process_;
};

struct ProcessWindow {
    DWORD process;
    HWND window;
};

inline BOOL CALLBACK FindProcessWindow(HWND window, LPARAM argument)
{
    auto* wanted = reinterpret_cast<ProcessWindow*>(argument);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != wanted->process || !::IsWindowVisible(window))
        return TRUE;
    wanted->window = window;
    return FALSE;
}

// A visible top-level window of a process; null when it has none (yet).
inline HWND VisibleWindowOf(DWORD process)
{
    ProcessWindow found{process, nullptr};
    ::EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

// A window's text, asked of the window itself: GetWindowText gives another program's controls'
// creation text.
inline std::wstring TextOfWindow(HWND window)
{
    std::wstring text(static_cast<std::size_t>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// Runs a console program with its standard output and error going to these (inheritable)
// handles and waits for it; its exit code, or nothing when it did not start or end in time.
inline std::optional<DWORD> RunWithOutputs(const std::wstring& commandLine, HANDLE out, HANDLE error,
                                           DWORD milliseconds = 120000)
{
    std::wstring command = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = error;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                          &started))
        return std::nullopt;
    const UniqueProcess process(started.hProcess);
    ::CloseHandle(started.hThread);
    DWORD code = 0;
    if (::WaitForSingleObject(process.Get(), milliseconds) != WAIT_OBJECT_0 || !::GetExitCodeProcess(process.Get(), &code))
        return std::nullopt;
    return code;
}

} // namespace korrimat::testing
