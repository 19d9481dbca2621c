// The stand-in's link file, byte by byte: the bytes below were laid out by hand from the
// published link format, so they check the writer rather than restate it.

#include "platform/shell.h"
#include "test/file_bytes.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

TEST(ShellLinkStandIn, WritesHeaderLinkInfoAndAnsiStrings) {
    const std::string expected =
        // Header: size, link class, flags HasLinkInfo | HasName | HasWorkingDir, attributes,
        // three times, size, icon index: all zero; show normal; hot key and reserved: zero.
        Bytes({0x4C, 0, 0, 0, 0x01, 0x14, 0x02, 0,    0,    0, 0, 0,
               0xC0, 0, 0, 0, 0,    0,    0,    0x46, 0x16, 0, 0, 0}) +
        std::string(4 + 24 + 4 + 4, '\0') + Bytes({1, 0, 0, 0}) + std::string(12, '\0') +
        // LinkInfo: size 0x3B, header 0x1C, flags 1, VolumeID at 0x1C, path at 0x2D, no network
        // part, suffix at 0x3A.
        Bytes({0x3B, 0, 0,    0, 0x1C, 0, 0, 0, 1, 0, 0,    0, 0x1C, 0,
               0,    0, 0x2D, 0, 0,    0, 0, 0, 0, 0, 0x3A, 0, 0,    0}) +
        // VolumeID: size 0x11, fixed drive, no serial, label at 0x10, empty label.
        Bytes({0x11, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0x10, 0, 0, 0, 0}) +
        std::string("C:\\app\\q.exe") + Bytes({0, 0}) +
        // Name "Q", working folder "C:\app\", end of the extra data.
        Bytes({1, 0}) + "Q" + Bytes({7, 0}) + "C:\\app\\" + Bytes({0, 0, 0, 0});

    test::ScratchFolder scratch;
    ShellLink link;
    ASSERT_TRUE(link.Create());
    ASSERT_TRUE(link.SetPath("C:\\app\\q.exe"));
    ASSERT_TRUE(link.SetWorkingDirectory("C:\\app\\"));
    ASSERT_TRUE(link.SetDescription("Q"));
    ASSERT_TRUE(link.Save(scratch / "q.lnk")) << LastError();
    EXPECT_EQ(test::ReadWholeFile(scratch / "q.lnk"), expected);
}

TEST(ShellLinkStandIn, TheFolderDialogIsCancelledWithoutAResponder) {
    std::string folder = "stale";
    EXPECT_FALSE(ShowFolderDialog("Browse", L"", folder));
    EXPECT_EQ(LastError(), err::Cancelled);
    EXPECT_EQ(folder, "");
}

} // namespace
} // namespace kq
