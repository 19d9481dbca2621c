#pragma once

// The sorted index of the Strings section, through which LookupString finds a named string
// without scanning the rows' text.
//
// One item per row of Strings: the row name and exactly NumOfLanguages values (cells 1..N,
// missing cells empty). Items are sorted by name with the system's case-insensitive comparison,
// by a quicksort that is not stable, so of several rows with the same name any one may answer.

#include "base/strings.h"

#include <string_view>
#include <utility>
#include <vector>

namespace kq {

// A collection that sorts its items with a quicksort by its own comparison.
template <class Item>
class TSortCollection {
public:
    virtual ~TSortCollection() = default;

    int Count() const { return static_cast<int>(items_.size()); }
    const Item& Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    void Clear() { items_.clear(); }
    void Add(Item item) { items_.push_back(std::move(item)); }

    void Sort() {
        if (items_.size() > 1) {
            QuickSort(0, static_cast<int>(items_.size()) - 1);
        }
    }

protected:
    // Negative, zero or positive as a sorts before, with or after b.
    virtual int Compare(const Item& a, const Item& b) const = 0;

private:
    // Partition around the middle item; then recurse into the smaller part and loop on the
    // larger one, so that the depth stays logarithmic whatever the order of the items.
    void QuickSort(int lo, int hi) {
        while (lo < hi) {
            const Item pivot = items_[static_cast<std::size_t>(lo + (hi - lo) / 2)];
            int i = lo;
            int j = hi;
            while (i <= j) {
                // The bounds checks matter only if the comparison were inconsistent.
                while (i < hi && Compare(items_[static_cast<std::size_t>(i)], pivot) < 0) {
                    ++i;
                }
                while (j > lo && Compare(items_[static_cast<std::size_t>(j)], pivot) > 0) {
                    --j;
                }
                if (i <= j) {
                    std::swap(items_[static_cast<std::size_t>(i)],
                              items_[static_cast<std::size_t>(j)]);
                    ++i;
                    --j;
                }
            }
            if (j - lo < hi - i) {
                QuickSort(lo, j);
                lo = i;
            } else {
                QuickSort(i, hi);
                hi = j;
            }
        }
    }

    std::vector<Item> items_;
};

struct TNamedStringItem {
    AnsiString Name;
    std::vector<AnsiString> Values; // value i - 1 is language i
};

class TNamedStringIndex : public TSortCollection<TNamedStringItem> {
public:
    // Adds the item of one Strings row (not sorted yet).
    void AddRow(std::string_view row, int numOfLanguages, char delimiter);

    // The item of that name, by binary search, or nullptr. Call Sort() first.
    const TNamedStringItem* Find(std::string_view name) const;

protected:
    int Compare(const TNamedStringItem& a, const TNamedStringItem& b) const override;
};

} // namespace kq
