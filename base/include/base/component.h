// TComponent: the named, owned building block of a window. A component is created with its owner,
// which keeps it among its components and deletes it when deleted itself; it carries a name by
// which its owner finds it (the control names are the keys of the translation table), and it
// hears of other components arriving and leaving through Notification.
//
// Owned components must be created with new: their owner deletes them. Deleting a component
// earlier takes it out of its owner, which is told (opRemove) before it lets go of it.
#pragma once

#include "base/persistent.h"
#include "base/set.h"
#include "base/strings.h"

#include <memory>
#include <string_view>
#include <vector>

namespace kq {

enum class TOperation { opInsert, opRemove };

enum class TComponentStateItem {
    csLoading,    // its stored properties are being read; Loaded has not been called yet
    csDestroying, // it or its owner is being deleted
    csDesigning,  // it is being edited rather than run
};
using TComponentState = TSet<TComponentStateItem>;

class TComponent : public TPersistent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const AnsiString& Name() const { return name_; }
    // Empty or an identifier, and not the name of another component of the same owner (compared
    // case-insensitively); EComponentError otherwise.
    virtual void SetName(const AnsiString& name);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    // The owned components in the order they were inserted; EListError for a bad index.
    TComponent* Components(int index) const;
    // The owned component of that name (case-insensitive), nullptr when there is none.
    TComponent* FindComponent(std::string_view name) const;
    // Makes this component the owner of component, taking it from its previous owner.
    void InsertComponent(TComponent* component);
    // Takes component out of this component's ownership; the caller then owns it.
    void RemoveComponent(TComponent* component);

    TComponentState ComponentState() const { return state_; }
    bool Loading() const { return state_.Contains(TComponentStateItem::csLoading); }
    bool Designing() const { return state_.Contains(TComponentStateItem::csDesigning); }
    // Marks this component and those it owns as being edited.
    void SetDesigning(bool designing);
    // Marks this component and those it owns as being deleted.
    void Destroying();

    // Reading stored properties: the loader calls BeginLoading on each component it creates and,
    // when the whole description is read, Loaded on each. An override calls this Loaded first;
    // after it Loading() is false.
    void BeginLoading();
    virtual void Loaded();

    // Asks that component be told (Notification opRemove) when this component is deleted, and
    // this one when component is; both stay in force until either is deleted or removes it.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

protected:
    // Told of component being inserted into or removed from this component's owner list, of a
    // free notification, and of what this component's owner is told. The default passes it on
    // to every owned component, so a component hears of its siblings. With opRemove the
    // component is being deleted: compare it, use its Name, call nothing virtual on it. It must
    // not throw, since it runs while components are being deleted.
    virtual void Notification(TComponent* component, TOperation operation);

private:
    void ValidateRename(const TComponent* component, std::string_view newName) const;
    void CheckOwnershipCycle(const TComponent* component) const;
    void Detach(TComponent* component);
    void DestroyComponents();
    void RemoveFreeNotifications();
    void ForgetFreeNotification(TComponent* component);

    TComponent* owner_ = nullptr;
    AnsiString name_;
    int tag_ = 0;
    TComponentState state_;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
};

// The components read from one stored description end their loading together: each is marked
// as loading when it is added, and once all have been read EndLoading calls Loaded on each in the
// order they were added. A component deleted in between is skipped.
class TLoadingGroup {
public:
    TLoadingGroup();
    ~TLoadingGroup();
    TLoadingGroup(const TLoadingGroup&) = delete;
    TLoadingGroup& operator=(const TLoadingGroup&) = delete;

    void Add(TComponent& component);
    void EndLoading();

private:
    class Watcher;
    std::unique_ptr<Watcher> watcher_;
};

} // namespace kq
