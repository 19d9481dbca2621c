// The wildcard matcher on any pattern and path (split at the input's first NUL byte); sets,
// ranges and runs of stars must neither read past either string nor take exponential time.
#include "extraction/wildcard.h"
#include "fuzz_entry.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = kq::fuzz::Bytes(data, size);
    const std::size_t split = input.find('\0');
    if (split == std::string_view::npos) {
        return 0;
    }
    // Copies of their exact size, so that a read past either end is seen by the address checker.
    const std::size_t patternSize = split, pathSize = size - split - 1;
    const auto pattern = std::make_unique<char[]>(patternSize);
    const auto path = std::make_unique<char[]>(pathSize);
    std::memcpy(pattern.get(), data, patternSize);
    std::memcpy(path.get(), data + split + 1, pathSize);
    (void)kq::IsWildcardMatch({pattern.get(), patternSize}, {path.get(), pathSize});
    return 0;
}
