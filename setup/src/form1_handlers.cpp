// The handlers of the wizard window, each named after the component and the event it serves.
#include "base/format.h"
#include "forms/application.h"
#include "platform/codepage.h"
#include "setup/folders.h"
#include "setup/form1.h"

namespace kq {

namespace {

// The product's name is the company's, from the table, followed by this suffix.
constexpr const char* kProductSuffix = "Qyn";

// Six line breaks between the two parts of the welcome text.
constexpr const char* kWelcomeGap = "\r\n\r\n\r\n\r\n\r\n\r\n";

int LanguageOfCodePage(std::uint32_t codePage) {
    switch (codePage) {
    case 936:
        return 1;
    case 950:
        return 2;
    default:
        return 3;
    }
}

} // namespace

// Start-up: the language from the code page, then every text that names the product, composed
// from the table's named strings in that language. Nothing here names a page other than the
// first.
void TForm1::FormCreate(TObject*) {
    LangDispatcher1->SetActiveLanguage(LanguageOfCodePage(GetACP()));
    PageControl1->SetActivePageIndex(0);

    Image2->Picture()->Assign(Image1->Picture());
    ImageIco2->Picture()->Assign(ImageIco1->Picture());
    ImageIco3->Picture()->Assign(ImageIco1->Picture());

    const auto lookup = [this](std::string_view name) { return Translator1->LookupString(name); };
    const AnsiString product = lookup("sCompany") + kProductSuffix;

    Application().SetTitle(product + lookup("sSetup"));
    SetCaption(product + " " + LabelInstallationGuides->Caption());
    LabelWelcome->SetCaption(Format(LabelWelcome->Caption(), {product}));
    Memo1->SetText(Format(lookup("sWill1"), {product}) + kWelcomeGap + lookup("sWill2"));
    LabelCompanyAll1->SetCaption(lookup("sCompanyAll1"));
    LabelCompanyAll2->SetCaption(lookup("sCompanyAll2"));
    LabelDir->SetCaption(Format(lookup("sDestFolder"), {product}));
    Memo2->SetText(Format(lookup("sFinish1"), {product}));
    Labelinstall->SetCaption(Labelinstall->Caption() + product);
    MemoInstall->SetText(Format(lookup("sInstalling"), {product}));
    EditDir->SetText(GetProgramFilesDir() + product + "\\");
}

// The page flow, the folder check, the installation and the finish are the wizard's logic,
// which these handlers receive with it; until then they leave the window and the extraction as
// they are.
void TForm1::ButtonNext1Click(TObject*) {}
void TForm1::ButtonCancel1Click(TObject*) {}
void TForm1::ButtonPrior2Click(TObject*) {}
void TForm1::ButtonChgDirClick(TObject*) {}
void TForm1::ButtonNext2Click(TObject*) {}
void TForm1::ButtonPrior3Click(TObject*) {}
void TForm1::ButtonNext3Click(TObject*) {}
void TForm1::ButtonCancel2Click(TObject*) {}
void TForm1::ButtonFinishClick(TObject*) {}
void TForm1::ZipExtractor1TotalPercentDone(TObject*, int) {}
void TForm1::ZipExtractor1StartUnZip(TObject*, int, AnsiString&, bool&) {}
void TForm1::ZipExtractor1EndUnZip(TObject*, int, const AnsiString&) {}
void TForm1::ZipExtractor1SkippingFile(TObject*, TSkipReason, const AnsiString&, int, bool&) {}

} // namespace kq
