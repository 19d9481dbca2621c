// Multi-level lookup tables for canonical prefix codes.
//
// Format notes: codes are assigned in order of length, and within one length in order of value;
// each code is the previous one plus one, shifted left when the length grows. The stream sends a
// code's first bit first, so a table is indexed by the code's bits reversed.
//
// Every table but the first is reached from an entry of the table above it and covers the bits
// after that table's. A further table is only as wide as the codes under its prefix need, so its
// entries are not wasted; it is never wider than the first-level table, and a table narrower than
// that is always filled by its own codes, so only full-width tables have tables below them.
//
// Code space that no value uses is filled with codes of the longest length that decode as
// invalid, so every entry of every table means something. Whether the caller accepts such an
// incomplete code is its business: the result says whether code space was left.
#include "decoders/code_table.h"

#include <new>

namespace kq {

namespace {

// One table being filled: where its index starts in the code, how many bits it takes, and the code
// bits before it that lead to it.
struct Level {
    TCodeTableEntry* table;
    int start;
    int width;
    std::uint32_t prefix;
};

// The width of a further table whose first code has length len and starts at bit start: wide
// enough for that code, then wider while the codes that follow would still leave it unfilled.
// remaining counts the codes of length len not placed yet, this one included.
int FurtherTableWidth(const int count[], int len, int remaining, int start, int firstWidth,
                      int longest) {
    const int limit = longest - start < firstWidth ? longest - start : firstWidth;
    int width = len - start;
    if (width >= limit) {
        return limit;
    }
    if ((1 << width) > remaining) {
        int unfilled = (1 << width) - remaining;
        while (++width < limit) {
            unfilled <<= 1;
            if (unfilled <= count[start + width]) {
                break;
            }
            unfilled -= count[start + width];
        }
    }
    return width;
}

TCodeTableEntry EntryFor(int value, bool supplied, int simpleCount, const std::uint16_t* bases,
                         const std::uint8_t* extraBits) {
    TCodeTableEntry entry;
    if (!supplied) {
        entry.operation = codeop::Invalid;
    } else if (value < simpleCount) {
        entry.operation = value == 256 ? codeop::EndOfBlock : codeop::Literal;
        entry.value = static_cast<std::uint16_t>(value);
    } else {
        entry.operation = extraBits[value - simpleCount];
        entry.value = bases[value - simpleCount];
    }
    return entry;
}

class CodeTableBuilder {
public:
    CodeTableBuilder(const std::uint8_t* lengths, int n, int simpleCount,
                     const std::uint16_t* bases, const std::uint8_t* extraBits)
        : lengths_(lengths), n_(n), simpleCount_(simpleCount), bases_(bases),
          extraBits_(extraBits) {}
    ~CodeTableBuilder() { FreeCodeTable(first_); }

    TCodeSpace Build(TCodeTableEntry*& table, int& lookupBits) {
        if (!CountLengths()) {
            return TCodeSpace::Incomplete;
        }
        if (count_[0] == n_) {
            lookupBits = 0;
            return TCodeSpace::Complete;
        }
        lookupBits = ChooseFirstWidth(lookupBits);
        const TCodeSpace verdict = CheckCodeLengths(lengths_, n_);
        if (verdict == TCodeSpace::OverSubscribed) {
            return verdict;
        }
        MeasureCodeSpace();
        SortValues();
        FillTables();
        table = first_;
        first_ = nullptr;
        return verdict;
    }

private:
    // Step 1: how many codes of each length; false when the lengths cannot form a code.
    bool CountLengths() {
        if (n_ < 0 || n_ > MaxCodeValues) {
            return false;
        }
        for (int i = 0; i < n_; ++i) {
            if (lengths_[i] > MaxCodeLength) {
                return false;
            }
            ++count_[lengths_[i]];
        }
        if (count_[0] == n_) {
            return true;
        }
        if (n_ > simpleCount_ && (bases_ == nullptr || extraBits_ == nullptr)) {
            return false;
        }
        while (count_[shortest_] == 0) {
            ++shortest_;
        }
        while (count_[longest_] == 0) {
            --longest_;
        }
        return true;
    }

    // Step 2: the wanted width, raised to the shortest code and lowered to the longest.
    int ChooseFirstWidth(int wanted) {
        firstWidth_ = wanted < shortest_ ? shortest_ : wanted;
        if (firstWidth_ > longest_) {
            firstWidth_ = longest_;
        }
        return firstWidth_;
    }

    // The code space left after the longest length (CheckCodeLengths has seen that no length
    // takes more than is left for it).
    void MeasureCodeSpace() {
        int left = 1;
        for (int len = 1; len <= longest_; ++len) {
            left = (left << 1) - count_[len];
        }
        unused_ = left;
    }

    // The values in code order; the unused code space becomes codes of the longest length whose
    // values lie beyond the supplied ones.
    void SortValues() {
        int offset[MaxCodeLength + 1] = {};
        for (int len = 2; len <= MaxCodeLength; ++len) {
            offset[len] = offset[len - 1] + count_[len - 1];
        }
        supplied_ = n_ - count_[0];
        for (int i = 0; i < n_; ++i) {
            if (lengths_[i] != 0) {
                sorted_[offset[lengths_[i]]++] = static_cast<std::uint16_t>(i);
            }
        }
        count_[longest_] += unused_;
    }

