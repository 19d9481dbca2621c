#include "base/string_list.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "base/properties.h"

#include <algorithm>

namespace kq {

namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool NeedsQuotes(std::string_view s) {
    if (s.empty()) {
        return true;
    }
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return IsBlankOrControl(c) || c == kComma || c == kQuote; });
}

AnsiString Quoted(std::string_view s) {
    AnsiString result(1, kQuote);
    for (char c : s) {
        result += c;
        if (c == kQuote) {
            result += kQuote;
        }
    }
    result += kQuote;
    return result;
}

// Reads comma text one string at a time. A NUL byte ends the text like its end does.
class CommaTextReader {
public:
    explicit CommaTextReader(std::string_view text) : text_(text) {}

    char At(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }
    bool AtEnd() const { return At(pos_) == '\0'; }

    void SkipBlanks() {
        while (!AtEnd() && IsBlankOrControl(At(pos_))) {
            ++pos_;
        }
    }

    AnsiString ReadItem() { return At(pos_) == kQuote ? ReadQuoted() : ReadPlain(); }

    // Steps over the comma that ends an item, and the blanks after it. Returns true when that
    // comma was the last byte: a trailing comma stands for one more, empty, string.
    bool SkipComma() {
        if (At(pos_) != kComma) {
            return false;
        }
        const bool last = At(pos_ + 1) == '\0';
        ++pos_;
        SkipBlanks();
        return last;
    }

private:
    AnsiString ReadPlain() {
        const std::size_t start = pos_;
        while (!IsBlankOrControl(At(pos_)) && At(pos_) != kComma) {
            ++pos_;
        }
        return AnsiString(text_.substr(start, pos_ - start));
    }

    // A quoted string ends at a quote that is not doubled; one left open runs to the end.
    AnsiString ReadQuoted() {
        AnsiString result;
        ++pos_;
        while (!AtEnd()) {
            const char c = At(pos_++);
            if (c != kQuote) {
                result += c;
            } else if (At(pos_) == kQuote) {
                result += kQuote;
                ++pos_;
            } else {
                break;
            }
        }
        return result;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

// --- TStrings ------------------------------------------------------------------------------------

const TClassInfo& TStrings::StaticClassInfo() {
    static const TClassInfo info("TStrings", &TPersistent::StaticClassInfo());
    return info;
}

void TStrings::IndexError(int index) {
    throw EListError(Format("List index out of bounds (%d)", {index}));
}

void TStrings::Put(int index, const AnsiString& s) {
    TObject* object = GetObject(index);
    Update([&] {
        Delete(index);
        InsertObject(index, s, object);
    });
}

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const AnsiString& s) {
    const int index = GetCount();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const AnsiString& s, TObject* object) {
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const AnsiString& s, TObject* object) {
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::Move(int curIndex, int newIndex) {
    // Both indexes are checked first: once the string is deleted a bad target would lose it.
    if (curIndex < 0 || curIndex >= GetCount()) {
        IndexError(curIndex);
    }
    if (newIndex < 0 || newIndex >= GetCount()) {
        IndexError(newIndex);
    }
    if (curIndex == newIndex) {
        return;
    }
    const AnsiString s = Get(curIndex);
    TObject* object = GetObject(curIndex);
    Update([&] {
        Delete(curIndex);
        InsertObject(newIndex, s, object);
    });
}

void TStrings::Exchange(int index1, int index2) {
    const AnsiString s1 = Get(index1);
    const AnsiString s2 = Get(index2);
    TObject* object1 = GetObject(index1);
    TObject* object2 = GetObject(index2);
    Update([&] {
        Put(index1, s2);
        PutObject(index1, object2);
        Put(index2, s1);
        PutObject(index2, object1);
    });
}

int TStrings::IndexOf(std::string_view s) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (CompareStrings(Get(i), s) == 0) {
            return i;
        }
    }
    return -1;
}

int TStrings::IndexOfName(std::string_view name) const {
    for (int i = 0; i < GetCount(); ++i) {
        const AnsiString s = Get(i);
        const std::size_t eq = s.find('=');
        if (eq != AnsiString::npos &&
            CompareStrings(std::string_view(s).substr(0, eq), name) == 0) {
            return i;
        }
    }
    return -1;
}

AnsiString TStrings::Names(int index) const {
    const AnsiString s = Get(index);
    const std::size_t eq = s.find('=');
    return eq == AnsiString::npos ? AnsiString() : s.substr(0, eq);
}

