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
// written as soon as it fills (its whole chunks; the part of a chunk it ends in the middle of is
// written with the next window, straight from the work area as the rest). Inside those lines most
// of the work is done by a fast loop that runs while the current input chunk holds enough bytes for
// any symbol: it takes eight bytes at a time into a 64-bit reservoir and decodes through wide
// single-lookup tables. Near the end of a chunk a careful loop takes over that asks the reader for
// bits exactly as a code's table levels need them, so that the next chunk is read when the stream
// first needs it; in the entry's last chunk, where no read follows, the fast loop goes on to the
// end. The careful loop's multi-level tables (a first level of a set width, further tables as wide
// as their codes need) are only built for a code too long for two of their levels: otherwise the
// careful loop decodes with the wide tables too and asks the reader for the bits those levels
// would. Both loops accept and reject the same streams: the wide tables are built from the same
// code lengths, after the same checks.
//
// The window lives in a work area of several windows in a row: the one being filled follows the
// one written before, so a copy never wraps; when the last of them is full it is moved to the
// front. Two rules keep damaged data from doing harm: a copy may not reach before the entry's first
// byte (the work area still holds the previous entry's data), and no new block is started once the
// stream's bits are used up (the reader would otherwise supply its last byte again for ever).
#include "base/exceptions.h"
#include "decoders/inflate_internal.h"
#include "unzip/errors.h"

#include <algorithm>
#include <cstring>

namespace kq {

namespace inflate {

namespace {

constexpr std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                               11, 4,  12, 3, 13, 2, 14, 1, 15};

constexpr int kMaxLiteralCodes = 286;

// The first-level widths the careful loop uses (the wide tables are internal).
constexpr int kFixedLiteralBits = 7;
constexpr int kFixedDistanceBits = 5;
constexpr int kDynamicLiteralBits = 9;
constexpr int kDynamicDistanceBits = 6;
constexpr int kCodeLengthBits = 7;

#ifdef KQ_INFLATE_BMI2
bool HasBmi2() {
    static const bool has = __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2");
    return has;
}
#endif

// A code's lengths as a block's result: code space left unused is damaged data (the format's own
// incomplete codes are accepted before this is asked).
TInflateResult CodeSpaceResult(TCodeSpace space) {
    switch (space) {
    case TCodeSpace::Complete:
        return TInflateResult::Decoded;
    case TCodeSpace::Incomplete:
        return TInflateResult::BadData;
    case TCodeSpace::OverSubscribed:
        break;
    }
    return TInflateResult::OverSubscribed;
}

} // namespace

// One code of a block: its lengths, checked when the block starts, and the careful loop's tables,
// built the first time that loop needs them (a block decoded by the fast loop alone never does).
class BlockCode {
public:
    BlockCode(const std::uint8_t* lengths, int n, int simpleCount, const std::uint16_t* bases,
              const std::uint8_t* extraBits, int wantedBits)
        : lengths_(lengths), n_(n), simpleCount_(simpleCount), bases_(bases), extraBits_(extraBits),
          wantedBits_(wantedBits) {}

