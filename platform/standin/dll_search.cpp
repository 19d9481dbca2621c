#include "platform/dll_search.h"

namespace kq {

bool HardenDllSearch() {
    return true;
}

} // namespace kq
