#include "reliability/mutation/RunGuard.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <utility>

namespace korrimat::mutation {

RunGuard* RunGuard::active_ = nullptr;

RunGuard::RunGuard(std::string keepFolder, DWORD limitMilliseconds, std::function<void(int, int)> summary,
                   std::string workFolder)
    : keepFolder_(std::move(keepFolder)),
      workFolder_(std::move(workFolder)),
      limit_(limitMilliseconds),
      summary_(std::move(summary))
{
    active_ = this;
    // No dialog of the system's own may stop the run.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    previousFilter_ = ::SetUnhandledExceptionFilter(&RunGuard::OnUnhandledException);
    std::set_terminate(&RunGuard::OnTerminate);
    watchdog_ = std::thread([this] { Watch(); });
}

RunGuard::~RunGuard()
{
    stopping_ = true;
    if (watchdog_.joinable())
        watchdog_.join();
    ::SetUnhandledExceptionFilter(previousFilter_);
    active_ = nullptr;
}

void RunGuard::Begin(const std::string& path, const std::string& name, bool timed)
{
    std::lock_guard lock(mutex_);
    path_ = path;
    name_ = name;
    startedAt_ = timed ? ::GetTickCount64() : 0;
}

void RunGuard::End()
{
    std::lock_guard lock(mutex_);
    path_.clear();
    name_.clear();
    startedAt_ = 0;
}

std::string RunGuard::Keep(const std::string& path, const std::string& name) const
{
    const std::string kept = keepFolder_ + "\\" + name;
    return ::CopyFileA(path.c_str(), kept.c_str(), FALSE) ? kept : std::string();
}

void RunGuard::Watch()
{
    while (!stopping_) {
        ::Sleep(50);
        std::lock_guard lock(mutex_);
        const DWORD limit = limit_;
        if (startedAt_ != 0 && ::GetTickCount64() - startedAt_ > limit) {
            char what[64];
            std::snprintf(what, sizeof(what), "hang: over %lu ms", static_cast<unsigned long>(limit));
            EndRun(what, 0, 1, kHangExitCode);
        }
    }
}

void RunGuard::EndRun(const char* what, int crashes, int hangs, UINT exitCode)
{
    const std::string kept = path_.empty() ? std::string() : Keep(path_, name_);
    if (!path_.empty())
        ::DeleteFileA(path_.c_str());
    if (!workFolder_.empty())
        ::RemoveDirectoryA(workFolder_.c_str());
    std::printf("%s: %s, kept as %s\n", what, name_.empty() ? "(no file)" : name_.c_str(),
                kept.empty() ? "(could not be copied)" : kept.c_str());
    if (summary_)
        summary_(crashes, hangs);
    std::fflush(stdout);
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), exitCode);
    for (;;)
        ::Sleep(INFINITE);
}

LONG WINAPI RunGuard::OnUnhandledException(EXCEPTION_POINTERS* exception)
{
    RunGuard* guard = active_;
    if (guard == nullptr)
        return EXCEPTION_CONTINUE_SEARCH;
    char what[96];
    std::snprintf(what, sizeof(what), "crash: exception 0x%08lX at %p",
                  static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
                  exception->ExceptionRecord->ExceptionAddress);
    // The crashing thread may hold the lock (the watchdog cannot: it holds it only to look).
    if (!guard->mutex_.try_lock()) {
        ::Sleep(200);
        static_cast<void>(guard->mutex_.try_lock());
    }
    guard->EndRun(what, 1, 0, kCrashExitCode);
}

void RunGuard::OnTerminate()
{
    RunGuard* guard = active_;
    if (guard == nullptr)
        std::abort();
    static_cast<void>(guard->mutex_.try_lock());
    guard->EndRun("crash: an exception nobody caught", 1, 0, kCrashExitCode);
}

} // namespace korrimat::mutation
