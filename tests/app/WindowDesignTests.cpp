// The stored design and its conversion to pixels, checked without creating a window.

#include "app/WindowDesign.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using namespace korrimat;
using korrimat::controls::Bounds;
using korrimat::controls::Screen;

namespace {

struct PixelRow {
    const char* name;
    int index;
    int left, top, width, height;  // a line's X1, Y1, X2, Y2
};

// The layout in pixels at 96 dots per inch, as the design's pixel columns give it.
constexpr PixelRow kPixelsAt96[] = {
    {"frmGeneral", -1, 208, 56, 353, 345},    {"frmVersion", -1, 208, 56, 345, 345},
    {"tabInfo", -1, 200, 16, 369, 385},       {"Frame1", -1, 0, 16, 185, 385},
    {"txtFilename", -1, 144, 24, 261, 15},    {"txtType", -1, 108, 76, 229, 15},
    {"txtLocation", -1, 108, 96, 229, 15},    {"txtSize", -1, 108, 116, 229, 15},
    {"txtCompSize", -1, 112, 136, 229, 15},   {"txtAccessed", -1, 108, 252, 229, 15},
    {"txtModified", -1, 108, 232, 229, 15},   {"txtCreated", -1, 108, 212, 229, 15},
    {"txtDosName", -1, 108, 192, 229, 15},    {"txtDosPath", -1, 108, 172, 229, 15},
    {"frmAttributes", -1, 108, 284, 217, 57}, {"picIcon", -1, 16, 16, 32, 32},
    {"Line1", 0, 16, 72, 340, 72},            {"Line1", 1, 16, 68, 340, 68},
    {"Line1", 2, 16, 160, 340, 160},          {"Line1", 3, 16, 164, 340, 164},
    {"Line1", 4, 16, 272, 340, 272},          {"Line1", 5, 16, 276, 340, 276},
    {"lblType", -1, 16, 76, 31, 13},          {"lblLocation", -1, 16, 96, 51, 13},
    {"lblSize", -1, 16, 116, 26, 13},         {"Label3", -1, 16, 136, 76, 13},
    {"lblAccessed", -1, 16, 252, 56, 13},     {"lblModified", -1, 16, 232, 51, 13},
    {"lblCreated", -1, 16, 212, 48, 13},      {"lblDosName", -1, 16, 192, 83, 13},
    {"lblDosPath", -1, 16, 172, 77, 13},      {"lblAttributes", -1, 16, 284, 61, 13},
    {"chkAttr", 5, 108, 40, 89, 13},          {"chkAttr", 4, 108, 20, 89, 13},
    {"chkAttr", 3, 108, 0, 89, 13},           {"chkAttr", 2, 0, 40, 105, 13},
    {"chkAttr", 1, 0, 20, 89, 13},            {"chkAttr", 0, 0, 0, 89, 13},
    {"txtFileVer", -1, 96, 12, 241, 15},      {"txtDescription", -1, 96, 40, 241, 15},
    {"txtCopyright", -1, 96, 68, 241, 15},    {"frmVerInfo", -1, 16, 100, 321, 205},
    {"lblFileVer", -1, 16, 12, 70, 13},       {"lblDescription", -1, 16, 40, 67, 13},
    {"lblCopyright", -1, 16, 68, 58, 13},     {"txtVerInfo", -1, 152, 40, 153, 149},
    {"lstVerInfo", -1, 16, 40, 129, 148},     {"lblVerItem", -1, 16, 24, 52, 13},
    {"lblVerValue", -1, 152, 24, 30, 13},     {"Drive1", -1, 8, 24, 173, 21},
    {"Dir1", -1, 8, 56, 173, 126},            {"File1", -1, 8, 192, 173, 175},
};

} // namespace

