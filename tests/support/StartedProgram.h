#pragma once
// Another program a test starts (a helper playing another process). It never outlives the
// object: one still running when the object goes is ended and waited for.

#include "platform/FileSystem.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

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

} // namespace korrimat::testing
