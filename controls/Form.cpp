// The top-level window: its creation at its monitor's density, dropped files, keys, context
// menus, messages posted from other threads, and the message loop.

#include "controls/Form.h"
#include "controls/Colours.h"

#include "platform/Text.h"
#include "controls/Gdi.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace korrimat::controls {

namespace {

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

} // namespace

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
    density_ = PixelDensity::System();
    SIZE outer{};
    OuterSizeAt(density_, outer);
    if (!CreateOwnWindow(kClassName, nullptr, kFormStyle, kFormExStyle, {CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy},
                         caption))
        return false;
    // The scheme before the controls are made, so that they draw in it from the start. (Asked
    // for before the first window, the high-contrast setting made Wine's CreateWindowEx fail.)
    UseColourScheme(WantedColourScheme());
    if (DarkScheme())
        UseDarkTitleBar(Handle(), true);
    if (const PixelDensity monitor = PixelDensity::OfWindow(Handle()); monitor != density_) {
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

void Form::FollowColourScheme()
{
    const ColourScheme wanted = WantedColourScheme();
    if ((wanted == ColourScheme::Dark) == DarkScheme())
        return;
    UseColourScheme(wanted);
    UseDarkTitleBar(Handle(), DarkScheme());
    TellColoursChanged();
    Raise(onColoursChanged);
    if (Handle())
        ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
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

void Form::ChangeDensity(const PixelDensity& density, const RECT* suggested)
{
    density_ = density;
    // The place the system suggests keeps the window on the monitor that asked; the size is the
    // window's own at the new density, which the suggested rectangle may miss by a rounding.
    const POINT topLeft = suggested ? POINT{suggested->left, suggested->top} : POINT{};
    FitClientSize(suggested ? &topLeft : nullptr);
    LoadIcons();
    Raise(onDensityChanged);
}

bool Form::OuterSizeAt(const PixelDensity& density, SIZE& size) const
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
        const BYTE flags = FVIRTKEY | FNOINVERT | (key.control ? FCONTROL : 0) | (key.shift ? FSHIFT : 0);
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
    const bool byKeyboard = at.x == -1 && at.y == -1;
    if (byKeyboard) {
        // From the keyboard: just inside the control that has the focus.
        RECT rect{};
        ::GetWindowRect(source ? source : Handle(), &rect);
        const int inset = Density().Scale(4);
        at = {rect.left + inset, rect.top + inset};
    }
    onContextMenu(source == Handle() ? nullptr : FromHandle(source), at, byKeyboard);
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
    case WM_SETTINGCHANGE:
        // The app mode ("ImmersiveColorSet"), or high contrast turned on or off.
        if (NamesImmersiveColours(Handle(), lParam) || wParam == SPI_SETHIGHCONTRAST)
            FollowColourScheme();
        return WindowBase::HandleMessage(message, wParam, lParam);
    case WM_SYSCOLORCHANGE:
        FollowColourScheme();
        return WindowBase::HandleMessage(message, wParam, lParam);
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
        ChangeDensity(PixelDensity(LOWORD(wParam), HIWORD(wParam)), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case kGetDpiScaledSize: {
        auto* size = reinterpret_cast<SIZE*>(lParam);
        return size && OuterSizeAt(PixelDensity(static_cast<int>(wParam), static_cast<int>(wParam)), *size) ? TRUE : FALSE;
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
