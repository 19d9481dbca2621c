// The handlers of the wizard window, each named after the component and the event it serves.
#include "base/exceptions.h"
#include "base/format.h"
#include "forms/application.h"
#include "forms/dialogs.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "setup/archive_password.h"
#include "setup/folders.h"
#include "setup/form1.h"
#include "setup/uconst.h"

namespace kq {

namespace {

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
    ChooseLanguage();
    PageControl1->SetActivePageIndex(0);

    Image2->Picture()->Assign(Image1->Picture());
    ImageIco2->Picture()->Assign(ImageIco1->Picture());
    ImageIco3->Picture()->Assign(ImageIco1->Picture());

    const auto lookup = [this](std::string_view name) { return Translator1->LookupString(name); };
    const AnsiString product = lookup("sCompany") + uconst::kProductSuffix;
    const auto named = [this, &lookup, &product](std::string_view name) {
        return ComposeText(*Translator1, lookup(name), stStrings, name, {product});
    };

    Application().SetTitle(product + lookup("sSetup"));
    SetCaption(product + " " + LabelInstallationGuides->Caption());
    LabelWelcome->SetCaption(ComposeText(*Translator1, LabelWelcome->Caption(), stCaptions,
                                         LabelWelcome->Name(), {product}));
    Memo1->SetText(named("sWill1") + kWelcomeGap + lookup("sWill2"));
    LabelCompanyAll1->SetCaption(lookup("sCompanyAll1"));
    LabelCompanyAll2->SetCaption(lookup("sCompanyAll2"));
    LabelDir->SetCaption(named("sDestFolder"));
    Memo2->SetText(named("sFinish1"));
    Labelinstall->SetCaption(Labelinstall->Caption() + product);
    MemoInstall->SetText(named("sInstalling"));
    EditDir->SetText(GetProgramFilesDir() + product + "\\");

