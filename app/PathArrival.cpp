// FFileInfo's arrival at a path given from outside the lists: files and folders dropped on it from
// the shell, and the path on the command line. The lists move to it as they would for a user's
// own choice, and it is shown.

#include "app/FFileInfo.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"

namespace korrimat {

namespace {

// Why a command line's path could not be shown, as the title says it.
std::string WhyNotFound(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_NOT_READY:
        return "not found";
    default:
        return "cannot be read";
    }
}

} // namespace

void FFileInfo::ShowDroppedPath(const std::vector<std::string>& paths)
{
    // Gone since it was picked up, or out of the lists' reach: nothing changes.
    if (!paths.empty())
        GoTo(paths.front());
}

std::string FFileInfo::ArriveAtStartPath(std::wstring_view argument)
{
    const UserPath start = ResolveUserPath(argument);
    if (!start.path)
        return WhyNotFound(start.error) + ": " + start.absolute;
    switch (GoTo(*start.path)) {
    case Arrival::kShown:
        return {};
    case Arrival::kOutOfReach:
        return "cannot be shown: " + *start.path;
    default:
        return "cannot be read: " + *start.path;
    }
}

FFileInfo::Arrival FFileInfo::GoTo(const std::string& given)
{
    // Only what the lists can choose: a full path on a drive with a letter, or on a share.
    const std::size_t root = korrimat::RootLength(given);
    const bool onDrive = root == 3 && korrimat::DriveLetterOf(given);
    if (!onDrive && !given.starts_with("\\\\"))
        return Arrival::kOutOfReach;
    std::string path = given;
    while (path.size() > root && path.size() > 3 && path.back() == '\\')
        path.pop_back();
    const DWORD attributes = FileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Arrival::kUnreadable;
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::string listed = folder ? korrimat::ListPathForm(path) : korrimat::ParentFolder(path);
    const std::string name = folder ? std::string() : path.substr(path.find_last_of('\\') + 1);

    // Drive, folder, file: each step raises its events only when it changes something, as the
    // user's own choices in the lists do. On the way the drive's list goes straight to the
    // folder, and the folder's list selects the file, so that only the file is shown.
    destination_ = {listed, name, false};
    struct EndOfArrival {
        std::optional<Destination>& destination;
        ~EndOfArrival() { destination.reset(); }
    } endOfArrival{destination_};
    if (onDrive && !Drive1.SetDrive(path))
        return Arrival::kOutOfReach;
    if (!Dir1.SetPath(listed))
        return Arrival::kUnreadable;
    if (folder || destination_->reached)
        return Arrival::kShown;
    int index = File1.IndexOf(name);
    if (index < 0) {
        // Made after the folder was listed.
        File1.Refresh();
        index = File1.IndexOf(name);
    }
    if (index < 0)
        return Arrival::kUnreadable;
    File1.SetSelectedIndex(index);
    return Arrival::kShown;
}

} // namespace korrimat
