// Name comparison and OEM-to-ANSI conversion, checked against what Windows answers.

#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(CodePage, NamesCompareIgnoringCase) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"abc", "ABC", 0}, {"Setup.dat", "SETUP.DAT", 0},
        {"", "", 0},       {"abc", "abd", -1},
        {"abd", "ABC", 1}, {"ab", "abc", -1},
        {"", "a", -1},     {"file1", "FILE2", -1},
        {"1", "a", -1},    {"Z", "a", 1}, // compared as bytes without folding, "Z" would sort first
        {"b", "A", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CompareStringIgnoreCase(c.a, c.b)), c.sign) << c.a << " vs " << c.b;
        EXPECT_EQ(Sign(CompareStringIgnoreCase(c.b, c.a)), -c.sign) << c.b << " vs " << c.a;
    }
}

// Expected bytes from Python's cp437 and cp1252 codecs.
TEST(CodePage, Oem437TextBecomesWindows1252) {
    if (GetOEMCP() != 437 || GetACP() != 1252) {
        GTEST_SKIP() << "OEM page " << GetOEMCP() << ", ANSI page " << GetACP();
    }
    struct Case {
        const char* name;
        std::string oem;
        std::string ansi;
    };
    const Case cases[] = {
        {"ASCII unchanged", "readme.txt", "readme.txt"},
        {"u umlaut", "\x81", "\xFC"},
        {"e acute", "\x82", "\xE9"},
        {"capital U umlaut", "\x9A", "\xDC"},
        {"n tilde", "\xA4", "\xF1"},
        {"sharp s", "\xE1", "\xDF"},
        {"florin", "\x9F", "\x83"},
        {"degree", "\xF8", "\xB0"},
        {"middle dot", "\xFA", "\xB7"},
        {"no-break space", "\xFF", "\xA0"},
        {"a whole name",
         "Gr\x81\xE1"
         "e.txt",
         "Gr\xFC\xDF"
         "e.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OemToAnsi(c.oem), c.ansi) << c.name;
    }
}

} // namespace
} // namespace kq
