#include "app/FFileInfo.h"

#include "app/resources/resource.h"
#include "platform/controls/Gdi.h"

#include <algorithm>

namespace korrimat {

namespace {

template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

// What the shell sends with a drop (0x0049 carries the dropped names across processes). Run as
// administrator, the window would otherwise never see them from the shell, which has fewer rights.
constexpr UINT kDropMessages[] = {WM_DROPFILES, WM_COPYDATA, 0x0049};
// Sent before a change of density so that the window can name its new size (Windows 10 1703 on).
constexpr UINT kGetDpiScaledSize = 0x02E4;

// Functions of later Windows versions than the program needs, looked up where they exist.
template <typename Function>
Function User32Function(const char* name)
{
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

// The density of the monitor a window is on; 0 where the system cannot tell (before Windows 10).
int WindowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    return getDpiForWindow ? static_cast<int>(getDpiForWindow(window)) : 0;
}

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
    bigIcon_ = LoadProgramIcon(instance, ::GetSystemMetrics(SM_CXICON));
    smallIcon_ = LoadProgramIcon(instance, ::GetSystemMetrics(SM_CXSMICON));
    // Without the program icon (a build without resources) the system's application icon stands in.
    HICON fallback = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));

    const SIZE client = ClientSizeInPixels(screen_);
    if (!Create(kWindowSettings.caption, client.cx, client.cy, bigIcon_ ? bigIcon_.Get() : fallback,
                smallIcon_ ? smallIcon_.Get() : fallback))
        return;
    // The monitor the window opened on may have another density than the system's.
    if (const int dpi = WindowDpi(Handle()); dpi > 0 && dpi != screen_.DpiY()) {
        screen_ = controls::Screen(dpi, dpi);
        FitClientSize(nullptr);
    }
    CreateControls(*this, "");
    LayOut();
    ConnectEvents();
    ::DragAcceptFiles(Handle(), TRUE);
    for (UINT message : kDropMessages)
        ::ChangeWindowMessageFilterEx(Handle(), message, MSGFLT_ALLOW, nullptr);
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
    FitPagesToTabs();
    frmGeneral_.SetBackColor(BackColor());
    frmVersion_.SetBackColor(BackColor());
    frmVersion_.SetVisible(false);
}

void FFileInfo::FitPagesToTabs()
{
    const controls::Bounds pages = tabInfo_.ClientArea();
    frmGeneral_.Move(pages);
    frmVersion_.Move(pages);
}

void FFileInfo::OnDestroy()
{
    ::PostQuitMessage(0);
}

LRESULT FFileInfo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(controls::Screen(LOWORD(wParam), HIWORD(wParam)), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case kGetDpiScaledSize: {
        auto* size = reinterpret_cast<SIZE*>(lParam);
        return size && ScaledWindowSize(static_cast<int>(wParam), *size) ? TRUE : FALSE;
    }
    default:
        return Form::HandleMessage(message, wParam, lParam);
    }
}

void FFileInfo::OnDpiChanged(const controls::Screen& screen, const RECT* suggested)
{
    screen_ = screen;
    // The place the system suggests keeps the window on the monitor that asked; the size is the
    // design's at the new density, which the suggested rectangle may miss by a rounding.
    const POINT topLeft = suggested ? POINT{suggested->left, suggested->top} : POINT{};
    FitClientSize(suggested ? &topLeft : nullptr);
    LayOut();
}

bool FFileInfo::ScaledWindowSize(int dpi, SIZE& size) const
{
    using AdjustFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = User32Function<AdjustFunction>("AdjustWindowRectExForDpi");
    if (!adjust || dpi <= 0)
        return false;
    const SIZE client = ClientSizeInPixels(controls::Screen(dpi, dpi));
    RECT outer{0, 0, client.cx, client.cy};
    if (!adjust(&outer, static_cast<DWORD>(::GetWindowLongA(Handle(), GWL_STYLE)), FALSE,
                static_cast<DWORD>(::GetWindowLongA(Handle(), GWL_EXSTYLE)), static_cast<UINT>(dpi)))
        return false;
    size = {outer.right - outer.left, outer.bottom - outer.top};
    return true;
}

void FFileInfo::FitClientSize(const POINT* topLeft)
{
    if (::IsIconic(Handle())) {
        // Minimised: the size it will be restored to.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        SIZE size{};
        if (!::GetWindowPlacement(Handle(), &placement) || !ScaledWindowSize(screen_.DpiY(), size))
            return;
        RECT& normal = placement.rcNormalPosition;
        normal.right = normal.left + size.cx;
        normal.bottom = normal.top + size.cy;
        ::SetWindowPlacement(Handle(), &placement);
        return;
    }
    const SIZE wanted = ClientSizeInPixels(screen_);
    // The frame's own size may change with the move, so measure again after each step.
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT outer{};
        RECT client{};
        ::GetWindowRect(Handle(), &outer);
        ::GetClientRect(Handle(), &client);
        const int extraWidth = wanted.cx - client.right;
        const int extraHeight = wanted.cy - client.bottom;
        const bool moved = !topLeft || (outer.left == topLeft->x && outer.top == topLeft->y);
        if (extraWidth == 0 && extraHeight == 0 && moved)
            return;
        ::SetWindowPos(Handle(), nullptr, topLeft ? topLeft->x : 0, topLeft ? topLeft->y : 0,
                       outer.right - outer.left + extraWidth, outer.bottom - outer.top + extraHeight,
                       SWP_NOZORDER | SWP_NOACTIVATE | (topLeft ? 0 : SWP_NOMOVE));
    }
}

