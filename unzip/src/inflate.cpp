// Method 8, Deflate.
//
// Format notes, the parts this decoder relies on. Bits are taken least significant first. A
// stream is a sequence of blocks, each starting with a final-block bit and two type bits (0 stored,
// 1 fixed codes, 2 dynamic codes, 3 invalid).
// - Stored: skip to the next byte boundary, then LEN and its ones' complement NLEN (16 bits each)
//   and LEN bytes as they are.
// - Fixed codes: literal/length code lengths 8, 9, 7 and 8 bits for values 0-143, 144-255,
//   256-279 and 280-287; 30 distance codes of 5 bits.
// - Dynamic codes: HLIT (5 bits, 257 + HLIT literal/length codes), HDIST (5 bits, 1 + HDIST
//   distance codes), HCLEN (4 bits, 4 + HCLEN code-length code lengths of 3 bits, in a fixed order
//   of values). The literal/length and distance code lengths follow as one sequence coded with the
//   code-length code: 0-15 a length; 16 the previous length 3-6 times (2 extra bits); 17 and 18
//   zeros, 3-10 times (3 bits) and 11-138 times (7 bits).
// - Symbols: 0-255 a literal, 256 the end of the block, 257-285 a length (base plus extra bits)
//   followed by a distance code (base plus extra bits): copy that many bytes from that far back,
//   at most 32768 bytes back.
//
// How it is decoded. The decoder works the way the bytes of the input reader and the chunks of the
// output path dictate: bytes are taken from the reader only when a code needs them (so the moment a
// chunk is read, with its message processing, is fixed by the stream), and a full 32 KiB window is
// written as soon as it fills. Inside those lines most of the work is done by a fast loop that runs
// while the current input chunk holds enough bytes for any symbol: it takes eight bytes at a time
// into a 64-bit reservoir and decodes through wide single-lookup tables. Near the end of a chunk a
// careful loop takes over that asks the reader for bits exactly as a code's table levels need them,
// so that the next chunk is read when the stream first needs it; in the entry's last chunk, where
// no read follows, the fast loop goes on to the end. The careful loop's multi-level tables (a first
// level of a set width, further tables as wide as their codes need) are only built for a code too
// long for two of their levels: otherwise the careful loop decodes with the wide tables too and
// asks the reader for the bits those levels would.
// Both loops accept and reject the same streams: the wide tables are built from the same code
// lengths, after the same checks.
//
// The window lives in a work area of several windows in a row: the one being filled follows the
// one written before, so a copy never wraps; when the last of them is full it is moved to the
// front. Two rules keep damaged data from doing harm: a copy may not reach before the entry's first
// byte (the work area still holds the previous entry's data), and no new block is started once the
// stream's bits are used up (the reader would otherwise supply its last byte again for ever).
#include "base/exceptions.h"
#include "base/little_endian.h"
#include "unzip/code_table.h"
#include "unzip/decoders.h"
#include "unzip/errors.h"
#include "unzip/unzip_context.h"

#include <algorithm>
#include <cstring>

namespace kq {

namespace {

constexpr int kWindow = TUnzipContext::WindowSize;
// Room behind the last window: a copy may start just before a window's end, and a copy may write
// up to 32 bytes beyond its length.
constexpr int kSlack = 512;
// The fast loop's copy of an entry's last bytes (fewer than 16) and the repeats of its last byte.
constexpr std::size_t kTailBytes = 64;
static_assert(TUnzipContext::WorkAreaSize >= 2 * kWindow + kSlack);

// Block results.
constexpr int kBlockOk = 0;
constexpr int kBlockBad = 1;
constexpr int kBadBlockType = 2;

// Lengths for symbols 257-287 and distances for codes 0-29. Symbols 286 and 287 have codes in the
// fixed code but are not lengths.
constexpr std::uint16_t kLengthBase[31] = {3,  4,   5,   6,   7,   8,   9,   10, 11, 13, 15,
                                           17, 19,  23,  27,  31,  35,  43,  51, 59, 67, 83,
                                           99, 115, 131, 163, 195, 227, 258, 0,  0};
constexpr std::uint8_t kLengthExtra[31] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,  2, 2,
                                           3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 99, 99};
constexpr std::uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                               11, 4,  12, 3, 13, 2, 14, 1, 15};

