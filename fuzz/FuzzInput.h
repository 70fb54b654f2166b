#pragma once
// Taking a fuzzer's bytes apart: fixed-size values from the front, then pieces of the rest.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace korrimat::fuzz {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    // A value from the next bytes (zero-filled when they run out).
    template <typename Value>
    Value Take()
    {
        Value value{};
        const std::size_t count = rest_.size() < sizeof(value) ? rest_.size() : sizeof(value);
        std::memcpy(&value, rest_.data(), count);
        rest_.remove_prefix(count);
        return value;
    }

    // The bytes up to the next zero byte (or the end), which is passed over.
    std::string_view Piece()
    {
        const std::size_t end = rest_.find('\0');
        const std::string_view piece = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return piece;
    }

private:
    std::string_view rest_;
};

// Whether text is well-formed UTF-8: every sequence whole, no stray continuation byte.
inline bool IsUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

} // namespace korrimat::fuzz
