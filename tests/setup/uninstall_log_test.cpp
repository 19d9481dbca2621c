// The uninstall log's writer against the system's profile writer as the oracle: the same keys
// written through both, into files that start alike, must leave the same bytes after every
// write. Under Wine the oracle is the Windows API's writer; natively the stand-in's.
#include "platform/profile.h"
#include "setup/uninstall_log.h"
#ifndef _WIN32
#include "platform/standin_faults.h"
#endif
#include "test/file_bytes.h"
#include "test/scratch_folder.h"

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

} // namespace
} // namespace kq
