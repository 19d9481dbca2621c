#include "decoders/unzip_context.h"

namespace kq {

TUnzipContext::TUnzipContext()
    : workArea_(new std::uint8_t[WorkAreaSize]),
      inflateTables_(new std::uint32_t[InflateTableEntries]) {}

TUnzipContext::~TUnzipContext() = default;

void TUnzipContext::StartEntry(TStream* output, std::int64_t compressedSize,
                               std::int64_t uncompressedSize, bool encrypted) {
    TEntryInput::StartEntry(compressedSize, encrypted);
    TEntryOutput::StartEntry(output, uncompressedSize);
}

} // namespace kq
