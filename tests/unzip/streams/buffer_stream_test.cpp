// TS_BufferStream over a memory stream: reads and seeks across buffer boundaries, the seek
// origins, put-back, the buffer kept by a seek to where the stream stands, and failed writes.
// Expected bytes come from the pattern the data was made with.
#include "base/exceptions.h"
#include "base/stream.h"
#include "io/buffer_stream.h"
#include "support/zip_fixtures.h"
#include "test/raises.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using test::RaisedMessage;

// Byte i of the test data: a sequence that does not repeat within a buffer's length.
uint8_t PatternByte(int64_t i) {
    return static_cast<uint8_t>((i * 7 + i / 251) & 0xFF);
}

void FillPattern(TMemoryStream& stream, int size) {
    for (int i = 0; i < size; ++i) {
        const uint8_t b = PatternByte(i);
        stream.WriteBuffer(&b, 1);
    }
    stream.SetPosition(0);
}

// A stream that takes no bytes, as a full disk does.
class RefusingStream : public TMemoryStream {
public:
    std::int32_t Write(const void*, std::int32_t) override { return 0; }
};

TEST(BufferStream, ReadSkipReadAcrossBufferBoundaries) {
    TMemoryStream data;
    FillPattern(data, 3 * kBufferStreamSize);
    // Starting points that put the first read, the skip or the second read across a boundary.
    for (int64_t start : {0, 8162, 8157, 8152, 8147, 8191, 16364}) {
        TS_BufferStream stream(data);
        stream.Seek(start, soFromBeginning);
        uint8_t bytes[80];
        ASSERT_EQ(stream.Read(bytes, 30), 30) << start;
        EXPECT_EQ(stream.Seek(10, soFromCurrent), start + 40) << start;
        ASSERT_EQ(stream.Read(bytes + 30, 50), 50) << start;
        for (int i = 0; i < 80; ++i) {
            ASSERT_EQ(bytes[i], PatternByte(start + i + (i < 30 ? 0 : 10))) << start << " " << i;
        }
    }
    data.SetPosition(0);
    TS_BufferStream stream(data);
    std::vector<uint8_t> all(30000);
    EXPECT_EQ(stream.Read(all.data(), 30000), 3 * kBufferStreamSize) << "short at the end";
}

// Writes of a buffer-full or more pass an empty buffer; mixed with small ones, the bytes still
// arrive in order. A seek back into the data read ahead lands where it should.
TEST(BufferStream, MixedWriteSizesAndSeeksBackInsideTheBuffer) {
    std::vector<uint8_t> bytes(40000);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = PatternByte(static_cast<int64_t>(i));
    }
    TMemoryStream data;
    {
        TS_BufferStream stream(data);
        size_t at = 0;
        for (const size_t n : {100, 20000, 8192, 5, 8191, 3512}) {
            ASSERT_EQ(stream.Write(bytes.data() + at, static_cast<int32_t>(n)), int32_t(n)) << at;
            at += n;
            ASSERT_EQ(stream.Position(), int64_t(at));
        }
    }
    ASSERT_EQ(data.Size(), 40000);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), static_cast<const uint8_t*>(data.Memory())));

    data.SetPosition(0);
    TS_BufferStream stream(data);
    uint8_t got[4];
    for (const int64_t target : {8000, 100, 8191, 0, 9000, 20000}) {
        ASSERT_EQ(stream.Seek(target, soFromBeginning), target);
        ASSERT_EQ(stream.Read(got, 4), 4) << target;
        for (int i = 0; i < 4; ++i) {
            ASSERT_EQ(got[i], PatternByte(target + i)) << target;
        }
    }
}

TEST(BufferStream, SeekFromTheEndIgnoresTheSign) {
    TMemoryStream data;
    FillPattern(data, 100);
    // (offset, bytes read before the seek): always 22 bytes before the end of 100.
    for (auto [offset, before] : {std::pair{-22, 0}, {22, 0}, {-22, 50}, {22, 99}}) {
        data.SetPosition(0);
        TS_BufferStream stream(data);
        uint8_t bytes[100];
        stream.Read(bytes, before);
        EXPECT_EQ(stream.Seek(offset, soFromEnd), 78) << offset << " after " << before;
        ASSERT_EQ(stream.Read(bytes, 1), 1);
        EXPECT_EQ(bytes[0], PatternByte(78));
    }
    TS_BufferStream stream(data);
    for (int origin : {3, -1}) {
        EXPECT_EQ(RaisedMessage<Exception>([&] { stream.Seek(0, origin); }),
                  "Invalid seek origin (" + std::to_string(origin) + ")");
    }
}

TEST(BufferStream, SeekToWhereTheStreamStandsKeepsTheBuffer) {
    TMemoryStream data;
    FillPattern(data, 1000);
    TS_BufferStream stream(data);
    int fills = 0;
    stream.OnAfterFill = [&](TObject*) { ++fills; };
    uint8_t bytes[10];
    stream.Read(bytes, 10);
    stream.Seek(10, soFromBeginning);
    stream.Seek(0, soFromCurrent);
    stream.Read(bytes, 10);
    EXPECT_EQ(fills, 1);
    EXPECT_EQ(bytes[0], PatternByte(10));
    stream.Seek(21, soFromBeginning);
    stream.Read(bytes, 1);
    EXPECT_EQ(fills, 2) << "a seek elsewhere drops the buffer";
    EXPECT_EQ(bytes[0], PatternByte(21));
}

TEST(BufferStream, PutBack) {
    TMemoryStream data;
    FillPattern(data, 100);
    TS_BufferStream stream(data);
    EXPECT_EQ(RaisedMessage<EStreamError>([&] { stream.PutBack(1); }), "Putback overflow");
    uint8_t bytes[3];
    stream.Read(bytes, 2);
    stream.PutBack(0xAA);
    stream.PutBack(0xBB);
    EXPECT_EQ(RaisedMessage<EStreamError>([&] { stream.PutBack(0xCC); }), "Putback overflow")
        << "at the start of the buffer";
    ASSERT_EQ(stream.Read(bytes, 3), 3);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 3),
              (std::vector<uint8_t>{0xBB, 0xAA, PatternByte(2)}));
}

TEST(BufferStream, WrittenBytesAreHandedOnBeforeASeek) {
    TMemoryStream data;
    TS_BufferStream stream(data);
    stream.Write("abcdef", 6);
    EXPECT_EQ(stream.Seek(2, soFromBeginning), 2);
    stream.Write("XY", 2);
    EXPECT_EQ(stream.Seek(0, soFromEnd), 6);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.Memory()), 6), "abXYef");

    RefusingStream full;
    TS_BufferStream refused(full);
    refused.Write("abc", 3);
    EXPECT_EQ(RaisedMessage<Exception>([&] { refused.Seek(0, soFromBeginning); }), "Seek error");
    // The bytes of a full buffer that cannot be handed on are lost: a count could not say so.
    std::vector<uint8_t> bytes(kBufferStreamSize);
    EXPECT_EQ(RaisedMessage<EWriteError>([&] { refused.Write(bytes.data(), kBufferStreamSize); }),
              "Stream write error");
}

} // namespace
} // namespace kq
