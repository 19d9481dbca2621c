#include "host_path.h"

namespace kq::zipx {

std::string EnginePath(const std::string& argument) {
    return argument;
}

void SettleHostSettings() {}

} // namespace kq::zipx
