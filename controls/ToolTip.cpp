#include "controls/ToolTip.h"

#include "platform/Text.h"

#include <commctrl.h>

#include <vector>

namespace korrimat::controls {

namespace {

// The whole of the tool's window is the tool; the tip watches its mouse messages itself.
TTTOOLINFOW ToolInfo(HWND tool, wchar_t* text)
{
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = ::GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = text;
    return info;
}

} // namespace

bool ToolTip::MakeWindow(HWND tool)
{
    if (window_)
        return true;
    window_.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                    ::GetAncestor(tool, GA_ROOT), nullptr, ::GetModuleHandleW(nullptr), nullptr));
    if (!window_)
        return false;
    // A long value wraps in the tip rather than running off the screen.
    ::SendMessageW(window_.Get(), TTM_SETMAXTIPWIDTH, 0, ::GetSystemMetrics(SM_CXSCREEN) / 2);
    return true;
}

void ToolTip::Show(HWND tool, std::string_view text)
{
    if (added_ && (text.empty() || tool != tool_)) {
        TTTOOLINFOW info = ToolInfo(tool_, nullptr);
        ::SendMessageW(window_.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        added_ = false;
    }
    if (text.empty() || !tool || !MakeWindow(tool))
        return;
    std::wstring wide = WideText(text);
    TTTOOLINFOW info = ToolInfo(tool, wide.data());
    if (added_) {
        ::SendMessageW(window_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
        return;
    }
    added_ = ::SendMessageW(window_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
    tool_ = tool;
}

void ToolTip::Relay(HWND tool, UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (!added_)
        return;
    MSG mouse{tool, message, wParam, lParam, 0, {}};
    ::SendMessageW(window_.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&mouse));
}

void ToolTip::Close() noexcept
{
    // Owned by the tool's top-level window, the tip dies with it, possibly before the tool.
    if (window_ && !::IsWindow(window_.Get()))
        window_.Release();
    window_.Reset();
    added_ = false;
    tool_ = nullptr;
}

std::string ToolTip::Text() const
{
    if (!added_)
        return {};
    // The tip says nothing of its text's length: a buffer as long as any value shown.
    std::vector<wchar_t> text(8192, L'\0');
    TTTOOLINFOW info = ToolInfo(tool_, text.data());
    ::SendMessageW(window_.Get(), TTM_GETTEXTW, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(&info));
    return NarrowText(text.data());
}

} // namespace korrimat::controls
