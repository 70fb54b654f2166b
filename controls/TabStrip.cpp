#include "controls/TabStrip.h"

#include "controls/Colours.h"
#include "controls/Gdi.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"

#include <commctrl.h>

namespace korrimat::controls {

bool TabStrip::Create(WindowBase& container, const Bounds& bounds)
{
    if (!CreateChild(container, WC_TABCONTROLA, WS_VISIBLE | WS_TABSTOP | TCS_TABS | TCS_MULTILINE, 0, bounds, {}))
        return false;
    LeaveClientAreaToPages();
    return true;
}

int TabStrip::IndexOfKey(std::string_view key) const
{
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == key)
            return static_cast<int>(i);
    }
    return -1;
}

std::string TabStrip::Key(int index) const
{
    return index >= 0 && index < Count() ? keys_[static_cast<std::size_t>(index)] : std::string();
}

std::string TabStrip::Caption(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    char text[256] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    ::SendMessageA(Handle(), TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return item.pszText ? std::string(item.pszText) : std::string();
}

int TabStrip::SelectedIndex() const
{
    return Handle() ? static_cast<int>(::SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)) : -1;
}

bool TabStrip::IsSelected(std::string_view key) const
{
    const int index = IndexOfKey(key);
    return index >= 0 && index == SelectedIndex();
}

void TabStrip::Select(int index)
{
    if (index < 0 || index >= Count() || index == SelectedIndex())
        return;
    ::SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    Raise(onClick);
}

bool TabStrip::Select(std::string_view key)
{
    const int index = IndexOfKey(key);
    if (index < 0)
        return false;
    Select(index);
    return true;
}

bool TabStrip::Add(int index, std::string_view key, std::string_view caption)
{
    if (!Handle() || index < 0 || index > Count() || IndexOfKey(key) >= 0)
        return false;
    const bool wasEmpty = Count() == 0;
    std::string text(caption);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    const auto inserted = ::SendMessageA(Handle(), TCM_INSERTITEMA, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&item));
    if (inserted < 0)
        return false;
    keys_.insert(keys_.begin() + inserted, std::string(key));
    LeaveClientAreaToPages();
    if (wasEmpty) {
        ::SendMessageA(Handle(), TCM_SETCURSEL, 0, 0);
        Raise(onClick);
    }
    return true;
}

bool TabStrip::Remove(int index)
{
    if (!Handle() || index < 0 || index >= Count())
        return false;
    const bool wasSelected = index == SelectedIndex();
    if (!::SendMessageA(Handle(), TCM_DELETEITEM, static_cast<WPARAM>(index), 0))
        return false;
    keys_.erase(keys_.begin() + index);
    LeaveClientAreaToPages();
    if (wasSelected && Count() > 0) {
        ::SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index > 0 ? index - 1 : 0), 0);
        Raise(onClick);
    }
    return true;
}

Bounds TabStrip::ClientArea() const
{
    if (!Handle())
        return {};
    RECT area{};
    ::GetClientRect(Handle(), &area);
    ::SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    const Bounds strip = GetBounds();
    return {strip.left + area.left, strip.top + area.top, area.right - area.left, area.bottom - area.top};
}

bool TabStrip::OnReflected(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == TCN_SELCHANGE) {
        Raise(onClick);
        result = 0;
        return true;
    }
    return false;
}

// The system draws its tabs in light colours only: in the dark scheme they are drawn here, the
// strip's background, each tab with its caption, and the line round the pages.
void TabStrip::PaintDark(HDC dc)
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const HBRUSH back = Container() ? Container()->BackBrush() : SchemeBrush(COLOR_BTNFACE);
    ::FillRect(dc, &client, back);
    RECT pages = client;
    ::SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&pages));
    const int margin = Density().Scale(2);
    const RECT border{pages.left - margin, pages.top - margin, pages.right + margin, pages.bottom + margin};
    DrawEtchedRect(dc, border);
    SelectedObject font(dc, Font());
    ::SetBkMode(dc, TRANSPARENT);
    const int selected = SelectedIndex();
    for (int index = 0; index < Count(); ++index) {
        RECT tab{};
        if (!::SendMessageA(Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tab)))
            continue;
        if (index == selected)
            ::InflateRect(&tab, margin, margin);
        ::FillRect(dc, &tab, SchemeBrush(index == selected ? COLOR_WINDOW : COLOR_BTNFACE));
        DrawEtchedRect(dc, tab);
        ::SetTextColor(dc, SchemeColour(COLOR_BTNTEXT));
        const std::wstring caption = WideText(Caption(index));
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &tab, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        if (index == selected && ::GetFocus() == Handle() && !(::SendMessageA(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
            ::InflateRect(&tab, -margin, -margin);
            ::DrawFocusRect(dc, &tab);
        }
    }
}

bool TabStrip::OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (DarkScheme() && PaintFor(Handle(), message, wParam, [this](HDC dc) { PaintDark(dc); })) {
        result = 0;
        return true;
    }
    if (DarkScheme() && message == WM_ERASEBKGND) {
        result = 1;
        return true;
    }
    if (message == WM_SIZE) {
        result = CallDefault(message, wParam, lParam);
        LeaveClientAreaToPages();
        return true;
    }
    return false;
}

void TabStrip::OnFontChanged()
{
    LeaveClientAreaToPages();
}

void TabStrip::LeaveClientAreaToPages()
{
    if (!Handle())
        return;
    RECT whole{};
    ::GetClientRect(Handle(), &whole);
    RECT pages = whole;
    ::SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&pages));
    UniqueRegion region(::CreateRectRgnIndirect(&whole));
    UniqueRegion hole(::CreateRectRgnIndirect(&pages));
    if (!region || !hole || ::CombineRgn(region.Get(), region.Get(), hole.Get(), RGN_DIFF) == ERROR)
        return;
    // On success the window owns the region.
    if (::SetWindowRgn(Handle(), region.Get(), TRUE))
        region.Release();
    const Bounds area = ClientArea();
    if (area != area_) {
        area_ = area;
        Raise(onAreaChange);
    }
}

} // namespace korrimat::controls
