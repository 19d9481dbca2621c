// Test support for the older methods: decodes one entry's data through the dispatcher, with the
// entry's general purpose flags, in a work area that still holds an earlier entry's bytes.
#pragma once

#include "support/decoding.h"
#include "unzip/legacy_decoders.h"

#include <algorithm>
#include <string>

namespace kq::test {

struct LegacyResult {
    Bytes output;
    std::uint32_t crc = 0;
    std::string error; // the message of an exception that left the decoder
};

// The byte an earlier entry left all over the work area.
constexpr std::uint8_t kStaleByte = 0xA5;

inline LegacyResult DecodeLegacy(std::uint16_t compressionMethod, std::uint16_t flags,
                                 const Bytes& data, std::int32_t uncompressedSize) {
    TMemoryStream archive;
    if (!data.empty())
        archive.WriteBuffer(data.data(), static_cast<std::int32_t>(data.size()));
    archive.SetPosition(0);
    RecordingStream output;
    TUnzipContext context;
    context.Archive = &archive;
    context.ProcessMessages = [] {};
    std::fill(context.WorkArea(), context.WorkArea() + TUnzipContext::WorkAreaSize, kStaleByte);
    context.StartEntry(&output, static_cast<std::int32_t>(data.size()), uncompressedSize, false);
    LegacyResult result;
    try {
        DecodeEntryData(context, compressionMethod, flags);
    } catch (const Exception& e) {
        result.error = e.Message();
    }
    result.crc = context.FinalCrc();
    result.output.assign(output.Memory(), output.Memory() + output.Size());
    return result;
}

} // namespace kq::test
