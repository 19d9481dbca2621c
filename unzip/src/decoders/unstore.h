// Method 0, stored: the data is the file.
#pragma once

namespace kq {

class TUnzipContext;

void Unstore(TUnzipContext& context);

} // namespace kq
