#pragma once
// The clipboard, as a seam a test overrides to make it refuse.

#include <windows.h>

#include <string>

namespace korrimat {

class ClipboardWriter {
public:
    virtual ~ClipboardWriter() = default;
    // The text on the clipboard in UTF-16 (CF_UNICODETEXT), with `owner` as its owner; false when
    // the clipboard could not be opened or did not take it. Another program may hold the
    // clipboard for a moment: it is tried a few times.
    [[nodiscard]] virtual bool CopyText(HWND owner, const std::string& text) const;
};

} // namespace korrimat
