#pragma once
// The version items the Version page lists, in their fixed order, each with the property of
// CFileVersionInfo it shows. The list is filled from this table and looked up in it by text.

#include "versioninfo/FileVersionInfo.h"

#include <array>
#include <string>
#include <string_view>

namespace korrimat {

struct VersionItem {
    std::string_view name;
    std::string (CFileVersionInfo::*property)() const;
};

inline constexpr std::array<VersionItem, 9> kVersionItems{{
    {"Company Name", &CFileVersionInfo::CompanyName},
    {"Description", &CFileVersionInfo::FileDescription},
    {"Internal Name", &CFileVersionInfo::InternalName},
    {"Language", &CFileVersionInfo::Language},
    {"Legal Copyright", &CFileVersionInfo::LegalCopyright},
    {"Legal Trademarks", &CFileVersionInfo::LegalTrademarks},
    {"Original Filename", &CFileVersionInfo::OriginalFilename},
    {"Product Name", &CFileVersionInfo::ProductName},
    {"Product Version", &CFileVersionInfo::ProductVersion},
}};

} // namespace korrimat
