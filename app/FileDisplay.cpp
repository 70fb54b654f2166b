// FFileInfo's display of one file, or one folder, on both pages.

#include "app/FFileInfo.h"
#include "fileinfo/FileInfo.h"
#include "versioninfo/FileVersionInfo.h"

namespace korrimat {

void FFileInfo::ShowFileInfo(const std::string& path)
{
    tabInfo.Select(std::string_view("General"));

    std::string fullPath;
    {
        CFileInfo fileInfo(platform_);
        fileInfo.SetFullPathName(platform_.UpperCase(path));

        txtFilename.SetText(fileInfo.DisplayName());
        txtType.SetText(fileInfo.TypeName());
        txtLocation.SetText(fileInfo.FilePath());
        // Whole 64-bit sizes, so that files of 2 GiB and more read right.
        txtSize.SetText(fileInfo.FormatFileSize(fileInfo.FileSize64()));
        txtCompSize.SetText(fileInfo.attrCompressed() ? fileInfo.FormatFileSize(fileInfo.CompressedFileSize64())
                                                       : std::string("File is not compressed"));
        txtDosPath.SetText(fileInfo.ShortPath());
        txtDosName.SetText(fileInfo.ShortName());
        txtCreated.SetText(fileInfo.FormatFileDate(fileInfo.CreationTime()));
        txtModified.SetText(fileInfo.FormatFileDate(fileInfo.ModifyTime()));
        txtAccessed.SetText(fileInfo.FormatFileDate(fileInfo.LastAccessTime()));

        const bool attributes[] = {fileInfo.attrReadOnly(), fileInfo.attrArchive(), fileInfo.attrCompressed(),
                                   fileInfo.attrHidden(),   fileInfo.attrSystem(),  fileInfo.attrTemporary()};
        for (std::size_t i = 0; i < chkAttr.size(); ++i)
            chkAttr[i].SetValue(attributes[i] ? 1 : 0);

        // Drawn while the object still owns the icon; the box keeps the drawing.
        ShowIcon(fileInfo.hIcon());
        fullPath = fileInfo.FullPathName();
    }

    CFileVersionInfo versionInfo(platform_);
    versionInfo.SetFullPathName(fullPath);
    const int versionTab = 1;
    if (versionInfo.Available()) {
        if (tabInfo.Count() == 1)
            tabInfo.Add(versionTab, "Version", "Version");
        txtFileVer.SetText(versionInfo.FileVersion());
        txtDescription.SetText(versionInfo.FileDescription());
        txtCopyright.SetText(versionInfo.LegalCopyright());
        // The item shown next comes from the resource just read rather than a second reading.
        struct Forget {
            const CFileVersionInfo*& justRead;
            ~Forget() { justRead = nullptr; }
        } forget{versionJustRead_};
        versionJustRead_ = &versionInfo;
        // Selecting the first item raises its click, which shows the item. While the window is
        // still opening the list may be empty: nothing to select yet.
        if (lstVerInfo.Count() > 0)
            lstVerInfo.SetSelectedIndex(0);
        else
            lstVerInfo_Click();
    } else if (tabInfo.Count() > 1) {
        tabInfo.Remove(versionTab);
    }
}

void FFileInfo::ShowIcon(HICON icon)
{
    picIcon.Clear();
    if (icon)
        platform_.DrawIconAt(picIcon.Surface(), 0, 0, icon);
    picIcon.Invalidate();
}

} // namespace korrimat
