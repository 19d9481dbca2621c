// The installation itself, below the window: the archive beside Setup.exe into the chosen folder,
// its uninstall log, the shortcuts, the folder in the registry and the Apps & features entry.
// The wizard, silent mode and the tests drive the same object; what a person is told goes
// through a reporter, so that the window shows it, silent mode logs it and a test records it.
#pragma once

#include "base/format.h"
#include "base/strings.h"
#include "lang/translator.h"
#include "setup/uninstall_log.h"
#include "unzip/zip_extractor.h"

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

namespace kq {

// What to install and how.
struct TInstallRequest {
    AnsiString archive;  // the setup archive's full path
    AnsiString password; // its entries' key
    AnsiString folder;   // the installation folder, ending in "\"; made already
    // Nobody can answer a question: a file that cannot be written ends the run (Cancelled)
    // instead of asking whether to try again.
    bool unattended = false;
};

// What a person is told while the installation runs. Texts arrive composed, in the language in
// force.
class TInstallReporter {
public:
    virtual ~TInstallReporter() = default;
    // The status line: the file being installed. Comes once a file, often quickly.
    virtual void Status(const AnsiString& text) = 0;
    // The share of the archive's bytes installed, 0 to 100.
    virtual void Progress(int percent) = 0;
    // The extraction has ended, whichever way: what is pending on screen is shown now.
    virtual void ExtractionEnded() {}
    // A file cannot be opened or made: true tries it again, false ends the installation.
    // Asked only when the request is not unattended.
    virtual bool AskRetry(const AnsiString& message) = 0;
    // The archive's damaged entries, once every entry has been tried, a line each below the
    // named string's text.
    virtual void ArchiveDamaged(const AnsiString& message) = 0;
    // Shortcuts or registry values that could not be made, a line each; the installation goes
    // on to its end.
    virtual void NotMade(const AnsiString& message) = 0;
    // A line of the installation's log: each step, each file, each error text.
    virtual void Log(const AnsiString& line) = 0;
    // Whether Log keeps anything: a line per file is composed only for a log that takes it.
    virtual bool Logging() const { return true; }
};

enum class TInstallResult {
    Installed,
    NotEnoughSpace, // nothing written
    ArchiveFailed,  // the archive is missing or damaged, a file or a step failed: an error
    Damaged,        // entries failed their check; the good ones stay installed and logged
    Cancelled,      // a retry question answered No (or none could be asked)
};

struct TInstallOutcome {
    TInstallResult result = TInstallResult::Installed;
    // What went wrong, as the log has it (empty for Installed and Cancelled).
    AnsiString message;
    // ArchiveFailed: the error itself, for an owner that shows it in the error box.
    std::exception_ptr error;
};

// Composes text with args; the stored table's text of that row when text does not fit them (a
// translation file's format with a stray %d), so that every text can always be composed.
AnsiString ComposeText(const TCustomTranslator& texts, const AnsiString& text, TStringsType section,
                       std::string_view name, std::initializer_list<FormatArg> args);
// The named string in the language in force; the stored table's where a translation file made
// before the string existed lacks it.
AnsiString NamedText(const TCustomTranslator& texts, std::string_view name);
// "sCompany" followed by "Qyn".
AnsiString ProductName(const TCustomTranslator& texts);

// Setup.dat in the folder of the running setup program.
AnsiString SetupArchivePath();

// Makes the installation folder and its missing parents; folder gains its trailing backslash
// first. True when it exists as a folder afterwards.
bool MakeInstallFolder(AnsiString& folder);

class TInstallation {
public:
    // zip extracts the archive; texts gives every text in the language in force. Both outlive
    // the object.
    TInstallation(TZipExtractor& zip, const TCustomTranslator& texts);
    ~TInstallation();

    // Connects zip's events to this object's handlers below; an owner whose own handlers
    // forward to them (the wizard window) does without.
    void ConnectEvents();

    // Installs, in this order: the space check (nothing is written when the archive does not
    // fit), every entry with its two keys in the uninstall log, then, only when no entry was
    // damaged, the shortcuts, InstallPath and the Apps & features entry (when the archive
    // installed UnInstall.exe). Every failure's text is logged before the outcome returns.
    TInstallOutcome Run(const TInstallRequest& request, TInstallReporter& reporter);

    // --- The extraction's events, handled while Run runs ---
    void TotalPercentDone(int percent);
    void StartUnZip(const AnsiString& fileName);
    void EndUnZip(int fileIndex, const AnsiString& fileName);
    void SkippingFile(TSkipReason reason, const AnsiString& fileName, int fileIndex, bool& retry);
    void BadCRC(int fileIndex);

private:
    // The steps of Run.
    std::uint64_t UncompressedTotal();
    AnsiString NoRoomText(std::uint64_t needed, std::uint64_t free) const;
    void Extract();
    TInstallOutcome Damaged();
    void FinishInstallation(std::uint64_t installedBytes);
    void MakeShortcuts(AnsiString& notMade);
    void RecordFolder(AnsiString& notMade);
    void WriteAppsEntry(std::uint64_t installedBytes);

    void NoteDamaged(int fileIndex);
    // The file's two keys in the uninstall log: its path below the folder and its stamp.
    void LogInstalledFile(int fileIndex, const AnsiString& fileName);

    TZipExtractor& zip_;
    const TCustomTranslator& texts_;
    // The run under way; null between runs.
    const TInstallRequest* request_ = nullptr;
    TInstallReporter* reporter_ = nullptr;
    // The log of the installation under way, kept between files so that writing it stays linear.
    std::unique_ptr<TUninstallLog> uninstallLog_;
    // The entries of this installation that failed their check, by stored path, in the order
    // the engine reported them.
    std::vector<AnsiString> damaged_;
};

} // namespace kq
