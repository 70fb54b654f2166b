#pragma once
// CFileInfo: one file-system entry named by a path. Setting the path makes it absolute and looks
// the entry up at once; the object then holds its names, folder, sizes, local times, attributes,
// and the shell's display name, type name and icon. A refresh only overwrites what it finds.

#include "platform/Platform.h"
#include "platform/UniqueHandle.h"

#include <cstdint>
#include <string>

namespace korrimat {

class CFileInfo {
public:
    explicit CFileInfo(const Platform& platform = SystemPlatform());

    // Makes the path absolute and refreshes; a path the system cannot make absolute (the empty
    // text, say) changes nothing, unless it is too long for the lookups: then it is kept as given
    // and the refresh finds nothing.
    void SetFullPathName(const std::string& path);
    // The same with the entry's record as a listing of its folder has just read it: the refresh
    // takes it instead of searching the folder for the entry again.
    void SetFullPathName(const std::string& path, const WIN32_FIND_DATAA& listed);

    // A path too long for the system to make absolute is kept whole, and is not found.
    std::string FullPathName() const { return fullPathName_; }
    std::string FileName() const { return fileName_; }
    std::string FilePath() const { return filePath_; }
    std::string FileExtension() const { return fileExtension_; }
    std::string ShortPathName() const { return shortPathName_; }
    std::string ShortName() const { return shortName_; }
    std::string ShortPath() const { return shortPath_; }
    std::string DisplayName() const { return displayName_; }
    std::string TypeName() const { return typeName_; }
    bool FileExists() const { return fileExists_; }
    // Set together with FileExists by a refresh that finds the entry and never cleared: after a
    // failed refresh it tells whether the object has ever found an entry.
    bool PathExists() const { return pathExists_; }
    // The low and high 32 bits of the sizes, as bit patterns; and the whole sizes.
    std::int32_t FileSize() const { return static_cast<std::int32_t>(fileSize_ & 0xFFFFFFFFu); }
    std::int32_t FileSizeHigh() const { return static_cast<std::int32_t>(fileSize_ >> 32); }
    std::int32_t CompressedFileSize() const { return static_cast<std::int32_t>(compressedSize_ & 0xFFFFFFFFu); }
    std::int32_t CompressedFileSizeHigh() const { return static_cast<std::int32_t>(compressedSize_ >> 32); }
    std::int64_t FileSize64() const { return static_cast<std::int64_t>(fileSize_); }
    std::int64_t CompressedFileSize64() const { return static_cast<std::int64_t>(compressedSize_); }
    // Days since 30 December 1899, local time, whole seconds; a stamp past the year 9999 reads as
    // the last second of that year.
    double CreationTime() const { return creationTime_; }
    double LastAccessTime() const { return lastAccessTime_; }
    double ModifyTime() const { return modifyTime_; }
    // The same three stamps as the file system holds them: UTC, in 100-nanosecond steps since 1601.
    FILETIME CreationStamp() const { return creationStamp_; }
    FILETIME LastAccessStamp() const { return lastAccessStamp_; }
    FILETIME ModifyStamp() const { return modifyStamp_; }
    std::int32_t Attributes() const { return static_cast<std::int32_t>(attributes_); }
    bool attrReadOnly() const { return (attributes_ & FILE_ATTRIBUTE_READONLY) != 0; }
    bool attrHidden() const { return (attributes_ & FILE_ATTRIBUTE_HIDDEN) != 0; }
    bool attrSystem() const { return (attributes_ & FILE_ATTRIBUTE_SYSTEM) != 0; }
    bool attrArchive() const { return (attributes_ & FILE_ATTRIBUTE_ARCHIVE) != 0; }
    bool attrTemporary() const { return (attributes_ & FILE_ATTRIBUTE_TEMPORARY) != 0; }
    bool attrCompressed() const { return (attributes_ & FILE_ATTRIBUTE_COMPRESSED) != 0; }
    // The shell's large icon, owned by the object: valid until the next refresh or destruction.
    HICON hIcon() const { return icon_.Get(); }
    // Hands the icon to the caller, who keeps it past the object's life; hIcon is 0 after.
    UniqueIcon TakeIcon() noexcept { return std::move(icon_); }

    // Re-reads the entry named by FullPathName.
    void Refresh();
    // Reads the entry named by FullPathName from `listed`, or by a search when there is none.
    void Refresh(const WIN32_FIND_DATAA* listed);

    // Long date, one space, long time, in the user's regional settings.
    std::string FormatFileDate(double date) const;
    // The day alone, in the user's short date format: where a row has no room for the whole time.
    std::string FormatFileDay(double date) const;
    // "1,023 bytes", "1.13KB (1,152 bytes)", ... in the user's regional settings.
    std::string FormatFileSize(std::int64_t bytes) const;

private:
    void SetFullPath(const std::string& path, const WIN32_FIND_DATAA* listed);
    double FileTimeToDate(const FILETIME& stamp) const;
    std::string ResolveFolderPath(const std::string& folder) const;
    static std::string TrimAtNull(const char* field, std::size_t size);

    const Platform* platform_;

    std::string fullPathName_;
    std::string fileName_;
    std::string filePath_;
    std::string fileExtension_;
    std::string shortPathName_;
    std::string shortName_;
    std::string shortPath_;
    std::string displayName_;
    std::string typeName_;
    bool fileExists_ = false;
    bool pathExists_ = false;
    std::uint64_t fileSize_ = 0;
    std::uint64_t compressedSize_ = 0;
    double creationTime_ = 0;
    double lastAccessTime_ = 0;
    double modifyTime_ = 0;
    FILETIME creationStamp_{};
    FILETIME lastAccessStamp_{};
    FILETIME modifyStamp_{};
    DWORD attributes_ = 0;
    UniqueIcon icon_;
};

} // namespace korrimat
