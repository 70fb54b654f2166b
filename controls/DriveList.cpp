#include "controls/DriveList.h"
#include "controls/Colours.h"

#include "platform/Drives.h"

#include "platform/Text.h"
#include "controls/Gdi.h"
#include "controls/ListDrawing.h"
#include "platform/PathText.h"

#include <algorithm>

namespace korrimat::controls {

namespace {

constexpr int kRowsWhenDropped = 8;

} // namespace

bool DriveList::Create(WindowBase& container, const Bounds& bounds)
{
    icons_ = SystemListIcons();
    constexpr DWORD kStyle =
        WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
    closedHeight_ = bounds.height;
    Bounds dropped = bounds;
    dropped.height = bounds.height * (kRowsWhenDropped + 1);
    if (!CreateChild(container, "COMBOBOX", kStyle, 0, dropped, {}))
        return false;
    if (auto letter = DriveLetterOf(CurrentFolder()))
        current_ = *letter;
    Fill(DriveLetters(), false);
    FitHeights();
    return true;
}

void DriveList::Move(const Bounds& bounds)
{
    closedHeight_ = bounds.height;
    Bounds dropped = bounds;
    dropped.height = bounds.height * (kRowsWhenDropped + 1);
    Control::Move(dropped);
    FitHeights();
}

std::string DriveList::Drive() const
{
    return currentText_;
}

bool DriveList::SetDrive(std::string_view path)
{
    const auto letter = DriveLetterOf(path);
    if (!letter)
        return false;
    int index = IndexOf(*letter);
    if (index < 0) {
        Refresh();
        index = IndexOf(*letter);
    }
    if (index < 0)
        return false;
    ::SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Commit(index);
    return true;
}

void DriveList::Refresh()
{
    Fill(Drives(), true);
}

void DriveList::Fill(std::vector<DriveFacts> drives, bool described)
{
    if (!Handle())
        return;
    drives_.clear();
    for (DriveFacts& drive : drives) {
        const ListImage image = described ? DriveImage(drive.root) : ListImage{};
        drives_.push_back({std::move(drive), image, described});
    }
    ::SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
    for (const DriveEntry& drive : drives_)
        ::SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive.facts.text.c_str()));
    const int index = IndexOf(current_);
    if (index >= 0) {
        Describe(index);
        currentText_ = drives_[static_cast<std::size_t>(index)].facts.text;
        ::SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void DriveList::Describe(int index)
{
    if (index < 0 || index >= Count() || drives_[static_cast<std::size_t>(index)].described)
        return;
    DriveEntry& drive = drives_[static_cast<std::size_t>(index)];
    AddDriveLabel(drive.facts);
    drive.image = DriveImage(drive.facts.root);
    drive.described = true;
    // The entry's text in the box follows, the selection kept.
    const LRESULT selected = ::SendMessageA(Handle(), CB_GETCURSEL, 0, 0);
    ::SendMessageA(Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    ::SendMessageA(Handle(), CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(drive.facts.text.c_str()));
    if (selected >= 0)
        ::SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

std::string DriveList::Item(int index) const
{
    return index >= 0 && index < Count() ? drives_[static_cast<std::size_t>(index)].facts.text : std::string();
}

int DriveList::SelectedIndex() const
{
    return Handle() ? static_cast<int>(::SendMessageA(Handle(), CB_GETCURSEL, 0, 0)) : -1;
}

int DriveList::IndexOf(char letter) const
{
    for (std::size_t i = 0; i < drives_.size(); ++i) {
        if (drives_[i].facts.letter == letter)
            return static_cast<int>(i);
    }
    return -1;
}

void DriveList::Commit(int index)
{
    if (index < 0 || index >= Count())
        return;
    Describe(index);
    const DriveEntry& drive = drives_[static_cast<std::size_t>(index)];
    if (drive.facts.letter == current_)
        return;
    current_ = drive.facts.letter;
    currentText_ = drive.facts.text;
    Raise(onChange);
}

bool DriveList::OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message != WM_PAINT || !DarkScheme())
        return false;
    // The system draws the box's edge and its button in light colours only: its own painting
    // first (the entry is drawn by DrawListEntry), then those two over it in the scheme's.
    result = CallDefault(message, wParam, lParam);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetComboBoxInfo(Handle(), &info))
        return true;
    const WindowDc dc(Handle());
    RECT client{};
    ::GetClientRect(Handle(), &client);
    DrawSunkenEdge(dc.Dc(), client);
    const RECT button = info.rcButton;
    ::FillRect(dc.Dc(), &button, SchemeBrush(COLOR_BTNFACE));
    // A small arrow pointing down, in the middle of the button.
    const int half = std::max<int>(2, (button.right - button.left) / 5);
    const int x = (button.left + button.right) / 2;
    const int y = (button.top + button.bottom) / 2 - half / 2;
    const POINT arrow[3] = {{x - half, y}, {x + half, y}, {x, y + half}};
    const UniqueBrush fill(::CreateSolidBrush(SchemeColour(COLOR_BTNTEXT)));
    const UniquePen edge(::CreatePen(PS_SOLID, 1, SchemeColour(COLOR_BTNTEXT)));
    SelectedObject brush(dc.Dc(), fill.Get());
    SelectedObject pen(dc.Dc(), edge.Get());
    ::Polygon(dc.Dc(), arrow, 3);
    return true;
}

bool DriveList::OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_DRAWITEM) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    if (message != WM_COMMAND)
        return false;
    switch (HIWORD(wParam)) {
    case CBN_DROPDOWN:
        Refresh();
        break;
    case CBN_SELCHANGE:
        // Moving through the open list only chooses when the list closes; with the list
        // closed (arrow keys, wheel) every move is a choice.
        if (!::SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0))
            Commit(SelectedIndex());
        break;
    case CBN_SELENDOK:
        Commit(SelectedIndex());
        break;
    case CBN_SELENDCANCEL:
        ::SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(IndexOf(current_)), 0);
        break;
    default:
        return false;
    }
    result = 0;
    return true;
}

void DriveList::FitHeights()
{
    if (!Handle())
        return;
    const int row = std::max(static_cast<int>(FontMetrics(Font()).tmHeight), Density().SmallIconSize());
    ::SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, row);
    // The closed box's height follows its selection field's: adjust that until the box has the
    // height asked for (some implementations add a padding to the value set).
    auto requested = static_cast<int>(::SendMessageA(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int difference = closedHeight_ - GetBounds().height;
        if (difference == 0)
            break;
        requested = std::max(requested + difference, 1);
        ::SendMessageA(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), requested);
    }
}

void DriveList::Draw(const DRAWITEMSTRUCT& item)
{
    const int index = static_cast<int>(item.itemID);
    if (index < 0 || index >= Count()) {
        DrawListEntry(icons_, item, Density(), Font(), {}, {}, 0);
        return;
    }
    const DriveEntry& drive = drives_[static_cast<std::size_t>(index)];
    DrawListEntry(icons_, item, Density(), Font(), drive.facts.text, drive.image, 0);
}

} // namespace korrimat::controls