void FFileInfo::CreateFonts()
{
    const int fontHeight = DesignFontHeight(screen_);
    tahomaBold_ = CreateDesignFont(kTahomaFace, fontHeight, FW_BOLD);
    windowFont_ = CreateDesignFont(kWindowFontFace, fontHeight, FW_NORMAL);
}

void FFileInfo::LayOut()
{
    // The fonts in use go only once no control holds them any more.
    const UniqueFont oldBold = std::move(tahomaBold_);
    const UniqueFont oldWindowFont = std::move(windowFont_);
    CreateFonts();
    ::SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_.Get()), FALSE);
    for (const ControlDesign& design : ControlDesigns())
        PlaceControl(design);
    if (loaded_)
        FitLoadedLayout();
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FFileInfo::FitLoadedLayout()
{
    // Each highlight line exactly one screen pixel below its shadow line, whatever the density.
    for (int i = 1; i < 6; i += 2) {
        Line1(i).SetY1(Line1(i - 1).Y1() + 1);
        Line1(i).SetY2(Line1(i).Y1());
    }
    // The icon box holds exactly one large icon, as the system draws it.
    picIcon_.SetSize(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
    FitPagesToTabs();
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
    // Created in place; fonts and whatever follows from them come with the layout.
    const controls::Bounds bounds = ToPixels(design, screen_);
    std::visit(Overloaded{
                   [](std::monostate) {},
                   [&](controls::Frame* frame) {
                       frame->Create(container, bounds, design.text, (design.flags & kBorder) != 0);
                       if (design.flags & kDisabled)
                           frame->SetEnabled(false);
                       CreateControls(*frame, design.name);
                   },
                   [&](controls::TextBox* textBox) {
                       const auto style = (design.flags & kMultiLine) ? controls::TextBoxStyle::MultiLine
                                                                      : controls::TextBoxStyle::DisplayField;
                       textBox->Create(container, bounds, style, design.text);
                   },
                   [&](controls::Label* label) { label->Create(container, bounds, design.text); },
                   [&](controls::CheckBox* checkBox) { checkBox->Create(container, bounds, design.text); },
                   [&](controls::PictureBox* picture) { picture->Create(container, bounds); },
                   [&](controls::Line* line) {
                       const LinePoints points = LineToPixels(design, screen_);
                       line->Create(container, points.from, points.to,
                                    (design.flags & kHighlight) ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
                   },
                   // The list box and the drive, folder and file lists need nothing but their place.
                   [&](auto* list) { list->Create(container, bounds); },
                   [&](controls::TabStrip* tabs) {
                       tabs->Create(container, bounds);
                       int position = 0;
                       for (const TabDesign& tab : TabDesigns())
                           tabs->Add(position++, tab.key, tab.caption);
                   },
               },
               SlotOf(design.name, design.index));
}

void FFileInfo::PlaceControl(const ControlDesign& design)
{
    HFONT font = FontOf(design.font);
    // A line of text is never cut at its foot: the design's height, rounded at another density,
    // can fall a pixel short of the font's, which rounds on its own.
    auto textBounds = [&] {
        controls::Bounds bounds = ToPixels(design, screen_);
        if (font)
            bounds.height = std::max(bounds.height, static_cast<int>(controls::FontMetrics(font).tmHeight));
        return bounds;
    };
    std::visit(Overloaded{
                   [](std::monostate) {},
                   [&](controls::Line* line) {
                       if (controls::WindowBase* container = line->Container()) {
                           const LinePoints points = LineToPixels(design, screen_);
                           line->Create(*container, points.from, points.to, line->SystemColour());
                       }
                   },
                   [&](controls::Label* label) {
                       label->Move(textBounds());
                       if (font)
                           label->SetFont(font);
                       if (design.flags & kFitToText)
                           label->FitWidthToText();
                   },
                   [&](controls::CheckBox* checkBox) {
                       if (font)
                           checkBox->SetFont(font);
                       checkBox->Move(textBounds());
                   },
                   // The font first: the drive list's and the tab strip's heights follow it.
                   [&](auto* control) {
                       if (font)
                           control->SetFont(font);
                       control->Move(ToPixels(design, screen_));
                   },
               },
               SlotOf(design.name, design.index));
}

} // namespace korrimat
