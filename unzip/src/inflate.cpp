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
// careful loop takes over that asks the reader for bits exactly as a code's table levels need them.
// Both loops accept and reject the same streams: the wide tables are built from the same code
// lengths, after the same checks.
//
// The window lives in a work area of two windows: the one being filled and, behind it, the one
// written before, so a copy never wraps; when the current window is full it is written and moved
// back. Two rules keep damaged data from doing harm: a copy may not reach before the entry's first
// byte (the work area still holds the previous entry's data), and no new block is started once the
// stream's bits are used up (the reader would otherwise supply its last byte again for ever).
#include "base/exceptions.h"
#include "unzip/code_table.h"
#include "unzip/decoders.h"
#include "unzip/unzip_context.h"

#include <cstring>

namespace kq {

namespace {

constexpr int kWindow = TUnzipContext::WindowSize;

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

constexpr std::uint32_t Mask(int bits) {
    return (std::uint32_t(1) << bits) - 1;
}

// --- The wide tables
// ------------------------------------------------------------------------------
//
// One 32-bit entry per index: bits 0-7 the bits this entry consumes, bits 8-11 the extra bits of a
// length or distance (or the width of the sub-table an entry points to), bits 12-15 the kind, bits
// 16-31 the literal, the base value or the sub-table's offset. Codes longer than the first level
// go through one sub-table, which covers all their remaining bits.
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

constexpr std::uint32_t LiteralPayload(int value) {
    if (value < 256)
        return Literal | std::uint32_t(value) << 16;
    if (value == 256)
        return EndOfBlock;
    if (value < 286)
        return std::uint32_t(kLengthBase[value - 257]) << 16 |
               std::uint32_t(kLengthExtra[value - 257]) << 8;
    return Invalid;
}

constexpr std::uint32_t DistancePayload(int value) {
    if (value < kDistanceCodes)
        return std::uint32_t(kDistanceBase[value]) << 16 | std::uint32_t(kDistanceExtra[value])
                                                               << 8;
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
    if (longest == 0)
        return;
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
    for (int len = shortest; len <= longest; ++len) {
        for (int remaining = count[len]; remaining > 0; --remaining, ++p) {
            const std::uint32_t entry = p < supplied ? payload(sorted[p]) : Invalid;
            if (len <= firstBits) {
                for (std::uint32_t i = code; i < firstSize; i += std::uint32_t(1) << len)
                    table[i] = entry | std::uint32_t(len);
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
                    table[subStart + i] = entry | std::uint32_t(len - firstBits);
            }
            code = NextReversedCode(code, len);
        }
    }
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

inline std::uint64_t LoadLittleEndian64(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// Copies a match of length bytes from distance bytes back. The destination has room for up to 8
// bytes more than length, which lets a copy move 8 bytes at a time when the source is at least 8
// bytes behind.
inline void CopyMatch(std::uint8_t* out, std::uint32_t distance, std::uint32_t length) {
    const std::uint8_t* src = out - distance;
    std::uint8_t* const end = out + length;
    if (distance >= 8) {
        do {
            std::memcpy(out, src, 8);
            out += 8;
            src += 8;
        } while (out < end);
    } else if (distance == 1) {
        std::memset(out, *src, length);
    } else {
        while (out < end)
            *out++ = *src++;
    }
}

class Inflater {
public:
    explicit Inflater(TUnzipContext& context)
        : c_(context), base_(context.WorkArea()), current_(base_ + kWindow), out_(current_),
          dynamicLiteral_(context.InflateTables()),
          dynamicDistance_(context.InflateTables() + wide::LiteralEntries) {}

    int Run();

private:
    enum Step { kMore, kEnd, kBad };

    int Block();
    int Stored();
    int Fixed();
    int Dynamic();
    int ReadCodeLengths(const TCodeTable& codeLengthCode, std::uint8_t* lengths, int n);
    int Codes(const TCodeTable& literal, const TCodeTable& distance,
              const std::uint32_t* wideLiteral, const std::uint32_t* wideDistance);
    Step FastSymbols(const std::uint32_t* wideLiteral, const std::uint32_t* wideDistance,
                     bool haveDistances);
    Step CarefulSymbol(const TCodeTable& literal, const TCodeTable& distance);
    const TCodeTableEntry* Decode(const TCodeTable& code);

    void Need(int n) { NeedBits(c_, bitBuffer_, bitCount_, n); }
    std::uint32_t Bits(int n) const { return static_cast<std::uint32_t>(bitBuffer_) & Mask(n); }
    void Drop(int n) { DropBits(bitBuffer_, bitCount_, n); }

    bool StreamUsedUp() const;
    std::size_t History() const { return std::size_t(out_ - (windowFilled_ ? base_ : current_)); }
    void FlushIfFull();

    TUnzipContext& c_;
    std::uint64_t bitBuffer_ = 0;
    int bitCount_ = 0;
    // The previous window at base_, the current one at current_, the next free byte at out_.
    std::uint8_t* const base_;
    std::uint8_t* const current_;
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
        } catch (const EWriteError&) {
            // The disk did not take the data: that ends the extraction, not just this entry.
            throw;
        } catch (...) {
            result = kBlockBad;
        }
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
    const std::int64_t repeated = -std::int64_t(c_.CompressedBytesLeft);
    return bitCount_ <= 8 * repeated;
}

void Inflater::FlushIfFull() {
    std::uint8_t* const end = current_ + kWindow;
    if (out_ < end)
        return;
    c_.FlushWindow(current_, kWindow);
    const std::size_t beyond = std::size_t(out_ - end);
    std::memmove(base_, current_, kWindow + beyond);
    out_ = current_ + beyond;
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
            c_.CompressedBytesLeft -= static_cast<std::int32_t>(n);
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
    TCodeTable literal;
    int result =
        literal.Build(lengths, kLiteralCodes, 257, kLengthBase, kLengthExtra, kFixedLiteralBits);
    if (result != coderesult::Complete)
        return result;
    std::uint8_t distances[kDistanceCodes];
    std::memset(distances, 5, sizeof distances);
    TCodeTable distance;
    // Two of the 32 five-bit codes are unused: this incomplete code is the format's own.
    result = distance.Build(distances, kDistanceCodes, 0, kDistanceBase, kDistanceExtra,
                            kFixedDistanceBits);
    if (result != coderesult::Complete && result != coderesult::Incomplete)
        return result;
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
        TCodeTable codeLengthCode;
        int result =
            codeLengthCode.Build(codeLengthLengths, 19, 19, nullptr, nullptr, kCodeLengthBits);
        if (result != coderesult::Complete)
            return result;
        result = ReadCodeLengths(codeLengthCode, lengths, literalCount + distanceCount);
        if (result != kBlockOk)
            return result;
    }

    TCodeTable literal;
    int result =
        literal.Build(lengths, literalCount, 257, kLengthBase, kLengthExtra, kDynamicLiteralBits);
    if (result != coderesult::Complete)
        return result;
    TCodeTable distance;
    result = distance.Build(lengths + literalCount, distanceCount, 0, kDistanceBase, kDistanceExtra,
                            kDynamicDistanceBits);
    if (result != coderesult::Complete)
        return result;
    wide::Build(lengths, literalCount, wide::LiteralBits, wide::LiteralPayload, dynamicLiteral_);
    wide::Build(lengths + literalCount, distanceCount, wide::DistanceBits, wide::DistancePayload,
                dynamicDistance_);
    return Codes(literal, distance, dynamicLiteral_, dynamicDistance_);
}

int Inflater::ReadCodeLengths(const TCodeTable& codeLengthCode, std::uint8_t* lengths, int n) {
    // A code-length code without codes cannot describe any length.
    if (codeLengthCode.Root() == nullptr)
        return kBlockBad;
    const int bits = codeLengthCode.LookupBits();
    int previous = 0;
    int i = 0;
    while (i < n) {
        Need(bits);
        const TCodeTableEntry& entry = codeLengthCode.Root()[Bits(bits)];
        Drop(entry.b);
        // The unused half of a code-length code made of one 1-bit code.
        if (entry.e == codeop::Invalid)
            return kBlockBad;
        const int symbol = entry.v;
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

int Inflater::Codes(const TCodeTable& literal, const TCodeTable& distance,
                    const std::uint32_t* wideLiteral, const std::uint32_t* wideDistance) {
    if (literal.Root() == nullptr)
        return kBlockBad;
    const bool haveDistances = distance.Root() != nullptr;
    for (;;) {
        // A window that filled is written before anything else happens, also before a failure
        // found after it ends the block.
        Step step = FastSymbols(wideLiteral, wideDistance, haveDistances);
        FlushIfFull();
        if (step == kMore) {
            step = CarefulSymbol(literal, distance);
            FlushIfFull();
        }
        if (step == kEnd)
            return kBlockOk;
        if (step == kBad)
            return kBlockBad;
    }
}

// Decodes symbols while the input chunk holds at least 8 more bytes and the window has not filled.
// Every symbol takes at most 48 bits (a 15-bit length code with 5 extra bits, a 15-bit distance
// code with 13), and each round starts with at least 56, all of them bytes of the current chunk.
Inflater::Step Inflater::FastSymbols(const std::uint32_t* wideLiteral,
                                     const std::uint32_t* wideDistance, bool haveDistances) {
    const std::uint8_t* in = c_.InputPos;
    if (c_.InputCount < 8)
        return kMore;
    const std::uint8_t* const inStart = in;
    const std::uint8_t* const inLast = in + c_.InputCount - 8;
    std::uint8_t* out = out_;
    std::uint8_t* const outEnd = current_ + kWindow;
    const std::uint8_t* const first = windowFilled_ ? base_ : current_;
    std::uint64_t bits = bitBuffer_;
    unsigned count = static_cast<unsigned>(bitCount_);
    Step step = kMore;

    while (in <= inLast && out < outEnd) {
        bits |= LoadLittleEndian64(in) << count;
        in += (63 - count) >> 3;
        count |= 56;

        std::uint32_t entry = wideLiteral[bits & Mask(wide::LiteralBits)];
        if (entry & wide::SubTable) {
            bits >>= wide::LiteralBits;
            count -= wide::LiteralBits;
            entry = wideLiteral[(entry >> 16) + (bits & Mask((entry >> 8) & 0xF))];
        }
        bits >>= entry & 0xFF;
        count -= entry & 0xFF;
        if (entry & wide::Literal) {
            *out++ = static_cast<std::uint8_t>(entry >> 16);
            continue;
        }
        if (entry & (wide::EndOfBlock | wide::Invalid)) {
            step = (entry & wide::EndOfBlock) ? kEnd : kBad;
            break;
        }
        std::uint32_t extra = (entry >> 8) & 0xF;
        const std::uint32_t length =
            (entry >> 16) + (static_cast<std::uint32_t>(bits) & Mask(extra));
        bits >>= extra;
        count -= extra;
        if (!haveDistances) {
            step = kBad;
            break;
        }

        entry = wideDistance[bits & Mask(wide::DistanceBits)];
        if (entry & wide::SubTable) {
            bits >>= wide::DistanceBits;
            count -= wide::DistanceBits;
            entry = wideDistance[(entry >> 16) + (bits & Mask((entry >> 8) & 0xF))];
        }
        bits >>= entry & 0xFF;
        count -= entry & 0xFF;
        if (entry & wide::Invalid) {
            step = kBad;
            break;
        }
        extra = (entry >> 8) & 0xF;
        const std::uint32_t distance =
            (entry >> 16) + (static_cast<std::uint32_t>(bits) & Mask(extra));
        bits >>= extra;
        count -= extra;
        if (distance > std::size_t(out - first)) {
            step = kBad;
            break;
        }
        CopyMatch(out, distance, length);
        out += length;
    }

    // Hand the unused bytes back to the reader's account; the reservoir keeps whole bytes that
    // were taken from the chunk, which the careful loop uses before asking the reader again.
    const std::size_t taken = std::size_t(in - inStart);
    c_.InputPos += taken;
    c_.InputCount = static_cast<std::uint16_t>(c_.InputCount - taken);
    c_.CompressedBytesLeft -= static_cast<std::int32_t>(taken);
    if (taken > 0)
        c_.LastByte = in[-1];
    bitBuffer_ = bits & ((std::uint64_t(1) << count) - 1);
    bitCount_ = static_cast<int>(count);
    out_ = out;
    return step;
}

// One symbol, asking the reader for bits exactly as the careful tables' levels need them.
Inflater::Step Inflater::CarefulSymbol(const TCodeTable& literal, const TCodeTable& distance) {
    const TCodeTableEntry* entry = Decode(literal);
    if (entry == nullptr)
        return kBad;
    if (entry->e == codeop::Literal) {
        *out_++ = static_cast<std::uint8_t>(entry->v);
        return kMore;
    }
    if (entry->e == codeop::EndOfBlock)
        return kEnd;
    Need(entry->e);
    const std::uint32_t length = entry->v + Bits(entry->e);
    Drop(entry->e);

    // A length with no distance code to go with it (all distance lengths were 0).
    if (distance.Root() == nullptr)
        return kBad;
    entry = Decode(distance);
    if (entry == nullptr)
        return kBad;
    Need(entry->e);
    const std::uint32_t offset = entry->v + Bits(entry->e);
    Drop(entry->e);
    if (offset > History())
        return kBad;
    CopyMatch(out_, offset, length);
    out_ += length;
    return kMore;
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