constexpr int kLiteralCodes = 288;
constexpr int kDistanceCodes = 30;
constexpr int kMaxLiteralCodes = 286;
constexpr int kMaxLength = 15;

// The first-level widths the careful loop uses (the wide tables are internal).
constexpr int kFixedLiteralBits = 7;
constexpr int kFixedDistanceBits = 5;
constexpr int kDynamicLiteralBits = 9;
constexpr int kDynamicDistanceBits = 6;
constexpr int kCodeLengthBits = 7;

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define KQ_INFLATE_BMI2 1
#define KQ_BMI2_TARGET __attribute__((target("bmi,bmi2")))
bool HasBmi2() {
    static const bool has = __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2");
    return has;
}
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

constexpr std::uint32_t Literal = 0x1000;
constexpr std::uint32_t SubTable = 0x2000;
constexpr std::uint32_t EndOfBlock = 0x4000;
constexpr std::uint32_t Invalid = 0x8000;

constexpr int LiteralBits = 11;
constexpr int DistanceBits = 8;
// Every code longer than the first level may need a sub-table of its own, as wide as the longest
// code needs: that bounds the tables' sizes.
constexpr int LiteralEntries =
    (1 << LiteralBits) + kLiteralCodes * (1 << (kMaxLength - LiteralBits));
constexpr int DistanceEntries =
    (1 << DistanceBits) + (kDistanceCodes + 2) * (1 << (kMaxLength - DistanceBits));
static_assert(LiteralEntries + DistanceEntries <= TUnzipContext::InflateTableEntries);

// The payloads carry the extra bits in bits 0-7; Build adds the code's length to them and puts it
// in bits 8-11.
constexpr std::uint32_t LiteralPayload(int value) {
    if (value < 256)
        return Literal | std::uint32_t(value) << 16;
    if (value == 256)
        return EndOfBlock;
    if (value < 286)
        return std::uint32_t(kLengthBase[value - 257]) << 16 | kLengthExtra[value - 257];
    return Invalid;
}

constexpr std::uint32_t SymbolPayload(int value) {
    return std::uint32_t(value) << 16;
}

constexpr std::uint32_t DistancePayload(int value) {
    if (value < kDistanceCodes)
        return std::uint32_t(kDistanceBase[value]) << 16 | kDistanceExtra[value];
    return Invalid;
}

constexpr std::uint32_t NextReversedCode(std::uint32_t code, int len) {
    std::uint32_t bit = std::uint32_t(1) << (len - 1);
    while (code & bit) {
        code ^= bit;
        bit >>= 1;
    }
    return code ^ bit;
}

// Builds the wide table of a code whose lengths passed BuildCodeTable's checks (not
// over-subscribed; unused code space, if accepted, decodes as Invalid).
template <class Payload>
constexpr void Build(const std::uint8_t* lengths, int n, int firstBits, Payload payload,
                     std::uint32_t* table) {
    int count[kMaxLength + 1] = {};
    for (int i = 0; i < n; ++i)
        ++count[lengths[i]];
    int shortest = 1, longest = kMaxLength;
    while (shortest < kMaxLength && count[shortest] == 0)
        ++shortest;
    while (longest > 0 && count[longest] == 0)
        --longest;
    if (longest == 0) {
        // No codes at all: whatever is looked up is invalid.
        std::fill_n(table, std::size_t(1) << firstBits, Invalid);
        return;
    }
    int unused = 1;
    for (int len = 1; len <= longest; ++len)
        unused = 2 * unused - count[len];

    int offset[kMaxLength + 1] = {};
    for (int len = 2; len <= kMaxLength; ++len)
        offset[len] = offset[len - 1] + count[len - 1];
    std::uint16_t sorted[kLiteralCodes] = {};
    for (int i = 0; i < n; ++i)
        if (lengths[i] != 0)
            sorted[offset[lengths[i]]++] = static_cast<std::uint16_t>(i);
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
        for (; filledBits < bits; ++filledBits)
            std::copy_n(table, std::size_t(1) << filledBits,
                        table + (std::size_t(1) << filledBits));
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
                     i += std::uint32_t(1) << (len - firstBits))
                    table[subStart + i] = entry + (std::uint32_t(len - firstBits) << 8) +
                                          std::uint32_t(len - firstBits);
            }
            code = NextReversedCode(code, len);
        }
    }
    growTo(firstBits);
}

