// Deflate data of any shape: bad codes, lengths and distances reaching before the window, a
// stream cut short or longer than the entry's declared size.
#include "decoders/inflate.h"
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kq::fuzz::RunEntry(data, size, [](kq::TUnzipContext& context, const kq::fuzz::Entry&) {
        kq::Inflate(context);
    });
    return 0;
}
