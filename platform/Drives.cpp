#include "platform/Drives.h"

#include "platform/PathText.h"
#include "platform/SizedText.h"
#include "platform/SystemScopes.h"

#include <windows.h>
#include <winnetwk.h>

namespace korrimat {

std::vector<DriveFacts> Drives()
{
    const CriticalErrorsSilenced silenced;
    // Each root ends in a zero; the list ends in one more, left out of the count.
    const std::string roots = FillSizedText([](char* buffer, std::size_t capacity) {
                                  return ::GetLogicalDriveStringsA(static_cast<DWORD>(capacity), buffer);
                              }, 512).value_or(std::string());
    std::vector<DriveFacts> drives;
    for (std::size_t start = 0; start < roots.size();) {
        const std::string root(roots.c_str() + start);
        start += root.size() + 1;
        const std::optional<char> letter = DriveLetterOf(root);
        if (!letter)
            continue;
        std::string text{*letter, ':'};
        char name[MAX_PATH + 1] = {};
        DWORD size = sizeof(name);
        const bool named = ::GetDriveTypeA(root.c_str()) == DRIVE_REMOTE
                               ? ::WNetGetConnectionA(text.c_str(), name, &size) == NO_ERROR
                               : ::GetVolumeInformationA(root.c_str(), name, sizeof(name), nullptr, nullptr, nullptr, nullptr, 0);
        if (named && name[0])
            text += std::string(" [") + name + "]";
        drives.push_back({*letter, root, text});
    }
    return drives;
}

std::string CurrentFolder()
{
    return FillSizedText([](char* buffer, std::size_t capacity) {
               return ::GetCurrentDirectoryA(static_cast<DWORD>(capacity), buffer);
           }).value_or(std::string());
}

} // namespace korrimat
