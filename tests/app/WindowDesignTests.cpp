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

TEST(WindowDesign, NinetyThreeControlsUnderEightyThreeNamesWithTabIndexesWithoutGaps)
{
    const auto designs = ControlDesigns();
    EXPECT_EQ(designs.size(), 93u);
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
    EXPECT_EQ(names.size(), 83u);
    EXPECT_EQ(arrays.size(), 2u);
    EXPECT_EQ(arrays["chkAttr"], (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(arrays["Line1"], (std::set<int>{0, 1, 2, 3, 4, 5}));
    ASSERT_EQ(tabIndexes.size(), 87u);
    EXPECT_EQ(*tabIndexes.begin(), 0);
    EXPECT_EQ(*tabIndexes.rbegin(), 86);
}

template <typename Class>
const char* ClassTag()
{
    return &kControlClass<Class>;
}

TEST(WindowDesign, EveryRowCreatesAMemberOfItsOwnOfTheKindItsNameSays)
{
    using namespace korrimat::controls;
    const std::map<std::string, const char*> prefixes{
        {"txt", ClassTag<TextBox>()},  {"lbl", ClassTag<Label>()},      {"Lab", ClassTag<Label>()},
        {"chk", ClassTag<CheckBox>()}, {"frm", ClassTag<Frame>()},      {"Fra", ClassTag<Frame>()},
        {"lst", ClassTag<ListBox>()},  {"pic", ClassTag<PictureBox>()}, {"tab", ClassTag<TabStrip>()},
        {"Lin", ClassTag<Line>()},     {"Dri", ClassTag<DriveList>()},  {"Dir", ClassTag<FolderList>()},
        {"Fil", ClassTag<FileList>()},   {"cmd", ClassTag<Button>()},     {"prg", ClassTag<ProgressBar>()},
    };
    WindowControls controls;  // wrappers only: no window is made
    std::set<const void*> members;
    for (const ControlDesign& design : ControlDesigns()) {
        SCOPED_TRACE(std::string(design.name) + " " + std::to_string(design.index));
        EXPECT_EQ(design.slot.controlClass, prefixes.at(std::string(design.name.substr(0, 3))));
        const bool line = design.slot.Is<Line>();
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
    // Each container's children are exactly the rows naming it, in ascending tab index, then its
    // lines: the creation order, which is the z-order the dialog keys follow.
    std::set<std::string> containers{""};
    for (const ControlDesign& design : ControlDesigns())
        containers.insert(std::string(design.container));
    std::size_t seen = 0;
    for (const std::string& container : containers) {
        SCOPED_TRACE(container);
        const auto children = ChildrenInTabOrder(container);
        seen += children.size();
        for (std::size_t i = 0; i < children.size(); ++i) {
            EXPECT_EQ(children[i]->container, container);
            if (i == 0)
                continue;
            const bool line = children[i]->slot.Is<korrimat::controls::Line>();
            const bool lineBefore = children[i - 1]->slot.Is<korrimat::controls::Line>();
            EXPECT_TRUE(line || !lineBefore) << children[i]->name << " after a line";
            if (!line) {
                EXPECT_LT(children[i - 1]->tabIndex, children[i]->tabIndex);
            }
        }
    }
    EXPECT_EQ(seen, ControlDesigns().size());
    EXPECT_EQ(ChildrenInTabOrder("Frame1").front()->name, "File1");  // the focus starts in the file list
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
        // A caption is one line; a verdict or a state may take more, or a larger font.
        if (design.flags & kFitToText) {
            EXPECT_TRUE(design.slot.Is<korrimat::controls::Label>()) << design.name;
            EXPECT_EQ(design.height, 195) << design.name;
        }
    }
    ASSERT_EQ(TabDesigns().size(), 2u);
    EXPECT_EQ(TabDesigns()[0].key, "General");
    EXPECT_EQ(TabDesigns()[1].caption, "Version");
    EXPECT_EQ(FindControlDesign("nothing"), nullptr);
    EXPECT_EQ(FindControlDesign("chkAttr", 6), nullptr);
}
