// Wildcard matching of archive paths against the patterns of FilesList.
//
// Pattern syntax: "?" matches one character, "*" any run (the empty one included), "<...>" one
// character of a set of single characters and "first-last" ranges (by byte value), negated by a
// leading "!" or "^". A star directly followed by a set matches a run of characters that all
// belong to the set (or, negated, all lie outside it). Every other character matches itself.
// Only the letters A-Z are folded to lower case, so case is ignored for those alone. A malformed
// set (empty, unterminated, or a range without its last character) makes the pattern match
// nothing.
#pragma once

#include <string_view>

namespace kq {

// True when the whole of path is matched by the whole of pattern.
bool IsWildcardMatch(std::string_view pattern, std::string_view path);

} // namespace kq
