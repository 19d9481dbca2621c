// TS_BufferStream over a memory stream: reads and seeks across buffer boundaries, the seek
// origins, put-back, and the buffer kept by a seek to the current position. Expected bytes come
// from the pattern the data was made with.
#include "base/exceptions.h"
#include "base/stream.h"
#include "unzip/buffer_stream.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

// Byte i of the test data: a sequence that does not repeat within a buffer's length.
uint8_t PatternByte(int64_t i) {
    return static_cast<uint8_t>((i * 7 + i / 251) & 0xFF);
}

void FillPattern(TMemoryStream& stream, int size) {
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    for (int i = 0; i < size; ++i)
        bytes[static_cast<size_t>(i)] = PatternByte(i);
    stream.WriteBuffer(bytes.data(), size);
    stream.SetPosition(0);
}

// A stream that takes no bytes, as a full disk does.
class RefusingStream : public TMemoryStream {
public:
    std::int32_t Write(const void*, std::int32_t) override { return 0; }
};

template <class E, class F>
std::string ErrorOf(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    return "(no error)";
}

TEST(BufferStream, ReadSkipReadAcrossBufferBoundaries) {
    TMemoryStream data;
    FillPattern(data, 3 * kBufferStreamSize);
    // Starting points placing the first read, the skip or the second read on a boundary.
    const int64_t starts[] = {0,
                              kBufferStreamSize - 30,
                              kBufferStreamSize - 35,
                              kBufferStreamSize - 40,
                              kBufferStreamSize - 45,
                              kBufferStreamSize - 1,
                              2 * kBufferStreamSize - 20};
    for (int64_t start : starts) {
        TS_BufferStream stream(data);
        stream.Seek(start, soFromBeginning);
        uint8_t first[30];
        uint8_t second[50];
        ASSERT_EQ(stream.Read(first, 30), 30) << start;
        EXPECT_EQ(stream.Seek(10, soFromCurrent), start + 40) << start;
        ASSERT_EQ(stream.Read(second, 50), 50) << start;
        for (int i = 0; i < 30; ++i)
            ASSERT_EQ(first[i], PatternByte(start + i)) << "start " << start << " byte " << i;
        for (int i = 0; i < 50; ++i)
            ASSERT_EQ(second[i], PatternByte(start + 40 + i)) << "start " << start << " byte " << i;
        EXPECT_EQ(stream.Position(), start + 90) << start;
    }
}

TEST(BufferStream, ReadLargerThanTheBuffer) {
    TMemoryStream data;
    FillPattern(data, 20000);
    TS_BufferStream stream(data);
    std::vector<uint8_t> bytes(16000);
    ASSERT_EQ(stream.Read(bytes.data(), 16000), 16000);
    for (int i = 0; i < 16000; ++i)
        ASSERT_EQ(bytes[static_cast<size_t>(i)], PatternByte(i)) << i;
    EXPECT_EQ(stream.Read(bytes.data(), 16000), 4000) << "a short read tells the end";
    EXPECT_EQ(stream.Read(bytes.data(), 1), 0);
}

TEST(BufferStream, SeekFromTheEndIgnoresTheSign) {
    TMemoryStream data;
    FillPattern(data, 100);
    struct Case {
        int64_t offset;
        int64_t readFirst; // bytes read before the seek
    };
    for (Case c : {Case{-22, 0}, Case{22, 0}, Case{-22, 50}, Case{22, 99}, Case{0, 10}}) {
        data.SetPosition(0);
        TS_BufferStream stream(data);
        std::vector<uint8_t> skip(static_cast<size_t>(c.readFirst) + 1);
        stream.Read(skip.data(), static_cast<int32_t>(c.readFirst));
        const int64_t expected = 100 - (c.offset < 0 ? -c.offset : c.offset);
        EXPECT_EQ(stream.Seek(c.offset, soFromEnd), expected)
            << c.offset << " after " << c.readFirst;
        uint8_t b = 0;
        if (expected < 100) {
            ASSERT_EQ(stream.Read(&b, 1), 1);
            EXPECT_EQ(b, PatternByte(expected)) << c.offset;
        }
    }
}

