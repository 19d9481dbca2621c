// Lists of strings: TStrings, the interface every list of lines offers (a memo's lines, the
// sections of the translation table, the extractor's file patterns), and TStringList, the list
// that keeps its strings in memory, optionally sorted.
//
// Two text forms carry a whole list:
//
//   Text       every string followed by CR LF. Read back, CR, LF and CR LF each end a line, a
//              last line without a line break counts, and a NUL byte ends the text.
//   CommaText  the strings separated by commas. A string that is empty or holds a blank, a
//              comma, a double quote or any byte below the blank is written in double quotes,
//              with its inner quotes doubled. Read back, strings are separated by a comma, by
//              blanks and control bytes, or both; quoted strings may hold all of these.
//
// "name=value" strings make a list a small dictionary (Names, Values). Names and searches compare
// through CompareStrings, case-insensitively on ASCII letters unless a subclass decides otherwise.
#pragma once

#include "base/persistent.h"
#include "base/scope_exit.h"
#include "base/strings.h"

#include <string_view>
#include <vector>

namespace kq {

class TStrings : public TPersistent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    int Count() const { return GetCount(); }
    AnsiString Strings(int index) const { return Get(index); }
    virtual void Put(int index, const AnsiString& s);
    TObject* Objects(int index) const { return GetObject(index); }
    virtual void PutObject(int index, TObject* object);

    // Adds s at the end (a sorted list: at its place) and returns its index.
    virtual int Add(const AnsiString& s);
    virtual int AddObject(const AnsiString& s, TObject* object);
    virtual void Insert(int index, const AnsiString& s) = 0;
    virtual void InsertObject(int index, const AnsiString& s, TObject* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    // Moves the string at curIndex to newIndex; both must be valid indexes.
    virtual void Move(int curIndex, int newIndex);
    virtual void Exchange(int index1, int index2);

    // Index of the first string equal to s, -1 when there is none.
    virtual int IndexOf(std::string_view s) const;
    // Index of the first "name=..." string with that name, -1 when there is none.
    int IndexOfName(std::string_view name) const;
    // The text before the first "=", "" when the string has none.
    AnsiString Names(int index) const;
    // The text after the first "=" of the string at index.
    AnsiString ValueFromIndex(int index) const;
    // The value of the first string with that name, "" when there is none.
    AnsiString Values(std::string_view name) const;
    // Replaces the first string with that name by "name=value", or adds one; an empty value
    // deletes the string.
    virtual void SetValue(std::string_view name, std::string_view value);

    AnsiString Text() const;
    void SetText(std::string_view text);
    AnsiString CommaText() const;
    void SetCommaText(std::string_view text);

    // From another TStrings: the same strings and objects (a sorted list sorts them).
    void Assign(const TPersistent* source) override;
    void AddStrings(const TStrings& strings);

    // Between the outermost BeginUpdate and its EndUpdate a list reports one change instead of
    // one per string.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }

    // Runs change between BeginUpdate and EndUpdate, ending the update also when it throws.
    template <class F>
    void Update(F change) {
        BeginUpdate();
        ScopeExit endUpdate([this] { EndUpdate(); });
        change();
    }

protected:
    virtual AnsiString Get(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int /*index*/) const { return nullptr; }
    // Called with true at the outermost BeginUpdate and false at its EndUpdate.
    virtual void SetUpdateState(bool /*updating*/) {}
    // Negative, zero or positive as a sorts before, equal to or after b.
    virtual int CompareStrings(std::string_view a, std::string_view b) const;

    // EListError "List index out of bounds (<index>)".
    [[noreturn]] static void IndexError(int index);

private:
    int updateCount_ = 0;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TStringList() = default;
    TStringList(const TStringList&) = delete;
    TStringList& operator=(const TStringList&) = delete;

    void Put(int index, const AnsiString& s) override;
    void PutObject(int index, TObject* object) override;
    int Add(const AnsiString& s) override;
    int AddObject(const AnsiString& s, TObject* object) override;
    void Insert(int index, const AnsiString& s) override;
    void InsertObject(int index, const AnsiString& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    void Move(int curIndex, int newIndex) override;
    void Exchange(int index1, int index2) override;
    int IndexOf(std::string_view s) const override;
    void SetValue(std::string_view name, std::string_view value) override;

    // Binary search of a sorted list: true when s is present, with index its position (under
    // dupAccept the first of the equal strings); false with index where s would be inserted.
    bool Find(std::string_view s, int& index) const;
    void Sort();

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    // What Add does in a sorted list with a string that is already there.
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive);

    TNotifyEvent OnChange;   // after the list changed
    TNotifyEvent OnChanging; // before the list changes

protected:
    AnsiString Get(int index) const override;
    int GetCount() const override { return static_cast<int>(items_.size()); }
    TObject* GetObject(int index) const override;
    void SetUpdateState(bool updating) override;
    int CompareStrings(std::string_view a, std::string_view b) const override;

    void Changing();
    void Changed();

private:
    struct Item {
        AnsiString text;
        TObject* object = nullptr;
    };

    void CheckIndex(int index) const;
    void CheckNotSorted() const;
    int AddItem(const AnsiString& s, TObject* object);
    void InsertItem(int index, const AnsiString& s, TObject* object);
    void SortItems();

    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = TDuplicates::dupIgnore;
};

} // namespace kq
