// Memory streams and the buffer helpers of every stream: reads stop at the end, a short read or
// write is an error where the whole buffer was asked for, a gap is zeros, and a position taken
// from damaged data cannot make the stream allocate without bound.
#include "base/exceptions.h"
#include "base/stream.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

std::string Bytes(const TMemoryStream& stream, std::int64_t size) {
    return std::string(reinterpret_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(size));
}

void WriteText(TStream& stream, const std::string& text) {
    stream.WriteBuffer(text.data(), static_cast<std::int32_t>(text.size()));
}

TEST(StreamTest, WritingPastTheEndLeavesZerosInTheGap) {
    TMemoryStream stream;
    WriteText(stream, "ab");
    stream.SetPosition(6);
    WriteText(stream, "z");
    EXPECT_EQ(stream.Size(), 7);
    EXPECT_EQ(Bytes(stream, 7), std::string("ab\0\0\0\0z", 7));
}

TEST(StreamTest, SetSizeTruncatesAndClampsThePosition) {
    TMemoryStream stream;
    WriteText(stream, "abcdef");
    stream.SetSize(3);
    EXPECT_EQ(stream.Size(), 3);
    EXPECT_EQ(stream.Position(), 3);
    stream.SetSize(5);
    EXPECT_EQ(Bytes(stream, 5), std::string("abc\0\0", 5));
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(StreamTest, ShortTransfersRaiseWhereTheWholeBufferWasAsked) {
    TMemoryStream stream;
    WriteText(stream, "abc");
    stream.SetPosition(1);
    char buffer[4];
    try {
        stream.ReadBuffer(buffer, 4);
        ADD_FAILURE() << "no read error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    stream.SetPosition(-5); // before the start nothing can be read or written
    EXPECT_EQ(stream.Read(buffer, 1), 0);
    try {
        stream.WriteBuffer("x", 1);
        ADD_FAILURE() << "no write error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Stream write error");
    }
    stream.ReadBuffer(buffer, 0); // nothing asked, nothing missing
}

TEST(StreamTest, FarPositionsFailInsteadOfAllocating) {
    TMemoryStream stream;
    stream.SetPosition(std::int64_t{1} << 40);
    try {
        stream.WriteBuffer("x", 1);
        ADD_FAILURE() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "Out of memory while expanding memory stream");
    }
    EXPECT_EQ(stream.Size(), 0);
    stream.SetPosition(INT64_MAX);
    EXPECT_THROW(stream.Write("x", 1), EStreamError);
    EXPECT_THROW(stream.Seek(1, soFromCurrent), EStreamError);
}

TEST(StreamTest, CopyFromCopiesAPartOrTheWhole) {
    TMemoryStream source;
    WriteText(source, "0123456789");
    TMemoryStream dest;

    source.SetPosition(2);
    EXPECT_EQ(dest.CopyFrom(source, 3), 3);
    EXPECT_EQ(Bytes(dest, dest.Size()), "234");
    EXPECT_EQ(source.Position(), 5);

    EXPECT_EQ(dest.CopyFrom(source, 0), 10); // 0: all of source, from its start
    EXPECT_EQ(Bytes(dest, dest.Size()), "2340123456789");

    source.SetPosition(8);
    EXPECT_THROW(dest.CopyFrom(source, 5), EReadError);
}

} // namespace
} // namespace kq
