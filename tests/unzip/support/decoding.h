// Test support for the decoders: runs one entry's data through a TUnzipContext the way the
// extraction driver does, from memory to memory, and records what the outside world would see:
// the bytes written and the size of every write, the chunks read (with the message processing
// before each), the percentages, and the order of reads and writes.
#pragma once

#include "base/exceptions.h"
#include "base/stream.h"
#include "crypto/crypt.h"
#include "decoders/decode_entry.h"
#include "decoders/inflate.h"
#include "decoders/unzip_context.h"
#include "test/raises.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kq {

// Failure messages name the result.
inline void PrintTo(TInflateResult result, std::ostream* os) {
    static const char* const names[] = {"Decoded", "BadData", "OverSubscribed", "BadBlockType"};
    *os << names[static_cast<int>(result)];
}

} // namespace kq

namespace kq::test {

using Bytes = std::vector<std::uint8_t>;

// An output file that records each write and can run out of room (a full disk).
class RecordingStream : public TMemoryStream {
public:
    std::int32_t Write(const void* buffer, std::int32_t count) override {
        std::int32_t room = count;
        if (capacity >= 0 && Size() + count > capacity) {
            room = static_cast<std::int32_t>(std::max<std::int64_t>(capacity - Size(), 0));
        }
        writes.push_back(count);
        if (log != nullptr) {
            log->push_back('W');
        }
        return TMemoryStream::Write(buffer, room);
    }

    std::int64_t capacity = -1; // -1: no limit
    std::vector<std::int32_t> writes;
    std::string* log = nullptr;
};

struct DecodeOptions {
    std::int32_t uncompressedSize = -1; // -1: the size of the expected output, if known
    std::int32_t compressedSize = -1;   // -1: all of the data
    std::string password;               // non-empty: the data starts with an encryption header
    std::int64_t diskCapacity = -1;
    std::int64_t runTotal = 0;  // 0: the entry's uncompressed size
    int previousEntryFill = -1; // 0-255: the work area holds this byte from an earlier entry

    DecodeOptions& Declared(std::int32_t n) {
        uncompressedSize = n;
        return *this;
    }
    DecodeOptions& Compressed(std::int32_t n) {
        compressedSize = n;
        return *this;
    }
    DecodeOptions& Password(std::string p) {
        password = std::move(p);
        return *this;
    }
    DecodeOptions& Disk(std::int64_t capacity) {
        diskCapacity = capacity;
        return *this;
    }
    DecodeOptions& RunTotal(std::int64_t total) {
        runTotal = total;
        return *this;
    }
    DecodeOptions& PreviousEntry(std::uint8_t fill) {
        previousEntryFill = fill;
        return *this;
    }
};

struct DecodeRecord {
    Bytes output;
    std::vector<std::int32_t> writes;
    std::vector<int> filePercents;
    std::vector<int> totalPercents;
    int chunksRead = 0;
    // 'R' for each chunk read (message processing comes first), 'W' for each write.
    std::string log;
    std::uint32_t crc = 0;
    std::optional<TInflateResult> inflateResult; // set when Inflate returned
    std::string error;  // the message of an exception that left the decoder
    int checkByte = -1; // the decrypted header's last byte, -1 when it was cut short
    // The entry's bytes the reader has not handed out (below 0: its last byte handed out again).
    std::int64_t compressedLeft = 0;
};

// Decodes data (an entry's bytes as stored in the archive) with the given method.
inline DecodeRecord Decode(std::uint16_t compressionMethod, const Bytes& data,
                           const DecodeOptions& options = {}) {
    TMemoryStream archive;
    if (!data.empty()) {
        archive.WriteBuffer(data.data(), static_cast<std::int32_t>(data.size()));
    }
    archive.SetPosition(0);

    DecodeRecord record;
    RecordingStream output;
    output.capacity = options.diskCapacity;
    output.log = &record.log;

    TUnzipContext context;
    context.Archive = &archive;
    context.ProcessMessages = [&record] {
        ++record.chunksRead;
        record.log += 'R';
    };
    context.OnFilePercentDone = [&record](int p) { record.filePercents.push_back(p); };
    context.OnTotalPercentDone = [&record](int p) { record.totalPercents.push_back(p); };
    if (options.previousEntryFill >= 0) {
        std::fill(context.WorkArea(), context.WorkArea() + TUnzipContext::WorkAreaSize,
                  static_cast<std::uint8_t>(options.previousEntryFill));
    }

    std::int64_t compressed = options.compressedSize >= 0 ? options.compressedSize
                                                          : static_cast<std::int32_t>(data.size());
    const bool encrypted = !options.password.empty();
    if (encrypted) {
        // Comparing the check byte is the driver's business: the record keeps it.
        record.checkByte =
            ReadEncryptionHeader(context.Keys, options.password, archive, compressed);
    }
    const std::int32_t uncompressed = options.uncompressedSize;
    context.RunTotalBytes = options.runTotal != 0 ? options.runTotal : uncompressed;
    context.StartEntry(&output, compressed, uncompressed, encrypted);
    try {
        if (compressionMethod == method::Deflated) {
            record.inflateResult = Inflate(context);
        } else {
            DecodeEntryData(context, compressionMethod);
        }
    } catch (const Exception& e) {
        record.error = e.Message();
    }
    record.crc = context.FinalCrc();
    record.compressedLeft = context.CompressedBytesLeft;
    record.writes = output.writes;
    record.output.assign(output.Memory(), output.Memory() + output.Size());
    return record;
}

} // namespace kq::test
