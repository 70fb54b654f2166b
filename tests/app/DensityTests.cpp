// The window at the screen's real density, and moved to another density while it is open, under
// Wine and Xvfb.

#include "app/FFileInfo.h"
#include "app/WindowDesign.h"
#include "controls/Gdi.h"
#include "tests/support/Paths.h"
#include "tests/support/WindowFixture.h"
#include "tests/support/WindowSystemEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>

using namespace korrimat;
using korrimat::controls::Bounds;
using korrimat::testing::BringToFront;
using korrimat::testing::FontOfWindow;
using korrimat::testing::Pump;

namespace {

// Sent before a change of density for the window to name its new size (Windows 10 1703 on).
constexpr UINT kGetDpiScaledSize = 0x02E4;

// A control's design rectangle at a density.
Bounds DesignAt(std::string_view name, int index, int dpi)
{
    const ControlDesign* design = FindControlDesign(name, index);
    return design ? ToPixels(*design, controls::PixelDensity(dpi, dpi)) : Bounds{};
}

std::string WithoutAccessMark(std::string_view text)
{
    std::string plain(text);
    plain.erase(std::remove(plain.begin(), plain.end(), '&'), plain.end());
    return plain;
}

SIZE ClientSize(HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// Everything in the window that has a place: the controls' rectangles and the lines' ends.
std::map<std::string, Bounds> Places(FFileInfo& window)
{
    std::map<std::string, Bounds> places;
    for (const ControlDesign& design : ControlDesigns()) {
        const std::string key = std::string(design.name) + "(" + std::to_string(design.index) + ")";
        if (design.slot.Is<korrimat::controls::Line>()) {
            const controls::Line& line = window.Line1[design.index];
            places[key] = {line.X1(), line.Y1(), line.X2(), line.Y2()};
        } else if (controls::Control* control = window.ControlNamed(design.name, design.index)) {
            places[key] = control->GetBounds();
        }
    }
    return places;
}

// The window laid out at `dpi`: its client size, a few controls at their design places, the
// lines, every font, and no text cut short by its box.
void ExpectLaidOutAt(FFileInfo& window, int dpi)
{
    SCOPED_TRACE("at " + std::to_string(dpi) + " dots per inch");
    EXPECT_EQ(window.Density().DpiX(), dpi);
    EXPECT_EQ(window.Density().DpiY(), dpi);
    const SIZE client = ClientSize(window.Handle());
    const SIZE designed = ClientSizeInPixels(controls::PixelDensity(dpi, dpi));
    EXPECT_EQ(client.cx, designed.cx);
    EXPECT_EQ(client.cy, designed.cy);

    for (const char* name : {"Frame1", "tabInfo", "Drive1", "Dir1", "File1", "txtFilename", "txtDosPath",
                             "frmAttributes", "txtCopyright", "frmVerInfo", "lstVerInfo", "txtVerInfo"})
        EXPECT_EQ(window.ControlNamed(name)->GetBounds(), DesignAt(name, -1, dpi)) << name;
    for (int i = 0; i < 6; ++i) {
        const Bounds shadowLine = DesignAt("Line1", i & ~1, dpi);
        EXPECT_EQ(window.Line1[i].X1(), shadowLine.left) << i;
        EXPECT_EQ(window.Line1[i].X2(), shadowLine.width) << i;
    }
    EXPECT_EQ(window.Line1[0].Y1(), DesignAt("Line1", 0, dpi).top);
    EXPECT_EQ(window.Line1[4].Y2(), DesignAt("Line1", 4, dpi).height);

    const int fontHeight = DesignFontHeight(controls::PixelDensity(dpi, dpi));
    for (const ControlDesign& design : ControlDesigns()) {
        if (design.font == DesignFont::None || design.slot.Is<korrimat::controls::Line>())
            continue;
        SCOPED_TRACE(std::string(design.name) + " " + std::to_string(design.index));
        controls::Control* control = window.ControlNamed(design.name, design.index);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(FontOfWindow(control->Handle()).lfHeight,
                  design.font == DesignFont::VerdictBold ? VerdictFontHeight(controls::PixelDensity(dpi, dpi)) : fontHeight);
        EXPECT_EQ(control->Font(), window.FontOf(design.font));
        const Bounds bounds = control->GetBounds();
        const TEXTMETRICA metrics = controls::FontMetrics(control->Font());
        const int textWidth = controls::TextWidth(control->Font(), WithoutAccessMark(design.text));
        if (design.slot.Is<controls::Label>()) {
            EXPECT_GE(bounds.height, metrics.tmHeight);
            EXPECT_GE(bounds.width, textWidth);
            EXPECT_EQ(bounds.top, DesignAt(design.name, design.index, dpi).top);
        } else if (design.slot.Is<controls::CheckBox>()) {
            // The caption fits beside the box (13 pixels and a gap of 4 at 96 dots per inch).
            EXPECT_GE(bounds.height, metrics.tmHeight);
            EXPECT_GE(bounds.width, textWidth + ::MulDiv(17, dpi, 96));
        } else if (design.slot.Is<controls::TextBox>()) {
            EXPECT_GE(bounds.height, metrics.tmHeight);
        }
    }
    EXPECT_EQ(FontOfWindow(window.Handle()).lfHeight, fontHeight);
}

// What the controls size in the window's own density, whatever the system's is: the icon box and
// the list rows. The window is told of a density the prefix does not have, so nothing that asks
// the system instead can pass.
void ExpectDrawnAt(FFileInfo& window, int dpi)
{
    SCOPED_TRACE("drawn at " + std::to_string(dpi) + " dots per inch");
    const controls::PixelDensity density(dpi, dpi);
    RECT box{};
    ::GetClientRect(window.picIcon.Handle(), &box);
    EXPECT_EQ(box.right, density.LargeIconSize());
    EXPECT_EQ(box.bottom, density.LargeIconSize());
    EXPECT_GE(::SendMessageA(window.Dir1.Handle(), LB_GETITEMHEIGHT, 0, 0), density.SmallIconSize());
    EXPECT_GE(::SendMessageA(window.Drive1.Handle(), CB_GETITEMHEIGHT, 0, 0), density.SmallIconSize());
}

// The width of a check square as drawn: the run of pixels in the window colour across it.
int CheckSquareWidth(FFileInfo& window)
{
    HWND check = window.chkAttr[0].Handle();
    ::RedrawWindow(check, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT area{};
    ::GetClientRect(check, &area);
    int left = area.right;
    int right = -1;
    for (int y = 0; y < area.bottom; ++y)
        for (int x = 0; x < area.right; ++x)
            if (korrimat::testing::PixelOf(check, {x, y}) == ::GetSysColor(COLOR_WINDOW)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right - left + 1;
}

class Density : public ::testing::Test {
protected:
    void SetUp() override { korrimat::testing::DiscardQuitMessage(); }
    void TearDown() override { korrimat::testing::DiscardQuitMessage(); }

    // The density the window is moved to: 144, or 192 where the screen already has 144.
    static int OtherDpi(int dpi) { return dpi == 144 ? 192 : 144; }

    // WM_DPICHANGED as the system sends it, with the window's rectangle scaled as it suggests.
    static RECT ChangeDensity(FFileInfo& window, int dpi, POINT shift)
    {
        RECT now{};
        ::GetWindowRect(window.Handle(), &now);
        const int from = window.Density().DpiY();
        RECT suggested{now.left + shift.x, now.top + shift.y,
                       now.left + shift.x + ::MulDiv(now.right - now.left, dpi, from),
                       now.top + shift.y + ::MulDiv(now.bottom - now.top, dpi, from)};
        ::SendMessageA(window.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        Pump(&window);
        return suggested;
    }

    FFileInfo window;
};

} // namespace

TEST_F(Density, TheWindowOpensAtTheScreensRealDensity)
{
    ASSERT_TRUE(window.Created());
    window.MakeEveryPage();
    const int dpi = controls::PixelDensity::System().DpiY();
    ExpectLaidOutAt(window, dpi);
    // Not loaded yet: the pages still at their design places.
    EXPECT_EQ(window.frmGeneral.GetBounds(), DesignAt("frmGeneral", -1, dpi));
    EXPECT_EQ(window.picIcon.GetBounds(), DesignAt("picIcon", -1, dpi));
}

TEST_F(Density, AChangeOfDensityLaysOutEverythingAgainAndBackExactly)
{
    ASSERT_TRUE(window.Created());
    window.MakeEveryPage();
    window.Load();
    window.Show(SW_SHOWNORMAL);
    BringToFront(window);
    const int start = window.Density().DpiY();
    const int other = OtherDpi(start);
    const std::map<std::string, Bounds> before = Places(window);
    const SIZE clientBefore = ClientSize(window.Handle());
    const std::string shown = window.txtFilename.Text();
    const int square = CheckSquareWidth(window);
    const std::string path = window.CurrentPath();
    HFONT oldBold = window.FontOf(DesignFont::TahomaBold);
    HFONT oldWindowFont = window.FontOf(DesignFont::WindowFont);

    const RECT suggested = ChangeDensity(window, other, {12, 8});
    ExpectLaidOutAt(window, other);
    RECT now{};
    ::GetWindowRect(window.Handle(), &now);
    EXPECT_EQ(now.left, suggested.left);
    EXPECT_EQ(now.top, suggested.top);
    // The load steps that work in screen pixels hold at the new density too.
    EXPECT_EQ(window.frmGeneral.GetBounds(), window.tabInfo.ClientArea());
    EXPECT_EQ(window.frmVersion.GetBounds(), window.tabInfo.ClientArea());
    for (int i = 1; i < 6; i += 2)
        EXPECT_EQ(window.Line1[i].Y1(), window.Line1[i - 1].Y1() + 1) << i;
    ExpectDrawnAt(window, other);
    EXPECT_NEAR(CheckSquareWidth(window), square * other / start, 1);
    // Nothing else changed: the same page in front, the same file shown.
    EXPECT_TRUE(::IsWindowVisible(window.frmGeneral.Handle()));
    EXPECT_FALSE(::IsWindowVisible(window.frmVersion.Handle()));
    EXPECT_EQ(window.txtFilename.Text(), shown);
    EXPECT_EQ(window.CurrentPath(), path);
    // The fonts of the old density are gone.
    EXPECT_EQ(::GetObjectType(oldBold), 0u);
    EXPECT_EQ(::GetObjectType(oldWindowFont), 0u);

    const std::string folder = korrimat::testing::PictureFolder();
    ::RedrawWindow(window.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(&window, 8);
    EXPECT_TRUE(korrimat::testing::SaveWindowPicture(
        window.Handle(), folder + "\\window-moved-from-" + std::to_string(start) + "-to-" + std::to_string(other) +
                             "dpi.bmp"));

    // And back: every place as it was.
    ChangeDensity(window, start, {-12, -8});
    ExpectLaidOutAt(window, start);
    ExpectDrawnAt(window, start);
    EXPECT_EQ(CheckSquareWidth(window), square);
    EXPECT_EQ(Places(window), before);
    const SIZE clientAfter = ClientSize(window.Handle());
    EXPECT_EQ(clientAfter.cx, clientBefore.cx);
    EXPECT_EQ(clientAfter.cy, clientBefore.cy);
}

TEST_F(Density, TheVersionPageStaysInFrontThroughAChangeOfDensity)
{
    ASSERT_TRUE(window.Created());
    window.Load();
    window.Show(SW_SHOWNORMAL);
    // A system library, which has a version resource.
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    ASSERT_TRUE(window.Dir1.SetPath(system));
    for (int i = 0; i < window.File1.Count(); ++i)
        if (::lstrcmpiA(window.File1.Item(i).c_str(), "kernel32.dll") == 0)
            window.File1.SetSelectedIndex(i);
    ASSERT_TRUE(window.tabInfo.Select(std::string_view("Version")));
    Pump(&window);
    ASSERT_TRUE(::IsWindowVisible(window.frmVersion.Handle()));
    ChangeDensity(window, OtherDpi(window.Density().DpiY()), {0, 0});
    EXPECT_TRUE(::IsWindowVisible(window.frmVersion.Handle()));
    EXPECT_FALSE(::IsWindowVisible(window.frmGeneral.Handle()));
    EXPECT_TRUE(window.tabInfo.IsSelected("Version"));
    EXPECT_EQ(window.frmVersion.GetBounds(), window.tabInfo.ClientArea());
}

TEST_F(Density, TheSizeNamedForTheCurrentDensityIsTheWindowsOwn)
{
    // Asked before a change of density: at the density it has, the answer is the size it has.
    ASSERT_TRUE(window.Created());
    SIZE size{};
    if (!::SendMessageA(window.Handle(), kGetDpiScaledSize, static_cast<WPARAM>(window.Density().DpiY()),
                        reinterpret_cast<LPARAM>(&size)))
        GTEST_SKIP() << "the system cannot size a window for another density";
    RECT outer{};
    ::GetWindowRect(window.Handle(), &outer);
    EXPECT_EQ(size.cx, outer.right - outer.left);
    EXPECT_EQ(size.cy, outer.bottom - outer.top);
    // At twice the density the client area alone is twice as large.
    ASSERT_TRUE(::SendMessageA(window.Handle(), kGetDpiScaledSize, 192, reinterpret_cast<LPARAM>(&size)));
    EXPECT_GT(size.cx, ::MulDiv(kWindowSettings.clientWidth, 192, 1440));
    EXPECT_GT(size.cy, ::MulDiv(kWindowSettings.clientHeight, 192, 1440));
}
