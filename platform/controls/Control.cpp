#include "platform/controls/Control.h"
#include "platform/Trace.h"

#include "platform/FileSystem.h"
#include "platform/controls/Gdi.h"
#include "platform/controls/Line.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace korrimat::controls {

namespace {

constexpr char kWrapperProperty[] = "Korrimat.Control";
constexpr UINT_PTR kSubclassId = 1;

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;
// Sent before a change of density so that the window can name its new size (Windows 10 1703 on).
constexpr UINT kGetDpiScaledSize = 0x02E4;
// What carries dropped names across processes (WM_COPYGLOBALDATA), let through with WM_DROPFILES.
constexpr UINT kCopyGlobalData = 0x0049;
// The messages a form hands out for work on other threads, one per handler.
constexpr UINT kFirstPostedMessage = WM_APP + 0x100;
// WM_COMMAND's notification code for an accelerator key.
constexpr WORD kFromAccelerator = 1;

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

void Raise(const Event& event)
{
    if (event)
        event();
}

// ---- Control ----

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
    return handle ? static_cast<Control*>(::GetPropA(handle, kWrapperProperty)) : nullptr;
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
    subclassed_ = ::SetWindowSubclass(child, &Control::SubclassProcedure, kSubclassId,
                                      reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    return true;
}

void Control::Attach(HWND handle, WindowBase* container)
{
    handle_ = handle;
    container_ = container;
    ::SetPropA(handle, kWrapperProperty, this);
}

void Control::Detach() noexcept
{
    if (!handle_)
        return;
    if (::IsWindow(handle_)) {
        if (::GetPropA(handle_, kWrapperProperty) == this)
            ::RemovePropA(handle_, kWrapperProperty);
        if (subclassed_)
            ::RemoveWindowSubclass(handle_, &Control::SubclassProcedure, kSubclassId);
    }
    subclassed_ = false;
    handle_ = nullptr;
    container_ = nullptr;
    knownText_.reset();
}

LRESULT CALLBACK Control::SubclassProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data)
{
    auto* self = reinterpret_cast<Control*>(data);
    try {
        if (message == WM_SETTEXT)
            self->knownText_.reset();  // SetText, or anyone else: SetText stores it afterwards
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
    return ::DefSubclassProc(handle, message, wParam, lParam);
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
    return ::DefSubclassProc(handle_, message, wParam, lParam);
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

Screen Control::Density() const
{
    return container_ ? container_->Density() : Screen::OfWindow(handle_);
}

// ---- WindowBase ----

WindowBase::~WindowBase()
{
    for (Line* line : lines_)
        line->Forget();
}

COLORREF WindowBase::BackColor() const
{
    return backColor_ ? *backColor_ : ::GetSysColor(COLOR_BTNFACE);
}

void WindowBase::SetBackColor(COLORREF colour)
{
    backColor_ = colour;
    backBrush_.Reset(::CreateSolidBrush(colour));
    Invalidate();
}

HBRUSH WindowBase::BackBrush() const
{
    return backBrush_ ? backBrush_.Get() : ::GetSysColorBrush(COLOR_BTNFACE);
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
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
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

// ---- Form ----

Form::~Form()
{
    Destroy();
}

bool Form::Create(std::string_view caption, ClientSize clientSize, int iconId)
{
    constexpr char kClassName[] = "KorrimatForm";
    if (!RegisterWindowClass(kClassName, 0, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1))))
        return false;
    clientSize_ = std::move(clientSize);
    iconId_ = iconId;
    // Sized at the system's density first; the monitor the window opens on may have another.
    density_ = Screen::System();
    SIZE outer{};
    OuterSizeAt(density_, outer);
    if (!CreateOwnWindow(kClassName, nullptr, kFormStyle, kFormExStyle, {CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy},
                         caption))
        return false;
    if (const Screen monitor = Screen::OfWindow(Handle()); monitor != density_) {
        density_ = monitor;
        FitClientSize(nullptr);
    }
    LoadIcons();
    return true;
}

void Form::Show(int showCommand)
{
    if (!Handle())
        return;
    ::ShowWindow(Handle(), showCommand);
    ::UpdateWindow(Handle());
}

void Form::Close()
{
    if (Handle())
        ::SendMessageA(Handle(), WM_CLOSE, 0, 0);
}

void Form::Destroy()
{
    if (Handle())
        ::DestroyWindow(Handle());
}

void Form::Redraw()
{
    if (Handle())
        ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form::AcceptDroppedFiles()
{
    if (!Handle())
        return;
    ::DragAcceptFiles(Handle(), TRUE);
    // Run with more rights than the shell, the window would otherwise never see what it drops.
    for (UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData})
        ::ChangeWindowMessageFilterEx(Handle(), message, MSGFLT_ALLOW, nullptr);
}

void Form::TakeDroppedFiles(HDROP drop)
{
    const UniqueDrop dropped(drop);
    if (!drop)
        return;
    std::vector<std::string> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT index = 0; index < count; ++index) {
        // Any length: the shell hands over paths past 260 characters too.
        const UINT length = ::DragQueryFileW(drop, index, nullptr, 0);
        std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
        name.resize(::DragQueryFileW(drop, index, name.data(), length + 1));
        if (auto path = ExactNarrowText(name))
            paths.push_back(std::move(*path));
    }
    if (!paths.empty() && onDropFiles)
        onDropFiles(paths);
}

