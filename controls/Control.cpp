#include "controls/Control.h"
#include "controls/Colours.h"
#include "controls/Gdi.h"
#include "platform/Trace.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace korrimat::controls {

namespace {

// The wrapper of each window of this thread (a window's messages all come to the thread that made
// it), and for a subclassed standard control its own procedure. A table in the process, because
// the system's per-window properties and its subclassing helper, which keeps its data in one, cost
// a call to the window server under Wine on every message (0.17 ms each, most of a layout's time).
struct Wrapped {
    Control* wrapper = nullptr;
    WNDPROC original = nullptr;  // null for a window of Korrimat's own class
};

std::unordered_map<HWND, Wrapped>& WrappedWindows()
{
    thread_local std::unordered_map<HWND, Wrapped> windows;
    return windows;
}

} // namespace

void Raise(const Event& event)
{
    if (event)
        event();
}

Control::~Control()
{
    Detach();
}

int Control::Id() const
{
    return handle_ ? ::GetDlgCtrlID(handle_) : 0;
}

Control* Control::FromHandle(HWND handle)
{
    if (!handle)
        return nullptr;
    const auto found = WrappedWindows().find(handle);
    return found != WrappedWindows().end() ? found->second.wrapper : nullptr;
}

bool Control::CreateChild(WindowBase& container, const char* className, DWORD style, DWORD exStyle,
                          const Bounds& bounds, std::string_view text)
{
    if (handle_ || !container.Handle())
        return false;
    const std::string caption(text);
    const int id = container.NextChildId();
    HWND child = ::CreateWindowExA(exStyle, className, caption.c_str(), style | WS_CHILD | WS_CLIPSIBLINGS,
                                   bounds.left, bounds.top, bounds.width, bounds.height, container.Handle(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr),
                                   nullptr);
    if (!child)
        return false;
    Attach(child, &container);
    // Subclassed in Unicode, so that the control's messages reach OnOwnMessage in their wide form.
    original_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::SubclassProcedure)));
    WrappedWindows()[child].original = original_;
    return true;
}

void Control::Attach(HWND handle, WindowBase* container)
{
    handle_ = handle;
    container_ = container;
    WrappedWindows()[handle].wrapper = this;
}

void Control::Detach() noexcept
{
    if (!handle_)
        return;
    const auto found = WrappedWindows().find(handle_);
    if (found != WrappedWindows().end() && found->second.wrapper == this) {
        const bool ours = original_ && ::IsWindow(handle_) &&
                          ::GetWindowLongPtrW(handle_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Control::SubclassProcedure);
        if (ours)
            ::SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        // A procedure put over ours later still passes messages to it: it goes on forwarding
        // them to the control's own until the window goes.
        if (original_ && !ours && ::IsWindow(handle_))
            found->second.wrapper = nullptr;
        else
            WrappedWindows().erase(found);
    }
    original_ = nullptr;
    handle_ = nullptr;
    container_ = nullptr;
    knownText_.reset();
}

namespace {

void PaintDarkEdge(HWND handle)
{
    if (!(::GetWindowLongW(handle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
        return;
    RECT window{};
    ::GetWindowRect(handle, &window);
    const RECT edge{0, 0, window.right - window.left, window.bottom - window.top};
    const WindowDc whole(handle, WindowDc::WholeWindow);
    if (whole.Dc())
        DrawSunkenEdge(whole.Dc(), edge);
}

} // namespace

LRESULT CALLBACK Control::SubclassProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto found = WrappedWindows().find(handle);
    if (found == WrappedWindows().end() || !found->second.original)
        return ::DefWindowProcW(handle, message, wParam, lParam);
    const WNDPROC original = found->second.original;
    Control* self = found->second.wrapper;
    if (!self) {
        if (message == WM_NCDESTROY)
            WrappedWindows().erase(found);
        return ::CallWindowProcW(original, handle, message, wParam, lParam);
    }
    try {
        if (message == WM_SETTEXT)
            self->knownText_.reset();  // SetText, or anyone else: SetText stores it afterwards
        if (message == WM_NCPAINT && DarkScheme()) {
            // The system draws a box's sunken edge in light colours only: drawn over in the scheme's.
            const LRESULT result = ::CallWindowProcW(original, handle, message, wParam, lParam);
            PaintDarkEdge(handle);
            return result;
        }
        if (message == WM_NCDESTROY) {
            self->Detach();
        } else {
            LRESULT result = 0;
            if (self->OnOwnMessage(message, wParam, lParam, result))
                return result;
        }
    } catch (...) {
        // Nothing may cross the window procedure; the control's own handling goes on.
        TraceFailure("an exception was caught in a control's window procedure");
    }
    return ::CallWindowProcW(original, handle, message, wParam, lParam);
}

bool Control::OnReflected(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

bool Control::OnOwnMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT Control::CallDefault(UINT message, WPARAM wParam, LPARAM lParam)
{
    return original_ ? ::CallWindowProcW(original_, handle_, message, wParam, lParam)
                     : ::DefWindowProcW(handle_, message, wParam, lParam);
}

Bounds Control::GetBounds() const
{
    if (!handle_)
        return {};
    RECT rect{};
    ::GetWindowRect(handle_, &rect);
    HWND parent = (::GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) ? ::GetParent(handle_) : nullptr;
    if (parent)
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Control::Move(const Bounds& bounds)
{
    if (handle_)
        ::SetWindowPos(handle_, nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Control::Visible() const
{
    return handle_ && (::GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Control::OnScreen() const
{
    return handle_ && ::IsWindowVisible(handle_);
}

void Control::Focus()
{
    if (handle_)
        ::SetFocus(handle_);
}

void Control::SetVisible(bool visible)
{
    if (handle_)
        ::ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

bool Control::Enabled() const
{
    return handle_ && (::GetWindowLongA(handle_, GWL_STYLE) & WS_DISABLED) == 0;
}

void Control::SetEnabled(bool enabled)
{
    if (handle_)
        ::EnableWindow(handle_, enabled ? TRUE : FALSE);
}

HFONT Control::Font() const
{
    return handle_ ? reinterpret_cast<HFONT>(::SendMessageA(handle_, WM_GETFONT, 0, 0)) : nullptr;
}

void Control::SetFont(HFONT font)
{
    if (!handle_)
        return;
    ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    OnFontChanged();
}

std::string Control::Text() const
{
    if (!handle_)
        return {};
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(handle_)) + 1, '\0');
    const int copied = ::GetWindowTextA(handle_, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

void Control::SetText(std::string_view text)
{
    // The same text again is left alone: no flicker, no edit control laid out anew, and not even
    // a question to the window (each message to a control is a trip through the system under Wine,
    // and a show sets over a dozen texts).
    if (!handle_ || (knownText_ && *knownText_ == text))
        return;
    if (::SetWindowTextA(handle_, std::string(text).c_str()))
        knownText_ = std::string(text);
}

void Control::Invalidate()
{
    if (handle_)
        ::InvalidateRect(handle_, nullptr, TRUE);
}

PixelDensity Control::Density() const
{
    return container_ ? container_->Density() : PixelDensity::OfWindow(handle_);
}

} // namespace korrimat::controls
