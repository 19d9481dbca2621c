// Reduce data of any shape, with any of the four factors (the parameter's low two bits).
#include "decoders/decode_entry.h"
#include "decoders/unreduce.h"
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kq::fuzz::RunEntry(data, size, [](kq::TUnzipContext& context, const kq::fuzz::Entry& entry) {
        kq::Unreduce(context, static_cast<std::uint16_t>(kq::method::ReducedFactor1 +
                                                         (entry.parameter & 3)));
    });
    return 0;
}
