// The fixed-size records of a zip archive as the engine reads them (little-endian):
//
//   end of central directory (22 bytes + comment): signature 50 4B 05 06, this part (2),
//     part of the central directory's start (2), records on this part (2), total records (2),
//     central directory size (4) and offset within its part (4), comment length (2)
//   central record (46 bytes + name, extra field, comment): signature 50 4B 01 02, version made
//     by (2), version needed (2), flags (2), method (2), DOS date-time (4), CRC-32 (4),
//     compressed size (4), uncompressed size (4), name length (2), extra length (2), comment
//     length (2), start part (2), internal attributes (2), external attributes (4), local
//     header offset within its part (4)
//   local header (30 bytes + name, extra field): signature 50 4B 03 04, version needed (2),
//     flags (2), method (2), DOS date-time (4), CRC-32 (4), compressed size (4), uncompressed
//     size (4), name length (2), extra length (2)
//
// Flag bit 0 marks an encrypted entry, bit 3 sizes and CRC-32 that follow the data in a
// 16-byte data descriptor. Names use "/" between folders and are in the OEM code page.
#pragma once

#include "base/little_endian.h"
#include "base/stream.h"
#include "unzip/zip_records.h"

#include <cstdint>
#include <string>

namespace kq {

inline constexpr std::int32_t kEndCentralSize = 22;
inline constexpr std::int32_t kCentralRecordSize = 46;
inline constexpr std::int32_t kLocalHeaderSize = 30;
inline constexpr std::int32_t kDataDescriptorSize = 16;
// The end record is searched for in the archive's last 65535 + 22 bytes: the largest comment
// and the record itself.
inline constexpr std::int32_t kEndCentralSearchSize = 0xFFFF + kEndCentralSize;

// Reads exactly count bytes of archive data. An archive that ends first is damaged:
// EBadZipFile "Not a valid zip file!".
void ReadArchiveBytes(TStream& archive, void* buffer, std::int32_t count);

// Takes the fields of an end record (its first 22 bytes) into end; the comment is set apart.
void ReadEndFields(const std::uint8_t* record, TEndCentral& end);
// Takes the fields of a central record (its first 46 bytes) into info; the name is set apart.
void ReadCentralFields(const std::uint8_t* record, TZipHeaderInfo& info);
// Takes the fields of a local header (its first 30 bytes) into info; the name is set apart.
void ReadLocalFields(const std::uint8_t* header, TZipHeaderInfo& info);

// The size a writer of large archives puts in a 32-bit field whose true value is in the extra
// field's Zip64 block.
inline constexpr std::uint32_t kZip64Placeholder = 0xFFFFFFFF;
// A central record whose sizes are placeholders carries the true ones in the Zip64 block of its
// extra field (tag 1: the uncompressed size, then the compressed size, 8 bytes each, each there
// only when its 32-bit field is a placeholder). A true size below 4 GiB replaces the placeholder;
// a larger one is beyond this engine and the placeholder stays, as does a block cut short.
void TakeZip64Sizes(const std::string& extra, TZipHeaderInfo& info);

// Sets an entry's directory and file name from its stored name: "/" becomes "\", the bytes go
// from the OEM to the ANSI code page, and the name is split after its last "\" or ":". `previous`
// carries the folder of the entry named before, which consecutive entries in it then share.
void SetEntryName(std::string storedName, TZipHeaderInfo& info, TZipHeaderInfo& previous);

} // namespace kq
