#include "platform/Text.h"

#include <windows.h>

#include <algorithm>

namespace korrimat {

namespace {

// UTF-16 to the active code page; `exact`: nothing rather than a best-fit or lost character.
std::optional<std::string> ToNarrow(std::wstring_view text, bool exact)
{
    if (text.empty())
        return exact ? std::nullopt : std::optional<std::string>(std::string());
    // Only a code page other than UTF-8 can lose a character, and only it may be asked about it.
    const bool checked = exact && ::GetACP() != CP_UTF8;
    const DWORD flags = checked ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL lost = FALSE;
    const int size = static_cast<int>(text.size());
    const int length =
        ::WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr, checked ? &lost : nullptr);
    if (length <= 0 || lost)
        return exact ? std::nullopt : std::optional<std::string>(std::string());
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, flags, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

} // namespace

std::wstring WideText(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string NarrowText(std::wstring_view text)
{
    return ToNarrow(text, false).value_or(std::string());
}

std::optional<std::string> ExactNarrowText(std::wstring_view text)
{
    return ToNarrow(text, true);
}

std::size_t NarrowCharacterLength(std::string_view text, std::size_t position)
{
    if (::GetACP() == CP_UTF8)
        return Utf8CharacterLength(text, position);
    const std::size_t length = ::IsDBCSLeadByte(static_cast<BYTE>(text[position])) ? 2 : 1;
    return std::min(length, text.size() - position);
}

} // namespace korrimat
