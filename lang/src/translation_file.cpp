// Loading the table from a translation file, the text file the dispatcher names.

#include "lang/translator.h"
#include "platform/files.h"

namespace kq {

// The sections are replaced by the file's (the reader of the file's sections lands with the
// translation-file work); then the index is rebuilt and the owner translated, so that the
// language set at the link applies to the new table.
void TCustomTranslator::LoadFromTranslationFile(const AnsiString& fileName) {
    if (!FileExists(fileName)) {
        return;
    }
    BuildNamedStringIndex();
    TranslatePass();
}

} // namespace kq
