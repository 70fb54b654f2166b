#pragma once
// The conversions between the active code page (UTF-8 under Korrimat's manifest) and UTF-16, and
// the plain helpers of formats/PlainText.h with them.

#include "formats/PlainText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korrimat {

// Conversions between the active code page and UTF-16, whole characters at a time.
std::wstring WideText(std::string_view text);
std::string NarrowText(std::wstring_view text);
// The narrow form of a name that must stay the same name: nothing when a character has no place
// in the code page (no best-fit letters, which could name another, existing file).
std::optional<std::string> ExactNarrowText(std::wstring_view text);

// The bytes of the character at a position in the active code page: a whole sequence under
// UTF-8, a lead byte with its trail byte under a double-byte code page, else one; never past the
// end of the text.
std::size_t NarrowCharacterLength(std::string_view text, std::size_t position);

} // namespace korrimat
