#pragma once
// Drawing of owner-drawn list entries, with the shell's icons from the system image lists
// (shared by the whole process and never destroyed, so nothing here owns an icon).

#include "controls/PixelDensity.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>

namespace korrimat::controls {

// An entry of the system image lists, the same in each of their sizes; -1 for none.
struct ListImage {
    int index = -1;
};

// The system image lists of small and of large icons with their icon sizes: a list fetches them
// once and draws every row from them.
struct ListIcons {
    HIMAGELIST smallList = nullptr;
    int smallSize = 0;
    HIMAGELIST largeList = nullptr;
    int largeSize = 0;
};
ListIcons SystemListIcons();

// A folder's icon, open or closed.
ListImage FolderImage(bool open);
// A drive's icon from its root ("C:\"); none when the shell gives none.
ListImage DriveImage(const std::string& root);

// One entry: background (highlighted when selected), an optional icon `indent` pixels in, the
// text, and the focus rectangle, all sized for `density`. The icon comes from the system's list
// of the largest size that fits a small icon at that density.
void DrawListEntry(const ListIcons& icons, const DRAWITEMSTRUCT& item, const PixelDensity& density, HFONT font,
                   std::string_view text, ListImage image, int indent);

} // namespace korrimat::controls
