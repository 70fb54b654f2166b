#pragma once
// Sums files' texts for the tests: well-known values, and a text padded to an exact size.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace korrimat::testing {

// The digests of no bytes at all.
inline constexpr std::string_view kEmptyMd5 = "d41d8cd98f00b204e9800998ecf8427e";
inline constexpr std::string_view kEmptySha1 = "da39a3ee5e6b4b0d3255bfef95601890afd80709";
inline constexpr std::string_view kEmptySha256 = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

// The text with comment lines of at most 1,000 characters added until it is `size` bytes long.
inline std::string PaddedWithComments(std::string text, std::size_t size)
{
    while (text.size() < size) {
        std::string line(std::min<std::size_t>(1000, size - text.size()), 'x');
        line.front() = '#';
        line.back() = '\n';  // a line of one byte is blank
        text += line;
    }
    return text;
}

} // namespace korrimat::testing
