// The output path: the size guard before each write, the CRC over exactly what was written, the
// percentages after every write, and a disk that does not take the data.
#include "support/decoding.h"
#include "support/zlib_oracle.h"

#include <gtest/gtest.h>

namespace kq::test {
namespace {

Bytes Prefix(const Bytes& data, std::size_t n) {
    return Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
}

// Stored data of 20000 bytes against declared sizes: the chunk that would cross the size is
// refused, neither written nor counted in the CRC.
TEST(OutputPath, SizeGuardRefusesTheChunkThatCrossesTheDeclaredSize) {
    const Bytes data = MakeInput(InputKind::Random, 20000, 4);
    struct Case {
        std::int32_t declared;
        std::size_t written;
        bool refused;
    };
    const Case cases[] = {
        {20000, 20000, false}, {19999, 16000, true}, {16000, 16000, true}, {15999, 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE("declared " + std::to_string(c.declared));
        const DecodeRecord r = Decode(method::Stored, data, DecodeOptions().Declared(c.declared));
        EXPECT_EQ(r.error, c.refused ? "File is larger than uncompressed size!" : "");
        EXPECT_EQ(r.output, Prefix(data, c.written));
        EXPECT_EQ(r.crc, ZlibCrc(Prefix(data, c.written)));
    }
}

// Inside a Deflate block the refusal ends the block (its window is not written); in the writes
// after the final block it leaves the decoder, as it does for stored data.
TEST(OutputPath, SizeGuardInsideAndAfterDeflateBlocks) {
    const Bytes big = MakeInput(InputKind::Text, 100000, 5);
    const DecodeRecord inside =
        Decode(method::Deflated, RawDeflate(big, 6), DecodeOptions().Declared(40000));
    EXPECT_EQ(inside.error, "");
    EXPECT_EQ(inside.inflateResult, TInflateResult::BadData);
    EXPECT_EQ(inside.output, Prefix(big, 32000));

    const Bytes small = MakeInput(InputKind::Text, 100, 5);
    const DecodeRecord after =
        Decode(method::Deflated, RawDeflate(small, 6), DecodeOptions().Declared(99));
    EXPECT_EQ(after.error, "File is larger than uncompressed size!");
    EXPECT_TRUE(after.output.empty());
    EXPECT_EQ(after.crc, 0u);
}

// 128000 bytes make 12.5%, 37.5%, 62.5% and 87.5% after the odd chunks: halves go to the even
// neighbour. The run's percentage is capped at 100 and is 0 while the run's total is 0.
TEST(OutputPath, PercentagesAfterEveryWrite) {
    const Bytes data(128000, 'k');
    const DecodeRecord r = Decode(method::Stored, data, DecodeOptions().Declared(128000));
    EXPECT_EQ(r.filePercents, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));
    EXPECT_EQ(r.totalPercents, r.filePercents);

    const Bytes three(40000, 'k');
    EXPECT_EQ(Decode(method::Stored, three, DecodeOptions().Declared(40000).RunTotal(20000))
                  .totalPercents,
              (std::vector<int>{80, 100, 100}));
    EXPECT_EQ(
        Decode(method::Stored, three, DecodeOptions().Declared(40000).RunTotal(-1)).totalPercents,
        (std::vector<int>{0, 0, 0}));
}

// A disk that takes only part of a chunk: the write error leaves the decoder, also from inside a
// Deflate block, and the chunk counts for nothing.
TEST(OutputPath, DiskFullLeavesTheExtraction) {
    const Bytes data = MakeInput(InputKind::Text, 60000, 6);
    for (const std::uint16_t method : {method::Stored, method::Deflated}) {
        SCOPED_TRACE("method " + std::to_string(method));
        const Bytes stored = method == method::Stored ? data : RawDeflate(data, 6);
        const DecodeRecord r = Decode(method, stored, DecodeOptions().Declared(60000).Disk(20000));
        EXPECT_EQ(r.error, "Stream write error");
        EXPECT_EQ(r.crc, ZlibCrc(Prefix(data, 16000)));
        EXPECT_EQ(r.filePercents, (std::vector<int>{27}));
    }
}

// Byte by byte, as the legacy decoders write: a full buffer is written at once.
TEST(OutputPath, PutOutputByteWritesEveryFullChunk) {
    TUnzipContext context;
    RecordingStream output;
    context.StartEntry(&output, 0, 40000, false);
    const Bytes data = MakeInput(InputKind::Text, 40000, 8);
    for (const std::uint8_t b : data) {
        context.PutOutputByte(b);
    }
    EXPECT_EQ(output.writes, (std::vector<std::int32_t>{16000, 16000}));
    context.FlushOutput();
    EXPECT_EQ(output.writes, (std::vector<std::int32_t>{16000, 16000, 8000}));
    EXPECT_EQ(context.FinalCrc(), ZlibCrc(data));
}

// A decoder's window handed over as whole chunks: the bytes already in the output buffer are
// completed first, every further chunk is written where it lies, and fewer than a chunk's bytes
// are left to the decoder (the returned pointer).
TEST(OutputPath, WholeChunksFromADecodersWindow) {
    const Bytes data = MakeInput(InputKind::Text, 70000, 9);
    struct Case {
        std::size_t buffered; // bytes put in the output buffer before
        std::size_t offered;
        std::vector<std::int32_t> writes;
        std::size_t taken;
    };
    const Case cases[] = {
        {0, 15999, {}, 0},
        {0, 16000, {16000}, 16000},
        {0, 40000, {16000, 16000}, 32000},
        {5000, 10999, {}, 0},
        {5000, 11000, {16000}, 11000},
        {5000, 60000, {16000, 16000, 16000, 16000}, 59000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("buffered " + std::to_string(c.buffered) + ", offered " +
                     std::to_string(c.offered));
        TUnzipContext context;
        RecordingStream output;
        context.StartEntry(&output, 0, 70000, false);
        for (std::size_t i = 0; i < c.buffered; ++i) {
            context.PutOutputByte(data[i]);
        }
        const std::uint8_t* window = data.data() + c.buffered;
        EXPECT_EQ(context.WriteWholeChunks(window, window + c.offered), window + c.taken);
        EXPECT_EQ(output.writes, c.writes);
        const Bytes written = Prefix(data, c.writes.size() * 16000);
        EXPECT_EQ(Bytes(output.Memory(), output.Memory() + output.Size()), written);
        EXPECT_EQ(context.FinalCrc(), ZlibCrc(written));
    }
}

// Deflate output long enough for the windows to fill the work area and start again at its front
// (twice for the longest): every write but the last is a whole chunk, and the bytes are the input.
TEST(OutputPath, DeflateWritesWholeChunksAcrossTheWorkArea) {
    struct Case {
        InputKind kind;
        std::size_t size;
        int level;
    };
    const Case cases[] = {{InputKind::Text, 300000, 6},
                          {InputKind::Records, 600000, 9},
                          {InputKind::Random, 270000, 0},
                          {InputKind::Runs, 550001, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.size) + ", level " + std::to_string(c.level));
        const Bytes data = MakeInput(c.kind, c.size, 10);
        const DecodeRecord r = Decode(method::Deflated, RawDeflate(data, c.level),
                                      DecodeOptions().Declared(std::int32_t(c.size)));
        ASSERT_EQ(r.inflateResult, TInflateResult::Decoded);
        EXPECT_EQ(r.output, data);
        EXPECT_EQ(r.crc, ZlibCrc(data));
        std::vector<std::int32_t> writes(c.size / 16000, 16000);
        if (c.size % 16000 != 0) {
            writes.push_back(static_cast<std::int32_t>(c.size % 16000));
        }
        EXPECT_EQ(r.writes, writes);
    }
}

TEST(OutputPath, ZeroBytesWriteNothingAndKeepTheCrcOfNoData) {
    const DecodeRecord r = Decode(method::Stored, {}, DecodeOptions().Declared(0));
    EXPECT_TRUE(r.writes.empty());
    EXPECT_TRUE(r.filePercents.empty());
    EXPECT_EQ(r.chunksRead, 0);
    EXPECT_EQ(r.crc, 0u);
}

} // namespace
} // namespace kq::test
