#include "forms/events.h"

#include <deque>

namespace kq {

namespace {

std::deque<TEventSlot>& Slots() {
    static std::deque<TEventSlot> slots;
    return slots;
}

} // namespace

void RegisterEventSlot(TEventSlot slot) {
    for (TEventSlot& existing : Slots()) {
        if (existing.Class == slot.Class && SameText(existing.Name, slot.Name)) {
            existing = std::move(slot);
            return;
        }
    }
    Slots().push_back(std::move(slot));
}

const TEventSlot* FindEventSlot(const TClassInfo& cls, std::string_view name) {
    for (const TClassInfo* c = &cls; c != nullptr; c = c->Parent()) {
        for (const TEventSlot& slot : Slots()) {
            if (slot.Class == c && SameText(slot.Name, name)) {
                return &slot;
            }
        }
    }
    return nullptr;
}

const TMethodTable::Entry* TMethodTable::Find(std::string_view name) const {
    for (const Entry& entry : entries_) {
        if (SameText(entry.Name, name)) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace kq
