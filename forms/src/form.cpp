#include "forms/form.h"

#include "base/format.h"
#include "base/properties.h"
#include "forms/button.h"
#include "forms/focus.h"

#include <algorithm>
#include <utility>

namespace kq {

namespace {

const TEnumInfo& BorderInfo() {
    static const TEnumInfo info("TWindowBorder", {"None", "Single", "Sizable", "Dialog",
                                                  "ToolWindow", "SizableToolWindow"});
    return info;
}

constexpr std::pair<TCaptionButton, const char*> captionButtonNames[] = {
    {TCaptionButton::SystemMenu, "SystemMenu"},
    {TCaptionButton::Minimize, "Minimize"},
    {TCaptionButton::Maximize, "Maximize"},
    {TCaptionButton::Help, "Help"},
};

} // namespace

AnsiString CaptionButtonsToText(TCaptionButtons buttons) {
    AnsiString text = "[";
    for (const auto& [button, name] : captionButtonNames) {
        if (!buttons.Contains(button)) {
            continue;
        }
        if (text.size() > 1) {
            text += ", ";
        }
        text += name;
    }
    return text + "]";
}

TCaptionButtons CaptionButtonsFromText(std::string_view text) {
    const auto invalid = [text] {
        throw EPropertyError("Invalid caption buttons: " + AnsiString(text));
    };
    const AnsiString trimmed = Trim(text);
    if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') {
        invalid();
    }
    TCaptionButtons buttons;
    std::string_view rest = std::string_view(trimmed).substr(1, trimmed.size() - 2);
    while (!Trim(rest).empty()) {
        const std::size_t comma = rest.find(',');
        const AnsiString word = Trim(rest.substr(0, comma));
        bool known = false;
        for (const auto& [button, name] : captionButtonNames) {
            if (SameText(word, name)) {
                buttons.Include(button);
                known = true;
            }
        }
        if (!known) {
            invalid();
        }
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return buttons;
}

const TClassInfo& TForm::StaticClassInfo() {
    static const TClassInfo info(
        "TForm", &TWinControl::StaticClassInfo(),
        TClassTable<TForm>()
            .String("Caption", &TForm::Caption, &TForm::SetCaption)
            .Integer("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
            .Integer("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
            .Enumeration("Border", BorderInfo(), &TForm::Border, &TForm::SetBorder)
            .String(
                "CaptionButtons",
                [](const TForm& f) { return CaptionButtonsToText(f.CaptionButtons()); },
                [](TForm& f, const AnsiString& text) {
                    f.SetCaptionButtons(CaptionButtonsFromText(text));
                })
            .String("HelpFile", &TForm::HelpFile, &TForm::SetHelpFile)
            .Event("OnCreate"));
    return info;
}

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    SetVisible(false);
    InitParentColor(false, colorButtonFace);
    SetParentFont(false);
}

// The windows go first, while the form is still whole.
TForm::~TForm() {
    DestroyPeers();
}

void TForm::SetBorder(TWindowBorder border) {
    if (border == border_) {
        return;
    }
    border_ = border;
    Changed(TControlChange::State);
}

void TForm::SetCaptionButtons(TCaptionButtons buttons) {
    if (buttons == captionButtons_) {
        return;
    }
    captionButtons_ = buttons;
    Changed(TControlChange::State);
}

void TForm::Show() {
    if (Peer() == nullptr) {
        CreatePeers();
    }
    SetVisible(true);
}

void TForm::Hide() {
    SetVisible(false);
}

void TForm::Close() {
    Hide();
}

void TForm::DoCreate() {
    if (OnCreate) {
        OnCreate(this);
    }
}

const TMethodTable& TForm::Methods() const {
    static const TMethodTable none;
    return none;
}

void TForm::BindHandler(TComponent& component, std::string_view event, std::string_view handler) {
    const TEventSlot* slot = FindEventSlot(component.ClassInfo(), event);
    if (slot == nullptr) {
        throw EFilerError(
            Format("Class %s has no event %s", {component.ClassName(), AnsiString(event)}));
    }
    const TMethodTable::Entry* method = Methods().Find(handler);
    if (method == nullptr) {
        throw EFilerError(Format("%s has no handler %s", {ClassName(), AnsiString(handler)}));
    }
    if (method->Type != slot->Type) {
        throw EFilerError(
            Format("Handler %s does not fit event %s", {AnsiString(handler), AnsiString(event)}));
    }
    slot->Assign(component, method->Bind(*this));
    auto bound = std::find_if(bindings_.begin(), bindings_.end(), [&](const Binding& b) {
        return b.Component == &component && SameText(b.Event, event);
    });
    if (bound == bindings_.end()) {
        bindings_.push_back(Binding{&component, AnsiString(event), method->Name});
    } else {
        bound->Handler = method->Name;
    }
}

AnsiString TForm::BoundHandler(const TComponent& component, std::string_view event) const {
    for (const Binding& b : bindings_) {
        if (b.Component == &component && SameText(b.Event, event)) {
            return b.Handler;
        }
    }
    return AnsiString();
}

TButton* TForm::DefaultButton() const {
    return DefaultButtonWithin(*this);
}

void TForm::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove) {
        std::erase_if(bindings_,
                      [component](const Binding& b) { return b.Component == component; });
    }
}

} // namespace kq
