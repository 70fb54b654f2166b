#include "fileinfo/FileInfo.h"

#include "fileinfo/DateValue.h"
#include "platform/Locale.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstring>

namespace korrimat {

namespace {

bool EndsWith(const std::string& text, std::string_view tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

CFileInfo::CFileInfo(const Platform& platform) : platform_(&platform) {}

void CFileInfo::SetFullPathName(const std::string& path)
{
    SetFullPath(path, nullptr);
}

void CFileInfo::SetFullPathName(const std::string& path, const WIN32_FIND_DATAA& listed)
{
    SetFullPath(path, &listed);
}

void CFileInfo::SetFullPath(const std::string& path, const WIN32_FIND_DATAA* listed)
{
    std::optional<std::string> full = platform_->Entries().FullPathOf(path);
    if (!full) {
        // Paths the system cannot make absolute (the empty text, say) change nothing. One too long
        // for the system altogether is kept as given, so that the refresh reports it not found
        // instead of leaving the last entry standing as found.
        if (path.size() < MAX_PATH)
            return;
        full = path;
    }
    fullPathName_ = *full;
    Refresh(listed);
}

void CFileInfo::Refresh()
{
    Refresh(nullptr);
}

void CFileInfo::Refresh(const WIN32_FIND_DATAA* listed)
{
    const std::optional<WIN32_FIND_DATAA> found = listed ? std::optional(*listed) : platform_->Entries().FindFirst(fullPathName_);
    if (!found) {
        fileExists_ = false;
        return;
    }
    const WIN32_FIND_DATAA& entry = *found;

    fileSize_ = (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    attributes_ = entry.dwFileAttributes;
    fileExists_ = true;
    pathExists_ = true;

    creationTime_ = FileTimeToDate(entry.ftCreationTime);
    lastAccessTime_ = FileTimeToDate(entry.ftLastAccessTime);
    modifyTime_ = FileTimeToDate(entry.ftLastWriteTime);
    creationStamp_ = entry.ftCreationTime;
    lastAccessStamp_ = entry.ftLastAccessTime;
    modifyStamp_ = entry.ftLastWriteTime;

    fileName_ = TrimAtNull(entry.cFileName, sizeof(entry.cFileName));

    const auto separator = fullPathName_.find_last_of('\\');
    if (separator != std::string::npos) {
        filePath_ = ResolveFolderPath(fullPathName_.substr(0, separator + 1));
        if (!EndsWith(filePath_, "\\"))
            filePath_ += '\\';
    }
    fullPathName_ = filePath_ + fileName_;

    const auto dot = fileName_.find_last_of('.');
    fileExtension_ = (dot == std::string::npos) ? std::string() : fileName_.substr(dot + 1);

    shortName_ = entry.cAlternateFileName[0] == '\0'
                     ? UpperCase(fileName_)
                     : TrimAtNull(entry.cAlternateFileName, sizeof(entry.cAlternateFileName));

    if (const std::optional<std::string> shortPath = platform_->Entries().ShortPathOf(fullPathName_)) {
        shortPathName_ = *shortPath;
        // The short folder: the short path less as many characters as the short name has.
        shortPath_ = shortPathName_.substr(0, shortPathName_.size() - std::min(shortPathName_.size(), shortName_.size()));
    }

    // A failure reads as all bits set in the low half, as the system reports it.
    compressedSize_ = platform_->Entries().CompressedSizeOf(fullPathName_).value_or(INVALID_FILE_SIZE);

    // The shell describing nothing leaves every name empty and no icon. The object owns the icon:
    // the one it replaces is released here.
    std::optional<ShellDescription> shell = platform_->Shell().Describe(fullPathName_);
    displayName_ = shell ? shell->displayName : std::string();
    typeName_ = shell ? shell->typeName : std::string();
    icon_ = shell ? std::move(shell->icon) : UniqueIcon();

    if (TrimSpaces(typeName_).empty())
        typeName_ = TrimSpaces(UpperCase(fileExtension_) + " File");
}

double CFileInfo::FileTimeToDate(const FILETIME& stamp) const
{
    // A failed conversion leaves the zero stamp, 1 January 1601 at midnight.
    const FILETIME local = LocalFileTime(stamp).value_or(FILETIME{});
    SYSTEMTIME parts{};
    if (const std::optional<SYSTEMTIME> split = SystemTimeOf(local)) {
        parts = *split;
    } else {
        // The system refuses stamps past the year 30827, and a local stamp that the offset took
        // before 1601: tell them apart by the UTC stamp (2^62 ticks is in the year 16213).
        parts = stamp.dwHighDateTime >= 0x40000000u ? SYSTEMTIME{kLastDateYear + 1, 1, 0, 1, 0, 0, 0, 0}
                                                    : SYSTEMTIME{1601, 1, 1, 1, 0, 0, 0, 0};
    }
    if (parts.wYear > kLastDateYear) {
        // Past the year 9999, where date values end: the last second of the range.
        parts = SYSTEMTIME{kLastDateYear, 12, 5, 31, 23, 59, 59, 0};
    }
    return DateValueOf(parts.wYear, parts.wMonth, parts.wDay, parts.wHour, parts.wMinute, parts.wSecond);
}

std::string CFileInfo::ResolveFolderPath(const std::string& folder) const
{
    std::string path = folder;
    if (EndsWith(path, "\\")) {
        if (EndsWith(path, ":\\"))
            return UpperCase(path);
        path.pop_back();
    }
    // A bare network share (\\server\share) stays as it was spelled.
    if (path.size() >= 2 && path.compare(0, 2, "\\\\") == 0) {
        const auto share = path.find('\\', 2);
        if (share != std::string::npos && path.find('\\', share + 1) == std::string::npos)
            return path;
    }
    const auto last = path.find_last_of('\\');
    if (last == std::string::npos)
        return UpperCase(path);

    // Parent first: the lookups run from the top level down, one per level.
    const std::string parent = ResolveFolderPath(path.substr(0, last));
    const std::optional<WIN32_FIND_DATAA> found = platform_->Entries().FindFirst(path);
    if (!found || !(found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    return parent + "\\" + TrimAtNull(found->cFileName, sizeof(found->cFileName));
}

std::string CFileInfo::TrimAtNull(const char* field, std::size_t size)
{
    const char* end = static_cast<const char*>(std::memchr(field, '\0', size));
    if (end)
        return std::string(field, end);
    return TrimSpaces(std::string(field, size));
}

} // namespace korrimat
