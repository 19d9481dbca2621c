// Method 6, imploded: LZ77 with a 4 or 8 KiB dictionary and prefix-coded symbols.
//
// Format notes, the parts this decoder relies on.
// - The data starts with two or three code descriptions, whole bytes: the literal code (only when
//   general purpose bit 2 is set), then the length code and the distance code, 64 values each.
//   A description is a byte giving the number of bytes that follow minus one; each of those gives
//   a code length (low 4 bits + 1) for a run of values (high 4 bits + 1), and the runs cover the
//   values exactly.
// - Codes are assigned to these lengths the other way round from Deflate's canonical codes: the
//   longest code of the highest value is all zeros. Each is thus the bitwise complement of the
//   canonical code, so the ordinary tables decode the complemented bits.
// - Then, least significant bit first: a 1 bit and a literal (coded, or 8 plain bits without a
//   literal code), or a 0 bit and a match: the distance's low 6 bits (7 with the 8 KiB dictionary,
//   bit 1), its high part coded, then the length coded, with 8 more bits added when its value is
//   the last one (63). Lengths start at 2, or 3 with a literal code; distances at 1.
// - The data has no end mark: the entry's uncompressed size says when to stop.
//
// The window is the first 32768 bytes of the work area. A description or code that cannot be used
// ends the entry before anything more is written; decoding stops early when every bit of the data
// has been used, since what would follow is made of repeated bytes. Either way the CRC check
// then fails.
#include "decoders/explode.h"

#include "decoders/code_table.h"
#include "decoders/sliding_window.h"
#include "decoders/unzip_context.h"

namespace kq {

namespace {

constexpr std::uint32_t kExplodeWindowSize = 32768;
constexpr int kExplodeLiteralCodes = 256;
constexpr int kMatchCodes = 64;
constexpr int kMalformed = 4;

constexpr int kLiteralLookupBits = 9;
constexpr int kLengthLookupBits = 7;

struct Bases {
    std::uint16_t values[kMatchCodes];
};

constexpr Bases MakeBases(int first, int step) {
    Bases b{};
    for (int i = 0; i < kMatchCodes; ++i) {
        b.values[i] = static_cast<std::uint16_t>(first + step * i);
    }
    return b;
}

constexpr Bases kLengthsWithoutLiteralCode = MakeBases(2, 1);
constexpr Bases kLengthsWithLiteralCode = MakeBases(3, 1);
constexpr Bases kDistances4K = MakeBases(1, 64);
constexpr Bases kDistances8K = MakeBases(1, 128);

// Only the last length value carries extra bits: 8 of them.
constexpr std::uint8_t kExplodeLengthExtra[kMatchCodes] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8};
constexpr std::uint8_t kExplodeDistanceExtra[kMatchCodes] = {};

class Exploder {
public:
    Exploder(TEntryInput& input, TEntryOutput& output, std::uint8_t* workArea, std::uint16_t flags)
        : in_(input), out_(output), window_(output, workArea),
          bigDictionary_((flags & implodeflag::BigDictionary) != 0),
          literalCode_((flags & implodeflag::LiteralTree) != 0) {}

    void Run();

private:
    bool ReadCodes();
    bool ReadCode(TCodeTable& table, int n, int simpleCount, const Bases* bases,
                  const std::uint8_t* extraBits, int lookupBits);
    void DecodeSymbols();
    const TCodeTableEntry* Decode(const TCodeTable& code);
    bool DataUsedUp() const;

    void Need(int n) { NeedBits(in_, bitBuffer_, bitCount_, n); }
    std::uint32_t Bits(int n) const { return bitBuffer_ & Mask(n); }
    std::uint32_t Take(int n) {
        Need(n);
        const std::uint32_t bits = Bits(n);
        DropBits(bitBuffer_, bitCount_, n);
        return bits;
    }

