// The stored design and its conversion to pixels, checked without creating a window.

#include "app/WindowControls.h"
#include "app/WindowDesign.h"
#include "tests/support/DesignFigures.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using namespace korrimat;
using korrimat::controls::Bounds;
using korrimat::controls::PixelDensity;

TEST(WindowDesign, SeventyOneControlsUnderSixtyOneNamesWithTabIndexesWithoutGaps)
{
    const auto designs = ControlDesigns();
    EXPECT_EQ(designs.size(), 71u);
    std::set<std::string> names;
    std::map<std::string, std::set<int>> arrays;
    std::set<int> tabIndexes;
    for (const ControlDesign& design : designs) {
        names.insert(std::string(design.name));
        if (design.index >= 0)
            arrays[std::string(design.name)].insert(design.index);
        if (design.slot.Is<korrimat::controls::Line>()) {
            EXPECT_EQ(design.tabIndex, -1) << design.name;
            continue;
        }
        EXPECT_TRUE(tabIndexes.insert(design.tabIndex).second) << "tab index used twice: " << design.tabIndex;
        // Every container is a frame of the design.
        if (!design.container.empty()) {
            const ControlDesign* container = FindControlDesign(design.container);
            ASSERT_NE(container, nullptr) << design.name;
            EXPECT_TRUE(container->slot.Is<korrimat::controls::Frame>());
        }
    }
    EXPECT_EQ(names.size(), 61u);
    EXPECT_EQ(arrays.size(), 2u);
    EXPECT_EQ(arrays["chkAttr"], (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(arrays["Line1"], (std::set<int>{0, 1, 2, 3, 4, 5}));
    ASSERT_EQ(tabIndexes.size(), 65u);
    EXPECT_EQ(*tabIndexes.begin(), 0);
    EXPECT_EQ(*tabIndexes.rbegin(), 64);
}

TEST(WindowDesign, EveryRowCreatesAMemberOfItsOwnOfTheKindItsNameSays)
{
    const std::map<std::string, const char*> prefixes{
        {"txt", &korrimat::kControlClass<korrimat::controls::TextBox>}, {"lbl", &korrimat::kControlClass<korrimat::controls::Label>},       {"Lab", &korrimat::kControlClass<korrimat::controls::Label>},
        {"chk", &korrimat::kControlClass<korrimat::controls::CheckBox>}, {"frm", &korrimat::kControlClass<korrimat::controls::Frame>},      {"Fra", &korrimat::kControlClass<korrimat::controls::Frame>},
        {"lst", &korrimat::kControlClass<korrimat::controls::ListBox>}, {"pic", &korrimat::kControlClass<korrimat::controls::PictureBox>},  {"tab", &korrimat::kControlClass<korrimat::controls::TabStrip>},
        {"Lin", &korrimat::kControlClass<korrimat::controls::Line>},    {"Dri", &korrimat::kControlClass<korrimat::controls::DriveList>},   {"Dir", &korrimat::kControlClass<korrimat::controls::FolderList>},
        {"Fil", &korrimat::kControlClass<korrimat::controls::FileList>},
    };
    WindowControls controls;  // wrappers only: no window is made
    std::set<const void*> members;
    for (const ControlDesign& design : ControlDesigns()) {
        SCOPED_TRACE(std::string(design.name) + " " + std::to_string(design.index));
        EXPECT_EQ(design.slot.controlClass, prefixes.at(std::string(design.name.substr(0, 3))));
        const bool line = design.slot.Is<korrimat::controls::Line>();
        ASSERT_EQ(design.slot.line != nullptr, line);
        ASSERT_EQ(design.slot.control != nullptr, !line);
        const void* member = line ? static_cast<const void*>(design.slot.line(controls))
                                  : static_cast<const void*>(design.slot.control(controls));
        EXPECT_TRUE(members.insert(member).second) << "a member made by two rows";
    }
}

TEST(WindowDesign, AtEveryDensityTheLayoutIsTheTwipsScaled)
{
    for (const ControlDesign& design : ControlDesigns()) {
        // Made at 15 twips a pixel: exact pixels at 96 dots per inch.
        for (int value : {design.left, design.top, design.width, design.height})
            EXPECT_EQ(value % 15, 0) << design.name << " " << design.index;
        const Bounds at96 = ToPixels(design, PixelDensity(96, 96));
        EXPECT_EQ(at96, (Bounds{design.left / 15, design.top / 15, design.width / 15, design.height / 15}));
    }
    for (const auto& figures : korrimat::testing::kDesignFigures) {
        const PixelDensity screen(figures.dpi, figures.dpi);
        const SIZE client = ClientSizeInPixels(screen);
        EXPECT_EQ(client.cx, figures.client.cx) << figures.dpi;
        EXPECT_EQ(client.cy, figures.client.cy) << figures.dpi;
        EXPECT_EQ(DesignFontHeight(screen), figures.fontHeight) << figures.dpi;
    }
    // Halves round away from zero: 2160, 360, 3915, 225 twips at 10 per pixel.
    EXPECT_EQ(ToPixels(*FindControlDesign("txtFilename"), PixelDensity(144, 144)), (Bounds{216, 36, 392, 23}));
    EXPECT_EQ(LineToPixels(*FindControlDesign("Line1", 1), PixelDensity(144, 144)).from.y, 102);
}

TEST(WindowDesign, ChildrenComeInAscendingTabIndexLinesLast)
{
    const auto window = ChildrenInTabOrder("");
    ASSERT_EQ(window.size(), 5u);
    EXPECT_EQ(window[0]->name, "Frame1");
    EXPECT_EQ(window[1]->name, "tabInfo");
    EXPECT_EQ(window[2]->name, "frmVersion");
    EXPECT_EQ(window[3]->name, "frmGeneral");
    EXPECT_EQ(window[4]->name, "frmSignatures");
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
        EXPECT_TRUE(general[i]->slot.Is<korrimat::controls::Line>());
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
        if (design.slot.Is<korrimat::controls::Label>()) {
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
