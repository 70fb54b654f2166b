#pragma once
// The order in which the system sorts names for the user, worked out with the system's own
// comparison: what the lists must show.

#include "platform/FileSystem.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace korrimat::testing {

// Sorted by StrCmpLogicalW; names it finds equal by their UTF-16 code units.
inline std::vector<std::string> InSystemOrder(std::vector<std::string> names)
{
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::wstring wideA = WideText(a);
        const std::wstring wideB = WideText(b);
        const int logical = ::StrCmpLogicalW(wideA.c_str(), wideB.c_str());
        return logical != 0 ? logical < 0 : wideA < wideB;
    });
    return names;
}

} // namespace korrimat::testing
