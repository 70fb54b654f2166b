#pragma once
// The real platform, with every version query run on a copy of the image that ends where
// inaccessible memory begins. A query that reads or writes past the image then faults at once,
// in the file that made it do so, instead of quietly damaging the heap and failing later on
// another file. Otherwise it answers exactly as the real query does.

#include "platform/Platform.h"

namespace korrimat::mutation {

class FencedPlatform : public WindowsPlatform {
public:
    bool QueryVersionValue(std::span<const BYTE> image, const std::string& subBlock, const void*& address,
                           UINT& length) const override;
};

} // namespace korrimat::mutation
