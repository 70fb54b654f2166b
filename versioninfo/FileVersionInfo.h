#pragma once
// CFileVersionInfo: the version resource of one file, read at once when its path is set and
// kept as display texts. A refresh only overwrites what it finds: everything else keeps the
// value it had, so callers wanting a clean slate use a fresh object.

#include "platform/Platform.h"
#include "versioninfo/FixedVersionDecoding.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace korrimat {

class CFileVersionInfo {
public:
    // How many texts the version item table (VersionItems.h) has.
    static constexpr std::size_t kItemCount = 10;

    explicit CFileVersionInfo(const Platform& platform = SystemPlatform());

    // Makes the path absolute and re-reads the file; a path the system cannot make absolute
    // (the empty text, say) changes nothing.
    void SetFullPathName(const std::string& path);

    std::string FullPathName() const { return fullPathName_; }
    bool Available() const { return available_; }
    // The fixed part's texts.
    std::string FileFlags() const { return fixed_.FileFlags; }
    std::string FileOS() const { return fixed_.FileOS; }
    std::string FileType() const { return fixed_.FileType; }
    std::string FileSubType() const { return fileSubType_; }
    std::string VerFile() const { return fixed_.VerFile; }
    std::string VerProduct() const { return fixed_.VerProduct; }
    std::string VerStructure() const { return fixed_.VerStructure; }
    // The texts of the string table (and the language), as the version item table lists them.
    std::string CompanyName() const;
    std::string FileDescription() const;
    std::string FileVersion() const;
    std::string InternalName() const;
    std::string Language() const;
    std::string LegalCopyright() const;
    std::string LegalTrademarks() const;
    std::string OriginalFilename() const;
    std::string ProductName() const;
    std::string ProductVersion() const;

    // Re-reads the file named by FullPathName.
    void Refresh();
    // Takes the resource of an absolute path as ReadVersionImage read it, rather than reading the
    // file again (a report reads it once for these texts and for its own walk).
    void SetImage(const std::string& fullPathName, std::vector<BYTE> image);

private:
    using Property = std::string (CFileVersionInfo::*)() const;
    // The text of the item a property shows.
    std::string Item(Property property) const;

    // Both read only inside `image`: an address that a query returned is trusted no further.
    static std::string StringFromPointer(std::span<const BYTE> image, const void* address);
    static std::vector<BYTE> BytesFromPointer(std::span<const BYTE> image, const void* address, std::size_t count);

    void TakeImage(std::vector<BYTE> image);
    void ReadFixedPart(std::span<const BYTE> image);
    void ReadStringTable(std::span<const BYTE> image);

    const Platform* platform_;

    std::string fullPathName_;
    bool available_ = false;
    FixedVersionTexts fixed_;
    std::string fileSubType_;
    // The item texts, in the order of the version item table.
    std::array<std::string, kItemCount> items_;
};

// A file's version resource as the system reads it, with one zero byte more after it (so that a
// text at its very end still ends); empty when the file has none.
std::vector<BYTE> ReadVersionImage(const Platform& platform, const std::string& path);

} // namespace korrimat
