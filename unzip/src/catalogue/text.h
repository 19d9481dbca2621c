// Small text helpers of the catalogue and the extraction driver: cutting, slashes, owned text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kq {

// The first n characters of s (all of s when it is shorter).
std::string LeftStr(std::string_view s, size_t n);
// The last n characters of s (all of s when it is shorter).
std::string RightStr(std::string_view s, size_t n);
// Archive names use "/", Windows paths "\": converts in place.
void ForwardSlashesToBackslashes(std::string& name);

// Owned text in the records is "none" rather than an empty string.
std::optional<std::string> ToOwnedText(std::string_view s);
std::string FromOwnedText(const std::optional<std::string>& text);

} // namespace kq
