#include "setup/setup_log.h"

namespace kq {

TSetupLog::TSetupLog(const AnsiString& fileName) : file_(fileName, FileMode::Create) {}

bool TSetupLog::Line(const AnsiString& text) {
    if (!file_.IsOpen()) {
        return false;
    }
    const AnsiString line = text + "\r\n";
    const auto size = static_cast<std::int32_t>(line.size());
    return file_.Write(line.data(), size) == size;
}

} // namespace kq
