#include "setup/form1.h"

#include "base/class_registry.h"
#include "base/format.h"
#include "forms/form_loader.h"
#include "resources/resources.h"

#include <tuple>

namespace kq {

namespace {

void ReadTranslationData(TTranslator& translator, std::string_view block) {
    translator.ReadTranslationData(block);
}

void RegisterAll() {
    RegisterFormsClasses();
    RegisterClass<TZipExtractor>();
    RegisterClass<TTranslator>();
    RegisterClass<TLangDispatcher>();
    RegisterBinaryProperty<TTranslator>("TranslationData", &ReadTranslationData);
    // The extraction component's events that the window's handlers serve.
    RegisterEvent<TZipExtractor>("OnTotalPercentDone", &TZipExtractor::OnTotalPercentDone);
    RegisterEvent<TZipExtractor>("OnStartUnZip", &TZipExtractor::OnStartUnZip);
    RegisterEvent<TZipExtractor>("OnEndUnZip", &TZipExtractor::OnEndUnZip);
    RegisterEvent<TZipExtractor>("OnSkippingFile", &TZipExtractor::OnSkippingFile);
    RegisterEvent<TZipExtractor>("OnBadCRC", &TZipExtractor::OnBadCRC);
}

// A field of the window that holds a component, and the component's name in the description.
template <class T>
struct Slot {
    const char* name;
    T* TForm1::*member;
};
// (Spelled out for compilers that do not deduce an aggregate's arguments.)
template <class T>
Slot(const char*, T* TForm1::*) -> Slot<T>;

// The component of that name and class; EComponentError when the description lacks it.
template <class T>
void Find(const TForm& form, T*& field, const char* name) {
    field = dynamic_cast<T*>(form.FindComponent(name));
    if (field == nullptr) {
        throw EComponentError(
            Format("%s has no %s named %s", {form.Name(), T::StaticClassInfo().Name(), name}));
    }
}

// Each field of the window and the name of its component in the description, page by page.
constexpr std::tuple kPageControl{Slot{"PageControl1", &TForm1::PageControl1}};
constexpr std::tuple kWelcomePage{Slot{"TabSheet1", &TForm1::TabSheet1},
                                  Slot{"Image1", &TForm1::Image1},
                                  Slot{"LabelWelcome", &TForm1::LabelWelcome},
                                  Slot{"LabelCompanyAll1", &TForm1::LabelCompanyAll1},
                                  Slot{"LabelCompanyAll2", &TForm1::LabelCompanyAll2},
                                  Slot{"ButtonPrior1", &TForm1::ButtonPrior1},
                                  Slot{"ButtonNext1", &TForm1::ButtonNext1},
                                  Slot{"ButtonCancel1", &TForm1::ButtonCancel1},
                                  Slot{"Memo1", &TForm1::Memo1}};
constexpr std::tuple kFolderPage{Slot{"TabSheet2", &TForm1::TabSheet2},
                                 Slot{"LabelDestFolder", &TForm1::LabelDestFolder},
                                 Slot{"Label4", &TForm1::Label4},
                                 Slot{"Panel2", &TForm1::Panel2},
                                 Slot{"ImageIco1", &TForm1::ImageIco1},
                                 Slot{"ImageDir", &TForm1::ImageDir},
                                 Slot{"LabelDir", &TForm1::LabelDir},
                                 Slot{"EditDir", &TForm1::EditDir},
                                 Slot{"ButtonChgDir", &TForm1::ButtonChgDir},
                                 Slot{"LabelInstallationGuides", &TForm1::LabelInstallationGuides},
                                 Slot{"Panel1", &TForm1::Panel1},
                                 Slot{"ButtonPrior2", &TForm1::ButtonPrior2},
                                 Slot{"ButtonNext2", &TForm1::ButtonNext2},
                                 Slot{"ButtonCancel2", &TForm1::ButtonCancel2}};
constexpr std::tuple kSummaryPage{
    Slot{"TabSheet3", &TForm1::TabSheet3},     Slot{"Label5", &TForm1::Label5},
    Slot{"Label6", &TForm1::Label6},           Slot{"Panel3", &TForm1::Panel3},
    Slot{"ImageIco2", &TForm1::ImageIco2},     Slot{"Label7", &TForm1::Label7},
    Slot{"Label8", &TForm1::Label8},           Slot{"MemoInfo", &TForm1::MemoInfo},
    Slot{"Panel4", &TForm1::Panel4},           Slot{"ButtonPrior3", &TForm1::ButtonPrior3},
    Slot{"ButtonNext3", &TForm1::ButtonNext3}, Slot{"ButtonCancel3", &TForm1::ButtonCancel3}};
constexpr std::tuple kInstallingPage{Slot{"TabSheet4", &TForm1::TabSheet4},
                                     Slot{"Labelinstall", &TForm1::Labelinstall},
                                     Slot{"Label10", &TForm1::Label10},
                                     Slot{"Panel5", &TForm1::Panel5},
                                     Slot{"ImageIco3", &TForm1::ImageIco3},
                                     Slot{"MemoInstall", &TForm1::MemoInstall},
                                     Slot{"Label11", &TForm1::Label11},
                                     Slot{"LabelInstall2", &TForm1::LabelInstall2},
                                     Slot{"ProgressBar1", &TForm1::ProgressBar1},
                                     Slot{"Panel6", &TForm1::Panel6},
                                     Slot{"ButtonPrior4", &TForm1::ButtonPrior4},
                                     Slot{"ButtonNext4", &TForm1::ButtonNext4},
                                     Slot{"ButtonCancel4", &TForm1::ButtonCancel4}};
constexpr std::tuple kFinishedPage{
    Slot{"TabSheet5", &TForm1::TabSheet5}, Slot{"Image2", &TForm1::Image2},
    Slot{"Label9", &TForm1::Label9},       Slot{"Memo2", &TForm1::Memo2},
    Slot{"CheckBox1", &TForm1::CheckBox1}, Slot{"ButtonFinish", &TForm1::ButtonFinish}};
constexpr std::tuple kComponents{Slot{"ZipExtractor1", &TForm1::ZipExtractor1},
                                 Slot{"Translator1", &TForm1::Translator1},
                                 Slot{"LangDispatcher1", &TForm1::LangDispatcher1}};

// Every slot's component.
template <class... Slots>
void FindAll(TForm1& form, const std::tuple<Slots...>& slots) {
    std::apply([&form](const auto&... slot) { (Find(form, form.*slot.member, slot.name), ...); },
               slots);
}

} // namespace

void RegisterWizardClasses() {
    static const bool registered = (RegisterAll(), true);
    (void)registered;
}

const TClassInfo& TForm1::StaticClassInfo() {
    static const TClassInfo info("TForm1", &TForm::StaticClassInfo());
    return info;
}

TForm1::TForm1(TComponent* owner) : TForm1(owner, resources::Form1Window()) {}

TForm1::TForm1(TComponent* owner, std::string_view description) : TForm(owner) {
    RegisterWizardClasses();
    LoadFormDescription(*this, description);
    FindComponents();
    installation_ = std::make_unique<TInstallation>(*ZipExtractor1, *Translator1);
}

const TMethodTable& TForm1::Methods() const {
    static const TMethodTable methods =
        TMethodTable()
            .Method("FormCreate", &TForm1::FormCreate)
            .Method("ButtonNext1Click", &TForm1::ButtonNext1Click)
            .Method("ButtonCancel1Click", &TForm1::ButtonCancel1Click)
            .Method("ButtonPrior2Click", &TForm1::ButtonPrior2Click)
            .Method("ButtonChgDirClick", &TForm1::ButtonChgDirClick)
            .Method("ButtonNext2Click", &TForm1::ButtonNext2Click)
            .Method("ButtonPrior3Click", &TForm1::ButtonPrior3Click)
            .Method("ButtonNext3Click", &TForm1::ButtonNext3Click)
            .Method("ButtonCancel2Click", &TForm1::ButtonCancel2Click)
            .Method("ButtonFinishClick", &TForm1::ButtonFinishClick)
            .Method("ZipExtractor1TotalPercentDone", &TForm1::ZipExtractor1TotalPercentDone)
            .Method("ZipExtractor1StartUnZip", &TForm1::ZipExtractor1StartUnZip)
            .Method("ZipExtractor1EndUnZip", &TForm1::ZipExtractor1EndUnZip)
            .Method("ZipExtractor1SkippingFile", &TForm1::ZipExtractor1SkippingFile)
            .Method("ZipExtractor1BadCRC", &TForm1::ZipExtractor1BadCRC);
    return methods;
}

// In the description's order, so that of several missing components the first is named.
void TForm1::FindComponents() {
    FindAll(*this, kPageControl);
    FindAll(*this, kWelcomePage);
    FindAll(*this, kFolderPage);
    FindAll(*this, kSummaryPage);
    FindAll(*this, kInstallingPage);
    FindAll(*this, kFinishedPage);
    FindAll(*this, kComponents);
}

} // namespace kq
