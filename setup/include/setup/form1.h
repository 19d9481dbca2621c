// TForm1: the wizard window. Its layout, texts and settings are the stored window description
// (setup/resources/form1_window.txt), loaded when the window is made; its handlers, named after
// the component and event they serve, are in form1_handlers.cpp.
#pragma once

#include "base/format.h"
#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/edit.h"
#include "forms/form.h"
#include "forms/image.h"
#include "forms/label.h"
#include "forms/page_control.h"
#include "forms/panel.h"
#include "forms/progress_bar.h"
#include "lang/lang_dispatcher.h"
#include "lang/translator.h"
#include "platform/messages.h"
#include "setup/installation.h"
#include "setup/setup_log.h"
#include "unzip/zip_extractor.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

namespace kq {

// The chosen folder cannot be made (ButtonNext2Click).
class EFolderNotMade : public Exception {
public:
    using Exception::Exception;
};

// The installation does not fit in the destination's free space (ButtonNext3Click).
class ENotEnoughSpace : public Exception {
public:
    using Exception::Exception;
};

class TForm1 : public TForm, private TInstallReporter {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    // Loads the stored description; OnCreate (FormCreate) is fired by whoever makes the window
    // (Application().CreateForm), once it is whole.
    explicit TForm1(TComponent* owner);
    // Loads another description instead, for tests of the loading itself.
    TForm1(TComponent* owner, std::string_view description);

    const TMethodTable& Methods() const override;

    // --- The handlers ---
    void FormCreate(TObject* sender);
    void ButtonNext1Click(TObject* sender);
    void ButtonCancel1Click(TObject* sender);
    void ButtonPrior2Click(TObject* sender);
    void ButtonChgDirClick(TObject* sender);
    void ButtonNext2Click(TObject* sender);
    void ButtonPrior3Click(TObject* sender);
    void ButtonNext3Click(TObject* sender);
    void ButtonCancel2Click(TObject* sender);
    void ButtonFinishClick(TObject* sender);
    void ZipExtractor1TotalPercentDone(TObject* sender, int percent);
    void ZipExtractor1StartUnZip(TObject* sender, int fileIndex, AnsiString& fileName, bool& skip);
    void ZipExtractor1EndUnZip(TObject* sender, int fileIndex, const AnsiString& fileName);
    void ZipExtractor1SkippingFile(TObject* sender, TSkipReason reason, const AnsiString& fileName,
                                   int fileIndex, bool& retry);
    void ZipExtractor1BadCRC(TObject* sender, std::uint32_t calcCrc, std::uint32_t storedCrc,
                             int fileIndex);

    // --- Runs started by Setup.exe's switches; the window alone leaves both unset ---
    // Where each step and each file is logged, with the error texts; null for no log. Not owned.
    void SetInstallLog(TSetupLog* log) { installLog_ = log; }
    // No message box (SayAlreadyRunning).
    void SetUnattended(bool unattended) { unattended_ = unattended; }

    // --- A Setup started while another one runs; FormCreate is not run, nothing is written ---
    // Says that Setup of the product is already running, in the language of the code page: in
    // the install log, when there is one, and in a box with the wizard's caption unless
    // unattended.
    void SayAlreadyRunning();

    // --- The components, found by name once the description is loaded ---
    TPageControl* PageControl1 = nullptr;

    TTabSheet* TabSheet1 = nullptr;
    TImage* Image1 = nullptr;
    TLabel* LabelWelcome = nullptr;
    TLabel* LabelCompanyAll1 = nullptr;
    TLabel* LabelCompanyAll2 = nullptr;
    TButton* ButtonPrior1 = nullptr;
    TButton* ButtonNext1 = nullptr;
    TButton* ButtonCancel1 = nullptr;
    TMemo* Memo1 = nullptr;

    TTabSheet* TabSheet2 = nullptr;
    TLabel* LabelDestFolder = nullptr;
    TLabel* Label4 = nullptr;
    TPanel* Panel2 = nullptr;
    TImage* ImageIco1 = nullptr;
    TImage* ImageDir = nullptr;
    TLabel* LabelDir = nullptr;
    TEdit* EditDir = nullptr;
    TButton* ButtonChgDir = nullptr;
    TLabel* LabelInstallationGuides = nullptr;
    TPanel* Panel1 = nullptr;
    TButton* ButtonPrior2 = nullptr;
    TButton* ButtonNext2 = nullptr;
    TButton* ButtonCancel2 = nullptr;

    TTabSheet* TabSheet3 = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label6 = nullptr;
    TPanel* Panel3 = nullptr;
    TImage* ImageIco2 = nullptr;
    TLabel* Label7 = nullptr;
    TLabel* Label8 = nullptr;
    TMemo* MemoInfo = nullptr;
    TPanel* Panel4 = nullptr;
    TButton* ButtonPrior3 = nullptr;
    TButton* ButtonNext3 = nullptr;
    TButton* ButtonCancel3 = nullptr;

    TTabSheet* TabSheet4 = nullptr;
    TLabel* Labelinstall = nullptr;
    TLabel* Label10 = nullptr;
    TPanel* Panel5 = nullptr;
    TImage* ImageIco3 = nullptr;
    TMemo* MemoInstall = nullptr;
    TLabel* Label11 = nullptr;
    TLabel* LabelInstall2 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    TPanel* Panel6 = nullptr;
    TButton* ButtonPrior4 = nullptr;
    TButton* ButtonNext4 = nullptr;
    TButton* ButtonCancel4 = nullptr;

    TTabSheet* TabSheet5 = nullptr;
    TImage* Image2 = nullptr;
    TLabel* Label9 = nullptr;
    TMemo* Memo2 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TButton* ButtonFinish = nullptr;

    TZipExtractor* ZipExtractor1 = nullptr;
    TTranslator* Translator1 = nullptr;
    TLangDispatcher* LangDispatcher1 = nullptr;

private:
    void FindComponents();
    // A line of the install log, when there is one.
    void LogLine(const AnsiString& text);
    // The language of the code page made active (start-up's first step).
    void ChooseLanguage();

    // --- What the installation tells a person, shown in the window ---
    void Status(const AnsiString& text) override;
    void Progress(int percent) override;
    void ExtractionEnded() override;
    bool AskRetry(const AnsiString& message) override;
    void ArchiveDamaged(const AnsiString& message) override;
    void NotMade(const AnsiString& message) override;
    void Log(const AnsiString& line) override { LogLine(line); }
    bool Logging() const override { return installLog_ != nullptr; }

    // Shows the status line of the file being installed, when it is not shown yet: at once, or
    // when the pacer allows.
    void ShowStatus();
    void ShowStatusWhenDue();

    // The installation that Install runs; the extraction's handlers forward to it.
    std::unique_ptr<TInstallation> installation_;
    // The status line of the file being installed. A label redraws itself as soon as its text
    // changes, which costs more than installing a small file: while files follow each other
    // quickly, the label takes the latest status every 50 ms, and always before a question and
    // when the installation ends.
    AnsiString status_;
    TRedrawPacer statusPacer_{50};
    TSetupLog* installLog_ = nullptr;
    bool unattended_ = false;
};

// Registers the classes, events and stored data the wizard window's description names. Safe to
// call more than once; the window's constructor calls it.
void RegisterWizardClasses();

} // namespace kq
