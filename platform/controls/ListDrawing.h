#pragma once
// Drawing of owner-drawn list entries, with the shell's small icons from the system image list
// (shared by the whole process and never destroyed, so nothing here owns an icon).

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>

namespace korrimat::controls {

struct ListImage {
    HIMAGELIST list = nullptr;
    int index = -1;
};

// A folder's small icon, open or closed.
ListImage FolderImage(bool open);
// A drive's small icon from its root ("C:\"); none when the shell gives none.
ListImage DriveImage(const std::string& root);
int SmallIconSize();

// One entry: background (highlighted when selected), an optional icon `indent` pixels in, the
// text, and the focus rectangle.
void DrawListEntry(const DRAWITEMSTRUCT& item, HFONT font, std::string_view text, ListImage image, int indent);

} // namespace korrimat::controls
