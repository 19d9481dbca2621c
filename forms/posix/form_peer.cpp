// The native stand-in has no windows: a form's state lives in the form alone.
#include "native.h"

namespace kq {

namespace {

class StateOnlyFormPeer final : public TFormPeer {
public:
    void Update() override {}
};

} // namespace

std::unique_ptr<TFormPeer> CreateFormPeer(TForm&) {
    return std::make_unique<StateOnlyFormPeer>();
}

} // namespace kq
