// Lookup tables for prefix codes given by their code lengths (the canonical codes of Deflate, also
// used by Implode). A code is decoded by indexing the first-level table with the next bits of the
// stream, least significant first; an entry either tells what the code means or points to a
// further table indexed by the bits after it.
#pragma once

#include <cstdint>

namespace kq {

// Values of TCodeTableEntry::operation beside 0..14 (a base value followed by that many extra
// bits).
namespace codeop {
inline constexpr std::uint8_t EndOfBlock = 15;
inline constexpr std::uint8_t Literal = 16;
// Above Literal: a further table follows, indexed by (operation - Literal) more bits.
inline constexpr std::uint8_t Invalid = 99;
} // namespace codeop

struct TCodeTableEntry {
    std::uint8_t operation = codeop::Invalid; // what the entry is (see codeop)
    std::uint8_t bits = 0;                    // bits this entry consumes
    std::uint16_t value = 0;                  // literal or base value
    TCodeTableEntry* further = nullptr;       // the further table, when operation is above Literal
};

// How a code's lengths use the code space: what BuildCodeTable and CheckCodeLengths answer.
enum class TCodeSpace {
    Complete,
    Incomplete, // code space left unused; the table is built all the same
    OverSubscribed,
};

inline constexpr int MaxCodeLength = 16;
inline constexpr int MaxCodeValues = 288;

// The low `bits` bits set (bits below 32): what a code of that length reads from the bit buffer.
constexpr std::uint32_t Mask(int bits) {
    return (std::uint32_t(1) << bits) - 1;
}

// The next code of the same length, in reversed bit order (the order the stream sends a code's
// bits in): add one at the code's last bit.
constexpr std::uint32_t NextReversedCode(std::uint32_t code, int len) {
    std::uint32_t bit = std::uint32_t(1) << (len - 1);
    while (code & bit) {
        code ^= bit;
        bit >>= 1;
    }
    return code ^ bit;
}

// Builds the tables of the code whose value i has code length lengths[i] (0 = unused), for n
// values. Values below simpleCount are literals (256 is the end of block); value i from
// simpleCount on takes its base value and extra-bit count from bases[i - simpleCount] and
// extraBits[i - simpleCount]. lookupBits is the wanted first-level width on entry and the width
// used on return. On return table is null when every length is 0; otherwise the caller frees it
// with FreeCodeTable, also when the result is Incomplete. Code space that no value uses decodes
// to codeop::Invalid.
TCodeSpace BuildCodeTable(const std::uint8_t* lengths, int n, int simpleCount,
                          const std::uint16_t* bases, const std::uint8_t* extraBits,
                          TCodeTableEntry*& table, int& lookupBits);

// What BuildCodeTable answers for these lengths (Complete, Incomplete or OverSubscribed), without
// building anything.
TCodeSpace CheckCodeLengths(const std::uint8_t* lengths, int n);

// Releases every level of a code built by BuildCodeTable; null is allowed.
void FreeCodeTable(TCodeTableEntry* table);

// Owns the tables of one code for one block.
class TCodeTable {
public:
    TCodeTable() = default;
    ~TCodeTable() { FreeCodeTable(root_); }
    TCodeTable(const TCodeTable&) = delete;
    TCodeTable& operator=(const TCodeTable&) = delete;

    TCodeSpace Build(const std::uint8_t* lengths, int n, int simpleCount,
                     const std::uint16_t* bases, const std::uint8_t* extraBits, int wantedBits) {
        Free();
        lookupBits_ = wantedBits;
        return BuildCodeTable(lengths, n, simpleCount, bases, extraBits, root_, lookupBits_);
    }
    void Free() {
        FreeCodeTable(root_);
        root_ = nullptr;
        lookupBits_ = 0;
    }

    const TCodeTableEntry* Root() const { return root_; }
    int LookupBits() const { return lookupBits_; }

private:
    TCodeTableEntry* root_ = nullptr;
    int lookupBits_ = 0;
};

} // namespace kq
