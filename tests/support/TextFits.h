#pragma once
// Whether a page shows every text whole, measured in the controls' own fonts against their boxes.

#include "app/FFileInfo.h"
#include "app/WindowDesign.h"
#include "controls/Gdi.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>

namespace korrimat::testing {

// Every control shown in `containers` shows its text whole at the window's density: a label's, a
// button's or a frame's caption within its width and its lines within its height, a one-line
// value within its box and with no tip, a box of lines without scrolling, a list's rows within
// the list; and every control lies inside its page. The Program page's box of facts scrolls by
// design, and an entry box as the user types: those are left out.
inline void ExpectEveryTextWhole(FFileInfo& window, std::initializer_list<std::string_view> containers)
{
    using namespace korrimat::controls;
    for (const ControlDesign& design : ControlDesigns()) {
        if (std::find(containers.begin(), containers.end(), design.container) == containers.end() ||
            design.slot.Is<Line>() || design.name == "txtProgram")
            continue;
        SCOPED_TRACE(std::string(design.name));
        Control& control = *window.ControlNamed(design.name, design.index);
        if (!control.OnScreen())
            continue;
        const Bounds bounds = control.GetBounds();
        RECT page{};
        ::GetClientRect(::GetParent(control.Handle()), &page);
        EXPECT_LE(bounds.left + bounds.width, page.right);
        EXPECT_LE(bounds.top + bounds.height, page.bottom);
        std::string text = control.Text();
        text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
        const int lineHeight = FontMetrics(control.Font()).tmHeight;
        RECT shown{};
        ::SendMessageA(control.Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
        if (design.slot.Is<Label>()) {
            WindowDc screen(nullptr);
            SelectedObject font(screen.Dc(), control.Font());
            const std::wstring wide = WideText(text);
            RECT needed{0, 0, bounds.width, 0};
            ::DrawTextW(screen.Dc(), wide.c_str(), static_cast<int>(wide.size()), &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            EXPECT_LE(needed.right, bounds.width) << text;
            EXPECT_LE(needed.bottom, std::max(bounds.height, lineHeight)) << text;
        } else if (design.slot.Is<Button>() || design.slot.Is<Frame>()) {
            EXPECT_LE(TextWidth(control.Font(), text), bounds.width - lineHeight) << text;
        } else if (design.slot.Is<ListBox>()) {
            const auto& list = design.slot.As<ListBox>(window);
            RECT client{};
            ::GetClientRect(list.Handle(), &client);
            for (int row = 0; row < list.Count(); ++row)
                EXPECT_LE(TextWidth(list.Font(), list.Item(row)) + 4, client.right) << list.Item(row);
        } else if (design.slot.Is<TextBox>() && design.slot.As<TextBox>(window).Style() == TextBoxStyle::MultiLine) {
            const auto lines = ::SendMessageA(control.Handle(), EM_GETLINECOUNT, 0, 0);
            EXPECT_LE(lines * lineHeight, shown.bottom - shown.top) << text;
        } else if (design.slot.Is<TextBox>() && design.slot.As<TextBox>(window).Style() == TextBoxStyle::DisplayField) {
            EXPECT_LE(TextWidth(control.Font(), text), shown.right - shown.left) << text;
            EXPECT_EQ(design.slot.As<TextBox>(window).ToolTipText(), "");
        }
    }
}

} // namespace korrimat::testing