    // The folder of the last installation, when there was one. The key is created here, so it
    // exists after the first start even if the user cancels; any failure keeps the default.
    try {
        RegKey key;
        if (key.Create(uconst::kRegistryKey)) {
            RegistryValue value;
            if (key.QueryValue(uconst::kInstallPathValue, value) &&
                (value.type == reg::Sz || value.type == reg::ExpandSz)) {
                EditDir->SetText(value.data);
            }
        }
    } catch (...) {
    }
}

void TForm1::ChooseLanguage() {
    LangDispatcher1->SetActiveLanguage(LanguageOfCodePage(GetACP()));
}

// The caption is the application title that start-up would set. A translation file made before
// this string existed lacks it.
void TForm1::SayAlreadyRunning() {
    ChooseLanguage();
    const AnsiString product = ProductName(*Translator1);
    const AnsiString text = ComposeText(*Translator1, NamedText(*Translator1, "sAlreadyRunning"),
                                        stStrings, "sAlreadyRunning", {product});
    LogLine(text);
    if (!unattended_) {
        (void)MessageBox(text, product + Translator1->LookupString("sSetup"),
                         mb::Ok | mb::IconInformation);
    }
}

// Navigation is relative: each button moves one page from the one shown.
void TForm1::ButtonNext1Click(TObject*) {
    PageControl1->SetActivePageIndex(PageControl1->ActivePageIndex() + 1);
}

void TForm1::ButtonCancel1Click(TObject*) {
    ExitProcess(0);
}

void TForm1::ButtonPrior2Click(TObject*) {
    PageControl1->SetActivePageIndex(PageControl1->ActivePageIndex() - 1);
}

// The product always gets its own sub-folder of the chosen one.
void TForm1::ButtonChgDirClick(TObject*) {
    AnsiString dir;
    if (BrowseForFolder(Translator1->LookupString("sBrowse"), std::wstring(), dir)) {
        EditDir->SetText(dir + ProductName(*Translator1) + "\\");
    }
}

// The folder is made here, before anything is installed; the summary is built from it.
void TForm1::ButtonNext2Click(TObject*) {
    AnsiString folder = EditDir->Text();
    const bool made = MakeInstallFolder(folder);
    if (!folder.empty()) {
        EditDir->SetText(folder);
    }
    if (!made) {
        const AnsiString message = Translator1->LookupString("sChooseCorrectFolder");
        LogLine(message + " " + folder);
        throw EFolderNotMade(message);
    }
    LogLine(LabelDestFolder->Caption() + " " + folder);

    const auto lookup = [this](std::string_view name) { return Translator1->LookupString(name); };
    MemoInfo->SetText(lookup("sSetupType") + "\r\n\r\n    " + lookup("sNormal") + "\r\n\r\n" +
                      LabelDestFolder->Caption() + "\r\n\r\n    " + EditDir->Text() + "\r\n\r\n");
    PageControl1->SetActivePageIndex(PageControl1->ActivePageIndex() + 1);
}

void TForm1::ButtonPrior3Click(TObject*) {
    PageControl1->SetActivePageIndex(PageControl1->ActivePageIndex() - 1);
}

// The installation: the archive beside this program into the chosen folder, then the
// shortcuts, the folder in the registry and the last page. An error ends the run where it happens
// (the error box shows it) and leaves the installing page shown, where only Cancel and the close
// box remain; so does a damaged archive, once every entry has been tried, with one box naming its
// bad files. An installation that cannot fit goes back to the summary, nothing written.
void TForm1::ButtonNext3Click(TObject*) {
    status_.clear();
    LabelInstall2->SetCaption("");
    PageControl1->SetActivePageIndex(PageControl1->ActivePageIndex() + 1);
    Application().ProcessMessages();

    const TInstallRequest request{SetupArchivePath(), ArchivePassword(), EditDir->Text()};
    const TInstallOutcome outcome = installation_->Run(request, *this);
    switch (outcome.result) {
    case TInstallResult::Installed:
        LogLine(Label9->Caption());
        PageControl1->SetActivePageIndex(PageControl1->ActivePageIndex() + 1);
        return;
    case TInstallResult::NotEnoughSpace:
        PageControl1->SetActivePageIndex(PageControl1->ActivePageIndex() - 1);
        throw ENotEnoughSpace(outcome.message);
    case TInstallResult::Damaged:
        // Its box has been shown: the run ends silently, as after an error.
        throw EAbort(outcome.message);
    case TInstallResult::Cancelled:
        ExitProcess(0);
    case TInstallResult::ArchiveFailed:
        std::rethrow_exception(outcome.error);
    }
}

void TForm1::LogLine(const AnsiString& text) {
    if (installLog_ != nullptr) {
        (void)installLog_->Line(text);
    }
}

// Nothing is rolled back: files already extracted and the folder stay.
void TForm1::ButtonCancel2Click(TObject*) {
    ShowStatus();
    const AnsiString message =
        Translator1->LookupString("sCanelSetup") + ProductName(*Translator1) + " ?";
    if (MessageDialog(message, TDialogKind::Confirmation,
                      {TDialogButton::Yes, TDialogButton::No}) ==
        DialogButtonResult(TDialogButton::Yes)) {
        ExitProcess(0);
    }
}

// A program that fails to start is not reported.
void TForm1::ButtonFinishClick(TObject*) {
    if (CheckBox1->Checked()) {
        (void)RunProgram(EditDir->Text() + uconst::kProgramExe);
    }
    Close();
}

// The extraction's events go to the installation, which tells this window what to show.
void TForm1::ZipExtractor1TotalPercentDone(TObject*, int percent) {
    installation_->TotalPercentDone(percent);
}

// The wizard never skips a file.
void TForm1::ZipExtractor1StartUnZip(TObject*, int, AnsiString& fileName, bool&) {
    installation_->StartUnZip(fileName);
}

void TForm1::ZipExtractor1EndUnZip(TObject*, int fileIndex, const AnsiString& fileName) {
    installation_->EndUnZip(fileIndex, fileName);
}

void TForm1::ZipExtractor1SkippingFile(TObject*, TSkipReason reason, const AnsiString& fileName,
                                       int fileIndex, bool& retry) {
    installation_->SkippingFile(reason, fileName, fileIndex, retry);
}

void TForm1::ZipExtractor1BadCRC(TObject*, std::uint32_t, std::uint32_t, int fileIndex) {
    installation_->BadCRC(fileIndex);
}

void TForm1::Status(const AnsiString& text) {
    status_ = text;
    ShowStatusWhenDue();
}

// A large file keeps the status line of its own.
void TForm1::Progress(int percent) {
    ShowStatusWhenDue();
    ProgressBar1->SetPosition(percent);
}

void TForm1::ExtractionEnded() {
    ShowStatus();
}

void TForm1::ShowStatus() {
    if (!status_.empty() && LabelInstall2->Caption() != status_) {
        LabelInstall2->SetCaption(status_);
    }
}

void TForm1::ShowStatusWhenDue() {
    if (!status_.empty() && LabelInstall2->Caption() != status_ && statusPacer_.Due()) {
        LabelInstall2->SetCaption(status_);
    }
}

bool TForm1::AskRetry(const AnsiString& message) {
    ShowStatus();
    return MessageDialog(message, TDialogKind::Confirmation,
                         {TDialogButton::Yes, TDialogButton::No}) ==
           DialogButtonResult(TDialogButton::Yes);
}

// It is the error box's kind, caption and button, shown here because the error box would add a
// full stop to the last file name.
void TForm1::ArchiveDamaged(const AnsiString& message) {
    (void)MessageBox(message, Application().Title(), mb::Ok | mb::IconError);
}

void TForm1::NotMade(const AnsiString& message) {
    (void)MessageBox(message, Application().Title(), mb::Ok | mb::IconWarning);
}

} // namespace kq
