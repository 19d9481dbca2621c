// The pattern is compiled into a list of tokens and run as a small automaton over the path: the
// set of token positions reachable after each character is kept, so a pattern with many stars
// costs pattern length x path length steps, never an exponential search.
#include "extraction/wildcard.h"

#include <bitset>
#include <optional>
#include <vector>

namespace kq {
namespace {

using CharSet = std::bitset<256>;

struct Token {
    enum Kind { Literal, AnyChar, OneOf, Star, StarOf };
    Kind kind;
    unsigned char ch = 0;
    CharSet set;
};

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Parses the set that starts after the "<" at pattern[pos]; on success pos ends after the ">".
std::optional<CharSet> ParseSet(std::string_view pattern, size_t& pos) {
    CharSet set;
    bool negated = false;
    if (pos < pattern.size() && (pattern[pos] == '!' || pattern[pos] == '^')) {
        negated = true;
        ++pos;
    }
    bool empty = true;
    while (true) {
        if (pos >= pattern.size()) {
            return std::nullopt; // unterminated
        }
        unsigned char first = FoldAscii(static_cast<unsigned char>(pattern[pos]));
        if (first == '>') {
            break;
        }
        empty = false;
        if (pos + 1 < pattern.size() && pattern[pos + 1] == '-') {
            if (pos + 2 >= pattern.size() || pattern[pos + 2] == '>') {
                return std::nullopt; // a range without its last character
            }
            unsigned char last = FoldAscii(static_cast<unsigned char>(pattern[pos + 2]));
            for (unsigned c = first; c <= last; ++c) {
                set.set(c);
            }
            pos += 3;
        } else {
            set.set(first);
            ++pos;
        }
    }
    ++pos; // the ">"
    if (empty) {
        return std::nullopt;
    }
    if (negated) {
        set.flip();
    }
    return set;
}

std::optional<std::vector<Token>> Compile(std::string_view pattern) {
    std::vector<Token> tokens;
    size_t pos = 0;
    while (pos < pattern.size()) {
        unsigned char c = FoldAscii(static_cast<unsigned char>(pattern[pos++]));
        if (c == '?') {
            tokens.push_back({Token::AnyChar, 0, {}});
        } else if (c == '*') {
            if (pos < pattern.size() && pattern[pos] == '<') {
                ++pos;
                auto set = ParseSet(pattern, pos);
                if (!set) {
                    return std::nullopt;
                }
                tokens.push_back({Token::StarOf, 0, *set});
            } else {
                tokens.push_back({Token::Star, 0, {}});
            }
        } else if (c == '<') {
            auto set = ParseSet(pattern, pos);
            if (!set) {
                return std::nullopt;
            }
            tokens.push_back({Token::OneOf, 0, *set});
        } else {
            tokens.push_back({Token::Literal, c, {}});
        }
    }
    return tokens;
}

// A star may match the empty run, so reaching a star also reaches the token after it.
void AddWithClosure(const std::vector<Token>& tokens, std::vector<bool>& active, size_t state) {
    while (!active[state]) {
        active[state] = true;
        if (state == tokens.size()) {
            return;
        }
        Token::Kind kind = tokens[state].kind;
        if (kind != Token::Star && kind != Token::StarOf) {
            return;
        }
        ++state;
    }
}

} // namespace

bool IsWildcardMatch(std::string_view pattern, std::string_view path) {
    auto tokens = Compile(pattern);
    if (!tokens) {
        return false;
    }
    std::vector<bool> active(tokens->size() + 1, false);
    std::vector<bool> next(tokens->size() + 1, false);
    AddWithClosure(*tokens, active, 0);
    for (char raw : path) {
        unsigned char c = FoldAscii(static_cast<unsigned char>(raw));
        std::fill(next.begin(), next.end(), false);
        bool any = false;
        for (size_t state = 0; state < tokens->size(); ++state) {
            if (!active[state]) {
                continue;
            }
            const Token& token = (*tokens)[state];
            bool advances = false;
            bool stays = false;
            switch (token.kind) {
            case Token::Literal:
                advances = token.ch == c;
                break;
            case Token::AnyChar:
                advances = true;
                break;
            case Token::OneOf:
                advances = token.set.test(c);
                break;
            case Token::Star:
                stays = true;
                break;
            case Token::StarOf:
                stays = token.set.test(c);
                break;
            }
            if (advances) {
                AddWithClosure(*tokens, next, state + 1);
            }
            if (stays) {
                AddWithClosure(*tokens, next, state);
            }
            any = any || advances || stays;
        }
        if (!any) {
            return false;
        }
        active.swap(next);
    }
    return active[tokens->size()];
}

} // namespace kq
