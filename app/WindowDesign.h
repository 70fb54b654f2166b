#pragma once
// The stored design of the window FFileInfo: the window's settings and its 88 controls under 78
// names, each with the member of WindowControls it creates, container, design text, twip
// rectangle, tab index, font and settings. Everything the window is created, named and laid out
// from is this one table, and the layout can be computed (and checked) without creating a window.

#include "controls/Control.h"
#include "controls/Line.h"
#include "controls/PixelDensity.h"
#include "platform/Platform.h"

#include <windows.h>

#include <span>
#include <string_view>
#include <vector>

namespace korrimat {

enum class DesignFont {
    None,        // no font of its own
    TahomaBold,  // Tahoma, 8.25 points, weight 700, character set 0
    WindowFont,  // the window's own font: MS Sans Serif, 8.25 points, regular
    VerdictBold, // a verdict read at a glance: Tahoma, 12 points, weight 700
};

// Settings that make a control what it is.
enum DesignFlags : unsigned {
    kPlain = 0,
    kBorder = 1u << 0,        // frame: a border with the caption set into its top edge
    kDisabled = 1u << 1,      // frame: takes no input, nor do its children
    kDisplayField = 1u << 2,  // text box: one line, read-only, no border, button-face background
    kMultiLine = 1u << 3,     // text box: read-only, word wrap, vertical scroll bar, sunken border
    kShadow = 1u << 4,        // line: button shadow colour
    kHighlight = 1u << 5,     // line: button highlight colour
    kFitToText = 1u << 6,     // label: as wide as its text, 195 twips high
    kEntry = 1u << 7,         // text box: one line the user types or pastes into, sunken border
    kMadeWhenShown = 1u << 8, // frame: a page whose controls are made when it first comes forward
};

struct WindowControls;
struct ControlDesign;

// A control class, named by the address of a tag of its own.
template <typename Class>
inline constexpr char kControlClass = 0;

// What a row's control needs to be created beyond the row: the density its twips become pixels
// at, the font each design font stands for, the platform the file-system lists read through, and
// the creation of a frame's children.
struct DesignContext {
    const controls::PixelDensity& density;
    const Platform& platform;
    bool (*createChildren)(void* window, controls::WindowBase& frame, std::string_view frameName);
    HFONT (*fontOf)(const void* window, DesignFont font);
    void* window;
};

// The control object a design row creates, found in the window's controls, and how the row
// creates it: the member each row names brings its class's creation with it.
struct ControlSlot {
    const char* controlClass;                        // kControlClass of its class
    controls::Control* (*control)(WindowControls&);  // null for a line, which is no window
    controls::Line* (*line)(WindowControls&);        // null for everything but a line
    // Creates the control in `container` as the row says; false when it could not be made.
    bool (*create)(WindowControls&, controls::WindowBase& container, const ControlDesign&, const DesignContext&);

    template <typename Class>
    bool Is() const
    {
        return controlClass == &kControlClass<Class>;
    }
    template <typename Class>
    Class& As(WindowControls& controls) const
    {
        return static_cast<Class&>(*control(controls));
    }
};

struct ControlDesign {
    std::string_view name;
    int index;                   // position in a control array; -1 for a single control
    ControlSlot slot;
    std::string_view container;  // the frame that holds it; empty for the window itself
    std::string_view text;
    int left;                    // twips inside the container; a line's X1, Y1, X2, Y2
    int top;
    int width;
    int height;
    int tabIndex;                // -1 for lines, which take no part in it
    DesignFont font;
    unsigned flags;
};

struct TabDesign {
    std::string_view key;
    std::string_view caption;
};

struct WindowSettings {
    std::string_view name;
    std::string_view caption;
    int clientWidth;   // twips
    int clientHeight;  // twips
};

inline constexpr WindowSettings kWindowSettings{"FFileInfo", "Korrimat", 8625, 6225};
inline constexpr std::string_view kTahomaFace = "Tahoma";
inline constexpr std::string_view kWindowFontFace = "MS Sans Serif";
inline constexpr int kDesignFontCentipoints = 825;  // 8.25 points
inline constexpr int kVerdictFontCentipoints = 1200;

// Every control of the design, in the stored order of each container.
std::span<const ControlDesign> ControlDesigns();
// The tabs of `tabInfo`, in order.
std::span<const TabDesign> TabDesigns();
// One control's design; null when there is none by that name and index.
const ControlDesign* FindControlDesign(std::string_view name, int index = -1);
// The controls a container holds ("" for the window), in ascending tab index (lines last):
// the order in which they are created, which is the order the keyboard focus follows.
std::vector<const ControlDesign*> ChildrenInTabOrder(std::string_view container);

// The one conversion from the design's twips to the screen's pixels.
controls::Bounds ToPixels(const ControlDesign& design, const controls::PixelDensity& screen);
// Where a control goes at a density in the font it is given: its design rectangle in pixels, but
// a line of text is never cut at its foot (the design's height, rounded at another density, can
// fall a pixel short of the font's, which rounds on its own).
controls::Bounds PlacedBounds(const ControlDesign& design, const controls::PixelDensity& screen, HFONT font);
// A line's two end points in pixels.
struct LinePoints {
    POINT from;
    POINT to;
};
LinePoints LineToPixels(const ControlDesign& design, const controls::PixelDensity& screen);
// The window's client size in pixels.
SIZE ClientSizeInPixels(const controls::PixelDensity& screen);
// The logical height of both design fonts at this screen's density (-11 at 96 dots per inch).
int DesignFontHeight(const controls::PixelDensity& screen);
// The verdict font's (-16 at 96 dots per inch).
int VerdictFontHeight(const controls::PixelDensity& screen);

} // namespace korrimat
