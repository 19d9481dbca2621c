// Test support: a string list's rows as a vector (for whole-list comparisons), and the message of
// the language error an action raises.
#pragma once

#include "base/string_list.h"
#include "lang/errors.h"

#include <functional>
#include <string>
#include <vector>

namespace kq::test {

inline std::vector<std::string> Rows(const TStrings& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.Count(); ++i) {
        rows.push_back(list.Strings(i));
    }
    return rows;
}

inline std::string LanguageErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ELanguageError& e) {
        return e.Message();
    }
    return "(no ELanguageError)";
}

} // namespace kq::test
