#include "scratch_registry.h"

namespace kq::test {

ScratchRegistryKey::ScratchRegistryKey() : path_("Software\\KavoruQyn Tests\\Scratch") {}

ScratchRegistryKey::~ScratchRegistryKey() = default;

} // namespace kq::test
