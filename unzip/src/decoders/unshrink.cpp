// Method 1, shrunk: LZW with codes that grow from 9 to 13 bits only when the stream says so.
//
// Format notes, the parts this decoder relies on. Codes are read least significant bit first.
// - Codes 0-255 stand for their byte. Code 256 is an escape: the code after it is a sub-code, 1 to
//   make codes one bit wider from the next code on, 2 to free every code that no other code uses
//   as its prefix (a "partial clear" of the leaves); other sub-codes mean nothing.
// - Code 257 and above stand for the string of their prefix code followed by their suffix byte.
//   After every code but the first the decoder defines the lowest free code as the previous string
//   followed by the first byte of the current one.
// - A code that is still free when it arrives is the one being defined by that very step: the
//   previous string followed by its own first byte.
// - The data simply ends; the entry's uncompressed size is not consulted.
//
// The tables live in the work area: prefixes (16 bits, 0xFFFF for a free code), suffixes, and
// the stack a string is unwound on, last byte first. Valid data never has codes wider than 13
// bits nor strings longer than the stack; data that does ends the entry, which then fails its CRC.
#include "decoders/unshrink.h"

#include "decoders/bit_reservoir.h"
#include "decoders/unzip_context.h"

#include <cstring>

namespace kq {

namespace {

constexpr int kCodes = 8192; // codes 0-8191; 8192 stands for "no free code"
constexpr int kEscapeCode = 256;
constexpr int kFirstFree = 257;
constexpr int kFirstCodeSize = 9;
constexpr int kMaxCodeSize = 13;
constexpr std::uint16_t kFree = 0xFFFF;
constexpr std::uint16_t kMark = 0x8000;
constexpr int kStackSize = 8192;
// A string this short, with what the output buffer holds, is moved into it in one piece.
constexpr int kOneMoveLimit = 2048;

constexpr std::size_t kPrefixBytes = (kCodes + 1) * sizeof(std::uint16_t);
constexpr std::size_t kSuffixBytes = kCodes + 1;
static_assert(kPrefixBytes + kSuffixBytes + kStackSize <= TUnzipContext::WorkAreaSize);

class Unshrinker {
public:
    Unshrinker(TEntryInput& input, TEntryOutput& output, std::uint8_t* workArea)
        : in_(input), out_(output), prefix_(reinterpret_cast<std::uint16_t*>(workArea)),
          suffix_(workArea + kPrefixBytes), stack_(suffix_ + kSuffixBytes) {}

    void Run();

private:
    void ResetTables();
    bool ReadCode(int& code);
    bool ReadDataCode(int& code);
    bool Unwind(int code, int& length);
    void Output(const std::uint8_t* string, int length);
    void Define();
    void PartialClear();
    void FindFreeCode(int from);

