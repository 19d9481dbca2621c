// The stand-in's removal helpers: a link file's target read back from the bytes its own writer
// makes, and every damaged form of those bytes refused without reading outside them; folder
// listings; host links told from plain folders.
#include "platform/files.h"
#include "platform/removal.h"
#include "platform/shell.h"
#include "test/file_bytes.h"
#include "test/standin_root.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

constexpr const char* kLink = "C:\\links\\Qyn.lnk";
constexpr const char* kTarget = "C:\\Program Files\\Qyn\\qynapp.exe";

std::string SavedLinkBytes() {
    ShellLink link;
    EXPECT_TRUE(link.Create());
    EXPECT_TRUE(link.SetPath(kTarget));
    EXPECT_TRUE(link.SetDescription("Qyn"));
    EXPECT_TRUE(link.Save(kLink));
    return test::ReadWholeFile(kLink);
}

void PutU32At(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * i));
    }
}

TEST(RemovalStandIn, LinkTargetReadBack) {
    test::StandInRoot root({"c/links"});
    SavedLinkBytes();
    std::string target;
    ASSERT_TRUE(ReadShellLinkTarget(kLink, target));
    EXPECT_EQ(target, kTarget);
}

TEST(RemovalStandIn, DamagedLinksAreRefused) {
    test::StandInRoot root({"c/links"});
    const std::string good = SavedLinkBytes();
    // The LinkInfo starts right after the 0x4C-byte header: its size, then at +0x10 the offset
    // of the local base path.
    constexpr std::size_t info = 0x4C;
    struct Case {
        const char* label;
        std::string bytes;
    };
    std::vector<Case> cases;
    // Cut anywhere before the LinkInfo's end (the strings after it do not hold the target).
    const std::size_t infoEnd = info + static_cast<unsigned char>(good[info]);
    ASSERT_LT(infoEnd, good.size());
    for (std::size_t size = 0; size < infoEnd; size += 5) {
        cases.push_back({"truncated", good.substr(0, size)});
    }
    std::string bad = good;
    bad[0] = 0x4D;
    cases.push_back({"another header size", bad});
    bad = good;
    bad[0x14] |= 0x01;
    cases.push_back({"an item list this reader does not follow", bad});
    bad = good;
    PutU32At(bad, info, 0xFFFFFFF0);
    cases.push_back({"LinkInfo larger than the file", bad});
    bad = good;
    PutU32At(bad, info + 0x10, 0x7FFFFFFF);
    cases.push_back({"path offset outside the LinkInfo", bad});
    bad = good;
    std::replace(bad.begin() + info, bad.end(), '\0', 'x');
    PutU32At(bad, info, static_cast<std::uint32_t>(good.size() - info));
    PutU32At(bad, info + 8, 1);
    PutU32At(bad, info + 0x10, 0x1C + 0x11);
    cases.push_back({"no terminator inside the LinkInfo", bad});
    for (const Case& c : cases) {
        test::WriteWholeFile(kLink, c.bytes);
        std::string target = "unchanged";
        EXPECT_FALSE(ReadShellLinkTarget(kLink, target)) << c.label << ", " << c.bytes.size();
        EXPECT_EQ(target, "unchanged") << c.label;
    }
}

TEST(RemovalStandIn, FolderListingAndLinks) {
    test::StandInRoot root({"c/f/sub", "c/elsewhere"});
    test::WriteWholeFile("C:\\f\\a.txt", "a");
    std::filesystem::create_directory_symlink(root.Host("C:\\elsewhere"), root.Host("C:\\f\\link"));
    std::vector<std::string> names = ListFolder("C:\\f");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "link", "sub"}));
    EXPECT_TRUE(ListFolder("C:\\missing").empty());

    EXPECT_TRUE(IsLinkOrJunction("C:\\f\\link"));
    EXPECT_TRUE(IsLinkOrJunction("C:\\f\\link\\"));
    EXPECT_FALSE(IsLinkOrJunction("C:\\f\\sub"));
    EXPECT_FALSE(IsLinkOrJunction("C:\\f\\a.txt"));
    EXPECT_FALSE(IsLinkOrJunction("C:\\f\\missing"));
}

} // namespace
} // namespace kq
