#include "versioninfo/FileVersionInfo.h"

#include "platform/Text.h"

#include "versioninfo/FixedVersionDecoding.h"
#include "formats/VersionImageCheck.h"
#include "versioninfo/VersionItems.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

namespace korrimat {
namespace {

// The decoding's own copy of the record and its values is the system's.
static_assert(sizeof(FixedFileFields) == sizeof(VS_FIXEDFILEINFO));
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileFlags) == offsetof(FixedFileFields, flags));
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileDateLS) == offsetof(FixedFileFields, dateLS));
static_assert(fixed_values::kFlagSpecialBuild == VS_FF_SPECIALBUILD && fixed_values::kFlagDebug == VS_FF_DEBUG);
static_assert(fixed_values::kOsNtWindows32 == VOS_NT_WINDOWS32 && fixed_values::kOsOs232Pm32 == VOS_OS232_PM32);
static_assert(fixed_values::kTypeStaticLibrary == VFT_STATIC_LIB && fixed_values::kTypeDriver == VFT_DRV);
static_assert(fixed_values::kFontTrueType == VFT2_FONT_TRUETYPE);

// Where `address` lies inside `image`, or nothing when it is null or points elsewhere.
std::optional<std::size_t> OffsetInImage(std::span<const BYTE> image, const void* address)
{
    if (address == nullptr)
        return std::nullopt;
    const auto begin = reinterpret_cast<std::uintptr_t>(image.data());
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    if (at < begin || at - begin >= image.size())
        return std::nullopt;
    return static_cast<std::size_t>(at - begin);
}

} // namespace

CFileVersionInfo::CFileVersionInfo(const Platform& platform) : platform_(&platform) {}

void CFileVersionInfo::SetFullPathName(const std::string& path)
{
    // The platform grows its buffer for a full path longer than 260 characters, so such a path
    // is stored whole rather than cut.
    const std::optional<std::string> full = platform_->Entries().FullPathOf(path);
    if (!full)
        return;
    fullPathName_ = *full;
    Refresh();
}

void CFileVersionInfo::Refresh()
{
    TakeImage(ReadVersionImage(*platform_, fullPathName_));
}

void CFileVersionInfo::SetImage(const std::string& fullPathName, std::vector<BYTE> image)
{
    fullPathName_ = fullPathName;
    TakeImage(std::move(image));
}

// Not const: the system's query writes the narrow form of a text into the image it is given.
void CFileVersionInfo::TakeImage(std::vector<BYTE> image)
{
    // A resource that turns out damaged still counts as present.
    available_ = !image.empty();
    if (!available_)
        return;
    const std::span<const BYTE> resource(image.data(), image.size() - 1);

    // The system's queries trust the lengths inside the resource and would read and write
    // outside the image on a damaged one: such a resource reads as one with nothing in it.
    if (!VersionImageIsWalkable(resource)) {
        ReadFixedPart({});
        return;
    }
    ReadFixedPart(image);
    ReadStringTable(image);
}

std::vector<BYTE> ReadVersionImage(const Platform& platform, const std::string& path)
{
    const DWORD size = platform.Versions().SizeOf(path);
    if (size == 0)
        return {};
    std::vector<BYTE> image(size);
    image.push_back(0);
    // A resource the system sizes but then cannot read is none: zeros are no resource.
    if (!ReadVersionInfo(path, std::span<BYTE>(image.data(), size)))
        return {};
    return image;
}

void CFileVersionInfo::ReadFixedPart(std::span<const BYTE> image)
{
    // No image to query, a root query that fails or one that hands back less than a whole
    // record: the record stays zero.
    FixedFileFields fixed;
    const std::optional<VersionValue> value = image.empty() ? std::nullopt : platform_->Versions().Query(image, "\\");
    if (value && value->length >= sizeof(fixed)) {
        const std::vector<BYTE> bytes = BytesFromPointer(image, value->address, sizeof(fixed));
        if (bytes.size() == sizeof(fixed))
            std::memcpy(&fixed, bytes.data(), sizeof(fixed));
    }

    fixed_ = DecodeFixedVersion(fixed);
    if (fixed_.FileSubType)
        fileSubType_ = *fixed_.FileSubType;
}

