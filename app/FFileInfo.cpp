#include "app/FFileInfo.h"

#include "app/resources/resource.h"

namespace korrimat {

namespace {

template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

UniqueFont CreateDesignFont(std::string_view face, int height, int weight)
{
    return UniqueFont(::CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                    std::string(face).c_str()));
}

UniqueIcon LoadProgramIcon(HINSTANCE instance, int size)
{
    return UniqueIcon(static_cast<HICON>(
        ::LoadImageA(instance, MAKEINTRESOURCEA(IDI_KORRIMAT), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

} // namespace

FFileInfo::FFileInfo(HINSTANCE instance, const Platform& platform)
    : platform_(platform), screen_(controls::Screen::Current())
{
    const int fontHeight = DesignFontHeight(screen_);
    tahomaBold_ = CreateDesignFont(kTahomaFace, fontHeight, FW_BOLD);
    windowFont_ = CreateDesignFont(kWindowFontFace, fontHeight, FW_NORMAL);
    bigIcon_ = LoadProgramIcon(instance, ::GetSystemMetrics(SM_CXICON));
    smallIcon_ = LoadProgramIcon(instance, ::GetSystemMetrics(SM_CXSMICON));
    // Without the program icon (a build without resources) the system's application icon stands in.
    HICON fallback = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));

    const SIZE client = ClientSizeInPixels(screen_);
    if (!Create(kWindowSettings.caption, client.cx, client.cy, bigIcon_ ? bigIcon_.Get() : fallback,
                smallIcon_ ? smallIcon_.Get() : fallback))
        return;
    ::SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_.Get()), FALSE);
    CreateControls(*this, "");
    ConnectEvents();
}

FFileInfo::~FFileInfo()
{
    // The windows go before their wrappers and fonts.
    Destroy();
}

void FFileInfo::Unload()
{
    Close();
}

void FFileInfo::ApplyOpeningLayout()
{
    const controls::Bounds pages = tabInfo_.ClientArea();
    frmGeneral_.Move(pages);
    frmVersion_.Move(pages);
    frmGeneral_.SetBackColor(BackColor());
    frmVersion_.SetBackColor(BackColor());
    frmVersion_.SetVisible(false);
}

void FFileInfo::OnDestroy()
{
    ::PostQuitMessage(0);
}

HFONT FFileInfo::FontOf(DesignFont font) const noexcept
{
    switch (font) {
    case DesignFont::TahomaBold:
        return tahomaBold_.Get();
    case DesignFont::WindowFont:
        return windowFont_.Get();
    default:
        return nullptr;
    }
}

controls::Control* FFileInfo::ControlNamed(std::string_view name, int index)
{
    return std::visit(Overloaded{
                          [](std::monostate) -> controls::Control* { return nullptr; },
                          [](controls::Line*) -> controls::Control* { return nullptr; },
                          [](auto* control) -> controls::Control* { return control; },
                      },
                      SlotOf(name, index));
}

