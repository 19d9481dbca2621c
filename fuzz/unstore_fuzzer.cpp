// Stored data: copied as it is, but never past the entry's declared size.
#include "decoders/unstore.h"
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kq::fuzz::RunEntry(data, size, [](kq::TUnzipContext& context, const kq::fuzz::Entry&) {
        kq::Unstore(context);
    });
    return 0;
}
