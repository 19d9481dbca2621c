// Method 0, stored: the entry's bytes are the file's bytes. They are read straight into the
// output buffer, chunk by chunk, and written from there.
#include "unzip/decoders.h"
#include "unzip/unzip_context.h"

#include <algorithm>

namespace kq {

void Unstore(TUnzipContext& context) {
    std::int64_t& toLoad = context.CompressedBytesToLoad;
    while (toLoad > 0) {
        context.LetWindowBreathe();
        const auto len =
            static_cast<std::int32_t>(std::min<std::int64_t>(toLoad, TUnzipContext::ChunkSize));
        toLoad -= len;
        context.ReadArchive(context.OutputBuffer(), len);
        context.OutputCount = static_cast<std::uint16_t>(len);
        context.FlushOutput();
    }
}

} // namespace kq