FFileInfo::Slot FFileInfo::SlotOf(std::string_view name, int index)
{
    if (name == "chkAttr" && index >= 0 && index < static_cast<int>(chkAttr_.size()))
        return &chkAttr_[static_cast<std::size_t>(index)];
    if (name == "Line1" && index >= 0 && index < static_cast<int>(Line1_.size()))
        return &Line1_[static_cast<std::size_t>(index)];
    if (index != -1)
        return std::monostate{};
    const std::pair<std::string_view, Slot> singles[] = {
        {"Frame1", &Frame1_},
        {"Drive1", &Drive1_},
        {"Dir1", &Dir1_},
        {"File1", &File1_},
        {"tabInfo", &tabInfo_},
        {"frmGeneral", &frmGeneral_},
        {"frmVersion", &frmVersion_},
        {"txtFilename", &txtFilename_},
        {"txtType", &txtType_},
        {"txtLocation", &txtLocation_},
        {"txtSize", &txtSize_},
        {"txtCompSize", &txtCompSize_},
        {"txtAccessed", &txtAccessed_},
        {"txtModified", &txtModified_},
        {"txtCreated", &txtCreated_},
        {"txtDosName", &txtDosName_},
        {"txtDosPath", &txtDosPath_},
        {"frmAttributes", &frmAttributes_},
        {"picIcon", &picIcon_},
        {"lblType", &lblType_},
        {"lblLocation", &lblLocation_},
        {"lblSize", &lblSize_},
        {"Label3", &Label3_},
        {"lblAccessed", &lblAccessed_},
        {"lblModified", &lblModified_},
        {"lblCreated", &lblCreated_},
        {"lblDosName", &lblDosName_},
        {"lblDosPath", &lblDosPath_},
        {"lblAttributes", &lblAttributes_},
        {"txtFileVer", &txtFileVer_},
        {"txtDescription", &txtDescription_},
        {"txtCopyright", &txtCopyright_},
        {"frmVerInfo", &frmVerInfo_},
        {"lblFileVer", &lblFileVer_},
        {"lblDescription", &lblDescription_},
        {"lblCopyright", &lblCopyright_},
        {"txtVerInfo", &txtVerInfo_},
        {"lstVerInfo", &lstVerInfo_},
        {"lblVerItem", &lblVerItem_},
        {"lblVerValue", &lblVerValue_},
    };
    for (const auto& [slotName, slot] : singles) {
        if (slotName == name)
            return slot;
    }
    return std::monostate{};
}

void FFileInfo::CreateControls(controls::WindowBase& container, std::string_view containerName)
{
    // Created in ascending tab index: that is the z-order, and the dialog keys follow it.
    for (const ControlDesign* design : ChildrenInTabOrder(containerName))
        CreateControl(container, *design);
}

void FFileInfo::CreateControl(controls::WindowBase& container, const ControlDesign& design)
{
    const controls::Bounds bounds = ToPixels(design, screen_);
    HFONT font = FontOf(design.font);
    auto withFont = [font](controls::Control& control) {
        if (font)
            control.SetFont(font);
    };
    std::visit(Overloaded{
                   [](std::monostate) {},
                   [&](controls::Frame* frame) {
                       frame->Create(container, bounds, design.text, (design.flags & kBorder) != 0);
                       withFont(*frame);
                       if (design.flags & kDisabled)
                           frame->SetEnabled(false);
                       CreateControls(*frame, design.name);
                   },
                   [&](controls::TextBox* textBox) {
                       const auto style = (design.flags & kMultiLine) ? controls::TextBoxStyle::MultiLine
                                                                      : controls::TextBoxStyle::DisplayField;
                       textBox->Create(container, bounds, style, design.text);
                       withFont(*textBox);
                   },
                   [&](controls::Label* label) {
                       label->Create(container, bounds, design.text);
                       withFont(*label);
                       if (design.flags & kFitToText)
                           label->FitWidthToText();
                   },
                   [&](controls::CheckBox* checkBox) {
                       checkBox->Create(container, bounds, design.text);
                       withFont(*checkBox);
                   },
                   [&](controls::PictureBox* picture) { picture->Create(container, bounds); },
                   [&](controls::Line* line) {
                       const LinePoints points = LineToPixels(design, screen_);
                       line->Create(container, points.from, points.to,
                                    (design.flags & kHighlight) ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
                   },
                   // The list box and the drive, folder and file lists need nothing but their place and font.
                   [&](auto* list) {
                       list->Create(container, bounds);
                       withFont(*list);
                   },
                   [&](controls::TabStrip* tabs) {
                       tabs->Create(container, bounds);
                       withFont(*tabs);
                       int position = 0;
                       for (const TabDesign& tab : TabDesigns())
                           tabs->Add(position++, tab.key, tab.caption);
                   },
               },
               SlotOf(design.name, design.index));
}

} // namespace korrimat
