#include "platform/Locale.h"

#include "platform/Text.h"

namespace korrimat {

std::optional<FILETIME> LocalFileTime(const FILETIME& utc)
{
    FILETIME local{};
    if (!::FileTimeToLocalFileTime(&utc, &local))
        return std::nullopt;
    return local;
}

std::optional<SYSTEMTIME> SystemTimeOf(const FILETIME& time)
{
    SYSTEMTIME parts{};
    if (!::FileTimeToSystemTime(&time, &parts))
        return std::nullopt;
    return parts;
}

std::string LocaleText(LCTYPE type)
{
    // The wide call, converted here: the narrow one converts with the locale's own ANSI code
    // page, not the process's, so that a date picture holding "年" would come back as "?".
    const int size = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    const int written = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text.data(), size);
    if (written <= 0)
        return {};
    text.resize(static_cast<std::size_t>(written));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return NarrowText(text);
}

std::string UpperCase(const std::string& text)
{
    // Through UTF-16 so that a multi-byte code page is upper-cased character by character,
    // never byte by byte.
    std::wstring wide = WideText(text);
    if (wide.empty())
        return text;
    ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    std::string upper = NarrowText(wide);
    return upper.empty() ? text : upper;
}

} // namespace korrimat
