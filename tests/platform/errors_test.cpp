// Error texts as a message box would show them.

#include "platform/dll_search.h"
#include "platform/errors.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

TEST(Errors, MessagesAreSingleLinesOfTheirOwn) {
    const std::uint32_t codes[] = {err::FileNotFound, err::PathNotFound, err::AccessDenied,
                                   err::SharingViolation, err::DiskFull};
    std::vector<std::string> texts;
    for (const std::uint32_t code : codes) {
        const std::string text = SysErrorMessage(code);
        ASSERT_FALSE(text.empty()) << code;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << code << ": " << text;
        EXPECT_NE(text.back(), ' ') << code;
        for (const std::string& other : texts) {
            EXPECT_NE(text, other) << code;
        }
        texts.push_back(text);
    }
}

TEST(Errors, UnknownCodesAreNamedByNumber) {
    EXPECT_EQ(SysErrorMessage(0x1234ABCD), "System error 305441741");
}

TEST(DllSearch, HardeningSucceeds) {
    EXPECT_TRUE(HardenDllSearch());
}

} // namespace
} // namespace kq
