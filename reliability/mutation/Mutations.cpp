#include "reliability/mutation/Mutations.h"

#include <cstdio>
#include <set>
#include <utility>

namespace korrimat::mutation {
namespace {

std::string Hex(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof(text), "%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string Padded(std::size_t value, int width)
{
    char text[24];
    std::snprintf(text, sizeof(text), "%0*zu", width, value);
    return text;
}

class Planner {
public:
    Planner(std::size_t sourceIndex, const Source& source, std::vector<Mutation>& plan)
        : index_(sourceIndex), source_(source), plan_(plan)
    {
    }

    // Writing a word is planned once for each place and value, and never as the value it has.
    void Word(std::size_t offset, std::uint64_t value, const std::string& label)
    {
        const std::span<const std::uint8_t> resource(source_.bytes.data() + source_.resource.dataOffset,
                                                     source_.resource.size);
        if (value > 0xFFFF || offset + 2 > resource.size() || ReadWord(resource, offset) == value)
            return;
        if (!written_.insert({offset, value}).second)
            return;
        plan_.push_back({index_, Kind::Word, offset, value, label});
    }

    void Add(Kind kind, std::uint64_t value, const std::string& label) { plan_.push_back({index_, kind, 0, value, label}); }
    void FileDword(std::size_t offset, std::uint64_t value, const std::string& label)
    {
        if (value <= 0xFFFFFFFFu && offset + 4 <= source_.bytes.size() && ReadDword(source_.bytes, offset) != value)
            plan_.push_back({index_, Kind::FileDword, offset, value, label});
    }

private:
    std::size_t index_;
    const Source& source_;
    std::vector<Mutation>& plan_;
    std::set<std::pair<std::size_t, std::uint64_t>> written_;
};

void PlanSource(std::size_t index, const Source& source, Random& random, std::size_t flips,
                std::vector<Mutation>& plan)
{
    Planner planner(index, source, plan);
    const std::size_t size = source.resource.size;
    const int width = size >= 10000 ? 5 : 4;

    // Truncation: the resource as the file's directory gives it, and the root block's own length.
    for (std::size_t length = 0; length < size; ++length)
        planner.Add(Kind::ResourceSize, length, "size-" + Padded(length, width));
    const std::size_t rootLength = source.blocks.empty() ? size : source.blocks.front().length;
    for (std::size_t length = 0; length < rootLength; ++length)
        planner.Word(0, length, "root-" + Padded(length, width));

    for (std::size_t b = 0; b < source.blocks.size(); ++b) {
        const VersionBlock& block = source.blocks[b];
        // Appended piece by piece: GCC 12 warns wrongly about "b" + text.
        std::string name = "b";
        name += Padded(b, 2);
        name += '-';
        const std::size_t toParentEnd = block.parentEnd - block.offset;
        const std::size_t toResourceEnd = size - block.offset;

        // The length: zero (the next sibling is the block itself), inside its own header, a
        // little short or long, up to and past the parent's end and the resource's end.
        for (const std::size_t length :
             {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4}, std::size_t{5},
              std::size_t{6}, block.length - 1, block.length - 2, block.length - 4, block.length + 1,
              block.length + 2, block.length + 4, toParentEnd, toParentEnd + 1, toParentEnd + 4, toResourceEnd,
              toResourceEnd + 1, toResourceEnd + 4, toResourceEnd + 64, std::size_t{0x7FFF}, std::size_t{0xFFFF}})
            planner.Word(block.offset, length, name + "length-" + Hex(length));

        // The value's length: none, a little off, reaching past the block and past the resource.
        for (const std::size_t valueLength :
             {std::size_t{0}, block.valueLength - 1, block.valueLength + 1, block.valueLength + 2, block.length,
              block.length + 1, toResourceEnd, toResourceEnd / 2 + 1, std::size_t{0x7FFF}, std::size_t{0xFFFF}})
            planner.Word(block.offset + 2, valueLength, name + "valuelength-" + Hex(valueLength));

        // The type: text for binary and back, and values whose low byte reads as a character.
        const std::uint16_t type = ReadWord(std::span<const std::uint8_t>(source.bytes), source.resource.dataOffset + block.offset + 4);
        for (const std::size_t newType : {std::size_t{type == 0 ? 1u : 0u}, std::size_t{2}, std::size_t{0x20},
                                          std::size_t{0x41}, std::size_t{0xFF}, std::size_t{0x100}})
            planner.Word(block.offset + 4, newType, name + "type-" + Hex(newType));

        // The key without its terminating zero: it runs on into the value.
        planner.Word(block.keyEnd, 'X', name + "key-open");
    }

    for (std::size_t i = 0; i < flips; ++i)
        planner.Add(Kind::BitFlips, random.Next(), "flips-" + Padded(i, 4));

    if (source.signatureSize == 0)
        return;
    // The signature: where the directory says it is and how long, and its entry's own length and
    // revision and type, around and past their limits; then bits flipped anywhere in it.
    const std::size_t at = source.signatureOffset;
    const std::size_t length = source.signatureSize;
    const std::size_t fileSize = source.bytes.size();
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{7}, std::size_t{8}, std::size_t{9},
                                   length - 1, length / 2, length + 1, length + 8, std::size_t{0x7FFFFFFF},
                                   std::size_t{0xFFFFFFFF}})
        planner.FileDword(source.signatureEntry + 4, size, "signature-size-" + Hex(size));
    for (const std::size_t place : {std::size_t{0}, std::size_t{1}, at - 1, at + 1, at + 8, fileSize - 4, fileSize,
                                    fileSize + 4096, std::size_t{0xFFFFFFFF}})
        planner.FileDword(source.signatureEntry, place, "signature-at-" + Hex(place));
    for (const std::size_t entryLength : {std::size_t{0}, std::size_t{8}, std::size_t{9}, length - 1, length + 1,
                                          std::size_t{0xFFFFFFFF}})
        planner.FileDword(at, entryLength, "signature-entry-length-" + Hex(entryLength));
    for (const std::size_t revisionAndType : {std::size_t{0x00010200}, std::size_t{0x00000200}, std::size_t{0xFFFF0200},
                                              std::size_t{0x00020100}})
        planner.FileDword(at + 4, revisionAndType, "signature-entry-type-" + Hex(revisionAndType));
    for (std::size_t i = 0; i < flips; ++i)
        planner.Add(Kind::SignatureFlips, random.Next(), "signature-flips-" + Padded(i, 4));
}

} // namespace

