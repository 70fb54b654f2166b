// The real window FFileInfo under Wine and Xvfb, driven through its controls and real input.

#include "app/FFileInfo.h"
#include "app/WindowDesign.h"
#include "controls/Gdi.h"
#include "tests/support/DesignFigures.h"
#include "tests/support/Paths.h"
#include "tests/support/WindowFixture.h"
#include "tests/support/WindowSystemEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace korrimat;
using korrimat::testing::BringToFront;
using korrimat::testing::ClassOf;
using korrimat::testing::ClickAt;
using korrimat::testing::FontOfWindow;
using korrimat::testing::PressKeys;
using korrimat::testing::Pump;

namespace {

// The system's class of the window each kind of control is.
std::string ExpectedClass(const ControlSlot& slot)
{
    using namespace korrimat::controls;
    if (slot.Is<Frame>())
        return "KorrimatFrame";
    if (slot.Is<TextBox>())
        return "Edit";
    if (slot.Is<Label>())
        return "Static";
    if (slot.Is<CheckBox>() || slot.Is<Button>())
        return "Button";
    if (slot.Is<ProgressBar>())
        return "msctls_progress32";
    if (slot.Is<PictureBox>())
        return "KorrimatPicture";
    if (slot.Is<ListBox>() || slot.Is<FolderList>() || slot.Is<FileList>())
        return "ListBox";
    if (slot.Is<DriveList>())
        return "ComboBox";
    if (slot.Is<TabStrip>())
        return "SysTabControl32";
    return "";
}

bool SameText(const std::string& a, const std::string& b)
{
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string RealisedFace(HFONT font)
{
    korrimat::controls::WindowDc screen(nullptr);
    korrimat::controls::SelectedObject selected(screen.Dc(), font);
    char face[LF_FACESIZE] = {};
    ::GetTextFaceA(screen.Dc(), sizeof(face), face);
    return face;
}

// The container a design names, as a window.
HWND ContainerWindow(FFileInfo& window, const ControlDesign& design)
{
    if (design.container.empty())
        return window.Handle();
    return window.ControlNamed(design.container)->Handle();
}

// The name of the control that holds the focus, or what it is.
std::string FocusName(FFileInfo& window)
{
    HWND focus = ::GetFocus();
    if (!focus)
        return "(none)";
    for (const ControlDesign& design : ControlDesigns()) {
        auto* control = window.ControlNamed(design.name, design.index);
        if (control && (control->Handle() == focus || ::IsChild(control->Handle(), focus)) &&
            !design.slot.Is<korrimat::controls::Frame>())
            return std::string(design.name);
    }
    return focus == window.Handle() ? "(window)" : "(other " + ClassOf(focus) + ")";
}

// A colour of the scheme set in the user's Control Panel\Colors ("R G B").
COLORREF SchemeColour(const wchar_t* name)
{
    wchar_t value[32] = {};
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Colors", name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return CLR_INVALID;
    unsigned red = 0;
    unsigned green = 0;
    unsigned blue = 0;
    if (std::swscanf(value, L"%u %u %u", &red, &green, &blue) != 3)
        return CLR_INVALID;
    return RGB(red, green, blue);
}

// How many pixels of each colour an area of a window's client area shows (all of it when none is
// given), and the colour most of them have.
struct Colours {
    std::map<COLORREF, int> counts;
    COLORREF most = CLR_INVALID;
    bool Has(COLORREF colour) const { return counts.count(colour) != 0; }
};

Colours ColoursOf(const controls::Control& control, std::optional<RECT> area = std::nullopt)
{
    const auto pixels = korrimat::testing::Pixels::Of(control.Handle(), area);
    Colours colours;
    for (int y = 0; y < pixels->Height(); ++y) {
        for (int x = 0; x < pixels->Width(); ++x) {
            const int count = ++colours.counts[pixels->At(x, y)];
            if (colours.most == CLR_INVALID || count > colours.counts.at(colours.most))
                colours.most = pixels->At(x, y);
        }
    }
    return colours;
}

// The screen's real density, which the window must follow, and the design's figures there.
const korrimat::testing::DensityFigures* FiguresOfTheScreen()
{
    return korrimat::testing::FiguresAt(korrimat::controls::PixelDensity::System().DpiY());
}

class WindowTest : public ::testing::Test {
protected:
    // The window of the test before ended the message loop as it went: start afresh.
    void SetUp() override { korrimat::testing::DiscardQuitMessage(); }
    void TearDown() override { korrimat::testing::DiscardQuitMessage(); }

    FFileInfo window;
};

} // namespace

TEST_F(WindowTest, TheWindowItselfHasAFixedBorderTheCaptionAndTheClientSize)
{
    ASSERT_TRUE(window.Created());
    EXPECT_EQ(window.Text(), "Korrimat");
    const LONG style = ::GetWindowLongA(window.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    const auto* facts = FiguresOfTheScreen();
    ASSERT_NE(facts, nullptr) << "a density the tests know";
    EXPECT_EQ(window.Density().DpiY(), facts->dpi);
    RECT client{};
    ::GetClientRect(window.Handle(), &client);
    EXPECT_EQ(client.right, facts->client.cx);
    EXPECT_EQ(client.bottom, facts->client.cy);
    EXPECT_NE(::SendMessageA(window.Handle(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(::SendMessageA(window.Handle(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(::GetClassLongPtrA(window.Handle(), GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
    EXPECT_EQ(window.BackColor(), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_FALSE(::IsWindowVisible(window.Handle()));  // shown only after its load steps
}

TEST_F(WindowTest, EveryControlHasItsKindContainerTextPlaceAndFont)
{
    ASSERT_TRUE(window.Created());
    window.MakeEveryPage();
    const auto* facts = FiguresOfTheScreen();
    ASSERT_NE(facts, nullptr);
    const korrimat::controls::PixelDensity screen(facts->dpi, facts->dpi);
    int windows = 0;
    for (const ControlDesign& design : ControlDesigns()) {
        SCOPED_TRACE(std::string(design.name) + " " + std::to_string(design.index));
        if (design.slot.Is<korrimat::controls::Line>()) {
            const korrimat::controls::Line& line = window.Line1[design.index];
            const LinePoints expected = LineToPixels(design, screen);
            EXPECT_EQ(line.X1(), expected.from.x);
            EXPECT_EQ(line.Y1(), expected.from.y);
            EXPECT_EQ(line.X2(), expected.to.x);
            EXPECT_EQ(line.Y2(), expected.to.y);
            EXPECT_EQ(line.Container(), window.ControlNamed(design.container));
            EXPECT_EQ(line.SystemColour(), (design.flags & kShadow) ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
            continue;
        }
        korrimat::controls::Control* control = window.ControlNamed(design.name, design.index);
        ASSERT_NE(control, nullptr);
        HWND handle = control->Handle();
        ASSERT_TRUE(::IsWindow(handle));
        ++windows;
        EXPECT_TRUE(SameText(ClassOf(handle), ExpectedClass(design.slot))) << ClassOf(handle);
        EXPECT_EQ(::GetParent(handle), ContainerWindow(window, design));

        if (design.slot.Is<korrimat::controls::TextBox>() || design.slot.Is<korrimat::controls::Label>() ||
            design.slot.Is<korrimat::controls::CheckBox>() || design.slot.Is<korrimat::controls::Frame>()) {
            EXPECT_EQ(control->Text(), design.text);
        }

        const korrimat::controls::Bounds expected = ToPixels(design, screen);
        const korrimat::controls::Bounds actual = control->GetBounds();
        // A line of text is as high as the design says, and never lower than its font's line.
        const int lineHeight = korrimat::controls::FontMetrics(control->Font()).tmHeight;
        if (design.flags & kFitToText) {
            // Sized to its text: as wide as the caption in its own font.
            const int textWidth = korrimat::controls::TextWidth(control->Font(), design.text);
            EXPECT_EQ(actual, (korrimat::controls::Bounds{expected.left, expected.top, textWidth,
                                                          std::max(expected.height, lineHeight)}));
            EXPECT_GT(textWidth, expected.width * 7 / 10);
            EXPECT_LT(textWidth, expected.width * 14 / 10);
            if (facts->dpi == 96) {
                EXPECT_EQ(actual.height, 13);
            }
        } else if (design.slot.Is<korrimat::controls::CheckBox>() || design.slot.Is<korrimat::controls::Label>()) {
            EXPECT_EQ(actual, (korrimat::controls::Bounds{expected.left, expected.top, expected.width,
                                                          std::max(expected.height, lineHeight)}));
        } else {
            EXPECT_EQ(actual, expected);
        }

        if (design.font != DesignFont::None) {
            const LOGFONTA font = FontOfWindow(handle);
            const bool bold = design.font != DesignFont::WindowFont;
            EXPECT_STREQ(font.lfFaceName, bold ? "Tahoma" : "MS Sans Serif");
            EXPECT_EQ(font.lfHeight, design.font == DesignFont::VerdictBold ? VerdictFontHeight(screen) : facts->fontHeight);
            EXPECT_EQ(font.lfWeight, bold ? 700 : 400);
            EXPECT_EQ(font.lfCharSet, 0);
            EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
        }
    }
    EXPECT_EQ(windows, 87);
    EXPECT_EQ(RealisedFace(window.FontOf(DesignFont::TahomaBold)), "Tahoma");
    EXPECT_EQ(RealisedFace(window.FontOf(DesignFont::WindowFont)), "MS Sans Serif");
    EXPECT_EQ(window.ControlNamed("Line1", 0), nullptr);
    EXPECT_EQ(window.ControlNamed("nothing"), nullptr);
}

TEST_F(WindowTest, BeforeAnyFileTheFieldsReadTheirNamesAndTheLabelsTheirExactTexts)
{
    window.MakeEveryPage();
    for (const ControlDesign& design : ControlDesigns()) {
        if (design.flags & kDisplayField) {
            EXPECT_EQ(window.ControlNamed(design.name)->Text(), design.name);
        }
    }
    EXPECT_EQ(window.txtType.Text(), "txtType");
    EXPECT_EQ(window.txtVerInfo.Text(), "txtVerInfo");
    EXPECT_EQ(window.Label3.Text(), "Compressed :");
    EXPECT_EQ(window.lblFileVer.Text(), "File version::");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(window.chkAttr[i].Value(), 0);
    EXPECT_EQ(window.lstVerInfo.Count(), 9);  // the item names come with the page
    EXPECT_EQ(window.tabInfo.Count(), 2);
    EXPECT_EQ(window.tabInfo.Caption(0), "General");
    EXPECT_EQ(window.tabInfo.Key(1), "Version");
    EXPECT_TRUE(window.tabInfo.IsSelected("General"));
    EXPECT_FALSE(window.frmAttributes.Enabled());
    EXPECT_TRUE(window.frmVersion.Visible());  // visible at design; the load steps hide it
}

TEST_F(WindowTest, OpeningLayoutPutsBothPagesOnTheTabStripsClientAreaWithTheGeneralPageInFront)
{
    window.Load();
    const auto area = window.tabInfo.ClientArea();
    EXPECT_EQ(window.frmGeneral.GetBounds(), area);
    EXPECT_EQ(window.frmVersion.GetBounds(), area);
    EXPECT_EQ(window.frmGeneral.BackColor(), window.BackColor());
    EXPECT_TRUE(window.frmGeneral.Visible());
    EXPECT_FALSE(window.frmVersion.Visible());
    // The page lies in front of the strip: it gets the clicks and shows there.
    window.Show(SW_SHOWNORMAL);
    BringToFront(window);
    const POINT inPage{area.left + area.width - 10, area.top + area.height - 10};
    HWND hit = ::WindowFromPoint(korrimat::testing::ScreenPointOf(window.Handle(), inPage));
    EXPECT_EQ(hit, window.frmGeneral.Handle());
    const korrimat::controls::Bounds strip = window.tabInfo.GetBounds();
    EXPECT_EQ(::WindowFromPoint(korrimat::testing::ScreenPointOf(window.Handle(), {strip.left + 20, strip.top + 8})),
              window.tabInfo.Handle());
}

TEST_F(WindowTest, FocusStartsOnTheFileListAndTabFollowsTheTabIndexes)
{
    window.Load();
    window.Show(SW_SHOWNORMAL);
    BringToFront(window);
    EXPECT_EQ(FocusName(window), "File1");

    // What can take the focus: not frames, labels, lines, the picture, the disabled frame's
    // boxes, nor anything on the hidden Version page.
    std::vector<const ControlDesign*> focusable;
    for (const ControlDesign& design : ControlDesigns()) {
        const ControlSlot& slot = design.slot;
        using namespace korrimat::controls;
        if (slot.Is<Frame>() || slot.Is<Label>() || slot.Is<Line>() || slot.Is<PictureBox>() || slot.Is<CheckBox>())
            continue;
        bool reachable = true;
        for (std::string_view container = design.container; !container.empty();
             container = FindControlDesign(container)->container) {
            if (container == "frmVersion" || container == "frmSignatures" || container == "frmHashes" ||
                container == "frmProgram" ||
                (FindControlDesign(container)->flags & kDisabled))
                reachable = false;
        }
        if (reachable)
            focusable.push_back(&design);
    }
    std::sort(focusable.begin(), focusable.end(),
              [](const ControlDesign* a, const ControlDesign* b) { return a->tabIndex < b->tabIndex; });
    std::vector<std::string> expected;
    for (const ControlDesign* design : focusable)
        expected.emplace_back(design->name);
    expected.push_back("File1");  // and round again
    ASSERT_EQ(expected.front(), "File1");

    std::vector<std::string> visited{FocusName(window)};
    for (std::size_t i = 1; i < expected.size(); ++i) {
        PressKeys(window, {VK_TAB});
        visited.push_back(FocusName(window));
    }
    EXPECT_EQ(visited, expected);
    // Shift+Tab goes back.
    PressKeys(window, {VK_SHIFT, VK_TAB});
    EXPECT_EQ(FocusName(window), expected[expected.size() - 2]);
}

TEST_F(WindowTest, CheckBoxesIgnoreClicksAndAccessKeysYetLookEnabled)
{
    window.Load();
    window.Show(SW_SHOWNORMAL);
    BringToFront(window);
    window.chkAttr[3].SetValue(1);
    const std::string before = FocusName(window);
    for (int i = 0; i < 6; ++i) {
        HWND box = window.chkAttr[i].Handle();
        ClickAt(window, box, {6, 6});
        ClickAt(window, box, {40, 6});
    }
    for (WORD letter : {'R', 'C', 'M', 'D', 'S', 'T'})
        PressKeys(window, {VK_MENU, letter});
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(window.chkAttr[i].Value(), i == 3 ? 1 : 0) << i;
    EXPECT_EQ(FocusName(window), before);

    // Drawn as enabled boxes: the caption in the button text colour, not greyed.
    ::RedrawWindow(window.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(&window);
    HWND box = window.chkAttr[0].Handle();
    const korrimat::controls::PixelDensity screen = window.Density();
    RECT area{};
    ::GetClientRect(box, &area);
    int textPixels = 0;
    int greyPixels = 0;
    for (int x = screen.Scale(16); x < screen.Scale(80); ++x) {
        for (int y = 0; y < area.bottom; ++y) {
            const COLORREF colour = korrimat::testing::PixelOf(box, {x, y});
            textPixels += colour == ::GetSysColor(COLOR_BTNTEXT);
            greyPixels += colour == ::GetSysColor(COLOR_GRAYTEXT);
        }
    }
    EXPECT_GT(textPixels, 20);
    EXPECT_EQ(greyPixels, 0);
}

TEST_F(WindowTest, TheWindowCannotBeResized)
{
    window.Load();
    window.Show(SW_SHOWNORMAL);
    BringToFront(window);
    RECT before{};
    ::GetWindowRect(window.Handle(), &before);
    const POINT edges[] = {
        {before.right - 1, (before.top + before.bottom) / 2},
        {(before.left + before.right) / 2, before.bottom - 1},
        {before.right - 1, before.bottom - 1},
        {before.left, (before.top + before.bottom) / 2},
    };
    for (const POINT& edge : edges) {
        const LRESULT hit = ::SendMessageA(window.Handle(), WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y));
        EXPECT_FALSE(hit >= HTLEFT && hit <= HTBOTTOMRIGHT) << hit;
    }
    // A drag on the right edge, as a user would try it.
    ::SetCursorPos(edges[0].x, edges[0].y);
    Pump(&window, 1);
    INPUT drag[3] = {};
    drag[0].type = INPUT_MOUSE;
    drag[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    drag[1].type = INPUT_MOUSE;
    drag[1].mi.dwFlags = MOUSEEVENTF_MOVE;
    drag[1].mi.dx = 60;
    drag[1].mi.dy = 40;
    drag[2].type = INPUT_MOUSE;
    drag[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(3, drag, sizeof(INPUT));
    Pump(&window);
    RECT after{};
    ::GetWindowRect(window.Handle(), &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(WindowTest, ALongNameIsCutOffAtThePagesEdgeAndNotScrolled)
{
    window.Load();
    window.Show(SW_SHOWNORMAL);
    BringToFront(window);
    const auto field = window.txtFilename.GetBounds();
    const auto page = window.frmGeneral.GetBounds();
    EXPECT_GT(field.left + field.width, page.width);  // reaches past the page, which clips it
    window.txtFilename.SetText(std::string(120, 'N') + " end");
    ::SetFocus(window.txtFilename.Handle());
    ::SendMessageA(window.txtFilename.Handle(), EM_SETSEL, 0, -1);
    Pump(&window);
    EXPECT_EQ(::SendMessageA(window.txtFilename.Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(WindowTest, UnloadClosesTheWindowAndEndsTheMessageLoop)
{
    window.Load();
    window.Show(SW_SHOWNORMAL);
    Pump(&window);
    HWND handle = window.Handle();
    window.Unload();
    EXPECT_FALSE(::IsWindow(handle));
    EXPECT_FALSE(window.Created());
    MSG message{};
    EXPECT_TRUE(::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(WindowTest, TheCloseBoxEndsTheMessageLoopToo)
{
    window.Show(SW_SHOWNORMAL);
    Pump(&window);
    ::PostMessageA(window.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(korrimat::controls::RunMessageLoop(window), 0);
    EXPECT_FALSE(window.Created());
}

// The relative luminance of a colour and the contrast of two, as the accessibility guidelines
// define them.
double Luminance(COLORREF colour)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(GetRValue(colour)) + 0.7152 * linear(GetGValue(colour)) + 0.0722 * linear(GetBValue(colour));
}

double Contrast(COLORREF a, COLORREF b)
{
    const double high = std::max(Luminance(a), Luminance(b));
    const double low = std::min(Luminance(a), Luminance(b));
    return (high + 0.05) / (low + 0.05);
}

// Windows' app mode, set for the test and put back as it was when the object goes; the window
// hears of each change as from the system.
class AppMode {
public:
    AppMode()
    {
        DWORD size = sizeof(before_);
        had_ = ::RegGetValueW(HKEY_CURRENT_USER, kKey, L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &before_, &size) ==
               ERROR_SUCCESS;
    }
    ~AppMode()
    {
        if (had_)
            Set(before_);
        else
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"AppsUseLightTheme");
    }
    static void Set(DWORD light)
    {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"AppsUseLightTheme", REG_DWORD, &light, sizeof(light));
    }
    static void Tell(FFileInfo& window)
    {
        ::SendMessageW(window.Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"));
        ::RedrawWindow(window.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        korrimat::testing::Pump(&window, 8);
    }

private:
    static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    DWORD before_ = 1;
    bool had_ = false;
};

std::vector<COLORREF> ClientPixels(HWND window)
{
    const auto pixels = korrimat::testing::Pixels::Of(window);
    std::vector<COLORREF> all;
    for (int y = 0; y < pixels->Height(); ++y) {
        for (int x = 0; x < pixels->Width(); ++x)
            all.push_back(pixels->At(x, y));
    }
    return all;
}

// Dark when Windows' app mode is: every page's background, list, box, frame, check box and the
// tab strip dark, every text at least 4.5:1 against what it stands on; light again, exactly as
// before, when the mode is.
TEST_F(WindowTest, ADarkAppModeDarkensTheWholeWindowAndTheLightOneBringsItBack)
{
    if (korrimat::controls::HighContrastOn())
        GTEST_SKIP() << "high contrast wins over the app mode";
    const AppMode mode;
    AppMode::Set(1);
    window.Load();
    window.Show(SW_SHOWNORMAL);
    BringToFront(window);
    AppMode::Tell(window);
    const std::vector<COLORREF> light = ClientPixels(window.Handle());

    AppMode::Set(0);
    AppMode::Tell(window);
    EXPECT_TRUE(korrimat::testing::SaveWindowPicture(window.Handle(), korrimat::testing::PictureFolder() + "\\window-dark.bmp"));
    const std::vector<COLORREF> dark = ClientPixels(window.Handle());
    double luminance = 0;
    for (const COLORREF pixel : dark)
        luminance += Luminance(pixel);
    EXPECT_LT(luminance / static_cast<double>(dark.size()), 0.25);

    // Each control's most common colour is its background: dark; its text is the scheme's, and
    // reads against it.
    const COLORREF text = RGB(255, 255, 255);
    using Controls = std::initializer_list<const controls::Control*>;
    EXPECT_LT(Luminance(ColoursOf(window.File1).most), 0.05);
    for (const controls::Control* control : Controls{&window.Dir1, &window.Drive1, &window.lblType, &window.txtSize,
                                                     &window.txtCreated, &window.tabInfo, &window.frmGeneral, &window.Frame1,
                                                     &window.chkAttr[0]}) {
        const Colours colours = ColoursOf(*control);
        EXPECT_LT(Luminance(colours.most), 0.05) << control->Id();
        EXPECT_TRUE(colours.Has(text)) << control->Id();
        EXPECT_GE(Contrast(text, colours.most), 4.5) << control->Id();
    }
    // The Version page's list and its value box, made now in the dark scheme (whether or not the
    // file shown has a version resource).
    window.MakeEveryPage();
    window.tabInfo.Select(std::string_view("Version"));
    korrimat::testing::Pump(&window, 8);
    for (const controls::Control* control : Controls{&window.lstVerInfo, &window.txtVerInfo, &window.lblFileVer}) {
        const Colours colours = ColoursOf(*control);
        EXPECT_LT(Luminance(colours.most), 0.05) << control->Id();
    }
    window.tabInfo.Select(std::string_view("General"));
    {
        FFileInfo opened;  // a window opened in the dark mode is dark from the start
        EXPECT_TRUE(opened.Created());
    }

    AppMode::Set(1);
    AppMode::Tell(window);
    EXPECT_TRUE(ClientPixels(window.Handle()) == light) << "the light window is not as it was";
}

TEST_F(WindowTest, SavesAPictureOfTheWindowInTheUsersColours)
{
    window.Load();
    window.Show(SW_SHOWNORMAL);
    BringToFront(window);
    ::RedrawWindow(window.Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(&window, 8);
    // A run under a colour scheme set for it names the picture after the scheme.
    const char* scheme = std::getenv("KORRIMAT_COLOUR_SCHEME");
    const std::string folder = korrimat::testing::PictureFolder();
    const std::string name = scheme && *scheme ? std::string("\\window-") + scheme + ".bmp"
                                               : "\\window-" + std::to_string(window.Density().DpiY()) + "dpi.bmp";
    EXPECT_TRUE(korrimat::testing::SaveWindowPicture(window.Handle(), folder + name));
    // The Files frame's caption is drawn into its top edge, and the page is in the button face.
    const auto page = window.frmGeneral.GetBounds();
    EXPECT_EQ(korrimat::testing::PixelOf(window.Handle(), {page.left + page.width - 4, page.top + page.height - 4}),
              ::GetSysColor(COLOR_BTNFACE));

    // Every list, frame and field is drawn in the colours of the user's scheme.
    const COLORREF back = SchemeColour(L"Window");
    const COLORREF text = SchemeColour(L"WindowText");
    const COLORREF face = SchemeColour(L"ButtonFace");
    const COLORREF faceText = SchemeColour(L"ButtonText");
    const COLORREF highlight = SchemeColour(L"Hilight");
    if (scheme && std::string(scheme) == "high-contrast") {
        ASSERT_EQ(back, RGB(0, 0, 0)) << "the high-contrast scheme is not set";
    }
    ASSERT_EQ(::GetSysColor(COLOR_WINDOW), back);
    ASSERT_EQ(::GetSysColor(COLOR_BTNFACE), face);
    for (const COLORREF colour : {text, faceText, highlight})
        ASSERT_NE(colour, CLR_INVALID) << "a colour of the scheme is not set";
    using Controls = std::initializer_list<const controls::Control*>;
    const Colours folders = ColoursOf(window.Dir1);
    EXPECT_EQ(folders.most, back);
    EXPECT_TRUE(folders.Has(text));
    EXPECT_TRUE(folders.Has(highlight));  // the current folder
    EXPECT_EQ(ColoursOf(window.File1).most, back);
    const Colours drive = ColoursOf(window.Drive1);
    EXPECT_TRUE(drive.most == back || drive.most == highlight);
    // The Files frame's caption, above the drive list; a label; the text boxes.
    const Colours caption = ColoursOf(window.Frame1, RECT{0, 0, window.Frame1.GetBounds().width, window.Drive1.GetBounds().top});
    EXPECT_EQ(caption.most, face);
    EXPECT_TRUE(caption.Has(faceText));
    const Colours label = ColoursOf(window.lblType);
    EXPECT_EQ(label.most, face);
    EXPECT_TRUE(label.Has(faceText));
    for (const controls::Control* field : Controls{&window.txtSize, &window.txtCreated, &window.txtModified}) {
        const Colours colours = ColoursOf(*field);
        EXPECT_EQ(colours.most, face) << field->Id();
        EXPECT_TRUE(colours.Has(text)) << field->Id();
    }
}
