#pragma once
// korrimat-report --check: the files that sums files list (as sha256sum, md5sum and their kin
// write them, in the GNU or the BSD form) hashed again and held against the sums, a line per
// entry, as `sha256sum -c` checks them.

#include "platform/Platform.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korrimat {

struct CheckCommand {
    std::vector<std::string> sumsFiles;
};

// Exit codes: every entry OK, some not (FAILED or not found), or a sums file with nothing to check
// (it cannot be opened, is too large, or holds no line that can be read).
enum CheckExit : int { kEveryFileOk = 0, kSomeFilesNotOk = 1, kSumsFileUnusable = 2 };

// Writes "NAME: OK", "NAME: FAILED" or "NAME: not found" to `out` per entry, in the sums files'
// order, then the count; what is wrong with a sums file or a listed file goes to `error`. Each
// listed file is read once, with only the hashes its entries need.
CheckExit RunCheckCommand(const Platform& platform, const CheckCommand& command,
                          const std::function<void(std::string_view)>& out,
                          const std::function<void(std::string_view)>& error);

} // namespace korrimat
