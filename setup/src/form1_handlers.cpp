// The handlers of the wizard window, each named after the component and the event it serves.
#include "base/exceptions.h"
#include "base/format.h"
#include "base/scope_exit.h"
#include "forms/application.h"
#include "forms/dialogs.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/volumes.h"
#include "resources/version.h"
#include "setup/archive_password.h"
#include "setup/folders.h"
#include "setup/form1.h"
#include "setup/shortcuts.h"
#include "setup/uconst.h"
#include "setup/uninstall_entry.h"
#include "unzip/dos_date_time.h"

#include <cstdio>

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

// The files that get a shortcut of their own when the archive installed them, with the title
// their named string is formatted with.
struct ExtraFile {
    const char* fileName; // relative to the destination folder
    const char* title;
    const char* namePattern;
};
constexpr ExtraFile kExtraFiles[] = {
    {"Qyn.doc", "Qyn", "sFile0"},
    {"UnInstall.exe", "Qyn", "sFile1"},
};

// A file's last-write time as a signed local DOS date-time, -1 for a folder or a missing file.
std::int32_t FileStamp(const AnsiString& path) {
    const std::int64_t stamp = GetPlainFileDosDateTime(path);
    return stamp < 0 ? -1 : static_cast<std::int32_t>(static_cast<std::uint32_t>(stamp));
}

// What the archive's entries take once extracted. Reads the catalogue (an archive that is missing
// or damaged raises here, as UnZip would).
std::uint64_t UncompressedTotal(TZipExtractor& zip) {
    zip.OpenAndRefreshCatalogue();
    std::uint64_t total = 0;
    for (int i = 0; i < zip.Count(); ++i) {
        total += zip.Entry(i).UncompressedSize();
    }
    return total;
}

// How often the window is redrawn and answers while files are installed.
constexpr unsigned kPumpIntervalMs = 50;

// A size for people: KB (rounded up) below a megabyte, else MB with one decimal.
AnsiString SizeText(std::uint64_t bytes) {
    constexpr std::uint64_t kKB = 1024;
    constexpr std::uint64_t kMB = 1024 * 1024;
    char text[32];
    if (bytes < kMB) {
        std::snprintf(text, sizeof text, "%llu KB",
                      static_cast<unsigned long long>((bytes + kKB - 1) / kKB));
    } else {
        std::snprintf(text, sizeof text, "%.1f MB",
                      static_cast<double>((bytes * 10 + kMB / 2) / kMB) / 10);
    }
    return text;
}

} // namespace

// A translation file may hold a format whose directives do not fit the arguments composed into
// it (a stray %d, a second %s): the stored table's text for it serves instead, so that start-up
// always composes every text and the folder.
AnsiString TForm1::Compose(const AnsiString& text, TStringsType section, std::string_view name,
                           std::initializer_list<FormatArg> args) const {
    try {
        return Format(text, args);
    } catch (const EConvertError&) {
        return Format(Translator1->StoredText(section, name), args);
    }
}

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
        return Compose(lookup(name), stStrings, name, {product});
    };

    Application().SetTitle(product + lookup("sSetup"));
    SetCaption(product + " " + LabelInstallationGuides->Caption());
    LabelWelcome->SetCaption(
        Compose(LabelWelcome->Caption(), stCaptions, LabelWelcome->Name(), {product}));
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

// A translation file made before a string existed lacks it: the stored table's text serves.
AnsiString TForm1::NamedString(std::string_view name) const {
    const AnsiString text = Translator1->LookupString(name);
    return text.empty() ? Translator1->StoredText(stStrings, name) : text;
}

AnsiString TForm1::ProductName() const {
    return Translator1->LookupString("sCompany") + uconst::kProductSuffix;
}

void TForm1::ChooseLanguage() {
    LangDispatcher1->SetActiveLanguage(LanguageOfCodePage(GetACP()));
}

