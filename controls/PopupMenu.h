#pragma once
// A context menu: made, shown at a point until the user chooses or dismisses it, and destroyed.

#include "platform/UniqueHandle.h"
#include "controls/Control.h"
#include "controls/Form.h"

#include <string_view>

namespace korrimat::controls {

class PopupMenu {
public:
    PopupMenu();

    // "&" marks the item's access letter; a tab, the key shown at the right.
    void Add(int command, std::string_view text, bool enabled = true);
    void AddSeparator();
    // Shows the menu at a screen point for `owner`; the command chosen, 0 when none was.
    int Show(const Form& owner, POINT at) const;

private:
    UniqueMenu menu_;
};

} // namespace korrimat::controls
