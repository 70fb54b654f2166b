#pragma once
// The window FFileInfo: Korrimat's only window, created from its stored design (WindowDesign.h).
// Every control is reachable by its design name; control arrays by name and index.

#include "app/WindowDesign.h"
#include "platform/Platform.h"
#include "platform/UniqueHandle.h"
#include "platform/controls/CheckBox.h"
#include "platform/controls/Control.h"
#include "platform/controls/DriveList.h"
#include "platform/controls/FileList.h"
#include "platform/controls/FolderList.h"
#include "platform/controls/Frame.h"
#include "platform/controls/Line.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/Screen.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/TextBox.h"

#include <array>
#include <string_view>
#include <utility>
#include <variant>

namespace korrimat {

class CFileVersionInfo;

class FFileInfo : public controls::Form {
public:
    // Creates the window, hidden, with all its controls in their design state.
    explicit FFileInfo(HINSTANCE instance = ::GetModuleHandleA(nullptr), const Platform& platform = SystemPlatform());
    ~FFileInfo() override;

    // False when the window could not be created.
    bool Created() const noexcept { return Handle() != nullptr; }
    // The density the window is laid out at: its monitor's real pixels per inch.
    const controls::Screen& GetScreen() const noexcept { return screen_; }

    // The window's load event: the opening steps, run once before the window is shown.
    // Sizes and positions of the controls are in pixels; GetScreen() converts twips.
    void Load();
    // The full path of the file or folder shown, in the case the lists gave it; empty at first.
    const std::string& CurrentPath() const noexcept { return currentPath_; }
    // Shows one file, or one folder, on both pages, as the file list's click does (which also
    // makes it the current path); public so that its cost can be measured on its own.
    void ShowFileInfo(const std::string& path);
    // The window's unload: closes it, which ends the message loop and so the program.
    void Unload();
    // Opening steps 5 to 7: both pages onto the tab strip's client area, the pages in the
    // window's background colour, the Version page hidden (the General page shows).
    void ApplyOpeningLayout();

    // The controls, by their design names.
    controls::Frame& Frame1() noexcept { return Frame1_; }
    controls::DriveList& Drive1() noexcept { return Drive1_; }
    controls::FolderList& Dir1() noexcept { return Dir1_; }
    controls::FileList& File1() noexcept { return File1_; }
    controls::TabStrip& tabInfo() noexcept { return tabInfo_; }
    controls::Frame& frmGeneral() noexcept { return frmGeneral_; }
    controls::Frame& frmVersion() noexcept { return frmVersion_; }

    controls::TextBox& txtFilename() noexcept { return txtFilename_; }
    controls::TextBox& txtType() noexcept { return txtType_; }
    controls::TextBox& txtLocation() noexcept { return txtLocation_; }
    controls::TextBox& txtSize() noexcept { return txtSize_; }
    controls::TextBox& txtCompSize() noexcept { return txtCompSize_; }
    controls::TextBox& txtAccessed() noexcept { return txtAccessed_; }
    controls::TextBox& txtModified() noexcept { return txtModified_; }
    controls::TextBox& txtCreated() noexcept { return txtCreated_; }
    controls::TextBox& txtDosName() noexcept { return txtDosName_; }
    controls::TextBox& txtDosPath() noexcept { return txtDosPath_; }
    controls::Frame& frmAttributes() noexcept { return frmAttributes_; }
    controls::CheckBox& chkAttr(int index) { return chkAttr_.at(static_cast<std::size_t>(index)); }
    controls::PictureBox& picIcon() noexcept { return picIcon_; }
    controls::Line& Line1(int index) { return Line1_.at(static_cast<std::size_t>(index)); }
    controls::Label& lblType() noexcept { return lblType_; }
    controls::Label& lblLocation() noexcept { return lblLocation_; }
    controls::Label& lblSize() noexcept { return lblSize_; }
    controls::Label& Label3() noexcept { return Label3_; }
    controls::Label& lblAccessed() noexcept { return lblAccessed_; }
    controls::Label& lblModified() noexcept { return lblModified_; }
    controls::Label& lblCreated() noexcept { return lblCreated_; }
    controls::Label& lblDosName() noexcept { return lblDosName_; }
    controls::Label& lblDosPath() noexcept { return lblDosPath_; }
    controls::Label& lblAttributes() noexcept { return lblAttributes_; }

