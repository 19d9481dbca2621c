#include "setup/installation.h"

#include "base/exceptions.h"
#include "base/scope_exit.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/volumes.h"
#include "resources/version.h"
#include "setup/folders.h"
#include "setup/shortcuts.h"
#include "setup/uconst.h"
#include "setup/uninstall_entry.h"
#include "unzip/dos_date_time.h"

#include <cstdio>

namespace kq {

namespace {

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

// How often the window is redrawn and answers while files are installed.
constexpr unsigned kPumpIntervalMs = 50;

// Thrown from the skip handler through the engine when the installation may not go on: the
// engine's run ends as after any error of a handler, and Run returns Cancelled. Not an
// Exception, so that nothing on the way takes it for the engine's own errors.
struct RetryDeclined {};

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

TInstallOutcome Failure(TInstallResult result, const AnsiString& message,
                        std::exception_ptr error = nullptr) {
    return {result, message, std::move(error)};
}

} // namespace

AnsiString ComposeText(const TCustomTranslator& texts, const AnsiString& text, TStringsType section,
                       std::string_view name, std::initializer_list<FormatArg> args) {
    try {
        return Format(text, args);
    } catch (const EConvertError&) {
        return Format(texts.StoredText(section, name), args);
    }
}

AnsiString NamedText(const TCustomTranslator& texts, std::string_view name) {
    const AnsiString text = texts.LookupString(name);
    return text.empty() ? texts.StoredText(stStrings, name) : text;
}

AnsiString ProductName(const TCustomTranslator& texts) {
    return texts.LookupString("sCompany") + uconst::kProductSuffix;
}

AnsiString SetupArchivePath() {
    return ExtractFilePath(GetModuleFileName(), static_cast<int>(GetACP())) + uconst::kArchiveName;
}

bool MakeInstallFolder(AnsiString& folder) {
    if (!folder.empty()) {
        folder = IncludeTrailingBackslash(folder, static_cast<int>(GetACP()));
    }
    return CreateDirChain(folder);
}

TInstallation::TInstallation(TZipExtractor& zip, const TCustomTranslator& texts)
    : zip_(zip), texts_(texts) {}

TInstallation::~TInstallation() = default;

void TInstallation::ConnectEvents() {
    zip_.OnTotalPercentDone = [this](TObject*, int percent) { TotalPercentDone(percent); };
    zip_.OnStartUnZip = [this](TObject*, int, AnsiString& fileName, bool&) {
        StartUnZip(fileName);
    };
    zip_.OnEndUnZip = [this](TObject*, int fileIndex, const AnsiString& fileName) {
        EndUnZip(fileIndex, fileName);
    };
    zip_.OnSkippingFile = [this](TObject*, TSkipReason reason, const AnsiString& fileName,
                                 int fileIndex,
                                 bool& retry) { SkippingFile(reason, fileName, fileIndex, retry); };
    zip_.OnBadCRC = [this](TObject*, std::uint32_t, std::uint32_t, int fileIndex) {
        BadCRC(fileIndex);
    };
}

TInstallOutcome TInstallation::Run(const TInstallRequest& request, TInstallReporter& reporter) {
    request_ = &request;
    reporter_ = &reporter;
    damaged_.clear();
    ScopeExit endRun([this] {
        request_ = nullptr;
        reporter_ = nullptr;
    });
    try {
        zip_.SetZipName(request.archive);
        zip_.SetPassword(request.password);
        zip_.SetDestDir(request.folder);
        reporter.Log(zip_.ZipName());
        // An installation that cannot fit does not start: nothing is written.
        const std::uint64_t needed = UncompressedTotal();
        std::uint64_t free = 0;
        if (GetDiskFreeSpace(request.folder, free) && needed > free) {
            const AnsiString message = NoRoomText(needed, free);
            reporter.Log(message);
            return Failure(TInstallResult::NotEnoughSpace, message);
        }
        Extract();
        // The good files stay installed and logged; without the damaged ones the product is not
        // whole, so it gets no shortcuts and no recorded folder.
        if (!damaged_.empty()) {
            return Damaged();
        }
        FinishInstallation(needed);
        return {};
    } catch (const RetryDeclined&) {
        return Failure(TInstallResult::Cancelled, AnsiString());
    } catch (const std::exception& error) {
        reporter.Log(error.what());
        return Failure(TInstallResult::ArchiveFailed, error.what(), std::current_exception());
    }
}

// What the archive's entries take once extracted. Reads the catalogue (an archive that is missing
// or damaged raises here, as UnZip would).
std::uint64_t TInstallation::UncompressedTotal() {
    zip_.OpenAndRefreshCatalogue();
    std::uint64_t total = 0;
    for (int i = 0; i < zip_.Count(); ++i) {
        total += zip_.Entry(i).UncompressedSize();
    }
    return total;
}

AnsiString TInstallation::NoRoomText(std::uint64_t needed, std::uint64_t free) const {
    return ComposeText(texts_, texts_.LookupString("sDiskSpace"), stStrings, "sDiskSpace",
                       {SizeText(needed), SizeText(free)});
}

void TInstallation::Extract() {
    // Whichever way the run ends, the owner shows where it stopped; a window is drawn at every
    // turn again.
    ScopeExit pacing([this, previous = SetMessagePumpInterval(kPumpIntervalMs)] {
        SetMessagePumpInterval(previous);
        uninstallLog_.reset();
        try {
            reporter_->ExtractionEnded();
        } catch (...) {
        }
    });
    (void)zip_.UnZip();
}

// One text for all the damaged files, after the run, each on a line of its own below the named
// string.
TInstallOutcome TInstallation::Damaged() {
    AnsiString message = NamedText(texts_, "sArchiveDamaged");
    for (const AnsiString& name : damaged_) {
        message += "\r\n" + name;
    }
    reporter_->ArchiveDamaged(message);
    reporter_->Log(message);
    return Failure(TInstallResult::Damaged, message);
}

// What could not be made is told, a line each: the files are installed all the same.
void TInstallation::FinishInstallation(std::uint64_t installedBytes) {
    AnsiString notMade;
    MakeShortcuts(notMade);
    RecordFolder(notMade);
    if (FileExists(request_->folder + uconst::kUninstallerExe)) {
        WriteAppsEntry(installedBytes);
    }
    if (!notMade.empty()) {
        reporter_->NotMade(NamedText(texts_, "sNotMade") + notMade);
    }
}

void TInstallation::MakeShortcuts(AnsiString& notMade) {
    const AnsiString& dest = request_->folder;
    const AnsiString product = ProductName(texts_);
    const AnsiString program = dest + uconst::kProgramExe;
    const ComApartment com; // the shell's link objects need it on this thread
    const auto shortcut = [this, &notMade](const AnsiString& target, const AnsiString& name,
                                           TShortcutFolder folder, const AnsiString& subFolder) {
        const bool made = CreateShortcut(target, name, folder, subFolder);
        reporter_->Log(Format("Shortcut %s: %s", {name, made ? "made" : "failed"}));
        if (!made) {
            notMade += "\r\n" + name;
        }
    };
    shortcut(program, product, TShortcutFolder::sfPrograms, product);
    shortcut(program, product, TShortcutFolder::sfDesktop, AnsiString());
    for (const ExtraFile& extra : kExtraFiles) {
        const AnsiString name = ComposeText(texts_, texts_.LookupString(extra.namePattern),
                                            stStrings, extra.namePattern, {extra.title});
        if (*extra.fileName != '\0' && FileExists(dest + extra.fileName)) {
            shortcut(dest + extra.fileName, name, TShortcutFolder::sfPrograms, product);
        }
    }
}

// InstallPath, which the next Setup proposes as its folder.
void TInstallation::RecordFolder(AnsiString& notMade) {
    bool recorded = false;
    try {
        RegKey key;
        if (key.Create(uconst::kRegistryKey)) {
            recorded = key.SetStringValue(uconst::kInstallPathValue, request_->folder);
        }
    } catch (...) {
    }
    reporter_->Log(Format("InstallPath: %s", {recorded ? "written" : "failed"}));
    if (!recorded) {
        notMade += AnsiString("\r\nHKEY_CURRENT_USER\\") + uconst::kRegistryKey +
                   uconst::kInstallPathValue;
    }
}

// Written like InstallPath: a registry that refuses it (no right to the machine's keys) does not
// undo the installation.
void TInstallation::WriteAppsEntry(std::uint64_t installedBytes) {
    TUninstallEntry entry;
    entry.displayName = ProductName(texts_);
    entry.displayVersion = KQ_VERSION_TEXT;
    entry.publisher = texts_.LookupString("sCompanyAll1");
    entry.folder = request_->folder;
    entry.installedBytes = installedBytes;
    bool written = false;
    try {
        written = WriteUninstallEntry(entry);
    } catch (...) {
    }
    reporter_->Log(Format("Apps & features entry: %s", {written ? "written" : "failed"}));
}

void TInstallation::TotalPercentDone(int percent) {
    reporter_->Progress(percent);
}

void TInstallation::StartUnZip(const AnsiString& fileName) {
    reporter_->Status(texts_.LookupString("sCopying") + fileName);
}

// Two keys per extracted file: where it was written, relative to the destination folder, and
// the stamp it has on disk. The engine keeps every file inside the destination, making names
// such as "..\x" or "C:\x" safe; the log names the file it made, not the stored name, so that
// an uninstaller following the log never reaches outside the destination.
void TInstallation::EndUnZip(int fileIndex, const AnsiString& fileName) {
    LogInstalledFile(fileIndex, fileName);
    if (reporter_->Logging()) {
        reporter_->Log(texts_.LookupString("sCopying") + fileName);
    }
}

// A file that cannot be opened or made: Yes tries again, anything else ends the installation,
// with the files so far and their log entries left in place. An encrypted entry whose password
// check or CRC fails comes here as srBadPassword: the product's password is right, so its data is
// damaged. A file kept because it is not older than the entry (srNoOverwrite) is no fault.
void TInstallation::SkippingFile(TSkipReason reason, const AnsiString& fileName, int fileIndex,
                                 bool& retry) {
    if (reason == TSkipReason::srBadPassword) {
        NoteDamaged(fileIndex);
        return;
    }
    if (reason == TSkipReason::srNoOverwrite) {
        // A file kept under "if newer" that bears the entry's own time is the one an earlier run
        // installed, perhaps a run ended before it could log it: logged again, the run after an
        // interruption leaves the log that one whole run leaves.
        if (GetPlainFileDosDateTime(fileName) == FixDosDateTime(zip_.Entry(fileIndex).DateTime())) {
            LogInstalledFile(fileIndex, fileName);
        }
        return;
    }
    if (reason != TSkipReason::srFileOpenError && reason != TSkipReason::srCreateError) {
        return;
    }
    reporter_->Log(texts_.LookupString("sCopyError") + " " + fileName);
    if (request_->unattended) {
        throw RetryDeclined{};
    }
    const AnsiString message = texts_.LookupString("sCopyError") + "\r\n" + fileName + "\r\n" +
                               texts_.LookupString("sRetry");
    retry = reporter_->AskRetry(message);
    if (!retry) {
        throw RetryDeclined{};
    }
}

// An entry stored without encryption whose data does not match its CRC; the engine has removed
// what it wrote.
void TInstallation::BadCRC(int fileIndex) {
    NoteDamaged(fileIndex);
}

// Named by its path inside the archive: folders, a backslash between them, and the file name.
void TInstallation::NoteDamaged(int fileIndex) {
    damaged_.push_back(zip_.Pathname(fileIndex) + zip_.Filename(fileIndex));
}

void TInstallation::LogInstalledFile(int fileIndex, const AnsiString& fileName) {
    const AnsiString& dest = request_->folder;
    const AnsiString log = dest + uconst::kUninstallLog;
    if (!uninstallLog_ || uninstallLog_->FileName() != log) {
        uninstallLog_ = std::make_unique<TUninstallLog>(log, uconst::kUninstallSection);
    }
    const bool inside =
        fileName.size() > dest.size() && fileName.compare(0, dest.size(), dest) == 0;
    if (!uninstallLog_->WriteInstalledFile(fileIndex,
                                           inside ? fileName.substr(dest.size()) : fileName,
                                           GetPlainFileDosDateTime(fileName))) {
        // The installation stops here as after a failed write. The file stays as it is: it may
        // be the only copy (just replaced, or kept whole from an earlier installation). The log
        // lacks its keys, so the uninstaller leaves it unless a later run logs it, which it does
        // for a whole file that bears its entry's time.
        throw EWriteError(
            Format("Cannot write file \"%s\". %s", {log, SysErrorMessage(LastError())}));
    }
}

} // namespace kq
