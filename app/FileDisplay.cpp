// FFileInfo's display of one file, or one folder, on both pages.

#include "app/FFileInfo.h"
#include "platform/Trace.h"
#include "report/FileFacts.h"
#include "fileinfo/FileInfo.h"
#include "platform/Locale.h"
#include "versioninfo/FileVersionInfo.h"

namespace korrimat {

void FFileInfo::ShowFileInfo(const std::string& path, const WIN32_FIND_DATAA* listed)
{
    tabInfo.Select(std::string_view("General"));
    ClearNote();
    Display(path, 0, listed);
}

void FFileInfo::Display(const std::string& path, int item, const WIN32_FIND_DATAA* listed)
{
    std::string fullPath;
    {
        CFileInfo fileInfo(platform_);
        if (listed)
            fileInfo.SetFullPathName(UpperCase(path), *listed);
        else
            fileInfo.SetFullPathName(UpperCase(path));

        const GeneralPageTexts page = GeneralTextsOf(fileInfo);
        txtFilename.SetText(page.name);
        txtType.SetText(page.type);
        txtLocation.SetText(page.location);
        txtSize.SetText(page.size);
        txtCompSize.SetText(page.compressedSize);
        txtDosPath.SetText(page.msDosPath);
        txtDosName.SetText(page.msDosName);
        txtCreated.SetText(page.created);
        txtModified.SetText(page.modified);
        txtAccessed.SetText(page.accessed);
        for (std::size_t i = 0; i < chkAttr.size(); ++i)
            chkAttr[i].SetValue(page.attributes[i] ? 1 : 0);

        // Drawn while the object still owns the icon; the box keeps the drawing.
        ShowIcon(fileInfo.hIcon());
        fullPath = fileInfo.FullPathName();
    }

    CFileVersionInfo versionInfo(platform_);
    versionInfo.SetFullPathName(fullPath);
    const int versionTab = 1;
    if (versionInfo.Available()) {
        if (tabInfo.IndexOfKey("Version") < 0)
            tabInfo.Add(versionTab, "Version", "Version");
        txtFileVer.SetText(versionInfo.FileVersion());
        txtDescription.SetText(versionInfo.FileDescription());
        txtCopyright.SetText(versionInfo.LegalCopyright());
        // The item shown next comes from the resource just read rather than a second reading.
        const ScopeExit forget([this] { versionJustRead_ = nullptr; });
        versionJustRead_ = &versionInfo;
        // Selecting the item raises its click, which shows the item. While the window is still
        // opening the list may be empty: nothing to select yet.
        if (lstVerInfo.Count() > 0)
            lstVerInfo.SetSelectedIndex(item >= 0 && item < lstVerInfo.Count() ? item : 0);
        else
            lstVerInfo_Click();
    } else if (tabInfo.IndexOfKey("Version") == versionTab) {
        tabInfo.Remove(versionTab);
    }
    ShowSignaturePage(fullPath);
}

void FFileInfo::ShowIcon(HICON icon)
{
    picIcon.Clear();
    if (icon && !picIcon.DrawIcon(icon))
        TraceFailure("the shell's icon could not be drawn");
    picIcon.Invalidate();
}

} // namespace korrimat