    TEntryInput& in_;
    TEntryOutput& out_;
    TSlidingWindow<kExplodeWindowSize> window_;
    const bool bigDictionary_;
    const bool literalCode_;
    TCodeTable literals_;
    TCodeTable lengths_;
    TCodeTable distances_;
    std::uint32_t bitBuffer_ = 0;
    int bitCount_ = 0;
};

void Exploder::Run() {
    // Decided by the entry's size before any of it is read.
    const int distanceLookupBits = ImplodeDistanceLookupBits(in_.CompressedBytesLeft);
    if (literalCode_ && !ReadCode(literals_, kExplodeLiteralCodes, kExplodeLiteralCodes, nullptr,
                                  nullptr, kLiteralLookupBits)) {
        return;
    }
    if (!ReadCode(lengths_, kMatchCodes, 0,
                  literalCode_ ? &kLengthsWithLiteralCode : &kLengthsWithoutLiteralCode,
                  kExplodeLengthExtra, kLengthLookupBits)) {
        return;
    }
    if (!ReadCode(distances_, kMatchCodes, 0, bigDictionary_ ? &kDistances8K : &kDistances4K,
                  kExplodeDistanceExtra, distanceLookupBits)) {
        return;
    }
    DecodeSymbols();
    out_.FlushOutput();
}

// Reads one code description and builds its tables; false when either fails, an incomplete code
// included (every value has a length, so unused code space means a damaged description).
bool Exploder::ReadCode(TCodeTable& table, int n, int simpleCount, const Bases* bases,
                        const std::uint8_t* extraBits, int lookupBits) {
    std::uint8_t lengths[kExplodeLiteralCodes] = {};
    if (ReadImplodeLengths(in_, n, lengths) != 0) {
        return false;
    }
    const TCodeSpace result = table.Build(lengths, n, simpleCount, bases ? bases->values : nullptr,
                                          extraBits, lookupBits);
    return result == TCodeSpace::Complete && table.Root() != nullptr;
}

void Exploder::DecodeSymbols() {
    const int lowDistanceBits = bigDictionary_ ? 7 : 6;
    std::int64_t left = out_.UncompressedSize;
    while (left > 0 && !DataUsedUp()) {
        if (Take(1) != 0) {
            std::uint32_t literal = 0;
            if (literalCode_) {
                const TCodeTableEntry* entry = Decode(literals_);
                if (entry == nullptr) {
                    return; // what the window holds is not written
                }
                literal = entry->value;
            } else {
                literal = Take(8);
            }
            window_.Put(static_cast<std::uint8_t>(literal));
            --left;
            continue;
        }
        const std::uint32_t low = Take(lowDistanceBits);
        const TCodeTableEntry* distance = Decode(distances_);
        if (distance == nullptr) {
            return;
        }
        const TCodeTableEntry* length = Decode(lengths_);
        if (length == nullptr) {
            return;
        }
        std::uint32_t n = length->value;
        if (length->operation != 0) {
            n += Take(length->operation);
        }
        window_.Copy(low + distance->value, n);
        left -= static_cast<std::int64_t>(n);
    }
    window_.Finish();
}

// Decodes one symbol; null for code space that no value uses.
const TCodeTableEntry* Exploder::Decode(const TCodeTable& code) {
    const int bits = code.LookupBits();
    Need(bits);
    const TCodeTableEntry* entry = code.Root() + (~bitBuffer_ & Mask(bits));
    while (entry->operation > codeop::Literal) {
        if (entry->operation == codeop::Invalid) {
            return nullptr;
        }
        DropBits(bitBuffer_, bitCount_, entry->bits);
        const int more = entry->operation - codeop::Literal;
        Need(more);
        entry = entry->further + (~bitBuffer_ & Mask(more));
    }
    DropBits(bitBuffer_, bitCount_, entry->bits);
    return entry;
}

// True once every bit of the data has been taken: the reservoir then holds only the last byte
// supplied again after the end.
bool Exploder::DataUsedUp() const {
    if (in_.CompressedBytesLeft > 0) {
        return false;
    }
    const std::int64_t repeated = -in_.CompressedBytesLeft;
    return bitCount_ <= 8 * repeated;
}

} // namespace

int ReadImplodeLengths(TEntryInput& input, int n, std::uint8_t* lengths) {
    std::uint16_t byte = 0;
    if (input.ReadCompressedByte(byte) == 0) {
        return kMalformed;
    }
    const int runs = byte + 1;
    int filled = 0;
    for (int i = 0; i < runs; ++i) {
        if (input.ReadCompressedByte(byte) == 0) {
            return kMalformed;
        }
        const int length = (byte & 0x0F) + 1;
        const int count = (byte >> 4) + 1;
        if (count > n - filled) {
            return kMalformed;
        }
        for (int k = 0; k < count; ++k) {
            lengths[filled++] = static_cast<std::uint8_t>(length);
        }
    }
    return filled == n ? 0 : kMalformed;
}

void Explode(TUnzipContext& context, std::uint16_t generalPurposeFlags) {
    Exploder exploder(context, context, context.WorkArea(), generalPurposeFlags);
    exploder.Run();
}

} // namespace kq
