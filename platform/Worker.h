#pragma once
// Work on a thread of its own, and the one kind of it the window keeps running: watching a folder.
// A worker is stopped and its thread waited for before the object goes, so no thread outlives its
// owner and no handle is left open. Workers tell the window what they found by posting it a
// message (controls::PostedMessage): nothing else crosses between the threads.

#include "platform/Platform.h"
#include "platform/Threads.h"
#include "platform/UniqueHandle.h"

#include <functional>
#include <string>

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

private:
    static unsigned __stdcall Run(void* self);

    const ThreadStarter& threads_;
    std::function<void(HANDLE)> work_;
    UniqueEvent stop_;
    UniqueThread thread_;
};

// Watches one folder (not its subfolders) for names added, removed or renamed, sizes, write times
// and attributes, on a worker. A burst of changes is told once, when the folder has been quiet
// for kQuietMilliseconds, or after kLongestMilliseconds of changes without a pause.
class FolderWatch {
public:
    static constexpr DWORD kQuietMilliseconds = 150;
    static constexpr DWORD kLongestMilliseconds = 3000;

    explicit FolderWatch(const ThreadStarter& threads = SystemPlatform().Threads()) : worker_(threads) {}
    // The worker ends before the notification it waits on is closed.
    ~FolderWatch() { Stop(); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches `folder`, stopping any watch before; `changed` runs on the worker's thread after
    // each burst. False when the folder cannot be watched (nothing is watched then).
    bool Watch(const std::string& folder, std::function<void()> changed);
    void Stop() noexcept;
    // The folder watched; empty when none is.
    const std::string& Folder() const noexcept { return folder_; }

private:
    Worker worker_;
    UniqueChangeNotification notification_;
    std::string folder_;
};

} // namespace korrimat
