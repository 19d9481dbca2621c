#pragma once

// A form with a translation component and a dispatcher, loaded the way the wizard's window is:
// both are constructed, their stored properties are set, the component's table block is read,
// the reference to the dispatcher is resolved, and then each ends its loading, the component
// first.

#include "base/component.h"
#include "base/string_list.h"
#include "lang/lang_dispatcher.h"
#include "lang/translator.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

namespace kq::test {

// A row from its name and cells, each cell followed by the delimiter 0x01.
inline std::string Row(std::string_view name, std::initializer_list<std::string_view> cells) {
    std::string row(name);
    for (std::string_view cell : cells) {
        row += '\x01';
        row += cell;
    }
    return row + '\x01';
}

inline std::unique_ptr<TStringList> Names(std::initializer_list<const char*> names) {
    auto list = std::make_unique<TStringList>();
    for (const char* name : names) {
        list->Add(name);
    }
    return list;
}

struct LoadOptions {
    std::string FileName;                         // the dispatcher's
    std::function<void(TTranslator&)> BeforeRead; // more stored properties of the component
};

class LoadedForm {
public:
    explicit LoadedForm(std::string_view block, LoadOptions options = {})
        : LoadedForm(std::make_unique<TComponent>(nullptr), block, std::move(options)) {}

    // On a form of another class, with its components already made.
    LoadedForm(std::unique_ptr<TComponent> form, std::string_view block, LoadOptions options = {})
        : form_(std::move(form)) {
        translator_ = new TTranslator(form_.get());
        translator_->SetName("Translator1");
        dispatcher_ = new TLangDispatcher(form_.get());
        dispatcher_->SetName("LangDispatcher1");

        TLoadingGroup loading;
        loading.Add(*translator_);
        loading.Add(*dispatcher_);
        const auto names = Names({"ChineseSimplified", "ChineseTranTraditional", "English"});
        translator_->SetNumOfLanguages(3);
        translator_->SetLangNames(names.get());
        translator_->SetLanguage("ChineseSimplified");
        translator_->SetLangDelim(1);
        if (options.BeforeRead) {
            options.BeforeRead(*translator_);
        }
        translator_->ReadTranslationData(block);
        dispatcher_->SetNumOfLanguages(3);
        dispatcher_->SetLangNames(names.get());
        dispatcher_->SetLanguage("ChineseSimplified");
        dispatcher_->SetFileName(options.FileName);
        translator_->SetLangDispatcher(dispatcher_);
        loading.EndLoading();
    }

    TComponent& Form() { return *form_; }
    TTranslator& Translator() { return *translator_; }
    TLangDispatcher& Dispatcher() { return *dispatcher_; }

private:
    std::unique_ptr<TComponent> form_;
    TTranslator* translator_ = nullptr;
    TLangDispatcher* dispatcher_ = nullptr;
};

} // namespace kq::test
