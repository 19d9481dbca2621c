// Method 0, stored: the entry's bytes are the file's bytes. They are read straight into the
// output buffer, chunk by chunk, and written from there.
#include "decoders/unstore.h"

#include "decoders/unzip_context.h"

#include <algorithm>

namespace kq {

void Unstore(TUnzipContext& context) {
    TEntryInput& input = context;
    TEntryOutput& output = context;
    std::int64_t& toLoad = input.CompressedBytesToLoad;
    while (toLoad > 0) {
        input.LetWindowBreathe();
        const auto len = static_cast<std::int32_t>(std::min<std::int64_t>(toLoad, kEntryChunkSize));
        toLoad -= len;
        input.ReadArchive(output.OutputBuffer(), len);
        output.OutputCount = static_cast<std::uint16_t>(len);
        output.FlushOutput();
    }
}

} // namespace kq
