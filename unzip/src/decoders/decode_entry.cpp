// The choice of decoder by compression method.
#include "decoders/decode_entry.h"

#include "decoders/explode.h"
#include "decoders/inflate.h"
#include "decoders/unreduce.h"
#include "decoders/unshrink.h"
#include "decoders/unstore.h"
#include "decoders/unzip_context.h"
#include "platform/dialogs.h"

namespace kq {

void DecodeEntryData(TUnzipContext& context, std::uint16_t compressionMethod,
                     std::uint16_t generalPurposeFlags) {
    switch (compressionMethod) {
    case method::Stored:
        Unstore(context);
        break;
    case method::Shrunk:
        Unshrink(context);
        break;
    case method::ReducedFactor1:
    case method::ReducedFactor1 + 1:
    case method::ReducedFactor1 + 2:
    case method::ReducedFactor4:
        Unreduce(context, compressionMethod);
        break;
    case method::Imploded:
        Explode(context, generalPurposeFlags);
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
