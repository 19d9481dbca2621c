// The stand-in's code page: taken from the locale variables the way Windows programs see it,
// and overridable for tests.

#include "platform/codepage.h"
#include "platform/standin.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace kq {
namespace {

const char* const localeVariables[] = {"LC_ALL", "LC_CTYPE", "LANG", "KQ_ACP"};

// Clears the variables for a test and puts the old values back afterwards.
class LocaleEnvironment : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : localeVariables) {
            const char* value = std::getenv(name);
            saved_.push_back(value == nullptr ? std::nullopt : std::optional<std::string>(value));
            ::unsetenv(name);
        }
        SetAnsiCodePage(0);
    }
    void TearDown() override {
        for (std::size_t i = 0; i < saved_.size(); ++i) {
            if (saved_[i]) {
                ::setenv(localeVariables[i], saved_[i]->c_str(), 1);
            } else {
                ::unsetenv(localeVariables[i]);
            }
        }
        SetAnsiCodePage(0);
    }

private:
    std::vector<std::optional<std::string>> saved_;
};

TEST_F(LocaleEnvironment, CodePageFollowsTheLocale) {
    struct Case {
        const char* name;
        const char* lcAll;
        const char* lcCtype;
        const char* lang;
        std::uint32_t ansi;
        std::uint32_t oem;
    };
    const Case cases[] = {
        {"nothing set", nullptr, nullptr, nullptr, 1252, 437},
        {"simplified Chinese", nullptr, nullptr, "zh_CN.UTF-8", 936, 936},
        {"simplified Chinese, GBK", nullptr, nullptr, "zh_CN.GBK", 936, 936},
        {"traditional Chinese, Taiwan", nullptr, nullptr, "zh_TW.Big5", 950, 950},
        {"traditional Chinese, Hong Kong", nullptr, nullptr, "zh_HK.UTF-8", 950, 950},
        {"Japanese", nullptr, nullptr, "ja_JP.UTF-8", 932, 932},
        {"English", nullptr, nullptr, "en_US.UTF-8", 1252, 437},
        {"German", nullptr, nullptr, "de_DE.UTF-8", 1252, 437},
        {"C locale", nullptr, nullptr, "C", 1252, 437},
        {"LC_ALL beats LANG", "zh_CN.UTF-8", nullptr, "en_US.UTF-8", 936, 936},
        {"LC_ALL beats LC_CTYPE", "en_US.UTF-8", "ja_JP.UTF-8", nullptr, 1252, 437},
        {"LC_CTYPE beats LANG", nullptr, "ja_JP.UTF-8", "zh_TW.UTF-8", 932, 932},
        {"empty LC_ALL counts as unset", "", nullptr, "zh_TW.UTF-8", 950, 950},
    };
    for (const Case& c : cases) {
        const char* values[] = {c.lcAll, c.lcCtype, c.lang};
        for (int i = 0; i < 3; ++i) {
            if (values[i] != nullptr) {
                ::setenv(localeVariables[i], values[i], 1);
            } else {
                ::unsetenv(localeVariables[i]);
            }
        }
        EXPECT_EQ(GetACP(), c.ansi) << c.name;
        EXPECT_EQ(GetOEMCP(), c.oem) << c.name;
    }
}

TEST_F(LocaleEnvironment, OverridesBeatTheLocale) {
    ::setenv("LANG", "zh_CN.UTF-8", 1);
    ::setenv("KQ_ACP", "950", 1);
    EXPECT_EQ(GetACP(), 950u) << "KQ_ACP beats the locale";
    SetAnsiCodePage(1252);
    EXPECT_EQ(GetACP(), 1252u) << "the function beats KQ_ACP";
    SetAnsiCodePage(0);
    EXPECT_EQ(GetACP(), 950u) << "0 returns to KQ_ACP";
    ::setenv("KQ_ACP", "not a number", 1);
    EXPECT_EQ(GetACP(), 936u) << "a malformed KQ_ACP is ignored";
}

TEST_F(LocaleEnvironment, OemCharactersWithoutAnAnsiEquivalentBecomeQuestionMarks) {
    SetAnsiCodePage(1252);
    EXPECT_EQ(OemToAnsi("\xC4\xB3\xDA"), "???") << "box drawing";
    EXPECT_EQ(OemToAnsi("\xE0\xE3\xEC"), "???") << "alpha, pi, infinity";
}

TEST_F(LocaleEnvironment, DoubleByteOemTextIsAlreadyAnsi) {
    for (const std::uint32_t codePage : {936u, 950u, 932u}) {
        SetAnsiCodePage(codePage);
        EXPECT_EQ(OemToAnsi("\xD6\xD0\xCE\xC4.txt"), "\xD6\xD0\xCE\xC4.txt") << codePage;
    }
}

} // namespace
} // namespace kq
