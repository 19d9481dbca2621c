// Format composes the wizard's messages from translated formats; a format edited by anyone must
// either give the expected text or fail with EConvertError, never read past its arguments.
#include "base/exceptions.h"
#include "base/format.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace kq {
namespace {

struct FormatCase {
    const char* name;
    std::string fmt;
    std::vector<FormatArg> args;
    std::string expected;
};

// Expected texts are worked out by hand from the format rules.
const std::vector<FormatCase> kFormatCases = {
    {"plain text", "abc", {}, "abc"},
    {"percent sign", "100%%", {}, "100%"},
    {"string", "<%s>", {"x"}, "<x>"},
    {"string padded left", "[%5s]", {"ab"}, "[   ab]"},
    {"string padded right", "[%-5s]", {"ab"}, "[ab   ]"},
    {"string longer than width", "[%2s]", {"abcd"}, "[abcd]"},
    {"string truncated", "[%.2s]", {"abcdef"}, "[ab]"},
    {"string truncated and padded", "[%5.2s]", {"abcdef"}, "[   ab]"},
    {"argument text not reinterpreted", "%s", {"%d%s"}, "%d%s"},
    {"decimal", "%d", {-42}, "-42"},
    {"precision pads with zeros", "%3.3d", {7}, "007"},
    {"precision never truncates", "%3.3d", {1234}, "1234"},
    {"precision after the sign", "%.3d", {-5}, "-005"},
    {"width around precision", "[%6.3d]", {-5}, "[  -005]"},
    {"number padded right", "[%-4d]", {12}, "[12  ]"},
    {"leading zero is part of the width", "[%05d]", {42}, "[   42]"},
    {"smallest int", "%d", {std::numeric_limits<int>::min()}, "-2147483648"},
    {"smallest int64", "%d", {std::numeric_limits<std::int64_t>::min()}, "-9223372036854775808"},
    {"largest uint64", "%d", {std::numeric_limits<std::uint64_t>::max()}, "18446744073709551615"},
    {"unsigned of negative int", "%u", {-1}, "4294967295"},
    {"unsigned of negative int64", "%u", {std::int64_t{-1}}, "18446744073709551615"},
    {"hexadecimal upper case", "%x", {255}, "FF"},
    {"hexadecimal with precision", "%.4x", {255}, "00FF"},
    {"hexadecimal of negative int", "%x", {-1}, "FFFFFFFF"},
    {"conversion letters in capitals", "%S=%D", {"a", 1}, "a=1"},
    {"indexes reorder arguments", "%1:s %0:s %s", {"a", "b"}, "b a b"},
    {"extra arguments ignored", "%s", {"a", "b", 3}, "a"},
    {"character argument is text", "%s%s", {'x', "y"}, "xy"},
    // "将 %s 安装到：" in GBK: the bytes around the argument pass through untouched.
    {"GBK text around the argument",
     "\xBD\xAB %s \xB0\xB2\xD7\xB0\xB5\xBD\xA3\xBA",
     {"KavoruQyn"},
     "\xBD\xAB KavoruQyn \xB0\xB2\xD7\xB0\xB5\xBD\xA3\xBA"},
};

TEST(FormatTest, ComposesFieldsAsDescribed) {
    for (const FormatCase& c : kFormatCases) {
        EXPECT_EQ(Format(c.fmt, c.args), c.expected) << c.name;
    }
}

struct InvalidCase {
    const char* name;
    std::string fmt;
    std::vector<FormatArg> args;
};

const std::vector<InvalidCase> kInvalidCases = {
    {"no argument at all", "%d", {}},
    {"one argument too few", "%s and %s", {"a"}},
    {"decimal given a string", "%d", {"12"}},
    {"unsigned given a string", "%u", {"12"}},
    {"hexadecimal given a string", "%x", {"12"}},
    {"string given a number", "%s", {5}},
    {"unknown conversion", "%q", {1}},
    {"floating point is not supported", "%f", {1}},
    {"percent at the end", "abc%", {}},
    {"flag without conversion", "%-", {"a"}},
    {"precision without digits", "%.s", {"a"}},
    {"index past the arguments", "%2:s", {"a", "b"}},
    {"huge width", "%99999999999s", {"a"}},
    {"huge precision", "%.99999999d", {1}},
};

TEST(FormatTest, MismatchesRaiseConvertErrorNamingTheFormat) {
    for (const InvalidCase& c : kInvalidCases) {
        try {
            Format(c.fmt, c.args);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Format '" + c.fmt + "' invalid or incompatible with argument")
                << c.name;
        }
    }
}

} // namespace
} // namespace kq
