// Published properties by name, as the form loader and the translation pass use them: tables
// inherited and extended, names found case-insensitively, each kind read and written with its
// checks, and classes created by name.
#include "base/class_registry.h"
#include "base/component.h"
#include "base/exceptions.h"
#include "base/properties.h"
#include "base/string_list.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

enum class TAlign { alNone, alTop, alBottom, alClient };
const TEnumInfo kAlignInfo("TAlign", {"alNone", "alTop", "alBottom", "alClient"});

class TSample : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TSample(TComponent* owner) : TComponent(owner) {}

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption) { caption_ = caption; }
    int Width() const { return width_; }
    void SetWidth(int width) { width_ = width; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align) { align_ = align; }
    TStrings* Lines() { return &lines_; }
    void SetLines(TStrings* lines) { lines_.Assign(lines); }
    int Version() const { return 7; }

private:
    AnsiString caption_;
    int width_ = 0;
    bool visible_ = true;
    TAlign align_ = TAlign::alNone;
    TStringList lines_;
};

const TClassInfo& TSample::StaticClassInfo() {
    static const TClassInfo info(
        "TSample", &TComponent::StaticClassInfo(),
        TClassTable<TSample>()
            .String("Caption", &TSample::Caption, &TSample::SetCaption)
            .Integer("Width", &TSample::Width, &TSample::SetWidth)
            .Boolean("Visible", &TSample::Visible, &TSample::SetVisible)
            .Enumeration("Align", kAlignInfo, &TSample::Align, &TSample::SetAlign)
            .StringList("Lines", &TSample::Lines, &TSample::SetLines)
            .Integer("Version", &TSample::Version, nullptr)
            .Event("OnClick"));
    return info;
}

// Extends TSample with a property of its own and publishes Caption again, read-only.
class TDerived : public TSample {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TDerived(TComponent* owner) : TSample(owner) {}

    AnsiString Hint() const { return hint_; }
    void SetHint(const AnsiString& hint) { hint_ = hint; }

private:
    AnsiString hint_;
};

const TClassInfo& TDerived::StaticClassInfo() {
    static const TClassInfo info(
        "TDerived", &TSample::StaticClassInfo(),
        TClassTable<TDerived>()
            .String("Hint", &TDerived::Hint, &TDerived::SetHint)
            .String(
                "Caption", [](const TDerived& d) { return "[" + d.Caption() + "]"; }, nullptr));
    return info;
}

std::vector<std::string> PropNames(const TObject& obj) {
    std::vector<std::string> names;
    for (const TPropInfo* prop : GetPropList(obj)) {
        names.push_back(prop->Name());
    }
    return names;
}

void ExpectPropertyError(const char* name, const std::function<void()>& action,
                         const std::string& message) {
    try {
        action();
        ADD_FAILURE() << name << ": no error";
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Message(), message) << name;
    }
}

TEST(PropertiesTest, TablesAreInheritedAndExtended) {
    TSample sample(nullptr);
    TDerived derived(nullptr);
    EXPECT_EQ(PropNames(sample),
              (std::vector<std::string>{"Name", "Tag", "Caption", "Width", "Visible", "Align",
                                        "Lines", "Version", "OnClick"}));
    // The redeclared Caption keeps its place; Hint comes after the inherited ones.
    EXPECT_EQ(PropNames(derived),
              (std::vector<std::string>{"Name", "Tag", "Caption", "Width", "Visible", "Align",
                                        "Lines", "Version", "OnClick", "Hint"}));
    EXPECT_EQ(derived.ClassName(), "TDerived");
    EXPECT_TRUE(derived.ClassInfo().InheritsFrom(TComponent::StaticClassInfo()));
    EXPECT_TRUE(derived.ClassInfo().InheritsFrom(TDerived::StaticClassInfo()));
    EXPECT_FALSE(sample.ClassInfo().InheritsFrom(TDerived::StaticClassInfo()));
    EXPECT_EQ(TStringList::StaticClassInfo().Parent(), &TStrings::StaticClassInfo());
}

TEST(PropertiesTest, NamesAreFoundIgnoringCase) {
    TDerived derived(nullptr);
    for (const char* name : {"caption", "CAPTION", "name", "TAG", "hint", "onclick"}) {
        EXPECT_NE(FindPropInfo(derived, name), nullptr) << name;
    }
    for (const char* name : {"", "Captio", "Caption ", "Font"}) {
        EXPECT_EQ(FindPropInfo(derived, name), nullptr) << name;
    }
}

TEST(PropertiesTest, KindsAndAccess) {
    struct Case {
        const char* name;
        TPropKind kind;
        bool readable;
        bool writable;
    };
    const std::vector<Case> cases = {
        {"Name", TPropKind::String, true, true},
        {"Tag", TPropKind::Integer, true, true},
        {"Visible", TPropKind::Boolean, true, true},
        {"Align", TPropKind::Enumeration, true, true},
        {"Lines", TPropKind::StringList, true, true},
        {"Version", TPropKind::Integer, true, false},
        {"OnClick", TPropKind::Event, false, false},
        {"Caption", TPropKind::String, true, false}, // read-only in TDerived
    };
    TDerived derived(nullptr);
    for (const Case& c : cases) {
        const TPropInfo* prop = FindPropInfo(derived, c.name);
        ASSERT_NE(prop, nullptr) << c.name;
        EXPECT_EQ(prop->Kind(), c.kind) << c.name;
        EXPECT_EQ(prop->Readable(), c.readable) << c.name;
        EXPECT_EQ(prop->Writable(), c.writable) << c.name;
    }
    EXPECT_EQ(FindPropInfo(derived, "Align")->EnumInfo(), &kAlignInfo);
    EXPECT_EQ(FindPropInfo(derived, "Lines")->ObjectClass(), &TStrings::StaticClassInfo());
}

