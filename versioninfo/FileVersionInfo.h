#pragma once
// CFileVersionInfo: the version resource of one file, read at once when its path is set and
// kept as display texts. A refresh only overwrites what it finds: everything else keeps the
// value it had, so callers wanting a clean slate use a fresh object.

#include "platform/Platform.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace korrimat {

class CFileVersionInfo {
public:
    explicit CFileVersionInfo(const Platform& platform = SystemPlatform());

    // Makes the path absolute and re-reads the file; a path the system cannot make absolute
    // (the empty text, say) changes nothing.
    void SetFullPathName(const std::string& path);

    std::string FullPathName() const { return fullPathName_; }
    bool Available() const { return available_; }
    std::string FileFlags() const { return fileFlags_; }
    std::string FileOS() const { return fileOS_; }
    std::string FileType() const { return fileType_; }
    std::string FileSubType() const { return fileSubType_; }
    std::string VerFile() const { return verFile_; }
    std::string VerProduct() const { return verProduct_; }
    std::string VerStructure() const { return verStructure_; }
    std::string CompanyName() const { return companyName_; }
    std::string FileDescription() const { return fileDescription_; }
    std::string FileVersion() const { return fileVersion_; }
    std::string InternalName() const { return internalName_; }
    std::string Language() const { return language_; }
    std::string LegalCopyright() const { return legalCopyright_; }
    std::string LegalTrademarks() const { return legalTrademarks_; }
    std::string OriginalFilename() const { return originalFilename_; }
    std::string ProductName() const { return productName_; }
    std::string ProductVersion() const { return productVersion_; }

    // Re-reads the file named by FullPathName.
    void Refresh();

private:
    // Both read only inside `image`: an address that a query returned is trusted no further.
    static std::string StringFromPointer(std::span<const BYTE> image, const void* address);
    static std::vector<BYTE> BytesFromPointer(std::span<const BYTE> image, const void* address, std::size_t count);

    void ReadFixedPart(std::span<const BYTE> image);
    void ReadStringTable(std::span<const BYTE> image);

    const Platform* platform_;

    std::string fullPathName_;
    bool available_ = false;
    std::string verStructure_;
    std::string verFile_;
    std::string verProduct_;
    std::string fileFlags_;
    std::string fileOS_;
    std::string fileType_;
    std::string fileSubType_;
    std::string language_;
    std::string companyName_;
    std::string fileDescription_;
    std::string fileVersion_;
    std::string internalName_;
    std::string legalCopyright_;
    std::string legalTrademarks_;
    std::string originalFilename_;
    std::string productName_;
    std::string productVersion_;
};

} // namespace korrimat
