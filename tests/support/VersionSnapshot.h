#pragma once
// Every value of a version object, in one list: to check what a step leaves unchanged and that
// two readings of the same file agree.

#include "versioninfo/FileVersionInfo.h"
#include "versioninfo/VersionItems.h"

#include <string>
#include <vector>

namespace korrimat::testing {

inline std::vector<std::string> VersionSnapshot(const CFileVersionInfo& info)
{
    std::vector<std::string> values{info.FullPathName(), info.Available() ? "available" : "not available",
                                    info.VerStructure(),  info.VerFile(),
                                    info.VerProduct(),    info.FileFlags(),
                                    info.FileOS(),        info.FileType(),
                                    info.FileSubType()};
    for (const VersionItem& item : kVersionItems)
        values.push_back((info.*item.property)());
    return values;
}

} // namespace korrimat::testing
