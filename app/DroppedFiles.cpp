// FFileInfo's answer to files and folders dropped on it from the shell: the lists move to the
// first one as they would for a user's own choice, and it is shown.

#include "app/FFileInfo.h"
#include "platform/FileSystem.h"
#include "platform/controls/NameList.h"
#include "platform/controls/PathText.h"

#include <algorithm>
#include <optional>

namespace korrimat {

namespace {

// The dropped name in the narrow code page; nothing when a character has no place there (a name
// that is not UTF-8 safe on a system without the UTF-8 code page). No best-fit letters: they
// could name another, existing file.
std::optional<std::string> NarrowPath(const std::wstring& wide)
{
    if (wide.empty())
        return std::nullopt;
    const bool utf8 = ::GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lost = FALSE;
    BOOL* lostCharacters = utf8 ? nullptr : &lost;  // the system refuses the question for UTF-8
    const int size = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, lostCharacters);
    if (length <= 0 || lost)
        return std::nullopt;
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

// The folder a full path lies in; a drive's root keeps its backslash.
std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('\\');
    return path.substr(0, std::max(slash, controls::RootLength(path)));
}

} // namespace

void FFileInfo::OnDropFiles(HDROP drop)
{
    const UniqueDrop dropped(drop);
    if (!drop || ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0)
        return;
    // Any length: the shell hands over paths past 260 characters too.
    const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
    name.resize(::DragQueryFileW(drop, 0, name.data(), length + 1));
    if (const auto path = NarrowPath(name))
        ShowDroppedPath(*path);
}

void FFileInfo::ShowDroppedPath(const std::string& dropped)
{
    // Only what the drive list can choose: a full path on a drive with a letter, no share
    // without one, nothing relative.
    if (controls::RootLength(dropped) != 3 || !controls::DriveLetterOf(dropped))
        return;
    std::string path = dropped;
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    {
        controls::CriticalErrorsSilenced silenced;
        attributes = FileAttributes(path);
    }
    // Gone since it was picked up: nothing changes.
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;

    // Drive, folder, file: each step raises its events only when it changes something, as the
    // user's own choices in the lists do.
    if (!Drive1_.SetDrive(path))
        return;
    if (!Dir1_.SetPath(folder ? path : FolderOf(path)) || folder)
        return;
    const std::string name = path.substr(path.find_last_of('\\') + 1);
    auto indexOf = [&]() {
        int caseless = -1;
        for (int i = 0; i < File1_.Count(); ++i) {
            const std::string item = File1_.Item(i);
            if (item == name)
                return i;
            if (caseless < 0 && ::lstrcmpiA(item.c_str(), name.c_str()) == 0)
                caseless = i;
        }
        return caseless;
    };
    int index = indexOf();
    if (index < 0) {
        // Made after the folder was listed.
        File1_.Refresh();
        index = indexOf();
    }
    if (index >= 0)
        File1_.SetSelectedIndex(index);
}

} // namespace korrimat
