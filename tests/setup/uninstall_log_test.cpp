// The uninstall log's writer against the system's profile writer as the oracle: the same keys
// written through both, into files that start alike, must leave the same bytes after every
// write. Under Wine the oracle is the Windows API's writer; natively the stand-in's. Then the
// reader, on logs written by hand.
#include "platform/profile.h"
#include "setup/uninstall_log.h"
#ifndef _WIN32
#include "platform/standin_faults.h"
#endif
#include "test/file_bytes.h"
#include "test/scratch_folder.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace kq {
namespace {

using Writes = std::vector<std::pair<std::string, std::string>>;

struct Case {
    const char* label;
    const char* before; // the file's bytes before the first write; null: no file
    Writes writes;
};

// An installation's keys, then the changes a second installation and odd names make.
Writes InstallLike() {
    Writes writes;
    for (int i = 0; i < 12; ++i) {
        writes.emplace_back(std::to_string(i), "folder\\file" + std::to_string(i) + ".txt");
        writes.emplace_back("D" + std::to_string(i), std::to_string(1484236845 + i));
    }
    writes.insert(writes.end(), {
                                    {"d3", "1484236999"},         // another case, same length
                                    {"4", "folder\\longer4.txt"}, // another length
                                    {"D5", "-1"},
                                    {"12", ""},
                                    {"13", "  leading and trailing  "},
                                    {" 14 ", "blanks around the key"},
                                    {"15", "two\r\nlines"},
                                    {"16", "\xB5\xDA\xD2\xBB.txt"},
                                    {"D16", "1484236845"},
                                });
    return writes;
}

// Keys written one by one, or two at a time (an installed file's two keys) where `paired`.
void RunCases(bool paired) {
    const Case cases[] = {
        {"a new file", nullptr, InstallLike()},
        {"the section last", "[Other]\r\nx=1\r\n[Qyn]\r\n0=old\r\nD0=1\r\n", InstallLike()},
        {"the section first", "[Qyn]\r\n0=old\r\n[Other]\r\nx=1\r\n", InstallLike()},
        {"no final line break", "[Qyn]\r\n0=old", InstallLike()},
        {"blank lines and another case", "[qyn]\r\n\r\n0 = old\r\n\r\n", InstallLike()},
        {"an empty file", "", InstallLike()},
        {"a pair of one key twice", nullptr, {{"0", "a"}, {"0", "bb"}, {"1", "x"}, {"D1", "y"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        test::ScratchFolder folder;
        const std::string mine = folder / "Uninstall.log";
        const std::string oracle = folder / "Oracle.log";
        if (c.before != nullptr) {
            test::WriteWholeFile(mine, c.before);
            test::WriteWholeFile(oracle, c.before);
        }
        TUninstallLog log(mine, "Qyn");
        const std::size_t step = paired ? 2 : 1;
        for (std::size_t i = 0; i < c.writes.size(); i += step) {
            const auto& [key, value] = c.writes[i];
            bool expected = WritePrivateProfileString("Qyn", key, value, oracle);
            std::string written = key + "=" + value;
            if (paired && i + 1 < c.writes.size()) {
                const auto& [key2, value2] = c.writes[i + 1];
                expected = WritePrivateProfileString("Qyn", key2, value2, oracle) && expected;
                EXPECT_EQ(log.Write(key, value, key2, value2), expected) << key << ", " << key2;
                written += ", " + key2 + "=" + value2;
            } else {
                EXPECT_EQ(log.Write(key, value), expected) << key;
            }
            const std::string want = test::ReadWholeFile(oracle);
            ASSERT_TRUE(test::ReadWholeFile(mine) == want) << "after " << written << ", wanted:\n"
                                                           << want << "\ngot:\n"
                                                           << test::ReadWholeFile(mine);
        }
    }
}

TEST(UninstallLog, LeavesTheBytesTheSystemsProfileWriterLeaves) {
    RunCases(false);
}

TEST(UninstallLog, TwoKeysAtATimeLeaveTheSameBytes) {
    RunCases(true);
}

#ifndef _WIN32
// A file's two keys reach the log in one write, the first file's too: a run ended at any moment
// never leaves a file named without its stamp.
TEST(UninstallLog, EachPairOfKeysIsOneWrite) {
    test::ScratchFolder folder;
    TUninstallLog log(folder / "Uninstall.log", "Qyn");
    ArmFault(FaultKind::Write, 0);
    for (int i = 0; i < 3; ++i) {
        const std::string key = std::to_string(i);
        const int before = FaultCalls(FaultKind::Write);
        ASSERT_TRUE(log.Write(key, "file" + key, "D" + key, "1484236845"));
        // The new log's section line is the first file's one more.
        EXPECT_EQ(FaultCalls(FaultKind::Write) - before, i == 0 ? 2 : 1) << key;
    }
    EXPECT_EQ(FaultCalls(FaultKind::ProfileWrite), 0);
    DisarmFaults();
    EXPECT_EQ(test::ReadWholeFile(folder / "Uninstall.log"),
              "[Qyn]\r\n0=file0\r\nD0=1484236845\r\n1=file1\r\nD1=1484236845\r\n"
              "2=file2\r\nD2=1484236845\r\n");
}
#endif

// An installed file's keys: the stamp as a signed 32-bit number, so a date after 2043 is negative.
TEST(UninstallLog, InstalledFilesKeys) {
    test::ScratchFolder folder;
    TUninstallLog log(folder / "Uninstall.log", "Qyn");
    ASSERT_TRUE(log.WriteInstalledFile(0, "a.txt", 0x5A2B6000));
    ASSERT_TRUE(log.WriteInstalledFile(7, "doc\\b.txt", 0x8D9F6000)); // 2050-12-31 12:00:00
    ASSERT_TRUE(log.WriteInstalledFile(12, "c.txt", -1));
    EXPECT_EQ(test::ReadWholeFile(folder / "Uninstall.log"),
              "[Qyn]\r\n0=a.txt\r\nD0=1512792064\r\n7=doc\\b.txt\r\nD7=-1918935040\r\n"
              "12=c.txt\r\nD12=-1\r\n");
}

TEST(UninstallLog, ReaderFollowsTheSystemsProfileReader) {
    const struct {
        const char* label;
        const char* log;
        std::vector<std::pair<std::string, std::int64_t>> files; // name, stamp
    } cases[] = {
        {"in the order of the numbers",
         "[Qyn]\r\n10=b\r\nD10=5\r\n9=a\r\nD9=4\r\n",
         {{"a", 4}, {"b", 5}}},
        {"a stamp after 2043, none, a bad one",
         "[Qyn]\r\n0=a\r\nD0=-1918935040\r\n1=b\r\n2=c\r\nD2=x\r\n",
         {{"a", 0x8D9F6000}, {"b", -1}, {"c", -1}}},
        {"blanks and control bytes around keys and values",
         "\t[ qyn ]\r\n 0 =\t a b \r\r\nd0= 7 \n",
         {{"a b", 7}}},
        {"the first of a key twice counts", "[Qyn]\n0=a\n0=b\nD0=1\nD0=2\n", {{"a", 1}}},
        {"a section again adds to it",
         "[Qyn]\n0=a\n[Other]\n1=x\n[QYN]\n2=c\n",
         {{"a", -1}, {"c", -1}}},
        {"the name ends at the first bracket", "[Qyn]x]\n0=a\n[Q]yn]\n1=b\n", {{"a", -1}}},
        {"an unclosed section line ends the section", "[Qyn]\n0=a\n[Qyn\n1=b\n", {{"a", -1}}},
        {"keys that are no file numbers", "[Qyn]\nx=a\n-1=b\n1234567890=c\n;2=d\n3\n", {}},
        {"no section", "0=a\r\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        test::ScratchFolder folder;
        test::WriteWholeFile(folder / "Uninstall.log", c.log);
        bool found = false;
        std::vector<std::pair<std::string, std::int64_t>> files;
        for (const TLoggedFile& file : ReadUninstallLog(folder / "Uninstall.log", found)) {
            files.emplace_back(file.name, file.stamp);
        }
        EXPECT_TRUE(found);
        EXPECT_EQ(files, c.files);
    }
    bool found = true;
    EXPECT_TRUE(ReadUninstallLog(test::ScratchFolder() / "Uninstall.log", found).empty());
    EXPECT_FALSE(found);
}

} // namespace
} // namespace kq