void CFileVersionInfo::ReadStringTable(std::span<const BYTE> image)
{
    const std::optional<VersionValue> table = platform_->Versions().Query(image, "\\VarFileInfo\\Translation");
    if (!table || table->length == 0)
        return;
    // Only the first language and code-page pair counts; a table too short to hold one (or
    // lying outside the image) is as good as none.
    const std::vector<BYTE> translation = BytesFromPointer(image, table->address, table->length);
    if (translation.size() < 4)
        return;

    // Both halves are stored low byte first: the key reads language then code page.
    const std::string key = HexDigits(translation[1], 2) + HexDigits(translation[0], 2)
                          + HexDigits(translation[3], 2) + HexDigits(translation[2], 2);
    const std::string prefix = "\\StringFileInfo\\" + key + "\\";

    DWORD languageId = 0;
    std::from_chars(key.data(), key.data() + 4, languageId, 16);
    for (std::size_t row = 0; row < kVersionItems.size(); ++row) {
        const VersionItem& item = kVersionItems[row];
        if (item.key.empty()) {
            items_[row] = platform_->Versions().LanguageName(languageId);
        } else if (const auto value = platform_->Versions().Query(image, prefix + std::string(item.key)); value && value->length != 0) {
            items_[row] = StringFromPointer(image, value->address);
        }
    }
}

std::string CFileVersionInfo::Item(Property property) const
{
    for (std::size_t row = 0; row < kVersionItems.size(); ++row) {
        if (kVersionItems[row].property == property)
            return items_[row];
    }
    return {};
}

std::string CFileVersionInfo::CompanyName() const { return Item(&CFileVersionInfo::CompanyName); }
std::string CFileVersionInfo::FileDescription() const { return Item(&CFileVersionInfo::FileDescription); }
std::string CFileVersionInfo::FileVersion() const { return Item(&CFileVersionInfo::FileVersion); }
std::string CFileVersionInfo::InternalName() const { return Item(&CFileVersionInfo::InternalName); }
std::string CFileVersionInfo::Language() const { return Item(&CFileVersionInfo::Language); }
std::string CFileVersionInfo::LegalCopyright() const { return Item(&CFileVersionInfo::LegalCopyright); }
std::string CFileVersionInfo::LegalTrademarks() const { return Item(&CFileVersionInfo::LegalTrademarks); }
std::string CFileVersionInfo::OriginalFilename() const { return Item(&CFileVersionInfo::OriginalFilename); }
std::string CFileVersionInfo::ProductName() const { return Item(&CFileVersionInfo::ProductName); }
std::string CFileVersionInfo::ProductVersion() const { return Item(&CFileVersionInfo::ProductVersion); }

std::string CFileVersionInfo::StringFromPointer(std::span<const BYTE> image, const void* address)
{
    // The reported length plays no part: the text ends at its first zero byte, or at the end
    // of the image if it has none there. The platform hands over the system's narrow character
    // set, which is this class's own text type, so the bytes are taken as they are.
    const std::optional<std::size_t> offset = OffsetInImage(image, address);
    if (!offset)
        return {};
    const std::span<const BYTE> rest = image.subspan(*offset);
    const auto end = std::find(rest.begin(), rest.end(), BYTE{0});
    return std::string(rest.begin(), end);
}

std::vector<BYTE> CFileVersionInfo::BytesFromPointer(std::span<const BYTE> image, const void* address,
                                                     std::size_t count)
{
    const std::optional<std::size_t> offset = OffsetInImage(image, address);
    if (!offset || count == 0)
        return {};
    const std::span<const BYTE> bytes = image.subspan(*offset, std::min(count, image.size() - *offset));
    return std::vector<BYTE>(bytes.begin(), bytes.end());
}

} // namespace korrimat
