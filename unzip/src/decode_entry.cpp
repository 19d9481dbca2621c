// The choice of decoder by compression method.
#include "platform/dialogs.h"
#include "unzip/decoders.h"
#include "unzip/unzip_context.h"

namespace kq {

void DecodeEntryData(TUnzipContext& context, std::uint16_t compressionMethod) {
    switch (compressionMethod) {
    case method::Stored:
        Unstore(context);
        break;
    case method::Deflated:
        Inflate(context);
        break;
    default:
        // Nothing is written, so the entry fails its CRC check unless its CRC is that of no data.
        MessageBox("Unknown Compression Method", "Zip Error", mb::Ok);
        break;
    }
}

} // namespace kq
