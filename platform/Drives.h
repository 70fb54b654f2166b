#pragma once
// The machine's drives and the process's current folder, for the drive list and a path a user
// gives.

#include <string>
#include <vector>

namespace korrimat {

// A drive as the drive list shows it.
struct DriveFacts {
    char letter = 0;   // lower case
    std::string root;  // "C:\"
    std::string text;  // "c:", then " [label]" or, for a network drive, " [\\server\share]"
};

// GetLogicalDriveStringsA, each with its label (GetVolumeInformationA) or, for a network drive,
// its share (WNetGetConnectionA); a drive without a medium is asked nothing of the user.
[[nodiscard]] std::vector<DriveFacts> Drives();
// The same drives by their letters alone ("c:"), none of them asked anything: a drive's label can
// take long (a disc spinning up, a share far away).
[[nodiscard]] std::vector<DriveFacts> DriveLetters();
// A drive of DriveLetters given its label or share, as Drives gives it.
void AddDriveLabel(DriveFacts& drive);
// GetCurrentDirectoryA; empty when the system cannot give it.
[[nodiscard]] std::string CurrentFolder();

} // namespace korrimat
