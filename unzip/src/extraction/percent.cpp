#include "extraction/percent.h"

#include <algorithm>
#include <cmath>

namespace kq {

int Percent(int64_t part, int64_t whole) {
    if (whole <= 0) {
        return 0;
    }
    // nearbyint rounds in the default mode, to nearest with halves to even.
    const double percent =
        std::nearbyint(static_cast<double>(part) * 100.0 / static_cast<double>(whole));
    return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

} // namespace kq
