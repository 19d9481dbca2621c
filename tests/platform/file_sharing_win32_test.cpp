// Sharing modes, which only Windows enforces (the stand-in never refuses a second opener): the
// archive is read denying writers, output files are created letting others read.

#include "platform/files.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(FileSharingWin32, EachModeAdmitsTheOpenersItShouldAndNoOthers) {
    struct Case {
        const char* name;
        FileMode first, second;
        bool admitted;
    };
    const Case cases[] = {
        {"deny-write refuses a writer", FileMode::ReadDenyWrite, FileMode::Write, false},
        {"deny-write refuses a creator", FileMode::ReadDenyWrite, FileMode::Create, false},
        {"deny-write admits a reader", FileMode::ReadDenyWrite, FileMode::Read, true},
        {"deny-write admits another deny-write reader", FileMode::ReadDenyWrite,
         FileMode::ReadDenyWrite, true},
        {"a reader admits a writer", FileMode::Read, FileMode::Write, true},
        {"a reader keeps out deny-write", FileMode::Write, FileMode::ReadDenyWrite, false},
        {"a file being created admits a reader", FileMode::Create, FileMode::Read, true},
        {"a file being created refuses a second writer", FileMode::Create, FileMode::Write, false},
        {"a writer admits another writer", FileMode::Write, FileMode::Write, true},
    };
    test::ScratchFolder scratch;
    const std::string path = scratch / "shared.txt";
    {
        File file(path, FileMode::Create);
        ASSERT_TRUE(file.Close());
    }
    for (const Case& c : cases) {
        File first(path, c.first);
        ASSERT_TRUE(first.IsOpen()) << c.name << ": " << LastError();
        File second;
        EXPECT_EQ(second.Open(path, c.second), c.admitted) << c.name;
        if (!c.admitted) {
            EXPECT_EQ(LastError(), err::SharingViolation) << c.name;
        }
    }
}

} // namespace
} // namespace kq
