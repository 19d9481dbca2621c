// The catalogue's sorted list of entries and its orders.
#pragma once

#include "unzip/object_list.h"
#include "unzip/zip_records.h"

namespace kq {

// Ordinal values are fixed: they are stored with the component.
enum class TZipSortMode {
    ByName = 0,             // directory + file name, ascending, ignoring case
    ByFileName = 1,         // file name, ascending, ignoring case
    ByDirectoryName = 2,    // directory part, ascending, ignoring case
    ByDate = 3,             // newest first
    ByCompressedSize = 4,   // largest first
    ByUnCompressedSize = 5, // largest first
    ByRate = 6,             // compressed size as a percentage of the original, largest first
    ByNone = 7,             // physical order: start part, then local header offset
};

// A sorted list of TZipHeaderInfo records.
class TSortedZip : public TSortedObjectList {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TSortedZip(TZipSortMode sortMode, TDuplicates duplicates, bool destroyItems)
        : TSortedObjectList(duplicates, destroyItems), sortMode_(sortMode) {}

    TZipSortMode SortMode() const { return sortMode_; }
    TZipHeaderInfo* Entry(int index) const { return static_cast<TZipHeaderInfo*>(Items(index)); }

protected:
    // Dates, sizes and rates put a new item after the items equal to it: they never compare
    // equal, so any number of entries may share them.
    int Compare(const TObject* existing, const TObject* added) const override;

private:
    TZipSortMode sortMode_;
};

} // namespace kq
