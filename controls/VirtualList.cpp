#include "controls/VirtualList.h"

#include "platform/Text.h"
#include "controls/Gdi.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace korrimat::controls {

bool VirtualList::CreateList(WindowBase& container, const Bounds& bounds)
{
    constexpr DWORD kStyle = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                             LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_WANTKEYBOARDINPUT;
    if (!CreateChild(container, "LISTBOX", kStyle, WS_EX_CLIENTEDGE, bounds, {}))
        return false;
    // The list box took its kind from the style it was created with (no data, which excludes
    // strings) and keeps it. The window system looks at the style bits as they are now: only for
    // a list with LBS_HASSTRINGS does it treat LB_GETTEXT as carrying text, copying the text to a
    // caller in another process and converting it between the narrow and the wide form. With the
    // bit, the rows' texts answered below reach their callers as a standard list box's do.
    ::SetWindowLongA(Handle(), GWL_STYLE, ::GetWindowLongA(Handle(), GWL_STYLE) | LBS_HASSTRINGS);
    return true;
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
        const wchar_t initial = typed_ ? typed_ : static_cast<wchar_t>(static_cast<unsigned char>(LOWORD(wParam)));
        typed_ = 0;
        const int row = RowForInitial(initial, HIWORD(wParam));
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

bool VirtualList::OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case LB_GETTEXT:
    case LB_GETTEXTLEN:
        result = AnswerText(message, wParam, lParam);
        return true;
    case WM_CHAR:
        if (::IsWindowUnicode(Handle())) {
            typed_ = static_cast<wchar_t>(wParam);
        } else {
            const char byte = static_cast<char>(wParam);
            const std::wstring wide = WideText(std::string_view(&byte, 1));
            typed_ = wide.empty() ? 0 : wide[0];
        }
        return false;  // the list box's own handling, which asks the owner for the row
    default:
        return false;
    }
}

LRESULT VirtualList::AnswerText(UINT message, WPARAM row, LPARAM buffer) const
{
    const int count = Handle() ? static_cast<int>(::SendMessageA(Handle(), LB_GETCOUNT, 0, 0)) : 0;
    const int index = static_cast<int>(row);
    if (index < 0 || index >= count) {
        ::SetLastError(ERROR_INVALID_INDEX);
        return LB_ERR;
    }
    const std::string_view text = RowText(index);
    // This procedure sees wide messages when the window's procedure is a wide one (a subclassed
    // control's is), and the system has converted a narrow caller's message then.
    if (::IsWindowUnicode(Handle())) {
        const std::wstring wide = WideText(text);
        if (message == LB_GETTEXT && buffer)
            std::memcpy(reinterpret_cast<wchar_t*>(buffer), wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
        return static_cast<LRESULT>(wide.size());
    }
    if (message == LB_GETTEXT && buffer) {
        std::memcpy(reinterpret_cast<char*>(buffer), text.data(), text.size());
        reinterpret_cast<char*>(buffer)[text.size()] = '\0';
    }
    return static_cast<LRESULT>(text.size());
}

} // namespace korrimat::controls
