#include "uninstall/uninstaller.h"

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/removal.h"
#include "setup/uconst.h"

#include <algorithm>
#include <set>
#include <utility>

namespace kq {

namespace {

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDotsAndBlanks(std::string_view component) {
    return component.find_first_not_of(". ") == std::string_view::npos;
}

// Windows opens a device for these names in any folder, with any extension and trailing blanks:
// "NUL", "con.txt", "COM1 .log", "lpt9".
bool IsDeviceName(std::string_view component) {
    std::string_view stem = component.substr(0, component.find('.'));
    stem = stem.substr(0, stem.find_last_not_of(' ') + 1);
    const std::string upper = UpperCase(stem);
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") {
        return true;
    }
    return upper.size() == 4 &&
           (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

// Full paths compare as Windows compares names.
bool SamePath(const AnsiString& a, const AnsiString& b) {
    return CompareStringIgnoreCase(a, b) == 0;
}

int Depth(const AnsiString& path) {
    return static_cast<int>(std::count(path.begin(), path.end(), '\\'));
}

bool IsInside(const AnsiString& folder, const AnsiString& path) {
    return path.size() > folder.size() && SamePath(path.substr(0, folder.size()), folder);
}

// A read-only file is one the archive marked so; it was installed all the same.
bool DeleteEvenIfReadOnly(const AnsiString& path) {
    const std::uint32_t attributes = GetFileAttributes(path);
    if (attributes != attr::Invalid && (attributes & attr::ReadOnly) != 0) {
        (void)SetFileAttributes(path, attributes & ~attr::ReadOnly);
    }
    return DeleteFile(path);
}

} // namespace

TNameVerdict CheckLoggedName(const AnsiString& name) {
    if (name.empty()) {
        return TNameVerdict::Empty;
    }
    if (name.find(':') != std::string::npos) {
        return TNameVerdict::DriveOrStream;
    }
    if (IsSeparator(name.front())) {
        return TNameVerdict::Rooted;
    }
    std::size_t start = 0;
    for (;;) {
        std::size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) {
            ++end;
        }
        const std::string_view component = std::string_view(name).substr(start, end - start);
        if (component.empty()) {
            return TNameVerdict::Empty;
        }
        if (IsDotsAndBlanks(component)) {
            return TNameVerdict::DotDot;
        }
        if (IsDeviceName(component)) {
            return TNameVerdict::Device;
        }
        if (end == name.size()) {
            return TNameVerdict::Safe;
        }
        start = end + 1;
    }
}

bool ReachesThroughLink(const AnsiString& folder, const AnsiString& path) {
    for (std::size_t at = folder.size(); at <= path.size(); ++at) {
        if ((at == path.size() || IsSeparator(path[at])) && IsLinkOrJunction(path.substr(0, at))) {
            return true;
        }
    }
    return false;
}

TUninstallPlan PlanUninstall(const AnsiString& folder, const std::vector<TLoggedFile>& files,
                             const AnsiString& self) {
    TUninstallPlan plan;
    std::set<AnsiString> folders;
    std::set<AnsiString> seen;
    for (const TLoggedFile& logged : files) {
        const AnsiString path = folder + logged.name;
        if (!seen.insert(UpperCase(path)).second || SamePath(path, self)) {
            continue;
        }
        if (CheckLoggedName(logged.name) != TNameVerdict::Safe ||
            ReachesThroughLink(folder, path)) {
            plan.kept.push_back({path, TOutcome::Refused});
            continue;
        }
        for (AnsiString parent = ExtractFilePath(path, static_cast<int>(GetACP()));
             parent.size() > folder.size();
             parent =
                 ExtractFilePath(parent.substr(0, parent.size() - 1), static_cast<int>(GetACP()))) {
            folders.insert(parent.substr(0, parent.size() - 1));
        }
        const std::int64_t stamp = GetPlainFileDosDateTime(path);
        if (stamp < 0) {
            plan.kept.push_back({path, TOutcome::Missing});
        } else if (stamp != logged.stamp) {
            plan.kept.push_back({path, TOutcome::Changed});
        } else {
            plan.remove.push_back(path);
        }
    }
    plan.folders.assign(folders.begin(), folders.end());
    std::stable_sort(plan.folders.begin(), plan.folders.end(),
                     [](const AnsiString& a, const AnsiString& b) { return Depth(a) > Depth(b); });
    return plan;
}

TUninstallRun::TUninstallRun(AnsiString folder, AnsiString self)
    : folder_(std::move(folder)), self_(std::move(self)) {}

bool TUninstallRun::ReadLog() {
    bool found = false;
    logged_ = ReadUninstallLog(folder_ + uconst::kUninstallLog, found);
    return found;
}

// The order matters: shortcuts and registry entries go while the files they name go, the log
// goes only when everything it lists has been dealt with, folders only when emptied.
void TUninstallRun::Run() {
    plan_ = PlanUninstall(folder_, logged_, self_);
    RemoveFiles();
    RemoveShortcuts();
    RemoveRegistryEntries();
    RemoveLog();
    RemoveFolders();
}

void TUninstallRun::Note(const AnsiString& path, TOutcome outcome) {
    outcomes_.push_back({path, outcome});
}

void TUninstallRun::RemoveFiles() {
    for (const TPathOutcome& kept : plan_.kept) {
        Note(kept.path, kept.outcome);
    }
    for (const AnsiString& path : plan_.remove) {
        Note(path, DeleteEvenIfReadOnly(path) ? TOutcome::Removed : TOutcome::Failed);
    }
}

void TUninstallRun::RemoveShortcuts() {
    RegKey key;
    if (!key.Open(kShellFolders)) {
        return;
    }
    RegistryValue desktop;
    if (key.QueryValue("Desktop", desktop) && !desktop.data.empty()) {
        RemoveShortcutsIn(desktop.data);
    }
    // The wizard puts its shortcuts in a subfolder named after the product, whose name depends
    // on the language of the installation: every subfolder is looked at, and only links into
    // the installation folder go.
    RegistryValue programs;
    if (!key.QueryValue("Programs", programs) || programs.data.empty()) {
        return;
    }
    // The Startup folder lies among them: its links may go, never the folder.
    RegistryValue startup;
    (void)key.QueryValue("Startup", startup);
    for (const std::string& name : ListFolder(programs.data)) {
        const AnsiString sub = programs.data + "\\" + name;
        if (DirectoryExists(sub) && !IsLinkOrJunction(sub)) {
            const std::size_t before = outcomes_.size();
            RemoveShortcutsIn(sub);
            if (outcomes_.size() != before && !SamePath(sub, startup.data) &&
                RemoveDirectory(sub)) {
                Note(sub, TOutcome::Removed);
            }
        }
    }
}

void TUninstallRun::RemoveShortcutsIn(const AnsiString& linkFolder) {
    for (const std::string& name : ListFolder(linkFolder)) {
        if (name.size() < 4 || !SameText(name.substr(name.size() - 4), ".lnk")) {
            continue;
        }
        const AnsiString link = linkFolder + "\\" + name;
        std::string target;
        if (FileExists(link) && ReadShellLinkTarget(link, target) && IsInside(folder_, target)) {
            Note(link, DeleteFile(link) ? TOutcome::Removed : TOutcome::Failed);
        }
    }
}

void TUninstallRun::RemoveRegistryEntries() {
    const std::string productKey = uconst::kRegistryKey;
    if (DeleteRegistryValue(productKey.substr(0, productKey.size() - 1),
                            uconst::kInstallPathValue)) {
        Note(AnsiString("HKCU\\") + uconst::kRegistryKey + uconst::kInstallPathValue,
             TOutcome::Removed);
    }
    if (DeleteMachineKey(kAppsAndFeaturesKey)) {
        Note(AnsiString("HKLM\\") + kAppsAndFeaturesKey, TOutcome::Removed);
    }
}

void TUninstallRun::RemoveLog() {
    const AnsiString log = folder_ + uconst::kUninstallLog;
    if (FileExists(log)) {
        Note(log, DeleteFile(log) ? TOutcome::Removed : TOutcome::Failed);
    }
}

// Only an empty folder can be removed, so a folder that holds anything else (a kept file, the
// user's own) stays; that is no failure.
void TUninstallRun::RemoveFolders() {
    for (const AnsiString& folder : plan_.folders) {
        if (RemoveDirectory(folder)) {
            Note(folder, TOutcome::Removed);
        }
    }
}

std::vector<TPathOutcome> TUninstallRun::Kept() const {
    std::vector<TPathOutcome> kept;
    for (const TPathOutcome& outcome : outcomes_) {
        if (outcome.outcome != TOutcome::Removed) {
            kept.push_back(outcome);
        }
    }
    return kept;
}

int TUninstallRun::ExitCode() const {
    return Kept().empty() ? 0 : 2;
}

} // namespace kq
