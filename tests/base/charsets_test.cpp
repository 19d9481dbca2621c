// The character-set names that the stored window description and the translation table share.
// The numbers are the system's, as its font header defines them.
#include "base/charsets.h"

#include <gtest/gtest.h>
#include <optional>
#include <string_view>

namespace kq {
namespace {

// The window description's names are matched exactly, a component's row in the translation
// table ignoring case; neither knows a name outside the system's list.
TEST(CharsetsTest, NamesGiveTheSystemsNumbersInTheirLetterCase) {
    struct Case {
        std::string_view name;
        std::optional<int> exact;
        std::optional<int> ignoringCase;
    };
    const Case cases[] = {
        {"ANSI_CHARSET", 0, 0},
        {"DEFAULT_CHARSET", 1, 1},
        {"SHIFTJIS_CHARSET", 128, 128},
        {"GB2312_CHARSET", 134, 134},
        {"CHINESEBIG5_CHARSET", 136, 136},
        {"EASTEUROPE_CHARSET", 238, 238},
        {"OEM_CHARSET", 255, 255},
        {"gb2312_charset", std::nullopt, 134},
        {"ChineseBig5_Charset", std::nullopt, 136},
        {"oem_CHARSET", std::nullopt, 255},
        {"", std::nullopt, std::nullopt},
        {"GB2312", std::nullopt, std::nullopt},
        {"GB2312_CHARSE", std::nullopt, std::nullopt},
        {"GB2312_CHARSETS", std::nullopt, std::nullopt},
        {" GB2312_CHARSET", std::nullopt, std::nullopt},
        {std::string_view("GB2312_CHARSET\0", 15), std::nullopt, std::nullopt},
        {"134", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CharsetFromName(c.name), c.exact) << "by default: " << c.name;
        EXPECT_EQ(CharsetFromName(c.name, TNameCase::Exact), c.exact) << c.name;
        EXPECT_EQ(CharsetFromName(c.name, TNameCase::Ignore), c.ignoringCase) << c.name;
    }
}

} // namespace
} // namespace kq
