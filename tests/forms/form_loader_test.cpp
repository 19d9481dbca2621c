// The form loader: what each stored value does to each kind of property, the order in which a
// description is applied, and the errors a wrong or damaged description gives.
#include "base/class_registry.h"
#include "base/properties.h"
#include "base/string_list.h"
#include "forms/form.h"
#include "forms/form_loader.h"
#include "forms/label.h"
#include "forms/panel.h"
#include "support/description_writer.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using test::DescriptionWriter;

// What the probes saw, in order.
std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

using TPingEvent = std::function<void(TObject* sender, int times)>;

enum class TProbeMode { Up, Down };

// A non-visual component with a property of every kind; each assignment is logged.
class TProbe : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo() {
        static const TEnumInfo modes("TProbeMode", {"Up", "Down"});
        static const TClassInfo info(
            "TProbe", &TComponent::StaticClassInfo(),
            TClassTable<TProbe>()
                .Integer("Count", &TProbe::count,
                         [](TProbe& p, int v) { p.count = v, p.Note("Count"); })
                .Boolean("Flag", &TProbe::flag,
                         [](TProbe& p, bool v) { p.flag = v, p.Note("Flag"); })
                .Enumeration("Mode", modes, &TProbe::mode,
                             [](TProbe& p, TProbeMode v) { p.mode = v, p.Note("Mode"); })
                .String("Title", &TProbe::title,
                        [](TProbe& p, const AnsiString& v) { p.title = v, p.Note("Title"); })
                .StringList(
                    "Items", [](TProbe& p) { return &p.items; },
                    [](TProbe& p, TStringList* v) { p.items.Assign(v); })
                .Object(
                    "Buddy", [](TProbe& p) -> TComponent* { return p.buddy; },
                    [](TProbe& p, TComponent* v) { p.buddy = v, p.Note("Buddy"); })
                .Event("OnPing"));
        return info;
    }

    explicit TProbe(TComponent* owner) : TComponent(owner) {}

    void Loaded() override {
        TComponent::Loaded();
        Note("loaded");
    }
    void Note(const std::string& what) { Log().push_back(Name() + " " + what); }

    int count = 0;
    bool flag = false;
    TProbeMode mode = TProbeMode::Up;
    AnsiString title;
    TStringList items;
    TComponent* buddy = nullptr;
    TPingEvent OnPing;
};

void ReadBlob(TProbe& probe, std::string_view bytes) {
    probe.Note("Blob " + std::string(bytes));
}

class TProbeForm : public TForm {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info("TProbeForm", &TForm::StaticClassInfo());
        return info;
    }
    explicit TProbeForm(TComponent* owner) : TForm(owner) {}

    const TMethodTable& Methods() const override {
        static const TMethodTable methods = TMethodTable()
                                                .Method("Pinged", &TProbeForm::Pinged)
                                                .Method("Clicked", &TProbeForm::Clicked);
        return methods;
    }
    void Pinged(TObject*, int times) { pings += times; }
    void Clicked(TObject*) { ++clicks; }

    void Loaded() override {
        TForm::Loaded();
        Log().push_back(Name() + " loaded");
    }

    int pings = 0;
    int clicks = 0;
};

class FormLoader : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterFormsClasses();
        RegisterClass<TProbe>();
        RegisterEvent<TProbe>("OnPing", &TProbe::OnPing);
        RegisterBinaryProperty<TProbe>("Blob", &ReadBlob);
    }
    void SetUp() override { Log().clear(); }

    // A form "Form1" holding one probe "Probe1" whose record is filled by fill.
    static std::string WithProbe(const std::function<void(DescriptionWriter&)>& fill) {
        DescriptionWriter w;
        w.Begin("TProbeForm", "Form1").Begin("TProbe", "Probe1");
        fill(w);
        return w.End().End().Bytes();
    }

    TProbe& Probe() { return dynamic_cast<TProbe&>(*form.FindComponent("Probe1")); }

    TProbeForm form{nullptr};
};

