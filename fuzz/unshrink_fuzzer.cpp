// Shrink data of any shape must end without reading or writing outside the decoder's tables and
// without running on for ever.
#include "decoders/unshrink.h"
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kq::fuzz::RunEntry(data, size, [](kq::TUnzipContext& context, const kq::fuzz::Entry&) {
        kq::Unshrink(context);
    });
    return 0;
}
