#include "unzip/archive_format.h"

#include "base/strings.h"
#include "platform/codepage.h"
#include "unzip/dos_date_time.h"
#include "unzip/errors.h"
#include "unzip/text.h"

namespace kq {

void ReadArchiveBytes(TStream& archive, void* buffer, std::int32_t count) {
    if (count < 0 || archive.Read(buffer, count) != count)
        throw EBadZipFile();
}

void ReadCentralFields(const std::uint8_t* record, TZipHeaderInfo& info) {
    info.SetVersionMadeBy(LoadU16(record + 4));
    info.SetVersionNeeded(LoadU16(record + 6));
    info.SetFlags(LoadU16(record + 8));
    info.SetCompressionMethod(LoadU16(record + 10));
    info.SetDateTime(FixDosDateTime(LoadU32(record + 12)));
    info.SetCRC32(LoadU32(record + 16));
    info.SetCompressedSize(LoadU32(record + 20));
    info.SetUncompressedSize(LoadU32(record + 24));
    info.SetCentralExtraLength(LoadU16(record + 30));
    info.SetFileCommentLength(LoadU16(record + 32));
    info.SetStartPart(LoadU16(record + 34));
    info.SetInternalAttributes(LoadU16(record + 36));
    info.SetExternalAttributes(LoadU32(record + 38));
    info.SetLocalHeaderOffset(LoadU32(record + 42));
}

void ReadLocalFields(const std::uint8_t* header, TZipHeaderInfo& info) {
    info.SetVersionNeeded(LoadU16(header + 4));
    info.SetFlags(LoadU16(header + 6));
    info.SetCompressionMethod(LoadU16(header + 8));
    info.SetDateTime(FixDosDateTime(LoadU32(header + 10)));
    info.SetCRC32(LoadU32(header + 14));
    info.SetCompressedSize(LoadU32(header + 18));
    info.SetUncompressedSize(LoadU32(header + 22));
    info.SetLocalExtraLength(LoadU16(header + 28));
}

void TakeZip64Sizes(const std::string& extra, TZipHeaderInfo& info) {
    constexpr std::uint16_t kZip64Tag = 1;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(extra.data());
    std::size_t at = 0;
    while (at + 4 <= extra.size()) {
        const std::uint16_t tag = LoadU16(bytes + at);
        const std::size_t length = LoadU16(bytes + at + 2);
        at += 4;
        if (at + length > extra.size())
            return;
        if (tag != kZip64Tag) {
            at += length;
            continue;
        }
        std::size_t field = at;
        const auto take = [&](std::uint32_t value, void (TZipHeaderInfo::*set)(std::uint32_t)) {
            if (value != kZip64Placeholder)
                return;
            if (field + 8 > at + length)
                return;
            const std::uint64_t wide =
                LoadU32(bytes + field) | std::uint64_t(LoadU32(bytes + field + 4)) << 32;
            field += 8;
            if (wide <= kZip64Placeholder)
                (info.*set)(static_cast<std::uint32_t>(wide));
        };
        take(info.UncompressedSize(), &TZipHeaderInfo::SetUncompressedSize);
        take(info.CompressedSize(), &TZipHeaderInfo::SetCompressedSize);
        return;
    }
}

void SetEntryName(std::string storedName, TZipHeaderInfo& info, TZipHeaderInfo& previous) {
    ForwardSlashesToBackslashes(storedName);
    const std::string name = OemToAnsi(storedName);
    // In a double-byte code page the second byte of a character may be 0x5C, which is not a
    // backslash there.
    const int codePage = static_cast<int>(GetACP());
    info.SetDirectory(ExtractFilePath(name, codePage), previous);
    info.SetFileName(ExtractFileName(name, codePage));
    previous.SetDirectory(info.Directory(), info);
}

} // namespace kq
