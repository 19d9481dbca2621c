// Components: ownership (creation order kept, deletion in reverse, no double deletes), names
// found case-insensitively and kept unique per owner, notifications of arrivals and removals,
// and the end of loading.
#include "base/component.h"
#include "base/exceptions.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using Log = std::vector<std::string>;

// A component that writes what happens to it into a shared log.
class TRecorder : public TComponent {
public:
    TRecorder(TComponent* owner, std::string name, Log& log) : TComponent(owner), log_(log) {
        SetName(name);
    }
    ~TRecorder() override { log_.push_back("delete " + Name()); }

    void Loaded() override {
        TComponent::Loaded();
        std::string line = "loaded " + Name();
        if (Owner() != nullptr) {
            for (int i = 0; i < Owner()->ComponentCount(); ++i) {
                if (Owner()->Components(i)->Loading()) {
                    line += " (" + Owner()->Components(i)->Name() + " still loading)";
                }
            }
        }
        log_.push_back(line);
    }

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        log_.push_back(Name() + (operation == TOperation::opInsert ? " +" : " -") +
                       component->Name());
    }

private:
    Log& log_;
};

TEST(ComponentTest, OwnerKeepsCreationOrderAndDeletesInReverse) {
    Log log;
    auto* owner = new TComponent(nullptr);
    new TRecorder(owner, "a", log);
    new TRecorder(owner, "b", log);
    new TRecorder(owner, "c", log);
    ASSERT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->Components(0)->Name(), "a");
    EXPECT_EQ(owner->Components(2)->Name(), "c");
    EXPECT_EQ(owner->Components(1)->Owner(), owner);
    log.clear();
    delete owner;
    // Each hears of the later ones leaving: they are deleted first.
    EXPECT_EQ(log, (Log{"delete c", "delete b", "delete a"}));
}

TEST(ComponentTest, DeletingAComponentTakesItOutOfItsOwner) {
    Log log;
    TComponent owner(nullptr);
    auto* a = new TRecorder(&owner, "a", log);
    auto* b = new TRecorder(&owner, "b", log);
    log.clear();
    delete a;
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
    EXPECT_EQ(owner.FindComponent("a"), nullptr);
    // b hears of the removal through the owner; a itself is gone before that.
    EXPECT_EQ(log, (Log{"delete a", "b -a"}));
}

TEST(ComponentTest, FindComponentIgnoresAsciiCase) {
    TComponent owner(nullptr);
    auto* button = new TComponent(&owner);
    button->SetName("ButtonNext1");
    new TComponent(&owner); // unnamed
    EXPECT_EQ(owner.FindComponent("buttonnext1"), button);
    EXPECT_EQ(owner.FindComponent("BUTTONNEXT1"), button);
    EXPECT_EQ(owner.FindComponent("ButtonNext"), nullptr);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
}

TEST(ComponentTest, NamesMustBeIdentifiers) {
    TComponent component(nullptr);
    for (const char* name : {"Button1", "_x", "Label_2", ""}) {
        component.SetName(name);
        EXPECT_EQ(component.Name(), name);
    }
    component.SetName("Kept");
    for (const char* name : {"1a", "a b", "a.b", "\xB0\xB4\xC5\xA5"}) {
        try {
            component.SetName(name);
            ADD_FAILURE() << name << ": no error";
        } catch (const EComponentError& e) {
            EXPECT_EQ(e.Message(),
                      std::string("Component name \"") + name + "\" is not a valid identifier");
        }
        EXPECT_EQ(component.Name(), "Kept") << name;
    }
}

TEST(ComponentTest, NamesAreUniqueAmongAnOwnersComponents) {
    TComponent owner(nullptr);
    auto* first = new TComponent(&owner);
    auto* second = new TComponent(&owner);
    first->SetName("Button1");
    try {
        second->SetName("BUTTON1");
        ADD_FAILURE() << "no error";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named BUTTON1 already exists");
    }
    EXPECT_EQ(second->Name(), "");
    first->SetName("BUTTON1"); // a component may change the case of its own name
    EXPECT_EQ(first->Name(), "BUTTON1");
    second->SetName(""); // any number may stay unnamed
    new TComponent(&owner);

    TComponent loose1(nullptr), loose2(nullptr); // without an owner names may repeat
    loose1.SetName("Same");
    loose2.SetName("Same");

    TComponent other(nullptr);
    auto* clash = new TComponent(&other);
    clash->SetName("button1");
    EXPECT_THROW(owner.InsertComponent(clash), EComponentError);
    EXPECT_EQ(clash->Owner(), &other);
}

