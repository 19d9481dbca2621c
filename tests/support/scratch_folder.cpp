#include "test/scratch_folder.h"

namespace kq::test {

#ifdef _WIN32
ScratchFolder::ScratchFolder() : path_(folder_.Path() + "\\") {}
#else
ScratchFolder::ScratchFolder() : root_({"c/scratch"}), path_("C:\\scratch\\") {}
#endif

} // namespace kq::test
