#include "catalogue/archive_format.h"

#include "base/strings.h"
#include "catalogue/text.h"
#include "platform/codepage.h"
#include "unzip/dos_date_time.h"
#include "unzip/errors.h"

namespace kq {

void ReadArchiveBytes(TStream& archive, void* buffer, std::int32_t count) {
    if (count < 0 || archive.Read(buffer, count) != count) {
        throw EBadZipFile();
    }
}

namespace {

// One field of a fixed-size record: its offset, its width on disk (2 or 4 bytes) and the
// record's setter that takes it (which may hold it wider).
template <class Record, class Value>
struct TRecordField {
    std::int32_t offset;
    std::int32_t width;
    void (Record::*set)(Value);
};
template <class Record, class Value>
TRecordField(std::int32_t, std::int32_t, void (Record::*)(Value)) -> TRecordField<Record, Value>;

// Takes each field from the record's bytes into record.
template <class Record, class... Values>
void ReadRecordFields(const std::uint8_t* bytes, Record& record,
                      TRecordField<Record, Values>... fields) {
    const auto load = [bytes](std::int32_t offset, std::int32_t width) -> std::uint32_t {
        return width == 2 ? LoadU16(bytes + offset) : LoadU32(bytes + offset);
    };
    ((record.*fields.set)(static_cast<Values>(load(fields.offset, fields.width))), ...);
}

// From the version needed to the uncompressed size, a local header holds the fields of the
// central record in the same order and widths: at is where they begin, 6 bytes into a central
// record and 4 into a local header.
void ReadEntryFields(const std::uint8_t* at, TZipHeaderInfo& info) {
    ReadRecordFields(at, info, TRecordField{0, 2, &TZipHeaderInfo::SetVersionNeeded},
                     TRecordField{2, 2, &TZipHeaderInfo::SetFlags},
                     TRecordField{4, 2, &TZipHeaderInfo::SetCompressionMethod},
                     TRecordField{10, 4, &TZipHeaderInfo::SetCRC32},
                     TRecordField{14, 4, &TZipHeaderInfo::SetCompressedSize},
                     TRecordField{18, 4, &TZipHeaderInfo::SetUncompressedSize});
    info.SetDateTime(FixDosDateTime(LoadU32(at + 6)));
}

} // namespace

void ReadEndFields(const std::uint8_t* record, TEndCentral& end) {
    ReadRecordFields(record, end, TRecordField{4, 2, &TEndCentral::SetThisPart},
                     TRecordField{6, 2, &TEndCentral::SetCentralStartPart},
                     TRecordField{8, 2, &TEndCentral::SetEntriesThisPart},
                     TRecordField{10, 2, &TEndCentral::SetTotalEntries},
                     TRecordField{12, 4, &TEndCentral::SetCentralSize},
                     TRecordField{16, 4, &TEndCentral::SetCentralOffset},
                     TRecordField{20, 2, &TEndCentral::SetCommentLength});
}

void ReadCentralFields(const std::uint8_t* record, TZipHeaderInfo& info) {
    info.SetVersionMadeBy(LoadU16(record + 4));
    ReadEntryFields(record + 6, info);
    ReadRecordFields(record, info, TRecordField{30, 2, &TZipHeaderInfo::SetCentralExtraLength},
                     TRecordField{32, 2, &TZipHeaderInfo::SetFileCommentLength},
                     TRecordField{34, 2, &TZipHeaderInfo::SetStartPart},
                     TRecordField{36, 2, &TZipHeaderInfo::SetInternalAttributes},
                     TRecordField{38, 4, &TZipHeaderInfo::SetExternalAttributes},
                     TRecordField{42, 4, &TZipHeaderInfo::SetLocalHeaderOffset});
}

void ReadLocalFields(const std::uint8_t* header, TZipHeaderInfo& info) {
    ReadEntryFields(header + 4, info);
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
        if (at + length > extra.size()) {
            return;
        }
        if (tag != kZip64Tag) {
            at += length;
            continue;
        }
        std::size_t field = at;
        const auto take = [&](std::uint32_t value, void (TZipHeaderInfo::*set)(std::uint32_t)) {
            if (value != kZip64Placeholder) {
                return;
            }
            if (field + 8 > at + length) {
                return;
            }
            const std::uint64_t wide =
                LoadU32(bytes + field) | std::uint64_t(LoadU32(bytes + field + 4)) << 32;
            field += 8;
            if (wide <= kZip64Placeholder) {
                (info.*set)(static_cast<std::uint32_t>(wide));
            }
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
