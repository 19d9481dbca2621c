// Test support: Deflate streams built bit by bit, for the cases no compressor writes.
#pragma once

#include <cstdint>
#include <vector>

namespace kq::test {

class BitWriter {
public:
    // value's count low bits, least significant first (header fields, extra bits).
    BitWriter& Bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            Bit((value >> i) & 1);
        }
        return *this;
    }
    // A prefix code, most significant bit first.
    BitWriter& Code(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) {
            Bit((code >> i) & 1);
        }
        return *this;
    }
    BitWriter& Align() {
        while (used_ != 0) {
            Bit(0);
        }
        return *this;
    }
    BitWriter& Byte(std::uint8_t b) { return Bits(b, 8); }
    std::size_t BitLength() const { return bytes_.size() * 8 - (used_ == 0 ? 0 : 8 - used_); }
    std::vector<std::uint8_t> Finish() {
        Align();
        return bytes_;
    }

private:
    void Bit(std::uint32_t bit) {
        if (used_ == 0) {
            bytes_.push_back(0);
        }
        bytes_.back() |= static_cast<std::uint8_t>(bit << used_);
        used_ = (used_ + 1) % 8;
    }

    std::vector<std::uint8_t> bytes_;
    int used_ = 0;
};

// The canonical codes of a set of code lengths, as the Deflate format assigns them: shorter codes
// first, and within one length in order of value.
inline std::vector<std::uint32_t> CanonicalCodes(const std::vector<int>& lengths) {
    int count[17] = {};
    for (const int len : lengths) {
        if (len != 0) {
            ++count[len];
        }
    }
    std::uint32_t next[17] = {};
    std::uint32_t code = 0;
    for (int len = 1; len <= 16; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    std::vector<std::uint32_t> codes(lengths.size(), 0);
    for (std::size_t v = 0; v < lengths.size(); ++v) {
        if (lengths[v] != 0) {
            codes[v] = next[lengths[v]]++;
        }
    }
    return codes;
}

// The code lengths of the fixed codes.
inline std::vector<int> FixedLiteralLengths() {
    std::vector<int> lengths(288);
    for (int i = 0; i < 288; ++i) {
        lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
    }
    return lengths;
}

} // namespace kq::test
