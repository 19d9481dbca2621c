// An action run when a scope ends, however it ends: a flag set back, a setting restored, a file
// that must not stay removed.
//
//     busy_ = true;
//     ScopeExit clearBusy([&] { busy_ = false; });
//
// Ended normally, the scope runs the action like a statement after it, whose exception goes on to
// the caller. Ended by an exception, the scope runs it too, but the exception already on its way
// wins: one the action raises then is dropped.
#pragma once

#include <exception>
#include <utility>

namespace kq {

template <class Action>
class [[nodiscard]] ScopeExit {
public:
    explicit ScopeExit(Action action)
        : action_(std::move(action)), exceptionsBefore_(std::uncaught_exceptions()) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

    ~ScopeExit() noexcept(false) {
        if (!armed_) {
            return;
        }
        if (std::uncaught_exceptions() == exceptionsBefore_) {
            action_();
            return;
        }
        try {
            action_();
        } catch (...) {
        }
    }

    // The action is no longer wanted (the work it would undo has been kept).
    void Dismiss() { armed_ = false; }

private:
    Action action_;
    int exceptionsBefore_;
    bool armed_ = true;
};

} // namespace kq
