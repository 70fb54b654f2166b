#pragma once
// A tip that shows one control's whole text while the pointer rests on it: for a value its box
// cannot hold. The tip window is made the first time there is something to show.

#include "platform/UniqueHandle.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace korrimat::controls {

class ToolTip {
public:
    ToolTip() = default;
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    // The tip over `tool` says `text`; an empty text takes the tip away.
    void Show(HWND tool, std::string_view text);
    // What the tip says, asked of the tip window itself; empty when there is none.
    std::string Text() const;
    // Hands the tip a mouse message its tool had before the tip was watching it.
    void Relay(HWND tool, UINT message, WPARAM wParam, LPARAM lParam) const;
    // The tool is going: the tip goes too, unless its owner's end took it already.
    void Close() noexcept;

private:
    bool MakeWindow(HWND tool);

    UniqueWindow window_;
    HWND tool_ = nullptr;
    bool added_ = false;
};

} // namespace korrimat::controls
