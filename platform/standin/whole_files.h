#pragma once

// Reading and replacing small host files as a whole, for the stand-in's registry and profile
// files, and making the host folders they live in. LastError is set on failure.

#include <string>
#include <vector>

namespace kq::standin {

// The file's bytes. missing tells a file that does not exist from other failures.
bool ReadWholeFile(const std::string& hostPath, std::string& bytes, bool& missing);

// Replaces the file's contents through a temporary file beside it that is flushed to the disk
// and then renamed over it, so that a reader sees either the old or the new contents and a
// failure part way leaves the old file as it was.
bool ReplaceWholeFile(const std::string& hostPath, const std::string& bytes);

// Makes the folder and every missing folder above it (a full host path).
bool MakeHostFolders(const std::string& hostFolder);

// The lines of a text file's bytes, each without its line break (LF or CR LF).
std::vector<std::string> LinesOf(const std::string& bytes);

} // namespace kq::standin
