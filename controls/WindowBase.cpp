#include "controls/Control.h"
#include "controls/Colours.h"
#include "platform/Trace.h"

#include "controls/Gdi.h"
#include "controls/Line.h"

#include <algorithm>

namespace korrimat::controls {

namespace {

// The window a notification comes from, for the messages a child sends its parent.
HWND NotifyingChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);  // 0 for menus and accelerators
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? ::GetDlgItem(parent, static_cast<int>(wParam)) : nullptr;
    }
    case WM_COMPAREITEM:
        return lParam ? reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
        return lParam ? reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
}

} // namespace

WindowBase::~WindowBase()
{
    for (Line* line : lines_)
        line->Forget();
}

COLORREF WindowBase::BackColor() const
{
    return backColor_ ? *backColor_ : SchemeColour(COLOR_BTNFACE);
}

void WindowBase::SetBackColor(COLORREF colour)
{
    backColor_ = colour;
    backBrush_.Reset(::CreateSolidBrush(colour));
    Invalidate();
}

HBRUSH WindowBase::BackBrush() const
{
    return backBrush_ ? backBrush_.Get() : SchemeBrush(COLOR_BTNFACE);
}

void WindowBase::TellColoursChanged()
{
    if (!Handle())
        return;
    ::EnumChildWindows(Handle(), &WindowBase::TellChildColoursChanged, 0);
}

BOOL CALLBACK WindowBase::TellChildColoursChanged(HWND child, LPARAM)
{
    if (Control* control = FromHandle(child))
        control->OnColoursChanged();
    return TRUE;
}

void WindowBase::AddLine(Line& line)
{
    if (std::find(lines_.begin(), lines_.end(), &line) == lines_.end())
        lines_.push_back(&line);
}

void WindowBase::RemoveLine(Line& line) noexcept
{
    lines_.erase(std::remove(lines_.begin(), lines_.end(), &line), lines_.end());
}

bool WindowBase::RegisterWindowClass(const char* className, UINT classStyle, HBRUSH background)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExA(instance, className, &existing))
        return true;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = &WindowBase::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    return ::RegisterClassExA(&windowClass) != 0;
}

bool WindowBase::CreateOwnWindow(const char* className, WindowBase* container, DWORD style, DWORD exStyle,
                                 const Bounds& bounds, std::string_view text)
{
    if (Handle() || (container && !container->Handle()))
        return false;
    const std::string caption(text);
    HWND parent = container ? container->Handle() : nullptr;
    HMENU id = container ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(container->NextChildId())) : nullptr;
    if (container)
        style |= WS_CHILD | WS_CLIPSIBLINGS;
    container_ = container;
    HWND created = ::CreateWindowExA(exStyle, className, caption.c_str(), style, bounds.left, bounds.top,
                                     bounds.width, bounds.height, parent, id, ::GetModuleHandleA(nullptr), this);
    if (!created) {
        container_ = nullptr;
        return false;
    }
    return true;
}

LRESULT CALLBACK WindowBase::Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowBase* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<WindowBase*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrA(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self)
            self->Attach(handle, self->container_);
    } else {
        self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrA(handle, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcA(handle, message, wParam, lParam);
    try {
        if (message == WM_NCDESTROY) {
            self->OnNcDestroy();
            ::SetWindowLongPtrA(handle, GWLP_USERDATA, 0);
            self->Detach();
            return ::DefWindowProcA(handle, message, wParam, lParam);
        }
        if (message == WM_SETTEXT)
            self->knownText_.reset();
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // No exception may reach the system; the message gets its default handling instead.
        TraceFailure("an exception was caught in a window procedure");
        return ::DefWindowProcA(handle, message, wParam, lParam);
    }
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // What a child tells its container goes back to the child's wrapper first.
    LRESULT result = 0;
    if (ReflectToChild(message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return DefaultColours(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
        // Lists and boxes to type in: the system's colours, but in the dark scheme its own.
        if (DarkScheme()) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, SchemeColour(COLOR_WINDOWTEXT));
            ::SetBkColor(dc, SchemeColour(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(SchemeBrush(COLOR_WINDOW));
        }
        break;
    case WM_ERASEBKGND:
        OnEraseBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT: {
        PaintScope paint(Handle());
        OnPaint(paint.Dc());
        return 0;
    }
    case WM_PRINTCLIENT:
        OnEraseBackground(reinterpret_cast<HDC>(wParam));
        OnPaint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            Invalidate();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_CONTEXTMENU:
        // Up to the window, still naming the control it was asked over (Wine's default handling
        // would name each container on the way instead).
        if (HWND parent = ::GetParent(Handle()); parent && (::GetWindowLongA(Handle(), GWL_STYLE) & WS_CHILD))
            return ::SendMessageA(parent, message, wParam, lParam);
        break;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

LRESULT WindowBase::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(Handle(), message, wParam, lParam);
}

bool WindowBase::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    HWND child = NotifyingChild(Handle(), message, wParam, lParam);
    Control* wrapper = FromHandle(child);
    return wrapper && wrapper != this && wrapper->OnReflected(message, wParam, lParam, result);
}

LRESULT WindowBase::DefaultColours(HDC dc)
{
    // Static text and buttons take the background of the window they lie on.
    ::SetTextColor(dc, SchemeColour(COLOR_BTNTEXT));
    ::SetBkColor(dc, BackColor());
    return reinterpret_cast<LRESULT>(BackBrush());
}

void WindowBase::OnEraseBackground(HDC dc)
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::FillRect(dc, &client, BackBrush());
}

void WindowBase::OnPaint(HDC dc)
{
    PaintLines(dc);
}

void WindowBase::PaintLines(HDC dc) const
{
    for (const Line* line : lines_)
        line->Paint(dc);
}

} // namespace korrimat::controls
