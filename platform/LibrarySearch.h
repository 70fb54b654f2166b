#pragma once
// Where the program's libraries come from. Windows looks for a library that is not one of its
// known DLLs in the program's own folder first, so a "version.dll" lying beside a copy of
// Korrimat in a Downloads folder would be loaded and run. The programs Korrimat ships import
// their libraries delay-loaded (cmake/DelayLoad.cmake), and call this first thing, before any of
// them is needed.

#include <windows.h>

#include <span>

namespace korrimat {

// Every library loaded from now on, by this process or by the system's code in it, is looked for
// in the system folder only (SetDefaultDllDirectories); then each delay-loaded library (by its
// descriptor) is loaded from the system folder and every function the program imports from it
// bound at once. Nothing is left to look for later, when a 32-bit program may have the system
// folder's redirection turned off for a call, and no call goes through the delay-load stubs.
// Where the system lacks SetDefaultDllDirectories (Windows 7 without its update KB2533623), the
// current folder leaves the search (SetDllDirectoryW) and the libraries are still loaded by their
// full path in the system folder; a library the system's code loads by name later may then still
// be found beside the program. False when a library or a function could not be had: the program
// cannot run then.
bool LoadLibrariesFromSystemFolderOnly(std::span<const IMAGE_DELAYLOAD_DESCRIPTOR* const> delayLoaded) noexcept;

} // namespace korrimat
