// TForm: a top-level window. The form keeps its own state (caption, position, client size,
// border, colour, visibility); a platform peer mirrors that state into a native window, which on
// Windows exists while the form is shown and on the native stand-in never exists at all.
#pragma once

#include "base/component.h"
#include "base/exceptions.h"
#include "base/set.h"
#include "base/strings.h"
#include "forms/colors.h"

#include <memory>

namespace kq {

enum class TWindowBorder { None, Single, Sizable, Dialog, ToolWindow, SizableToolWindow };

enum class TCaptionButton { SystemMenu, Minimize, Maximize, Help };
using TCaptionButtons = TSet<TCaptionButton>;

// The system refused to make a native window.
class EWindowError : public Exception {
public:
    using Exception::Exception;
};

class TFormPeer;

class TForm : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TForm(TComponent* owner);
    ~TForm() override;

    void SetName(const AnsiString& name) override;

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);

    // The outer top-left corner on the screen.
    int Left() const { return left_; }
    void SetLeft(int left);
    int Top() const { return top_; }
    void SetTop(int top);

    // The size of the area inside the border and caption.
    int ClientWidth() const { return clientWidth_; }
    void SetClientWidth(int width);
    int ClientHeight() const { return clientHeight_; }
    void SetClientHeight(int height);

    TWindowBorder Border() const { return border_; }
    void SetBorder(TWindowBorder border);
    TCaptionButtons CaptionButtons() const { return captionButtons_; }
    void SetCaptionButtons(TCaptionButtons buttons);

    TColor Color() const { return color_; }
    void SetColor(TColor color);

    bool Visible() const { return visible_; }
    void Show();
    void Hide();
    // What the close box does: the form is hidden. The application ends when its main form is.
    void Close();

private:
    // Mirrors the whole state into the native window, if there is one or should be.
    void Changed();

    AnsiString caption_;
    int left_ = 0;
    int top_ = 0;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    TWindowBorder border_ = TWindowBorder::Sizable;
    TCaptionButtons captionButtons_{TCaptionButton::SystemMenu, TCaptionButton::Minimize,
                                    TCaptionButton::Maximize};
    TColor color_ = colorButtonFace;
    bool visible_ = false;
    std::unique_ptr<TFormPeer> peer_;
};

} // namespace kq
