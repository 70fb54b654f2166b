#include "platform/Drives.h"

#include "platform/PathText.h"
#include "platform/SizedText.h"
#include "platform/SystemScopes.h"

#include <windows.h>
#include <winnetwk.h>

namespace korrimat {

std::vector<DriveFacts> DriveLetters()
{
    // Each root ends in a zero; the list ends in one more, left out of the count.
    const std::string roots = FillSizedText([](char* buffer, std::size_t capacity) {
                                  return ::GetLogicalDriveStringsA(static_cast<DWORD>(capacity), buffer);
                              }, 512).value_or(std::string());
    std::vector<DriveFacts> drives;
    for (std::size_t start = 0; start < roots.size();) {
        const std::string root(roots.c_str() + start);
        start += root.size() + 1;
        if (const std::optional<char> letter = DriveLetterOf(root))
            drives.push_back({*letter, root, std::string{*letter, ':'}});
    }
    return drives;
}

void AddDriveLabel(DriveFacts& drive)
{
    const CriticalErrorsSilenced silenced;
    const std::string device{drive.letter, ':'};
    char name[MAX_PATH + 1] = {};
    DWORD size = sizeof(name);
    const bool named = ::GetDriveTypeA(drive.root.c_str()) == DRIVE_REMOTE
                           ? ::WNetGetConnectionA(device.c_str(), name, &size) == NO_ERROR
                           : ::GetVolumeInformationA(drive.root.c_str(), name, sizeof(name), nullptr, nullptr, nullptr, nullptr, 0);
    drive.text = device;
    if (named && name[0])
        drive.text += std::string(" [") + name + "]";
}

std::vector<DriveFacts> Drives()
{
    std::vector<DriveFacts> drives = DriveLetters();
    for (DriveFacts& drive : drives)
        AddDriveLabel(drive);
    return drives;
}

std::string CurrentFolder()
{
    return FillSizedText([](char* buffer, std::size_t capacity) {
               return ::GetCurrentDirectoryA(static_cast<DWORD>(capacity), buffer);
           }).value_or(std::string());
}

} // namespace korrimat
