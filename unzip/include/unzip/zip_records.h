// The catalogue's records: the end-of-central-directory record of an archive and one entry of
// its central directory.
#pragma once

#include "base/persistent.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kq {

inline constexpr uint32_t kEndCentralSignature = 0x06054B50;
inline constexpr uint32_t kCentralSignature = 0x02014B50;
inline constexpr uint32_t kLocalSignature = 0x04034B50;

// The end-of-central-directory record. Lengths kept in memory are wider than on disk so that a
// comment set by the owner cannot overflow them.
class TEndCentral : public TPersistent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    void Assign(const TPersistent* source) override;
    // Clears every field but the signature and discards the comment.
    void Reset();

    uint32_t Signature() const { return signature_; }
    void SetSignature(uint32_t value) { signature_ = value; }
    uint16_t ThisPart() const { return thisPart_; }
    void SetThisPart(uint16_t value) { thisPart_ = value; }
    uint16_t CentralStartPart() const { return centralStartPart_; }
    void SetCentralStartPart(uint16_t value) { centralStartPart_ = value; }
    uint16_t EntriesThisPart() const { return entriesThisPart_; }
    void SetEntriesThisPart(uint16_t value) { entriesThisPart_ = value; }
    uint16_t TotalEntries() const { return totalEntries_; }
    void SetTotalEntries(uint16_t value) { totalEntries_ = value; }
    uint32_t CentralSize() const { return centralSize_; }
    void SetCentralSize(uint32_t value) { centralSize_ = value; }
    uint32_t CentralOffset() const { return centralOffset_; }
    void SetCentralOffset(uint32_t value) { centralOffset_ = value; }
    uint32_t CommentLength() const { return commentLength_; }
    void SetCommentLength(uint32_t value) { commentLength_ = value; }
    // None until read from the archive or set by the owner.
    const std::optional<std::string>& Comment() const { return comment_; }
    void SetComment(std::optional<std::string> value) { comment_ = std::move(value); }
    int64_t CommentOffset() const { return commentOffset_; }
    void SetCommentOffset(int64_t value) { commentOffset_ = value; }
    bool CommentChanged() const { return commentChanged_; }
    void SetCommentChanged(bool value) { commentChanged_ = value; }

protected:
    void AssignTo(TPersistent* dest) const override;

private:
    void CopyFrom(const TEndCentral& other);

    uint32_t signature_ = kEndCentralSignature;
    uint16_t thisPart_ = 0;
    uint16_t centralStartPart_ = 0;
    uint16_t entriesThisPart_ = 0;
    uint16_t totalEntries_ = 0;
    uint32_t centralSize_ = 0;
    uint32_t centralOffset_ = 0;
    uint32_t commentLength_ = 0;
    std::optional<std::string> comment_;
    int64_t commentOffset_ = 0;
    bool commentChanged_ = false;
};

