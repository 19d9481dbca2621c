// The languages of the translation component: their count, names and the active one, and when
// a change of language runs the translation pass.

#include "base/format.h"
#include "lang/errors.h"
#include "lang/screen_cursor.h"
#include "lang/translator.h"
#include "property_access.h"
#include "translation_pass.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace kq {

namespace {

[[noreturn]] void RaiseNotALanguageName() {
    throw ELanguageError("Language name shall be included in LangNames property!");
}

} // namespace

void FitLanguageNames(TStrings& names, int count) {
    while (names.Count() < count) {
        names.Add("Language N" + IntToStr(names.Count() + 1));
    }
    while (names.Count() > std::max(count, 0)) {
        names.Delete(names.Count() - 1);
    }
}

void TCustomTranslator::SetNumOfLanguages(int value) {
    if (value == numOfLanguages_) {
        return;
    }
    if (value < 1) {
        throw ELanguageError(IntToStr(value) + " - is not a valid property value !\r" +
                             "Value must be more than ZERO !");
    }
    value = std::min(value, kMaxLanguages);
    if (value == numOfLanguages_) {
        return;
    }
    if (value < numOfLanguages_) {
        for (auto& list : lists_) {
            for (int i = 0; i < list->Count(); ++i) {
                const AnsiString row = list->Strings(i);
                const AnsiString kept = KeepCells(row, value, Delimiter());
                if (kept != row) {
                    list->Put(i, kept);
                }
            }
        }
    }
    numOfLanguages_ = value;
    FitLanguageNames(langNames_, value);
    if (Loading()) {
        return;
    }
    // Look-ups of these three sections search the text and need every cell delimited.
    for (TStringsType type : {stStrings, stDlgsCaptions, stLocales}) {
        TStringList& list = *List(type);
        for (int i = 0; i < list.Count(); ++i) {
            const AnsiString row = list.Strings(i);
            const AnsiString padded = PadDelimiters(row, value + 1, Delimiter());
            if (padded != row) {
                list.Put(i, padded);
            }
        }
    }
    if (!Designing()) {
        BuildNamedStringIndex();
    }
}

void TCustomTranslator::SetActiveLanguage(int value) {
    if (value == activeLanguage_) {
        return;
    }
    if (value < 1 || value > numOfLanguages_) {
        if (Loading()) {
            return;
        }
        throw ELanguageError(Format("%d - is not a valid property value!\rValue must be within "
                                    "[1..%d]!",
                                    {value, numOfLanguages_}));
    }
    sectionSelector_ = -1;
    if (changingCursor_ != -1 && ScreenCursor() == crDefault && !Designing()) {
        TCursorScope cursor(changingCursor_);
        ApplyLanguageChange(value);
    } else {
        ApplyLanguageChange(value);
    }
}

void TCustomTranslator::ApplyLanguageChange(int value) {
    if (passRunning_) {
        pendingLanguage_ = value;
        return;
    }
    activeLanguage_ = value;
    if (!Loading() && value <= langNames_.Count()) {
        language_ = langNames_.Strings(value - 1);
    }
    if (dispatcher_ != nullptr || !Loading()) {
        TranslatePass();
    }
}

void TCustomTranslator::SetLanguage(const AnsiString& name) {
    if (name == language_) {
        return;
    }
    const int position = langNames_.IndexOf(name);
    if (position < 0) {
        RaiseNotALanguageName();
    }
    language_ = name;
    if (!Loading()) {
        SetActiveLanguage(position + 1);
    }
}

void TCustomTranslator::SetLangNames(const TStrings* names) {
    if (names == &langNames_) {
        return;
    }
    langNames_.Assign(names);
    if (activeLanguage_ >= 1 && activeLanguage_ <= langNames_.Count()) {
        language_ = langNames_.Strings(activeLanguage_ - 1);
    }
    numOfLanguages_ = std::max(langNames_.Count(), 1);
}

// A language asked for during a pass gets its own pass when that one ends. One only: a table
// whose every language switches to the next would otherwise pass forever (or, nested, until the
// stack ran out); what the second pass asks for is dropped.
void TCustomTranslator::TranslatePass() {
    if (disabled_ || Owner() == nullptr || passRunning_) {
        return;
    }
    passRunning_ = true;
    pendingLanguage_.reset();
    langpass::AfterwardsAlso(
        [this] {
            TTranslationPass(*this, setAside_).Run(sectionSelector_);
            if (const std::optional<int> next = std::exchange(pendingLanguage_, std::nullopt)) {
                activeLanguage_ = *next;
                if (*next <= langNames_.Count()) {
                    language_ = langNames_.Strings(*next - 1);
                }
                TTranslationPass(*this, setAside_).Run(-1);
            }
        },
        [this] {
            passRunning_ = false;
            pendingLanguage_.reset();
            // A name set during the pass must not contradict the language in force.
            if (activeLanguage_ >= 1 && activeLanguage_ <= langNames_.Count()) {
                language_ = langNames_.Strings(activeLanguage_ - 1);
            }
        });
}

} // namespace kq
