// Rows the owner asked never to translate are dropped once, at the end of loading, after the
// link: whole sections for excluded Caption, Hint, DisplayLabel, Font and Charset properties, and
// the rows of "Component.Property" sections whose property is excluded, whose component and
// property are excluded together, or whose property is the component's Name.

#include "lang/translator.h"

namespace kq {

void TCustomTranslator::DropExcludedRows() {
    const auto excluded = [this](std::string_view property) {
        return excludedProperties_.IndexOf(property) >= 0;
    };
    if (excluded("Caption")) {
        Captions()->Clear();
    }
    if (excluded("Hint")) {
        Hints()->Clear();
    }
    if (excluded("DisplayLabel")) {
        DisplayLabels()->Clear();
    }
    if (excluded("Font")) {
        Fonts()->Clear();
        CharSets()->Clear();
    }
    if (excluded("Charset")) {
        CharSets()->Clear();
    }
    for (TStringsType type : {stMultiLines, stOtherStrings, stCollections}) {
        TStringList& rows = *List(type);
        for (int i = rows.Count() - 1; i >= 0; --i) {
            const AnsiString name = ExtractField(rows.Strings(i), 0);
            const std::size_t dot = name.find('.');
            const AnsiString property =
                dot == AnsiString::npos ? AnsiString() : name.substr(dot + 1);
            if (excluded(property) || smartExcludeProps_.IndexOf(name) >= 0 || property == "Name") {
                rows.Delete(i);
            }
        }
    }
}

} // namespace kq