void Form::ChangeDensity(const Screen& density, const RECT* suggested)
{
    density_ = density;
    // The place the system suggests keeps the window on the monitor that asked; the size is the
    // window's own at the new density, which the suggested rectangle may miss by a rounding.
    const POINT topLeft = suggested ? POINT{suggested->left, suggested->top} : POINT{};
    FitClientSize(suggested ? &topLeft : nullptr);
    LoadIcons();
    Raise(onDensityChanged);
}

bool Form::OuterSizeAt(const Screen& density, SIZE& size) const
{
    if (!clientSize_)
        return false;
    size = density.OuterSize(clientSize_(density), kFormStyle, kFormExStyle);
    return true;
}

void Form::FitClientSize(const POINT* topLeft)
{
    if (!clientSize_)
        return;
    if (::IsIconic(Handle())) {
        // Minimised: the size it will be restored to.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        SIZE size{};
        if (!::GetWindowPlacement(Handle(), &placement) || !OuterSizeAt(density_, size))
            return;
        RECT& normal = placement.rcNormalPosition;
        normal.right = normal.left + size.cx;
        normal.bottom = normal.top + size.cy;
        ::SetWindowPlacement(Handle(), &placement);
        return;
    }
    const SIZE wanted = clientSize_(density_);
    // The frame's own size may change with the move, so measure again after each step.
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT outer{};
        RECT client{};
        ::GetWindowRect(Handle(), &outer);
        ::GetClientRect(Handle(), &client);
        const int extraWidth = wanted.cx - client.right;
        const int extraHeight = wanted.cy - client.bottom;
        const bool moved = !topLeft || (outer.left == topLeft->x && outer.top == topLeft->y);
        if (extraWidth == 0 && extraHeight == 0 && moved)
            return;
        ::SetWindowPos(Handle(), nullptr, topLeft ? topLeft->x : 0, topLeft ? topLeft->y : 0,
                       outer.right - outer.left + extraWidth, outer.bottom - outer.top + extraHeight,
                       SWP_NOZORDER | SWP_NOACTIVATE | (topLeft ? 0 : SWP_NOMOVE));
    }
}

void Form::LoadIcons()
{
    HINSTANCE program = ::GetModuleHandleA(nullptr);
    auto load = [&](int size) {
        return UniqueIcon(static_cast<HICON>(
            iconId_ ? ::LoadImageA(program, MAKEINTRESOURCEA(iconId_), IMAGE_ICON, size, size, LR_DEFAULTCOLOR) : nullptr));
    };
    UniqueIcon big = load(density_.LargeIconSize());
    UniqueIcon little = load(density_.Metric(SM_CXSMICON));
    HICON application = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    ::SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big ? big.Get() : application));
    ::SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little ? little.Get() : application));
    // The window no longer shows the icons it had: they can go now.
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(little);
}

bool PostedMessage::Post(std::uintptr_t value) const noexcept
{
    return window_ && ::PostMessageA(window_, message_, value, 0) != FALSE;
}