struct FixedTables {
    std::uint32_t literal[1 << LiteralBits] = {};
    std::uint32_t distance[1 << DistanceBits] = {};
};

constexpr void FixedLiteralLengths(std::uint8_t* lengths) {
    for (int i = 0; i < kLiteralCodes; ++i)
        lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
}

constexpr FixedTables MakeFixedTables() {
    FixedTables t;
    std::uint8_t lengths[kLiteralCodes] = {};
    FixedLiteralLengths(lengths);
    Build(lengths, kLiteralCodes, LiteralBits, LiteralPayload, t.literal);
    std::uint8_t distances[kDistanceCodes] = {};
    for (auto& d : distances)
        d = 5;
    Build(distances, kDistanceCodes, DistanceBits, DistancePayload, t.distance);
    return t;
}

// The fixed codes never change, so their wide tables are constant data.
constexpr FixedTables kFixed = MakeFixedTables();

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
        for (std::uint32_t width = 8 * distance; width < 64; width *= 2)
            pattern |= pattern << width;
        const std::uint32_t step = kStep[distance];
        do {
            StoreU64(out, pattern);
            out += step;
        } while (out < end);
    }
}

// One code of a block: its lengths, checked when the block starts, and the careful loop's tables,
// built the first time that loop needs them (a block decoded by the fast loop alone never does).
class BlockCode {
public:
    BlockCode(const std::uint8_t* lengths, int n, int simpleCount, const std::uint16_t* bases,
              const std::uint8_t* extraBits, int wantedBits)
        : lengths_(lengths), n_(n), simpleCount_(simpleCount), bases_(bases), extraBits_(extraBits),
          wantedBits_(wantedBits) {}

    int Check() const { return CheckCodeLengths(lengths_, n_); }
    bool Empty() const {
        for (int i = 0; i < n_; ++i)
            if (lengths_[i] != 0)
                return false;
        return true;
    }
    // The first-level width of the careful tables: the wanted width, raised to the shortest code
    // and lowered to the longest.
    int FirstWidth() {
        Measure();
        return firstWidth_;
    }
    // Every code fits in the first level and one further table (which is never wider than the
    // first level).
    bool TwoLevels() {
        Measure();
        return longest_ <= 2 * firstWidth_;
    }
    // The careful tables, built when first wanted.
    const TCodeTable& Tables() {
        if (!built_) {
            built_ = true;
            table_.Build(lengths_, n_, simpleCount_, bases_, extraBits_, wantedBits_);
        }
        return table_;
    }

private:
    void Measure() {
        if (measured_)
            return;
        measured_ = true;
        int shortest = kMaxLength + 1;
        for (int i = 0; i < n_; ++i) {
            if (lengths_[i] != 0) {
                shortest = std::min<int>(shortest, lengths_[i]);
                longest_ = std::max<int>(longest_, lengths_[i]);
            }
        }
        firstWidth_ = std::min(std::max(wantedBits_, shortest), longest_);
    }

    const std::uint8_t* lengths_;
    int n_;
    int simpleCount_;
    const std::uint16_t* bases_;
    const std::uint8_t* extraBits_;
    int wantedBits_;
    TCodeTable table_;
    bool built_ = false;
    bool measured_ = false;
    int longest_ = 0;
    int firstWidth_ = 0;
};

class Inflater {
public:
    explicit Inflater(TUnzipContext& context)
        : c_(context), base_(context.WorkArea()),
          end_(base_ + (TUnzipContext::WorkAreaSize - kSlack) / kWindow * kWindow), current_(base_),
          out_(current_), dynamicLiteral_(context.InflateTables()),
          dynamicDistance_(context.InflateTables() + wide::LiteralEntries) {}

    int Run();

private:
    enum Step { kMore, kEnd, kBad };

