// The published properties of the translation component and the dispatcher, through which the
// form loader sets their stored values. The table itself travels separately, as the component's
// "TranslationData" block (TCustomTranslator::ReadTranslationData).

#include "base/properties.h"
#include "lang/lang_dispatcher.h"
#include "lang/translator.h"

namespace kq {

namespace {

const TEnumInfo& TranslateTypeInfo() {
    static const TEnumInfo info("TTranslateType", {"ttNoChange", "ttGetDefault"});
    return info;
}

void SetLangDelimValue(TTranslator& translator, int value) {
    if (value < 0 || value > 255) {
        detail::RaiseInvalidPropertyValue();
    }
    translator.SetLangDelim(static_cast<unsigned char>(value));
}

TClassTable<TTranslator> TranslatorTable() {
    TClassTable<TTranslator> table;
    table.Integer("NumOfLanguages", &TTranslator::NumOfLanguages, &TTranslator::SetNumOfLanguages)
        .Integer("ActiveLanguage", &TTranslator::ActiveLanguage, &TTranslator::SetActiveLanguage)
        .StringList(
            "LangNames", [](TTranslator& t) { return t.LangNames(); },
            [](TTranslator& t, TStringList* names) { t.SetLangNames(names); })
        .String("Language", &TTranslator::Language, &TTranslator::SetLanguage)
        .Integer(
            "LangDelim", [](const TTranslator& t) { return static_cast<int>(t.LangDelim()); },
            &SetLangDelimValue)
        .Object("LangDispatcher", &TTranslator::LangDispatcher, &TTranslator::SetLangDispatcher)
        .Enumeration("TranslateType", TranslateTypeInfo(), &TTranslator::TranslateType,
                     &TTranslator::SetTranslateType)
        .Boolean("DoRaiseExceptions", &TTranslator::DoRaiseExceptions,
                 &TTranslator::SetDoRaiseExceptions)
        .String("version", &TTranslator::version, &TTranslator::Setversion)
        .StringList(
            "StringsTypes", [](TTranslator& t) { return t.StringsTypes(); },
            [](TTranslator& t, TStringList* types) { t.StringsTypes()->Assign(types); })
        .Integer("ChangingCursor", &TTranslator::ChangingCursor, &TTranslator::SetChangingCursor)
        .Boolean("ChangeLocales", &TTranslator::ChangeLocales, &TTranslator::SetChangeLocales)
        .Boolean("NeedAllDlgs", &TTranslator::NeedAllDlgs, &TTranslator::SetNeedAllDlgs)
        .Boolean("HandleResourceStrings", &TTranslator::HandleResourceStrings,
                 &TTranslator::SetHandleResourceStrings)
        .Integer("ResourceLanguageIndex", &TTranslator::ResourceLanguageIndex,
                 &TTranslator::SetResourceLanguageIndex)
        .Boolean("UseInheritedData", &TTranslator::UseInheritedData,
                 &TTranslator::SetUseInheritedData)
        .Boolean("IsInheritedOwner", &TTranslator::IsInheritedOwner,
                 &TTranslator::SetIsInheritedOwner)
        .StringList(
            "DoNotTranslate", [](TTranslator& t) { return t.DoNotTranslate(); },
            [](TTranslator& t, TStringList* names) { t.DoNotTranslate()->Assign(names); })
        .StringList(
            "ExcludedProperties", [](TTranslator& t) { return t.ExcludedProperties(); },
            [](TTranslator& t, TStringList* names) { t.ExcludedProperties()->Assign(names); })
        .StringList(
            "SmartExcludeProps", [](TTranslator& t) { return t.SmartExcludeProps(); },
            [](TTranslator& t, TStringList* names) { t.SmartExcludeProps()->Assign(names); })
        .Event("OnChangeLanguage");
    // The sections, each under its type's name without the "st": Captions, Hints, ...
    for (int ordinal = 0; ordinal < kSectionListCount; ++ordinal) {
        const auto type = static_cast<TStringsType>(ordinal);
        table.StringList(
            StringsTypeName(type).substr(2), [type](TTranslator& t) { return t.List(type); },
            [type](TTranslator& t, TStringList* rows) { t.SetList(type, rows); });
    }
    return table;
}

} // namespace

const TClassInfo& TCustomTranslator::StaticClassInfo() {
    static const TClassInfo info("TCustomTranslator", &TComponent::StaticClassInfo());
    return info;
}

const TClassInfo& TTranslator::StaticClassInfo() {
    static const TClassInfo info("TTranslator", &TCustomTranslator::StaticClassInfo(),
                                 TranslatorTable());
    return info;
}

const TClassInfo& TLangDispatcher::StaticClassInfo() {
    static const TClassInfo info(
        "TLangDispatcher", &TComponent::StaticClassInfo(),
        TClassTable<TLangDispatcher>()
            .Integer("ActiveLanguage", &TLangDispatcher::ActiveLanguage,
                     &TLangDispatcher::SetActiveLanguage)
            .Integer("NumOfLanguages", &TLangDispatcher::NumOfLanguages,
                     &TLangDispatcher::SetNumOfLanguages)
            .StringList(
                "LangNames", [](TLangDispatcher& d) { return d.LangNames(); },
                [](TLangDispatcher& d, TStringList* names) { d.SetLangNames(names); })
            .String("Language", &TLangDispatcher::Language, &TLangDispatcher::SetLanguage)
            .String("FileName", &TLangDispatcher::FileName, &TLangDispatcher::SetFileName)
            .Boolean("TestMode", &TLangDispatcher::TestMode, &TLangDispatcher::SetTestMode)
            .Event("OnLinkToDispatcher"));
    return info;
}

} // namespace kq
