#pragma once

// The character sets a translation table names in its CharSets section ("GB2312_CHARSET"), with
// the system's numbers for them. A font realised with a character set picks the glyphs of that
// script, so a Chinese face name needs GB2312 or Big5 to show Chinese text.

#include <optional>
#include <string_view>

namespace kq {

enum class TNameCase { Exact, Ignore };

// The number of the character set called name, or nothing when no character set is called so.
// The form's own row is matched exactly, a component's row ignoring case.
std::optional<int> CharsetFromTableName(std::string_view name, TNameCase nameCase);

} // namespace kq
