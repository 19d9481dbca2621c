// TForm: a top-level window, and the parent of the controls on it.
//
// The form keeps its own state (caption, position on the screen, client size, border, caption
// buttons, colour, font, visibility). Its bounds are its client area: Width and Height are the
// client size, Left and Top the screen position of the window's outer corner; the frame around
// the client area is the system's. A platform peer mirrors the state into a native window, which
// on Windows exists while the form is shown and on the native stand-in never exists at all.
//
// Handlers: a form class publishes its handler methods in a TMethodTable (Methods), and the form
// loader binds them to components' events by name (BindHandler), which the form remembers.
#pragma once

#include "base/component.h"
#include "base/exceptions.h"
#include "base/set.h"
#include "base/strings.h"
#include "forms/control.h"
#include "forms/events.h"

#include <string_view>
#include <vector>

namespace kq {

enum class TWindowBorder { None, Single, Sizable, Dialog, ToolWindow, SizableToolWindow };

enum class TCaptionButton { SystemMenu, Minimize, Maximize, Help };
using TCaptionButtons = TSet<TCaptionButton>;

// "[SystemMenu, Minimize]"; the reverse raises EPropertyError "Invalid caption buttons: <text>".
AnsiString CaptionButtonsToText(TCaptionButtons buttons);
TCaptionButtons CaptionButtonsFromText(std::string_view text);

// The system refused to make a native window.
class EWindowError : public Exception {
public:
    using Exception::Exception;
};

class TForm : public TWinControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TForm(TComponent* owner);
    ~TForm() override;

    AnsiString Caption() const { return Text(); }
    void SetCaption(const AnsiString& caption) { SetText(caption); }

    int ClientWidth() const { return Width(); }
    void SetClientWidth(int width) { SetWidth(width); }
    int ClientHeight() const { return Height(); }
    void SetClientHeight(int height) { SetHeight(height); }

    TWindowBorder Border() const { return border_; }
    void SetBorder(TWindowBorder border);
    TCaptionButtons CaptionButtons() const { return captionButtons_; }
    void SetCaptionButtons(TCaptionButtons buttons);

    const AnsiString& HelpFile() const { return helpFile_; }
    void SetHelpFile(const AnsiString& file) { helpFile_ = file; }

    // A form starts hidden.
    void Show();
    void Hide();
    // What the close box does: the form is hidden. The application ends when its main form is.
    void Close();

    // Fires OnCreate: once the form is made and its description loaded.
    void DoCreate();
    TNotifyEvent OnCreate;

    // The form's handlers; the default form has none.
    virtual const TMethodTable& Methods() const;
    // Binds the form's handler `handler` to the event `event` of component. EFilerError when the
    // form has no such handler, the component no such event, or the two do not fit.
    void BindHandler(TComponent& component, std::string_view event, std::string_view handler);
    // The name of the handler bound to the event, "" when none is.
    AnsiString BoundHandler(const TComponent& component, std::string_view event) const;

    // The default button of the page or panel shown: the first showing, enabled button whose
    // Default flag is on, in tab order, depth first; nullptr when there is none.
    class TButton* DefaultButton() const;

protected:
    TColor DefaultColor() const override { return colorButtonFace; }
    void Notification(TComponent* component, TOperation operation) override;

private:
    struct Binding {
        const TComponent* Component;
        AnsiString Event;
        AnsiString Handler;
    };

    TWindowBorder border_ = TWindowBorder::Sizable;
    TCaptionButtons captionButtons_{TCaptionButton::SystemMenu, TCaptionButton::Minimize,
                                    TCaptionButton::Maximize};
    AnsiString helpFile_;
    std::vector<Binding> bindings_;
};

} // namespace kq
