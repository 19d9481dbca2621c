#include "lang/format_settings.h"

namespace kq {

TFormatSettings& FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

} // namespace kq
