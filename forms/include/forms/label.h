// TLabel: a line of text. With AutoSize on (the default) the label takes the size of its text in
// its font once loaded and whenever the text or font changes; its top-left corner stays put.
#pragma once

#include "forms/control.h"

namespace kq {

class TLabel : public TControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TLabel(TComponent* owner);

    AnsiString Caption() const { return Text(); }
    void SetCaption(const AnsiString& caption) { SetText(caption); }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

    void Loaded() override;

protected:
    void TextChanged() override;
    void FontChanged() override;

private:
    // Sizes the label to its text where the platform can measure it.
    void AdjustBounds();

    bool autoSize_ = true;
};

} // namespace kq
