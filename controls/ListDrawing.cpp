#include "controls/ListDrawing.h"
#include "controls/Colours.h"

#include "platform/Shell.h"
#include "platform/Text.h"
#include "controls/Gdi.h"

#include <commctrl.h>

#include <tuple>
#include <utility>

namespace korrimat::controls {

namespace {

// A system image list and the size of its icons; none when the shell gives none.
std::pair<HIMAGELIST, int> WithIconSize(HIMAGELIST list)
{
    int width = 0;
    int height = 0;
    if (!list || !::ImageList_GetIconSize(list, &width, &height))
        return {nullptr, 0};
    return {list, height};
}

} // namespace

ListIcons SystemListIcons()
{
    ListIcons icons;
    std::tie(icons.smallList, icons.smallSize) = WithIconSize(SystemImageList(false));
    std::tie(icons.largeList, icons.largeSize) = WithIconSize(SystemImageList(true));
    return icons;
}

ListImage FolderImage(bool open)
{
    return {ShellImageIndex("folder", true, open)};
}

ListImage DriveImage(const std::string& root)
{
    return {ShellImageIndex(root, false, false)};
}

void DrawListEntry(const ListIcons& icons, const DRAWITEMSTRUCT& item, const PixelDensity& density, HFONT font,
                   std::string_view text, ListImage image, int indent)
{
    HDC dc = item.hDC;
    const RECT& area = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &area, SchemeBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID != static_cast<UINT>(-1)) {
        int x = area.left + density.Scale(2) + indent;
        if (image.index >= 0) {
            const int wanted = density.SmallIconSize();
            const bool large = icons.largeList && icons.largeSize <= wanted;
            const HIMAGELIST list = large ? icons.largeList : icons.smallList;
            const int size = large ? icons.largeSize : icons.smallSize;
            if (list)
                ::ImageList_Draw(list, image.index, dc, x + (wanted - size) / 2, area.top + (area.bottom - area.top - size) / 2,
                                 ILD_TRANSPARENT);
            x += wanted + density.Scale(4);
        }
        SelectedObject selectedFont(dc, font);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, SchemeColour(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT textArea{x, area.top, area.right, area.bottom};
        // In UTF-16: the narrow drawing calls read text in the code page of the font's character
        // set, which is not the process's, and would draw a name in another script as other letters.
        const std::wstring wide = WideText(text);
        ::DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &textArea,
                    DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT))
        ::DrawFocusRect(dc, &area);
}

} // namespace korrimat::controls
