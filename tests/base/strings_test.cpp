// The ANSI text helpers: ASCII-only case folding that leaves double-byte characters intact, the
// integer parser of translation and INI values, and the Windows file-name helpers.
#include "base/exceptions.h"
#include "base/strings.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace kq {
namespace {

// Byte strings of double-byte characters, from the code page tables: Big5 "安" A6 77 (trail
// byte "w"), Big5 "功" A5 5C and GBK "乗" 81 5C (trail byte "\").
const std::string kBig5An = "\xA6\x77";
const std::string kBig5Gong = "\xA5\x5C";
const std::string kGbkCheng = "\x81\x5C";

TEST(StringsTest, CaseFoldingTouchesOnlyAsciiLetters) {
    EXPECT_EQ(UpperCase("abc-xyz_1"), "ABC-XYZ_1");
    EXPECT_EQ(LowerCase("ABC-XYZ_1"), "abc-xyz_1");
    EXPECT_EQ(UpperCase("\xE0\xFF"), "\xE0\xFF");
    // Without its code page the trail byte of Big5 "安" is taken for a "w" and corrupted.
    EXPECT_EQ(UpperCase("a" + kBig5An), "A\xA6\x57");
    EXPECT_EQ(UpperCase("a" + kBig5An, 950), "A" + kBig5An);
    EXPECT_EQ(LowerCase("A\xA7\x41", 950), "a\xA7\x41"); // Big5 "你"
}

TEST(StringsTest, CompareTextFoldsToUpperCaseAndComparesUnsignedBytes) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const std::vector<Case> cases = {
        {"abc", "ABC", 0},    {"abc", "ABD", -1}, {"b", "A", 1},  {"", "", 0},
        {"a", "", 1},         {"ab", "abc", -1},  {"a", "_", -1}, // "A" is 41, "_" is 5F
        {"z", "\xB0", -1},                                        // bytes above 7F sort last
        {"\xB0", "\xD0", -1},
    };
    for (const Case& c : cases) {
        const int r = CompareText(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
        EXPECT_EQ(SameText(c.a, c.b), c.sign == 0) << c.a << " vs " << c.b;
    }
    EXPECT_LT(CompareStr("B", "a"), 0);
    EXPECT_GT(CompareStr("\xB0", "a"), 0);
}

TEST(StringsTest, StrToIntDefParsesOnlyWholeThirtyTwoBitNumbers) {
    struct Case {
        const char* text;
        int expected;
    };
    const int def = -77;
    const std::vector<Case> cases = {
        {"42", 42},
        {"  42", 42},
        {"+7", 7},
        {"-2147483648", std::numeric_limits<int>::min()},
        {"2147483647", std::numeric_limits<int>::max()},
        {"$FF", 255},
        {"0x1f", 31},
        {"$FFFFFFFF", -1},
        {"-$10", -16},
        {"2147483648", def},
        {"-2147483649", def},
        {"$100000000", def},
        {"42 ", def},
        {"", def},
        {"-", def},
        {"$", def},
        {"1e3", def},
        {"99999999999999999999999", def},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StrToIntDef(c.text, def), c.expected) << "'" << c.text << "'";
    }
}

TEST(StringsTest, StrToIntRaisesOnInvalidText) {
    EXPECT_EQ(StrToInt("12"), 12);
    try {
        StrToInt("12a");
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'12a' is not a valid integer value");
    }
}

TEST(StringsTest, FileNameHelpersSplitAtBackslashSlashAndColon) {
    struct Case {
        std::string path;
        std::string dir;
        std::string name;
        std::string ext;
    };
    const std::vector<Case> cases = {
        {"C:\\a\\b.txt", "C:\\a\\", "b.txt", ".txt"},
        {"C:b.txt", "C:", "b.txt", ".txt"},
        {"a/b/c.d", "a/b/", "c.d", ".d"},
        {"dir.x\\file", "dir.x\\", "file", ""},
        {"a.tar.gz", "", "a.tar.gz", ".gz"},
        {".profile", "", ".profile", ".profile"},
        {"C:\\dir\\", "C:\\dir\\", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.path), c.dir) << c.path;
        EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
        EXPECT_EQ(ExtractFileExt(c.path), c.ext) << c.path;
    }
}

TEST(StringsTest, FileNameHelpersSkipTrailBytesOfDoubleByteCharacters) {
    // A Big5 folder name ending in "功": its second byte is 5C, not a separator.
    const std::string dir = "C:\\" + kBig5Gong;
    EXPECT_EQ(IncludeTrailingBackslash(dir, 950), dir + "\\");
    EXPECT_EQ(IncludeTrailingBackslash(dir), dir); // single-byte reading: already "ends in \"
    EXPECT_EQ(ExtractFileName(dir + "x.txt", 950), kBig5Gong + "x.txt");
    EXPECT_EQ(ExtractFilePath(dir + "x.txt", 950), "C:\\");
    EXPECT_EQ(ExtractFilePath("D:\\" + kGbkCheng + "\\a", 936), "D:\\" + kGbkCheng + "\\");
    EXPECT_EQ(ExtractFileName("D:\\" + kGbkCheng, 936), kGbkCheng);
    // A lead byte cut off at the end of the text is a byte of its own.
    EXPECT_EQ(IncludeTrailingBackslash("a\\\x81", 936), "a\\\x81\\");
}

TEST(StringsTest, IncludeTrailingBackslashAddsOnlyWhenMissing) {
    EXPECT_EQ(IncludeTrailingBackslash(""), "\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\x"), "C:\\x\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\x\\"), "C:\\x\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:/x/"), "C:/x/\\");
}

} // namespace
} // namespace kq
