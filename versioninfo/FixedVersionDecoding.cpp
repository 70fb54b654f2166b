#include "versioninfo/FixedVersionDecoding.h"

#include "platform/Text.h"

#include <array>
#include <cstdint>

namespace korrimat {
namespace {

using namespace fixed_values;

std::uint32_t HighPart(std::uint32_t value) { return (value >> 16) & 0xFFFFu; }
std::uint32_t LowPart(std::uint32_t value) { return value & 0xFFFFu; }

// a.bb.ccdd, or a.bb.dddd when c is 0 (c is then left out altogether).
std::string VersionText(std::uint32_t mostSignificant, std::uint32_t leastSignificant)
{
    std::string text = Digits(HighPart(mostSignificant)) + "." + Digits(LowPart(mostSignificant), 2) + ".";
    const std::uint32_t c = HighPart(leastSignificant);
    const std::uint32_t d = LowPart(leastSignificant);
    if (c != 0)
        text += Digits(c, 2) + Digits(d, 2);
    else
        text += Digits(d, 4);
    return text;
}

std::string FlagsText(std::uint32_t flags)
{
    struct Flag {
        std::uint32_t bit;
        const char* word;
    };
    static constexpr std::array<Flag, 6> words{{
        {kFlagDebug, "Debug "},
        {kFlagPrerelease, "PreRel "},
        {kFlagPatched, "Patched "},
        {kFlagPrivateBuild, "Private "},
        {kFlagInfoInferred, "Info "},
        {kFlagSpecialBuild, "Special "},
    }};
    std::string text;
    for (const Flag& flag : words) {
        if ((flags & flag.bit) != 0)
            text += flag.word;
    }
    return TrimSpaces(text);
}

// The whole value is compared: a base system or a window system alone is not named.
std::string OsText(std::uint32_t os)
{
    switch (os) {
    case kOsDosWindows16: return "DOS-Win16";
    case kOsDosWindows32: return "DOS-Win32";
    case kOsOs216Pm16: return "OS/2-16 PM-16";
    case kOsOs232Pm32: return "OS/2-16 PM-32";
    case kOsNtWindows32: return "NT-Win32";
    default: return "Unknown";
    }
}

std::string TypeText(std::uint32_t type)
{
    switch (type) {
    case kTypeApplication: return "Application";
    case kTypeDll: return "DLL";
    case kTypeDriver: return "Driver";
    case kTypeFont: return "Font";
    case kTypeVxd: return "VxD";
    case kTypeStaticLibrary: return "Lib";
    default: return "Unknown";
    }
}

std::optional<std::string> DriverSubtypeText(std::uint32_t subtype)
{
    static constexpr std::array<const char*, 11> names{
        "Unknown",      // VFT2_UNKNOWN
        "Printer drv",  // VFT2_DRV_PRINTER
        "Keyboard drv", // VFT2_DRV_KEYBOARD
        "Language drv", // VFT2_DRV_LANGUAGE
        "Display drv",  // VFT2_DRV_DISPLAY
        "Mouse drv",    // VFT2_DRV_MOUSE
        "Network drv",  // VFT2_DRV_NETWORK
        "System drv",   // VFT2_DRV_SYSTEM
        "Installable",  // VFT2_DRV_INSTALLABLE
        "Sound drv",    // VFT2_DRV_SOUND
        "Comm drv",     // VFT2_DRV_COMM
    };
    if (subtype >= names.size())
        return std::nullopt;
    return std::string(names[subtype]);
}

// Unlike drivers, a font of subtype 0 gets no text at all.
std::optional<std::string> FontSubtypeText(std::uint32_t subtype)
{
    switch (subtype) {
    case kFontRaster: return std::string("Raster Font");
    case kFontVector: return std::string("Vector Font");
    case kFontTrueType: return std::string("TrueType Font");
    default: return std::nullopt;
    }
}

} // namespace

FixedVersionTexts DecodeFixedVersion(const FixedFileFields& fixed)
{
    FixedVersionTexts texts;
    texts.VerStructure = Digits(HighPart(fixed.structVersion)) + "." + Digits(LowPart(fixed.structVersion));
    texts.VerFile = VersionText(fixed.fileVersionMS, fixed.fileVersionLS);
    texts.VerProduct = VersionText(fixed.productVersionMS, fixed.productVersionLS);
    texts.FileFlags = FlagsText(fixed.flags);
    texts.FileOS = OsText(fixed.os);
    texts.FileType = TypeText(fixed.type);
    if (fixed.type == kTypeDriver)
        texts.FileSubType = DriverSubtypeText(fixed.subtype);
    else if (fixed.type == kTypeFont)
        texts.FileSubType = FontSubtypeText(fixed.subtype);
    return texts;
}

} // namespace korrimat
