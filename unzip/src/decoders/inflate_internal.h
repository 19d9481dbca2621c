// The parts of the Deflate decoder that its three files share: the blocks and the careful loop
// (inflate.cpp, with the format notes and the plan), the wide tables (inflate_tables.cpp) and the
// fast loop (inflate_fast_loop.cpp).
#pragma once

#include "base/little_endian.h"
#include "decoders/code_table.h"
#include "decoders/inflate.h"
#include "decoders/unzip_context.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kq::inflate {

inline constexpr int kWindow = TUnzipContext::WindowSize;
// Room behind the last window: a copy may start just before a window's end, and a copy may write
// up to 32 bytes beyond its length.
inline constexpr int kSlack = 512;
// The fast loop's copy of an entry's last bytes (fewer than 16) and the repeats of its last byte.
inline constexpr std::size_t kTailBytes = 64;
static_assert(TUnzipContext::WorkAreaSize >= 2 * kWindow + kSlack);
// The bytes of a window not yet written (less than a chunk) lie inside it.
static_assert(TUnzipContext::ChunkSize <= kWindow);

// Lengths for symbols 257-287 and distances for codes 0-29. Symbols 286 and 287 have codes in the
// fixed code but are not lengths.
inline constexpr std::uint16_t kLengthBase[31] = {3,  4,   5,   6,   7,   8,   9,   10, 11, 13, 15,
                                                  17, 19,  23,  27,  31,  35,  43,  51, 59, 67, 83,
                                                  99, 115, 131, 163, 195, 227, 258, 0,  0};
inline constexpr std::uint8_t kLengthExtra[31] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,  2, 2,
                                                  3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 99, 99};
inline constexpr std::uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
inline constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                    4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                    9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

inline constexpr int kLiteralCodes = 288;
inline constexpr int kDistanceCodes = 30;
inline constexpr int kMaxLength = 15;

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define KQ_INFLATE_BMI2 1
#define KQ_BMI2_TARGET __attribute__((target("bmi,bmi2")))
#else
#define KQ_BMI2_TARGET
#endif

// --- The wide tables
// ------------------------------------------------------------------------------
//
// One 32-bit entry per index: bits 0-7 the bits this entry consumes, for a length or distance its
// code and its extra bits together, bits 8-11 the length of the code within this level (or the
// width of the sub-table an entry points to), bits 12-15 the kind, bits 16-31 the literal, the base
// value or the sub-table's offset. A length or distance is then taken in one step: the extra value
// is the consumed bits above the code's own. Codes longer than the first level go through one
// sub-table, which covers all their remaining bits.
namespace wide {

inline constexpr std::uint32_t Literal = 0x1000;
inline constexpr std::uint32_t SubTable = 0x2000;
inline constexpr std::uint32_t EndOfBlock = 0x4000;
inline constexpr std::uint32_t Invalid = 0x8000;

inline constexpr int LiteralBits = 11;
inline constexpr int DistanceBits = 8;
// Every code longer than the first level may need a sub-table of its own, as wide as the longest
// code needs: that bounds the tables' sizes.
inline constexpr int LiteralEntries =
    (1 << LiteralBits) + kLiteralCodes * (1 << (kMaxLength - LiteralBits));
inline constexpr int DistanceEntries =
    (1 << DistanceBits) + (kDistanceCodes + 2) * (1 << (kMaxLength - DistanceBits));
static_assert(LiteralEntries + DistanceEntries <= TUnzipContext::InflateTableEntries);

// The tables of a code whose lengths passed CheckCodeLengths (not over-subscribed; unused code
// space, if accepted, decodes as Invalid): literal/length codes (LiteralEntries at most), distance
// codes (DistanceEntries at most), and the code-length code, a single level of firstBits.
void BuildLiteralTable(const std::uint8_t* lengths, int n, std::uint32_t* table);
void BuildDistanceTable(const std::uint8_t* lengths, int n, std::uint32_t* table);
void BuildCodeLengthTable(const std::uint8_t* lengths, int n, int firstBits, std::uint32_t* table);

struct FixedTables {
    std::uint32_t literal[1 << LiteralBits] = {};
    std::uint32_t distance[1 << DistanceBits] = {};
};

constexpr void FixedLiteralLengths(std::uint8_t* lengths) {
    for (int i = 0; i < kLiteralCodes; ++i) {
        lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
    }
}

// The fixed codes never change, so their wide tables are constant data.
extern const FixedTables kFixed;

} // namespace wide

