#include "controls/ListBox.h"

namespace korrimat::controls {

bool ListBox::Create(WindowBase& container, const Bounds& bounds)
{
    return CreateChild(container, "LISTBOX",
                       WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                       WS_EX_CLIENTEDGE, bounds, {});
}

void ListBox::Add(std::string_view text, std::intptr_t data)
{
    if (!Handle())
        return;
    const LRESULT index = ::SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::string(text).c_str()));
    if (index >= 0)
        ::SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

std::intptr_t ListBox::Data(int index) const
{
    if (!Handle() || index < 0 || index >= Count())
        return -1;
    return static_cast<std::intptr_t>(::SendMessageA(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void ListBox::Clear()
{
    if (Handle())
        ::SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
}

int ListBox::Count() const
{
    return Handle() ? static_cast<int>(::SendMessageA(Handle(), LB_GETCOUNT, 0, 0)) : 0;
}

std::string ListBox::Item(int index) const
{
    if (!Handle() || index < 0 || index >= Count())
        return {};
    const LRESULT length = ::SendMessageA(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        ::SendMessageA(Handle(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

int ListBox::IndexAt(POINT screen) const
{
    if (!Handle() || !::ScreenToClient(Handle(), &screen))
        return -1;
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (!::PtInRect(&client, screen))
        return -1;
    const LRESULT found = ::SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(screen.x, screen.y));
    // The high word is set for a point past the last entry.
    return HIWORD(found) != 0 ? -1 : static_cast<int>(LOWORD(found));
}

int ListBox::SelectedIndex() const
{
    return Handle() ? static_cast<int>(::SendMessageA(Handle(), LB_GETCURSEL, 0, 0)) : -1;
}

void ListBox::SetSelectedIndex(int index)
{
    if (!Handle() || index >= Count())
        return;
    ::SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index < 0 ? -1 : index), 0);
    if (index >= 0)
        Raise(onClick);
}

bool ListBox::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message == WM_COMMAND && HIWORD(wParam) == LBN_SELCHANGE) {
        Raise(onClick);
        result = 0;
        return true;
    }
    return false;
}

} // namespace korrimat::controls
