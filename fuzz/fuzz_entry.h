// Runs one fuzzer input through a decoder as one archive entry. The input's first three bytes are
// the entry's parameters, the rest is its compressed data:
//   byte 0-1   the declared uncompressed size, low 16 bits
//   byte 2     bits 0-3: the size's bits 16-19 (so at most 1 MiB is written);
//              bits 4-7: for the decoder (Reduce's factor, Implode's flags, ...)
// The context lives for the whole run, as in an extraction, so a decoder meets the work area as
// earlier inputs left it.
#pragma once

#include "base/exceptions.h"
#include "base/stream.h"
#include "unzip/legacy_decoders.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace kq::fuzz {

struct Entry {
    std::int32_t uncompressedSize;
    int parameter; // bits 4-7 of byte 2
};

// Decodes data[3..] with decode; inputs shorter than the parameters are ignored. Errors the
// output path raises (the entry growing past its declared size) are part of normal operation.
inline void RunEntry(const std::uint8_t* data, std::size_t size,
                     const std::function<void(TUnzipContext&, const Entry&)>& decode,
                     std::size_t padTo = 0) {
    if (size < 3)
        return;
    static TUnzipContext context;
    const Entry entry{static_cast<std::int32_t>(data[0] | data[1] << 8 | (data[2] & 0x0F) << 16),
                      data[2] >> 4};
    TMemoryStream archive;
    archive.WriteBuffer(data + 3, static_cast<std::int32_t>(size - 3));
    if (padTo > size - 3)
        archive.SetSize(static_cast<std::int64_t>(padTo));
    archive.SetPosition(0);
    TDiscardStream output;
    context.Archive = &archive;
    context.ProcessMessages = [] {};
    context.StartEntry(&output, static_cast<std::int32_t>(archive.Size()), entry.uncompressedSize,
                       false);
    try {
        decode(context, entry);
    } catch (const Exception&) {
    }
}

} // namespace kq::fuzz
