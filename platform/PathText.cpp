#include "platform/PathText.h"

#include "formats/PlainText.h"

#include <algorithm>

namespace korrimat {

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

std::size_t RootLength(std::string_view path)
{
    if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':')
        return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // \\server\share\ : the root reaches past the fourth separator.
        int separators = 2;
        for (std::size_t i = 2; i < path.size(); ++i) {
            if (IsSeparator(path[i]) && ++separators == 4)
                return i + 1;
        }
        return path.size();
    }
    return 0;
}

bool IsRootPath(std::string_view path)
{
    const std::size_t root = RootLength(path);
    return root > 0 && root == path.size();
}

std::string ListPathForm(std::string_view fullPath)
{
    std::string path(fullPath);
    const std::size_t root = RootLength(path);
    while (path.size() > root && IsSeparator(path.back()))
        path.pop_back();
    if (root > 0 && path.size() == root && !IsSeparator(path.back()))
        path.push_back('\\');
    return path;
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (!path.empty() && !IsSeparator(path.back()))
        path.push_back('\\');
    path.append(name);
    return path;
}

std::string ParentFolder(std::string_view fullPath)
{
    const std::string path = ListPathForm(fullPath);
    const std::size_t root = RootLength(path);
    const std::size_t slash = path.find_last_of('\\');
    if (root == 0 || IsRootPath(path) || slash == std::string::npos)
        return path;
    return ListPathForm(path.substr(0, std::max(slash, root)));
}

std::optional<char> DriveLetterOf(std::string_view text)
{
    if (text.empty() || !IsLetter(text[0]))
        return std::nullopt;
    if (text.size() >= 2 && text[1] != ':')
        return std::nullopt;
    return AsciiLower(text[0]);
}

bool IsDriveOnly(std::string_view text)
{
    if (text.size() < 2 || !IsLetter(text[0]) || text[1] != ':')
        return false;
    if (text.size() == 2)
        return true;
    // The drive list's own text: "c: [label]".
    return text.size() >= 4 && text[2] == ' ' && text[3] == '[' && text.back() == ']';
}

std::vector<std::string> PathLevels(std::string_view fullPath)
{
    std::vector<std::string> levels;
    const std::size_t root = RootLength(fullPath);
    if (root == 0)
        return levels;
    levels.emplace_back(ListPathForm(fullPath.substr(0, root)));
    std::size_t start = root;
    while (start < fullPath.size()) {
        std::size_t end = start;
        while (end < fullPath.size() && !IsSeparator(fullPath[end]))
            ++end;
        if (end > start)
            levels.emplace_back(fullPath.substr(start, end - start));
        start = end + 1;
    }
    return levels;
}

} // namespace korrimat
