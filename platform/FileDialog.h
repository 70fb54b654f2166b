#pragma once
// The system's Open dialog.

#include <windows.h>

#include <optional>
#include <string>

namespace korrimat {

// GetOpenFileNameW, owned by `owner`, starting in `folder`, for an existing file: its full path in
// the active code page, or nothing when the user cancelled (or the path has no form in it).
[[nodiscard]] std::optional<std::string> ChooseFileToOpen(HWND owner, const std::string& folder, const std::string& title);

} // namespace korrimat
