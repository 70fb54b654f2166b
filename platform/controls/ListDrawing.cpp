#include "platform/controls/ListDrawing.h"

#include "platform/Text.h"
#include "platform/controls/Gdi.h"

#include <commctrl.h>
#include <shellapi.h>

namespace korrimat::controls {

namespace {

ListImage ShellImage(const char* path, DWORD attributes, UINT flags)
{
    SHFILEINFOA info{};
    if (!::SHGetFileInfoA(path, attributes, &info, sizeof(info), flags | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        return {};
    return {info.iIcon};
}

// The system image list of small or of large icons, and the size of its icons.
struct SystemList {
    HIMAGELIST list = nullptr;
    int size = 0;
};

SystemList SystemImageList(bool large)
{
    SHFILEINFOA info{};
    const auto list = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
        "folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
        SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | (large ? SHGFI_LARGEICON : SHGFI_SMALLICON)));
    int width = 0;
    int height = 0;
    if (!list || !::ImageList_GetIconSize(list, &width, &height))
        return {};
    return {list, height};
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

void DrawListEntry(const DRAWITEMSTRUCT& item, const PixelDensity& density, HFONT font, std::string_view text,
                   ListImage image, int indent)
{
    HDC dc = item.hDC;
    const RECT& area = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &area, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID != static_cast<UINT>(-1)) {
        int x = area.left + density.Scale(2) + indent;
        if (image.index >= 0) {
            static const SystemList smallIcons = SystemImageList(false);
            static const SystemList largeIcons = SystemImageList(true);
            const int wanted = density.SmallIconSize();
            const SystemList& icons = largeIcons.list && largeIcons.size <= wanted ? largeIcons : smallIcons;
            if (icons.list)
                ::ImageList_Draw(icons.list, image.index, dc, x + (wanted - icons.size) / 2,
                                 area.top + (area.bottom - area.top - icons.size) / 2, ILD_TRANSPARENT);
            x += wanted + density.Scale(4);
        }
        SelectedObject selectedFont(dc, font);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
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
