// FFileInfo's answer to files and folders dropped on it from the shell: the lists move to the
// first one as they would for a user's own choice, and it is shown.

#include "app/FFileInfo.h"
#include "platform/controls/PathText.h"

namespace korrimat {

void FFileInfo::ShowDroppedPath(const std::vector<std::string>& paths)
{
    // Only what the drive list can choose: a full path on a drive with a letter, no share
    // without one, nothing relative.
    const std::string& dropped = paths.front();
    if (controls::RootLength(dropped) != 3 || !controls::DriveLetterOf(dropped))
        return;
    std::string path = dropped;
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    // Gone since it was picked up: nothing changes.
    const DWORD attributes = platform_.Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;

    // Drive, folder, file: each step raises its events only when it changes something, as the
    // user's own choices in the lists do.
    if (!Drive1.SetDrive(path))
        return;
    if (!Dir1.SetPath(folder ? path : controls::ParentFolder(path)) || folder)
        return;
    const std::string name = path.substr(path.find_last_of('\\') + 1);
    int index = File1.IndexOf(name);
    if (index < 0) {
        // Made after the folder was listed.
        File1.Refresh();
        index = File1.IndexOf(name);
    }
    if (index >= 0)
        File1.SetSelectedIndex(index);
}

} // namespace korrimat
