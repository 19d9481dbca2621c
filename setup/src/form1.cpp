#include "setup/form1.h"

#include "base/class_registry.h"
#include "base/format.h"
#include "forms/form_loader.h"
#include "resources/resources.h"

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

// The component of that name and class; EComponentError when the description lacks it.
template <class T>
void Find(const TForm& form, T*& field, const char* name) {
    field = dynamic_cast<T*>(form.FindComponent(name));
    if (field == nullptr)
        throw EComponentError(
            Format("%s has no %s named %s", {form.Name(), T::StaticClassInfo().Name(), name}));
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

void TForm1::FindComponents() {
    Find(*this, PageControl1, "PageControl1");

    Find(*this, TabSheet1, "TabSheet1");
    Find(*this, Image1, "Image1");
    Find(*this, LabelWelcome, "LabelWelcome");
    Find(*this, LabelCompanyAll1, "LabelCompanyAll1");
    Find(*this, LabelCompanyAll2, "LabelCompanyAll2");
    Find(*this, ButtonPrior1, "ButtonPrior1");
    Find(*this, ButtonNext1, "ButtonNext1");
    Find(*this, ButtonCancel1, "ButtonCancel1");
    Find(*this, Memo1, "Memo1");

    Find(*this, TabSheet2, "TabSheet2");
    Find(*this, LabelDestFolder, "LabelDestFolder");
    Find(*this, Label4, "Label4");
    Find(*this, Panel2, "Panel2");
    Find(*this, ImageIco1, "ImageIco1");
    Find(*this, ImageDir, "ImageDir");
    Find(*this, LabelDir, "LabelDir");
    Find(*this, EditDir, "EditDir");
    Find(*this, ButtonChgDir, "ButtonChgDir");
    Find(*this, LabelInstallationGuides, "LabelInstallationGuides");
    Find(*this, Panel1, "Panel1");
    Find(*this, ButtonPrior2, "ButtonPrior2");
    Find(*this, ButtonNext2, "ButtonNext2");
    Find(*this, ButtonCancel2, "ButtonCancel2");

    Find(*this, TabSheet3, "TabSheet3");
    Find(*this, Label5, "Label5");
    Find(*this, Label6, "Label6");
    Find(*this, Panel3, "Panel3");
    Find(*this, ImageIco2, "ImageIco2");
    Find(*this, Label7, "Label7");
    Find(*this, Label8, "Label8");
    Find(*this, MemoInfo, "MemoInfo");
    Find(*this, Panel4, "Panel4");
    Find(*this, ButtonPrior3, "ButtonPrior3");
    Find(*this, ButtonNext3, "ButtonNext3");
    Find(*this, ButtonCancel3, "ButtonCancel3");

    Find(*this, TabSheet4, "TabSheet4");
    Find(*this, Labelinstall, "Labelinstall");
    Find(*this, Label10, "Label10");
    Find(*this, Panel5, "Panel5");
    Find(*this, ImageIco3, "ImageIco3");
    Find(*this, MemoInstall, "MemoInstall");
    Find(*this, Label11, "Label11");
    Find(*this, LabelInstall2, "LabelInstall2");
    Find(*this, ProgressBar1, "ProgressBar1");
    Find(*this, Panel6, "Panel6");
    Find(*this, ButtonPrior4, "ButtonPrior4");
    Find(*this, ButtonNext4, "ButtonNext4");
    Find(*this, ButtonCancel4, "ButtonCancel4");

    Find(*this, TabSheet5, "TabSheet5");
    Find(*this, Image2, "Image2");
    Find(*this, Label9, "Label9");
    Find(*this, Memo2, "Memo2");
    Find(*this, CheckBox1, "CheckBox1");
    Find(*this, ButtonFinish, "ButtonFinish");

    Find(*this, ZipExtractor1, "ZipExtractor1");
    Find(*this, Translator1, "Translator1");
    Find(*this, LangDispatcher1, "LangDispatcher1");
}

} // namespace kq
