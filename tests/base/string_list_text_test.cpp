// Text and CommaText carry whole lists: the translation table is read line by line and a memo's
// lines travel in its cells as comma text. Expected texts are worked out by hand.
#include "base/string_list.h"
#include "test/rows.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using Lines = std::vector<std::string>;

void Fill(TStringList& list, const Lines& lines) {
    list.Clear();
    for (const std::string& s : lines) {
        list.Add(s);
    }
}

// A text and the list it stands for, named for the failure message.
struct TextCase {
    const char* name;
    std::string text;
    Lines lines;
};

// Each case's lines written by get.
void ExpectJoined(const std::function<AnsiString(const TStringList&)>& get,
                  const std::vector<TextCase>& cases) {
    TStringList list;
    for (const TextCase& c : cases) {
        Fill(list, c.lines);
        EXPECT_EQ(get(list), c.text) << c.name;
    }
}

// Each case's text read by set.
void ExpectSplit(const std::function<void(TStringList&, const std::string&)>& set,
                 const std::vector<TextCase>& cases) {
    TStringList list;
    for (const TextCase& c : cases) {
        set(list, c.text);
        EXPECT_EQ(test::Rows(list), c.lines) << c.name;
    }
}

TEST(StringListTextTest, TextEndsEveryLineWithCrLf) {
    ExpectJoined([](const TStringList& list) { return list.Text(); },
                 {
                     {"no strings", "", {}},
                     {"one empty string", "\r\n", {""}},
                     {"two strings", "a\r\nb\r\n", {"a", "b"}},
                     {"empty strings around", "\r\nx\r\n\r\n", {"", "x", ""}},
                 });
}

TEST(StringListTextTest, SetTextSplitsAtCrLfOrEitherAlone) {
    ExpectSplit([](TStringList& list, const std::string& text) { list.SetText(text); },
                {
                    {"empty", "", {}},
                    {"CR LF", "a\r\nb\r\n", {"a", "b"}},
                    {"last line unterminated", "a\r\nb", {"a", "b"}},
                    {"mixed breaks", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
                    {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
                    {"empty lines", "\r\n\r\n", {"", ""}},
                    {"NUL ends the text", std::string("a\r\nb\0c\r\n", 8), {"a", "b"}},
                    {"GBK bytes untouched", "\xC4\xE3\r\n\xBA\xC3", {"\xC4\xE3", "\xBA\xC3"}},
                });
}

TEST(StringListTextTest, CommaTextQuotesOnlyWhatNeedsIt) {
    ExpectJoined([](const TStringList& list) { return list.CommaText(); },
                 {
                     {"no strings", "", {}},
                     {"plain words", "a,b", {"a", "b"}},
                     {"blank", "\"a b\"", {"a b"}},
                     {"comma", "\"a,b\"", {"a,b"}},
                     {"quotes doubled", "\"say \"\"hi\"\"\"", {"say \"hi\""}},
                     {"lone empty string", "\"\"", {""}},
                     {"empty string among others", "a,\"\",b", {"a", "", "b"}},
                     {"tab", "\"x\ty\"", {"x\ty"}},
                     {"line break", "\"x\r\ny\"", {"x\r\ny"}},
                     {"equals sign and other punctuation", "k=v;w", {"k=v;w"}},
                     {"GBK bytes are not special", "\xC4\xE3\xBA\xC3", {"\xC4\xE3\xBA\xC3"}},
                 });
}

TEST(StringListTextTest, SetCommaTextSplitsAtCommasAndBlanks) {
    ExpectSplit([](TStringList& list, const std::string& text) { list.SetCommaText(text); },
                {
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
                });
}

TEST(StringListTextTest, TextReadsBackWhatItWrote) {
    const std::vector<Lines> lists = {{"a"}, {"", "b", ""}, {"x y", "\xC4\xE3"}};
    TStringList list;
    TStringList copy;
    for (const Lines& lines : lists) {
        Fill(list, lines);
        copy.SetText(list.Text());
        EXPECT_EQ(test::Rows(copy), lines) << ::testing::PrintToString(lines);
    }
}

} // namespace
} // namespace kq
