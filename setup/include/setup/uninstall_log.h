// The uninstall log: one section of "key=value" lines in a profile (INI) file, written key by key
// while the files are extracted.
#pragma once

#include "base/strings.h"
#include "platform/files.h"

#include <string>
#include <unordered_map>

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

private:
    struct Value {
        std::int64_t offset;
        std::size_t length;
    };
    // Reads the file and decides whether the fast way applies.
    void StartFile();
    void Index();
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

} // namespace kq
