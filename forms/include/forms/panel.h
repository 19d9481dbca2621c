// TPanel: a plain area with a bevelled edge; the window uses thin panels as horizontal rules.
#pragma once

#include "forms/control.h"

namespace kq {

// How an edge of the panel is drawn: flat, sunk into the surface or raised above it.
enum class TBevel { None, Lowered, Raised };

class TPanel : public TWinControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TPanel(TComponent* owner);

    AnsiString Caption() const { return Text(); }
    void SetCaption(const AnsiString& caption) { SetText(caption); }
    // The outer edge, then the inner edge inside it.
    TBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevel bevel);
    TBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevel bevel);

private:
    TBevel bevelOuter_ = TBevel::Raised;
    TBevel bevelInner_ = TBevel::None;
};

} // namespace kq
