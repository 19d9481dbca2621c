// The uninstaller's engine: reads the uninstall log the wizard wrote (setup/uninstall_log.h),
// decides what may be removed, and removes it. The program (UnInstall.exe) only asks, reports
// and removes itself.
#pragma once

#include "base/strings.h"
#include "setup/uninstall_log.h"

#include <cstdint>
#include <vector>

namespace kq {

// Why a logged name is not followed.
enum class TNameVerdict {
    Safe,
    Empty,         // nothing, or an empty component ("a\\b", a trailing "\")
    DotDot,        // a component of dots and blanks only ("..", ".", ". ."): Windows folds them
    Rooted,        // begins with "\" or "/", a UNC path or "\\?\" among them
    DriveOrStream, // a ":" anywhere: "C:x", "C:\x" or "name:stream"
    Device,        // a component Windows takes for a device: "NUL", "con.txt", "COM1"
};

// The lexical rules: a logged name must stay below the installation folder by its spelling.
// "/" separates like "\", and both are looked at byte by byte: a double-byte character whose
// second byte is 0x5C can only make a name look more suspicious, never less.
TNameVerdict CheckLoggedName(const AnsiString& name);

// What happened to one path.
enum class TOutcome {
    Removed,
    Changed, // kept: its date-time is not the one logged
    Missing, // kept: not there (nothing to remove)
    Refused, // kept: its name breaks a rule, or it lies behind a link or junction
    Failed,  // kept: the system refused to remove it
};

struct TPathOutcome {
    AnsiString path; // full path
    TOutcome outcome;
};

struct TUninstallPlan {
    std::vector<AnsiString> remove;  // files whose date-time is still the logged one
    std::vector<TPathOutcome> kept;  // changed, missing and refused files
    std::vector<AnsiString> folders; // the folders of the logged files, deepest first
};

// Decides, from the log and the files as they are now, which files may go. folder is the
// installation folder with its trailing backslash. self (the running uninstaller, if logged) is
// left out: it removes itself last.
TUninstallPlan PlanUninstall(const AnsiString& folder, const std::vector<TLoggedFile>& files,
                             const AnsiString& self);

// True when path, below folder (which ends in a backslash), passes through no link or junction
// from folder down to path itself.
bool ReachesThroughLink(const AnsiString& folder, const AnsiString& path);

// Where the wizard keeps what the uninstaller removes from the registry.
inline constexpr const char* kAppsAndFeaturesKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KavoruQyn";

// Runs the steps of an uninstallation in their order: the files of the plan, the shortcuts that
// point into the folder (the desktop's and those in the Programs folder's subfolders), the
// registry's InstallPath and Apps & features entry, the log, then the folders left empty.
class TUninstallRun {
public:
    TUninstallRun(AnsiString folder, AnsiString self);

    // Reads the log; false when there is none beside the program.
    bool ReadLog();
    void Run();

    // Every file and folder it looked at, with what happened, in order.
    const std::vector<TPathOutcome>& Outcomes() const { return outcomes_; }
    // The files kept (changed, missing, refused or failed).
    std::vector<TPathOutcome> Kept() const;
    // 0 when everything went, 2 when something was kept or failed.
    int ExitCode() const;

private:
    void RemoveFiles();
    void RemoveShortcuts();
    void RemoveShortcutsIn(const AnsiString& linkFolder);
    void RemoveRegistryEntries();
    void RemoveLog();
    void RemoveFolders();
    void Note(const AnsiString& path, TOutcome outcome);

    AnsiString folder_;
    AnsiString self_;
    std::vector<TLoggedFile> logged_;
    TUninstallPlan plan_;
    std::vector<TPathOutcome> outcomes_;
};

} // namespace kq
