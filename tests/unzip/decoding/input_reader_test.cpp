// The input reader: chunks of at most 16000 bytes with message processing before each, the last
// byte supplied again after the data, short reads, the next volume, and decryption that stays in
// step across chunks and volumes.
#include "support/decoding.h"
#include "support/zip_entries.h"
#include "support/zlib_oracle.h"
#include "unzip/errors.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kq::test {
namespace {

class MemoryArchive : public TMemoryStream {
public:
    explicit MemoryArchive(const Bytes& bytes) {
        WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        SetPosition(0);
    }
};

struct Reader {
    Reader(const Bytes& bytes, std::int32_t compressedSize) : archive(bytes) {
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
    for (const bool processMessages : {true, false}) {
        Reader r(data, 40000);
        r.context.DoProcessMessages = processMessages;
        std::uint16_t byte = 0;
        for (std::size_t i = 0; i < data.size(); ++i) {
            ASSERT_EQ(r.context.ReadCompressedByte(byte), 8);
            ASSERT_EQ(byte, data[i]) << "byte " << i;
            ASSERT_EQ(r.breaths, processMessages ? int(i / 16000) + 1 : 0) << "byte " << i;
        }
        // Afterwards: 0, the byte left alone, the count going on below zero.
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(r.context.ReadCompressedByte(byte), 0);
        }
        EXPECT_EQ(byte, data.back());
        EXPECT_EQ(r.context.CompressedBytesLeft, -3);
    }
}

// A stored Deflate block of n bytes, not the last, then an empty final fixed block.
Bytes StoredThenEmpty(std::size_t n) {
    Bytes stream = {0x00, std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(~n),
                    std::uint8_t(~n >> 8)};
    stream.resize(stream.size() + n, 'x');
    stream.insert(stream.end(), {0x03, 0x00});
    return stream;
}

// The archive ends before the entry's data: stored data and a Deflate block's first bits leave
// the decoder with the error; inside a Deflate block the block ends (the CRC check then fails).
TEST(InputReader, PrematureEnd) {
    struct Case {
        const char* what;
        std::uint16_t method;
        Bytes stream;
        std::size_t archiveBytes;
        std::optional<TInflateResult> result; // none: the decoder left with the error
        std::string error;
    };
    const std::string premature = "Premature end of file reached";
    const Case cases[] = {
        {"stored data", method::Stored, Bytes(200, 7), 100, std::nullopt, premature},
        {"inside a stored Deflate block", method::Deflated, StoredThenEmpty(20000), 17000,
         TInflateResult::BadData, ""},
        {"where the final block starts", method::Deflated, StoredThenEmpty(15995), 16000,
         std::nullopt, premature},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes cut(c.stream.begin(), c.stream.begin() + c.archiveBytes);
        const DecodeRecord r =
            Decode(c.method, cut,
                   DecodeOptions().Declared(20000).Compressed(std::int32_t(c.stream.size())));
        EXPECT_EQ(r.inflateResult, c.result);
        EXPECT_EQ(r.error, c.error);
        EXPECT_TRUE(r.writes.empty());
    }
}

TEST(InputReader, GoesOnInTheNextVolumeOrGivesUp) {
    const Bytes data = MakeInput(InputKind::Random, 30000, 2);
    const Bytes head(data.begin(), data.begin() + 10000);
    MemoryArchive second(Bytes(data.begin() + 10000, data.end()));
    for (const bool supplied : {true, false}) {
        Reader r(head, 30000);
        r.context.MultiVolume = true;
        r.context.NextVolume = [&]() -> TStream* { return supplied ? &second : nullptr; };
        std::uint16_t byte = 0;
        if (!supplied) {
            EXPECT_EQ(RaisedMessage<EUserCanceled>([&] { r.context.ReadCompressedByte(byte); }),
                      "User Aborted Operation");
            continue;
        }
        for (std::size_t i = 0; i < data.size(); ++i) {
            ASSERT_EQ(r.context.ReadCompressedByte(byte), 8);
            ASSERT_EQ(byte, data[i]) << "byte " << i;
        }
        EXPECT_EQ(r.context.Archive, &second);
    }
}

// An encrypted stored entry of 16001 bytes (made by zipcloak) split over two volumes in the
// middle of a chunk: the keys follow the data across the chunk and the volume.
TEST(InputReader, DecryptionStaysInStepAcrossChunksAndVolumes) {
    const Bytes zip = ReadFileBytes("tests/unzip/crypt/fixtures/cloak.zip");
    ZipEntry entry;
    for (const ZipEntry& e : ListEntries(zip)) {
        if (e.name == "s16001.bin") {
            entry = e;
        }
    }
    const Bytes data = EntryData(zip, entry);
    MemoryArchive first(Bytes(data.begin(), data.begin() + 7000));
    MemoryArchive second(Bytes(data.begin() + 7000, data.end()));

    TUnzipContext context;
    RecordingStream output;
    std::int64_t compressed = entry.compressedSize;
    ASSERT_EQ(ReadEncryptionHeader(context.Keys, "secret", first, compressed), entry.crc >> 24);
    context.Archive = &first;
    context.MultiVolume = true;
    context.NextVolume = [&]() -> TStream* { return &second; };
    context.ProcessMessages = [] {};
    context.StartEntry(&output, compressed, std::int32_t(entry.uncompressedSize), true);
    DecodeEntryData(context, entry.method);
    EXPECT_EQ(output.writes, (std::vector<std::int32_t>{16000, 1}));
    EXPECT_EQ(context.FinalCrc(), entry.crc);
}

// An encrypted entry's next chunk is read and decrypted while the one before it is decoded. The
// bytes and the CRC (zip's) are the entry's; a cut archive fails where the cut chunk is wanted,
// after the same chunk reads; a chunk the stream never needs is no error, even when the archive
// ends inside it.
TEST(InputReader, EncryptedChunksReadAhead) {
    const Bytes zip = ReadFileBytes("tests/unzip/crypt/fixtures/chunks.zip");
    const ZipEntry entry = ListEntries(zip).front();
    const Bytes data = EntryData(zip, entry);
    const auto declared = static_cast<std::int32_t>(entry.uncompressedSize);
    const auto options = [&](std::size_t compressed) {
        return DecodeOptions().Declared(declared).Password("secret").Compressed(
            static_cast<std::int32_t>(compressed));
    };
    const std::size_t header = 12, chunk = TUnzipContext::ChunkSize;
    ASSERT_GT(data.size(), header + 2 * chunk);
    ASSERT_LT(data.size(), header + 3 * chunk);

    const DecodeRecord whole = Decode(method::Deflated, data, options(data.size()));
    ASSERT_EQ(whole.inflateResult, TInflateResult::Decoded);
    EXPECT_EQ(whole.crc, entry.crc);
    EXPECT_EQ(whole.chunksRead, 3);

    const Bytes cut(data.begin(), data.begin() + header + 2 * chunk + 100);
    const DecodeRecord r = Decode(method::Deflated, cut, options(data.size()));
    EXPECT_EQ(r.inflateResult, TInflateResult::BadData) << "the read fails inside a Deflate block";
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.chunksRead, 3);
    ASSERT_FALSE(r.output.empty());
    EXPECT_TRUE(std::equal(r.output.begin(), r.output.end(), whole.output.begin()));

    Bytes padded = data;
    padded.resize(header + 3 * chunk, 0x5A);
    const DecodeRecord p = Decode(method::Deflated, padded, options(padded.size() + 5000));
    EXPECT_EQ(p.inflateResult, TInflateResult::Decoded);
    EXPECT_EQ(p.error, "");
    EXPECT_EQ(p.crc, entry.crc);
    EXPECT_EQ(p.chunksRead, 3);
}

} // namespace
} // namespace kq::test
