// Methods 2 to 5, reduced with compression factor f = 1 to 4: follower-set coding of bytes, then
// a simple escape-coded LZ77 on top of it.
//
// Format notes, the parts this decoder relies on. Bits are read least significant first.
// - The data starts with 256 follower sets, for byte values 255 down to 0: a 6-bit count, then
//   that many 8-bit bytes, the bytes most likely to follow that value.
// - Each byte then comes either plainly (8 bits) or as an index into the follower set of the byte
//   before it. With an empty set the 8 bits follow at once; otherwise a flag bit comes first, 1
//   for a plain byte, 0 for an index just wide enough for the set (1 bit for 1 or 2 entries, up to
//   6 bits for 33 to 63). The byte before the first one is 0.
// - On those bytes: 144 is an escape. 144 then 0 is the byte 144 itself; 144 then V starts a
//   match whose length part is the low 8 - f bits of V (all ones: a further byte adds to it) and
//   whose distance high part is the f bits above them. The byte after that gives the distance's low
//   8 bits. Length + 3 bytes are copied from distance + 1 back.
// - The data has no end mark: the entry's uncompressed size says when to stop.
//
// The window is the first 16384 bytes of the work area, the follower sets the next 16384.
// Decoding stops early when every bit of the data has been used: what would follow is made of
// nothing, and the entry fails its CRC check.
#include "decoders/unreduce.h"

#include "decoders/bit_reservoir.h"
#include "decoders/decode_entry.h"
#include "decoders/sliding_window.h"
#include "decoders/unzip_context.h"

#include <cstring>

namespace kq {

namespace {

constexpr std::uint32_t kWindowSize = 16384;
constexpr int kSetSize = 64;
constexpr std::uint8_t kEscape = 144;
static_assert(kWindowSize + 256 * kSetSize <= TUnzipContext::WorkAreaSize);

enum class State { Bytes, Escaped, ExtraLength, Distance };

// The bits an index into a follower set of n entries (1 to 63) takes.
int IndexWidth(int n) {
    int width = 1;
    while ((1 << width) < n) {
        ++width;
    }
    return width;
}

class Unreducer {
public:
    Unreducer(TEntryInput& input, TEntryOutput& output, std::uint8_t* workArea, int factor)
        : in_(input), out_(output), window_(output, workArea), sets_(workArea + kWindowSize),
          lengthMask_(0x7F >> (factor - 1)), distanceShift_(8 - factor),
          distanceMask_((1 << factor) - 1) {}

    void Run();

private:
    void LoadFollowers();
    std::uint8_t NextByte();
    bool DataUsedUp() const;

    TEntryInput& in_;
    TEntryOutput& out_;
    TSlidingWindow<kWindowSize> window_;
    std::uint8_t* const sets_;
    std::uint8_t setCount_[256] = {};
    const int lengthMask_;
    const int distanceShift_;
    const int distanceMask_;
    std::uint8_t last_ = 0;
};

void Unreducer::Run() {
    LoadFollowers();
    std::int64_t left = out_.UncompressedSize;
    State state = State::Bytes;
    int v = 0, length = 0;
    while (left > 0 && !DataUsedUp()) {
        const std::uint8_t c = NextByte();
        switch (state) {
        case State::Bytes:
            if (c == kEscape) {
                state = State::Escaped;
            } else {
                window_.Put(c);
                --left;
            }
            break;
        case State::Escaped:
            if (c == 0) {
                window_.Put(kEscape);
                --left;
                state = State::Bytes;
            } else {
                v = c;
                length = v & lengthMask_;
                state = length == lengthMask_ ? State::ExtraLength : State::Distance;
            }
            break;
        case State::ExtraLength:
            length += c;
            state = State::Distance;
            break;
        case State::Distance: {
            const std::uint32_t n = static_cast<std::uint32_t>(length) + 3;
            const std::uint32_t distance =
                static_cast<std::uint32_t>(((v >> distanceShift_) & distanceMask_) * 256 + c + 1);
            left -= static_cast<std::int64_t>(n);
            window_.Copy(distance, n);
            state = State::Bytes;
            break;
        }
        }
        last_ = c;
    }
    window_.Finish();
    out_.FlushOutput();
}

void Unreducer::LoadFollowers() {
    for (int x = 255; x >= 0; --x) {
        // Data that ends here leaves the remaining sets empty; decoding then stops at once.
        if (DataUsedUp()) {
            return;
        }
        const int n = static_cast<int>(ReadBits(in_, 6));
        std::uint8_t* set = sets_ + x * kSetSize;
        for (int i = 0; i < n; ++i) {
            set[i] = static_cast<std::uint8_t>(ReadBits(in_, 8));
        }
        // An index beyond a short set (damaged data) reads zero, not an earlier entry's byte.
        std::memset(set + n, 0, static_cast<std::size_t>(kSetSize - n));
        setCount_[x] = static_cast<std::uint8_t>(n);
    }
}

std::uint8_t Unreducer::NextByte() {
    const int n = setCount_[last_];
    if (n == 0 || ReadBits(in_, 1) != 0) {
        return static_cast<std::uint8_t>(ReadBits(in_, 8));
    }
    return sets_[last_ * kSetSize + static_cast<int>(ReadBits(in_, IndexWidth(n)))];
}

// True once the decoder has taken every bit of the data: no bytes are left to read and the
// reservoir is empty, or its count wrapped below zero when bits beyond the end were taken.
bool Unreducer::DataUsedUp() const {
    return in_.CompressedBytesLeft <= 0 && (in_.BitCount == 0 || in_.BitCount > 32);
}

} // namespace

void Unreduce(TUnzipContext& context, std::uint16_t compressionMethod) {
    Unreducer unreducer(context, context, context.WorkArea(),
                        compressionMethod - method::ReducedFactor1 + 1);
    unreducer.Run();
}

} // namespace kq
