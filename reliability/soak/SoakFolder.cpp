#include "reliability/soak/SoakFolder.h"

#include <cstdint>
#include <fstream>
#include <iterator>

namespace korrimat::soak {

namespace {

constexpr char kVanishing[] = "vanishing.txt";

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A name with an accented letter, in this process's code page (left out where it has none).
std::string AccentedName()
{
    const wchar_t wide[] = L"caf\u00e9 cr\u00e8me.txt";
    char narrow[64] = {};
    // UTF-8 takes neither the flag nor the question whether a character was lost: it loses none.
    const bool utf8 = ::GetACP() == CP_UTF8;
    BOOL lossy = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, -1, narrow,
                                             sizeof(narrow), nullptr, utf8 ? nullptr : &lossy);
    return length > 0 && !lossy ? std::string(narrow) : std::string();
}

} // namespace

SoakFolder::SoakFolder(const std::string& buildFolder) : folder_("korrimat-soak"), path_(folder_.Path())
{
    if (::GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Problem("cannot create " + path_);
        return;
    }

    // Programs with version resources: the version fixtures, and Korrimat itself.
    const std::string fixtures = buildFolder + "\\tests\\versioninfo";
    int fixtureCount = 0;
    WIN32_FIND_DATAA found{};
    UniqueFindHandle search(::FindFirstFileA((fixtures + "\\vi_*.dll").c_str(), &found));
    if (search) {
        do {
            CopyFile(fixtures + "\\" + found.cFileName, found.cFileName);
            ++fixtureCount;
        } while (::FindNextFileA(search.Get(), &found));
    }
    if (fixtureCount == 0)
        Problem("no version fixtures (vi_*.dll) in " + fixtures);

    const std::string program = buildFolder + "\\app\\korrimat.exe";
    const std::string image = ReadWholeFile(program);
    if (image.empty()) {
        Problem("cannot read " + program);
    } else {
        CopyFile(program, "korrimat.exe");
        CopyFile(program, "Program Copy (read-only).exe", FILE_ATTRIBUTE_READONLY);
        // Damaged programs: cut short inside its headers, and bytes that are no program at all.
        WriteFile("truncated.exe", image.substr(0, 1024));
        WriteFile("cut in the middle.dll", image.substr(0, image.size() / 2));
        CopyFile(program, "locked.exe");
    }
    std::string noise(3000, '\0');
    std::uint32_t state = 2463534242u;
    for (char& byte : noise) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state);
    }
    WriteFile("noise.dll", noise);

    const std::string lines = "Korrimat soak\r\nA text file of a few lines.\r\n";
    WriteFile("notes.txt", lines);
    WriteFile("README", lines);
    WriteFile("data.unknownextension", lines);
    WriteFile("hidden.txt", lines, FILE_ATTRIBUTE_HIDDEN);
    WriteFile("system.sys", lines, FILE_ATTRIBUTE_SYSTEM);
    WriteFile("temporary.tmp", lines, FILE_ATTRIBUTE_TEMPORARY);
    WriteFile("archive.log", lines, FILE_ATTRIBUTE_ARCHIVE);
    WriteFile("every attribute.txt", lines,
              FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    WriteFile("Long name with spaces, commas and more than eight letters.text file", lines);
    WriteFile("multi.dots.in.the.name.txt", lines);
    WriteFile(".starts with a dot", lines);
    if (const std::string accented = AccentedName(); !accented.empty())
        WriteFile(accented, lines);
    WriteFile(kRewritten, lines);
    WriteFile("empty.txt", {});
    WriteFile("empty", {});
    WriteFile("empty.dll", {});
    WriteFile("empty.exe", {});

    MakeFolder("Empty Folder");
    MakeFolder("Sub Folder");
    WriteFile("Sub Folder\\inner.txt", lines);
    if (fixtureCount > 0)
        CopyFile(fixtures + "\\vi_complete.dll", "Sub Folder\\inner.dll");
    MakeFolder("nested");
    MakeFolder("nested\\deeper");
    MakeFolder("nested\\deeper\\deepest");
    WriteFile("nested\\deeper\\deepest\\bottom.txt", lines);

    // Held open for reading with no sharing for as long as the folder exists: nothing else may
    // open it, not even to read its version resource or its icon.
    heldOpen_.Reset(::CreateFileA(PathOf("locked.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!heldOpen_)
        Problem("cannot hold locked.exe open");
}

SoakFolder::~SoakFolder()
{
    // Closed before the folder goes with the object's other members.
    heldOpen_.Reset();
}

void SoakFolder::CreateVanishingFile()
{
    if (!Write(PathOf(kVanishing), "here for a moment\r\n"))
        Problem("cannot write " + PathOf(kVanishing));
}

void SoakFolder::DeleteVanishingFile()
{
    ::DeleteFileA(PathOf(kVanishing).c_str());
}

bool SoakFolder::Rewrite()
{
    // 100 to 1,000 bytes, never the size before.
    ++rewrites_;
    return Write(PathOf(kRewritten), std::string(static_cast<std::size_t>(100 + rewrites_ % 10 * 100), 'r'));
}

bool SoakFolder::Write(const std::string& path, const std::string& content)
{
    UniqueFile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && (content.empty() || ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()),
                                                   &written, nullptr));
}

void SoakFolder::WriteFile(const std::string& relative, const std::string& content, DWORD attributes)
{
    const std::string path = PathOf(relative);
    if (!Write(path, content)) {
        Problem("cannot write " + path);
        return;
    }
    if (attributes)
        ::SetFileAttributesA(path.c_str(), attributes);
    ++files_;
}

void SoakFolder::CopyFile(const std::string& source, const std::string& relative, DWORD attributes)
{
    const std::string path = PathOf(relative);
    if (!::CopyFileA(source.c_str(), path.c_str(), FALSE)) {
        Problem("cannot copy " + source + " to " + path);
        return;
    }
    if (attributes)
        ::SetFileAttributesA(path.c_str(), attributes);
    ++files_;
}

void SoakFolder::MakeFolder(const std::string& relative)
{
    if (!::CreateDirectoryA(PathOf(relative).c_str(), nullptr)) {
        Problem("cannot create " + PathOf(relative));
        return;
    }
    ++folders_;
}

} // namespace korrimat::soak
