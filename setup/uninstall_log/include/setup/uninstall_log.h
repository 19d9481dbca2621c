// The uninstall log: what Setup installed, for UnInstall to remove. Setup writes it while the
// files are extracted (TUninstallLog); UnInstall reads it (ReadUninstallLog).
//
// Its format:
// - A profile (INI) file, Uninstall.log in the installation folder (uconst::kUninstallLog),
//   written in the system's profile writer's form (base/ini_text.h): one section, "Qyn"
//   (uconst::kUninstallSection), of "key=value" lines ending in CR LF. Other sections are left
//   as they are.
// - Two keys per installed file, N being the number of its entry in the archive (decimal, from
//   0; folders and skipped entries leave gaps):
//     N=path    where the file was written, relative to the installation folder, "\" between
//               folders. The extraction keeps every file inside the folder, so the path names
//               what it made, not the stored name; a path outside the folder would be logged
//               whole, and the uninstaller refuses it.
//     DN=stamp  (uconst::kDateKeyPrefix) the file's last-write time once installed: the local
//               DOS date-time (the date in the high 16 bits, the time in the low), written as a
//               signed 32-bit decimal, so dates after 2043 are negative; -1 when none could be
//               read. A file whose time is no longer the logged one was changed: it is kept.
//   A file's two keys reach the file in one write, so a run ended at any moment never leaves a
//   file named without its stamp.
// - A later run into the same folder writes its keys again: the last value of a key stands.
// - It is read by the system's profile reader's rules: keys compare without regard to ASCII
//   case, blanks around keys and values are no part of them, and of a key that stands twice the
//   first line counts. Only keys of at most nine digits name files.
#pragma once

#include "base/strings.h"
#include "platform/files.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kq {

// Writes keys of one section of a profile file with the system's profile writer's results
// (WritePrivateProfileString, platform/profile.h), byte for byte, but in time proportional to
// what changes instead of to the size of the file: the system's writer rewrites the whole file
// for every key, which makes a log of n files cost n squared.
//
// A new key is appended and a value of the same length overwritten in place while the section
// is the last of the file and in the writer's own form (one "key=value" line per key, no blanks
// around the key or before the value, lines ending in CR LF); any other change (the first key of
// a new file, a value of another length, an odd file) goes through the system's writer, after
// which the file is read again. Each key is in the file when Write returns (written to the
// system, which keeps it when the program ends at once); the file stays open until the object
// goes or the system's writer needs it.
class TUninstallLog {
public:
    TUninstallLog(AnsiString fileName, AnsiString section);

    const AnsiString& FileName() const { return fileName_; }

    // False, with nothing written, where the system's writer refuses (a line break in the key or
    // the value, for example) or the file cannot be written.
    bool Write(const AnsiString& key, const AnsiString& value);
    // Two keys, leaving what Write for the first and then for the second leaves; two new keys
    // the fast way can append go in one write of the file. True when both are written.
    bool Write(const AnsiString& key1, const AnsiString& value1, const AnsiString& key2,
               const AnsiString& value2);
    // The two keys of the file installed from entry number: its path as logged and its
    // last-write time as GetPlainFileDosDateTime gives it (-1 for none), in one Write.
    bool WriteInstalledFile(int number, const AnsiString& path, std::int64_t dosDateTime);

private:
    struct Value {
        std::int64_t offset;
        std::size_t length;
    };
    void StartFile();
    // Reads the file and decides whether the fast way applies.
    void Index();
    bool IndexLastSection(const std::string& bytes);
    bool IndexEntry(const std::string& bytes, std::string_view line);
    bool WriteThroughSystem(const AnsiString& key, const AnsiString& value);
    bool WriteAt(std::int64_t offset, const std::string& bytes);

    AnsiString fileName_;
    AnsiString section_;
    File file_;                  // open between fast writes
    std::int64_t position_ = -1; // where the next write to file_ goes, -1 when not known
    bool indexed_ = false;
    bool fast_ = false;
    std::int64_t size_ = 0;
    // The values of the section's keys, by key in upper case.
    std::unordered_map<std::string, Value> values_;
};

struct TLoggedFile {
    AnsiString name;         // relative to the installation folder, as logged
    std::int64_t stamp = -1; // the DOS date-time logged (unsigned); -1 when absent or unreadable
};

// The files of the log in the order of their numbers. found is false, with no files, when there
// is no log or it cannot be read whole: the uninstaller then removes nothing, the log least of
// all.
std::vector<TLoggedFile> ReadUninstallLog(const AnsiString& logPath, bool& found);

} // namespace kq
