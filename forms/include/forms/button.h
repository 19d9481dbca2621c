// TButton: a push button. The default button of a page is the one Enter presses when the focus
// is not on another button.
#pragma once

#include "forms/control.h"

namespace kq {

class TButton : public TWinControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TButton(TComponent* owner);

    AnsiString Caption() const { return Text(); }
    void SetCaption(const AnsiString& caption) { SetText(caption); }
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);

private:
    bool default_ = false;
};

} // namespace kq
