#include "controls/Line.h"
#include "controls/Colours.h"

#include "platform/UniqueHandle.h"
#include "controls/Control.h"
#include "controls/Gdi.h"

#include <algorithm>

namespace korrimat::controls {

Line::~Line()
{
    if (container_)
        container_->RemoveLine(*this);
}

void Line::Create(WindowBase& container, POINT from, POINT to, int systemColour)
{
    if (container_)
        container_->RemoveLine(*this);
    container_ = &container;
    from_ = from;
    to_ = to;
    colour_ = systemColour;
    container.AddLine(*this);
    Invalidate();
}

void Line::SetY1(int y)
{
    Invalidate();
    from_.y = y;
    Invalidate();
}

void Line::SetY2(int y)
{
    Invalidate();
    to_.y = y;
    Invalidate();
}

void Line::Paint(HDC dc) const
{
    UniquePen pen(::CreatePen(PS_SOLID, 1, SchemeColour(colour_)));
    SelectedObject selected(dc, pen.Get());
    ::MoveToEx(dc, from_.x, from_.y, nullptr);
    ::LineTo(dc, to_.x, to_.y);
    // LineTo leaves out the last point; the line includes both of its ends.
    ::SetPixel(dc, to_.x, to_.y, SchemeColour(colour_));
}

void Line::Invalidate() const
{
    if (!container_ || !container_->Handle())
        return;
    RECT area{std::min(from_.x, to_.x), std::min(from_.y, to_.y), std::max(from_.x, to_.x) + 1,
              std::max(from_.y, to_.y) + 1};
    ::InvalidateRect(container_->Handle(), &area, TRUE);
}

} // namespace korrimat::controls
