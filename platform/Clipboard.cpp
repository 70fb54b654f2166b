#include "platform/Clipboard.h"

#include "platform/Text.h"
#include "platform/UniqueHandle.h"

#include <cstring>

namespace korrimat {

namespace {

// The clipboard, open for one change and closed again at the end of the scope. Another program
// may hold it for a moment: a few tries.
class ClipboardScope {
public:
    explicit ClipboardScope(HWND owner)
    {
        for (int attempt = 0; attempt < 5 && !open_; ++attempt) {
            open_ = ::OpenClipboard(owner) != FALSE;
            if (!open_)
                ::Sleep(20);
        }
    }
    ~ClipboardScope()
    {
        if (open_)
            ::CloseClipboard();
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    bool Open() const noexcept { return open_; }

private:
    bool open_ = false;
};

} // namespace

bool ClipboardWriter::CopyText(HWND owner, const std::string& text) const
{
    const std::wstring wide = WideText(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    void* data = memory ? ::GlobalLock(memory.Get()) : nullptr;
    if (!data)
        return false;
    std::memcpy(data, wide.c_str(), bytes);
    ::GlobalUnlock(memory.Get());
    const ClipboardScope clipboard(owner);
    if (!clipboard.Open() || !::EmptyClipboard() || !::SetClipboardData(CF_UNICODETEXT, memory.Get()))
        return false;
    // The clipboard owns the memory now.
    memory.Release();
    return true;
}

std::optional<std::string> ClipboardText(HWND owner)
{
    const ClipboardScope clipboard(owner);
    if (!clipboard.Open())
        return std::nullopt;
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const auto* text = data ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr;
    if (!text)
        return std::nullopt;
    // The block may hold no terminating zero: read no further than its size.
    const std::size_t capacity = ::GlobalSize(data) / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < capacity && text[length] != L'\0')
        ++length;
    std::string narrow = NarrowText(std::wstring_view(text, length));
    ::GlobalUnlock(data);
    return narrow;
}

} // namespace korrimat