// One entry of the catalogue. A fresh record holds the values of a deflated, archived file.
class TZipHeaderInfo : public TPersistent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    void Assign(const TPersistent* source) override;

    uint16_t VersionMadeBy() const { return versionMadeBy_; }
    void SetVersionMadeBy(uint16_t value) { versionMadeBy_ = value; }
    uint16_t VersionNeeded() const { return versionNeeded_; }
    void SetVersionNeeded(uint16_t value) { versionNeeded_ = value; }
    uint16_t Flags() const { return flags_; }
    void SetFlags(uint16_t value) { flags_ = value; }
    uint16_t CompressionMethod() const { return compressionMethod_; }
    void SetCompressionMethod(uint16_t value) { compressionMethod_ = value; }
    // DOS date-time: date in the high 16 bits, time in the low 16 bits.
    uint32_t DateTime() const { return dateTime_; }
    void SetDateTime(uint32_t value) { dateTime_ = value; }
    uint32_t CRC32() const { return crc32_; }
    void SetCRC32(uint32_t value) { crc32_ = value; }
    uint32_t CompressedSize() const { return compressedSize_; }
    void SetCompressedSize(uint32_t value) { compressedSize_ = value; }
    uint32_t UncompressedSize() const { return uncompressedSize_; }
    void SetUncompressedSize(uint32_t value) { uncompressedSize_ = value; }
    // Length of the directory part and the file name together.
    uint32_t FileNameLength() const { return fileNameLength_; }
    uint32_t CentralExtraLength() const { return centralExtraLength_; }
    void SetCentralExtraLength(uint32_t value) { centralExtraLength_ = value; }
    uint32_t LocalExtraLength() const { return localExtraLength_; }
    void SetLocalExtraLength(uint32_t value) { localExtraLength_ = value; }
    uint32_t FileCommentLength() const { return fileCommentLength_; }
    void SetFileCommentLength(uint32_t value) { fileCommentLength_ = value; }
    uint16_t StartPart() const { return startPart_; }
    void SetStartPart(uint16_t value) { startPart_ = value; }
    uint16_t InternalAttributes() const { return internalAttributes_; }
    void SetInternalAttributes(uint16_t value) { internalAttributes_ = value; }
    uint32_t ExternalAttributes() const { return externalAttributes_; }
    void SetExternalAttributes(uint32_t value) { externalAttributes_ = value; }
    uint32_t LocalHeaderOffset() const { return localHeaderOffset_; }
    void SetLocalHeaderOffset(uint32_t value) { localHeaderOffset_ = value; }
    // Stream position at which the entry's central record was read.
    int64_t CentralRecordOffset() const { return centralRecordOffset_; }
    void SetCentralRecordOffset(int64_t value) { centralRecordOffset_ = value; }

    // The name without its directory.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& value);
    // The directory part, ending in "\" when not empty.
    const std::string& Directory() const;
    void SetDirectory(const std::string& value);
    // The same, keeping one copy of the folder's name for both records when `neighbour` lies in
    // the same folder: an archive's entries come folder by folder.
    void SetDirectory(const std::string& value, const TZipHeaderInfo& neighbour);
    // None until read; setting it also sets the comment length.
    std::optional<std::string> FileComment() const;
    void SetFileComment(std::optional<std::string> value);

    bool Selected() const { return selected_; }
    void SetSelected(bool value) { selected_ = value; }

    bool Encrypted() const { return (flags_ & 0x0001) != 0; }
    bool HasDataDescriptor() const { return (flags_ & 0x0008) != 0; }
    bool HasComment() const { return fileCommentLength_ != 0; }

protected:
    void AssignTo(TPersistent* dest) const override;

private:
    void CopyFrom(const TZipHeaderInfo& other);
    void SetDirectory(const std::string& value,
                      const std::shared_ptr<const std::string>* candidate);

    // Laid out without holes: a catalogue holds one record per entry, tens of thousands at times.
    uint16_t versionMadeBy_ = 20;
    uint16_t versionNeeded_ = 20;
    uint16_t flags_ = 0;
    uint16_t compressionMethod_ = 8;
    uint32_t dateTime_ = 0;
    uint32_t crc32_ = 0xFFFFFFFF;
    uint32_t compressedSize_ = 0;
    uint32_t uncompressedSize_ = 0;
    uint32_t fileNameLength_ = 0;
    uint32_t centralExtraLength_ = 0;
    uint32_t localExtraLength_ = 0;
    uint32_t fileCommentLength_ = 0;
    uint16_t startPart_ = 0;
    uint16_t internalAttributes_ = 1;
    uint32_t externalAttributes_ = 32;
    uint32_t localHeaderOffset_ = 0;
    bool selected_ = false;
    int64_t centralRecordOffset_ = 0;
    std::string fileName_;
    // Both are immutable once set, so copies of a record share them; no directory is "".
    std::shared_ptr<const std::string> directory_;
    std::shared_ptr<const std::string> fileComment_;
};

} // namespace kq
