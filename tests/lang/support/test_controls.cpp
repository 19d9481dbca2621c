#include "support/test_controls.h"

#include "base/exceptions.h"
#include "base/properties.h"

namespace kq::test {

const TClassInfo& TTestFont::StaticClassInfo() {
    static const TClassInfo info(
        "TTestFont", &TPersistent::StaticClassInfo(),
        TClassTable<TTestFont>()
            .String("Name", &TTestFont::Name, &TTestFont::SetName)
            .Integer("Charset", &TTestFont::Charset, &TTestFont::SetCharset));
    return info;
}

void TTestFont::SetName(const AnsiString& name) {
    name_ = name;
    ++Writes;
    if (OnChange) {
        OnChange(this);
    }
}

void TTestFont::SetCharset(int charset) {
    charset_ = charset;
    ++Writes;
    if (OnChange) {
        OnChange(this);
    }
}

void TTestFont::Assign(const TPersistent* source) {
    const auto* font = dynamic_cast<const TTestFont*>(source);
    if (font == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (font != this && (font->name_ != name_ || font->charset_ != charset_)) {
        name_ = font->name_;
        charset_ = font->charset_;
        if (OnChange) {
            OnChange(this);
        }
    }
}

const TClassInfo& TTestAction::StaticClassInfo() {
    static const TClassInfo info("TTestAction", &TComponent::StaticClassInfo());
    return info;
}

TTestControl::TTestControl(TComponent* owner) : TComponent(owner) {
    font_.OnChange = [this](TObject*) { parentFont_ = false; };
}

const TClassInfo& TTestControl::StaticClassInfo() {
    using C = TTestControl;
    static const TClassInfo info("TTestControl", &TComponent::StaticClassInfo(),
                                 TClassTable<C>()
                                     .String("Caption", &C::Caption, &C::SetCaption)
                                     .String("Hint", &C::Hint, &C::SetHint)
                                     .String("HelpKeyword", &C::HelpKeyword, &C::SetHelpKeyword)
                                     .Font("Font", &C::Font, &C::SetFont)
                                     .Boolean("ParentFont", &C::ParentFont, &C::SetParentFont)
                                     .Object("Action", &C::Action, &C::SetAction));
    return info;
}

const TClassInfo& TTestForm::StaticClassInfo() {
    static const TClassInfo info("TForm", &TTestControl::StaticClassInfo());
    return info;
}

const TClassInfo& TForm1::StaticClassInfo() {
    static const TClassInfo info(
        "TForm1", &TTestForm::StaticClassInfo(),
        TClassTable<TForm1>().String("HelpFile", &TForm1::HelpFile, &TForm1::SetHelpFile));
    return info;
}

const TClassInfo& TTestEdit::StaticClassInfo() {
    static const TClassInfo info(
        "TTestEdit", &TTestControl::StaticClassInfo(),
        TClassTable<TTestEdit>().String("Text", &TTestEdit::Text, &TTestEdit::SetText));
    return info;
}

TTestMemo::TTestMemo(TComponent* owner) : TTestControl(owner) {
    lines_.OnChange = [this](TObject*) {
        ++LineChanges;
        ChangedWhileWrapping = ChangedWhileWrapping || wordWrap_;
    };
}

const TClassInfo& TTestMemo::StaticClassInfo() {
    using M = TTestMemo;
    static const TClassInfo info("TTestMemo", &TTestControl::StaticClassInfo(),
                                 TClassTable<M>()
                                     .StringList("Lines", &M::Lines, &M::SetLines)
                                     .Boolean("WordWrap", &M::WordWrap, &M::SetWordWrap));
    return info;
}

const TClassInfo& TTestField::StaticClassInfo() {
    using F = TTestField;
    static const TClassInfo info("TTestField", &TComponent::StaticClassInfo(),
                                 TClassTable<F>()
                                     .String("DisplayLabel", &F::DisplayLabel, &F::SetDisplayLabel)
                                     .String("Caption", &F::Caption, nullptr));
    return info;
}

const TClassInfo& TTestColumn::StaticClassInfo() {
    using C = TTestColumn;
    static const TClassInfo info("TTestColumn", &TPersistent::StaticClassInfo(),
                                 TClassTable<C>()
                                     .String("Title", &C::Title, &C::SetTitle)
                                     .Font("Font", &C::Font, &C::SetFont)
                                     .StringList("Notes", &C::Notes, &C::SetNotes));
    return info;
}

TPersistent* TTestColumns::Items(int index) {
    if (index < 0 || index >= Count()) {
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    }
    return items_[static_cast<std::size_t>(index)].get();
}

const TClassInfo& TTestGrid::StaticClassInfo() {
    using G = TTestGrid;
    static const TClassInfo info("TTestGrid", &TComponent::StaticClassInfo(),
                                 TClassTable<G>()
                                     .Object("Columns", &G::Columns, nullptr)
                                     .Integer("Width", &G::Width, &G::SetWidth));
    return info;
}

} // namespace kq::test
