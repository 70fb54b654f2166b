#include "platform/FileDialog.h"

#include "platform/Text.h"

#include <commdlg.h>

#include <vector>

namespace korrimat {

std::optional<std::string> ChooseFileToOpen(HWND owner, const std::string& folder, const std::string& title)
{
    // Room for a path past the classic limit.
    std::vector<wchar_t> path(32768, L'\0');
    const std::wstring start = WideText(folder);
    const std::wstring caption = WideText(title);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"All files\0*.*\0";
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
    dialog.lpstrTitle = caption.c_str();
    // The process's current folder is left where it was.
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_DONTADDTORECENT;
    if (!::GetOpenFileNameW(&dialog))
        return std::nullopt;
    return ExactNarrowText(path.data());
}

} // namespace korrimat
