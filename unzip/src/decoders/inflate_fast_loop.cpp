// The Deflate decoder's fast loop: symbols decoded through the wide tables from a 64-bit
// reservoir that takes eight bytes of the input chunk at a time, while the chunk holds enough
// bytes for any symbol (see inflate.cpp for where it stops and the careful loop takes over).
//
// Format notes: a literal/length code is at most 15 bits, a length's extra bits at most 5, a
// distance code at most 15 bits and a distance's extra bits at most 13; a distance reaches at most
// 32768 bytes back.
#include "decoders/inflate_internal.h"

#include <algorithm>

namespace kq::inflate {

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
// next literal/length entry looked up and a refill; it decodes up to three literals, or refills
// once more (in the 8 bytes held back) before a length, and ends with the next round's lookup and
// a refill, done before a match is copied so that the two overlap. Each lookup but the first is
// made before the refill that goes with it, from the at least 23 bits left in the reservoir: the
// refill only adds bits above them, and so runs while the entry loads instead of before it. The
// bytes taken from the chunk are those a refill before each lookup takes, so the careful loop goes
// on from the same place.
Inflater::Step Inflater::FastSymbols(const std::uint32_t* wideLiteral,
                                     const std::uint32_t* wideDistance) {
    // The entry's last bytes: once they are all in the chunk no refill can follow, so taking
    // bits early changes nothing the reader does. They are copied with the last byte repeated
    // behind them, as the reader supplies it, and decoded by this loop too.
    std::uint8_t tail[kTailBytes];
    const std::uint8_t* in = in_.InputPos;
    std::size_t available = in_.InputCount;
    if (available < 16) {
        if (!RestIsInChunk()) {
            return kMore;
        }
        std::memcpy(tail, in, available);
        const auto last =
            static_cast<std::uint8_t>(available > 0 ? in[available - 1] : in_.LastByte);
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

    // The helpers capture only the reservoir's variables, never each other: a helper that
    // captured another made the compiler keep the reservoir in memory.
    const auto refill = [&bits, &count, &in] {
        bits |= LoadU64(in) << (count & 63);
        in += (~count >> 3) & 7;
        count |= 56;
    };
    // Consumes the bits in the low byte of an entry (or a count of bits).
    const auto consume = [&bits, &count](std::uint32_t entry) {
        bits >>= entry & 63;
        count -= entry;
    };
    // The value of a length or distance entry: its base plus the bits above its code, consuming
    // both. Consumed bits and code lengths are below 32, and a length or distance entry has no
    // kind bits, so masking with 31 changes nothing in the fields.
    const auto value = [&bits, &count](std::uint32_t entry) {
        const std::uint32_t taken = static_cast<std::uint32_t>(bits) & ~(~0u << (entry & 31));
        bits >>= entry & 63;
        count -= entry;
        return (entry >> 16) + (taken >> ((entry >> 8) & 31));
    };

    if (in > inLast || out >= outEnd) {
        return kMore;
    }
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
                    // The round's last literal; then the next round, unless the chunk or the
                    // window is used up.
                    consume(entry);
                    *out++ = static_cast<std::uint8_t>(entry >> 16);
                    entry = wideLiteral[bits & kLiteralMask];
                    if (in > inLast || out >= outEnd) {
                        break;
                    }
                    refill();
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
                entry = wideLiteral[bits & kLiteralMask];
                if (in > inLast || out >= outEnd) {
                    break;
                }
                refill();
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
        // The next round's bytes are fetched while the distance's entry loads; they are counted
        // in (below) only once the match is known to go on, so a round that ends here leaves
        // the reservoir as it was. Near the chunk's end the fetch may start no further than the
        // last 8 bytes; what it brings then is never counted.
        bits |= LoadU64(std::min(in, inLast + 8)) << (count & 63);
        const unsigned fetched = (~count >> 3) & 7;
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
        if (in > inLast) {
            CopyMatch(out, distance, length);
            out += length;
            break;
        }
        // The next round's entry first, from the bytes fetched above: the copy does not touch
        // the reservoir. After the refill that follows, the reservoir holds what a refill before
        // the lookup would have left.
        in += fetched;
        count += 8 * fetched;
        entry = wideLiteral[bits & kLiteralMask];
        refill();
        CopyMatch(out, distance, length);
        out += length;
        if (out >= outEnd) {
            break;
        }
    }

    // Hand the bytes taken back to the reader's account; the reservoir keeps the whole bytes it
    // took from the chunk, which the careful loop uses before asking the reader again.
    const std::size_t taken = std::size_t(in - inStart);
    const std::size_t fromChunk = std::min<std::size_t>(taken, in_.InputCount);
    in_.InputPos += fromChunk;
    in_.InputCount = static_cast<std::uint16_t>(in_.InputCount - fromChunk);
    in_.CompressedBytesLeft -= static_cast<std::int64_t>(taken);
    if (taken > 0) {
        in_.LastByte = in[-1];
    }
    count &= 63;
    bitBuffer_ = bits & ((std::uint64_t(1) << count) - 1);
    bitCount_ = static_cast<int>(count);
    out_ = out;
    return step;
}

} // namespace kq::inflate
