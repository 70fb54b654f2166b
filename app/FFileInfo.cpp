// FFileInfo made from its design: creation, fonts and layout at the window's density.

#include "app/FFileInfo.h"
#include "platform/Trace.h"

#include "app/resources/resource.h"
#include "versioninfo/VersionItems.h"
#include "controls/Gdi.h"

#include <algorithm>

namespace korrimat {

FFileInfo::FFileInfo(const Platform& platform)
    : platform_(platform), slowFacts_(platform.Threads()), hashJob_(platform.Threads()), watchJob_(platform.Threads()),
      pageHashes_(platform.Threads()), fileComparison_(platform.Threads())
{
    if (!Create(kWindowSettings.caption, ClientSizeInPixels, IDI_KORRIMAT))
        return;
    // Each control is made in its font where the layout puts it: nothing is placed twice. The
    // pages not in front are made when they first come forward (MakePage).
    MakeFonts();
    // A window whose controls cannot all be made does not open half-made.
    if (!CreateControls(*this, "")) {
        Destroy();
        return;
    }
    ConnectEvents();
    ConnectCommands();
    AcceptDroppedFiles();
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

void FFileInfo::OnDestroy()
{
    // No worker outlives the window it posts to.
    StopWork();
    controls::EndMessageLoop();
}

void FFileInfo::FollowColours()
{
    for (controls::WindowBase* page : {&frmGeneral, &frmVersion, &frmSignatures, &frmHashes, &frmProgram})
        page->SetBackColor(BackColor());
    RecolourVerdicts();
}

void FFileInfo::ApplyOpeningLayout()
{
    FitPagesToTabs();
    frmGeneral.SetBackColor(BackColor());
    frmVersion.SetBackColor(BackColor());
    frmVersion.SetVisible(false);
    frmSignatures.SetBackColor(BackColor());
    frmSignatures.SetVisible(false);
    frmHashes.SetBackColor(BackColor());
    frmHashes.SetVisible(false);
    frmProgram.SetBackColor(BackColor());
    frmProgram.SetVisible(false);
    prgHashes.SetVisible(false);
}

void FFileInfo::FitPagesToTabs()
{
    const controls::Bounds pages = tabInfo.ClientArea();
    frmGeneral.Move(pages);
    frmVersion.Move(pages);
    frmSignatures.Move(pages);
    frmHashes.Move(pages);
    frmProgram.Move(pages);
}

void FFileInfo::MakeFonts()
{
    const int fontHeight = DesignFontHeight(Density());
    tahomaBold_ = controls::MakeFont(kTahomaFace, fontHeight, FW_BOLD);
    windowFont_ = controls::MakeFont(kWindowFontFace, fontHeight, FW_NORMAL);
    verdictFont_ = controls::MakeFont(kTahomaFace, VerdictFontHeight(Density()), FW_BOLD);
    SetFont(windowFont_.Get());
}

void FFileInfo::LayOut()
{
    // The fonts in use go only once no control holds them any more.
    const UniqueFont oldBold = std::move(tahomaBold_);
    const UniqueFont oldWindowFont = std::move(windowFont_);
    const UniqueFont oldVerdictFont = std::move(verdictFont_);
    MakeFonts();
    // The controls of a page not made yet are left alone: they are made at the density of then.
    for (const ControlDesign& design : ControlDesigns())
        PlaceControl(design);
    if (loaded_)
        FitLoadedLayout();
    Redraw();
}

void FFileInfo::FitLoadedLayout()
{
    // Each highlight line exactly one screen pixel below its shadow line, whatever the density.
    for (std::size_t i = 1; i < Line1.size(); i += 2) {
        Line1[i].SetY1(Line1[i - 1].Y1() + 1);
        Line1[i].SetY2(Line1[i].Y1());
    }
    // The icon box holds exactly one large icon at the window's density.
    const int icon = Density().LargeIconSize();
    picIcon.SetSize(icon, icon);
    FitPagesToTabs();
}

HFONT FFileInfo::FontOf(DesignFont font) const noexcept
{
    switch (font) {
    case DesignFont::TahomaBold:
        return tahomaBold_.Get();
    case DesignFont::WindowFont:
        return windowFont_.Get();
    case DesignFont::VerdictBold:
        return verdictFont_.Get();
    default:
        return nullptr;
    }
}

controls::Control* FFileInfo::ControlNamed(std::string_view name, int index)
{
    const ControlDesign* design = FindControlDesign(name, index);
    return design && design->slot.control ? design->slot.control(*this) : nullptr;
}

bool FFileInfo::CreateControls(controls::WindowBase& container, std::string_view containerName)
{
    // Created in ascending tab index: that is the z-order, and the dialog keys follow it. Fonts
    // and whatever follows from them come with the layout.
    const DesignContext context{Density(), platform_,
                                [](void* window, controls::WindowBase& frame, std::string_view name) {
                                    return static_cast<FFileInfo*>(window)->CreateControls(frame, name);
                                },
                                [](const void* window, DesignFont font) { return static_cast<const FFileInfo*>(window)->FontOf(font); },
                                this};
    for (const ControlDesign* design : ChildrenInTabOrder(containerName)) {
        if (!design->slot.create(*this, container, *design, context)) {
            TraceFailure("FFileInfo: the control " + std::string(design->name) + " could not be created");
            return false;
        }
        if (design->slot.Is<controls::Line>())
            continue;
        // The font first: the drive list's and the tab strip's heights follow it.
        if (HFONT font = FontOf(design->font))
            design->slot.control(*this)->SetFont(font);
        if (design->flags & kFitToText)
            design->slot.As<controls::Label>(*this).FitWidthToText();
    }
    return true;
}

void FFileInfo::MakeEveryPage()
{
    for (const ControlDesign& design : ControlDesigns()) {
        if ((design.flags & kMadeWhenShown) && !MakePage(design.slot.As<controls::Frame>(*this)))
            TraceFailure("FFileInfo: the controls of " + std::string(design.name) + " could not all be made");
    }
}

bool FFileInfo::MakePage(controls::Frame& page)
{
    const ControlDesign* pageDesign = nullptr;
    for (const ControlDesign& design : ControlDesigns()) {
        if ((design.flags & kMadeWhenShown) && design.slot.control(*this) == &page)
            pageDesign = &design;
    }
    if (!pageDesign || std::find(madePages_.begin(), madePages_.end(), pageDesign->name) != madePages_.end())
        return true;
    madePages_.push_back(pageDesign->name);
    if (!CreateControls(page, pageDesign->name))
        return false;
    // What the page shows of the entry shown, as if it had been there all along.
    if (&page == &frmVersion) {
        // Each entry keeps the row of the item table it stands for.
        for (std::size_t row = 0; row < kVersionItems.size(); ++row) {
            if (!kVersionItems[row].caption.empty())
                lstVerInfo.Add(kVersionItems[row].caption, static_cast<std::intptr_t>(row));
        }
        if (shown_.version)
            ShowVersionPage(0);
    } else if (&page == &frmSignatures) {
        if (slowFacts_.Running())
            ShowSignaturePage();
        else
            FillSignaturePage();
    } else if (&page == &frmHashes) {
        prgHashes.SetVisible(false);
        ShowSumsVerdicts();
        ShowTypedHashVerdict();
    }
    return true;
}

void FFileInfo::PlaceControl(const ControlDesign& design)
{
    WindowControls& all = *this;
    const controls::PixelDensity density = Density();
    if (design.slot.Is<controls::Line>()) {
        controls::Line& line = *design.slot.line(all);
        if (controls::WindowBase* container = line.Container()) {
            const LinePoints points = LineToPixels(design, density);
            line.Create(*container, points.from, points.to, line.SystemColour());
        }
        return;
    }
    controls::Control& control = *design.slot.control(all);
    if (!control.Handle())
        return;
    HFONT font = FontOf(design.font);
    // The font first: the drive list's and the tab strip's heights follow it.
    if (font)
        control.SetFont(font);
    control.Move(PlacedBounds(design, density, font));
    if (design.flags & kFitToText)
        design.slot.As<controls::Label>(all).FitWidthToText();
}

} // namespace korrimat
