// The folders the extraction makes and the volume it reads from.
#pragma once

#include <string>

namespace kq {

// (Existence checks and the current directory are the platform's: FileExists, DirectoryExists,
// GetCurrentDirectory.)

// Creates path and every missing parent; true when the folder exists afterwards.
bool ForceDirectories(const std::string& path);
// The label of a root path such as "A:\", at most 13 characters (empty when there is none).
std::string VolumeLabel(const std::string& root);

} // namespace kq