// Copies a match of length bytes from distance bytes back. The destination has room for 32 bytes
// more than length, which lets a copy move 16 or 8 bytes at a time when the source is at least
// that far behind, the first 32 bytes without a test (most matches are no longer), and repeat a
// shorter pattern 8 bytes at a time.
inline void CopyMatch(std::uint8_t* out, std::uint32_t distance, std::uint32_t length) {
    const std::uint8_t* src = out - distance;
    std::uint8_t* const end = out + length;
    if (distance >= 16) {
        std::memcpy(out, src, 16);
        std::memcpy(out + 16, src + 16, 16);
        if (length > 32) {
            out += 32;
            src += 32;
            do {
                std::memcpy(out, src, 16);
                out += 16;
                src += 16;
            } while (out < end);
        }
    } else if (distance >= 8) {
        do {
            std::memcpy(out, src, 8);
            std::memcpy(out + 8, src + 8, 8);
            out += 16;
            src += 16;
        } while (out < end);
    } else {
        // The pattern of distance bytes, repeated over 8 bytes; the stores advance by a whole
        // number of patterns. The bytes loaded beyond the pattern are not part of it.
        constexpr std::uint8_t kStep[8] = {0, 8, 8, 6, 8, 5, 6, 7};
        std::uint64_t pattern = LoadU64(src) & (~std::uint64_t(0) >> (64 - 8 * distance));
        for (std::uint32_t width = 8 * distance; width < 64; width *= 2) {
            pattern |= pattern << width;
        }
        const std::uint32_t step = kStep[distance];
        do {
            StoreU64(out, pattern);
            out += step;
        } while (out < end);
    }
}

// One code of a block: its lengths, and the careful loop's view of them (inflate.cpp).
class BlockCode;

// Decodes one entry's stream; the decoder's state lives here, its steps in the three files.
class Inflater {
public:
    Inflater(TEntryInput& input, TEntryOutput& output, std::uint8_t* workArea,
             std::uint32_t* tables)
        : in_(input), output_(output), base_(workArea),
          end_(base_ + (TUnzipContext::WorkAreaSize - kSlack) / kWindow * kWindow), current_(base_),
          out_(current_), unwritten_(current_), dynamicLiteral_(tables),
          dynamicDistance_(tables + wide::LiteralEntries) {}

    TInflateResult Run();

private:
    enum Step { kMore, kEnd, kBad };

    TInflateResult Stored();
    TInflateResult Fixed();
    TInflateResult Dynamic();
    TInflateResult ReadCodeLengths(const std::uint8_t* codeLengthLengths, std::uint8_t* lengths,
                                   int n);
    TInflateResult Codes(BlockCode& literal, BlockCode& distance, const std::uint32_t* wideLiteral,
                         const std::uint32_t* wideDistance);
    // The fast loop, compiled for any processor of the family and, on x86 processors that have
    // them, for the instructions that shift and mask by a count in any register. Neither is
    // inlined into Codes: on its own the loop keeps its reservoir in registers.
    [[gnu::always_inline]] inline Step FastSymbols(const std::uint32_t* wideLiteral,
                                                   const std::uint32_t* wideDistance);
    [[gnu::noinline]] Step FastSymbolsPlain(const std::uint32_t* wideLiteral,
                                            const std::uint32_t* wideDistance);
    [[gnu::noinline]] KQ_BMI2_TARGET Step FastSymbolsBmi2(const std::uint32_t* wideLiteral,
                                                          const std::uint32_t* wideDistance);
    Step CarefulSymbol(BlockCode& literal, BlockCode& distance, const std::uint32_t* wideLiteral,
                       const std::uint32_t* wideDistance);
    void CarefulCode(BlockCode& code, const std::uint32_t* wideTable, int wideBits,
                     std::uint32_t& kind, std::uint32_t& value);
    std::uint32_t WideDecode(const std::uint32_t* table, int tableBits, int firstWidth);
    const TCodeTableEntry* Decode(const TCodeTable& code);

    void Need(int n) { NeedBits(in_, bitBuffer_, bitCount_, n); }
    std::uint32_t Bits(int n) const { return static_cast<std::uint32_t>(bitBuffer_) & Mask(n); }
    void Drop(int n) { DropBits(bitBuffer_, bitCount_, n); }

    bool StreamUsedUp() const;
    // The entry's remaining bytes are all in the input chunk: no read of the archive follows.
    bool RestIsInChunk() const {
        return in_.CompressedBytesToLoad <= 0 && in_.CompressedBytesLeft <= in_.InputCount;
    }
    const std::uint8_t* FirstByte() const { return windowFilled_ ? current_ - kWindow : current_; }
    std::size_t History() const { return std::size_t(out_ - FirstByte()); }
    void FlushIfFull();

    TEntryInput& in_;
    TEntryOutput& output_;
    std::uint64_t bitBuffer_ = 0;
    int bitCount_ = 0;
    // The windows lie between base_ and end_; the current one starts at current_, the one written
    // before it (once there is one) right in front, and out_ is the next free byte.
    std::uint8_t* const base_;
    std::uint8_t* const end_;
    std::uint8_t* current_;
    std::uint8_t* out_;
    // The first byte not yet handed to the output path: the bytes from there up to the last
    // window's end make less than a chunk, and are written from here with the chunk they start.
    const std::uint8_t* unwritten_;
    bool windowFilled_ = false;
    std::uint32_t* const dynamicLiteral_;
    std::uint32_t* const dynamicDistance_;
};

} // namespace kq::inflate
