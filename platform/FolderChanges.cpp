#include "platform/FolderChanges.h"

#include "platform/FileSystem.h"

#include <algorithm>

namespace korrimat {

FolderChanges::FolderChanges(const std::string& folder)
{
    constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE |
                               FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_ATTRIBUTES;
    const NativeSystemFolder native;
    notification_.Reset(::FindFirstChangeNotificationW(WidePath(folder).c_str(), FALSE, kChanges));
}

FolderChanges::Woken FolderChanges::Wait(HANDLE stop, DWORD milliseconds) const
{
    const HANDLE handles[] = {stop, notification_.Get()};
    switch (::WaitForMultipleObjects(2, handles, FALSE, milliseconds)) {
    case WAIT_OBJECT_0:
        return Woken::Stop;
    case WAIT_OBJECT_0 + 1:
        // The watch is set to wait again for the change after this one.
        return ::FindNextChangeNotification(notification_.Get()) ? Woken::Change : Woken::Failed;
    case WAIT_TIMEOUT:
        return Woken::Timeout;
    default:
        return Woken::Failed;
    }
}

bool FolderChanges::WaitForBurst(HANDLE stop) const
{
    if (!notification_ || Wait(stop, INFINITE) != Woken::Change)
        return false;
    // The rest of the burst: until the folder is quiet, or the burst has lasted long enough.
    const ULONGLONG first = ::GetTickCount64();
    for (;;) {
        const ULONGLONG spent = ::GetTickCount64() - first;
        if (spent >= kLongestMilliseconds)
            return true;
        const auto wait = static_cast<DWORD>(std::min<ULONGLONG>(kQuietMilliseconds, kLongestMilliseconds - spent));
        const Woken woken = Wait(stop, wait);
        if (woken == Woken::Timeout)
            return true;
        if (woken != Woken::Change)
            return false;
    }
}

} // namespace korrimat