TEST(WindowDesign, FiftyTwoControlsUnderFortyTwoNamesWithTabIndexesWithoutGaps)
{
    const auto designs = ControlDesigns();
    EXPECT_EQ(designs.size(), 52u);
    std::set<std::string> names;
    std::map<std::string, std::set<int>> arrays;
    std::set<int> tabIndexes;
    for (const ControlDesign& design : designs) {
        names.insert(std::string(design.name));
        if (design.index >= 0)
            arrays[std::string(design.name)].insert(design.index);
        if (design.kind == ControlKind::Line) {
            EXPECT_EQ(design.tabIndex, -1) << design.name;
            continue;
        }
        EXPECT_TRUE(tabIndexes.insert(design.tabIndex).second) << "tab index used twice: " << design.tabIndex;
        // Every container is a frame of the design.
        if (!design.container.empty()) {
            const ControlDesign* container = FindControlDesign(design.container);
            ASSERT_NE(container, nullptr) << design.name;
            EXPECT_EQ(container->kind, ControlKind::Frame);
        }
    }
    EXPECT_EQ(names.size(), 42u);
    EXPECT_EQ(arrays.size(), 2u);
    EXPECT_EQ(arrays["chkAttr"], (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(arrays["Line1"], (std::set<int>{0, 1, 2, 3, 4, 5}));
    ASSERT_EQ(tabIndexes.size(), 46u);
    EXPECT_EQ(*tabIndexes.begin(), 0);
    EXPECT_EQ(*tabIndexes.rbegin(), 45);
}

TEST(WindowDesign, EveryValueIsAMultipleOfFifteenTwips)
{
    for (const ControlDesign& design : ControlDesigns()) {
        for (int value : {design.left, design.top, design.width, design.height})
            EXPECT_EQ(value % 15, 0) << design.name << " " << design.index;
    }
    EXPECT_EQ(kWindowSettings.clientWidth % 15, 0);
    EXPECT_EQ(kWindowSettings.clientHeight % 15, 0);
}

TEST(WindowDesign, PixelsAt96DotsPerInchAreTheDesignsPixelColumns)
{
    const Screen screen(96, 96);
    std::size_t checked = 0;
    for (const PixelRow& row : kPixelsAt96) {
        const ControlDesign* design = FindControlDesign(row.name, row.index);
        ASSERT_NE(design, nullptr) << row.name << " " << row.index;
        if (design->kind == ControlKind::Line) {
            const LinePoints points = LineToPixels(*design, screen);
            EXPECT_EQ(points.from.x, row.left) << row.name << row.index;
            EXPECT_EQ(points.from.y, row.top) << row.name << row.index;
            EXPECT_EQ(points.to.x, row.width) << row.name << row.index;
            EXPECT_EQ(points.to.y, row.height) << row.name << row.index;
        } else {
            EXPECT_EQ(ToPixels(*design, screen), (Bounds{row.left, row.top, row.width, row.height}))
                << row.name << " " << row.index;
        }
        ++checked;
    }
    EXPECT_EQ(checked, ControlDesigns().size());
    const SIZE client = ClientSizeInPixels(screen);
    EXPECT_EQ(client.cx, 575);
    EXPECT_EQ(client.cy, 415);
    EXPECT_EQ(DesignFontHeight(screen), -11);
}

TEST(WindowDesign, OtherDensitiesScaleTheTwips)
{
    const Screen screen(120, 120);
    const ControlDesign* file1 = FindControlDesign("File1");
    ASSERT_NE(file1, nullptr);
    EXPECT_EQ(ToPixels(*file1, screen), (Bounds{10, 240, 216, 219}));  // 120, 2880, 2595, 2625 twips / 12
    const SIZE client = ClientSizeInPixels(screen);
    EXPECT_EQ(client.cx, 719);  // 8625 / 12 = 718.75
    EXPECT_EQ(client.cy, 519);  // 6225 / 12 = 518.75
    EXPECT_EQ(DesignFontHeight(screen), -14);
    EXPECT_EQ(DesignFontHeight(Screen(144, 144)), -17);  // 16.5 rounds away from zero
    EXPECT_EQ(DesignFontHeight(Screen(192, 192)), -22);
    const SIZE at144 = ClientSizeInPixels(Screen(144, 144));
    EXPECT_EQ(at144.cx, 863);  // 862.5
    EXPECT_EQ(at144.cy, 623);  // 622.5
    const SIZE at192 = ClientSizeInPixels(Screen(192, 192));
    EXPECT_EQ(at192.cx, 1150);
    EXPECT_EQ(at192.cy, 830);
    EXPECT_EQ(ToPixels(*FindControlDesign("txtFilename"), Screen(144, 144)), (Bounds{216, 36, 392, 23}));
    EXPECT_EQ(ToPixels(*FindControlDesign("txtFilename"), Screen(192, 192)), (Bounds{288, 48, 522, 30}));
    const ControlDesign* line = FindControlDesign("Line1", 1);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(LineToPixels(*line, Screen(144, 144)).from.y, 102);  // 1020 twips at 10 per pixel
}

TEST(WindowDesign, ChildrenComeInAscendingTabIndexLinesLast)
{
    const auto window = ChildrenInTabOrder("");
    ASSERT_EQ(window.size(), 4u);
    EXPECT_EQ(window[0]->name, "Frame1");
    EXPECT_EQ(window[1]->name, "tabInfo");
    EXPECT_EQ(window[2]->name, "frmVersion");
    EXPECT_EQ(window[3]->name, "frmGeneral");
    const auto files = ChildrenInTabOrder("Frame1");
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0]->name, "File1");
    EXPECT_EQ(files[2]->name, "Drive1");
    const auto general = ChildrenInTabOrder("frmGeneral");
    ASSERT_EQ(general.size(), 28u);
    EXPECT_EQ(general[0]->name, "picIcon");
    for (std::size_t i = 1; i < 22; ++i)
        EXPECT_LT(general[i - 1]->tabIndex, general[i]->tabIndex);
    for (std::size_t i = 22; i < general.size(); ++i)
        EXPECT_EQ(general[i]->kind, ControlKind::Line);
    const auto attributes = ChildrenInTabOrder("frmAttributes");
    ASSERT_EQ(attributes.size(), 6u);
    for (std::size_t i = 0; i < attributes.size(); ++i)
        EXPECT_EQ(attributes[i]->index, static_cast<int>(i));
}

