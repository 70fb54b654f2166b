// The decoding of a version resource's fixed part: any 52 bytes as the record. Each text is
// checked against the numbers it is made from, worked out here by other means.

#include "fuzz/FuzzInput.h"
#include "versioninfo/FixedVersionDecoding.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <string>

using namespace korrimat;

namespace {

void Require(bool holds)
{
    if (!holds)
        std::abort();
}

// "a.bb.ccdd" or "a.bb.dddd": a's digits, a dot, at least two digits of b, a dot, then digits.
void CheckVersionText(const std::string& text, std::uint32_t most, std::uint32_t least)
{
    const std::string major = std::to_string(most >> 16) + ".";
    Require(text.starts_with(major));
    const std::size_t secondDot = text.find('.', major.size());
    Require(secondDot != std::string::npos && secondDot - major.size() >= 2);
    Require(std::stoul(text.substr(major.size(), secondDot - major.size())) == (most & 0xFFFF));
    const std::string last = text.substr(secondDot + 1);
    Require(last.size() >= 4 && last.find_first_not_of("0123456789") == std::string::npos);
    const std::uint32_t c = least >> 16, d = least & 0xFFFF;
    const std::string expected = c == 0 ? std::to_string(d) : std::to_string(c) + (d < 10 ? "0" : "") + std::to_string(d);
    Require(std::stoul(last) == std::stoul(expected));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const auto fields = input.Take<FixedFileFields>();
    const FixedVersionTexts texts = DecodeFixedVersion(fields);

    Require(texts.VerStructure ==
            std::to_string(fields.structVersion >> 16) + "." + std::to_string(fields.structVersion & 0xFFFF));
    CheckVersionText(texts.VerFile, fields.fileVersionMS, fields.fileVersionLS);
    CheckVersionText(texts.VerProduct, fields.productVersionMS, fields.productVersionLS);

    // One word per known flag set, single spaces between, none at the ends.
    const int words = texts.FileFlags.empty() ? 0 : 1 + static_cast<int>(std::count(texts.FileFlags.begin(), texts.FileFlags.end(), ' '));
    Require(words == std::popcount(fields.flags & 0x3Fu));
    Require(texts.FileFlags.find("  ") == std::string::npos && !texts.FileFlags.starts_with(' ') && !texts.FileFlags.ends_with(' '));

    Require(!texts.FileOS.empty() && !texts.FileType.empty());
    const bool hasSubtypes = fields.type == fixed_values::kTypeDriver || fields.type == fixed_values::kTypeFont;
    Require(hasSubtypes || !texts.FileSubType);
    return 0;
}
