#include "platform/Console.h"

#include "platform/Text.h"
#include "platform/UniqueHandle.h"

#include <shellapi.h>

#include <algorithm>

namespace korrimat {

std::vector<std::string> CommandLineArguments()
{
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    const UniqueLocal owned(reinterpret_cast<HLOCAL>(arguments));
    std::vector<std::string> texts;
    for (int i = 1; arguments && i < count; ++i)
        texts.push_back(NarrowText(arguments[i]));
    return texts;
}

ConsoleStream::ConsoleStream(DWORD standardHandle) : handle_(::GetStdHandle(standardHandle))
{
    DWORD mode = 0;
    console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle_, &mode);
}

bool ConsoleStream::Write(std::string_view text)
{
    if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE)
        return false;
    if (console_) {
        const std::wstring wide = WideText(text);
        DWORD written = 0;
        return ::WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != FALSE;
    }
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 20));
        if (!::WriteFile(handle_, text.data(), piece, &written, nullptr) || written == 0)
            return false;
        text.remove_prefix(written);
    }
    return true;
}

} // namespace korrimat
