// The INI reader of translation files: its rules differ from the system's profile functions
// (nothing is trimmed, a repeated section is dropped, keys come sorted).

#include "lang/mem_ini_file.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

TEST(MemIniFile, Reading) {
    static const char kText[] = "top=before any section\r\n"
                                "[S]\r\n"
                                "plain=value\n"
                                " key = spaced \r"
                                ";comment=no\r\n"
                                "\r\n"
                                "noequals\r\n"
                                "a=b=c\r\n"
                                "dup=first\r\n"
                                "DUP=second\r\n"
                                "[ s2 ]\r\n"
                                "x=1\r\n"
                                "[s]\r\n"
                                "late=lost\r\n"
                                "[Empty]\r\n"
                                "[Cut]\r\n"
                                "before=nul\0after=gone\r\n";
    const TMemIniFile ini(std::string_view(kText, sizeof kText - 1));
    struct Case {
        const char *section, *key, *value;
    } cases[] = {
        {"S", "plain", "value"},
        {"s", "PLAIN", "value"},    // sections and keys ignore case
        {"S", " key ", " spaced "}, // nothing is trimmed
        {"S", "key", "(default)"},
        {"S", ";comment", "(default)"}, // a comment line
        {"S", "noequals", ""},          // a key without a value
        {"S", "a", "b=c"},              // the first "=" ends the key
        {"S", "dup", "first"},          // the first of two keys answers
        {"S", "late", "(default)"},     // a repeated section's lines are dropped
        {"S", "top", "(default)"},      // lines before the first section
        {" s2 ", "x", "1"},
        {"s2", "x", "(default)"},
        {"Missing", "x", "(default)"},
        {"Cut", "before", "nul"}, // a NUL ends the text
        {"Cut", "after", "(default)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.ReadString(c.section, c.key, "(default)"), c.value)
            << c.section << " / " << c.key;
    }
    EXPECT_TRUE(ini.SectionExists("empty"));
    EXPECT_FALSE(ini.SectionExists("Missing"));
}

TEST(MemIniFile, KeysInAscendingOrderIgnoringCase) {
    const TMemIniFile ini("[S]\r\nb=1\r\nB=2\r\nC=3\r\na=4\r\nA_=5\r\nA=6\r\n");
    EXPECT_EQ(ini.ReadSection("s"), (std::vector<std::string>{"a", "A", "A_", "b", "B", "C"}));
    EXPECT_TRUE(ini.ReadSection("none").empty());
}

TEST(MemIniFile, BooleansAreIntegers) {
    const TMemIniFile ini("[O]\r\none=1\r\ntwo=2\r\nzero=0\r\nword=yes\r\n");
    EXPECT_TRUE(ini.ReadBool("O", "one", false));
    EXPECT_TRUE(ini.ReadBool("O", "two", false));
    EXPECT_FALSE(ini.ReadBool("O", "zero", true));
    EXPECT_FALSE(ini.ReadBool("O", "word", false));
    EXPECT_FALSE(ini.ReadBool("O", "missing", false));
}

} // namespace
} // namespace kq
