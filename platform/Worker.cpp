#include "platform/Worker.h"
#include "platform/FileSystem.h"
#include "platform/Trace.h"

#include <algorithm>

namespace korrimat {

bool Worker::Start(std::function<void(HANDLE stop)> work)
{
    Stop();
    stop_ = NewEvent();
    if (!stop_)
        return false;
    work_ = std::move(work);
    thread_ = threads_.Start(&Worker::Run, this);
    if (!thread_) {
        work_ = nullptr;
        stop_.Reset();
        return false;
    }
    return true;
}

void Worker::Stop() noexcept
{
    if (thread_) {
        ::SetEvent(stop_.Get());
        // A read from a slow or lost network share would otherwise hold the window until it ends:
        // cancelled, it fails, and the work sees the stop event.
        ::CancelSynchronousIo(thread_.Get());
        ::WaitForSingleObject(thread_.Get(), INFINITE);
        thread_.Reset();
    }
    stop_.Reset();
    work_ = nullptr;
}

unsigned __stdcall Worker::Run(void* self)
{
    auto* worker = static_cast<Worker*>(self);
    try {
        worker->work_(worker->stop_.Get());
    } catch (...) {
        // The work ends; nothing may leave the thread.
        TraceFailure("a worker's work ended with an exception");
    }
    return 0;
}

namespace {

enum class Woken { Stop, Change, Timeout, Failed };

// FindFirstChangeNotificationW on a folder alone (not its subfolders), for names added, removed or
// renamed, sizes, write times and attributes; empty on failure.
UniqueChangeNotification WatchFolder(const std::string& folder)
{
    constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE |
                               FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_ATTRIBUTES;
    const NativeSystemFolder native;
    return UniqueChangeNotification(::FindFirstChangeNotificationW(WidePath(folder).c_str(), FALSE, kChanges));
}

// Waits for the stop event or the next change; after a change the watch is set to wait again.
Woken WaitForChange(HANDLE stop, HANDLE notification, DWORD milliseconds)
{
    const HANDLE handles[] = {stop, notification};
    switch (::WaitForMultipleObjects(2, handles, FALSE, milliseconds)) {
    case WAIT_OBJECT_0:
        return Woken::Stop;
    case WAIT_OBJECT_0 + 1:
        return ::FindNextChangeNotification(notification) ? Woken::Change : Woken::Failed;
    case WAIT_TIMEOUT:
        return Woken::Timeout;
    default:
        return Woken::Failed;
    }
}

} // namespace

bool FolderWatch::Watch(const std::string& folder, std::function<void()> changed)
{
    Stop();
    notification_ = WatchFolder(folder);
    if (!notification_)
        return false;
    const HANDLE notification = notification_.Get();
    const bool started = worker_.Start([notification, changed = std::move(changed)](HANDLE stop) {
        for (;;) {
            if (WaitForChange(stop, notification, INFINITE) != Woken::Change)
                return;
            // The rest of the burst: until the folder is quiet, or the burst has lasted long enough.
            const ULONGLONG first = ::GetTickCount64();
            for (;;) {
                const ULONGLONG spent = ::GetTickCount64() - first;
                if (spent >= kLongestMilliseconds)
                    break;
                const auto wait = static_cast<DWORD>(std::min<ULONGLONG>(kQuietMilliseconds, kLongestMilliseconds - spent));
                const Woken woken = WaitForChange(stop, notification, wait);
                if (woken == Woken::Timeout)
                    break;
                if (woken != Woken::Change)
                    return;
            }
            changed();
        }
    });
    if (!started) {
        notification_.Reset();
        return false;
    }
    folder_ = folder;
    return true;
}

void FolderWatch::Stop() noexcept
{
    worker_.Stop();
    notification_.Reset();
    folder_.clear();
}

} // namespace korrimat
