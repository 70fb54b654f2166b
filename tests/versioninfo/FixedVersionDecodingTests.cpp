#include "versioninfo/FixedVersionDecoding.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korrimat {
namespace {

DWORD Halves(std::uint32_t high, std::uint32_t low) { return (high << 16) | low; }

FixedFileFields WithVersions(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d)
{
    FixedFileFields fixed{};
    fixed.fileVersionMS = Halves(a, b);
    fixed.fileVersionLS = Halves(c, d);
    fixed.productVersionMS = Halves(a, b);
    fixed.productVersionLS = Halves(c, d);
    return fixed;
}

FixedFileFields WithType(DWORD type, DWORD subtype)
{
    FixedFileFields fixed{};
    fixed.type = type;
    fixed.subtype = subtype;
    return fixed;
}

TEST(FixedVersionDecoding, AllZeroRecord)
{
    const FixedVersionTexts texts = DecodeFixedVersion(FixedFileFields{});
    EXPECT_EQ(texts.VerStructure, "0.0");
    EXPECT_EQ(texts.VerFile, "0.00.0000");
    EXPECT_EQ(texts.VerProduct, "0.00.0000");
    EXPECT_EQ(texts.FileFlags, "");
    EXPECT_EQ(texts.FileOS, "Unknown");
    EXPECT_EQ(texts.FileType, "Unknown");
    EXPECT_FALSE(texts.FileSubType.has_value());
}

TEST(FixedVersionDecoding, StructureVersionIsTwoPlainHalves)
{
    const struct {
        DWORD value;
        const char* text;
    } cases[] = {
        {0x00010000, "1.0"},
        {0x0002000A, "2.10"},
        {0x00000001, "0.1"},
        {0xFFFFFFFF, "65535.65535"},
    };
    for (const auto& c : cases) {
        FixedFileFields fixed{};
        fixed.structVersion = c.value;
        EXPECT_EQ(DecodeFixedVersion(fixed).VerStructure, c.text) << std::hex << c.value;
    }
}

TEST(FixedVersionDecoding, FileAndProductVersions)
{
    const struct {
        std::uint32_t a, b, c, d;
        const char* text;
    } cases[] = {
        {1, 0, 0, 0, "1.00.0000"},
        {4, 0, 0, 950, "4.00.0950"},
        {1, 0, 0, 12345, "1.00.12345"},
        {1, 2, 3, 4, "1.02.0304"},
        {3, 10, 0, 103, "3.10.0103"},
        {5, 1, 2600, 2180, "5.01.26002180"},
        {6, 0, 6000, 16386, "6.00.600016386"},
        {2, 0, 50727, 42, "2.00.5072742"},
        // Above 32767 every part still reads unsigned.
        {1, 0, 0, 40000, "1.00.40000"},
        {65535, 65535, 65535, 65535, "65535.65535.6553565535"},
        // c of 0 vanishes; any other c is written, d then only two-digit.
        {0, 0, 1, 0, "0.00.0100"},
        {10, 100, 0, 5, "10.100.0005"},
    };
    for (const auto& c : cases) {
        const FixedVersionTexts texts = DecodeFixedVersion(WithVersions(c.a, c.b, c.c, c.d));
        const std::string parts = std::to_string(c.a) + "." + std::to_string(c.b) + "." + std::to_string(c.c) + "."
                                + std::to_string(c.d);
        EXPECT_EQ(texts.VerFile, c.text) << parts;
        EXPECT_EQ(texts.VerProduct, c.text) << parts;
    }
}

TEST(FixedVersionDecoding, FileAndProductVersionsAreReadFromTheirOwnFields)
{
    FixedFileFields fixed{};
    fixed.fileVersionMS = Halves(1, 2);
    fixed.fileVersionLS = Halves(3, 4);
    fixed.productVersionMS = Halves(5, 6);
    fixed.productVersionLS = Halves(0, 7);
    const FixedVersionTexts texts = DecodeFixedVersion(fixed);
    EXPECT_EQ(texts.VerFile, "1.02.0304");
    EXPECT_EQ(texts.VerProduct, "5.06.0007");
}

TEST(FixedVersionDecoding, Flags)
{
    const struct {
        DWORD flags;
        const char* text;
    } cases[] = {
        {0x00, ""},
        {0x01, "Debug"},
        {0x02, "PreRel"},
        {0x04, "Patched"},
        {0x08, "Private"},
        {0x10, "Info"},
        {0x20, "Special"},
        {0x03, "Debug PreRel"},
        {0x24, "Patched Special"},
        {0x3F, "Debug PreRel Patched Private Info Special"},
        // Bits outside the six are ignored.
        {0x40, ""},
        {0xFFFFFFC0, ""},
        {0xFFFFFFC1, "Debug"},
        {0xFFFFFFFF, "Debug PreRel Patched Private Info Special"},
    };
    for (const auto& c : cases) {
        FixedFileFields fixed{};
        fixed.flags = c.flags;
        EXPECT_EQ(DecodeFixedVersion(fixed).FileFlags, c.text) << std::hex << c.flags;
    }
}

TEST(FixedVersionDecoding, FlagsMaskAndIgnoredFieldsChangeNothing)
{
    FixedFileFields fixed{};
    fixed.flags = 0x3F;
    fixed.flagsMask = 0;
    const FixedVersionTexts unmasked = DecodeFixedVersion(fixed);
    EXPECT_EQ(unmasked.FileFlags, "Debug PreRel Patched Private Info Special");

    fixed.signature = 0x12345678;
    fixed.dateMS = 0xFFFFFFFF;
    fixed.dateLS = 0xFFFFFFFF;
    const FixedVersionTexts odd = DecodeFixedVersion(fixed);
    EXPECT_EQ(odd.FileFlags, unmasked.FileFlags);
    EXPECT_EQ(odd.VerStructure, unmasked.VerStructure);
    EXPECT_EQ(odd.VerFile, unmasked.VerFile);
    EXPECT_EQ(odd.FileType, unmasked.FileType);
}

TEST(FixedVersionDecoding, OperatingSystemsMatchOnlyAsAWhole)
{
    const struct {
        DWORD os;
        const char* text;
    } cases[] = {
        {0x00010001, "DOS-Win16"},
        {0x00010004, "DOS-Win32"},
        {0x00020002, "OS/2-16 PM-16"},
        {0x00030003, "OS/2-16 PM-32"},
        {0x00040004, "NT-Win32"},
        {0x00000000, "Unknown"},
        {0x00000004, "Unknown"},
        {0x00040000, "Unknown"},
        {0x00010000, "Unknown"},
        {0x00040001, "Unknown"},
        {0x00050004, "Unknown"},
        {0x01040004, "Unknown"},
        {0xFFFFFFFF, "Unknown"},
    };
    for (const auto& c : cases) {
        FixedFileFields fixed{};
        fixed.os = c.os;
        EXPECT_EQ(DecodeFixedVersion(fixed).FileOS, c.text) << std::hex << c.os;
    }
}

TEST(FixedVersionDecoding, TypesWithoutSubtypes)
{
    const struct {
        DWORD type;
        const char* text;
    } cases[] = {
        {0, "Unknown"}, {1, "Application"}, {2, "DLL"},      {5, "VxD"},          {6, "Unknown"},
        {7, "Lib"},     {8, "Unknown"},     {9, "Unknown"}, {0x103, "Unknown"}, {0xFFFFFFFF, "Unknown"},
    };
    for (const auto& c : cases) {
        // A subtype that a driver or font would name is no concern of any other type.
        for (DWORD subtype : {0u, 1u, 3u}) {
            const FixedVersionTexts texts = DecodeFixedVersion(WithType(c.type, subtype));
            EXPECT_EQ(texts.FileType, c.text) << c.type;
            EXPECT_FALSE(texts.FileSubType.has_value()) << c.type << " subtype " << subtype;
        }
    }
}

TEST(FixedVersionDecoding, DriverSubtypes)
{
    const std::vector<std::optional<std::string>> expected{
        "Unknown",   "Printer drv", "Keyboard drv", "Language drv", "Display drv", "Mouse drv",
        "Network drv", "System drv", "Installable", "Sound drv",   "Comm drv",
    };
    for (DWORD subtype = 0; subtype < expected.size(); ++subtype) {
        const FixedVersionTexts texts = DecodeFixedVersion(WithType(VFT_DRV, subtype));
        EXPECT_EQ(texts.FileType, "Driver");
        EXPECT_EQ(texts.FileSubType, expected[subtype]) << subtype;
    }
    for (DWORD subtype : {11u, 12u, 0x8000u, 0x80000000u, 0xFFFFFFFFu}) {
        const FixedVersionTexts texts = DecodeFixedVersion(WithType(VFT_DRV, subtype));
        EXPECT_EQ(texts.FileType, "Driver");
        EXPECT_FALSE(texts.FileSubType.has_value()) << subtype;
    }
}

TEST(FixedVersionDecoding, FontSubtypes)
{
    const struct {
        DWORD subtype;
        std::optional<std::string> text;
    } cases[] = {
        {0, std::nullopt},
        {1, "Raster Font"},
        {2, "Vector Font"},
        {3, "TrueType Font"},
        {4, std::nullopt},
        {11, std::nullopt},
        {0xFFFFFFFF, std::nullopt},
    };
    for (const auto& c : cases) {
        const FixedVersionTexts texts = DecodeFixedVersion(WithType(VFT_FONT, c.subtype));
        EXPECT_EQ(texts.FileType, "Font");
        EXPECT_EQ(texts.FileSubType, c.text) << c.subtype;
    }
}

} // namespace
} // namespace korrimat
