#pragma once
// The fixed part of a version resource, field by field in the published VS_FIXEDFILEINFO layout
// (thirteen little-endian 32-bit fields, 52 bytes), and the values of its flags, OS, type and
// subtype fields. No Windows header: the decoding built on it is fuzzed natively.

#include <cstdint>

namespace korrimat {

struct FixedFileFields {
    std::uint32_t signature = 0;
    std::uint32_t structVersion = 0;
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
    std::uint32_t flagsMask = 0;
    std::uint32_t flags = 0;
    std::uint32_t os = 0;
    std::uint32_t type = 0;
    std::uint32_t subtype = 0;
    std::uint32_t dateMS = 0;
    std::uint32_t dateLS = 0;
    bool operator==(const FixedFileFields&) const = default;
};
static_assert(sizeof(FixedFileFields) == 52, "the record is copied byte for byte");

namespace fixed_values {

inline constexpr std::uint32_t kFlagDebug = 0x01;
inline constexpr std::uint32_t kFlagPrerelease = 0x02;
inline constexpr std::uint32_t kFlagPatched = 0x04;
inline constexpr std::uint32_t kFlagPrivateBuild = 0x08;
inline constexpr std::uint32_t kFlagInfoInferred = 0x10;
inline constexpr std::uint32_t kFlagSpecialBuild = 0x20;

inline constexpr std::uint32_t kOsDosWindows16 = 0x00010001;
inline constexpr std::uint32_t kOsDosWindows32 = 0x00010004;
inline constexpr std::uint32_t kOsOs216Pm16 = 0x00020002;
inline constexpr std::uint32_t kOsOs232Pm32 = 0x00030003;
inline constexpr std::uint32_t kOsNtWindows32 = 0x00040004;

inline constexpr std::uint32_t kTypeApplication = 1;
inline constexpr std::uint32_t kTypeDll = 2;
inline constexpr std::uint32_t kTypeDriver = 3;
inline constexpr std::uint32_t kTypeFont = 4;
inline constexpr std::uint32_t kTypeVxd = 5;
inline constexpr std::uint32_t kTypeStaticLibrary = 7;

inline constexpr std::uint32_t kFontRaster = 1;
inline constexpr std::uint32_t kFontVector = 2;
inline constexpr std::uint32_t kFontTrueType = 3;

} // namespace fixed_values

} // namespace korrimat
