#pragma once

// Translation files: a form's translation table as an INI text file, which a translation
// component loads in place of the table stored with the form (see TLangDispatcher::FileName),
// and which a translator can write and edit.
//
//   [OPTIONS]
//   DELIMITER=~!@#                        the cell separator of this file (this is the default)
//   Language_Fixed2=1                     language 2 is fixed (kept in FixedLanguages)
//   [Language names - for internal use only!]
//   Language_1=ChineseSimplified          the language names, read up to the first gap
//   [Captions]                            one section per table section, in this order:
//   TForm1.Label4=cell1~!@#cell2~!@#cell3~!@#
//                                         Captions Hints DisplayLabels Fonts Multilines Dialogs
//                                         Strings Other Locales Collections CharSets
//                                         ListView_TreeView_Items
//   [Extended]
//   TForm1.Label1.Width=100~!@#120~!@#    an extended translation and its property kind
//   TForm1.Label1.Width_TypeKind=tkInteger
//
// A key is the form's class name or the form's Name, ".", and the row name; in Collections the
// row name's first "[" is written "-" and its first "]" "+". Keys of other forms are ignored,
// so one file can serve several forms. A value is the row's cells joined by the separator; a
// separator at the end stands for the row's closing delimiter. A value without any separator
// fills cells 1 and 2. Inside a cell, byte 0x19 stands for CR and 0x1A for LF.

#include "base/strings.h"
#include "lang/table.h"

#include <string_view>

namespace kq {

class TCustomTranslator;

constexpr std::string_view kDefaultFileSeparator = "~!@#";

// The file's name for the section: "Captions", "Multilines", "Dialogs", "Other", ...
std::string_view TranslationFileSection(TStringsType type);

struct TTranslationFileOptions {
    AnsiString FormClassName;                    // the prefix of every key
    AnsiString Separator{kDefaultFileSeparator}; // between the cells of a value
    bool WriteLanguageNames = true;              // the component's LangNames
};

// The component's table (and its extended translations) as a translation file from which the
// component reads back the same rows; each section's rows come back in the order of their keys,
// the form's own row first. ELanguageError when a row cannot be written so that it reads back
// unchanged: "Row "<name>" of <section> cannot be written to a translation file: <why>".
AnsiString WriteTranslationFile(const TCustomTranslator& translator,
                                const TTranslationFileOptions& options);

} // namespace kq
