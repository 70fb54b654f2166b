#include "app/WindowDesign.h"

#include <algorithm>
#include <array>

namespace korrimat {

namespace {

using enum ControlKind;
constexpr DesignFont kNoFont = DesignFont::None;
constexpr DesignFont kBold = DesignFont::TahomaBold;
constexpr DesignFont kWindow = DesignFont::WindowFont;

// clang-format off
constexpr std::array<ControlDesign, 52> kControls{{
    // The window
    {"frmGeneral",     -1, Frame,      "",              "",                          3120,  840, 5295, 5175, 17, kNoFont, kPlain},
    {"frmVersion",     -1, Frame,      "",              "",                          3120,  840, 5175, 5175,  5, kNoFont, kPlain},
    {"tabInfo",        -1, TabStrip,   "",              "",                          3000,  240, 5535, 5775,  4, kBold,   kPlain},
    {"Frame1",         -1, Frame,      "",              "Files",                        0,  240, 2775, 5775,  0, kWindow, kBorder},

    // frmGeneral, the General page
    {"txtFilename",    -1, TextBox,    "frmGeneral",    "txtFilename",               2160,  360, 3915,  225, 35, kBold,   kDisplayField},
    {"txtType",        -1, TextBox,    "frmGeneral",    "txtType",                   1620, 1140, 3435,  225, 34, kBold,   kDisplayField},
    {"txtLocation",    -1, TextBox,    "frmGeneral",    "txtLocation",               1620, 1440, 3435,  225, 33, kBold,   kDisplayField},
    {"txtSize",        -1, TextBox,    "frmGeneral",    "txtSize",                   1620, 1740, 3435,  225, 32, kBold,   kDisplayField},
    {"txtCompSize",    -1, TextBox,    "frmGeneral",    "txtCompSize",               1680, 2040, 3435,  225, 31, kBold,   kDisplayField},
    {"txtAccessed",    -1, TextBox,    "frmGeneral",    "txtAccessed",               1620, 3780, 3435,  225, 30, kBold,   kDisplayField},
    {"txtModified",    -1, TextBox,    "frmGeneral",    "txtModified",               1620, 3480, 3435,  225, 29, kBold,   kDisplayField},
    {"txtCreated",     -1, TextBox,    "frmGeneral",    "txtCreated",                1620, 3180, 3435,  225, 28, kBold,   kDisplayField},
    {"txtDosName",     -1, TextBox,    "frmGeneral",    "txtDosName",                1620, 2880, 3435,  225, 27, kBold,   kDisplayField},
    {"txtDosPath",     -1, TextBox,    "frmGeneral",    "txtDosPath",                1620, 2580, 3435,  225, 26, kBold,   kDisplayField},
    {"frmAttributes",  -1, Frame,      "frmGeneral",    "",                          1620, 4260, 3255,  855, 19, kBold,   kDisabled},
    {"picIcon",        -1, PictureBox, "frmGeneral",    "",                           240,  240,  480,  480, 18, kNoFont, kPlain},
    {"Line1",           0, Line,       "frmGeneral",    "",                           240, 1080, 5100, 1080, -1, kNoFont, kShadow},
    {"Line1",           1, Line,       "frmGeneral",    "",                           240, 1020, 5100, 1020, -1, kNoFont, kHighlight},
    {"Line1",           2, Line,       "frmGeneral",    "",                           240, 2400, 5100, 2400, -1, kNoFont, kShadow},
    {"Line1",           3, Line,       "frmGeneral",    "",                           240, 2460, 5100, 2460, -1, kNoFont, kHighlight},
    {"Line1",           4, Line,       "frmGeneral",    "",                           240, 4080, 5100, 4080, -1, kNoFont, kShadow},
    {"Line1",           5, Line,       "frmGeneral",    "",                           240, 4140, 5100, 4140, -1, kNoFont, kHighlight},
    {"lblType",        -1, Label,      "frmGeneral",    "Type:",                      240, 1140,  465,  195, 45, kBold,   kFitToText},
    {"lblLocation",    -1, Label,      "frmGeneral",    "Location:",                  240, 1440,  765,  195, 44, kBold,   kFitToText},
    {"lblSize",        -1, Label,      "frmGeneral",    "Size:",                      240, 1740,  390,  195, 43, kBold,   kFitToText},
    {"Label3",         -1, Label,      "frmGeneral",    "Compressed :",               240, 2040, 1140,  195, 42, kBold,   kFitToText},
    {"lblAccessed",    -1, Label,      "frmGeneral",    "Accessed:",                  240, 3780,  840,  195, 41, kBold,   kFitToText},
    {"lblModified",    -1, Label,      "frmGeneral",    "Modified:",                  240, 3480,  765,  195, 40, kBold,   kFitToText},
    {"lblCreated",     -1, Label,      "frmGeneral",    "Created:",                   240, 3180,  720,  195, 39, kBold,   kFitToText},
    {"lblDosName",     -1, Label,      "frmGeneral",    "MS-DOS name:",               240, 2880, 1245,  195, 38, kBold,   kFitToText},
    {"lblDosPath",     -1, Label,      "frmGeneral",    "MS-DOS path:",               240, 2580, 1155,  195, 37, kBold,   kFitToText},
    {"lblAttributes",  -1, Label,      "frmGeneral",    "Attributes:",                240, 4260,  915,  195, 36, kBold,   kFitToText},

    // frmAttributes: two columns of three rows, all unchecked at design
    {"chkAttr",         5, CheckBox,   "frmAttributes", "&Temporary",                1620,  600, 1335,  195, 25, kBold,   kPlain},
    {"chkAttr",         4, CheckBox,   "frmAttributes", "&System",                   1620,  300, 1335,  195, 24, kBold,   kPlain},
    {"chkAttr",         3, CheckBox,   "frmAttributes", "Hi&dden",                   1620,    0, 1335,  195, 23, kBold,   kPlain},
    {"chkAttr",         2, CheckBox,   "frmAttributes", "Co&mpressed",                  0,  600, 1575,  195, 22, kBold,   kPlain},
    {"chkAttr",         1, CheckBox,   "frmAttributes", "Ar&chive",                     0,  300, 1335,  195, 21, kBold,   kPlain},
    {"chkAttr",         0, CheckBox,   "frmAttributes", "&Read-only",                   0,    0, 1335,  195, 20, kBold,   kPlain},

    // frmVersion, the Version page
    {"txtFileVer",     -1, TextBox,    "frmVersion",    "txtFileVer",                1440,  180, 3615,  225, 13, kBold,   kDisplayField},
    {"txtDescription", -1, TextBox,    "frmVersion",    "txtDescription",            1440,  600, 3615,  225, 12, kBold,   kDisplayField},
    {"txtCopyright",   -1, TextBox,    "frmVersion",    "txtCopyright",              1440, 1020, 3615,  225, 11, kBold,   kDisplayField},
    {"frmVerInfo",     -1, Frame,      "frmVersion",    "Other version information",  240, 1500, 4815, 3075,  6, kBold,   kBorder},
    {"lblFileVer",     -1, Label,      "frmVersion",    "File version::",             240,  180, 1050,  195, 16, kBold,   kFitToText},
    {"lblDescription", -1, Label,      "frmVersion",    "Description:",               240,  600, 1005,  195, 15, kBold,   kFitToText},
    {"lblCopyright",   -1, Label,      "frmVersion",    "Copyright:",                 240, 1020,  870,  195, 14, kBold,   kFitToText},

    // frmVerInfo
    {"txtVerInfo",     -1, TextBox,    "frmVerInfo",    "txtVerInfo",                2280,  600, 2295, 2235,  8, kBold,   kMultiLine},
    {"lstVerInfo",     -1, ListBox,    "frmVerInfo",    "",                           240,  600, 1935, 2220,  7, kBold,   kPlain},
    {"lblVerItem",     -1, Label,      "frmVerInfo",    "Item name:",                 240,  360,  780,  195, 10, kWindow, kFitToText},
    {"lblVerValue",    -1, Label,      "frmVerInfo",    "Value:",                    2280,  360,  450,  195,  9, kWindow, kFitToText},

    // Frame1, the navigation lists
    {"Drive1",         -1, DriveList,  "Frame1",        "",                           120,  360, 2595,  315,  3, kBold,   kPlain},
    {"Dir1",           -1, FolderList, "Frame1",        "",                           120,  840, 2595, 1890,  2, kBold,   kPlain},
    {"File1",          -1, FileList,   "Frame1",        "",                           120, 2880, 2595, 2625,  1, kBold,   kPlain},
}};

constexpr std::array<TabDesign, 2> kTabs{{
    {"General", "General"},
    {"Version", "Version"},
}};
// clang-format on

} // namespace

std::span<const ControlDesign> ControlDesigns()
{
    return kControls;
}

std::span<const TabDesign> TabDesigns()
{
    return kTabs;
}

const ControlDesign* FindControlDesign(std::string_view name, int index)
{
    for (const ControlDesign& design : kControls) {
        if (design.name == name && design.index == index)
            return &design;
    }
    return nullptr;
}

std::vector<const ControlDesign*> ChildrenInTabOrder(std::string_view container)
{
    std::vector<const ControlDesign*> children;
    for (const ControlDesign& design : kControls) {
        if (design.container == container)
            children.push_back(&design);
    }
    std::stable_sort(children.begin(), children.end(), [](const ControlDesign* a, const ControlDesign* b) {
        const bool aIsLine = a->tabIndex < 0;
        const bool bIsLine = b->tabIndex < 0;
        if (aIsLine != bIsLine)
            return bIsLine;
        return a->tabIndex < b->tabIndex;
    });
    return children;
}

controls::Bounds ToPixels(const ControlDesign& design, const controls::Screen& screen)
{
    return {screen.PixelsX(design.left), screen.PixelsY(design.top), screen.PixelsX(design.width),
            screen.PixelsY(design.height)};
}

LinePoints LineToPixels(const ControlDesign& design, const controls::Screen& screen)
{
    return {{screen.PixelsX(design.left), screen.PixelsY(design.top)},
            {screen.PixelsX(design.width), screen.PixelsY(design.height)}};
}

SIZE ClientSizeInPixels(const controls::Screen& screen)
{
    return {screen.PixelsX(kWindowSettings.clientWidth), screen.PixelsY(kWindowSettings.clientHeight)};
}

int DesignFontHeight(const controls::Screen& screen)
{
    return screen.FontHeight(kDesignFontCentipoints);
}

} // namespace korrimat
