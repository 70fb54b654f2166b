// FFileInfo's display of one file, or one folder, on both pages.

#include "app/FFileInfo.h"
#include "fileinfo/FileInfo.h"
#include "versioninfo/FileVersionInfo.h"

namespace korrimat {

void FFileInfo::ShowFileInfo(const std::string& path)
{
    tabInfo_.Select(std::string_view("General"));

    std::string fullPath;
    {
        CFileInfo fileInfo(platform_);
        fileInfo.SetFullPathName(platform_.UpperCase(path));

        txtFilename_.SetText(fileInfo.DisplayName());
        txtType_.SetText(fileInfo.TypeName());
        txtLocation_.SetText(fileInfo.FilePath());
        // Whole 64-bit sizes, so that files of 2 GiB and more read right.
        txtSize_.SetText(fileInfo.FormatFileSize(fileInfo.FileSize64()));
        txtCompSize_.SetText(fileInfo.attrCompressed() ? fileInfo.FormatFileSize(fileInfo.CompressedFileSize64())
                                                       : std::string("File is not compressed"));
        txtDosPath_.SetText(fileInfo.ShortPath());
        txtDosName_.SetText(fileInfo.ShortName());
        txtCreated_.SetText(fileInfo.FormatFileDate(fileInfo.CreationTime()));
        txtModified_.SetText(fileInfo.FormatFileDate(fileInfo.ModifyTime()));
        txtAccessed_.SetText(fileInfo.FormatFileDate(fileInfo.LastAccessTime()));

        const bool attributes[] = {fileInfo.attrReadOnly(), fileInfo.attrArchive(), fileInfo.attrCompressed(),
                                   fileInfo.attrHidden(),   fileInfo.attrSystem(),  fileInfo.attrTemporary()};
        for (int i = 0; i < 6; ++i)
            chkAttr(i).SetValue(attributes[i] ? 1 : 0);

        // Drawn while the object still owns the icon; the box keeps the drawing.
        ShowIcon(fileInfo.hIcon());
        fullPath = fileInfo.FullPathName();
    }

    CFileVersionInfo versionInfo(platform_);
    versionInfo.SetFullPathName(fullPath);
    const int versionTab = 1;
    if (versionInfo.Available()) {
        if (tabInfo_.Count() == 1)
            tabInfo_.Add(versionTab, "Version", "Version");
        txtFileVer_.SetText(versionInfo.FileVersion());
        txtDescription_.SetText(versionInfo.FileDescription());
        txtCopyright_.SetText(versionInfo.LegalCopyright());
        // The item shown next comes from the resource just read rather than a second reading.
        struct Forget {
            const CFileVersionInfo*& justRead;
            ~Forget() { justRead = nullptr; }
        } forget{versionJustRead_};
        versionJustRead_ = &versionInfo;
        // Selecting the first item raises its click, which shows the item. While the window is
        // still opening the list may be empty: nothing to select yet.
        if (lstVerInfo_.Count() > 0)
            lstVerInfo_.SetSelectedIndex(0);
        else
            lstVerInfo_Click();
    } else if (tabInfo_.Count() > 1) {
        tabInfo_.Remove(versionTab);
    }
}

void FFileInfo::ShowIcon(HICON icon)
{
    picIcon_.Clear();
    if (icon)
        platform_.DrawIconAt(picIcon_.Surface(), 0, 0, icon);
    picIcon_.Invalidate();
}

} // namespace korrimat
