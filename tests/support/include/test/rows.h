// Test support: a string list's rows as a vector (for whole-list comparisons).
#pragma once

#include "base/string_list.h"

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

} // namespace kq::test
