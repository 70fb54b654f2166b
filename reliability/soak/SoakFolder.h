#pragma once
// The folder the soak shows, over and over: programs with and without version resources, damaged
// and empty ones, text files with every attribute, names with spaces, dots and accents, a file
// held open with no sharing (so it cannot be opened), one that vanishes after the list is filled,
// one rewritten with another size while it is shown, and subfolders, empty, filled and nested. Made fresh under the temporary folder and removed
// with everything in it when the object goes.

#include "platform/UniqueHandle.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <string>
#include <vector>

namespace korrimat::soak {

class SoakFolder {
public:
    // `buildFolder` holds app\korrimat.exe and tests\versioninfo\vi_*.dll.
    explicit SoakFolder(const std::string& buildFolder);
    ~SoakFolder();
    SoakFolder(const SoakFolder&) = delete;
    SoakFolder& operator=(const SoakFolder&) = delete;

    const std::string& Path() const noexcept { return path_; }
    // What could not be made; empty when every entry is there.
    const std::vector<std::string>& Problems() const noexcept { return problems_; }
    // The file that is listed and then disappears.
    void CreateVanishingFile();
    void DeleteVanishingFile();
    // The file rewritten while it is shown: each rewrite gives it another size.
    static constexpr const char* kRewritten = "rewritten.log";
    bool Rewrite();
    // Entries made, files and folders.
    int FileCount() const noexcept { return files_; }
    int FolderCount() const noexcept { return folders_; }
    // Leaves the folder on disk when the object goes.
    void Keep() noexcept { folder_.Keep(); }

private:
    std::string PathOf(const std::string& relative) const { return path_ + "\\" + relative; }
    static bool Write(const std::string& path, const std::string& content);
    void WriteFile(const std::string& relative, const std::string& content, DWORD attributes = 0);
    void CopyFile(const std::string& source, const std::string& relative, DWORD attributes = 0);
    void MakeFolder(const std::string& relative);
    void Problem(const std::string& what) { problems_.push_back(what); }

    testing::TempFolder folder_;
    std::string path_;
    std::vector<std::string> problems_;
    UniqueFile heldOpen_;
    int files_ = 0;
    int folders_ = 0;
    int rewrites_ = 0;
};

// Removes a folder and everything in it, read-only entries included.

} // namespace korrimat::soak
