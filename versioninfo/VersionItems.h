#pragma once
// The version items: the texts of a version resource that CFileVersionInfo reads from the string
// table of its first translation (and the language of that translation), each with the caption
// the Version page lists it under and the property that gives it. One table: the object reads by
// it, the page's list is filled from it and the item browser shows the row an entry stands for.

#include "versioninfo/FileVersionInfo.h"

#include <array>
#include <string>
#include <string_view>

namespace korrimat {

struct VersionItem {
    std::string_view key;      // the string table's key; empty for the language, named from the translation
    std::string_view caption;  // the Version page's list entry; empty where the page has a box of its own
    std::string (CFileVersionInfo::*property)() const;
};

inline constexpr std::array<VersionItem, CFileVersionInfo::kItemCount> kVersionItems{{
    {"CompanyName", "Company Name", &CFileVersionInfo::CompanyName},
    {"FileDescription", "Description", &CFileVersionInfo::FileDescription},
    {"FileVersion", "", &CFileVersionInfo::FileVersion},
    {"InternalName", "Internal Name", &CFileVersionInfo::InternalName},
    {"", "Language", &CFileVersionInfo::Language},
    {"LegalCopyright", "Legal Copyright", &CFileVersionInfo::LegalCopyright},
    {"LegalTrademarks", "Legal Trademarks", &CFileVersionInfo::LegalTrademarks},
    {"OriginalFilename", "Original Filename", &CFileVersionInfo::OriginalFilename},
    {"ProductName", "Product Name", &CFileVersionInfo::ProductName},
    {"ProductVersion", "Product Version", &CFileVersionInfo::ProductVersion},
}};

// The row of the item a property gives.
constexpr std::size_t ItemRow(std::string (CFileVersionInfo::*property)() const)
{
    std::size_t row = 0;
    while (row + 1 < kVersionItems.size() && kVersionItems[row].property != property)
        ++row;
    return row;
}

} // namespace korrimat
