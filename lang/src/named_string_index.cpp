#include "lang/named_string_index.h"

#include "lang/table.h"
#include "platform/codepage.h"

namespace kq {

void TNamedStringIndex::AddRow(std::string_view row, int numOfLanguages, char delimiter) {
    TNamedStringItem item;
    item.Name = ExtractField(row, 0, delimiter);
    for (int language = 1; language <= numOfLanguages; ++language) {
        item.Values.push_back(ExtractField(row, language, delimiter));
    }
    Add(std::move(item));
}

int TNamedStringIndex::Compare(const TNamedStringItem& a, const TNamedStringItem& b) const {
    return CompareStringIgnoreCase(a.Name, b.Name);
}

// The bounds close in on the name: a probe below the name moves the lower bound up to it, a
// probe above moves the upper bound down to it. Once the probe is the lower bound itself (the
// two bounds are neighbours), only the upper one is left to compare.
const TNamedStringItem* TNamedStringIndex::Find(std::string_view name) const {
    if (Count() == 0) {
        return nullptr;
    }
    const AnsiString wanted(name);
    int lo = 0;
    int hi = Count() - 1;
    for (;;) {
        const int probe = lo + (hi - lo) / 2;
        const int order = CompareStringIgnoreCase(Items(probe).Name, wanted);
        if (order == 0) {
            return &Items(probe);
        }
        if (lo == hi) {
            return nullptr;
        }
        if (order > 0) {
            hi = probe;
        } else if (probe == lo) {
            return CompareStringIgnoreCase(Items(hi).Name, wanted) == 0 ? &Items(hi) : nullptr;
        } else {
            lo = probe;
        }
    }
}

} // namespace kq
