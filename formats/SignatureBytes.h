#pragma once
// The bytes of an embedded Authenticode signature, read without the system: where a PE file's
// signature (its attribute certificate table) lies, and the time a signature's time stamp
// carries. Plain bytes in, every length checked against what holds it, no system call and no
// Windows header, so that it can be fuzzed anywhere.

#include "formats/PeHeaders.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace korrimat {

// The attribute certificate table that a PE file's security directory names.
struct EmbeddedSignaturePlace {
    enum class State {
        None,     // not a PE file, or one whose directory names no table
        Present,  // a table inside the file whose first entry is a PKCS #7 signature
        Damaged,  // a table that runs past the file's end, or an entry that does not fit it
    };
    State state = State::None;
    std::uint32_t offset = 0;  // of the table in the file
    std::uint32_t size = 0;
    // The first entry's own length, its 8-byte header included (more than 8 when Present).
    std::uint32_t entryLength = 0;
    // The file offset of the security directory's entry in the optional header.
    std::uint64_t directoryEntry = 0;
};

EmbeddedSignaturePlace FindEmbeddedSignature(const ByteSource& file);

// A time in UTC as DER writes it (UTCTime or GeneralizedTime), whole seconds.
struct SignatureTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const SignatureTime&, const SignatureTime&) = default;
};

// The genTime of an RFC 3161 time-stamp token: a CMS ContentInfo holding SignedData whose
// content is a TSTInfo. Nothing when any part of the way is malformed.
std::optional<SignatureTime> TimeStampTokenTime(std::span<const std::uint8_t> token);
// The signingTime among the authenticated attributes of a PKCS #9 counter-signature (a
// SignerInfo). Nothing when it has none or any part of the way is malformed.
std::optional<SignatureTime> CounterSignatureTime(std::span<const std::uint8_t> signerInfo);

} // namespace korrimat