    int Block();
    int Stored();
    int Fixed();
    int Dynamic();
    int ReadCodeLengths(const std::uint8_t* codeLengthLengths, std::uint8_t* lengths, int n);
    int Codes(BlockCode& literal, BlockCode& distance, const std::uint32_t* wideLiteral,
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

    void Need(int n) { NeedBits(c_, bitBuffer_, bitCount_, n); }
    std::uint32_t Bits(int n) const { return static_cast<std::uint32_t>(bitBuffer_) & Mask(n); }
    void Drop(int n) { DropBits(bitBuffer_, bitCount_, n); }

    bool StreamUsedUp() const;
    // The entry's remaining bytes are all in the input chunk: no read of the archive follows.
    bool RestIsInChunk() const {
        return c_.CompressedBytesToLoad <= 0 && c_.CompressedBytesLeft <= c_.InputCount;
    }
    const std::uint8_t* FirstByte() const { return windowFilled_ ? current_ - kWindow : current_; }
    std::size_t History() const { return std::size_t(out_ - FirstByte()); }
    void FlushIfFull();

    TUnzipContext& c_;
    std::uint64_t bitBuffer_ = 0;
    int bitCount_ = 0;
    // The windows lie between base_ and end_; the current one starts at current_, the one written
    // before it (once there is one) right in front, and out_ is the next free byte.
    std::uint8_t* const base_;
    std::uint8_t* const end_;
    std::uint8_t* current_;
    std::uint8_t* out_;
    bool windowFilled_ = false;
    std::uint32_t* const dynamicLiteral_;
    std::uint32_t* const dynamicDistance_;
};

int Inflater::Run() {
    bool final = false;
    while (!final) {
        if (StreamUsedUp())
            return kBlockBad;
        Need(1);
        final = Bits(1) != 0;
        Drop(1);
        Need(2);
        const std::uint32_t type = Bits(2);
        Drop(2);
        int result = kBadBlockType;
        try {
            switch (type) {
            case 0:
                result = Stored();
                break;
            case 1:
                result = Fixed();
                break;
            case 2:
                result = Dynamic();
                break;
            default:
                break;
            }
        } catch (const EFatalUnzipError&) {
            // The archive ended inside the block: the entry is damaged, and its CRC says so.
            result = kBlockBad;
        } catch (const EBiggerThanUncompressed&) {
            result = kBlockBad;
        }
        // Anything else (the disk refusing data, a cancel, out of memory, a handler's own
        // exception) ends the run, as it does for every other method.
        if (result != kBlockOk)
            return result;
    }
    c_.FlushWindow(current_, std::size_t(out_ - current_));
    c_.FlushOutput();
    return kBlockOk;
}

// True when every bit of the entry's data has been consumed: what the reservoir holds then is the
// reader's last byte supplied again. A block started there could only be decoded from those
// repeated bytes, and a stream of empty blocks could go on for ever.
bool Inflater::StreamUsedUp() const {
    if (c_.CompressedBytesLeft > 0)
        return false;
    const std::int64_t repeated = -c_.CompressedBytesLeft;
    return bitCount_ <= 8 * repeated;
}

void Inflater::FlushIfFull() {
    std::uint8_t* next = current_ + kWindow;
    if (out_ < next)
        return;
    c_.FlushWindow(current_, kWindow);
    if (next + kWindow > end_) {
        // No room for another window: the one just written moves to the front, with what the
        // last copy wrote beyond it.
        const std::size_t beyond = std::size_t(out_ - next);
        std::memmove(base_, current_, kWindow + beyond);
        next = base_ + kWindow;
        out_ = next + beyond;
    }
    current_ = next;
    windowFilled_ = true;
}

int Inflater::Stored() {
    Drop(bitCount_ & 7);
    Need(16);
    std::uint32_t length = Bits(16);
    Drop(16);
    Need(16);
    const std::uint32_t complement = Bits(16);
    Drop(16);
    if (length != (~complement & 0xFFFF))
        return kBlockBad;
    while (length > 0) {
        if (bitCount_ == 0 && c_.InputCount > 0 && c_.CompressedBytesLeft > 0) {
            // Whole bytes straight from the input chunk, as far as the chunk and the window go.
            std::size_t n = std::min<std::size_t>(length, c_.InputCount);
            n = std::min<std::size_t>(n, std::size_t(current_ + kWindow - out_));
            std::memcpy(out_, c_.InputPos, n);
            out_ += n;
            c_.InputPos += n;
            c_.InputCount = static_cast<std::uint16_t>(c_.InputCount - n);
            c_.CompressedBytesLeft -= static_cast<std::int64_t>(n);
            c_.LastByte = c_.InputPos[-1];
            length -= static_cast<std::uint32_t>(n);
        } else {
            Need(8);
            *out_++ = static_cast<std::uint8_t>(Bits(8));
            Drop(8);
            --length;
        }
        FlushIfFull();
    }
    return kBlockOk;
}

int Inflater::Fixed() {
    std::uint8_t lengths[kLiteralCodes];
    wide::FixedLiteralLengths(lengths);
    BlockCode literal(lengths, kLiteralCodes, 257, kLengthBase, kLengthExtra, kFixedLiteralBits);
    std::uint8_t distances[kDistanceCodes];
    std::memset(distances, 5, sizeof distances);
    BlockCode distance(distances, kDistanceCodes, 0, kDistanceBase, kDistanceExtra,
                       kFixedDistanceBits);
    // The fixed lengths need no check: they make a complete literal/length code and a distance
    // code with two of its 32 five-bit codes unused, an incomplete code that is the format's own.
    return Codes(literal, distance, wide::kFixed.literal, wide::kFixed.distance);
}

int Inflater::Dynamic() {
    Need(5);
    const int literalCount = 257 + static_cast<int>(Bits(5));
    Drop(5);
    Need(5);
    const int distanceCount = 1 + static_cast<int>(Bits(5));
    Drop(5);
    Need(4);
    const int codeLengthCount = 4 + static_cast<int>(Bits(4));
    Drop(4);
    if (literalCount > kMaxLiteralCodes || distanceCount > kDistanceCodes)
        return kBlockBad;

    std::uint8_t codeLengthLengths[19] = {};
    for (int i = 0; i < codeLengthCount; ++i) {
        Need(3);
        codeLengthLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(Bits(3));
        Drop(3);
    }
    std::uint8_t lengths[kMaxLiteralCodes + kDistanceCodes];
    {
        int result = CheckCodeLengths(codeLengthLengths, 19);
        if (result != coderesult::Complete)
            return result;
        result = ReadCodeLengths(codeLengthLengths, lengths, literalCount + distanceCount);
        if (result != kBlockOk)
            return result;
    }

    BlockCode literal(lengths, literalCount, 257, kLengthBase, kLengthExtra, kDynamicLiteralBits);
    int result = literal.Check();
    if (result != coderesult::Complete)
        return result;
    BlockCode distance(lengths + literalCount, distanceCount, 0, kDistanceBase, kDistanceExtra,
                       kDynamicDistanceBits);
    result = distance.Check();
    if (result != coderesult::Complete)
        return result;
    wide::Build(lengths, literalCount, wide::LiteralBits, wide::LiteralPayload, dynamicLiteral_);
    wide::Build(lengths + literalCount, distanceCount, wide::DistanceBits, wide::DistancePayload,
                dynamicDistance_);
    return Codes(literal, distance, dynamicLiteral_, dynamicDistance_);
}

// Reads the literal/length and distance code lengths with the code-length code, whose lengths
// passed the check. Its codes are at most 7 bits long, so one lookup as wide as the longest
// decodes any of them, and the reader is asked for exactly that many bits, the first-level width
// the multi-level tables would use.
int Inflater::ReadCodeLengths(const std::uint8_t* codeLengthLengths, std::uint8_t* lengths, int n) {
    int bits = 0;
    for (int i = 0; i < 19; ++i)
        bits = std::max<int>(bits, codeLengthLengths[i]);
    // A code-length code without codes cannot describe any length.
    if (bits == 0)
        return kBlockBad;
    bits = std::min(bits, kCodeLengthBits);
    std::uint32_t table[1 << kCodeLengthBits];
    wide::Build(codeLengthLengths, 19, bits, wide::SymbolPayload, table);
    int previous = 0;
    int i = 0;
    while (i < n) {
        Need(bits);
        const std::uint32_t entry = table[Bits(bits)];
        Drop(static_cast<int>(entry & 0xFF));
        // The unused half of a code-length code made of one 1-bit code.
        if (entry & wide::Invalid)
            return kBlockBad;
        const int symbol = static_cast<int>(entry >> 16);
        if (symbol < 16) {
            lengths[i++] = static_cast<std::uint8_t>(symbol);
            previous = symbol;
            continue;
        }
        int repeat;
        if (symbol == 16) {
            Need(2);
            repeat = 3 + static_cast<int>(Bits(2));
            Drop(2);
        } else if (symbol == 17) {
            Need(3);
            repeat = 3 + static_cast<int>(Bits(3));
            Drop(3);
            previous = 0;
        } else {
            Need(7);
            repeat = 11 + static_cast<int>(Bits(7));
            Drop(7);
            previous = 0;
        }
        if (i + repeat > n)
            return kBlockBad;
        std::memset(lengths + i, previous, static_cast<std::size_t>(repeat));
        i += repeat;
    }
    return kBlockOk;
}

int Inflater::Codes(BlockCode& literal, BlockCode& distance, const std::uint32_t* wideLiteral,
                    const std::uint32_t* wideDistance) {
    if (literal.Empty())
        return kBlockBad;
    for (;;) {
        // A window that filled is written before anything else happens, also before a failure
        // found after it ends the block.
#ifdef KQ_INFLATE_BMI2
        Step step = HasBmi2() ? FastSymbolsBmi2(wideLiteral, wideDistance)
                              : FastSymbolsPlain(wideLiteral, wideDistance);
#else
        Step step = FastSymbolsPlain(wideLiteral, wideDistance);
#endif
        FlushIfFull();
        if (step == kMore && !RestIsInChunk()) {
            step = CarefulSymbol(literal, distance, wideLiteral, wideDistance);
            FlushIfFull();
        }
        if (step == kEnd)
            return kBlockOk;
        if (step == kBad)
            return kBlockBad;
    }
}

Inflater::Step Inflater::FastSymbolsPlain(const std::uint32_t* wideLiteral,
                                          const std::uint32_t* wideDistance) {
    return FastSymbols(wideLiteral, wideDistance);
}

Inflater::Step Inflater::FastSymbolsBmi2(const std::uint32_t* wideLiteral,
                                         const std::uint32_t* wideDistance) {
    return FastSymbols(wideLiteral, wideDistance);
}

// Decodes symbols while the input chunk holds at least 16 more bytes (or the rest of the entry)
// and the window has not filled. A refill takes 8 bytes of the chunk and leaves at least 56 bits in
// the reservoir; a literal takes at most 15 of them, a length with its distance at most 48 (a
// 15-bit length code with 5 extra bits, a 15-bit distance code with 13). A round starts with the
// next literal/length entry looked up after a refill; it decodes up to three literals, or refills
// once more (in the 8 bytes held back) before a length, and ends with a refill and the next
// round's lookup, done before a match is copied so that the two overlap.
Inflater::Step Inflater::FastSymbols(const std::uint32_t* wideLiteral,
                                     const std::uint32_t* wideDistance) {
    // The entry's last bytes: once they are all in the chunk no refill can follow, so taking
    // bits early changes nothing the reader does. They are copied with the last byte repeated
    // behind them, as the reader supplies it, and decoded by this loop too.
    std::uint8_t tail[kTailBytes];
    const std::uint8_t* in = c_.InputPos;
    std::size_t available = c_.InputCount;
    if (available < 16) {
        if (!RestIsInChunk())
            return kMore;
        std::memcpy(tail, in, available);
        const auto last =
            static_cast<std::uint8_t>(available > 0 ? in[available - 1] : c_.LastByte);
        std::memset(tail + available, last, kTailBytes - available);
        in = tail;
        available = kTailBytes;
    }
    const std::uint8_t* const inStart = in;
    const std::uint8_t* const inLast = in + available - 16;
    std::uint8_t* out = out_;
    std::uint8_t* const outEnd = current_ + kWindow;
    const std::uint8_t* const first = FirstByte();
    std::uint64_t bits = bitBuffer_;
    // Only the low 8 bits of count hold the number of bits in the reservoir (0-63); a consume
    // subtracts the whole entry, which leaves whatever it leaves in the bits above.
    unsigned count = static_cast<unsigned>(bitCount_);
    constexpr std::uint32_t kLiteralMask = Mask(wide::LiteralBits);
    Step step = kMore;

    const auto refill = [&] {
        bits |= LoadU64(in) << (count & 63);
        in += (~count >> 3) & 7;
        count |= 56;
    };
    // Consumes the bits in the low byte of an entry (or a count of bits).
    const auto consume = [&](std::uint32_t entry) {
        bits >>= entry & 63;
        count -= entry;
    };
    // The value of a length or distance entry: its base plus the bits above its code, consuming
    // both. (It shifts the reservoir itself: calling consume from here made the compiler keep the
    // reservoir in memory.)
    // Consumed bits and code lengths are below 32, and a length or distance entry has no kind
    // bits, so masking with 31 changes nothing in the fields.
    const auto value = [&](std::uint32_t entry) {
        const std::uint32_t taken = static_cast<std::uint32_t>(bits) & ~(~0u << (entry & 31));
        bits >>= entry & 63;
        count -= entry;
        return (entry >> 16) + (taken >> ((entry >> 8) & 31));
    };

    if (in > inLast || out >= outEnd)
        return kMore;
    refill();
    std::uint32_t entry = wideLiteral[bits & kLiteralMask];
    for (;;) {
        if (entry & wide::Literal) {
            consume(entry);
            *out++ = static_cast<std::uint8_t>(entry >> 16);
            entry = wideLiteral[bits & kLiteralMask];
            if (entry & wide::Literal) {
                consume(entry);
                *out++ = static_cast<std::uint8_t>(entry >> 16);
                entry = wideLiteral[bits & kLiteralMask];
                if (entry & wide::Literal) {
                    consume(entry);
                    *out++ = static_cast<std::uint8_t>(entry >> 16);
                    if (in > inLast || out >= outEnd)
                        break;
                    refill();
                    entry = wideLiteral[bits & kLiteralMask];
                    continue;
                }
            }
            // The entry looked up stays valid: a refill only adds bits above those it used.
            refill();
        }
        if (entry & wide::SubTable) {
            consume(wide::LiteralBits);
            entry = wideLiteral[(entry >> 16) + (bits & Mask((entry >> 8) & 0xF))];
            if (entry & wide::Literal) {
                consume(entry);
                *out++ = static_cast<std::uint8_t>(entry >> 16);
                if (in > inLast || out >= outEnd)
                    break;
                refill();
                entry = wideLiteral[bits & kLiteralMask];
                continue;
            }
        }
        if (entry & (wide::EndOfBlock | wide::Invalid)) {
            consume(entry);
            step = (entry & wide::EndOfBlock) ? kEnd : kBad;
            break;
        }
        const std::uint32_t length = value(entry);

        // A block without distance codes has a table of invalid entries.
        entry = wideDistance[bits & Mask(wide::DistanceBits)];
        if (entry & wide::SubTable) {
            consume(wide::DistanceBits);
            entry = wideDistance[(entry >> 16) + (bits & Mask((entry >> 8) & 0xF))];
        }
        if (entry & wide::Invalid) {
            step = kBad;
            break;
        }
        const std::uint32_t distance = value(entry);
        if (distance > std::size_t(out - first)) {
            step = kBad;
            break;
        }
        // The next round's entry first: the copy does not touch the reservoir.
        const bool more = in <= inLast;
        if (more) {
            refill();
            entry = wideLiteral[bits & kLiteralMask];
        }
        CopyMatch(out, distance, length);
        out += length;
        if (!more || out >= outEnd)
            break;
    }

    // Hand the bytes taken back to the reader's account; the reservoir keeps the whole bytes it
    // took from the chunk, which the careful loop uses before asking the reader again.
    const std::size_t taken = std::size_t(in - inStart);
    const std::size_t fromChunk = std::min<std::size_t>(taken, c_.InputCount);
    c_.InputPos += fromChunk;
    c_.InputCount = static_cast<std::uint16_t>(c_.InputCount - fromChunk);
    c_.CompressedBytesLeft -= static_cast<std::int64_t>(taken);
    if (taken > 0)
        c_.LastByte = in[-1];
    count &= 63;
    bitBuffer_ = bits & ((std::uint64_t(1) << count) - 1);
    bitCount_ = static_cast<int>(count);
    out_ = out;
    return step;
}

// One symbol, asking the reader for bits exactly as the careful tables' levels need them.
Inflater::Step Inflater::CarefulSymbol(BlockCode& literal, BlockCode& distance,
                                       const std::uint32_t* wideLiteral,
                                       const std::uint32_t* wideDistance) {
    std::uint32_t kind = 0;
    std::uint32_t length = 0;
    CarefulCode(literal, wideLiteral, wide::LiteralBits, kind, length);
    if (kind & wide::Invalid)
        return kBad;
    if (kind & wide::Literal) {
        *out_++ = static_cast<std::uint8_t>(length);
        return kMore;
    }
    if (kind & wide::EndOfBlock)
        return kEnd;

    // A length with no distance code to go with it (all distance lengths were 0).
    if (distance.Empty())
        return kBad;
    std::uint32_t offset = 0;
    CarefulCode(distance, wideDistance, wide::DistanceBits, kind, offset);
    if ((kind & wide::Invalid) || offset > History())
        return kBad;
    CopyMatch(out_, offset, length);
    out_ += length;
    return kMore;
}

// Decodes one code and its extra bits: kind gets the kind bits of a wide entry (0 for a length or
// distance), value the literal or the length or distance. Where every code fits in two levels of
// the careful tables the wide table stands in for them, asking the reader for the same bits (see
// WideDecode).
void Inflater::CarefulCode(BlockCode& code, const std::uint32_t* wideTable, int wideBits,
                           std::uint32_t& kind, std::uint32_t& value) {
    int extra = 0;
    if (code.TwoLevels()) {
        const std::uint32_t entry = WideDecode(wideTable, wideBits, code.FirstWidth());
        kind = entry & (wide::Literal | wide::EndOfBlock | wide::Invalid);
        value = entry >> 16;
        if (kind != 0)
            return;
        extra = static_cast<int>((entry & 0xFF) - ((entry >> 8) & 0xF));
    } else {
        const TCodeTableEntry* entry = Decode(code.Tables());
        if (entry == nullptr) {
            kind = wide::Invalid;
            return;
        }
        value = entry->v;
        if (entry->e == codeop::Literal || entry->e == codeop::EndOfBlock) {
            kind = entry->e == codeop::Literal ? wide::Literal : wide::EndOfBlock;
            return;
        }
        kind = 0;
        extra = entry->e;
    }
    Need(extra);
    value += Bits(extra);
    Drop(extra);
}

// The wide entry of the next code, the code's bits consumed (not its extra bits). The reader is
// asked for bits as the careful tables would ask for them, in a code whose codes fit in two of
// their levels: the first level's width; then, for a code longer than that, the further table's
// width, which is as wide as the longest code under the first level's bits needs. That longest
// code is found among the wide entries under those bits.
std::uint32_t Inflater::WideDecode(const std::uint32_t* table, int tableBits, int firstWidth) {
    const auto codeLength = [tableBits](std::uint32_t entry) {
        const int len = static_cast<int>((entry >> 8) & 0xF);
        return (entry & wide::SubTable) ? tableBits + len : len;
    };
    Need(firstWidth);
    const std::uint32_t prefix = Bits(firstWidth);
    if (codeLength(table[prefix]) > firstWidth) {
        int reach = firstWidth;
        for (std::uint32_t i = prefix; i < (std::uint32_t(1) << tableBits);
             i += std::uint32_t(1) << firstWidth)
            reach = std::max(reach, codeLength(table[i]));
        Need(reach);
    }
    std::uint32_t entry = table[Bits(tableBits)];
    if (entry & wide::SubTable) {
        Drop(tableBits);
        entry = table[(entry >> 16) + Bits(static_cast<int>((entry >> 8) & 0xF))];
    }
    Drop(static_cast<int>((entry >> 8) & 0xF));
    return entry;
}

// The entry of the next code, its bits consumed; null for a code no value uses.
const TCodeTableEntry* Inflater::Decode(const TCodeTable& code) {
    const int bits = code.LookupBits();
    Need(bits);
    const TCodeTableEntry* entry = code.Root() + Bits(bits);
    while (entry->e > codeop::Literal) {
        if (entry->e == codeop::Invalid)
            return nullptr;
        Drop(entry->b);
        const int more = entry->e - codeop::Literal;
        Need(more);
        entry = entry->t + Bits(more);
    }
    Drop(entry->b);
    return entry;
}

} // namespace

int Inflate(TUnzipContext& context) {
    Inflater inflater(context);
    return inflater.Run();
}

} // namespace kq