// The caption is the application title that start-up would set. A translation file made before
// this string existed lacks it.
void TForm1::SayAlreadyRunning() {
    ChooseLanguage();
    const AnsiString product = ProductName();
    AnsiString text = Translator1->LookupString("sAlreadyRunning");
    if (text.empty()) {
        text = Translator1->StoredText(stStrings, "sAlreadyRunning");
    }
    text = Compose(text, stStrings, "sAlreadyRunning", {product});
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
        EditDir->SetText(dir + ProductName() + "\\");
    }
}

// The folder is made here, before anything is installed; the summary is built from it.
void TForm1::ButtonNext2Click(TObject*) {
    AnsiString folder = EditDir->Text();
    if (!folder.empty()) {
        folder = IncludeTrailingBackslash(folder, static_cast<int>(GetACP()));
        EditDir->SetText(folder);
    }
    if (!CreateDirChain(folder)) {
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
// shortcuts, the folder in the registry and the last page. An error of the engine or of a
// shortcut ends the run where it happens (the error box shows it) and leaves page 3 shown; so
// does a damaged archive, once every entry has been tried, with one box naming its bad files.
void TForm1::ButtonNext3Click(TObject*) {
    try {
        InstallFromArchive();
    } catch (const std::exception& error) {
        LogLine(error.what());
        throw;
    }
}

void TForm1::InstallFromArchive() {
    status_.clear();
    damaged_.clear();
    LabelInstall2->SetCaption("");
    PageControl1->SetActivePageIndex(PageControl1->ActivePageIndex() + 1);
    Application().ProcessMessages();

    const AnsiString dest = EditDir->Text();
    ZipExtractor1->SetZipName(ExtractFilePath(GetModuleFileName(), static_cast<int>(GetACP())) +
                              uconst::kArchiveName);
    ZipExtractor1->SetPassword(ArchivePassword());
    ZipExtractor1->SetDestDir(dest);
    LogLine(ZipExtractor1->ZipName());
    // An installation that cannot fit does not start: back to the summary, nothing written.
    const std::uint64_t needed = UncompressedTotal(*ZipExtractor1);
    std::uint64_t free = 0;
    if (GetDiskFreeSpace(dest, free) && needed > free) {
        PageControl1->SetActivePageIndex(PageControl1->ActivePageIndex() - 1);
        throw ENotEnoughSpace(Compose(Translator1->LookupString("sDiskSpace"), stStrings,
                                      "sDiskSpace", {SizeText(needed), SizeText(free)}));
    }
    {
        // Whichever way the run ends, the window shows where it stopped and is drawn at every
        // turn again.
        ScopeExit pacing([this, previous = SetMessagePumpInterval(kPumpIntervalMs)] {
            SetMessagePumpInterval(previous);
            try {
                ShowStatus();
            } catch (...) {
            }
        });
        (void)ZipExtractor1->UnZip();
    }
    uninstallLog_.reset();
    // The good files stay installed and logged; without the damaged ones the product is not
    // whole, so it gets no shortcuts, no recorded folder and no finished page.
    if (!damaged_.empty()) {
        StopForDamagedFiles();
    }

    const AnsiString product = ProductName();
    const AnsiString program = dest + uconst::kProgramExe;
    // What could not be made, a line each: the files are installed all the same, so the user is
    // told and the finished page follows.
    AnsiString notMade;
    const ComApartment com; // the shell's link objects need it on this thread
    const auto shortcut = [this, &notMade](const AnsiString& target, const AnsiString& name,
                                           TShortcutFolder folder, const AnsiString& subFolder) {
        const bool made = CreateShortcut(target, name, folder, subFolder);
        LogLine(Format("Shortcut %s: %s", {name, made ? "made" : "failed"}));
        if (!made) {
            notMade += "\r\n" + name;
        }
    };
    shortcut(program, product, TShortcutFolder::sfPrograms, product);
    shortcut(program, product, TShortcutFolder::sfDesktop, AnsiString());
    for (const ExtraFile& extra : kExtraFiles) {
        const AnsiString name = Compose(Translator1->LookupString(extra.namePattern), stStrings,
                                        extra.namePattern, {extra.title});
        if (*extra.fileName != '\0' && FileExists(dest + extra.fileName)) {
            shortcut(dest + extra.fileName, name, TShortcutFolder::sfPrograms, product);
        }
    }

    bool recorded = false;
    try {
        RegKey key;
        if (key.Create(uconst::kRegistryKey)) {
            recorded = key.SetStringValue(uconst::kInstallPathValue, dest);
        }
    } catch (...) {
    }
    LogLine(Format("InstallPath: %s", {recorded ? "written" : "failed"}));
    if (!recorded) {
        notMade += AnsiString("\r\nHKEY_CURRENT_USER\\") + uconst::kRegistryKey +
                   uconst::kInstallPathValue;
    }
    if (FileExists(dest + uconst::kUninstallerExe)) {
        WriteAppsEntry(dest, needed);
    }
    if (!notMade.empty() && !unattended_) {
        (void)MessageBox(NamedString("sNotMade") + notMade, Application().Title(),
                         mb::Ok | mb::IconWarning);
    }
    LogLine(Label9->Caption());
    PageControl1->SetActivePageIndex(PageControl1->ActivePageIndex() + 1);
}

// Written like InstallPath: a registry that refuses it (no right to the machine's keys) does not
// undo the installation.
void TForm1::WriteAppsEntry(const AnsiString& dest, std::uint64_t installedBytes) {
    TUninstallEntry entry;
    entry.displayName = ProductName();
    entry.displayVersion = KQ_VERSION_TEXT;
    entry.publisher = Translator1->LookupString("sCompanyAll1");
    entry.folder = dest;
    entry.installedBytes = installedBytes;
    bool written = false;
    try {
        written = WriteUninstallEntry(entry);
    } catch (...) {
    }
    LogLine(Format("Apps & features entry: %s", {written ? "written" : "failed"}));
}

void TForm1::LogLine(const AnsiString& text) {
    if (installLog_ != nullptr) {
        (void)installLog_->Line(text);
    }
}

// Nothing is rolled back: files already extracted and the folder stay.
void TForm1::ButtonCancel2Click(TObject*) {
    ShowStatus();
    const AnsiString message = Translator1->LookupString("sCanelSetup") + ProductName() + " ?";
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

void TForm1::ZipExtractor1TotalPercentDone(TObject*, int percent) {
    // A large file keeps the status line of its own.
    ShowStatusWhenDue();
    ProgressBar1->SetPosition(percent);
}

// The wizard never skips a file.
void TForm1::ZipExtractor1StartUnZip(TObject*, int, AnsiString& fileName, bool&) {
    status_ = Translator1->LookupString("sCopying") + fileName;
    ShowStatusWhenDue();
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

// A file that cannot be opened or made: Yes tries again, anything else ends the program, with
// the files so far and their log entries left in place. An encrypted entry whose password check
// or CRC fails comes here as srBadPassword: the product's password is right, so its data is
// damaged. A file kept because it is not older than the entry (srNoOverwrite) is no fault.
void TForm1::ZipExtractor1SkippingFile(TObject*, TSkipReason reason, const AnsiString& fileName,
                                       int fileIndex, bool& retry) {
    if (reason == TSkipReason::srBadPassword) {
        NoteDamaged(fileIndex);
        return;
    }
    if (reason == TSkipReason::srNoOverwrite) {
        // A file kept under "if newer" that bears the entry's own time is the one an earlier run
        // installed, perhaps a run ended before it could log it: logged again, the run after an
        // interruption leaves the log that one whole run leaves.
        if (GetPlainFileDosDateTime(fileName) ==
            FixDosDateTime(ZipExtractor1->Entry(fileIndex).DateTime())) {
            LogInstalledFile(fileIndex, fileName);
        }
        return;
    }
    if (reason != TSkipReason::srFileOpenError && reason != TSkipReason::srCreateError) {
        return;
    }
    ShowStatus();
    LogLine(Translator1->LookupString("sCopyError") + " " + fileName);
    if (unattended_) {
        // Nobody can answer the retry question: unattended means No.
        ExitProcess(1);
    }
    const AnsiString message = Translator1->LookupString("sCopyError") + "\r\n" + fileName +
                               "\r\n" + Translator1->LookupString("sRetry");
    retry = MessageDialog(message, TDialogKind::Confirmation,
                          {TDialogButton::Yes, TDialogButton::No}) ==
            DialogButtonResult(TDialogButton::Yes);
    if (!retry) {
        ExitProcess(0);
    }
}

// An entry stored without encryption whose data does not match its CRC; the engine has removed
// what it wrote.
void TForm1::ZipExtractor1BadCRC(TObject*, std::uint32_t, std::uint32_t, int fileIndex) {
    NoteDamaged(fileIndex);
}

// Named by its path inside the archive: folders, a backslash between them, and the file name.
void TForm1::NoteDamaged(int fileIndex) {
    damaged_.push_back(ZipExtractor1->Pathname(fileIndex) + ZipExtractor1->Filename(fileIndex));
}

// One box for all the damaged files, after the run, each on a line of its own below the named
// string. It is the error box's kind, caption and button, shown here because the error box
// would add a full stop to the last file name. The installation then ends as after an error of
// the engine: page 3 stays, where only Cancel and the close box remain.
void TForm1::StopForDamagedFiles() {
    AnsiString message = NamedString("sArchiveDamaged");
    for (const AnsiString& name : damaged_) {
        message += "\r\n" + name;
    }
    if (!unattended_) {
        (void)MessageBox(message, Application().Title(), mb::Ok | mb::IconError);
    }
    throw EAbort(message);
}

// Two keys per extracted file: where it was written, relative to the destination folder, and
// the stamp it has on disk. The engine keeps every file inside the destination, making names
// such as "..\x" or "C:\x" safe; the log names the file it made, not the stored name, so that
// an uninstaller following the log never reaches outside the destination.
void TForm1::ZipExtractor1EndUnZip(TObject*, int fileIndex, const AnsiString& fileName) {
    LogInstalledFile(fileIndex, fileName);
    if (installLog_ != nullptr) { // the line is made only for a log that takes it
        LogLine(Translator1->LookupString("sCopying") + fileName);
    }
}

// The file's two keys in the uninstall log: its path below the folder and its stamp.
void TForm1::LogInstalledFile(int fileIndex, const AnsiString& fileName) {
    const AnsiString dest = EditDir->Text();
    const AnsiString log = dest + uconst::kUninstallLog;
    if (!uninstallLog_ || uninstallLog_->FileName() != log) {
        uninstallLog_ = std::make_unique<TUninstallLog>(log, uconst::kUninstallSection);
    }
    const bool inside =
        fileName.size() > dest.size() && fileName.compare(0, dest.size(), dest) == 0;
    const AnsiString index = IntToStr(fileIndex);
    if (!uninstallLog_->Write(index, inside ? fileName.substr(dest.size()) : fileName,
                              uconst::kDateKeyPrefix + index, IntToStr(FileStamp(fileName)))) {
        // A file the log does not name is one the uninstaller would leave behind unless a later
        // run completes: it goes, and the installation stops here as after a failed write.
        const AnsiString reason = SysErrorMessage(LastError());
        if (!DeleteFile(fileName) && SetFileAttributes(fileName, attr::Normal)) {
            (void)DeleteFile(fileName);
        }
        throw EWriteError(Format("Cannot write file \"%s\". %s", {log, reason}));
    }
}

} // namespace kq