    controls::TextBox& txtFileVer() noexcept { return txtFileVer_; }
    controls::TextBox& txtDescription() noexcept { return txtDescription_; }
    controls::TextBox& txtCopyright() noexcept { return txtCopyright_; }
    controls::Frame& frmVerInfo() noexcept { return frmVerInfo_; }
    controls::Label& lblFileVer() noexcept { return lblFileVer_; }
    controls::Label& lblDescription() noexcept { return lblDescription_; }
    controls::Label& lblCopyright() noexcept { return lblCopyright_; }
    controls::TextBox& txtVerInfo() noexcept { return txtVerInfo_; }
    controls::ListBox& lstVerInfo() noexcept { return lstVerInfo_; }
    controls::Label& lblVerItem() noexcept { return lblVerItem_; }
    controls::Label& lblVerValue() noexcept { return lblVerValue_; }

    // Any control that is a window, by design name and array index; null for lines and for
    // names the design does not have.
    controls::Control* ControlNamed(std::string_view name, int index = -1);
    // The font a design font stands for (null for none).
    HFONT FontOf(DesignFont font) const noexcept;

protected:
    // Files dropped from the shell and changes of density; everything else as any form.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Unload: the window is going away, and with it the program.
    void OnDestroy() override;

private:
    // The first of the dropped files or folders, chosen in the lists as a user would choose it.
    void OnDropFiles(HDROP drop);
    void ShowDroppedPath(const std::string& path);
    // The window moved to a monitor of another density, or the density changed under it.
    void OnDpiChanged(const controls::Screen& screen, const RECT* suggested);
    // The window's outer size for its client size at another density; false when unknown.
    bool ScaledWindowSize(int dpi, SIZE& size) const;
    // Fonts, controls and lines, all from the design at screen_; creation and every change of
    // density go through here.
    void LayOut();
    // The load steps that work in screen pixels, done again after every new layout.
    void FitLoadedLayout();
    void FitPagesToTabs();
    // The window's client size to the design's at screen_, its top-left corner moved if given.
    void FitClientSize(const POINT* topLeft);
    void CreateFonts();

    // The navigation chain: drive, folder, file list path, file selection.
    void Drive1_Change();
    void Dir1_Change();
    void File1_PathChange();
    void File1_Click();
    // The version item browser and the page switch.
    void lstVerInfo_Click();
    void tabInfo_Click();
    void ConnectEvents();

    void ShowIcon(HICON icon);

    const Platform& platform_;
    std::string currentPath_;
    // The version resource ShowFileInfo has just read, while it selects the first item.
    const CFileVersionInfo* versionJustRead_ = nullptr;
    bool loaded_ = false;

    using Slot = std::variant<std::monostate, controls::Frame*, controls::TextBox*, controls::Label*,
                              controls::CheckBox*, controls::PictureBox*, controls::Line*, controls::ListBox*,
                              controls::DriveList*, controls::FolderList*, controls::FileList*,
                              controls::TabStrip*>;

    Slot SlotOf(std::string_view name, int index);
    void CreateControls(controls::WindowBase& container, std::string_view containerName);
    void CreateControl(controls::WindowBase& container, const ControlDesign& design);
    // One control's font and place at screen_, or a line's ends.
    void PlaceControl(const ControlDesign& design);

    controls::Screen screen_;
    UniqueFont tahomaBold_;
    UniqueFont windowFont_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;

    controls::Frame Frame1_;
    controls::DriveList Drive1_;
    controls::FolderList Dir1_;
    controls::FileList File1_;
    controls::TabStrip tabInfo_;
    controls::Frame frmGeneral_;
    controls::Frame frmVersion_;

    controls::TextBox txtFilename_;
    controls::TextBox txtType_;
    controls::TextBox txtLocation_;
    controls::TextBox txtSize_;
    controls::TextBox txtCompSize_;
    controls::TextBox txtAccessed_;
    controls::TextBox txtModified_;
    controls::TextBox txtCreated_;
    controls::TextBox txtDosName_;
    controls::TextBox txtDosPath_;
    controls::Frame frmAttributes_;
    std::array<controls::CheckBox, 6> chkAttr_;
    controls::PictureBox picIcon_;
    std::array<controls::Line, 6> Line1_;
    controls::Label lblType_;
    controls::Label lblLocation_;
    controls::Label lblSize_;
    controls::Label Label3_;
    controls::Label lblAccessed_;
    controls::Label lblModified_;
    controls::Label lblCreated_;
    controls::Label lblDosName_;
    controls::Label lblDosPath_;
    controls::Label lblAttributes_;

    controls::TextBox txtFileVer_;
    controls::TextBox txtDescription_;
    controls::TextBox txtCopyright_;
    controls::Frame frmVerInfo_;
    controls::Label lblFileVer_;
    controls::Label lblDescription_;
    controls::Label lblCopyright_;
    controls::TextBox txtVerInfo_;
    controls::ListBox lstVerInfo_;
    controls::Label lblVerItem_;
    controls::Label lblVerValue_;
};

} // namespace korrimat
