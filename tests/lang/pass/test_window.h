#pragma once

// The window the pass tests translate: a TForm1 named "Form1" holding Label1, Label2, Label3,
// Button1, Edit1, Memo1 (three lines), Field1 and Grid1 (two columns), each control's caption
// its own name as designed, loaded with a table block as the wizard's window is.

#include "delimited.h"
#include "lang_fixture.h"
#include "support/test_controls.h"

#include <string>

namespace kq::test {

class TestWindow {
public:
    explicit TestWindow(std::string_view block, LoadOptions options = {})
        : loaded_(MakeForm(), block, std::move(options)) {}

    TForm1& Form() { return static_cast<TForm1&>(loaded_.Form()); }
    TTranslator& Translator() { return loaded_.Translator(); }
    TLangDispatcher& Dispatcher() { return loaded_.Dispatcher(); }

    template <class T = TTestControl>
    T& Get(std::string_view name) {
        return dynamic_cast<T&>(*Form().FindComponent(name));
    }

    // Calls of every setter of the window, its controls and their fonts.
    int Writes() {
        int writes = Form().Writes + Form().Font()->Writes;
        for (int i = 0; i < Form().ComponentCount(); ++i) {
            if (auto* control = dynamic_cast<TTestControl*>(Form().Components(i))) {
                writes += control->Writes + control->Font()->Writes;
            }
        }
        return writes;
    }

    // Assigns every section its own rows again; each assignment translates that section.
    void ReapplyEverySection() {
        for (int ordinal = 0; ordinal < kSectionListCount; ++ordinal) {
            const auto type = static_cast<TStringsType>(ordinal);
            TStringList rows;
            rows.Assign(Translator().List(type));
            Translator().SetList(type, &rows);
        }
    }

private:
    static std::unique_ptr<TComponent> MakeForm() {
        auto form = std::make_unique<TForm1>(nullptr);
        form->SetName("Form1");
        form->SetCaption("Form1");
        for (const char* name : {"Label1", "Label2", "Label3", "Button1"}) {
            auto* control = new TTestControl(form.get());
            control->SetName(name);
            control->SetCaption(name);
        }
        (new TTestEdit(form.get()))->SetName("Edit1");
        auto* memo = new TTestMemo(form.get());
        memo->SetName("Memo1");
        memo->Lines()->SetCommaText("one,two,three");
        (new TTestField(form.get()))->SetName("Field1");
        auto* grid = new TTestGrid(form.get());
        grid->SetName("Grid1");
        grid->TestColumns().Add().SetTitle("first");
        grid->TestColumns().Add().SetTitle("second");
        return form;
    }

    LoadedForm loaded_;
};

} // namespace kq::test