AnsiString TStrings::ValueFromIndex(int index) const {
    const AnsiString s = Get(index);
    const std::size_t eq = s.find('=');
    return eq == AnsiString::npos ? AnsiString() : s.substr(eq + 1);
}

AnsiString TStrings::Values(std::string_view name) const {
    const int index = IndexOfName(name);
    return index < 0 ? AnsiString() : ValueFromIndex(index);
}

void TStrings::SetValue(std::string_view name, std::string_view value) {
    const int index = IndexOfName(name);
    const AnsiString line = AnsiString(name) + "=" + AnsiString(value);
    if (value.empty()) {
        if (index >= 0) {
            Delete(index);
        }
    } else if (index < 0) {
        Add(line);
    } else {
        Put(index, line);
    }
}

AnsiString TStrings::Text() const {
    AnsiString result;
    for (int i = 0; i < GetCount(); ++i) {
        result += Get(i);
        result += "\r\n";
    }
    return result;
}

void TStrings::SetText(std::string_view text) {
    Update([&] {
        Clear();
        std::size_t i = 0;
        const auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };
        while (at(i) != '\0') {
            const std::size_t start = i;
            while (at(i) != '\0' && at(i) != '\r' && at(i) != '\n') {
                ++i;
            }
            Add(AnsiString(text.substr(start, i - start)));
            if (at(i) == '\r') {
                ++i;
            }
            if (at(i) == '\n') {
                ++i;
            }
        }
    });
}

AnsiString TStrings::CommaText() const {
    AnsiString result;
    for (int i = 0; i < GetCount(); ++i) {
        const AnsiString s = Get(i);
        if (i > 0) {
            result += kComma;
        }
        result += NeedsQuotes(s) ? Quoted(s) : s;
    }
    return result;
}

void TStrings::SetCommaText(std::string_view text) {
    Update([&] {
        Clear();
        CommaTextReader reader(text);
        reader.SkipBlanks();
        while (!reader.AtEnd()) {
            Add(reader.ReadItem());
            reader.SkipBlanks();
            if (reader.SkipComma()) {
                Add(AnsiString());
            }
        }
    });
}

void TStrings::Assign(const TPersistent* source) {
    const auto* strings = dynamic_cast<const TStrings*>(source);
    if (strings == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (strings == this) {
        return; // clearing first would lose the very strings to copy
    }
    Update([&] {
        Clear();
        AddStrings(*strings);
    });
}

void TStrings::AddStrings(const TStrings& strings) {
    if (&strings == this) {
        // Adding to a sorted list moves strings around under the loop: copy them first.
        TStringList copy;
        copy.AddStrings(strings);
        AddStrings(copy);
        return;
    }
    Update([&] {
        for (int i = 0; i < strings.Count(); ++i) {
            AddObject(strings.Strings(i), strings.Objects(i));
        }
    });
}

void TStrings::BeginUpdate() {
    if (updateCount_ == 0) {
        SetUpdateState(true);
    }
    ++updateCount_;
}

void TStrings::EndUpdate() {
    if (updateCount_ == 0) {
        return;
    }
    --updateCount_;
    if (updateCount_ == 0) {
        SetUpdateState(false);
    }
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const {
    return CompareText(a, b);
}

// --- TStringList ---------------------------------------------------------------------------------

const TClassInfo& TStringList::StaticClassInfo() {
    static const TClassInfo info("TStringList", &TStrings::StaticClassInfo());
    return info;
}

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount()) {
        IndexError(index);
    }
}

void TStringList::CheckNotSorted() const {
    if (sorted_) {
        throw EListError("Operation not allowed on sorted list");
    }
}

void TStringList::Changing() {
    if (!Updating() && OnChanging) {
        OnChanging(this);
    }
}

void TStringList::Changed() {
    if (!Updating() && OnChange) {
        OnChange(this);
    }
}

void TStringList::SetUpdateState(bool updating) {
    if (updating) {
        Changing();
    } else {
        Changed();
    }
}

AnsiString TStringList::Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].text;
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::Put(int index, const AnsiString& s) {
    CheckNotSorted();
    CheckIndex(index);
    Changing();
    items_[static_cast<std::size_t>(index)].text = s;
    Changed();
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index);
    Changing();
    items_[static_cast<std::size_t>(index)].object = object;
    Changed();
}

