#include "base/component.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "base/properties.h"

#include <algorithm>

namespace kq {

namespace {

void Erase(std::vector<TComponent*>& list, const TComponent* component) {
    list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

bool Contains(const std::vector<TComponent*>& list, const TComponent* component) {
    return std::find(list.begin(), list.end(), component) != list.end();
}

} // namespace

const TClassInfo& TComponent::StaticClassInfo() {
    static const TClassInfo info("TComponent", &TPersistent::StaticClassInfo(),
                                 TClassTable<TComponent>()
                                     .String("Name", &TComponent::Name, &TComponent::SetName)
                                     .Integer("Tag", &TComponent::Tag, &TComponent::SetTag));
    return info;
}

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr) {
        owner->InsertComponent(this);
    }
}

TComponent::~TComponent() {
    Destroying();
    RemoveFreeNotifications();
    DestroyComponents();
    if (owner_ != nullptr) {
        owner_->RemoveComponent(this);
    }
}

void TComponent::SetName(const AnsiString& name) {
    if (name == name_) {
        return;
    }
    if (!name.empty() && !IsValidIdent(name)) {
        throw EComponentError(Format("Component name \"%s\" is not a valid identifier", {name}));
    }
    if (owner_ != nullptr) {
        owner_->ValidateRename(this, name);
    }
    name_ = name;
}

void TComponent::ValidateRename(const TComponent* component, std::string_view newName) const {
    const TComponent* existing = FindComponent(newName);
    if (existing != nullptr && existing != component) {
        throw EComponentError(Format("A component named %s already exists", {newName}));
    }
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) {
        throw EListError(Format("List index out of bounds (%d)", {index}));
    }
    return components_[static_cast<std::size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) {
        return nullptr;
    }
    for (TComponent* component : components_) {
        if (SameText(component->name_, name)) {
            return component;
        }
    }
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (component == nullptr || component->owner_ == this) {
        return;
    }
    CheckOwnershipCycle(component);
    ValidateRename(component, component->name_);
    // A component has one owner: left in the old owner's list it would be deleted twice.
    if (component->owner_ != nullptr) {
        component->owner_->RemoveComponent(component);
    }
    components_.push_back(component);
    component->owner_ = this;
    if (Designing()) {
        component->SetDesigning(true);
    }
    Notification(component, TOperation::opInsert);
}

void TComponent::CheckOwnershipCycle(const TComponent* component) const {
    for (const TComponent* c = this; c != nullptr; c = c->owner_) {
        if (c == component) {
            throw EComponentError("A component cannot own itself or its own owner");
        }
    }
}

void TComponent::RemoveComponent(TComponent* component) {
    if (component == nullptr || component->owner_ != this) {
        return;
    }
    Notification(component, TOperation::opRemove);
    Detach(component);
}

void TComponent::Detach(TComponent* component) {
    Erase(components_, component);
    component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
    // Last created, first deleted; each is out of the list before it goes, so it does not
    // remove itself again.
    while (!components_.empty()) {
        TComponent* component = components_.back();
        Detach(component);
        delete component;
    }
}

void TComponent::SetDesigning(bool designing) {
    if (designing) {
        state_.Include(TComponentStateItem::csDesigning);
    } else {
        state_.Exclude(TComponentStateItem::csDesigning);
    }
    for (TComponent* component : components_) {
        component->SetDesigning(designing);
    }
}

void TComponent::Destroying() {
    if (state_.Contains(TComponentStateItem::csDestroying)) {
        return;
    }
    state_.Include(TComponentStateItem::csDestroying);
    for (TComponent* component : components_) {
        component->Destroying();
    }
}

void TComponent::BeginLoading() {
    state_.Include(TComponentStateItem::csLoading);
}

void TComponent::Loaded() {
    state_.Exclude(TComponentStateItem::csLoading);
}

void TComponent::FreeNotification(TComponent* component) {
    if (component == nullptr || component == this) {
        return;
    }
    if (!Contains(freeNotifies_, component)) {
        freeNotifies_.push_back(component);
    }
    if (!Contains(component->freeNotifies_, this)) {
        component->freeNotifies_.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (component == nullptr) {
        return;
    }
    Erase(freeNotifies_, component);
    Erase(component->freeNotifies_, this);
}

void TComponent::ForgetFreeNotification(TComponent* component) {
    Erase(freeNotifies_, component);
}

void TComponent::RemoveFreeNotifications() {
    // A handler may delete other components, which then leave this list themselves: take one
    // entry at a time instead of walking it.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        other->ForgetFreeNotification(this);
        other->Notification(this, TOperation::opRemove);
    }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component != nullptr) {
        RemoveFreeNotification(component);
    }
    // Backwards, and re-clamped after each call, because a handler may delete components.
    for (int i = ComponentCount() - 1; i >= 0;) {
        components_[static_cast<std::size_t>(i)]->Notification(component, operation);
        --i;
        if (i >= ComponentCount()) {
            i = ComponentCount() - 1;
        }
    }
}

// --- TLoadingGroup -------------------------------------------------------------------------------

class TLoadingGroup::Watcher : public TComponent {
public:
    Watcher() : TComponent(nullptr) {}

    std::vector<TComponent*> members;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == TOperation::opRemove) {
            std::replace(members.begin(), members.end(), component,
                         static_cast<TComponent*>(nullptr));
        }
    }
};

TLoadingGroup::TLoadingGroup() : watcher_(std::make_unique<Watcher>()) {}

TLoadingGroup::~TLoadingGroup() {
    for (TComponent* component : watcher_->members) {
        if (component != nullptr) {
            watcher_->RemoveFreeNotification(component);
        }
    }
}

void TLoadingGroup::Add(TComponent& component) {
    if (Contains(watcher_->members, &component)) {
        return;
    }
    component.BeginLoading();
    watcher_->members.push_back(&component);
    component.FreeNotification(watcher_.get());
}

void TLoadingGroup::EndLoading() {
    std::vector<TComponent*>& members = watcher_->members;
    for (std::size_t i = 0; i < members.size(); ++i) {
        TComponent* component = members[i];
        if (component == nullptr) {
            continue;
        }
        members[i] = nullptr;
        watcher_->RemoveFreeNotification(component);
        component->Loaded();
    }
    members.clear();
}

} // namespace kq