TEST(WindowDesign, TextsAndSettingsThatUsersSee)
{
    EXPECT_EQ(kWindowSettings.caption, "Korrimat");
    EXPECT_EQ(FindControlDesign("Label3")->text, "Compressed :");
    EXPECT_EQ(FindControlDesign("lblFileVer")->text, "File version::");
    EXPECT_EQ(FindControlDesign("frmVerInfo")->text, "Other version information");
    EXPECT_EQ(FindControlDesign("chkAttr", 2)->text, "Co&mpressed");
    for (const ControlDesign& design : ControlDesigns()) {
        if (design.flags & kDisplayField) {
            EXPECT_EQ(design.text, design.name);
        }
        if (design.kind == ControlKind::Label) {
            EXPECT_EQ(design.height, 195) << design.name;
        }
    }
    EXPECT_TRUE(FindControlDesign("frmAttributes")->flags & kDisabled);
    EXPECT_TRUE(FindControlDesign("Frame1")->flags & kBorder);
    EXPECT_FALSE(FindControlDesign("frmGeneral")->flags & kBorder);
    EXPECT_TRUE(FindControlDesign("Line1", 0)->flags & kShadow);
    EXPECT_TRUE(FindControlDesign("Line1", 5)->flags & kHighlight);
    ASSERT_EQ(TabDesigns().size(), 2u);
    EXPECT_EQ(TabDesigns()[0].key, "General");
    EXPECT_EQ(TabDesigns()[1].caption, "Version");
    EXPECT_EQ(FindControlDesign("nothing"), nullptr);
    EXPECT_EQ(FindControlDesign("chkAttr", 6), nullptr);
}
