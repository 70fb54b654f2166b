#pragma once
// A list of text lines in the order added, one of which can be selected.

#include "controls/Control.h"

#include <cstdint>

namespace korrimat::controls {

class ListBox : public Control {
public:
    [[nodiscard]] bool Create(WindowBase& container, const Bounds& bounds);

    // Adds an entry at the end, with a number of the caller's own that stays with it.
    void Add(std::string_view text, std::intptr_t data = -1);
    void Clear();
    int Count() const;
    // The entry's text; empty when there is no such entry.
    std::string Item(int index) const;
    // The number given with the entry; -1 when there is no such entry.
    std::intptr_t Data(int index) const;
    // The entry at a point on the screen; -1 when no entry is there.
    int IndexAt(POINT screen) const;
    // -1 when nothing is selected.
    int SelectedIndex() const;
    // Selects the entry and raises onClick, as a click does; -1 clears the selection (no event).
    void SetSelectedIndex(int index);

    Event onClick;

protected:
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace korrimat::controls
