#pragma once
// One helper for the "size, then fill" calls (GetFullPathNameA, GetShortPathNameA,
// GetEnvironmentVariableA...): they return the count written, without the terminator, when the
// text fits, and the size they need, terminator included, when it does not.

#include <cstddef>
#include <optional>
#include <string>

namespace korrimat {

// `fill(buffer, capacity)` calls the platform with a buffer of `capacity` characters and returns
// its count. Nothing is returned when the platform reports failure (0). The buffer grows to what
// the platform asks for; a bounded number of rounds guards against a text that keeps growing.
// Char is wchar_t for the wide ("W") calls.
template <typename Char = char, typename Fill>
std::optional<std::basic_string<Char>> FillSizedText(Fill fill, std::size_t capacity = 260)
{
    std::basic_string<Char> buffer;
    for (int round = 0; round < 4; ++round) {
        buffer.assign(capacity, Char{});
        const std::size_t count = fill(buffer.data(), capacity);
        if (count == 0)
            return std::nullopt;
        if (count < capacity) {
            buffer.resize(count);
            return buffer;
        }
        capacity = count + 1;
    }
    return std::nullopt;
}

} // namespace korrimat