    TEntryInput& in_;
    TEntryOutput& out_;
    std::uint16_t* const prefix_;
    std::uint8_t* const suffix_;
    std::uint8_t* const stack_;
    int codeSize_ = kFirstCodeSize;
    int nextFree_ = kFirstFree;
    int previous_ = 0;
    // The first byte of the string decoded last.
    std::uint8_t firstByte_ = 0;
};

void Unshrinker::Run() {
    ResetTables();
    int code = 0;
    if (ReadCode(code)) {
        firstByte_ = static_cast<std::uint8_t>(code);
        out_.PutOutputByte(firstByte_);
        previous_ = code;
        int length = 0;
        while (ReadDataCode(code) && Unwind(code, length)) {
            Output(stack_ + kStackSize - length, length);
            Define();
            previous_ = code;
        }
    }
    out_.FlushOutput();
}

void Unshrinker::ResetTables() {
    for (int code = 0; code < 256; ++code) {
        prefix_[code] = 0;
        suffix_[code] = static_cast<std::uint8_t>(code);
    }
    for (int code = kEscapeCode; code <= kCodes; ++code) {
        prefix_[code] = kFree;
    }
    // Free codes have no suffix yet; a damaged stream may still read one.
    std::memset(suffix_ + kEscapeCode, 0, kSuffixBytes - kEscapeCode);
}

// False at the end of the data (the code is then made of missing bits).
bool Unshrinker::ReadCode(int& code) {
    code = static_cast<int>(ReadBits(in_, codeSize_));
    return !in_.EndOfInput;
}

// The next code that stands for a string, after carrying out the escapes in front of it. False at
// the end of the data, and for a stream that widens codes beyond 13 bits.
bool Unshrinker::ReadDataCode(int& code) {
    if (!ReadCode(code)) {
        return false;
    }
    while (code == kEscapeCode) {
        int subCode = 0;
        if (!ReadCode(subCode)) {
            return false;
        }
        if (subCode == 1) {
            if (codeSize_ == kMaxCodeSize) {
                return false;
            }
            ++codeSize_;
        } else if (subCode == 2) {
            PartialClear();
        }
        if (!ReadCode(code)) {
            return false;
        }
    }
    return true;
}

// Unwinds the string of code onto the end of the stack; length is its length. False when the
// string does not fit the stack: only a damaged table (a chain that loops) makes one that long.
bool Unshrinker::Unwind(int code, int& length) {
    std::uint8_t* top = stack_ + kStackSize;
    if (prefix_[code] == kFree) {
        *--top = firstByte_;
        code = previous_;
    }
    while (code >= kFirstFree) {
        if (top == stack_) {
            return false;
        }
        if (prefix_[code] == kFree) {
            *--top = firstByte_;
            code = previous_;
        } else {
            *--top = suffix_[code];
            code = prefix_[code];
        }
    }
    if (top == stack_) {
        return false;
    }
    firstByte_ = suffix_[code];
    *--top = firstByte_;
    length = static_cast<int>(stack_ + kStackSize - top);
    return true;
}

void Unshrinker::Output(const std::uint8_t* string, int length) {
    if (length + out_.OutputCount < kOneMoveLimit) {
        std::memcpy(out_.OutputPos, string, static_cast<std::size_t>(length));
        out_.OutputPos += length;
        out_.OutputCount = static_cast<std::uint16_t>(out_.OutputCount + length);
        return;
    }
    for (int i = 0; i < length; ++i) {
        out_.PutOutputByte(string[i]);
    }
}

// The previous string followed by the first byte of the current one becomes the lowest free code.
void Unshrinker::Define() {
    if (nextFree_ >= kCodes) {
        return;
    }
    prefix_[nextFree_] = static_cast<std::uint16_t>(previous_);
    suffix_[nextFree_] = firstByte_;
    FindFreeCode(nextFree_ + 1);
}

// Frees the leaves among the codes below the next free one: every code is marked, the mark is
// taken off each code that another one names as its prefix, and the codes still marked are freed.
void Unshrinker::PartialClear() {
    for (int code = kFirstFree; code < nextFree_; ++code) {
        prefix_[code] |= kMark;
    }
    for (int code = kFirstFree; code < nextFree_; ++code) {
        const int prefix = prefix_[code] & ~kMark;
        // A free code keeps its mark of being free, even when a damaged stream named it.
        if (prefix >= kFirstFree && prefix < kCodes && prefix_[prefix] != kFree) {
            prefix_[prefix] &= ~kMark;
        }
    }
    for (int code = kFirstFree; code < nextFree_; ++code) {
        if (prefix_[code] & kMark) {
            prefix_[code] = kFree;
        }
    }
    FindFreeCode(kFirstFree);
}

void Unshrinker::FindFreeCode(int from) {
    nextFree_ = from;
    while (nextFree_ < kCodes && prefix_[nextFree_] != kFree) {
        ++nextFree_;
    }
}

} // namespace

void Unshrink(TUnzipContext& context) {
    Unshrinker unshrinker(context, context, context.WorkArea());
    unshrinker.Run();
}

} // namespace kq
