// The input reader: chunks of at most 16000 bytes with message processing before each, the last
// byte supplied again after the data, short reads, the next volume, and decryption that stays in
// step across chunks and volumes.
#include "support/decoding.h"
#include "support/zip_entries.h"
#include "support/zlib_oracle.h"
#include "unzip/errors.h"

#include <gtest/gtest.h>

namespace kq::test {
namespace {

class MemoryArchive : public TMemoryStream {
public:
    explicit MemoryArchive(const Bytes& bytes) {
        if (!bytes.empty())
            WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        SetPosition(0);
    }
};

struct Reader {
    explicit Reader(const Bytes& bytes, std::int32_t compressedSize) : archive(bytes) {
        context.Archive = &archive;
        context.ProcessMessages = [this] { ++breaths; };
        context.StartEntry(&output, compressedSize, 1 << 30, false);
    }
    MemoryArchive archive;
    TMemoryStream output;
    TUnzipContext context;
    int breaths = 0;
};

TEST(InputReader, ChunksOf16000WithMessagesProcessedBeforeEach) {
    const Bytes data = MakeInput(InputKind::Random, 40000, 1);
    Reader r(data, 40000);
    std::uint16_t byte = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        ASSERT_EQ(r.context.ReadCompressedByte(byte), 8);
        ASSERT_EQ(byte, data[i]) << "byte " << i;
        const int chunksSoFar = static_cast<int>(i / 16000) + 1;
        ASSERT_EQ(r.breaths, chunksSoFar) << "byte " << i;
    }
    EXPECT_EQ(r.archive.Position(), 40000);

    Reader quiet(data, 40000);
    quiet.context.DoProcessMessages = false;
    for (std::size_t i = 0; i < data.size(); ++i)
        quiet.context.ReadCompressedByte(byte);
    EXPECT_EQ(quiet.breaths, 0);
}

TEST(InputReader, AfterTheDataTheByteIsLeftAloneAndTheCountGoesOn) {
    Reader r({0x11, 0x22}, 2);
    std::uint16_t byte = 0;
    r.context.ReadCompressedByte(byte);
    r.context.ReadCompressedByte(byte);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(r.context.ReadCompressedByte(byte), 0);
        EXPECT_EQ(byte, 0x22);
    }
    EXPECT_EQ(r.context.CompressedBytesLeft, -3);
    EXPECT_EQ(r.breaths, 1);
}

TEST(InputReader, ShortReadIsAPrematureEnd) {
    Reader r(Bytes(100, 7), 200);
    std::uint16_t byte = 0;
    try {
        r.context.ReadCompressedByte(byte);
        FAIL() << "no exception";
    } catch (const EFatalUnzipError& e) {
        EXPECT_EQ(e.Message(), "Premature end of file reached");
    }
    // Stored data reads the same way and fails the same way.
    const DecodeRecord stored =
        Decode(method::Stored, Bytes(100, 7), DecodeOptions().Declared(200).Compressed(200));
    EXPECT_EQ(stored.error, "Premature end of file reached");
}

// A stored Deflate block of n bytes, not the last, followed by an empty final fixed block.
Bytes StoredThenEmpty(std::size_t n) {
    Bytes stream = {0x00, std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(~n),
                    std::uint8_t(~n >> 8)};
    stream.resize(stream.size() + n, 'x');
    stream.push_back(0x03); // final fixed block: end of block right away
    stream.push_back(0x00);
    return stream;
}

// Inside a Deflate block a short read ends the block, and the entry then fails its CRC check;
// while a block's first bits are read it leaves the decoder.
TEST(InputReader, PrematureEndInsideADeflateBlockOrAtItsStart) {
    struct Case {
        const char* what;
        std::size_t storedBytes;
        std::size_t archiveBytes;
        int result;
        std::string error;
    };
    const Case cases[] = {
        {"the second chunk is cut short inside the stored block", 20000, 17000, 1, ""},
        {"the second chunk is missing where the final block starts", 15995, 16000, -1,
         "Premature end of file reached"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes stream = StoredThenEmpty(c.storedBytes);
        const DecodeRecord r =
            Decode(method::Deflated, Bytes(stream.begin(), stream.begin() + c.archiveBytes),
                   DecodeOptions()
                       .Declared(static_cast<std::int32_t>(c.storedBytes))
                       .Compressed(static_cast<std::int32_t>(stream.size())));
        EXPECT_EQ(r.inflateResult, c.result);
        EXPECT_EQ(r.error, c.error);
        EXPECT_TRUE(r.writes.empty());
    }
}

TEST(InputReader, GoesOnInTheNextVolumeOrGivesUp) {
    const Bytes data = MakeInput(InputKind::Random, 30000, 2);
    MemoryArchive second(Bytes(data.begin() + 10000, data.end()));
    Reader r(Bytes(data.begin(), data.begin() + 10000), 30000);
    r.context.MultiVolume = true;
    int asked = 0;
    r.context.NextVolume = [&]() -> TStream* { return ++asked == 1 ? &second : nullptr; };
    std::uint16_t byte = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        ASSERT_EQ(r.context.ReadCompressedByte(byte), 8);
        ASSERT_EQ(byte, data[i]) << "byte " << i;
    }
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(r.context.Archive, &second);

    // The user cancels the next volume.
    Reader cancelled(Bytes(data.begin(), data.begin() + 10000), 30000);
    cancelled.context.MultiVolume = true;
    cancelled.context.NextVolume = []() -> TStream* { return nullptr; };
    try {
        cancelled.context.ReadCompressedByte(byte);
        FAIL() << "no exception";
    } catch (const EUserCanceled& e) {
        EXPECT_EQ(e.Message(), "User Aborted Operation");
    }
}

// An encrypted stored entry of 16001 bytes (made by zipcloak) split over two volumes in the
// middle of a chunk: the keys follow the data across the chunk and the volume.
TEST(InputReader, DecryptionStaysInStepAcrossChunksAndVolumes) {
    const Bytes zip = ReadFileBytes("tests/unzip/crypt/fixtures/cloak.zip");
    ZipEntry entry;
    for (const ZipEntry& e : ListEntries(zip))
        if (e.name == "s16001.bin")
            entry = e;
    ASSERT_NE(entry.dataOffset, 0u);
    const Bytes data = EntryData(zip, entry);
    MemoryArchive first(Bytes(data.begin(), data.begin() + 7000));
    MemoryArchive second(Bytes(data.begin() + 7000, data.end()));

    TUnzipContext context;
    RecordingStream output;
    std::int32_t compressed = static_cast<std::int32_t>(entry.compressedSize);
    ASSERT_EQ(ReadEncryptionHeader(context.Keys, "secret", first, compressed), entry.crc >> 24);
    context.Archive = &first;
    context.MultiVolume = true;
    context.NextVolume = [&]() -> TStream* { return &second; };
    context.ProcessMessages = [] {};
    context.StartEntry(&output, compressed, static_cast<std::int32_t>(entry.uncompressedSize),
                       true);
    DecodeEntryData(context, entry.method);
    EXPECT_EQ(output.writes, (std::vector<std::int32_t>{16000, 1}));
    EXPECT_EQ(context.FinalCrc(), entry.crc);
}

} // namespace
} // namespace kq::test
