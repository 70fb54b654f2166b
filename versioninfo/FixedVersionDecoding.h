#pragma once
// The fixed part of a version resource as the texts the Version page shows.
// Pure: reads only the record it is given.

#include "formats/FixedFileFields.h"

#include <optional>
#include <string>

namespace korrimat {

struct FixedVersionTexts {
    std::string VerStructure;
    std::string VerFile;
    std::string VerProduct;
    std::string FileFlags;
    std::string FileOS;
    std::string FileType;
    // Only drivers and fonts of a known subtype have one; otherwise the caller keeps its old text.
    std::optional<std::string> FileSubType;
};

FixedVersionTexts DecodeFixedVersion(const FixedFileFields& fixed);

} // namespace korrimat
