// An encrypted entry decrypted with the known password "fuzz": the 12-byte encryption header,
// then the data, decoded by the method the parameter names. Inputs as for the decoder targets
// (fuzz_entry.h); the parameter (bits 4-7 of byte 2) chooses the method: 0 stored, 1 Shrink,
// 2-5 Reduce, 6 Implode, 8 Deflate, anything else unknown. The password check is not made, so
// the decoders also meet data decrypted with the wrong key stream.
#include "decoders/decode_entry.h"
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kq;
    if (size < 3) {
        return 0;
    }
    static TUnzipContext context;
    const auto declared =
        static_cast<std::int32_t>(data[0] | data[1] << 8 | (data[2] & 0x0F) << 16);
    const auto method = static_cast<std::uint16_t>(data[2] >> 4);
    TMemoryStream archive;
    archive.WriteBuffer(data + 3, static_cast<std::int32_t>(size - 3));
    archive.SetPosition(0);
    TDiscardStream output;
    context.Archive = &archive;
    context.ProcessMessages = [] {};
    std::int64_t compressed = archive.Size();
    TCryptKeys keys;
    ReadEncryptionHeader(keys, "fuzz", archive, compressed);
    context.StartEntry(&output, compressed, declared, true);
    context.Keys = keys;
    try {
        DecodeEntryData(context, method, 6);
    } catch (const Exception&) {
    }
    return 0;
}
