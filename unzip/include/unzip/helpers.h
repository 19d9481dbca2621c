// Small string, file and number helpers shared by the catalogue and the extraction driver.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kq {

// The first n characters of s (all of s when it is shorter).
std::string LeftStr(std::string_view s, size_t n);
// The last n characters of s (all of s when it is shorter).
std::string RightStr(std::string_view s, size_t n);
// Archive names use "/", Windows paths "\": converts in place.
void ForwardSlashesToBackslashes(std::string& name);

// Owned text in the records is "none" rather than an empty string.
std::optional<std::string> ToOwnedText(std::string_view s);
std::string FromOwnedText(const std::optional<std::string>& text);

// (Existence checks and the current directory are the platform's: FileExists, DirectoryExists,
// GetCurrentDirectory.)

// Creates path and every missing parent; true when the folder exists afterwards.
bool ForceDirectories(const std::string& path);
// The label of a root path such as "A:\", at most 13 characters (empty when there is none).
std::string VolumeLabel(const std::string& root);

// Repairs a DOS date-time whose fields are out of range (see the .cpp file); a valid value is
// returned bit for bit.
uint32_t FixDosDateTime(uint32_t dosDateTime);

// part as a percentage of whole, rounded to the nearest integer (halves to even), at most 100;
// 0 when whole is not positive.
int Percent(int64_t part, int64_t whole);

} // namespace kq
