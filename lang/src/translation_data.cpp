// The translation component's stored block, "TranslationData": the table as the window
// description carries it (the format is lang/stored_table.h's).

#include "base/exceptions.h"
#include "lang/stored_table.h"
#include "lang/translator.h"

#include <cstdint>
#include <vector>

namespace kq {

void TCustomTranslator::ReadTranslationData(std::string_view block) {
    const TStoredTable table = ReadStoredTable(block);
    for (int ordinal = 0; ordinal < kStringsTypeCount; ++ordinal) {
        const auto& rows = table.Sections[static_cast<std::size_t>(ordinal)];
        TStringList* list = List(static_cast<TStringsType>(ordinal));
        if (rows && list != nullptr) {
            list->Update([&] {
                list->Clear();
                for (const AnsiString& row : *rows) {
                    list->Add(row);
                }
            });
        }
    }
}

void TCustomTranslator::ReadTranslationData(TStream& stream) {
    const std::int64_t remaining = stream.Size() - stream.Position();
    if (remaining <= 0) {
        ReadTranslationData(std::string_view());
        return;
    }
    if (remaining > INT32_MAX) {
        throw EReadError("Stream read error");
    }
    AnsiString block(static_cast<std::size_t>(remaining), '\0');
    stream.ReadBuffer(block.data(), static_cast<std::int32_t>(remaining));
    ReadTranslationData(block);
}

AnsiString TCustomTranslator::TranslationData() const {
    std::vector<TTableRows> rows(lists_.size());
    std::vector<TStoredSection> sections;
    for (std::size_t ordinal = 0; ordinal < lists_.size(); ++ordinal) {
        const TStringList& list = *lists_[ordinal];
        for (int i = 0; i < list.Count(); ++i) {
            rows[ordinal].push_back(list.Strings(i));
        }
        sections.push_back({static_cast<TStringsType>(ordinal), &rows[ordinal]});
    }
    return WriteStoredTable(sections);
}

void TCustomTranslator::WriteTranslationData(TStream& stream) const {
    const AnsiString block = TranslationData();
    if (block.size() > INT32_MAX) {
        throw EWriteError("Stream write error");
    }
    stream.WriteBuffer(block.data(), static_cast<std::int32_t>(block.size()));
}

bool TCustomTranslator::ShouldWriteTranslationData(const TCustomTranslator* ancestor) const {
    if (ancestor == nullptr) {
        return true;
    }
    if (useInheritedData_) {
        return false;
    }
    for (std::size_t ordinal = 0; ordinal < lists_.size(); ++ordinal) {
        if (lists_[ordinal]->Text() != ancestor->lists_[ordinal]->Text()) {
            return true;
        }
    }
    return false;
}

} // namespace kq