int TStringList::Add(const AnsiString& s) {
    return AddItem(s, nullptr);
}

int TStringList::AddObject(const AnsiString& s, TObject* object) {
    return AddItem(s, object);
}

int TStringList::AddItem(const AnsiString& s, TObject* object) {
    int index = GetCount();
    if (sorted_ && Find(s, index)) {
        switch (duplicates_) {
        case TDuplicates::dupIgnore:
            return index;
        case TDuplicates::dupError:
            throw EListError("String list does not allow duplicates");
        case TDuplicates::dupAccept:
            break;
        }
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::Insert(int index, const AnsiString& s) {
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const AnsiString& s, TObject* object) {
    CheckNotSorted();
    if (index < 0 || index > GetCount()) {
        IndexError(index);
    }
    InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const AnsiString& s, TObject* object) {
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) {
        return;
    }
    Changing();
    items_.clear();
    Changed();
}

// Moving or exchanging strings would break a sorted list's order, which Find relies on.
void TStringList::Move(int curIndex, int newIndex) {
    CheckNotSorted();
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    if (curIndex == newIndex) {
        return;
    }
    Changing();
    Item item = std::move(items_[static_cast<std::size_t>(curIndex)]);
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, std::move(item));
    Changed();
}

void TStringList::Exchange(int index1, int index2) {
    CheckNotSorted();
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
    Changed();
}

// A sorted list refuses Put: the new string is deleted and added again at its place instead.
void TStringList::SetValue(std::string_view name, std::string_view value) {
    const int index = IndexOfName(name);
    if (!sorted_ || value.empty() || index < 0) {
        TStrings::SetValue(name, value);
        return;
    }
    const Item old = items_[static_cast<std::size_t>(index)];
    Update([&] {
        Delete(index);
        try {
            AddItem(AnsiString(name) + "=" + AnsiString(value), old.object);
        } catch (const EListError&) {
            AddItem(old.text, old.object); // dupError: keep the old string rather than lose it
            throw;
        }
    });
}

int TStringList::IndexOf(std::string_view s) const {
    if (!sorted_) {
        return TStrings::IndexOf(s);
    }
    int index = 0;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
    bool found = false;
    int low = 0;
    int high = GetCount() - 1;
    while (low <= high) {
        const int mid = low + (high - low) / 2;
        const int c = CompareStrings(items_[static_cast<std::size_t>(mid)].text, s);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0) {
                found = true;
                // Under dupAccept keep going left to the first of the equal strings.
                if (duplicates_ != TDuplicates::dupAccept) {
                    low = mid;
                }
            }
        }
    }
    index = low;
    return found;
}

void TStringList::Sort() {
    if (sorted_ || items_.size() < 2) {
        return;
    }
    Changing();
    SortItems();
    Changed();
}

// A merge sort: stable, and safe with any CompareStrings a subclass supplies (an inconsistent
// comparison gives a strange order, never an access outside the list).
void TStringList::SortItems() {
    std::vector<Item> buffer(items_.size());
    for (std::size_t width = 1; width < items_.size(); width *= 2) {
        for (std::size_t left = 0; left < items_.size(); left += 2 * width) {
            const std::size_t mid = std::min(left + width, items_.size());
            const std::size_t right = std::min(left + 2 * width, items_.size());
            std::size_t i = left, j = mid, k = left;
            while (i < mid && j < right) {
                if (CompareStrings(items_[j].text, items_[i].text) < 0) {
                    buffer[k++] = std::move(items_[j++]);
                } else {
                    buffer[k++] = std::move(items_[i++]);
                }
            }
            while (i < mid) {
                buffer[k++] = std::move(items_[i++]);
            }
            while (j < right) {
                buffer[k++] = std::move(items_[j++]);
            }
        }
        items_.swap(buffer);
    }
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == sorted_) {
        return;
    }
    if (sorted) {
        Sort();
    }
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
    if (caseSensitive == caseSensitive_) {
        return;
    }
    caseSensitive_ = caseSensitive;
    // The order changes with the comparison; a sorted list must follow it or Find goes wrong.
    if (sorted_ && items_.size() > 1) {
        Changing();
        SortItems();
        Changed();
    }
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    return caseSensitive_ ? CompareStr(a, b) : CompareText(a, b);
}

} // namespace kq