    TCodeSpace Check() const { return CheckCodeLengths(lengths_, n_); }
    bool Empty() const {
        for (int i = 0; i < n_; ++i) {
            if (lengths_[i] != 0) {
                return false;
            }
        }
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
    // The careful tables, built when first wanted. Beyond two levels how far the reader is asked
    // for bits depends on each further table's width, which the table builder chooses by how the
    // codes under a prefix fill it; the tables themselves are the one statement of that rule, so
    // the wide tables do not stand in for them there.
    const TCodeTable& Tables() {
        if (!built_) {
            built_ = true;
            table_.Build(lengths_, n_, simpleCount_, bases_, extraBits_, wantedBits_);
        }
        return table_;
    }

private:
    void Measure() {
        if (measured_) {
            return;
        }
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

TInflateResult Inflater::Run() {
    bool final = false;
    while (!final) {
        if (StreamUsedUp()) {
            return TInflateResult::BadData;
        }
        Need(1);
        final = Bits(1) != 0;
        Drop(1);
        Need(2);
        const std::uint32_t type = Bits(2);
        Drop(2);
        TInflateResult result = TInflateResult::BadBlockType;
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
            result = TInflateResult::BadData;
        } catch (const EBiggerThanUncompressed&) {
            result = TInflateResult::BadData;
        }
        // Anything else (the disk refusing data, a cancel, out of memory, a handler's own
        // exception) ends the run, as it does for every other method.
        if (result != TInflateResult::Decoded) {
            return result;
        }
    }
    output_.FlushWindow(unwritten_, std::size_t(out_ - unwritten_));
    output_.FlushOutput();
    return TInflateResult::Decoded;
}

// True when every bit of the entry's data has been consumed: what the reservoir holds then is the
// reader's last byte supplied again. A block started there could only be decoded from those
// repeated bytes, and a stream of empty blocks could go on for ever.
bool Inflater::StreamUsedUp() const {
    if (in_.CompressedBytesLeft > 0) {
        return false;
    }
    const std::int64_t repeated = -in_.CompressedBytesLeft;
    return bitCount_ <= 8 * repeated;
}

void Inflater::FlushIfFull() {
    std::uint8_t* next = current_ + kWindow;
    if (out_ < next) {
        return;
    }
    // The window's whole chunks are written from where they lie; the bytes of a chunk it ends
    // in the middle of wait in the window for the next one.
    unwritten_ = output_.WriteWholeChunks(unwritten_, next);
    if (next + kWindow > end_) {
        // No room for another window: the one just written moves to the front, with what the
        // last copy wrote beyond it (and with the bytes not written yet, which lie inside it).
        const std::size_t beyond = std::size_t(out_ - next);
        std::memmove(base_, current_, kWindow + beyond);
        unwritten_ -= current_ - base_;
        next = base_ + kWindow;
        out_ = next + beyond;
    }
    current_ = next;
    windowFilled_ = true;
}

TInflateResult Inflater::Stored() {
    Drop(bitCount_ & 7);
    Need(16);
    std::uint32_t length = Bits(16);
    Drop(16);
    Need(16);
    const std::uint32_t complement = Bits(16);
    Drop(16);
    if (length != (~complement & 0xFFFF)) {
        return TInflateResult::BadData;
    }
    while (length > 0) {
        if (bitCount_ == 0 && in_.InputCount > 0 && in_.CompressedBytesLeft > 0) {
            // Whole bytes straight from the input chunk, as far as the chunk and the window go.
            std::size_t n = std::min<std::size_t>(length, in_.InputCount);
            n = std::min<std::size_t>(n, std::size_t(current_ + kWindow - out_));
            std::memcpy(out_, in_.InputPos, n);
            out_ += n;
            in_.InputPos += n;
            in_.InputCount = static_cast<std::uint16_t>(in_.InputCount - n);
            in_.CompressedBytesLeft -= static_cast<std::int64_t>(n);
            in_.LastByte = in_.InputPos[-1];
            length -= static_cast<std::uint32_t>(n);
        } else {
            Need(8);
            *out_++ = static_cast<std::uint8_t>(Bits(8));
            Drop(8);
            --length;
        }
        FlushIfFull();
    }
    return TInflateResult::Decoded;
}

TInflateResult Inflater::Fixed() {
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

TInflateResult Inflater::Dynamic() {
    Need(5);
    const int literalCount = 257 + static_cast<int>(Bits(5));
    Drop(5);
    Need(5);
    const int distanceCount = 1 + static_cast<int>(Bits(5));
    Drop(5);
    Need(4);
    const int codeLengthCount = 4 + static_cast<int>(Bits(4));
    Drop(4);
    if (literalCount > kMaxLiteralCodes || distanceCount > kDistanceCodes) {
        return TInflateResult::BadData;
    }

    std::uint8_t codeLengthLengths[19] = {};
    for (int i = 0; i < codeLengthCount; ++i) {
        Need(3);
        codeLengthLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(Bits(3));
        Drop(3);
    }
    std::uint8_t lengths[kMaxLiteralCodes + kDistanceCodes];
    {
        TInflateResult result = CodeSpaceResult(CheckCodeLengths(codeLengthLengths, 19));
        if (result != TInflateResult::Decoded) {
            return result;
        }
        result = ReadCodeLengths(codeLengthLengths, lengths, literalCount + distanceCount);
        if (result != TInflateResult::Decoded) {
            return result;
        }
    }

    BlockCode literal(lengths, literalCount, 257, kLengthBase, kLengthExtra, kDynamicLiteralBits);
    TInflateResult result = CodeSpaceResult(literal.Check());
    if (result != TInflateResult::Decoded) {
        return result;
    }
    BlockCode distance(lengths + literalCount, distanceCount, 0, kDistanceBase, kDistanceExtra,
                       kDynamicDistanceBits);
    result = CodeSpaceResult(distance.Check());
    if (result != TInflateResult::Decoded) {
        return result;
    }
    wide::BuildLiteralTable(lengths, literalCount, dynamicLiteral_);
    wide::BuildDistanceTable(lengths + literalCount, distanceCount, dynamicDistance_);
    return Codes(literal, distance, dynamicLiteral_, dynamicDistance_);
}

// Reads the literal/length and distance code lengths with the code-length code, whose lengths
// passed the check. Its codes are at most 7 bits long, so one lookup as wide as the longest
// decodes any of them, and the reader is asked for exactly that many bits, the first-level width
// the multi-level tables would use.
TInflateResult Inflater::ReadCodeLengths(const std::uint8_t* codeLengthLengths,
                                         std::uint8_t* lengths, int n) {
    int bits = 0;
    for (int i = 0; i < 19; ++i) {
        bits = std::max<int>(bits, codeLengthLengths[i]);
    }
    // A code-length code without codes cannot describe any length.
    if (bits == 0) {
        return TInflateResult::BadData;
    }
    bits = std::min(bits, kCodeLengthBits);
    std::uint32_t table[1 << kCodeLengthBits];
    wide::BuildCodeLengthTable(codeLengthLengths, 19, bits, table);
    int previous = 0;
    int i = 0;
    while (i < n) {
        Need(bits);
        const std::uint32_t entry = table[Bits(bits)];
        Drop(static_cast<int>(entry & 0xFF));
        // The unused half of a code-length code made of one 1-bit code.
        if (entry & wide::Invalid) {
            return TInflateResult::BadData;
        }
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
        if (i + repeat > n) {
            return TInflateResult::BadData;
        }
        std::memset(lengths + i, previous, static_cast<std::size_t>(repeat));
        i += repeat;
    }
    return TInflateResult::Decoded;
}

TInflateResult Inflater::Codes(BlockCode& literal, BlockCode& distance,
                               const std::uint32_t* wideLiteral,
                               const std::uint32_t* wideDistance) {
    if (literal.Empty()) {
        return TInflateResult::BadData;
    }
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
        if (step == kEnd) {
            return TInflateResult::Decoded;
        }
        if (step == kBad) {
            return TInflateResult::BadData;
        }
    }
}

// One symbol, asking the reader for bits exactly as the careful tables' levels need them.
Inflater::Step Inflater::CarefulSymbol(BlockCode& literal, BlockCode& distance,
                                       const std::uint32_t* wideLiteral,
                                       const std::uint32_t* wideDistance) {
    std::uint32_t kind = 0;
    std::uint32_t length = 0;
    CarefulCode(literal, wideLiteral, wide::LiteralBits, kind, length);
    if (kind & wide::Invalid) {
        return kBad;
    }
    if (kind & wide::Literal) {
        *out_++ = static_cast<std::uint8_t>(length);
        return kMore;
    }
    if (kind & wide::EndOfBlock) {
        return kEnd;
    }

    // A length with no distance code to go with it (all distance lengths were 0).
    if (distance.Empty()) {
        return kBad;
    }
    std::uint32_t offset = 0;
    CarefulCode(distance, wideDistance, wide::DistanceBits, kind, offset);
    if ((kind & wide::Invalid) || offset > History()) {
        return kBad;
    }
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
        if (kind != 0) {
            return;
        }
        extra = static_cast<int>((entry & 0xFF) - ((entry >> 8) & 0xF));
    } else {
        const TCodeTableEntry* entry = Decode(code.Tables());
        if (entry == nullptr) {
            kind = wide::Invalid;
            return;
        }
        value = entry->value;
        if (entry->operation == codeop::Literal || entry->operation == codeop::EndOfBlock) {
            kind = entry->operation == codeop::Literal ? wide::Literal : wide::EndOfBlock;
            return;
        }
        kind = 0;
        extra = entry->operation;
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
             i += std::uint32_t(1) << firstWidth) {
            reach = std::max(reach, codeLength(table[i]));
        }
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
    while (entry->operation > codeop::Literal) {
        if (entry->operation == codeop::Invalid) {
            return nullptr;
        }
        Drop(entry->bits);
        const int more = entry->operation - codeop::Literal;
        Need(more);
        entry = entry->further + Bits(more);
    }
    Drop(entry->bits);
    return entry;
}

} // namespace inflate

TInflateResult Inflate(TUnzipContext& context) {
    inflate::Inflater inflater(context, context, context.WorkArea(), context.InflateTables());
    return inflater.Run();
}

} // namespace kq
