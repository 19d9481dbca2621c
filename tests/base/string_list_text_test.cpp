// Text and CommaText carry whole lists: the translation table is read line by line and a memo's
// lines travel in its cells as comma text. Expected texts are worked out by hand.
#include "base/string_list.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using Lines = std::vector<std::string>;

void Fill(TStringList& list, const Lines& lines) {
    list.Clear();
    for (const std::string& s : lines)
        list.Add(s);
}

Lines Contents(const TStrings& list) {
    Lines lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list.Strings(i));
    return lines;
}

TEST(StringListTextTest, TextEndsEveryLineWithCrLf) {
    struct Case {
        Lines lines;
        std::string text;
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{""}, "\r\n"},
        {{"a", "b"}, "a\r\nb\r\n"},
        {{"", "x", ""}, "\r\nx\r\n\r\n"},
    };
    TStringList list;
    for (const Case& c : cases) {
        Fill(list, c.lines);
        EXPECT_EQ(list.Text(), c.text) << ::testing::PrintToString(c.lines);
    }
}

TEST(StringListTextTest, SetTextSplitsAtCrLfOrEitherAlone) {
    struct Case {
        const char* name;
        std::string text;
        Lines lines;
    };
    const std::vector<Case> cases = {
        {"empty", "", {}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"last line unterminated", "a\r\nb", {"a", "b"}},
        {"mixed breaks", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"empty lines", "\r\n\r\n", {"", ""}},
        {"NUL ends the text", std::string("a\r\nb\0c\r\n", 8), {"a", "b"}},
        {"GBK bytes untouched", "\xC4\xE3\r\n\xBA\xC3", {"\xC4\xE3", "\xBA\xC3"}},
    };
    TStringList list;
    for (const Case& c : cases) {
        list.SetText(c.text);
        EXPECT_EQ(Contents(list), c.lines) << c.name;
    }
}

TEST(StringListTextTest, CommaTextQuotesOnlyWhatNeedsIt) {
    struct Case {
        const char* name;
        Lines lines;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"no strings", {}, ""},
        {"plain words", {"a", "b"}, "a,b"},
        {"blank", {"a b"}, "\"a b\""},
        {"comma", {"a,b"}, "\"a,b\""},
        {"quotes doubled", {"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {"lone empty string", {""}, "\"\""},
        {"empty string among others", {"a", "", "b"}, "a,\"\",b"},
        {"tab", {"x\ty"}, "\"x\ty\""},
        {"line break", {"x\r\ny"}, "\"x\r\ny\""},
        {"equals sign and other punctuation", {"k=v;w"}, "k=v;w"},
        {"GBK bytes are not special", {"\xC4\xE3\xBA\xC3"}, "\xC4\xE3\xBA\xC3"},
    };
    TStringList list;
    for (const Case& c : cases) {
        Fill(list, c.lines);
        EXPECT_EQ(list.CommaText(), c.text) << c.name;
    }
}

TEST(StringListTextTest, SetCommaTextSplitsAtCommasAndBlanks) {
    struct Case {
        const char* name;
        std::string text;
        Lines lines;
    };
    const std::vector<Case> cases = {
        {"empty", "", {}},
        {"only blanks", "  \t ", {}},
        {"commas with blanks around", " a , b ,c ", {"a", "b", "c"}},
        {"blanks alone separate", "a b\tc", {"a", "b", "c"}},
        {"quoted blank", "\"a b\",c", {"a b", "c"}},
        {"doubled quote", "\"x\"\"y\"", {"x\"y"}},
        {"empty between commas", "a,,b", {"a", "", "b"}},
        {"trailing comma", "a,", {"a", ""}},
        {"leading comma", ",a", {"", "a"}},
        {"quoted empty", "\"\"", {""}},
        {"text right after a closing quote", "\"ab\"cd", {"ab", "cd"}},
        {"unclosed quote runs to the end", "\"open end", {"open end"}},
        {"NUL ends the text", std::string("a,b\0,c", 6), {"a", "b"}},
    };
    TStringList list;
    for (const Case& c : cases) {
        list.SetCommaText(c.text);
        EXPECT_EQ(Contents(list), c.lines) << c.name;
    }
}

TEST(StringListTextTest, TextReadsBackWhatItWrote) {
    const std::vector<Lines> lists = {{"a"}, {"", "b", ""}, {"x y", "\xC4\xE3"}};
    TStringList list;
    TStringList copy;
    for (const Lines& lines : lists) {
        Fill(list, lines);
        copy.SetText(list.Text());
        EXPECT_EQ(Contents(copy), lines) << ::testing::PrintToString(lines);
    }
}

} // namespace
} // namespace kq
