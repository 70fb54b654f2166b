#include "app/WindowDesign.h"

#include "app/WindowControls.h"
#include "controls/Gdi.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <type_traits>
#include <utility>

namespace korrimat {

namespace {

// How a row creates its control: from its pixel rectangle, with its text where the class takes
// one, or the platform where it reads the file system; the classes that take more say so below.
// Made where the layout puts it in its font, so that nothing moves it again before it shows.
controls::Bounds BoundsOf(const ControlDesign& design, const DesignContext& context)
{
    return PlacedBounds(design, context.density, context.fontOf(context.window, design.font));
}

template <typename Class>
bool CreateFromRow(Class& control, controls::WindowBase& container, const ControlDesign& design, const DesignContext& context)
{
    const controls::Bounds bounds = BoundsOf(design, context);
    if constexpr (requires { control.Create(container, bounds, design.text); })
        return control.Create(container, bounds, design.text);
    else if constexpr (requires { control.Create(container, bounds, context.platform); })
        return control.Create(container, bounds, context.platform);
    else
        return control.Create(container, bounds);
}

bool CreateFromRow(controls::Frame& frame, controls::WindowBase& container, const ControlDesign& design,
                   const DesignContext& context)
{
    if (!frame.Create(container, BoundsOf(design, context), design.text, (design.flags & kBorder) != 0))
        return false;
    if (design.flags & kDisabled)
        frame.SetEnabled(false);
    // A page made when it first comes forward stays empty until then.
    return (design.flags & kMadeWhenShown) != 0 || context.createChildren(context.window, frame, design.name);
}

bool CreateFromRow(controls::TextBox& box, controls::WindowBase& container, const ControlDesign& design,
                   const DesignContext& context)
{
    const auto style = (design.flags & kMultiLine) ? controls::TextBoxStyle::MultiLine
                       : (design.flags & kEntry)   ? controls::TextBoxStyle::Entry
                                                   : controls::TextBoxStyle::DisplayField;
    return box.Create(container, BoundsOf(design, context), style, design.text);
}

bool CreateFromRow(controls::TabStrip& tabs, controls::WindowBase& container, const ControlDesign& design,
                   const DesignContext& context)
{
    if (!tabs.Create(container, BoundsOf(design, context)))
        return false;
    int position = 0;
    for (const TabDesign& tab : TabDesigns())
        tabs.Add(position++, tab.key, tab.caption);
    return true;
}

bool CreateFromRow(controls::Line& line, controls::WindowBase& container, const ControlDesign& design,
                   const DesignContext& context)
{
    const LinePoints points = LineToPixels(design, context.density);
    line.Create(container, points.from, points.to, (design.flags & kHighlight) ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
    return true;
}

// A member of WindowControls (`Index` < 0), or one element of a member that is an array.
template <auto Member, int Index>
auto& ControlOf(WindowControls& all)
{
    if constexpr (Index < 0)
        return all.*Member;
    else
        return (all.*Member)[Index];
}

template <auto Member, int Index = -1>
constexpr ControlSlot Slot()
{
    using Class = std::remove_cvref_t<decltype(ControlOf<Member, Index>(std::declval<WindowControls&>()))>;
    constexpr auto create = [](WindowControls& all, controls::WindowBase& container, const ControlDesign& design,
                               const DesignContext& context) {
        return CreateFromRow(ControlOf<Member, Index>(all), container, design, context);
    };
    if constexpr (std::is_same_v<Class, controls::Line>)
        return {&kControlClass<Class>, nullptr, [](WindowControls& all) { return &ControlOf<Member, Index>(all); }, create};
    else
        return {&kControlClass<Class>, [](WindowControls& all) -> controls::Control* { return &ControlOf<Member, Index>(all); },
                nullptr, create};
}

constexpr DesignFont kNoFont = DesignFont::None;
constexpr DesignFont kBold = DesignFont::TahomaBold;
constexpr DesignFont kWindow = DesignFont::WindowFont;
constexpr DesignFont kVerdict = DesignFont::VerdictBold;

// clang-format off
constexpr std::array<ControlDesign, 93> kControls{{
    // The window
    {"frmGeneral",      -1, Slot<&WindowControls::frmGeneral>(),            "",              "",                           3120,   840,  5295,  5175, 17, kNoFont, kPlain},
    {"frmVersion",      -1, Slot<&WindowControls::frmVersion>(),            "",              "",                           3120,   840,  5175,  5175,  5, kNoFont, kMadeWhenShown},
    {"frmSignatures",   -1, Slot<&WindowControls::frmSignatures>(),         "",              "",                           3120,   840,  5175,  5175, 46, kNoFont, kMadeWhenShown},
    {"frmHashes",       -1, Slot<&WindowControls::frmHashes>(),             "",              "",                           3120,   840,  5175,  5175, 65, kNoFont, kMadeWhenShown},
    {"frmProgram",      -1, Slot<&WindowControls::frmProgram>(),            "",              "",                           3120,   840,  5175,  5175, 82, kNoFont, kMadeWhenShown},
    {"tabInfo",         -1, Slot<&WindowControls::tabInfo>(),               "",              "",                           3000,   240,  5535,  5775,  4, kBold, kPlain},
    {"Frame1",          -1, Slot<&WindowControls::Frame1>(),                "",              "Files",                         0,   240,  2775,  5775,  0, kWindow, kBorder},

    // frmGeneral, the General page
    {"txtFilename",     -1, Slot<&WindowControls::txtFilename>(),           "frmGeneral",    "txtFilename",                2160,   360,  3915,   225, 35, kBold, kDisplayField},
    {"txtType",         -1, Slot<&WindowControls::txtType>(),               "frmGeneral",    "txtType",                    1620,  1140,  3435,   225, 34, kBold, kDisplayField},
    {"txtLocation",     -1, Slot<&WindowControls::txtLocation>(),           "frmGeneral",    "txtLocation",                1620,  1440,  3435,   225, 33, kBold, kDisplayField},
    {"txtSize",         -1, Slot<&WindowControls::txtSize>(),               "frmGeneral",    "txtSize",                    1620,  1740,  3435,   225, 32, kBold, kDisplayField},
    {"txtCompSize",     -1, Slot<&WindowControls::txtCompSize>(),           "frmGeneral",    "txtCompSize",                1680,  2040,  3435,   225, 31, kBold, kDisplayField},
    {"txtAccessed",     -1, Slot<&WindowControls::txtAccessed>(),           "frmGeneral",    "txtAccessed",                1620,  3780,  3435,   225, 30, kBold, kDisplayField},
    {"txtModified",     -1, Slot<&WindowControls::txtModified>(),           "frmGeneral",    "txtModified",                1620,  3480,  3435,   225, 29, kBold, kDisplayField},
    {"txtCreated",      -1, Slot<&WindowControls::txtCreated>(),            "frmGeneral",    "txtCreated",                 1620,  3180,  3435,   225, 28, kBold, kDisplayField},
    {"txtDosName",      -1, Slot<&WindowControls::txtDosName>(),            "frmGeneral",    "txtDosName",                 1620,  2880,  3435,   225, 27, kBold, kDisplayField},
    {"txtDosPath",      -1, Slot<&WindowControls::txtDosPath>(),            "frmGeneral",    "txtDosPath",                 1620,  2580,  3435,   225, 26, kBold, kDisplayField},
    {"frmAttributes",   -1, Slot<&WindowControls::frmAttributes>(),         "frmGeneral",    "",                           1620,  4260,  3255,   855, 19, kBold, kDisabled},
    {"picIcon",         -1, Slot<&WindowControls::picIcon>(),               "frmGeneral",    "",                            240,   240,   480,   480, 18, kNoFont, kPlain},
    {"txtOrigin",       -1, Slot<&WindowControls::txtOrigin>(),             "frmGeneral",    "txtOrigin",                   240,   780,  4860,   225, 83, kBold, kDisplayField},
    {"Line1",            0, Slot<&WindowControls::Line1, 0>(),              "frmGeneral",    "",                            240,  1080,  5100,  1080, -1, kNoFont, kShadow},
    {"Line1",            1, Slot<&WindowControls::Line1, 1>(),              "frmGeneral",    "",                            240,  1020,  5100,  1020, -1, kNoFont, kHighlight},
    {"Line1",            2, Slot<&WindowControls::Line1, 2>(),              "frmGeneral",    "",                            240,  2400,  5100,  2400, -1, kNoFont, kShadow},
    {"Line1",            3, Slot<&WindowControls::Line1, 3>(),              "frmGeneral",    "",                            240,  2460,  5100,  2460, -1, kNoFont, kHighlight},
    {"Line1",            4, Slot<&WindowControls::Line1, 4>(),              "frmGeneral",    "",                            240,  4080,  5100,  4080, -1, kNoFont, kShadow},
    {"Line1",            5, Slot<&WindowControls::Line1, 5>(),              "frmGeneral",    "",                            240,  4140,  5100,  4140, -1, kNoFont, kHighlight},
    {"lblType",         -1, Slot<&WindowControls::lblType>(),               "frmGeneral",    "Type:",                       240,  1140,   465,   195, 45, kBold, kFitToText},
    {"lblLocation",     -1, Slot<&WindowControls::lblLocation>(),           "frmGeneral",    "Location:",                   240,  1440,   765,   195, 44, kBold, kFitToText},
    {"lblSize",         -1, Slot<&WindowControls::lblSize>(),               "frmGeneral",    "Size:",                       240,  1740,   390,   195, 43, kBold, kFitToText},
    {"Label3",          -1, Slot<&WindowControls::Label3>(),                "frmGeneral",    "Compressed :",                240,  2040,  1140,   195, 42, kBold, kFitToText},
    {"lblAccessed",     -1, Slot<&WindowControls::lblAccessed>(),           "frmGeneral",    "Accessed:",                   240,  3780,   840,   195, 41, kBold, kFitToText},
    {"lblModified",     -1, Slot<&WindowControls::lblModified>(),           "frmGeneral",    "Modified:",                   240,  3480,   765,   195, 40, kBold, kFitToText},
    {"lblCreated",      -1, Slot<&WindowControls::lblCreated>(),            "frmGeneral",    "Created:",                    240,  3180,   720,   195, 39, kBold, kFitToText},
    {"lblDosName",      -1, Slot<&WindowControls::lblDosName>(),            "frmGeneral",    "MS-DOS name:",                240,  2880,  1245,   195, 38, kBold, kFitToText},
    {"lblDosPath",      -1, Slot<&WindowControls::lblDosPath>(),            "frmGeneral",    "MS-DOS path:",                240,  2580,  1155,   195, 37, kBold, kFitToText},
    {"lblAttributes",   -1, Slot<&WindowControls::lblAttributes>(),         "frmGeneral",    "Attributes:",                 240,  4260,   915,   195, 36, kBold, kFitToText},

    // frmAttributes: two columns of three rows, all unchecked at design
    {"chkAttr",          5, Slot<&WindowControls::chkAttr, 5>(),            "frmAttributes", "&Temporary",                 1620,   600,  1335,   195, 25, kBold, kPlain},
    {"chkAttr",          4, Slot<&WindowControls::chkAttr, 4>(),            "frmAttributes", "&System",                    1620,   300,  1335,   195, 24, kBold, kPlain},
    {"chkAttr",          3, Slot<&WindowControls::chkAttr, 3>(),            "frmAttributes", "Hi&dden",                    1620,     0,  1335,   195, 23, kBold, kPlain},
    {"chkAttr",          2, Slot<&WindowControls::chkAttr, 2>(),            "frmAttributes", "Co&mpressed",                   0,   600,  1575,   195, 22, kBold, kPlain},
    {"chkAttr",          1, Slot<&WindowControls::chkAttr, 1>(),            "frmAttributes", "Ar&chive",                      0,   300,  1335,   195, 21, kBold, kPlain},
    {"chkAttr",          0, Slot<&WindowControls::chkAttr, 0>(),            "frmAttributes", "&Read-only",                    0,     0,  1335,   195, 20, kBold, kPlain},

    // frmVersion, the Version page
    {"txtFileVer",      -1, Slot<&WindowControls::txtFileVer>(),            "frmVersion",    "txtFileVer",                 1440,   180,  3615,   225, 13, kBold, kDisplayField},
    {"txtDescription",  -1, Slot<&WindowControls::txtDescription>(),        "frmVersion",    "txtDescription",             1440,   600,  3615,   225, 12, kBold, kDisplayField},
    {"txtCopyright",    -1, Slot<&WindowControls::txtCopyright>(),          "frmVersion",    "txtCopyright",               1440,  1020,  3615,   225, 11, kBold, kDisplayField},
    {"frmVerInfo",      -1, Slot<&WindowControls::frmVerInfo>(),            "frmVersion",    "Other version information",   240,  1500,  4815,  3075,  6, kBold, kBorder},
    {"lblFileVer",      -1, Slot<&WindowControls::lblFileVer>(),            "frmVersion",    "File version::",              240,   180,  1050,   195, 16, kBold, kFitToText},
    {"lblDescription",  -1, Slot<&WindowControls::lblDescription>(),        "frmVersion",    "Description:",                240,   600,  1005,   195, 15, kBold, kFitToText},
    {"lblCopyright",    -1, Slot<&WindowControls::lblCopyright>(),          "frmVersion",    "Copyright:",                  240,  1020,   870,   195, 14, kBold, kFitToText},

    // frmSignatures, the Digital Signatures page
    {"lblSignatures",   -1, Slot<&WindowControls::lblSignatures>(),         "frmSignatures", "Signatures in the file:",     120,    90,  1935,   195, 57, kBold, kFitToText},
    {"lstSignatures",   -1, Slot<&WindowControls::lstSignatures>(),         "frmSignatures", "",                            120,   300,  4935,   810, 47, kBold, kPlain},
    {"frmSigDetails",   -1, Slot<&WindowControls::frmSigDetails>(),         "frmSignatures", "Selected signature",          120,  1170,  4935,  4005, 48, kBold, kBorder},

    // frmSigDetails
    {"txtSigIssuer",    -1, Slot<&WindowControls::txtSigIssuer>(),          "frmSigDetails", "txtSigIssuer",                240,   450,  4575,   225, 49, kBold, kDisplayField},
    {"txtSigSerial",    -1, Slot<&WindowControls::txtSigSerial>(),          "frmSigDetails", "txtSigSerial",                240,   870,  4575,   225, 50, kBold, kDisplayField},
    {"txtSigValidFrom", -1, Slot<&WindowControls::txtSigValidFrom>(),       "frmSigDetails", "txtSigValidFrom",             240,  1290,  4575,   225, 51, kBold, kDisplayField},
    {"txtSigValidTo",   -1, Slot<&WindowControls::txtSigValidTo>(),         "frmSigDetails", "txtSigValidTo",               240,  1710,  4575,   225, 52, kBold, kDisplayField},
    {"txtSigTimeStamp", -1, Slot<&WindowControls::txtSigTimeStamp>(),       "frmSigDetails", "txtSigTimeStamp",             240,  2130,  4575,   225, 53, kBold, kDisplayField},
    {"txtSigChain",     -1, Slot<&WindowControls::txtSigChain>(),           "frmSigDetails", "txtSigChain",                 960,  2415,  3855,   720, 54, kBold, kMultiLine},
    {"txtSigVerdict",   -1, Slot<&WindowControls::txtSigVerdict>(),         "frmSigDetails", "txtSigVerdict",               960,  3195,  3855,   480, 55, kBold, kMultiLine},
    {"lblSigIssuer",    -1, Slot<&WindowControls::lblSigIssuer>(),          "frmSigDetails", "Issuer:",                     120,   255,   585,   195, 58, kBold, kFitToText},
    {"lblSigSerial",    -1, Slot<&WindowControls::lblSigSerial>(),          "frmSigDetails", "Serial number:",              120,   675,  1230,   195, 59, kBold, kFitToText},
    {"lblSigValidFrom", -1, Slot<&WindowControls::lblSigValidFrom>(),       "frmSigDetails", "Valid from:",                 120,  1095,   930,   195, 60, kBold, kFitToText},
    {"lblSigValidTo",   -1, Slot<&WindowControls::lblSigValidTo>(),         "frmSigDetails", "Valid to:",                   120,  1515,   750,   195, 61, kBold, kFitToText},
    {"lblSigTimeStamp", -1, Slot<&WindowControls::lblSigTimeStamp>(),       "frmSigDetails", "Time stamp:",                 120,  1935,   990,   195, 62, kBold, kFitToText},
    {"lblSigChain",     -1, Slot<&WindowControls::lblSigChain>(),           "frmSigDetails", "Chain:",                      120,  2415,   555,   195, 63, kBold, kFitToText},
    {"lblSigVerdict",   -1, Slot<&WindowControls::lblSigVerdict>(),         "frmSigDetails", "Verdict:",                    120,  3195,   705,   195, 64, kBold, kFitToText},
    {"lblSigRevocation",-1, Slot<&WindowControls::lblSigRevocation>(),      "frmSigDetails", "Revocation is not checked: it needs the network.", 120, 3735, 3000, 195, 56, kWindow, kFitToText},

    // frmHashes, the Hashes page
    {"lblMd5",          -1, Slot<&WindowControls::lblMd5>(),                "frmHashes",     "MD5:",                         120,    90,   435,   195, 73, kBold, kFitToText},
    {"txtMd5",          -1, Slot<&WindowControls::txtMd5>(),                "frmHashes",     "txtMd5",                       120,   285,  4935,   225, 66, kBold, kDisplayField},
    {"lblSha1",         -1, Slot<&WindowControls::lblSha1>(),               "frmHashes",     "SHA-1:",                       120,   540,   555,   195, 74, kBold, kFitToText},
    {"txtSha1",         -1, Slot<&WindowControls::txtSha1>(),               "frmHashes",     "txtSha1",                      120,   735,  4935,   225, 67, kBold, kDisplayField},
    {"lblSha256",       -1, Slot<&WindowControls::lblSha256>(),             "frmHashes",     "SHA-256:",                     120,   990,   735,   195, 75, kBold, kFitToText},
    {"txtSha256",       -1, Slot<&WindowControls::txtSha256>(),             "frmHashes",     "",                             120,  1185,  4935,   480, 68, kBold, kMultiLine},
    {"lblSha512",       -1, Slot<&WindowControls::lblSha512>(),             "frmHashes",     "SHA-512:",                     120,  1695,   735,   195, 76, kBold, kFitToText},
    {"txtSha512",       -1, Slot<&WindowControls::txtSha512>(),             "frmHashes",     "",                             120,  1890,  4935,   870, 69, kBold, kMultiLine},
    {"lblHashState",    -1, Slot<&WindowControls::lblHashState>(),          "frmHashes",     "",                             120,  2790,  4935,   195, 77, kWindow, kPlain},
    {"prgHashes",       -1, Slot<&WindowControls::prgHashes>(),             "frmHashes",     "",                             120,  3015,  4935,   180, 72, kNoFont, kPlain},
    {"lblCompare",      -1, Slot<&WindowControls::lblCompare>(),            "frmHashes",     "Compare with:",                120,  3300,  1155,   195, 78, kBold, kFitToText},
    {"txtCompare",      -1, Slot<&WindowControls::txtCompare>(),            "frmHashes",     "",                           1320,  3255,  3735,   285, 70, kBold, kEntry},
    {"lblHashVerdict",  -1, Slot<&WindowControls::lblHashVerdict>(),        "frmHashes",     "",                             120,  3600,  4935,   330, 79, kVerdict, kPlain},
    {"lblSums",         -1, Slot<&WindowControls::lblSums>(),               "frmHashes",     "",                             120,  3960,  4935,   780, 80, kBold, kPlain},
    {"cmdCompareFile",  -1, Slot<&WindowControls::cmdCompareFile>(),        "frmHashes",     "Compare with a &file...",      120,  4785,  2415,   345, 71, kBold, kPlain},
    {"lblFileVerdict",  -1, Slot<&WindowControls::lblFileVerdict>(),        "frmHashes",     "",                           2640,  4785,  2415,   390, 81, kBold, kPlain},

    // frmProgram, the Program page
    {"txtProgramSummary",-1, Slot<&WindowControls::txtProgramSummary>(),    "frmProgram",    "txtProgramSummary",           120,    90,  4935,   225, 84, kBold, kDisplayField},
    {"lblElevation",    -1, Slot<&WindowControls::lblElevation>(),          "frmProgram",    "",                             120,   360,  4935,   195, 85, kBold, kPlain},
    {"txtProgram",      -1, Slot<&WindowControls::txtProgram>(),            "frmProgram",    "",                             120,   615,  4935,  4440, 86, kBold, kMultiLine},

    // frmVerInfo
    {"txtVerInfo",      -1, Slot<&WindowControls::txtVerInfo>(),            "frmVerInfo",    "txtVerInfo",                 2280,   600,  2295,  2235,  8, kBold, kMultiLine},
    {"lstVerInfo",      -1, Slot<&WindowControls::lstVerInfo>(),            "frmVerInfo",    "",                            240,   600,  1935,  2220,  7, kBold, kPlain},
    {"lblVerItem",      -1, Slot<&WindowControls::lblVerItem>(),            "frmVerInfo",    "Item name:",                  240,   360,   780,   195, 10, kWindow, kFitToText},
    {"lblVerValue",     -1, Slot<&WindowControls::lblVerValue>(),           "frmVerInfo",    "Value:",                     2280,   360,   450,   195,  9, kWindow, kFitToText},

    // Frame1, the navigation lists
    {"Drive1",          -1, Slot<&WindowControls::Drive1>(),                "Frame1",        "",                            120,   360,  2595,   315,  3, kBold, kPlain},
    {"Dir1",            -1, Slot<&WindowControls::Dir1>(),                  "Frame1",        "",                            120,   840,  2595,  1890,  2, kBold, kPlain},
    {"File1",           -1, Slot<&WindowControls::File1>(),                 "Frame1",        "",                            120,  2880,  2595,  2625,  1, kBold, kPlain},
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

controls::Bounds ToPixels(const ControlDesign& design, const controls::PixelDensity& screen)
{
    return {screen.PixelsX(design.left), screen.PixelsY(design.top), screen.PixelsX(design.width),
            screen.PixelsY(design.height)};
}

controls::Bounds PlacedBounds(const ControlDesign& design, const controls::PixelDensity& screen, HFONT font)
{
    controls::Bounds bounds = ToPixels(design, screen);
    const bool oneLineOfText = design.slot.Is<controls::Label>() || design.slot.Is<controls::CheckBox>();
    if (font && oneLineOfText)
        bounds.height = std::max(bounds.height, static_cast<int>(controls::FontMetrics(font).tmHeight));
    return bounds;
}

LinePoints LineToPixels(const ControlDesign& design, const controls::PixelDensity& screen)
{
    return {{screen.PixelsX(design.left), screen.PixelsY(design.top)},
            {screen.PixelsX(design.width), screen.PixelsY(design.height)}};
}

SIZE ClientSizeInPixels(const controls::PixelDensity& screen)
{
    return {screen.PixelsX(kWindowSettings.clientWidth), screen.PixelsY(kWindowSettings.clientHeight)};
}

int DesignFontHeight(const controls::PixelDensity& screen)
{
    return screen.FontHeight(kDesignFontCentipoints);
}

int VerdictFontHeight(const controls::PixelDensity& screen)
{
    return screen.FontHeight(kVerdictFontCentipoints);
}

} // namespace korrimat
