#pragma once

// Drives: their type and volume label, asked by root path ("C:\").

#include "platform/errors.h"

#include <cstdint>
#include <string>

namespace kq {

namespace drive {
inline constexpr std::uint32_t Unknown = 0;
inline constexpr std::uint32_t NoRootDirectory = 1; // no such drive
inline constexpr std::uint32_t Removable = 2;
inline constexpr std::uint32_t Fixed = 3;
inline constexpr std::uint32_t Remote = 4;
inline constexpr std::uint32_t CdRom = 5;
inline constexpr std::uint32_t RamDisk = 6;
} // namespace drive

// An empty root means the current folder's drive. The stand-in reports every drive folder that
// exists under its root as fixed.
std::uint32_t GetDriveType(const std::string& root);

// The label of the volume at root ("C:\"). The stand-in's drives have no label: an existing
// drive gives true with an empty label.
bool GetVolumeLabel(const std::string& root, std::string& label);

// The bytes this user may still write on the volume that holds folder (an existing folder; a
// file's name does too). The stand-in asks the host's file system under the mapped folder.
bool GetDiskFreeSpace(const std::string& folder, std::uint64_t& freeBytes);

} // namespace kq
