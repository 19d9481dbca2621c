// The link between the translation component and its dispatcher: the component keeps it, and
// the dispatcher learns of it only through its public link methods (TLangDispatcher::Attach and
// Detach).

#include "base/format.h"
#include "lang/lang_dispatcher.h"
#include "lang/translator.h"
#include "platform/files.h"

namespace kq {

bool TCustomTranslator::TestMode() const {
    return dispatcher_ != nullptr && dispatcher_->TestMode();
}

void TCustomTranslator::SetLangDispatcher(TLangDispatcher* dispatcher) {
    Unlink();
    dispatcher_ = dispatcher;
    if (dispatcher == nullptr) {
        return;
    }
    dispatcher->FreeNotification(this);
    if (Loading()) {
        SetNumOfLanguages(dispatcher->NumOfLanguages());
    } else if (Owner() != nullptr && !disabled_) {
        LinkTo(*dispatcher);
    }
}

void TCustomTranslator::Unlink() {
    if (dispatcher_ != nullptr) {
        dispatcher_->Detach(*this);
        dispatcher_->RemoveFreeNotification(this);
        dispatcher_ = nullptr;
    }
}

void TCustomTranslator::LinkTo(TLangDispatcher& dispatcher) {
    dispatcher.Attach(*this);
    SetNumOfLanguages(dispatcher.NumOfLanguages());
    langNames_.Assign(dispatcher.LangNames());
    language_ = dispatcher.Language();
    if (Designing()) {
        SetActiveLanguage(dispatcher.ActiveLanguage());
    } else if (!dispatcher.FileName().empty()) {
        // The file's table is translated into the dispatcher's language by the load itself.
        activeLanguage_ = dispatcher.ActiveLanguage();
        const AnsiString& fileName = dispatcher.FileName();
        if (UpperCase(ExtractFileExt(fileName)) == ".LNB") {
            TBinaryLangFileManager& manager = dispatcher.BinaryFileManager();
            if (FileExists(fileName)) {
                manager.LoadTable(*this, fileName);
            }
        } else if (FileExists(fileName)) {
            LoadFromTranslationFile(fileName);
        }
    } else {
        SetActiveLanguage(dispatcher.ActiveLanguage());
    }
    if (dispatcher.OnLinkToDispatcher) {
        dispatcher.OnLinkToDispatcher(&dispatcher, this);
    }
}

} // namespace kq
