#pragma once
// Watches the file being shown. A watchdog thread notices one that takes longer than the limit
// (a hang); an unhandled exception filter and the terminate handler notice a crash. Either way
// the file is copied into the keep folder (and taken out of the work folder, so that no later run
// opens on it), the run's summary is printed and the process ends at once with a non-zero code:
// nothing after a hang or a crash could be trusted.

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace korrimat::mutation {

class RunGuard {
public:
    static constexpr UINT kCrashExitCode = 3;
    static constexpr UINT kHangExitCode = 4;

    // `summary(crashes, hangs)` prints the run's last line. A run that ends early also removes
    // `workFolder` (when given): the file shown was all it held.
    RunGuard(std::string keepFolder, DWORD limitMilliseconds, std::function<void(int, int)> summary,
             std::string workFolder = {});
    ~RunGuard();
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

    // The file from now on being shown, and the end of showing it. Untimed, a crash is still
    // put down to the file (while the window opens on a folder, say).
    void Begin(const std::string& path, const std::string& name, bool timed = true);
    void End();

    // A show that takes longer than this from now on is a hang.
    void SetLimit(DWORD limitMilliseconds) { limit_ = limitMilliseconds; }

    // Copies the file into the keep folder; gives the copy's path, empty when it failed.
    std::string Keep(const std::string& path, const std::string& name) const;

private:
    static LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception);
    static void OnTerminate();
    [[noreturn]] void EndRun(const char* what, int crashes, int hangs, UINT exitCode);
    void Watch();

    static RunGuard* active_;

    std::string keepFolder_;
    std::string workFolder_;
    std::atomic<DWORD> limit_;
    std::function<void(int, int)> summary_;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter_ = nullptr;

    std::mutex mutex_;                 // guards the current file
    std::string path_;
    std::string name_;
    ULONGLONG startedAt_ = 0;          // GetTickCount64 at Begin; 0 while nothing is shown
    std::atomic<bool> stopping_{false};
    std::thread watchdog_;
};

} // namespace korrimat::mutation
