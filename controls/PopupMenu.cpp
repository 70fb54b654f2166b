#include "controls/PopupMenu.h"

#include <string>

namespace korrimat::controls {

PopupMenu::PopupMenu() : menu_(::CreatePopupMenu()) {}

void PopupMenu::Add(int command, std::string_view text, bool enabled)
{
    if (menu_)
        ::AppendMenuA(menu_.Get(), MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), static_cast<UINT_PTR>(command),
                      std::string(text).c_str());
}

void PopupMenu::AddSeparator()
{
    if (menu_)
        ::AppendMenuA(menu_.Get(), MF_SEPARATOR, 0, nullptr);
}

int PopupMenu::Show(const Form& owner, POINT at) const
{
    if (!menu_ || !owner.Handle())
        return 0;
    return static_cast<int>(::TrackPopupMenu(menu_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y,
                                             0, owner.Handle(), nullptr));
}

} // namespace korrimat::controls
