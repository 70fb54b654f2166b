#include "platform/controls/ListDrawing.h"

#include "platform/controls/Gdi.h"

#include <shellapi.h>

namespace korrimat::controls {

namespace {

ListImage ShellImage(const char* path, DWORD attributes, UINT flags)
{
    SHFILEINFOA info{};
    const auto list = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoA(path, attributes, &info, sizeof(info), flags | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (!list)
        return {};
    return {list, info.iIcon};
}

} // namespace

ListImage FolderImage(bool open)
{
    static const ListImage closedFolder = ShellImage("folder", FILE_ATTRIBUTE_DIRECTORY, SHGFI_USEFILEATTRIBUTES);
    static const ListImage openFolder =
        ShellImage("folder", FILE_ATTRIBUTE_DIRECTORY, SHGFI_USEFILEATTRIBUTES | SHGFI_OPENICON);
    return open ? openFolder : closedFolder;
}

ListImage DriveImage(const std::string& root)
{
    return ShellImage(root.c_str(), 0, 0);
}

int SmallIconSize()
{
    return ::GetSystemMetrics(SM_CYSMICON);
}

void DrawListEntry(const DRAWITEMSTRUCT& item, HFONT font, std::string_view text, ListImage image, int indent)
{
    HDC dc = item.hDC;
    const RECT& area = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &area, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID != static_cast<UINT>(-1)) {
        const int dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
        int x = area.left + ::MulDiv(2, dpi, 96) + indent;
        if (image.list && image.index >= 0) {
            const int size = SmallIconSize();
            ::ImageList_Draw(image.list, image.index, dc, x, area.top + (area.bottom - area.top - size) / 2,
                             ILD_TRANSPARENT);
            x += size + ::MulDiv(4, dpi, 96);
        }
        SelectedObject selectedFont(dc, font);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT textArea{x, area.top, area.right, area.bottom};
        ::DrawTextA(dc, text.data(), static_cast<int>(text.size()), &textArea,
                    DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT))
        ::DrawFocusRect(dc, &area);
}

} // namespace korrimat::controls
