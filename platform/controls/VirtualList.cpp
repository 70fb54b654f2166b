#include "platform/controls/VirtualList.h"

#include "platform/controls/Gdi.h"

#include <algorithm>

namespace korrimat::controls {

bool VirtualList::CreateList(WindowBase& container, const Bounds& bounds)
{
    constexpr DWORD kStyle = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                             LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_WANTKEYBOARDINPUT;
    return CreateChild(container, "LISTBOX", kStyle, WS_EX_CLIENTEDGE, bounds, {});
}

int VirtualList::SelectedIndex() const
{
    return Handle() ? static_cast<int>(::SendMessageA(Handle(), LB_GETCURSEL, 0, 0)) : -1;
}

void VirtualList::ResetRows(int count, int selected)
{
    if (!Handle())
        return;
    ::SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
    ::SendMessageA(Handle(), LB_SETCOUNT, static_cast<WPARAM>(count), 0);
    if (selected >= 0 && selected < count)
        ::SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    ::SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void VirtualList::SelectRow(int index)
{
    if (Handle())
        ::SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void VirtualList::FitRowHeight(int minimum)
{
    if (!Handle())
        return;
    const int height = std::max(static_cast<int>(FontMetrics(Font()).tmHeight), minimum);
    ::SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

bool VirtualList::OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_DRAWITEM:
        DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    case WM_CHARTOITEM: {
        const int row = RowForInitial(static_cast<char>(LOWORD(wParam)), HIWORD(wParam));
        result = row >= 0 ? row : -2;  // -2: the key is dealt with
        return true;
    }
    case WM_VKEYTOITEM:
        result = -1;  // the list box's own handling of the key
        return true;
    case WM_COMMAND:
        return OnListCommand(HIWORD(wParam));
    default:
        return false;
    }
}

} // namespace korrimat::controls
