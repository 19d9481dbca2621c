// Test support: zlib as the oracle of the Deflate tests. It makes raw Deflate streams (no zlib
// header) at any level and strategy, computes CRC-32s, and tells how much output a stream yields
// from its first n bytes.
#pragma once

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>
#include <zlib.h>

namespace kq::test {

inline std::vector<std::uint8_t> RawDeflate(const std::vector<std::uint8_t>& input, int level,
                                            int strategy = Z_DEFAULT_STRATEGY) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy) != Z_OK) {
        throw std::runtime_error("deflateInit2 failed");
    }
    std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(input.size())) + 16);
    z.next_in = const_cast<Bytef*>(input.data());
    z.avail_in = static_cast<uInt>(input.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (status != Z_STREAM_END) {
        throw std::runtime_error("deflate did not finish");
    }
    return out;
}

inline std::uint32_t ZlibCrc(const std::vector<std::uint8_t>& data) {
    return static_cast<std::uint32_t>(
        crc32(crc32(0, nullptr, 0), data.data(), static_cast<uInt>(data.size())));
}

// produced[n] = the bytes zlib has decoded once it has been given the first n bytes of stream,
// one byte at a time (so that it decodes every symbol as soon as its last bit has arrived).
inline std::vector<std::size_t> OutputByInputLength(const std::vector<std::uint8_t>& stream,
                                                    std::size_t outputSize) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) {
        throw std::runtime_error("inflateInit2 failed");
    }
    std::vector<std::uint8_t> out(outputSize + 1);
    std::vector<std::size_t> produced(stream.size() + 1, 0);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    for (std::size_t n = 0; n < stream.size(); ++n) {
        z.next_in = const_cast<Bytef*>(stream.data() + n);
        z.avail_in = 1;
        inflate(&z, Z_SYNC_FLUSH);
        produced[n + 1] = z.total_out;
    }
    inflateEnd(&z);
    return produced;
}

// Inputs of the kinds compressors meet, made from a seed.
enum class InputKind { Text, Random, Runs, Records };

inline std::vector<std::uint8_t> MakeInput(InputKind kind, std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> data;
    data.reserve(size);
    static const char* const words[] = {"the ",   "setup ", "archive ", "window ", "of ",
                                        "entry ", "bytes ", "and ",     "a ",      "folder ",
                                        "file ",  "\r\n",   "install ", "to ",     "Kavoru "};
    while (data.size() < size) {
        switch (kind) {
        case InputKind::Text:
            for (const char* w = words[random() % 15]; *w != '\0'; ++w) {
                data.push_back(static_cast<std::uint8_t>(*w));
            }
            break;
        case InputKind::Random:
            data.push_back(static_cast<std::uint8_t>(random()));
            break;
        case InputKind::Runs: {
            const std::size_t run = random() % 8 == 0 ? random() % 5000 : 1 + random() % 300;
            data.insert(data.end(), run, static_cast<std::uint8_t>(random() % 4));
            break;
        }
        case InputKind::Records: {
            const std::uint32_t id = static_cast<std::uint32_t>(data.size() / 16);
            const std::uint8_t record[16] = {std::uint8_t(id),
                                             std::uint8_t(id >> 8),
                                             0,
                                             0,
                                             std::uint8_t(random() % 3),
                                             0,
                                             0x80,
                                             0x3F,
                                             std::uint8_t(random()),
                                             0,
                                             0,
                                             0,
                                             'K',
                                             'Q',
                                             0,
                                             0};
            data.insert(data.end(), record, record + 16);
            break;
        }
        }
    }
    data.resize(size);
    return data;
}

} // namespace kq::test

namespace kq::test {

// zlib's verdict on a raw Deflate stream: accepted (the final block reached) and what it decoded.
struct ZlibVerdict {
    bool accepted = false;
    std::vector<std::uint8_t> output;
};

inline ZlibVerdict ZlibInflate(const std::vector<std::uint8_t>& stream) {
    z_stream z{};
    inflateInit2(&z, -15);
    std::vector<std::uint8_t> out(1 << 20);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    ZlibVerdict verdict;
    verdict.accepted = inflate(&z, Z_FINISH) == Z_STREAM_END;
    out.resize(z.total_out);
    verdict.output = out;
    inflateEnd(&z);
    return verdict;
}

} // namespace kq::test
