// Deflate streams made by zlib at every level and strategy decode to exactly their input, with
// zlib's CRC-32, written in 16000-byte chunks and read in 16000-byte chunks.
#include "support/decoding.h"
#include "support/zlib_oracle.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kq::test {
namespace {

struct Strategy {
    int value;
    const char* name;
};

constexpr Strategy kStrategies[] = {{Z_DEFAULT_STRATEGY, "default"},
                                    {Z_FILTERED, "filtered"},
                                    {Z_HUFFMAN_ONLY, "huffman-only"},
                                    {Z_RLE, "rle"},
                                    {Z_FIXED, "fixed"}};

constexpr InputKind kKinds[] = {InputKind::Text, InputKind::Random, InputKind::Runs,
                                InputKind::Records};
constexpr const char* kKindNames[] = {"text", "random", "runs", "records"};

std::size_t Chunks(std::size_t n) {
    return (n + TUnzipContext::ChunkSize - 1) / TUnzipContext::ChunkSize;
}

void ExpectDecodes(const Bytes& input, const Bytes& stream, const std::string& name) {
    SCOPED_TRACE(name);
    DecodeOptions options;
    options.uncompressedSize = static_cast<std::int32_t>(input.size());
    const DecodeRecord r = Decode(method::Deflated, stream, options);
    ASSERT_EQ(r.error, "");
    ASSERT_EQ(r.inflateResult, TInflateResult::Decoded);
    ASSERT_EQ(r.output.size(), input.size());
    ASSERT_TRUE(r.output == input)
        << "first difference at "
        << std::mismatch(input.begin(), input.end(), r.output.begin()).first - input.begin();
    EXPECT_EQ(r.crc, ZlibCrc(input));
    // Output in full chunks but the last; one percentage of each kind per chunk, ending at 100.
    ASSERT_EQ(r.writes.size(), Chunks(input.size()));
    for (std::size_t i = 0; i + 1 < r.writes.size(); ++i) {
        ASSERT_EQ(r.writes[i], TUnzipContext::ChunkSize) << "write " << i;
    }
    EXPECT_EQ(r.filePercents.size(), r.writes.size());
    EXPECT_EQ(r.totalPercents.size(), r.writes.size());
    if (!input.empty()) {
        EXPECT_EQ(r.filePercents.back(), 100);
    }
    // Every byte of the stream is needed, so every chunk of it is read, and no more.
    EXPECT_EQ(static_cast<std::size_t>(r.chunksRead), Chunks(stream.size()));
}

TEST(InflateAgainstZlib, EveryLevelStrategyKindAndBoundarySize) {
    const std::size_t sizes[] = {0,     1,     2,     3,     7,     100,   258,   1000,
                                 16000, 16001, 32767, 32768, 32769, 65537, 100000};
    std::uint32_t seed = 1;
    for (std::size_t k = 0; k < std::size(kKinds); ++k) {
        for (const std::size_t size : sizes) {
            const Bytes input = MakeInput(kKinds[k], size, seed++);
            for (int level = 0; level <= 9; ++level) {
                for (const Strategy& s : kStrategies) {
                    ExpectDecodes(input, RawDeflate(input, level, s.value),
                                  std::string(kKindNames[k]) + " size " + std::to_string(size) +
                                      " level " + std::to_string(level) + " " + s.name);
                }
            }
        }
    }
}

TEST(InflateAgainstZlib, SeveralMegabytes) {
    const std::size_t size = 3 * 1024 * 1024 + 12345;
    const std::pair<int, Strategy> settings[] = {
        {1, kStrategies[0]}, {9, kStrategies[0]}, {6, kStrategies[2]}, {6, kStrategies[4]}};
    for (std::size_t k = 0; k < std::size(kKinds); ++k) {
        const Bytes input = MakeInput(kKinds[k], size, 1000 + static_cast<std::uint32_t>(k));
        for (const auto& [level, s] : settings) {
            ExpectDecodes(input, RawDeflate(input, level, s.value),
                          std::string(kKindNames[k]) + " level " + std::to_string(level) + " " +
                              s.name);
        }
    }
}

TEST(InflateAgainstZlib, RandomSizesAndSeeds) {
    std::mt19937 random(77);
    for (int i = 0; i < 300; ++i) {
        const std::size_t size = random() % 70000;
        const std::size_t k = random() % std::size(kKinds);
        const Bytes input = MakeInput(kKinds[k], size, random());
        const int level = static_cast<int>(random() % 10);
        const Strategy& s = kStrategies[random() % std::size(kStrategies)];
        ExpectDecodes(input, RawDeflate(input, level, s.value),
                      "case " + std::to_string(i) + " " + kKindNames[k] + " size " +
                          std::to_string(size) + " level " + std::to_string(level) + " " + s.name);
    }
}

// A stream followed by more of the archive: the decoder takes every byte of its stream and, for
// the bits its reservoir fetches ahead of need, at most 7 more. A reservoir that counted bytes it
// had fetched for a round that did not go on would take more than that.
TEST(InflateAgainstZlib, TakesItsStreamAndNoMoreThanTheLookAhead) {
    const Bytes after(64, 0xA5);
    std::uint32_t seed = 500;
    for (std::size_t k = 0; k < std::size(kKinds); ++k) {
        for (const std::size_t size : {1000, 15990, 40000, 300000}) {
            const Bytes input = MakeInput(kKinds[k], size, seed++);
            for (const int level : {1, 6, 9}) {
                SCOPED_TRACE(std::string(kKindNames[k]) + " size " + std::to_string(size) +
                             " level " + std::to_string(level));
                const Bytes stream = RawDeflate(input, level);
                Bytes data = stream;
                data.insert(data.end(), after.begin(), after.end());
                DecodeOptions options;
                options.uncompressedSize = static_cast<std::int32_t>(input.size());
                const DecodeRecord r = Decode(method::Deflated, data, options);
                ASSERT_EQ(r.inflateResult, TInflateResult::Decoded);
                ASSERT_TRUE(r.output == input);
                const std::int64_t taken = std::int64_t(data.size()) - r.compressedLeft;
                EXPECT_GE(taken, std::int64_t(stream.size()));
                EXPECT_LE(taken, std::int64_t(stream.size()) + 7);
            }
        }
    }
}

// A chunk is read when the stream first needs one of its bytes, and a full window is written
// when it fills, not earlier or later. zlib, fed one byte at a time, tells how much output the
// bytes before a chunk hold: all of it that ends well before the chunk must have been written
// before the chunk was read, and nothing that needs the chunk's bytes can have been.
TEST(InflateAgainstZlib, ChunksAreReadWhenTheStreamNeedsThem) {
    for (const InputKind kind : {InputKind::Text, InputKind::Records}) {
        const Bytes input = MakeInput(kind, 1500000, 5);
        for (const int level : {1, 9}) {
            const Bytes stream = RawDeflate(input, level);
            const auto produced = OutputByInputLength(stream, input.size());
            DecodeOptions options;
            options.uncompressedSize = static_cast<std::int32_t>(input.size());
            const DecodeRecord r = Decode(method::Deflated, stream, options);
            ASSERT_EQ(r.output, input);
            std::size_t written = 0;
            int chunk = 0;
            for (const char event : r.log) {
                if (event == 'W') {
                    written += TUnzipContext::ChunkSize;
                    continue;
                }
                const std::size_t first = std::size_t(chunk++) * TUnzipContext::ChunkSize;
                if (first == 0) {
                    continue;
                }
                // Windows are written whole: the output that must precede this read, rounded
                // down to whole windows, and the output that cannot, rounded up.
                const std::size_t window = TUnzipContext::WindowSize;
                const std::size_t before = produced[first - 2] / window * window;
                const std::size_t after = produced[first];
                EXPECT_GE(written + TUnzipContext::ChunkSize, before) << "chunk " << chunk;
                EXPECT_LE(written, after) << "chunk " << chunk;
            }
        }
    }
}

} // namespace
} // namespace kq::test
