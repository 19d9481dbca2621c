// TForm1: the wizard window.
#pragma once

#include "forms/form.h"

namespace kq {

class TForm1 : public TForm {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TForm1(TComponent* owner);
};

} // namespace kq
