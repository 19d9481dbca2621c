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

// How many codes there are of each length, and the shortest and longest length in use.
struct LengthCounts {
    int count[kMaxLength + 1] = {};
    int shortest = 1;
    int longest = kMaxLength;
};

constexpr LengthCounts CountLengths(const std::uint8_t* lengths, int n) {
    LengthCounts c;
    for (int i = 0; i < n; ++i) {
        ++c.count[lengths[i]];
    }
    while (c.shortest < kMaxLength && c.count[c.shortest] == 0) {
        ++c.shortest;
    }
    while (c.longest > 0 && c.count[c.longest] == 0) {
        --c.longest;
    }
    return c;
}

// The code space no code takes, counted in codes of the longest length.
constexpr int UnusedCodes(const LengthCounts& c) {
    int unused = 1;
    for (int len = 1; len <= c.longest; ++len) {
        unused = 2 * unused - c.count[len];
    }
    return unused;
}

// The values that have a code, in the order their codes are assigned: by length, and within one
// length by value.
constexpr void SortByLength(const std::uint8_t* lengths, int n, const LengthCounts& c,
                            std::uint16_t* sorted) {
    int offset[kMaxLength + 1] = {};
    for (int len = 2; len <= kMaxLength; ++len) {
        offset[len] = offset[len - 1] + c.count[len - 1];
    }
    for (int i = 0; i < n; ++i) {
        if (lengths[i] != 0) {
            sorted[offset[lengths[i]]++] = static_cast<std::uint16_t>(i);
        }
    }
}

// Puts a table's codes in, one after the other in order of length. A code of len bits fills every
// index whose low len bits are its own. The first 2^len entries are complete for the codes up to
// len bits once the shorter ones have been doubled up to that width, and the first level grows to
// its full width by doubling. Entries that a longer code owns are overwritten when its turn comes.
class TableFiller {
public:
    constexpr TableFiller(std::uint32_t* table, int firstBits, const LengthCounts& counts)
        : table_(table), counts_(counts), firstBits_(firstBits),
          firstSize_(std::uint32_t(1) << firstBits), nextFree_(firstSize_), subPrefix_(firstSize_),
          filledBits_(std::min(counts.shortest, firstBits)) {}

    // Doubles the first level's complete entries until they are bits wide.
    constexpr void GrowTo(int bits) {
        for (; filledBits_ < bits; ++filledBits_) {
            std::copy_n(table_, std::size_t(1) << filledBits_,
                        table_ + (std::size_t(1) << filledBits_));
        }
    }

    // The code (its bits reversed) of len bits, the first of remaining codes of that length.
    constexpr void Put(std::uint32_t code, int len, std::uint32_t entry, int remaining) {
        if (len <= firstBits_) {
            table_[code] = entry + (std::uint32_t(len) << 8) + std::uint32_t(len);
            return;
        }
        if ((code & (firstSize_ - 1)) != subPrefix_) {
            StartSubTable(code & (firstSize_ - 1), len, remaining);
        }
        const int below = len - firstBits_;
        for (std::uint32_t i = code >> firstBits_; i < (std::uint32_t(1) << subBits_);
             i += std::uint32_t(1) << below) {
            table_[subStart_ + i] = entry + (std::uint32_t(below) << 8) + std::uint32_t(below);
        }
    }

private:
    // A new sub-table under prefix, as wide as the codes under it need.
    constexpr void StartSubTable(std::uint32_t prefix, int len, int remaining) {
        subPrefix_ = prefix;
        subBits_ = len - firstBits_;
        int unfilled = (1 << subBits_) - remaining;
        while (unfilled > 0 && subBits_ < counts_.longest - firstBits_) {
            ++subBits_;
            unfilled = 2 * unfilled - counts_.count[firstBits_ + subBits_];
        }
        subStart_ = nextFree_;
        nextFree_ += std::uint32_t(1) << subBits_;
        table_[subPrefix_] = SubTable | subStart_ << 16 | std::uint32_t(subBits_) << 8 | firstBits_;
    }

    std::uint32_t* const table_;
    const LengthCounts& counts_;
    const int firstBits_;
    const std::uint32_t firstSize_;
    std::uint32_t nextFree_;
    std::uint32_t subPrefix_; // firstSize_ while there is no sub-table yet
    std::uint32_t subStart_ = 0;
    int subBits_ = 0;
    int filledBits_;
};

// Builds the wide table of a code whose lengths passed BuildCodeTable's checks (not
// over-subscribed; unused code space, if accepted, decodes as Invalid).
template <class Payload>
constexpr void Build(const std::uint8_t* lengths, int n, int firstBits, Payload payload,
                     std::uint32_t* table) {
    LengthCounts counts = CountLengths(lengths, n);
    if (counts.longest == 0) {
        // No codes at all: whatever is looked up is invalid.
        std::fill_n(table, std::size_t(1) << firstBits, Invalid);
        return;
    }
    const int unused = UnusedCodes(counts);
    std::uint16_t sorted[kLiteralCodes] = {};
    SortByLength(lengths, n, counts, sorted);
    const int supplied = n - counts.count[0];
    // The unused code space takes codes of the longest length, which decode as Invalid.
    counts.count[counts.longest] += unused;

    TableFiller filler(table, firstBits, counts);
    std::uint32_t code = 0;
    int p = 0;
    for (int len = counts.shortest; len <= counts.longest; ++len) {
        filler.GrowTo(std::min(len, firstBits));
        for (int remaining = counts.count[len]; remaining > 0; --remaining, ++p) {
            filler.Put(code, len, p < supplied ? payload(sorted[p]) : Invalid, remaining);
            code = NextReversedCode(code, len);
        }
    }
    filler.GrowTo(firstBits);
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
