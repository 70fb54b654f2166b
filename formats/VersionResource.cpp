#include "formats/VersionResource.h"

#include "formats/PlainText.h"
#include "formats/VersionBlocks.h"

#include <algorithm>
#include <cstddef>

namespace korrimat {

namespace {

constexpr std::size_t kFixedSize = 13 * 4;

std::uint32_t DwordAt(std::span<const std::uint8_t> image, std::size_t offset)
{
    return static_cast<std::uint32_t>(VersionWord(image, offset)) |
           static_cast<std::uint32_t>(VersionWord(image, offset + 2)) << 16;
}

FixedFileFields ReadFixed(std::span<const std::uint8_t> image, std::size_t at)
{
    std::uint32_t fields[13] = {};
    for (std::size_t i = 0; i < 13; ++i)
        fields[i] = DwordAt(image, at + 4 * i);
    return {fields[0], fields[1], fields[2], fields[3],  fields[4],  fields[5], fields[6],
            fields[7], fields[8], fields[9], fields[10], fields[11], fields[12]};
}

// A string's value: UTF-16 up to its first zero, never past its own block. A value length of
// zero is an empty value, as the system's query reports it.
std::u16string TextValue(std::span<const std::uint8_t> image, const VersionBlock& block)
{
    std::u16string value;
    if (block.valueSize == 0)
        return value;
    for (std::size_t at = block.value; at + 2 <= block.end; at += 2) {
        const std::uint16_t character = VersionWord(image, at);
        if (character == 0)
            break;
        value.push_back(static_cast<char16_t>(character));
    }
    return value;
}

class ResourceWalk {
public:
    ResourceWalk(std::span<const std::uint8_t> image, std::size_t rootEnd, VersionResourceContents& contents)
        : image_(image), rootEnd_(rootEnd), contents_(contents)
    {
    }

    void Root(const VersionBlock& root)
    {
        if (!root.text && root.valueSize >= kFixedSize && root.value + kFixedSize <= root.end)
            contents_.fixed = ReadFixed(image_, root.value);
        Children(root, [&](const VersionBlock& part) {
            if (VersionKeyIs(image_, part, "StringFileInfo"))
                Children(part, [&](const VersionBlock& table) { StringTable(table); });
            else if (VersionKeyIs(image_, part, "VarFileInfo"))
                Children(part, [&](const VersionBlock& variable) { Variable(variable); });
        });
    }

private:
    template <typename Visit>
    void Children(const VersionBlock& parent, Visit visit)
    {
        if (!ForEachChildBlock(image_, parent, rootEnd_, visit))
            contents_.whole = false;
    }

    void StringTable(const VersionBlock& table)
    {
        VersionStringTable strings{VersionBlockKey(image_, table), {}};
        Children(table, [&](const VersionBlock& item) {
            strings.strings.push_back({VersionBlockKey(image_, item), TextValue(image_, item)});
        });
        contents_.tables.push_back(std::move(strings));
    }

    void Variable(const VersionBlock& variable)
    {
        if (!VersionKeyIs(image_, variable, "Translation"))
            return;
        // Pairs of words, language then code page; never past the block's own end.
        const std::size_t end = std::min(variable.value + variable.valueSize, variable.end);
        for (std::size_t at = variable.value; at + 4 <= end; at += 4)
            contents_.translations.push_back({VersionWord(image_, at), VersionWord(image_, at + 2)});
    }

    std::span<const std::uint8_t> image_;
    std::size_t rootEnd_;
    VersionResourceContents& contents_;
};

} // namespace

VersionResourceContents ReadVersionResource(std::span<const std::uint8_t> image)
{
    VersionResourceContents contents;
    const std::size_t rootEnd = image.size() < 2 ? 0 : std::min<std::size_t>(VersionWord(image, 0), image.size());
    const std::optional<VersionBlock> root = ReadVersionBlock(image, 0, rootEnd, rootEnd);
    if (!root) {
        contents.whole = false;
        return contents;
    }
    ResourceWalk(image, rootEnd, contents).Root(*root);
    return contents;
}

std::array<std::uint16_t, 4> VersionParts(std::uint32_t mostSignificant, std::uint32_t leastSignificant)
{
    return {static_cast<std::uint16_t>(mostSignificant >> 16), static_cast<std::uint16_t>(mostSignificant & 0xFFFF),
            static_cast<std::uint16_t>(leastSignificant >> 16), static_cast<std::uint16_t>(leastSignificant & 0xFFFF)};
}

std::u16string TranslationKey(const VersionTranslation& translation)
{
    const std::string digits = HexDigits(translation.language, 4) + HexDigits(translation.codePage, 4);
    return std::u16string(digits.begin(), digits.end());
}

TranslationTables MatchTranslations(const VersionResourceContents& contents)
{
    auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; };
    auto sameKey = [&](const std::u16string& a, const std::u16string& b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) { return upper(x) == upper(y); });
    };
    TranslationTables matched;
    std::vector<bool> named(contents.tables.size(), false);
    for (const VersionTranslation& translation : contents.translations) {
        const std::u16string key = TranslationKey(translation);
        std::optional<std::size_t> table;
        for (std::size_t i = 0; i < contents.tables.size() && !table; ++i) {
            if (sameKey(contents.tables[i].key, key))
                table = i;
        }
        if (table)
            named[*table] = true;
        matched.tableOfTranslation.push_back(table);
    }
    for (std::size_t i = 0; i < contents.tables.size(); ++i) {
        if (!named[i])
            matched.unnamedTables.push_back(i);
    }
    return matched;
}

std::string_view CodePageName(std::uint16_t codePage)
{
    switch (codePage) {
    case 0:
        return "7-bit ASCII";
    case 932:
        return "Japan (Shift JIS X-0208)";
    case 949:
        return "Korea (Shift KSC 5601)";
    case 950:
        return "Taiwan (Big5)";
    case 1200:
        return "Unicode";
    case 1250:
        return "Latin-2 (Eastern European)";
    case 1251:
        return "Cyrillic";
    case 1252:
        return "Multilingual";
    case 1253:
        return "Greek";
    case 1254:
        return "Turkish";
    case 1255:
        return "Hebrew";
    case 1256:
        return "Arabic";
    default:
        return {};
    }
}

} // namespace korrimat
