#pragma once
// The changes made in one folder (not its subfolders): names added, removed or renamed, sizes,
// write times and attributes. The notification is opened where the object is made, so that a
// folder that cannot be watched is known at once; the waiting is for a worker.

#include "platform/UniqueHandle.h"

#include <windows.h>

#include <string>

namespace korrimat {

class FolderChanges {
public:
    // A burst of changes is one change: told when the folder has been quiet for
    // kQuietMilliseconds, or after kLongestMilliseconds of changes without a pause.
    static constexpr DWORD kQuietMilliseconds = 150;
    static constexpr DWORD kLongestMilliseconds = 3000;

    explicit FolderChanges(const std::string& folder);
    // False when the folder cannot be watched.
    bool Watching() const noexcept { return static_cast<bool>(notification_); }
    // Waits for the next burst of changes to end; false when `stop` was set first or the watch
    // failed.
    bool WaitForBurst(HANDLE stop) const;

private:
    enum class Woken { Stop, Change, Timeout, Failed };
    Woken Wait(HANDLE stop, DWORD milliseconds) const;

    UniqueChangeNotification notification_;
};

} // namespace korrimat