TEST(ComponentTest, InsertComponentMovesOwnership) {
    auto* oldOwner = new TComponent(nullptr);
    TComponent newOwner(nullptr);
    auto* moved = new TComponent(oldOwner);
    newOwner.InsertComponent(moved);
    EXPECT_EQ(moved->Owner(), &newOwner);
    EXPECT_EQ(oldOwner->ComponentCount(), 0);
    delete oldOwner; // must not delete the moved component (ASan would see it twice)
    EXPECT_EQ(newOwner.Components(0), moved);

    auto* child = new TComponent(&newOwner);
    EXPECT_THROW(child->InsertComponent(&newOwner), EComponentError);
    EXPECT_THROW(newOwner.InsertComponent(&newOwner), EComponentError);

    newOwner.RemoveComponent(moved);
    EXPECT_EQ(moved->Owner(), nullptr);
    delete moved;
}

TEST(ComponentTest, SiblingsHearOfArrivalsAndRemovals) {
    Log log;
    TComponent owner(nullptr);
    new TRecorder(&owner, "a", log);
    auto* b = new TRecorder(&owner, "b", log);
    // a hears of b (not yet named); a component being constructed hears nothing itself.
    EXPECT_EQ(log, (Log{"a +"}));
    log.clear();
    owner.RemoveComponent(b);
    EXPECT_EQ(log, (Log{"b -b", "a -b"}));
    delete b;
}

TEST(ComponentTest, FreeNotificationReachesComponentsOfOtherOwners) {
    Log log;
    TComponent form1(nullptr), form2(nullptr);
    auto* watcher = new TRecorder(&form1, "watcher", log);
    auto* target = new TRecorder(&form2, "target", log);
    auto* other = new TRecorder(&form2, "other", log);
    target->FreeNotification(watcher);
    log.clear();
    delete target;
    EXPECT_EQ(log, (Log{"delete target", "watcher -target", "other -target"}));

    other->FreeNotification(watcher);
    other->RemoveFreeNotification(watcher);
    log.clear();
    delete other;
    EXPECT_EQ(log, (Log{"delete other"}));

    // The link goes both ways: deleting the watcher first leaves nothing dangling behind.
    auto* third = new TRecorder(&form2, "third", log);
    third->FreeNotification(watcher);
    delete watcher;
    log.clear();
    delete third;
    EXPECT_EQ(log, (Log{"delete third"}));
}

TEST(ComponentTest, LoadedRunsInOrderAfterAllAreRead) {
    Log log;
    TComponent form(nullptr);
    auto* a = new TRecorder(&form, "a", log);
    auto* b = new TRecorder(&form, "b", log);
    auto* c = new TRecorder(&form, "c", log);
    log.clear();
    {
        TLoadingGroup group;
        group.Add(*a);
        group.Add(*b);
        group.Add(*c);
        EXPECT_TRUE(b->Loading());
        delete b; // a component gone before the end of loading is skipped
        log.clear();
        group.EndLoading();
    }
    EXPECT_EQ(log, (Log{"loaded a (c still loading)", "loaded c"}));
    EXPECT_FALSE(a->Loading());
    EXPECT_FALSE(c->Loading());
}

TEST(ComponentTest, LoadingGroupLeftWithoutEndLoadingLeavesNoLinks) {
    Log log;
    TComponent form(nullptr);
    auto* a = new TRecorder(&form, "a", log);
    {
        TLoadingGroup group;
        group.Add(*a);
    }
    log.clear();
    delete a; // the group's watcher is gone; ASan checks nothing reaches it
    EXPECT_EQ(log, (Log{"delete a"}));
}

} // namespace
} // namespace kq