    // Steps 4 and 5: the tables, code by code in code order.
    void FillTables() {
        levels_[0] = {AllocateTable(firstWidth_), 0, firstWidth_, 0};
        std::uint32_t code = 0;
        int p = 0;
        for (int len = shortest_; len <= longest_; ++len) {
            for (int remaining = count_[len]; remaining > 0; --remaining, ++p) {
                const Level& level = LevelFor(code, len, remaining);
                const bool supplied = p < supplied_;
                TCodeTableEntry entry =
                    EntryFor(supplied ? sorted_[p] : 0, supplied, simpleCount_, bases_, extraBits_);
                entry.bits = static_cast<std::uint8_t>(len - level.start);
                const std::uint32_t step = std::uint32_t(1) << (len - level.start);
                for (std::uint32_t i = code >> level.start; i < (std::uint32_t(1) << level.width);
                     i += step) {
                    level.table[i] = entry;
                }
                code = NextReversedCode(code, len);
            }
        }
    }

    // The table that holds code: leaves tables of other prefixes, then adds further tables
    // until the code fits.
    const Level& LevelFor(std::uint32_t code, int len, int remaining) {
        while (depth_ > 0 && (code & Mask(levels_[depth_].start)) != levels_[depth_].prefix) {
            --depth_;
        }
        while (len > levels_[depth_].start + levels_[depth_].width) {
            const Level& parent = levels_[depth_];
            const int start = parent.start + parent.width;
            const int width =
                FurtherTableWidth(count_, len, remaining, start, firstWidth_, longest_);
            TCodeTableEntry* further = AllocateTable(width);
            TCodeTableEntry& link = parent.table[(code >> parent.start) & Mask(parent.width)];
            link.operation = static_cast<std::uint8_t>(codeop::Literal + width);
            link.bits = static_cast<std::uint8_t>(parent.width);
            link.further = further;
            levels_[++depth_] = {further, start, width, code & Mask(start)};
        }
        return levels_[depth_];
    }

    // One table of 2^width entries behind its header, linked after the last one allocated.
    TCodeTableEntry* AllocateTable(int width) {
        TCodeTableEntry* table = new TCodeTableEntry[(std::size_t(1) << width) + 1] + 1;
        if (last_ == nullptr) {
            first_ = table;
        } else {
            (last_ - 1)->further = table;
        }
        last_ = table;
        return table;
    }

    const std::uint8_t* lengths_;
    int n_;
    int simpleCount_;
    const std::uint16_t* bases_;
    const std::uint8_t* extraBits_;

    int count_[MaxCodeLength + 1] = {};
    int shortest_ = 1;
    int longest_ = MaxCodeLength;
    int firstWidth_ = 0;
    int unused_ = 0;
    int supplied_ = 0;
    std::uint16_t sorted_[MaxCodeValues] = {};
    Level levels_[MaxCodeLength + 1] = {};
    int depth_ = 0;
    TCodeTableEntry* first_ = nullptr;
    TCodeTableEntry* last_ = nullptr;
};

} // namespace

TCodeSpace CheckCodeLengths(const std::uint8_t* lengths, int n) {
    if (n < 0 || n > MaxCodeValues) {
        return TCodeSpace::Incomplete;
    }
    int count[MaxCodeLength + 1] = {};
    for (int i = 0; i < n; ++i) {
        if (lengths[i] > MaxCodeLength) {
            return TCodeSpace::Incomplete;
        }
        ++count[lengths[i]];
    }
    if (count[0] == n) {
        return TCodeSpace::Complete;
    }
    int longest = MaxCodeLength;
    while (count[longest] == 0) {
        --longest;
    }
    // Step 3: no length may have more codes than the code space left for it.
    int left = 1;
    for (int len = 1; len <= longest; ++len) {
        left = (left << 1) - count[len];
        if (left < 0) {
            return TCodeSpace::OverSubscribed;
        }
    }
    // Step 6: code space left unused makes the code incomplete, except for a single 1-bit code.
    return left != 0 && longest > 1 ? TCodeSpace::Incomplete : TCodeSpace::Complete;
}

TCodeSpace BuildCodeTable(const std::uint8_t* lengths, int n, int simpleCount,
                          const std::uint16_t* bases, const std::uint8_t* extraBits,
                          TCodeTableEntry*& table, int& lookupBits) {
    table = nullptr;
    // Out of memory leaves as std::bad_alloc, the levels built so far freed by the builder.
    CodeTableBuilder builder(lengths, n, simpleCount, bases, extraBits);
    return builder.Build(table, lookupBits);
}

void FreeCodeTable(TCodeTableEntry* table) {
    while (table != nullptr) {
        TCodeTableEntry* block = table - 1;
        table = block->further;
        delete[] block;
    }
}

} // namespace kq
