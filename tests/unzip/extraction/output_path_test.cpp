// The output folder and file name made from an entry's stored path: inside the destination
// whatever the path says, and naming an ordinary file on Windows.
#include "extraction/output_path.h"

#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

TEST(OutputPath, Folders) {
    struct Case {
        const char* directory;
        const char* rootDir;
        const char* expected;
    };
    const Case cases[] = {
        {"", "", ""},
        {"bin\\", "", "bin\\"},
        {"App\\bin\\", "app\\", "bin\\"}, // the root folder is compared ignoring case
        {"Application\\", "app\\", "Application\\"},
        {"App\\", "app\\", ""},
        {"C:\\data\\", "", "data\\"}, // a drive path is re-rooted
        {"C:data\\", "", "data\\"},   // a drive-relative one too
        {"\\abs\\", "", "abs\\"},
        {"\\\\server\\share\\", "", "server\\share\\"},
        {"\\\\?\\C:\\x\\", "", "x\\"},
        {"\\\\.\\COM1\\", "", "_COM1\\"},
        {"..\\..\\tmp\\", "", "tmp\\"},
        {"a\\..\\..\\b\\.\\", "", "a\\b\\"},
        {"...\\. .\\c\\", "", "c\\"}, // Windows would read these as "." and ".."
        {"x/y\\", "", "x\\y\\"},
        {"notes.txt:\\", "", "notes.txt_\\"}, // a stream name
        {"dir. \\", "", "dir__\\"},
        {"nul.tar\\Aux\\com\xB9\\", "", "_nul.tar\\_Aux\\_com\xB9\\"},
        {"con2\\lpt\\", "", "con2\\lpt\\"},
        {"a<b>\"c|d?e*\x01\\", "", "a_b__c_d_e__\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SafeEntryFolder(c.directory, c.rootDir, 1252), c.expected) << c.directory;
    }
}

TEST(OutputPath, FileNames) {
    struct Case {
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"readme.txt", "readme.txt"}, {"CON", "_CON"},         {"prn.log", "_prn.log"},
        {"con .txt", "_con .txt"},    {"console", "console"},  {"..", "__"},
        {"name.", "name_"},           {"name ", "name_"},      {"a:b", "a_b"},
        {"tab\there", "tab_here"},    {"CONOUT$", "_CONOUT$"}, {"LPT0.dat", "_LPT0.dat"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SafeEntryFileName(c.name, 1252), c.expected) << c.name;
    }
}

TEST(OutputPath, DoubleByteNamesKeepTheirSecondBytes) {
    // GBK: 0x95 0x5C is one character whose second byte is "\", 0x81 0x7C one whose second
    // byte is "|"; neither separates nor is replaced.
    EXPECT_EQ(SafeEntryFolder("\x95\x5C\\sub\\", "", 936), "\x95\x5C\\sub\\");
    EXPECT_EQ(SafeEntryFileName("\x81\x7C.txt", 936), "\x81\x7C.txt");
    EXPECT_EQ(SafeEntryFileName("\x81\x7C.txt", 1252), "\x81_.txt");
}

TEST(OutputPath, OutputFolder) {
    EXPECT_EQ(EntryOutputFolder("D:\\inst", "C:\\data\\", "", true, 1252), "D:\\inst\\data\\");
    EXPECT_EQ(EntryOutputFolder("D:\\inst", "C:data\\", "", true, 1252), "D:\\inst\\data\\")
        << "not D:\\instdata, a sibling of the destination";
    EXPECT_EQ(EntryOutputFolder("D:\\inst", "App\\bin\\", "app\\", true, 1252), "D:\\inst\\bin\\");
    EXPECT_EQ(EntryOutputFolder("D:\\inst", "App\\bin\\", "", false, 1252), "D:\\inst\\");
    // Without a destination the entries go to the current drive's root, absolute ones too.
    EXPECT_EQ(EntryOutputFolder("", "C:\\data\\", "", true, 1252), "\\data\\");
}

} // namespace
} // namespace kq