TEST(BufferStream, OtherSeekOriginsAreRefused) {
    TMemoryStream data;
    FillPattern(data, 10);
    TS_BufferStream stream(data);
    for (int origin : {3, -1, 7})
        EXPECT_EQ(ErrorOf<Exception>([&] { stream.Seek(0, origin); }),
                  "Invalid seek origin (" + std::to_string(origin) + ")");
}

TEST(BufferStream, SeekToTheCurrentPositionKeepsTheBuffer) {
    TMemoryStream data;
    FillPattern(data, 1000);
    TS_BufferStream stream(data);
    int fills = 0;
    stream.OnAfterFill = [&](TObject*) { ++fills; };
    uint8_t bytes[10];
    stream.Read(bytes, 10);
    EXPECT_EQ(fills, 1);
    EXPECT_EQ(stream.Seek(10, soFromBeginning), 10);
    EXPECT_EQ(stream.Seek(0, soFromCurrent), 10);
    stream.Read(bytes, 10);
    EXPECT_EQ(fills, 1) << "seeks to where the stream stood kept the buffer";
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
    EXPECT_EQ(ErrorOf<EStreamError>([&] { stream.PutBack(1); }), "Putback overflow")
        << "nothing read yet";
    uint8_t bytes[3];
    stream.Read(bytes, 3);
    stream.PutBack(0xAA);
    stream.PutBack(0xBB);
    EXPECT_EQ(stream.Position(), 1);
    uint8_t back[3];
    ASSERT_EQ(stream.Read(back, 3), 3);
    EXPECT_EQ(back[0], 0xBB);
    EXPECT_EQ(back[1], 0xAA);
    EXPECT_EQ(back[2], PatternByte(3));
    stream.Seek(0, soFromBeginning);
    stream.Read(bytes, 1);
    stream.PutBack(0xCC);
    EXPECT_EQ(ErrorOf<EStreamError>([&] { stream.PutBack(0xDD); }), "Putback overflow")
        << "at the start of the buffer";
}

TEST(BufferStream, WritesAreHandedOnInBufferFulls) {
    TMemoryStream data;
    std::vector<uint8_t> bytes(20000);
    for (int i = 0; i < 20000; ++i)
        bytes[static_cast<size_t>(i)] = PatternByte(i);
    int flushes = 0;
    {
        TS_BufferStream stream(data);
        stream.OnAfterFlush = [&](TObject*) { ++flushes; };
        EXPECT_EQ(stream.Write(bytes.data(), 20000), 20000);
        EXPECT_EQ(flushes, 2) << "two full buffers";
        EXPECT_EQ(data.Size(), 2 * kBufferStreamSize);
        EXPECT_EQ(stream.Position(), 20000) << "the written bytes still buffered count";
        EXPECT_EQ(stream.Size(), 20000);
    }
    EXPECT_EQ(flushes, 3) << "the rest at destruction";
    ASSERT_EQ(data.Size(), 20000);
    for (int i = 0; i < 20000; ++i)
        ASSERT_EQ(data.Memory()[i], PatternByte(i)) << i;
}

TEST(BufferStream, SeekAfterWritingHandsTheBytesOnFirst) {
    TMemoryStream data;
    TS_BufferStream stream(data);
    stream.Write("abcdef", 6);
    EXPECT_EQ(stream.Seek(2, soFromBeginning), 2);
    stream.Write("XY", 2);
    EXPECT_EQ(stream.Seek(0, soFromEnd), 6);
    ASSERT_EQ(data.Size(), 6);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.Memory()), 6), "abXYef");
}

TEST(BufferStream, FailedHandOnIsAnError) {
    RefusingStream sink;
    {
        TS_BufferStream stream(sink);
        stream.Write("abc", 3);
        EXPECT_EQ(ErrorOf<Exception>([&] { stream.Seek(0, soFromBeginning); }), "Seek error");
    }
    {
        TS_BufferStream stream(sink);
        std::vector<uint8_t> bytes(kBufferStreamSize);
        // The bytes of a full buffer that cannot be handed on are lost: a count could not say so.
        EXPECT_EQ(ErrorOf<EWriteError>([&] { stream.Write(bytes.data(), kBufferStreamSize); }),
                  "Stream write error");
    }
}

} // namespace
} // namespace kq
