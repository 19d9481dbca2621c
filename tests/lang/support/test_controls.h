#pragma once

// Small components that publish the property names of the window's controls (Caption, Hint,
// Font with Name and Charset, ParentFont, Action, Lines, WordWrap, Text, ImeName, HelpFile...),
// so the translation pass can be tried without the window layer. Every setter counts its calls:
// a pass that writes a property whose text is already right shows up as a write.

#include "base/component.h"
#include "base/string_list.h"
#include "lang/collection.h"

#include <memory>
#include <vector>

namespace kq::test {

class TTestFont : public TPersistent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    const AnsiString& Name() const { return name_; }
    void SetName(const AnsiString& name);
    int Charset() const { return charset_; }
    void SetCharset(int charset);
    void Assign(const TPersistent* source) override;

    TNotifyEvent OnChange;
    int Writes = 0;

private:
    AnsiString name_ = "MS Sans Serif";
    int charset_ = 1;
};

class TTestAction : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    using TComponent::TComponent;
};

// Caption, Hint, HelpKeyword, Font, ParentFont, Action. A change of font makes it the
// control's own (ParentFont off), as a window control's does.
class TTestControl : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TTestControl(TComponent* owner);

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& text) { caption_ = text, ++Writes; }
    const AnsiString& Hint() const { return hint_; }
    void SetHint(const AnsiString& text) { hint_ = text, ++Writes; }
    const AnsiString& HelpKeyword() const { return helpKeyword_; }
    void SetHelpKeyword(const AnsiString& text) { helpKeyword_ = text, ++Writes; }
    TTestFont* Font() { return &font_; }
    void SetFont(const TTestFont* font) { font_.Assign(font), ++Writes; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value) { parentFont_ = value; }
    TTestAction* Action() const { return action_; }
    void SetAction(TTestAction* action) { action_ = action; }

    int Writes = 0;

private:
    AnsiString caption_;
    AnsiString hint_;
    AnsiString helpKeyword_;
    TTestFont font_;
    bool parentFont_ = true;
    TTestAction* action_ = nullptr;
};

// The window's own class: a form (its class derives from "TForm") named "TForm1".
class TTestForm : public TTestControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    using TTestControl::TTestControl;
};

class TForm1 : public TTestForm {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TForm1(TComponent* owner) : TTestForm(owner) { SetParentFont(false); }

    const AnsiString& HelpFile() const { return helpFile_; }
    void SetHelpFile(const AnsiString& file) { helpFile_ = file, ++Writes; }

private:
    AnsiString helpFile_;
};

// Text and ImeName, the edit's properties in OtherStrings.
class TTestEdit : public TTestControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    using TTestControl::TTestControl;

    const AnsiString& Text() const { return text_; }
    void SetText(const AnsiString& text) { text_ = text, ++Writes; }

private:
    AnsiString text_;
};

// Lines and WordWrap. Records whether word wrap was on while the lines changed.
class TTestMemo : public TTestControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TTestMemo(TComponent* owner);

    TStringList* Lines() { return &lines_; }
    void SetLines(const TStrings* lines) { lines_.Assign(lines), ++Writes; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value) { wordWrap_ = value; }

    bool ChangedWhileWrapping = false;
    int LineChanges = 0;

private:
    TStringList lines_;
    bool wordWrap_ = true;
};

// A caption that can be read but not written, and a DisplayLabel.
class TTestField : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    using TComponent::TComponent;

    const AnsiString& DisplayLabel() const { return label_; }
    void SetDisplayLabel(const AnsiString& text) { label_ = text; }
    AnsiString Caption() const { return "fixed"; }

private:
    AnsiString label_;
};

// A grid with a collection of columns: each has a Title, a Font and a list of Notes.
class TTestColumn : public TPersistent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    const AnsiString& Title() const { return title_; }
    void SetTitle(const AnsiString& text) { title_ = text; }
    TTestFont* Font() { return &font_; }
    void SetFont(const TTestFont* font) { font_.Assign(font); }
    TStringList* Notes() { return &notes_; }
    void SetNotes(const TStrings* notes) { notes_.Assign(notes); }

private:
    AnsiString title_;
    TTestFont font_;
    TStringList notes_;
};

class TTestColumns : public TCollection {
public:
    int Count() const override { return static_cast<int>(items_.size()); }
    TPersistent* Items(int index) override;
    TTestColumn& Add() { return *items_.emplace_back(std::make_unique<TTestColumn>()); }

private:
    std::vector<std::unique_ptr<TTestColumn>> items_;
};

class TTestGrid : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    using TComponent::TComponent;

    TCollection* Columns() { return &columns_; }
    TTestColumns& TestColumns() { return columns_; }
    int Width() const { return width_; }
    void SetWidth(int width) { width_ = width; }

private:
    TTestColumns columns_;
    int width_ = 0;
};

} // namespace kq::test
