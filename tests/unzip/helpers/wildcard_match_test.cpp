// Wildcard matching of entry paths: each row is worked out by hand from the pattern rules.
#include "extraction/wildcard.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

struct MatchCase {
    const char* pattern;
    const char* path;
    bool matches;
    const char* guards;
};

const MatchCase kMatchCases[] = {
    // The examples the selection of entries is built on.
    {"*.txt", "docs\\readme.txt", true, "a star runs across backslashes"},
    {"*.txt", "README.TXT", true, "A-Z are folded on both sides"},
    {"<a-c>*.dll", "b1.dll", true, "a range matches one character"},
    {"<a-c>*.dll", "d1.dll", false, "a range excludes what lies outside it"},
    {"*<0-9>", "2024", true, "a star with a set runs over set members only"},
    {"*<0-9>", "a2", false, "the set belongs to the star, not to a character of its own"},
    {"<!a-c>x", "dx", true, "a negated set matches outside its range"},
    {"<!a-c>x", "ax", false, "a negated set refuses its members"},
    {"a*?", "abcd", true, "a star gives back characters to a following ?"},
    {"a*?", "ab", true, "an empty star run"},
    {"a*?", "a", false, "? needs a character even after a star"},

    // Whole-string matching.
    {"*", "", true, "a lone star matches the empty path"},
    {"*", "any\\path.bin", true, "a lone star matches everything"},
    {"abc", "abcd", false, "the pattern must cover the whole path"},
    {"abcd", "abc", false, "the path must cover the whole pattern"},
    {"", "", true, "empty matches empty"},
    {"", "a", false, "empty pattern matches nothing else"},
    {"?", "", false, "? is exactly one character"},
    {"??", "ab", true, "two ? two characters"},

    // Stars: every run length is tried, not only the greedy one.
    {"*a*b", "xaxxab", true, "backtracking over two stars"},
    {"*a*b", "xaxxa", false, "no b at the end"},
    {"a**b", "ab", true, "adjacent stars"},
    {"*x*x*x*x*x*y", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", false,
     "many stars on a long path end quickly"},

    // Sets.
    {"<abc>", "b", true, "single characters"},
    {"<abc>", "d", false, "outside the listed characters"},
    {"<^a-c>", "d", true, "^ negates like !"},
    {"<^a-c>", "b", false, "^ negates like !"},
    {"<a-cx-z>", "y", true, "two ranges"},
    {"<-a>", "-", true, "a leading - is a plain member"},
    {"<A-C>", "b", true, "set bounds are folded"},
    {"<a-c>", "B", true, "path characters are folded before the set test"},
    {"x*<!.>", "xabc", true, "a negated star set runs over non-members"},
    {"x*<!.>", "xab.c", false, "a negated star set stops at a member"},
    {"*<0-9>", "", true, "a star set may run over nothing"},
    {"*<a-z>.txt", "readme.txt", true, "a star set followed by literals"},
    {"*<a-z>.txt", "read-me.txt", false, "a star set refuses a non-member on the way"},

    // Literal characters, including those that only mean something inside a set.
    {"a>b", "a>b", true, "> outside a set is literal"},
    {"a-b", "a-b", true, "- outside a set is literal"},
    {"a!b", "a!b", true, "! outside a set is literal"},

    // Case: only A-Z fold, so bytes of other code pages keep their case.
    {"\xC4.txt", "\xE4.txt", false, "no folding beyond ASCII"},
    {"[a]", "[A]", true, "brackets are literal, letters fold"},

    // Malformed sets make the whole pattern match nothing, even the path it spells.
    {"<>", "", false, "an empty set"},
    {"a<>", "a", false, "an empty set after a matching prefix"},
    {"<!>", "x", false, "a negated empty set"},
    {"<abc", "a", false, "an unterminated set"},
    {"<a->", "a", false, "a range without its last character"},
    {"<a-", "a", false, "a range cut by the end of the pattern"},
    {"*<>", "abc", false, "an empty set owned by a star"},
    {"x<a>y<", "xay", false, "a malformed set later in the pattern"},
};

TEST(WildcardMatch, Table) {
    for (const MatchCase& c : kMatchCases) {
        EXPECT_EQ(IsWildcardMatch(c.pattern, c.path), c.matches)
            << "pattern \"" << c.pattern << "\" path \"" << c.path << "\": " << c.guards;
    }
}

} // namespace
} // namespace kq
