#pragma once
// The damaged copies the mutation run makes of files with a version resource. The plan is a
// list of small records; a record and its source give the same bytes every time, so a seed
// fixes the whole run.

#include "reliability/mutation/PeResources.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace korrimat::mutation {

struct Source {
    std::string stem;        // "complete", "korrimat"
    std::string extension;   // ".dll", ".exe"
    std::vector<std::uint8_t> bytes;
    VersionResource resource;
    std::vector<VersionBlock> blocks;
    // An embedded signature: the security directory's entry and the table it names (size 0: none).
    std::size_t signatureEntry = 0;
    std::size_t signatureOffset = 0;
    std::size_t signatureSize = 0;
};

enum class Kind {
    ResourceSize,   // the resource data entry's size cut to `value`
    Word,           // the word at `offset` inside the resource set to `value`
    BitFlips,       // one to three bits flipped at places drawn from `value`
    FileDword,      // the double word at file offset `offset` set to `value`
    SignatureFlips, // one to three bits flipped in the signature, at places drawn from `value`
};

struct Mutation {
    std::size_t source = 0;
    Kind kind = Kind::Word;
    std::size_t offset = 0;
    std::uint64_t value = 0;
    std::string label;   // unique within the source: names the mutated file
};

// The whole plan, in an order shuffled by `seed`: every size cut and root length cut, every
// block's three words set to values around and past its limits, every key left without its
// end, and `flipsPerSource` sets of bit flips per source; for a signed source also the security
// directory's place and size, the signature entry's length and type set around and past their
// limits, and `flipsPerSource` sets of bit flips in the signature.
std::vector<Mutation> PlanMutations(const std::vector<Source>& sources, std::uint64_t seed,
                                    std::size_t flipsPerSource);

std::vector<std::uint8_t> Apply(const Source& source, const Mutation& mutation);

// The mutated file's name: the source's stem, the label and the source's extension.
std::string FileNameOf(const Source& source, const Mutation& mutation);

// Numbers from a seed, the same on every compiler: the standard fixes mt19937_64's output and
// the reduction to a range is done here.
class Random {
public:
    explicit Random(std::uint64_t seed);
    std::uint64_t Next();
    std::uint64_t Below(std::uint64_t bound);

private:
    std::mt19937_64 engine_;
};

} // namespace korrimat::mutation
