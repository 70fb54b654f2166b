#pragma once
// The operating system's services that the objects, the lists, the window and the report ask for
// and that a test may need to answer otherwise, as seams: one small class per kind of service,
// whose virtual calls are the real system's. A test derives from one, overrides the call it needs
// to fail or to watch, and puts it in place of the real one (Platform::With). What no test
// replaces is a plain function in the file of its job: FileSystem.h (attributes, listings),
// Locale.h, Shell.h (the lists' pictures), Drives.h, ProgramFiles.h and Signatures.h (a program's
// headers and signatures).

#include "platform/Clipboard.h"
#include "platform/Environment.h"
#include "platform/FileContents.h"
#include "platform/FileEntries.h"
#include "platform/Shell.h"
#include "platform/Threads.h"
#include "platform/VersionResources.h"

namespace korrimat {

class Platform {
public:
    Platform(const FileEntries& entries, const ShellDescriptions& shell, const VersionResources& versions,
             const FileContents& contents, const EnvironmentVariables& environment, const ThreadStarter& threads,
             const ClipboardWriter& clipboard) noexcept
        : entries_(&entries), shell_(&shell), versions_(&versions), contents_(&contents), environment_(&environment),
          threads_(&threads), clipboard_(&clipboard)
    {
    }

    const FileEntries& Entries() const noexcept { return *entries_; }
    const ShellDescriptions& Shell() const noexcept { return *shell_; }
    const VersionResources& Versions() const noexcept { return *versions_; }
    const FileContents& Contents() const noexcept { return *contents_; }
    const EnvironmentVariables& Environment() const noexcept { return *environment_; }
    const ThreadStarter& Threads() const noexcept { return *threads_; }
    const ClipboardWriter& Clipboard() const noexcept { return *clipboard_; }

    // This platform with one part put in place of its own (the part must outlive the copy).
    [[nodiscard]] Platform With(const FileEntries& part) const noexcept { return Replaced(&Platform::entries_, &part); }
    [[nodiscard]] Platform With(const ShellDescriptions& part) const noexcept { return Replaced(&Platform::shell_, &part); }
    [[nodiscard]] Platform With(const VersionResources& part) const noexcept { return Replaced(&Platform::versions_, &part); }
    [[nodiscard]] Platform With(const FileContents& part) const noexcept { return Replaced(&Platform::contents_, &part); }
    [[nodiscard]] Platform With(const EnvironmentVariables& part) const noexcept
    {
        return Replaced(&Platform::environment_, &part);
    }
    [[nodiscard]] Platform With(const ThreadStarter& part) const noexcept { return Replaced(&Platform::threads_, &part); }
    [[nodiscard]] Platform With(const ClipboardWriter& part) const noexcept { return Replaced(&Platform::clipboard_, &part); }

private:
    template <typename Part>
    Platform Replaced(const Part* Platform::*slot, const Part* part) const noexcept
    {
        Platform copy = *this;
        copy.*slot = part;
        return copy;
    }

    const FileEntries* entries_;
    const ShellDescriptions* shell_;
    const VersionResources* versions_;
    const FileContents* contents_;
    const EnvironmentVariables* environment_;
    const ThreadStarter* threads_;
    const ClipboardWriter* clipboard_;
};

// The one real platform of the process.
const Platform& SystemPlatform();

} // namespace korrimat