TEST(PropertiesTest, ValuesAreReadAndWrittenThroughTheAccessors) {
    TComponent form(nullptr);
    auto* sample = new TSample(&form);
    const TSample& view = *sample;
    SetStrProp(*sample, *FindPropInfo(view, "Name"), "Label1");
    SetStrProp(*sample, *FindPropInfo(view, "caption"), "\xB0\xB2\xD7\xB0");
    SetOrdProp(*sample, *FindPropInfo(view, "Width"), -3);
    SetOrdProp(*sample, *FindPropInfo(view, "Visible"), 0);
    SetOrdProp(*sample, *FindPropInfo(view, "Align"), 3);
    EXPECT_EQ(form.FindComponent("label1"), sample);
    EXPECT_EQ(sample->Caption(), "\xB0\xB2\xD7\xB0");
    EXPECT_EQ(sample->Width(), -3);
    EXPECT_FALSE(sample->Visible());
    EXPECT_EQ(sample->Align(), TAlign::alClient);
    EXPECT_EQ(GetOrdProp(view, *FindPropInfo(view, "Align")), 3);
    EXPECT_EQ(GetOrdProp(view, *FindPropInfo(view, "Visible")), 0);
    EXPECT_EQ(GetOrdProp(view, *FindPropInfo(view, "Version")), 7);
    EXPECT_EQ(GetStrProp(view, *FindPropInfo(view, "Name")), "Label1");

    // The string list is handed out to be filled in place.
    const TPropInfo& lines = *FindPropInfo(view, "Lines");
    auto* list = dynamic_cast<TStrings*>(GetObjectProp(*sample, lines));
    ASSERT_NE(list, nullptr);
    list->SetCommaText("Memo1,second");
    EXPECT_EQ(sample->Lines()->Text(), "Memo1\r\nsecond\r\n");
    TStringList replacement;
    replacement.Add("only");
    SetObjectProp(*sample, lines, &replacement);
    EXPECT_EQ(sample->Lines()->Text(), "only\r\n");

    // A redeclared property answers with the subclass's accessor.
    TDerived derived(nullptr);
    derived.SetCaption("x");
    EXPECT_EQ(GetStrProp(derived, *FindPropInfo(derived, "Caption")), "[x]");
}

TEST(PropertiesTest, MisuseRaisesPropertyError) {
    TDerived derived(nullptr);
    TComponent plain(nullptr);
    TSample sample(nullptr);
    const TPropInfo& caption = *FindPropInfo(derived, "Caption");
    const TPropInfo& width = *FindPropInfo(derived, "Width");
    const TPropInfo& visible = *FindPropInfo(derived, "Visible");
    const TPropInfo& align = *FindPropInfo(derived, "Align");
    const TPropInfo& lines = *FindPropInfo(derived, "Lines");
    const TPropInfo& onClick = *FindPropInfo(derived, "OnClick");
    const TPropInfo& sampleCaption = *FindPropInfo(sample, "Caption");

    ExpectPropertyError(
        "write a read-only string", [&] { SetStrProp(derived, caption, "x"); },
        "Property Caption is read-only");
    ExpectPropertyError(
        "read an event", [&] { GetStrProp(derived, onClick); }, "Invalid property type: OnClick");
    ExpectPropertyError(
        "string access to an integer", [&] { GetStrProp(derived, width); },
        "Invalid property type: Width");
    ExpectPropertyError(
        "ordinal access to a string", [&] { SetOrdProp(derived, caption, 1); },
        "Invalid property type: Caption");
    ExpectPropertyError(
        "Boolean out of range", [&] { SetOrdProp(derived, visible, 2); }, "Invalid property value");
    ExpectPropertyError(
        "enumeration above range", [&] { SetOrdProp(derived, align, 4); },
        "Invalid property value");
    ExpectPropertyError(
        "object of another class", [&] { SetObjectProp(derived, lines, &plain); },
        "Invalid property value");
    ExpectPropertyError(
        "property of another class", [&] { SetStrProp(plain, sampleCaption, "x"); },
        "Property Caption does not belong to class TComponent");
    EXPECT_EQ(derived.Align(), TAlign::alNone);
    EXPECT_TRUE(derived.Visible());
}

TEST(ClassRegistryTest, RegisteredClassesAreCreatedByName) {
    RegisterClass<TSample>();
    RegisterClass<TSample>(); // again: nothing happens
    TComponent form(nullptr);
    TComponent* created = FindClass("tsample").create(&form);
    EXPECT_EQ(created->ClassName(), "TSample");
    EXPECT_EQ(created->Owner(), &form);
    EXPECT_NE(dynamic_cast<TSample*>(created), nullptr);
    EXPECT_EQ(GetClass("TUnknownControl"), nullptr);
    try {
        FindClass("TUnknownControl");
        ADD_FAILURE() << "no error";
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), "Class TUnknownControl not found");
    }
}

TEST(ClassRegistryTest, AnotherClassUnderATakenNameIsRefused) {
    static const TClassInfo impostor("TDerived", &TComponent::StaticClassInfo());
    RegisterClass<TDerived>();
    try {
        RegisterClass(impostor, [](TComponent* owner) { return new TComponent(owner); });
        ADD_FAILURE() << "no error";
    } catch (const EFilerError& e) {
        EXPECT_EQ(e.Message(), "A class named TDerived already exists");
    }
    EXPECT_EQ(FindClass("TDerived").info, &TDerived::StaticClassInfo());
}

} // namespace
} // namespace kq
