// The Deflate decoder's wide tables: one lookup for any code up to the first level's width, one
// sub-table below it for the longer ones (the entries' layout is in inflate_internal.h).
//
// Format notes: a code is given by its values' lengths. Codes are assigned in order of length,
// and within one length in order of value; each code is the previous one plus one, shifted left
// when the length grows. The stream sends a code's first bit first, so a table is indexed by the
// code's bits reversed.
#include "decoders/inflate_internal.h"

#include <algorithm>

namespace kq::inflate::wide {

namespace {

// The payloads carry the extra bits in bits 0-7; Build adds the code's length to them and puts it
// in bits 8-11.
constexpr std::uint32_t LiteralPayload(int value) {
    if (value < 256) {
        return Literal | std::uint32_t(value) << 16;
    }
    if (value == 256) {
        return EndOfBlock;
    }
    if (value < 286) {
        return std::uint32_t(kLengthBase[value - 257]) << 16 | kLengthExtra[value - 257];
    }
    return Invalid;
}

constexpr std::uint32_t SymbolPayload(int value) {
    return std::uint32_t(value) << 16;
}

constexpr std::uint32_t DistancePayload(int value) {
    if (value < kDistanceCodes) {
        return std::uint32_t(kDistanceBase[value]) << 16 | kDistanceExtra[value];
    }
    return Invalid;
}

// Builds the wide table of a code whose lengths passed BuildCodeTable's checks (not
// over-subscribed; unused code space, if accepted, decodes as Invalid).
template <class Payload>
constexpr void Build(const std::uint8_t* lengths, int n, int firstBits, Payload payload,
                     std::uint32_t* table) {
    int count[kMaxLength + 1] = {};
    for (int i = 0; i < n; ++i) {
        ++count[lengths[i]];
    }
    int shortest = 1, longest = kMaxLength;
    while (shortest < kMaxLength && count[shortest] == 0) {
        ++shortest;
    }
    while (longest > 0 && count[longest] == 0) {
        --longest;
    }
    if (longest == 0) {
        // No codes at all: whatever is looked up is invalid.
        std::fill_n(table, std::size_t(1) << firstBits, Invalid);
        return;
    }
    int unused = 1;
    for (int len = 1; len <= longest; ++len) {
        unused = 2 * unused - count[len];
    }

    int offset[kMaxLength + 1] = {};
    for (int len = 2; len <= kMaxLength; ++len) {
        offset[len] = offset[len - 1] + count[len - 1];
    }
    std::uint16_t sorted[kLiteralCodes] = {};
    for (int i = 0; i < n; ++i) {
        if (lengths[i] != 0) {
            sorted[offset[lengths[i]]++] = static_cast<std::uint16_t>(i);
        }
    }
    const int supplied = n - count[0];
    count[longest] += unused;

    const std::uint32_t firstSize = std::uint32_t(1) << firstBits;
    std::uint32_t nextFree = firstSize;
    std::uint32_t subPrefix = firstSize; // no sub-table yet
    std::uint32_t subStart = 0;
    int subBits = 0;
    std::uint32_t code = 0;
    int p = 0;
    // A code of len bits fills every index whose low len bits are its own. The codes go in by
    // length: the first 2^len entries are complete for the codes up to len bits once the
    // shorter ones have been doubled up to that width, and the first level grows to its full
    // width by doubling. Entries that a longer code owns are overwritten when its turn comes.
    int filledBits = shortest < firstBits ? shortest : firstBits;
    const auto growTo = [&](int bits) {
        for (; filledBits < bits; ++filledBits) {
            std::copy_n(table, std::size_t(1) << filledBits,
                        table + (std::size_t(1) << filledBits));
        }
    };
    for (int len = shortest; len <= longest; ++len) {
        growTo(len < firstBits ? len : firstBits);
        for (int remaining = count[len]; remaining > 0; --remaining, ++p) {
            const std::uint32_t entry = p < supplied ? payload(sorted[p]) : Invalid;
            if (len <= firstBits) {
                table[code] = entry + (std::uint32_t(len) << 8) + std::uint32_t(len);
            } else {
                if ((code & (firstSize - 1)) != subPrefix) {
                    // A new sub-table, as wide as the codes under this prefix need.
                    subPrefix = code & (firstSize - 1);
                    subBits = len - firstBits;
                    int unfilled = (1 << subBits) - remaining;
                    while (unfilled > 0 && subBits < longest - firstBits) {
                        ++subBits;
                        unfilled = 2 * unfilled - count[firstBits + subBits];
                    }
                    subStart = nextFree;
                    nextFree += std::uint32_t(1) << subBits;
                    table[subPrefix] =
                        SubTable | subStart << 16 | std::uint32_t(subBits) << 8 | firstBits;
                }
                for (std::uint32_t i = code >> firstBits; i < (std::uint32_t(1) << subBits);
                     i += std::uint32_t(1) << (len - firstBits)) {
                    table[subStart + i] = entry + (std::uint32_t(len - firstBits) << 8) +
                                          std::uint32_t(len - firstBits);
                }
            }
            code = NextReversedCode(code, len);
        }
    }
    growTo(firstBits);
}

constexpr FixedTables MakeFixedTables() {
    FixedTables t;
    std::uint8_t lengths[kLiteralCodes] = {};
    FixedLiteralLengths(lengths);
    Build(lengths, kLiteralCodes, LiteralBits, LiteralPayload, t.literal);
    std::uint8_t distances[kDistanceCodes] = {};
    for (auto& d : distances) {
        d = 5;
    }
    Build(distances, kDistanceCodes, DistanceBits, DistancePayload, t.distance);
    return t;
}

} // namespace

constexpr FixedTables kFixed = MakeFixedTables();

void BuildLiteralTable(const std::uint8_t* lengths, int n, std::uint32_t* table) {
    Build(lengths, n, LiteralBits, LiteralPayload, table);
}

void BuildDistanceTable(const std::uint8_t* lengths, int n, std::uint32_t* table) {
    Build(lengths, n, DistanceBits, DistancePayload, table);
}

void BuildCodeLengthTable(const std::uint8_t* lengths, int n, int firstBits, std::uint32_t* table) {
    Build(lengths, n, firstBits, SymbolPayload, table);
}

} // namespace kq::inflate::wide