Random::Random(std::uint64_t seed) : engine_(seed) {}

std::uint64_t Random::Next() { return engine_(); }

std::uint64_t Random::Below(std::uint64_t bound) { return bound == 0 ? 0 : engine_() % bound; }

std::vector<Mutation> PlanMutations(const std::vector<Source>& sources, std::uint64_t seed,
                                    std::size_t flipsPerSource)
{
    std::vector<Mutation> plan;
    Random random(seed);
    for (std::size_t i = 0; i < sources.size(); ++i)
        PlanSource(i, sources[i], random, flipsPerSource, plan);
    // Shuffled, so that a short run's first few hundred files draw on every source and kind.
    for (std::size_t i = plan.size(); i > 1; --i)
        std::swap(plan[i - 1], plan[random.Below(i)]);
    return plan;
}

std::vector<std::uint8_t> Apply(const Source& source, const Mutation& mutation)
{
    std::vector<std::uint8_t> bytes = source.bytes;
    const std::span<std::uint8_t> file(bytes);
    switch (mutation.kind) {
    case Kind::ResourceSize:
        WriteDword(file, source.resource.dataEntryOffset + 4, static_cast<std::uint32_t>(mutation.value));
        break;
    case Kind::Word:
        WriteWord(file, source.resource.dataOffset + mutation.offset, static_cast<std::uint16_t>(mutation.value));
        break;
    case Kind::BitFlips: {
        Random random(mutation.value);
        const std::uint64_t count = 1 + random.Below(3);
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t bit = random.Below(std::uint64_t{source.resource.size} * 8);
            bytes[source.resource.dataOffset + bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
        }
        break;
    }
    case Kind::FileDword:
        WriteDword(file, mutation.offset, static_cast<std::uint32_t>(mutation.value));
        break;
    case Kind::SignatureFlips: {
        Random random(mutation.value);
        const std::uint64_t count = 1 + random.Below(3);
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t bit = random.Below(std::uint64_t{source.signatureSize} * 8);
            bytes[source.signatureOffset + bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
        }
        break;
    }
    }
    return bytes;
}

std::string FileNameOf(const Source& source, const Mutation& mutation)
{
    return source.stem + "-" + mutation.label + source.extension;
}

} // namespace korrimat::mutation