void Form::SetAccelerators(std::span<const Accelerator> keys)
{
    std::vector<ACCEL> table;
    for (const Accelerator& key : keys) {
        const BYTE flags = FVIRTKEY | FNOINVERT | (key.control ? FCONTROL : 0);
        table.push_back({flags, key.key, static_cast<WORD>(key.command)});
    }
    accelerators_.Reset(table.empty() ? nullptr : ::CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
}

PostedMessage Form::AddPostedMessage(std::function<void(std::uintptr_t)> handler)
{
    posted_.push_back(std::move(handler));
    return PostedMessage(Handle(), kFirstPostedMessage + static_cast<UINT>(posted_.size() - 1));
}

Control* Form::FocusedControl() const
{
    HWND focus = ::GetFocus();
    return focus && Handle() && ::IsChild(Handle(), focus) ? FromHandle(focus) : nullptr;
}

bool Form::PreTranslate(MSG& message)
{
    if (!Handle())
        return false;
    const bool ours = message.hwnd == Handle() || ::IsChild(Handle(), message.hwnd);
    if (ours && accelerators_ && ::TranslateAcceleratorW(Handle(), accelerators_.Get(), &message))
        return true;
    return ::IsDialogMessageW(Handle(), &message);
}

void Form::AskForContextMenu(HWND source, LPARAM where)
{
    if (!onContextMenu)
        return;
    POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: just inside the control that has the focus.
        RECT rect{};
        ::GetWindowRect(source ? source : Handle(), &rect);
        const int inset = Density().Scale(4);
        at = {rect.left + inset, rect.top + inset};
    }
    onContextMenu(source == Handle() ? nullptr : FromHandle(source), at);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(Handle(), focus))
                lastFocus_ = focus;
        } else if (!HIWORD(wParam)) {
            // Activated again while a child still has the focus: it keeps it.
            HWND focus = ::GetFocus();
            if (!focus || !::IsChild(Handle(), focus))
                RestoreFocus();
        }
        return 0;
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_DROPFILES:
        TakeDroppedFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_CONTEXTMENU:
        AskForContextMenu(reinterpret_cast<HWND>(wParam), lParam);
        return 0;
    case WM_COMMAND:
        if (lParam == 0 && HIWORD(wParam) == kFromAccelerator) {
            if (onCommand)
                onCommand(LOWORD(wParam));
            return 0;
        }
        if (LOWORD(wParam) == IDCANCEL && lParam == 0) {
            Raise(onCancel);
            return 0;
        }
        return WindowBase::HandleMessage(message, wParam, lParam);
    case WM_DPICHANGED:
        ChangeDensity(Screen(LOWORD(wParam), HIWORD(wParam)), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case kGetDpiScaledSize: {
        auto* size = reinterpret_cast<SIZE*>(lParam);
        return size && OuterSizeAt(Screen(static_cast<int>(wParam), static_cast<int>(wParam)), *size) ? TRUE : FALSE;
    }
    default:
        if (message >= kFirstPostedMessage && message - kFirstPostedMessage < posted_.size()) {
            posted_[message - kFirstPostedMessage](static_cast<std::uintptr_t>(wParam));
            return 0;
        }
        return WindowBase::HandleMessage(message, wParam, lParam);
    }
}

void Form::OnClose()
{
    Destroy();
}

void Form::RestoreFocus()
{
    HWND target = lastFocus_;
    if (!target || !::IsWindow(target) || !::IsChild(Handle(), target) || !::IsWindowVisible(target)
        || !::IsWindowEnabled(target))
        target = ::GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (target)
        ::SetFocus(target);
}

// Messages are taken and dispatched in their wide form: a character typed reaches a window whole.
// Taken narrow, it would pass through the code page of the keyboard's language (not the
// process's), where a letter of another script is lost.
int RunMessageLoop(Form& form)
{
    MSG message{};
    BOOL got = 0;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1)
            return -1;
        if (!form.PreTranslate(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

void EndMessageLoop(int exitCode)
{
    ::PostQuitMessage(exitCode);
}

void DispatchPendingMessages(Form* form)
{
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for whoever runs the loop to see.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!form || !form->PreTranslate(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

} // namespace korrimat::controls