TEST_F(FormLoader, GivesEachKindOfPropertyItsValue) {
    LoadFormDescription(form, WithProbe([](DescriptionWriter& w) {
                            w.Int("Count", -7)
                                .Ident("Flag", "True")
                                .Ident("Mode", "down")
                                .Str("Title", "\xb0\xb2\xd7\xb0") // GBK bytes stay as they are
                                .List("Items", {"one", "", "three"})
                                .Ident("Buddy", "Probe1")
                                .Ident("OnPing", "Pinged")
                                .Binary("Blob", std::string("a\0b", 3));
                        }));
    TProbe& p = Probe();
    EXPECT_EQ(p.count, -7);
    EXPECT_TRUE(p.flag);
    EXPECT_EQ(p.mode, TProbeMode::Down);
    EXPECT_EQ(p.title, "\xb0\xb2\xd7\xb0");
    EXPECT_EQ(p.items.Text(), "one\r\n\r\nthree\r\n");
    EXPECT_EQ(p.buddy, &p);
    ASSERT_TRUE(p.OnPing);
    p.OnPing(&p, 3);
    EXPECT_EQ(form.pings, 3);
    EXPECT_EQ(form.BoundHandler(p, "OnPing"), "Pinged");
    const std::vector<std::string> seen = {
        "Probe1 Count",
        "Probe1 Flag",
        "Probe1 Mode",
        "Probe1 Title",
        "Probe1 Blob " + std::string("a\0b", 3),
        "Probe1 Buddy",
        "Form1 loaded",
        "Probe1 loaded",
    };
    EXPECT_EQ(Log(), seen);
}

TEST_F(FormLoader, TurnsNamesIntoNumbersAndSetsIntoText) {
    struct Case {
        const char* path;
        const char* ident;
        int expected;
    };
    // Colours as 0x00BBGGRR or a system colour's index with the high bit; character sets by the
    // system's numbers.
    for (const Case& c :
         {Case{"Color", "colorBlue", 0xFF0000},
          Case{"Color", "colorButtonFace", static_cast<int>(0x8000000F)},
          Case{"Font.Charset", "GB2312_CHARSET", 134}, Case{"Font.Charset", "DEFAULT_CHARSET", 1},
          Case{"Font.Color", "colorWindowText", static_cast<int>(0x80000008)}}) {
        SCOPED_TRACE(std::string(c.path) + " = " + c.ident);
        TProbeForm target(nullptr);
        DescriptionWriter w;
        w.Begin("TProbeForm", "Form1").Ident(c.path, c.ident).End();
        LoadFormDescription(target, w.Bytes());
        const int value = std::string(c.path) == "Color"        ? target.Color()
                          : std::string(c.path) == "Font.Color" ? target.Font()->Color()
                                                                : target.Font()->Charset();
        EXPECT_EQ(value, c.expected);
    }
    DescriptionWriter w;
    w.Begin("TProbeForm", "Form1")
        .Set("CaptionButtons", {"SystemMenu", "Minimize"})
        .Set("Font.Style", {"Bold", "Italic"})
        .End();
    LoadFormDescription(form, w.Bytes());
    EXPECT_EQ(form.CaptionButtons(),
              TCaptionButtons({TCaptionButton::SystemMenu, TCaptionButton::Minimize}));
    EXPECT_EQ(form.Font()->Style(), TFontStyles({TFontStyle::Bold, TFontStyle::Italic}));
}

// Properties in stored order; references once everything is read, so a reference may name a
// component stored later and its target already has its properties; then Loaded, form first,
// in reading order.
TEST_F(FormLoader, AppliesPropertiesThenReferencesThenEndsLoading) {
    DescriptionWriter w;
    w.Begin("TProbeForm", "Form1")
        .Begin("TProbe", "Probe1")
        .Str("Title", "first")
        .Ident("Buddy", "Probe2")
        .Int("Count", 1)
        .End()
        .Begin("TProbe", "Probe2")
        .Int("Count", 2)
        .End()
        .End();
    LoadFormDescription(form, w.Bytes());
    const std::vector<std::string> expected = {
        "Probe1 Title", "Probe1 Count",  "Probe2 Count",  "Probe1 Buddy",
        "Form1 loaded", "Probe1 loaded", "Probe2 loaded",
    };
    EXPECT_EQ(Log(), expected);
}

// A control joins its parent before its own properties are read: it starts with the parent's
// font and keeps it unless it sets its own.
TEST_F(FormLoader, PlacesControlsBeforeTheirProperties) {
    DescriptionWriter w;
    w.Begin("TProbeForm", "Form1")
        .Str("Font.Name", "Arial")
        .Int("Font.Height", -13)
        .Begin("TPanel", "Panel1")
        .Begin("TLabel", "Label1")
        .End()
        .Begin("TLabel", "Label2")
        .Int("Font.Height", -20)
        .End()
        .End()
        .End();
    LoadFormDescription(form, w.Bytes());
    auto& label1 = dynamic_cast<TLabel&>(*form.FindComponent("Label1"));
    auto& label2 = dynamic_cast<TLabel&>(*form.FindComponent("Label2"));
    EXPECT_EQ(label1.Parent()->Name(), "Panel1");
    EXPECT_TRUE(label1.ParentFont());
    EXPECT_EQ(label1.Font()->Name(), "Arial");
    EXPECT_FALSE(label2.ParentFont());
    EXPECT_EQ(label2.Font()->Name(), "Arial");
    EXPECT_EQ(label2.Font()->Height(), -20);
}

