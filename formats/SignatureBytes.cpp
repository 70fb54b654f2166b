#include "formats/SignatureBytes.h"

#include <array>
#include <algorithm>

namespace korrimat {

namespace {

// One DER element: its tag (low-tag form only) and its content, inside what held it.
struct DerElement {
    std::uint8_t tag = 0;
    std::span<const std::uint8_t> content;
};

constexpr std::uint8_t kInteger = 0x02;
constexpr std::uint8_t kOctetString = 0x04;
constexpr std::uint8_t kObjectIdentifier = 0x06;
constexpr std::uint8_t kUtcTime = 0x17;
constexpr std::uint8_t kGeneralizedTime = 0x18;
constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kSet = 0x31;
constexpr std::uint8_t kContext0 = 0xA0;

// 1.2.840.113549.1.9.5, PKCS #9 signingTime.
constexpr std::array<std::uint8_t, 9> kSigningTime = {0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x09, 0x05};

// Reads the element at the front of `data` and moves `data` past it.
std::optional<DerElement> Next(std::span<const std::uint8_t>& data)
{
    if (data.size() < 2 || (data[0] & 0x1F) == 0x1F)
        return std::nullopt;
    const std::uint8_t tag = data[0];
    std::size_t length = data[1];
    std::size_t header = 2;
    if (length & 0x80) {
        const std::size_t bytes = length & 0x7F;
        if (bytes == 0 || bytes > 4 || data.size() < 2 + bytes)
            return std::nullopt;
        length = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            length = (length << 8) | data[2 + i];
        header += bytes;
    }
    if (length > data.size() - header)
        return std::nullopt;
    DerElement element{tag, data.subspan(header, length)};
    data = data.subspan(header + length);
    return element;
}

// The element at the front, if it has the tag.
std::optional<DerElement> Expect(std::span<const std::uint8_t>& data, std::uint8_t tag)
{
    auto element = Next(data);
    return element && element->tag == tag ? element : std::nullopt;
}

std::optional<int> Digits(std::span<const std::uint8_t> text, std::size_t at, std::size_t count)
{
    if (at + count > text.size())
        return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "YYMMDDHHMMSSZ" or "YYYYMMDDHHMMSS[.fraction]Z"; only UTC ("Z") is DER's form.
std::optional<SignatureTime> TimeOf(const DerElement& element)
{
    const std::size_t yearDigits = element.tag == kUtcTime ? 2 : element.tag == kGeneralizedTime ? 4 : 0;
    const auto text = element.content;
    if (yearDigits == 0 || text.empty() || text.back() != 'Z')
        return std::nullopt;
    const std::size_t end = yearDigits + 10;
    if (text.size() < end + 1)
        return std::nullopt;
    // A fraction of a second may come between the seconds and the "Z" (GeneralizedTime only).
    if (text.size() > end + 1 && (yearDigits != 4 || text[end] != '.'
                                  || !Digits(text, end + 1, text.size() - end - 2)))
        return std::nullopt;
    const auto year = Digits(text, 0, yearDigits);
    const auto month = Digits(text, yearDigits, 2);
    const auto day = Digits(text, yearDigits + 2, 2);
    const auto hour = Digits(text, yearDigits + 4, 2);
    const auto minute = Digits(text, yearDigits + 6, 2);
    const auto second = Digits(text, yearDigits + 8, 2);
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 60)
        return std::nullopt;
    // UTCTime's two digits: 50 to 99 are the 1900s (RFC 5280).
    const int fullYear = yearDigits == 2 ? (*year >= 50 ? 1900 + *year : 2000 + *year) : *year;
    return SignatureTime{fullYear, *month, *day, *hour, *minute, std::min(*second, 59)};
}

} // namespace

EmbeddedSignaturePlace FindEmbeddedSignature(const ByteSource& file)
{
    const ByteReader in(file);
    const ProgramHeaderPlace place = FindProgramHeader(in);
    if (place.kind != NewHeader::Pe)
        return {};
    const auto header = ReadPeFileHeader(in, place.offset);
    if (!header || (header->magic != kPe32 && header->magic != kPe32Plus))
        return {};
    // The security directory, the fifth, holds a file offset rather than an image address.
    const std::optional<PeDataDirectory> directory = ReadDataDirectory(in, *header, 4);
    if (!directory || (directory->address == 0 && directory->size == 0))
        return {};
    const auto offset = directory->address;
    const auto size = directory->size;
    const auto entry = directory->entry;
    EmbeddedSignaturePlace signature{EmbeddedSignaturePlace::State::Damaged, offset, size, 0, entry};
    // The first entry (WIN_CERTIFICATE): its length, revision and type, then PKCS #7 bytes.
    if (size < 8 || !in.Holds(offset, size))
        return signature;
    const auto length = in.U32(offset);
    const auto type = in.U16(offset + 6);
    constexpr std::uint16_t kPkcsSignedData = 2;
    if (length && *length > 8 && *length <= size && type == kPkcsSignedData) {
        signature.state = EmbeddedSignaturePlace::State::Present;
        signature.entryLength = *length;
    }
    return signature;
}

std::optional<SignatureTime> TimeStampTokenTime(std::span<const std::uint8_t> token)
{
    // ContentInfo { contentType, [0] { SignedData { version, digestAlgorithms,
    //   encapContentInfo { eContentType, [0] { OCTET STRING: TSTInfo } } ... } } }
    auto contentInfo = Expect(token, kSequence);
    if (!contentInfo)
        return std::nullopt;
    auto rest = contentInfo->content;
    if (!Expect(rest, kObjectIdentifier))
        return std::nullopt;
    auto explicitSignedData = Expect(rest, kContext0);
    if (!explicitSignedData)
        return std::nullopt;
    auto inner = explicitSignedData->content;
    auto signedData = Expect(inner, kSequence);
    if (!signedData)
        return std::nullopt;
    rest = signedData->content;
    if (!Expect(rest, kInteger) || !Expect(rest, kSet))
        return std::nullopt;
    auto encapsulated = Expect(rest, kSequence);
    if (!encapsulated)
        return std::nullopt;
    rest = encapsulated->content;
    if (!Expect(rest, kObjectIdentifier))
        return std::nullopt;
    auto explicitContent = Expect(rest, kContext0);
    if (!explicitContent)
        return std::nullopt;
    inner = explicitContent->content;
    auto octets = Expect(inner, kOctetString);
    if (!octets)
        return std::nullopt;
    // TSTInfo { version, policy, messageImprint, serialNumber, genTime, ... }
    inner = octets->content;
    auto tstInfo = Expect(inner, kSequence);
    if (!tstInfo)
        return std::nullopt;
    rest = tstInfo->content;
    if (!Expect(rest, kInteger) || !Expect(rest, kObjectIdentifier) || !Expect(rest, kSequence)
        || !Expect(rest, kInteger))
        return std::nullopt;
    const auto genTime = Expect(rest, kGeneralizedTime);
    return genTime ? TimeOf(*genTime) : std::nullopt;
}

std::optional<SignatureTime> CounterSignatureTime(std::span<const std::uint8_t> signerInfo)
{
    // SignerInfo { version, sid, digestAlgorithm, [0] IMPLICIT authenticatedAttributes, ... }
    auto outer = Expect(signerInfo, kSequence);
    if (!outer)
        return std::nullopt;
    auto rest = outer->content;
    if (!Expect(rest, kInteger) || !Next(rest) || !Expect(rest, kSequence))
        return std::nullopt;
    auto attributes = Expect(rest, kContext0);
    if (!attributes)
        return std::nullopt;
    // Each Attribute { type, SET OF value }.
    for (auto list = attributes->content; !list.empty();) {
        auto attribute = Expect(list, kSequence);
        if (!attribute)
            return std::nullopt;
        auto fields = attribute->content;
        const auto type = Expect(fields, kObjectIdentifier);
        const auto values = Expect(fields, kSet);
        if (!type || !values)
            return std::nullopt;
        if (!std::ranges::equal(type->content, kSigningTime))
            continue;
        auto value = values->content;
        const auto time = Next(value);
        return time ? TimeOf(*time) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace korrimat
