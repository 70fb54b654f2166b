#include "versioninfo/FixedVersionDecoding.h"

#include "platform/Text.h"

#include <array>
#include <cstdint>

namespace korrimat {
namespace {

std::uint32_t HighPart(DWORD value) { return (value >> 16) & 0xFFFFu; }
std::uint32_t LowPart(DWORD value) { return value & 0xFFFFu; }

// a.bb.ccdd, or a.bb.dddd when c is 0 (c is then left out altogether).
std::string VersionText(DWORD mostSignificant, DWORD leastSignificant)
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

std::string FlagsText(DWORD flags)
{
    struct Flag {
        DWORD bit;
        const char* word;
    };
    static constexpr std::array<Flag, 6> words{{
        {VS_FF_DEBUG, "Debug "},
        {VS_FF_PRERELEASE, "PreRel "},
        {VS_FF_PATCHED, "Patched "},
        {VS_FF_PRIVATEBUILD, "Private "},
        {VS_FF_INFOINFERRED, "Info "},
        {VS_FF_SPECIALBUILD, "Special "},
    }};
    std::string text;
    for (const Flag& flag : words) {
        if ((flags & flag.bit) != 0)
            text += flag.word;
    }
    return TrimSpaces(text);
}

// The whole value is compared: a base system or a window system alone is not named.
std::string OsText(DWORD os)
{
    switch (os) {
    case VOS_DOS_WINDOWS16: return "DOS-Win16";
    case VOS_DOS_WINDOWS32: return "DOS-Win32";
    case VOS_OS216_PM16: return "OS/2-16 PM-16";
    case VOS_OS232_PM32: return "OS/2-16 PM-32";
    case VOS_NT_WINDOWS32: return "NT-Win32";
    default: return "Unknown";
    }
}

std::string TypeText(DWORD type)
{
    switch (type) {
    case VFT_APP: return "Application";
    case VFT_DLL: return "DLL";
    case VFT_DRV: return "Driver";
    case VFT_FONT: return "Font";
    case VFT_VXD: return "VxD";
    case VFT_STATIC_LIB: return "Lib";
    default: return "Unknown";
    }
}

std::optional<std::string> DriverSubtypeText(DWORD subtype)
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
std::optional<std::string> FontSubtypeText(DWORD subtype)
{
    switch (subtype) {
    case VFT2_FONT_RASTER: return std::string("Raster Font");
    case VFT2_FONT_VECTOR: return std::string("Vector Font");
    case VFT2_FONT_TRUETYPE: return std::string("TrueType Font");
    default: return std::nullopt;
    }
}

} // namespace

FixedVersionTexts DecodeFixedVersion(const VS_FIXEDFILEINFO& fixed)
{
    FixedVersionTexts texts;
    texts.VerStructure = Digits(HighPart(fixed.dwStrucVersion)) + "." + Digits(LowPart(fixed.dwStrucVersion));
    texts.VerFile = VersionText(fixed.dwFileVersionMS, fixed.dwFileVersionLS);
    texts.VerProduct = VersionText(fixed.dwProductVersionMS, fixed.dwProductVersionLS);
    texts.FileFlags = FlagsText(fixed.dwFileFlags);
    texts.FileOS = OsText(fixed.dwFileOS);
    texts.FileType = TypeText(fixed.dwFileType);
    if (fixed.dwFileType == VFT_DRV)
        texts.FileSubType = DriverSubtypeText(fixed.dwFileSubtype);
    else if (fixed.dwFileType == VFT_FONT)
        texts.FileSubType = FontSubtypeText(fixed.dwFileSubtype);
    return texts;
}

} // namespace korrimat
