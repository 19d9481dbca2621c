// The system's names of the character sets ("GB2312_CHARSET") with their numbers, as a stored
// window description and a translation table name them. A font realised with a character set
// picks the glyphs of that script, so a Chinese face name needs GB2312 or Big5 to show Chinese
// text.
#pragma once

#include <optional>
#include <string_view>

namespace kq {

enum class TNameCase { Exact, Ignore };

// The number of the character set called name, or nothing when no character set is called so
// (the empty name included). Letter case counts unless nameCase is Ignore.
std::optional<int> CharsetFromName(std::string_view name, TNameCase nameCase = TNameCase::Exact);

} // namespace kq
