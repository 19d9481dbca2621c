// UnInstall.exe: asks once, runs the uninstaller's steps (uninstaller.h), reports what it kept,
// and removes its own file last. A running program cannot delete its file, so a copy of it in
// the temporary folder does, once this process has ended; failing that, the system removes the
// file when it next starts.
#include "base/exceptions.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/process.h"
#include "platform/removal.h"
#include "platform/shell.h"
#include "platform/win32_api.h"
#include "uninstall/uninstall_options.h"
#include "uninstall/uninstall_texts.h"
#include "uninstall/uninstaller.h"

namespace kq {

namespace {

constexpr const char* kTempCopyName = "KavoruQynUninstall.exe";
// How long the copy waits for the original to end before it gives up on deleting it.
constexpr int kRemovalAttempts = 100;
constexpr unsigned kRemovalIntervalMs = 100;
// The message box lists this many kept paths at most; /LOG= has them all.
constexpr std::size_t kShownKept = 25;

int CodePage() {
    return static_cast<int>(GetACP());
}

// The copy's part: the original is the same program, so it has the copy's size.
int FinishRemoval(const AnsiString& original) {
    File self(GetModuleFileName(), FileMode::Read);
    File target(original, FileMode::Read);
    if (!self.IsOpen() || !target.IsOpen() || self.Size() != target.Size()) {
        return kUninstallKept;
    }
    target.Close();
    for (int attempt = 0; attempt < kRemovalAttempts && FileExists(original); ++attempt) {
        if (!DeleteFile(original)) {
            SleepMilliseconds(kRemovalIntervalMs);
        }
    }
    const AnsiString folder = ExtractFilePath(original, CodePage());
    (void)RemoveDirectory(folder.substr(0, folder.size() - 1));
    (void)DeleteFileAtRestart(GetModuleFileName());
    return FileExists(original) ? kUninstallKept : kUninstallDone;
}

// Starts the copy that deletes this program, or asks the system to; the text says which.
AnsiString RemoveSelf(const AnsiString& self, const TUninstallTexts& texts, bool& removed) {
    removed = true;
    const AnsiString copy = GetTempPath() + kTempCopyName;
    ProcessRequest request;
    request.applicationName = copy;
    request.commandLine = "\"" + copy + "\" /REMOVE=\"" + self + "\"";
    request.currentDirectory = GetTempPath();
    if (CopyFileTo(self, copy) && CreateProcess(request)) {
        return texts.Text("sUnSelfCopy");
    }
    if (DeleteFileAtRestart(self)) {
        const AnsiString folder = ExtractFilePath(self, CodePage());
        (void)DeleteFileAtRestart(folder.substr(0, folder.size() - 1));
        return texts.Text("sUnSelfRestart");
    }
    removed = false;
    return texts.Text("sUnSelfKept");
}

void WriteLogFile(const AnsiString& fileName, const AnsiString& text) {
    File file(fileName, FileMode::Create);
    if (file.IsOpen()) {
        (void)file.Write(text.data(), static_cast<std::int32_t>(text.size()));
        (void)file.Close();
    }
}

AnsiString OutcomeLines(const std::vector<TPathOutcome>& outcomes, const TUninstallTexts& texts,
                        std::size_t limit) {
    AnsiString lines;
    for (std::size_t i = 0; i < outcomes.size() && i < limit; ++i) {
        lines += texts.OutcomeText(outcomes[i].outcome) + ": " + outcomes[i].path + "\r\n";
    }
    if (outcomes.size() > limit) {
        lines += "...\r\n";
    }
    return lines;
}

int Uninstall(const TUninstallOptions& options, const TUninstallTexts& texts) {
    const AnsiString caption = texts.Text("sUnCaption");
    if (!options.valid) {
        if (!options.silent) {
            (void)MessageBox(texts.Text("sUnUsage"), caption, mb::Ok | mb::IconError);
        }
        return kUninstallUsage;
    }
    const AnsiString self = GetModuleFileName();
    const AnsiString folder = ExtractFilePath(self, CodePage());
    TUninstallRun run(folder, self);
    if (!run.ReadLog()) {
        const AnsiString message = texts.Text("sUnNoLog", folder);
        if (!options.logFile.empty()) {
            WriteLogFile(options.logFile, message + "\r\n");
        }
        if (!options.silent) {
            (void)MessageBox(message, caption, mb::Ok | mb::IconError);
        }
        return kUninstallKept;
    }
    if (!options.silent && MessageBox(texts.Text("sUnConfirm", folder), caption,
                                      mb::YesNo | mb::IconQuestion | mb::DefButton2) != id::Yes) {
        return kUninstallCancelled;
    }

    run.Run();
    bool selfRemoved = false;
    const AnsiString selfNote = RemoveSelf(self, texts, selfRemoved);
    const std::vector<TPathOutcome> kept = run.Kept();
    if (!options.logFile.empty()) {
        WriteLogFile(options.logFile, OutcomeLines(run.Outcomes(), texts, run.Outcomes().size()) +
                                          selfNote + "\r\n");
    }
    if (!options.silent) {
        AnsiString message = kept.empty() ? texts.Text("sUnDone")
                                          : texts.Text("sUnKeptHead") + "\r\n\r\n" +
                                                OutcomeLines(kept, texts, kShownKept);
        message += "\r\n" + selfNote;
        (void)MessageBox(message, caption,
                         mb::Ok | (kept.empty() ? mb::IconInformation : mb::IconWarning));
    }
    return kept.empty() && selfRemoved ? run.ExitCode() : kUninstallKept;
}

} // namespace

} // namespace kq

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const kq::ComApartment com; // the shell's link objects need it
    const kq::TUninstallOptions options = kq::ParseUninstallCommandLine(::GetCommandLineA());
    if (!options.removeOriginal.empty()) {
        return kq::FinishRemoval(options.removeOriginal);
    }
    const kq::TUninstallTexts texts(kq::GetACP());
    try {
        return kq::Uninstall(options, texts);
    } catch (const kq::Exception& e) {
        if (!options.silent) {
            (void)kq::MessageBox(e.Message(), texts.Text("sUnCaption"),
                                 kq::mb::Ok | kq::mb::IconError);
        }
        return kq::kUninstallKept;
    }
}
