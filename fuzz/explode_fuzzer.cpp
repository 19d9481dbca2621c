// Implode data of any shape. The parameter carries the entry's flags 1 and 2 (dictionary size and
// literal code) in its bits 1 and 2; its bit 3 pads the data with zeros to just over 200000 bytes,
// so that the wide distance lookups are fuzzed too.
#include "decoders/explode.h"
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool large = size >= 3 && (data[2] & 0x80) != 0;
    kq::fuzz::RunEntry(
        data, size,
        [](kq::TUnzipContext& context, const kq::fuzz::Entry& entry) {
            kq::Explode(context, static_cast<std::uint16_t>(entry.parameter & 6));
        },
        large ? 200001 : 0);
    return 0;
}
