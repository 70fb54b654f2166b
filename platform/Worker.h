#pragma once
// Work on a thread of its own. A worker is stopped and its thread waited for before the object
// goes, so no thread outlives its owner and no handle is left open. The window's jobs run on
// workers (controls/BackgroundJob.h).

#include "platform/Platform.h"
#include "platform/Threads.h"
#include "platform/UniqueHandle.h"

#include <functional>

namespace korrimat {

class Worker {
public:
    explicit Worker(const ThreadStarter& threads = SystemPlatform().Threads()) : threads_(threads) {}
    ~Worker() { Stop(); }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Runs `work` on a new thread, giving it the event that Stop sets (its cue to return); a
    // worker already running is stopped first. False when no thread could be started: nothing
    // runs then. No exception leaves the thread.
    [[nodiscard]] bool Start(std::function<void(HANDLE stop)> work);
    // Sets the stop event, ends a read the thread is blocked in, and waits until the thread has
    // ended; nothing when none was started.
    void Stop() noexcept;
    // Sets the stop event and ends a read the thread is blocked in, without waiting: for work that
    // may not heed the event at once (a system call that reads a whole file).
    void AskToStop() noexcept;
    // The thread has ended, or none was started.
    bool Ended() const noexcept;

private:
    static unsigned __stdcall Run(void* self);

    const ThreadStarter& threads_;
    std::function<void(HANDLE)> work_;
    UniqueEvent stop_;
    UniqueThread thread_;
};

} // namespace korrimat
