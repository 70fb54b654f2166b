#pragma once
// The clipboard: writing it as a seam a test overrides to make it refuse, reading it plainly.

#include <windows.h>

#include <optional>
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

// The clipboard's text (CF_UNICODETEXT) in the active code page; nothing when it holds none or
// cannot be opened.
[[nodiscard]] std::optional<std::string> ClipboardText(HWND owner);

} // namespace korrimat