TEST_F(FormLoader, ReportsWhatIsWrongWithADescription) {
    const DescriptionWriter empty = [] {
        DescriptionWriter w;
        w.Begin("TProbeForm", "Form1").End();
        return w;
    }();
    const std::string record = empty.Record();
    struct Case {
        const char* name;
        std::string description;
        std::string message;
    };
    const Case cases[] = {
        {"no signature", "KQXD\x01" + record, "Invalid window description: no signature"},
        {"unknown version", "KQWD\x02" + record,
         "Invalid window description: version 2 is not known"},
        {"cut short", empty.Bytes().substr(0, empty.Bytes().size() - 1),
         "Invalid window description: a child count runs past the end"},
        {"data after the form", empty.Bytes() + "x",
         "Invalid window description: data after the form"},
        {"another form's class",
         [] {
             DescriptionWriter w;
             return w.Begin("TOtherForm", "Form1").End().Bytes();
         }(),
         "Invalid window description: it describes a TOtherForm, not a TProbeForm"},
        {"unknown class",
         [] {
             DescriptionWriter w;
             return w.Begin("TProbeForm", "Form1").Begin("TNoSuch", "X1").End().End().Bytes();
         }(),
         "Class TNoSuch not found"},
        {"unknown property", WithProbe([](DescriptionWriter& w) { w.Int("Nope", 1); }),
         "Error reading Probe1.Nope: Property Nope does not exist"},
        {"value of another kind", WithProbe([](DescriptionWriter& w) { w.Str("Count", "1"); }),
         "Error reading Probe1.Count: Property Count cannot take a string"},
        {"unknown enumeration value",
         WithProbe([](DescriptionWriter& w) { w.Ident("Mode", "Sideways"); }),
         "Error reading Probe1.Mode: Invalid property value Sideways"},
        {"neither True nor False", WithProbe([](DescriptionWriter& w) { w.Ident("Flag", "Yes"); }),
         "Error reading Probe1.Flag: Invalid property value Yes"},
        {"unknown colour name",
         [] {
             DescriptionWriter w;
             return w.Begin("TProbeForm", "Form1").Ident("Color", "colorPlaid").End().Bytes();
         }(),
         "Error reading Form1.Color: Invalid property value colorPlaid"},
        {"unknown handler", WithProbe([](DescriptionWriter& w) { w.Ident("OnPing", "Missing"); }),
         "Error reading Probe1.OnPing: TProbeForm has no handler Missing"},
        {"handler of another shape",
         WithProbe([](DescriptionWriter& w) { w.Ident("OnPing", "Clicked"); }),
         "Error reading Probe1.OnPing: Handler Clicked does not fit event OnPing"},
        {"reference to nobody", WithProbe([](DescriptionWriter& w) { w.Ident("Buddy", "Nobody"); }),
         "Error reading Probe1.Buddy: No component named Nobody"},
        {"binary data nobody reads",
         WithProbe([](DescriptionWriter& w) { w.Binary("Title", "x"); }),
         "Error reading Probe1.Title: Property Title does not exist"},
        {"object property without object",
         WithProbe([](DescriptionWriter& w) { w.Int("Buddy.Count", 1); }),
         "Error reading Probe1.Buddy.Count: Property Buddy holds no object"},
        {"unknown value tag", WithProbe([](DescriptionWriter& w) { w.Raw("Count", 9, ""); }),
         "Invalid window description: unknown value tag 9"},
        {"list longer than the data", WithProbe([](DescriptionWriter& w) {
             w.Raw("Items", 5, DescriptionWriter::Le(1000, 4) + DescriptionWriter::Long("a"));
         }),
         "Invalid window description: a list item runs past the end"},
        {"control in a non-visual component",
         [] {
             DescriptionWriter w;
             return w.Begin("TProbeForm", "Form1")
                 .Begin("TProbe", "Probe1")
                 .Begin("TLabel", "Label1")
                 .End()
                 .End()
                 .End()
                 .Bytes();
         }(),
         "Probe1 cannot hold the control Label1"},
        {"two components of one name",
         [] {
             DescriptionWriter w;
             return w.Begin("TProbeForm", "Form1")
                 .Begin("TProbe", "Probe1")
                 .End()
                 .Begin("TProbe", "probe1")
                 .End()
                 .End()
                 .Bytes();
         }(),
         "Error reading probe1: A component named probe1 already exists"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TProbeForm target(nullptr);
        try {
            LoadFormDescription(target, c.description);
            ADD_FAILURE() << "loaded";
        } catch (const EFilerError& error) {
            EXPECT_EQ(error.Message(), c.message);
        }
    }
}

} // namespace
} // namespace kq
