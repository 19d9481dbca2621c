// Reading an archive's catalogue.
//
// The end-of-central-directory record is looked for backwards from the end of the archive, in
// its last 65557 bytes (the record and the largest comment). It gives the number of central
// records and where the first one is; they are read one after the other into the main list,
// kept in physical order. An archive without an end record may have its central directory in a
// companion file of the same name with the extension ".zfc". When the catalogue is missing or
// damaged, IncompleteZipMode decides: an error, or (izAssumeBad) a catalogue rebuilt from the
// local headers found by scanning the archive, to which the central records that can still be
// read add what the local headers lack.
//
// Every read is checked for its length; a record cut short or pointing outside the archive is
// a damaged catalogue, never a read outside a buffer.
//
// Entries must not share bytes. An archive whose records point into each other's data, or into
// the central directory, would have its bytes decoded over and over (a small file that expands
// into an enormous output); it is refused as damaged. The main list is kept in physical order,
// so each entry is checked against its neighbour, found by binary search: an entry takes at
// least its 30-byte local header and its compressed data before the next one starts. The
// extraction run checks again with the local header's true name and extra lengths.
#include "base/strings.h"
#include "catalogue/archive_format.h"
#include "catalogue/text.h"
#include "io/buffer_stream.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "unzip/errors.h"
#include "unzip/zip_extractor.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kq {
namespace {

// A self-extracting archive (".EXE") starts with its program; scanning for local headers
// starts after the space such a program takes, so that bytes in it are not taken for headers.
constexpr std::int64_t kSelfExtractorSize = 14000;
// While scanning, pending window messages are processed after this many bytes.
constexpr std::int64_t kScanMessageInterval = 10240;

AnsiString ChangeFileExt(const AnsiString& path, const AnsiString& extension) {
    const size_t separator = path.find_last_of("\\/:");
    const size_t dot = path.rfind('.');
    if (dot == AnsiString::npos || (separator != AnsiString::npos && dot < separator)) {
        return path + extension;
    }
    return path.substr(0, dot) + extension;
}

} // namespace

class TZipExtractor::CatalogueReader {
public:
    explicit CatalogueReader(TZipExtractor& zip) : zip_(zip), end_(zip.endCentral_) {}

    void Read();

private:
    enum class RecordResult { Read, Damaged };

    TLFNFileStream& Source() { return companion_ ? *companion_ : *zip_.archive_; }
    bool MultiPart() const { return zip_.multiPartMode_ != TMultiPartMode::mpSinglePart; }
    // Central records continue on the next part only when they come from the parts themselves.
    bool ReadsAcrossParts() const { return MultiPart() && !companion_ && !zip_.rebuiltByScanning_; }
    // Comments of a multi-part archive are read with the catalogue, so that no disk has to be
    // inserted again for them; so are those of a companion file, whose offsets the archive
    // itself does not share.
    bool ReadsCommentsNow() const { return MultiPart() || companion_ != nullptr; }

    bool FindEndCentral(TStream& stream, bool acceptEmpty);
    bool OpenCompanion();
    TIncompleteZipMode AskIncompleteMode();
    void HandleMissingEnd();
    bool HandleDamagedCentral();
    void TakePartNumbers();
    bool LocateCentralDirectory();
    void ReadCentralRecords();
    RecordResult ReadCentralRecord();
    void Insert(std::unique_ptr<TZipHeaderInfo> info);
    void ReadArchiveCommentNow();
    void BuildSortedView();
    void RememberCentralSpan();
    void RefuseOverlaps();

    void RebuildByScanning();
    bool FindLocalSignature(TStream& stream, std::int64_t start);
    void ReadLocalHeaders(TLFNFileStream& stream);

    TZipExtractor& zip_;
    TEndCentral& end_;
    std::unique_ptr<TLFNFileStream> companion_;
    // Holds the folder of the entry read last, for the next one in the same folder to share.
    TZipHeaderInfo previous_;
};

void TZipExtractor::ReadCatalogue() {
    CatalogueReader reader(*this);
    reader.Read();
}

void TZipExtractor::CatalogueReader::Read() {
    zip_.archiveTime_ = zip_.archive_->Handle().DosDateTime();
    zip_.DiscardCatalogue();
    end_.Reset();
    try {
        if (!FindEndCentral(*zip_.archive_, true) && !OpenCompanion()) {
            HandleMissingEnd();
        }
        TakePartNumbers();
        const bool readRecords = end_.TotalEntries() != 0 && LocateCentralDirectory();
        if (!zip_.mainList_) {
            zip_.mainList_ =
                std::make_unique<TSortedZip>(TZipSortMode::ByNone, TDuplicates::dupError, true);
        }
        if (readRecords) {
            ReadCentralRecords();
        }
        RememberCentralSpan();
        RefuseOverlaps();
        ReadArchiveCommentNow();
        zip_.partCount_ = end_.ThisPart() + 1;
        BuildSortedView();
    } catch (...) {
        // A catalogue read half way is no catalogue: the next operation reads it again.
        zip_.DiscardCatalogue();
        end_.Reset();
        throw;
    }
}

// --- The end record ------------------------------------------------------------------------------

bool TZipExtractor::CatalogueReader::FindEndCentral(TStream& stream, bool acceptEmpty) {
    const std::int64_t size = stream.Size();
    if (size < kEndCentralSize) {
        // An empty archive has no entries and no end record; anything else this short is not
        // an archive.
        return acceptEmpty && size == 0;
    }
    const auto window =
        static_cast<std::int32_t>(std::min<std::int64_t>(size, kEndCentralSearchSize));
    const std::int64_t windowStart = size - window;
    std::vector<std::uint8_t> bytes(static_cast<size_t>(window));
    stream.Seek(windowStart, soFromBeginning);
    if (stream.Read(bytes.data(), window) != window) {
        return false;
    }
    // The last match wins, even one inside the archive comment.
    for (std::int32_t at = window - kEndCentralSize; at >= 0; --at) {
        const std::uint8_t* record = bytes.data() + at;
        if (record[0] != 0x50 || LoadU32(record) != kEndCentralSignature) {
            continue;
        }
        end_.SetSignature(kEndCentralSignature);
        ReadEndFields(record, end_);
        // The comment follows the record; bytes appended after it are not part of it.
        end_.SetCommentOffset(windowStart + at + kEndCentralSize);
        return true;
    }
    return false;
}

bool TZipExtractor::CatalogueReader::OpenCompanion() {
    const AnsiString name = ChangeFileExt(zip_.zipName_, ".zfc");
    if (!FileExists(name)) {
        return false;
    }
    companion_ = std::make_unique<TLFNFileStream>(name, FileMode::Read, false);
    if (FindEndCentral(*companion_, false)) {
        return true;
    }
    companion_.reset();
    return false;
}

TIncompleteZipMode TZipExtractor::CatalogueReader::AskIncompleteMode() {
    if (zip_.OnInCompleteZip) {
        zip_.OnInCompleteZip(&zip_, zip_.incompleteZipMode_);
    }
    return zip_.incompleteZipMode_;
}

void TZipExtractor::CatalogueReader::HandleMissingEnd() {
    switch (AskIncompleteMode()) {
    case TIncompleteZipMode::izAssumeNotAZip:
        throw ENotAZipFile();
    case TIncompleteZipMode::izAssumeBad:
        RebuildByScanning();
        return;
    case TIncompleteZipMode::izAssumeMulti:
        break;
    }
    throw EIncompleteZip();
}

// The central directory is missing or a record is damaged. Returns true when the catalogue has
// just been rebuilt by scanning and central records are to be read from where the scan ended
// (the central directory of an archive whose offsets are wrong), false when reading central
// records ends. A catalogue is rebuilt at most once: what is damaged after that is left out.
bool TZipExtractor::CatalogueReader::HandleDamagedCentral() {
    if (zip_.rebuiltByScanning_) {
        return false;
    }
    if (AskIncompleteMode() != TIncompleteZipMode::izAssumeBad) {
        throw EBadZipFile();
    }
    RebuildByScanning();
    return true;
}

// --- Central records -----------------------------------------------------------------------------

void TZipExtractor::CatalogueReader::TakePartNumbers() {
    zip_.currentPart_ = companion_ ? 0 : end_.ThisPart();
    if (end_.ThisPart() != 0) {
        zip_.DecideMultiPartMode();
    } else {
        zip_.multiPartMode_ = TMultiPartMode::mpSinglePart;
    }
}

bool TZipExtractor::CatalogueReader::LocateCentralDirectory() {
    if (MultiPart() && !companion_ && !zip_.rebuiltByScanning_ &&
        end_.CentralStartPart() != zip_.currentPart_) {
        zip_.SwitchToPart(end_.CentralStartPart() + 1);
    }
    TStream& stream = Source();
    stream.Seek(companion_ ? 0 : end_.CentralOffset(), soFromBeginning);
    std::uint8_t signature[4];
    if (stream.Read(signature, 4) == 4 && LoadU32(signature) == kCentralSignature) {
        stream.Seek(-4, soFromCurrent);
        return true;
    }
    return HandleDamagedCentral();
}

void TZipExtractor::CatalogueReader::ReadCentralRecords() {
    int read = 0;
    while (read < end_.TotalEntries()) {
        if (ReadCentralRecord() == RecordResult::Read) {
            ++read;
        } else if (HandleDamagedCentral()) {
            read = 0; // the rebuilt catalogue's records, from where the scan ended
        } else {
            return;
        }
    }
}

TZipExtractor::CatalogueReader::RecordResult TZipExtractor::CatalogueReader::ReadCentralRecord() {
    TLFNFileStream* stream = &Source();
    const std::int64_t start = stream->Position();
    std::uint8_t record[kCentralRecordSize];
    std::int32_t got = stream->Read(record, kCentralRecordSize);
    const bool cutByPartEnd =
        got == 0 || (got >= 4 && got < kCentralRecordSize && LoadU32(record) == kCentralSignature);
    if (ReadsAcrossParts() && cutByPartEnd) {
        zip_.SwitchToPart(zip_.currentPart_ + 2);
        stream = &Source();
        got += stream->Read(record + got, kCentralRecordSize - got);
    }
    bool valid = got == kCentralRecordSize && LoadU32(record) == kCentralSignature;
    std::string name;
    if (valid) {
        name.resize(LoadU16(record + 28));
        const auto length = static_cast<std::int32_t>(name.size());
        valid = stream->Read(name.data(), length) == length;
    }
    std::string extra;
    std::string comment;
    if (valid) {
        // The extra field is read only for the sizes it may hold.
        const std::uint16_t extraLength = LoadU16(record + 30);
        if (LoadU32(record + 20) == kZip64Placeholder ||
            LoadU32(record + 24) == kZip64Placeholder) {
            extra.resize(extraLength);
            valid = stream->Read(extra.data(), extraLength) == extraLength;
        } else {
            stream->Seek(extraLength, soFromCurrent);
        }
    }
    if (valid) {
        comment.resize(LoadU16(record + 32));
        const auto length = static_cast<std::int32_t>(comment.size());
        if (ReadsCommentsNow()) {
            valid = stream->Read(comment.data(), length) == length;
        } else {
            stream->Seek(length, soFromCurrent);
        }
        // An extra field or comment said to run past the end of the file is damage too.
        valid = valid && stream->Position() <= Source().FileSize();
    }
    if (!valid) {
        stream->Seek(start, soFromBeginning);
        return RecordResult::Damaged;
    }
    auto info = std::make_unique<TZipHeaderInfo>();
    ReadCentralFields(record, *info);
    TakeZip64Sizes(extra, *info);
    SetEntryName(std::move(name), *info, previous_);
    info->SetCentralRecordOffset(start);
    if (ReadsCommentsNow()) {
        info->SetFileComment(ToOwnedText(comment));
    }
    Insert(std::move(info));
    return RecordResult::Read;
}

void TZipExtractor::CatalogueReader::Insert(std::unique_ptr<TZipHeaderInfo> info) {
    TSortedZip& main = *zip_.mainList_;
    if (!zip_.rebuiltByScanning_) {
        main.Add(info.get()); // EListError for a second entry at the same place
        info.release();
        return;
    }
    // A rebuilt catalogue keeps the entries found by scanning; a central record completes the
    // one it describes and is dropped when it describes none.
    const int index = main.Find(info.get());
    if (index < 0) {
        return;
    }
    TZipHeaderInfo& scanned = *main.Entry(index);
    const std::uint32_t offset = scanned.LocalHeaderOffset();
    scanned.Assign(info.get());
    scanned.SetLocalHeaderOffset(offset);
}

void TZipExtractor::CatalogueReader::ReadArchiveCommentNow() {
    if (end_.CommentLength() == 0 || !ReadsCommentsNow()) {
        return;
    }
    if (!companion_ && zip_.currentPart_ != end_.ThisPart()) {
        zip_.SwitchToPart(end_.ThisPart() + 1);
    }
    TStream& stream = Source();
    stream.Seek(end_.CommentOffset(), soFromBeginning);
    std::string comment(end_.CommentLength(), '\0');
    ReadArchiveBytes(stream, comment.data(), static_cast<std::int32_t>(comment.size()));
    end_.SetComment(ToOwnedText(comment));
}

void TZipExtractor::CatalogueReader::BuildSortedView() {
    if (zip_.sortMode_ == TZipSortMode::ByNone) {
        return;
    }
    zip_.sortedView_ = std::make_unique<TSortedZip>(zip_.sortMode_, TDuplicates::dupAccept, false);
    const TSortedZip& main = *zip_.mainList_;
    for (int i = 0; i < main.Count(); ++i) {
        zip_.sortedView_->Add(main.Entry(i));
    }
}

// --- Overlapping entries -----------------------------------------------------------------------

void TZipExtractor::CatalogueReader::RememberCentralSpan() {
    zip_.centralSpan_ = {};
    if (companion_) {
        return;
    }
    CentralSpan& central = zip_.centralSpan_;
    central.Part = zip_.rebuiltByScanning_ ? 0 : end_.CentralStartPart();
    central.Begin = end_.CentralOffset();
    central.End = std::int64_t{end_.CentralOffset()} + end_.CentralSize();
    if (zip_.currentPart_ == central.Part) {
        central.PartSize = zip_.archive_->Handle().Size();
    }
}

void TZipExtractor::CatalogueReader::RefuseOverlaps() {
    const TSortedZip& main = *zip_.mainList_;
    for (int i = 0; i < main.Count(); ++i) {
        // The least an entry takes: its local header and its data.
        const TZipHeaderInfo& entry = *main.Entry(i);
        if (zip_.OverlapsNext(entry, std::int64_t{entry.LocalHeaderOffset()} + kLocalHeaderSize +
                                         entry.CompressedSize())) {
            throw EBadZipFile();
        }
    }
}

// Data said to run past the end of the part holding the central directory is not checked
// against the directory: that is an archive cut short, which the entry's extraction reports
// when its data runs out. The next local header is never to be reached, wherever the data ends.
bool TZipExtractor::OverlapsNext(const TZipHeaderInfo& entry, std::int64_t end) const {
    const std::int64_t offset = entry.LocalHeaderOffset();
    const CentralSpan& central = centralSpan_;
    if (entry.StartPart() == central.Part && central.Begin < central.End &&
        end <= central.PartSize && offset < central.End && end > central.Begin) {
        return true;
    }
    const int index = mainList_ ? mainList_->Find(&entry) : -1;
    if (index < 0 || index + 1 >= mainList_->Count()) {
        return false;
    }
    const TZipHeaderInfo& next = *mainList_->Entry(index + 1);
    return next.StartPart() == entry.StartPart() && end > next.LocalHeaderOffset();
}

// --- Rebuilding by scanning ----------------------------------------------------------------------

void TZipExtractor::CatalogueReader::RebuildByScanning() {
    companion_.reset();
    zip_.DiscardCatalogue();
    zip_.rebuiltByScanning_ = true;
    zip_.multiPartMode_ = TMultiPartMode::mpSinglePart;
    TLFNFileStream& stream = *zip_.archive_;
    const bool selfExtractor = SameText(ExtractFileExt(zip_.zipName_), ".EXE");
    if (!FindLocalSignature(stream, selfExtractor ? kSelfExtractorSize : 0)) {
        throw EBadZipFile();
    }
    zip_.mainList_ =
        std::make_unique<TSortedZip>(TZipSortMode::ByNone, TDuplicates::dupError, true);
    ReadLocalHeaders(stream);
    if (zip_.mainList_->Count() == 0) {
        throw EBadZipFile();
    }
    end_.SetThisPart(0);
    end_.SetCentralOffset(static_cast<std::uint32_t>(stream.Position()));
    end_.SetTotalEntries(static_cast<std::uint16_t>(zip_.mainList_->Count()));
    zip_.currentPart_ = 0;
    zip_.partCount_ = 1;
}

// Leaves the stream at the first local header signature from start whose version-needed field
// is plausible (its high byte, the host system, below 10).
bool TZipExtractor::CatalogueReader::FindLocalSignature(TStream& stream, std::int64_t start) {
    static constexpr std::uint8_t kSignature[4] = {0x50, 0x4B, 0x03, 0x04};
    stream.Seek(start, soFromBeginning);
    int matched = 0;
    std::int64_t skipped = 0;
    std::uint8_t b = 0;
    while (stream.Read(&b, 1) == 1) {
        if (++skipped % kScanMessageInterval == 0 && zip_.doProcessMessages_) {
            ProcessMessages();
        }
        if (b == kSignature[matched]) {
            ++matched;
        } else {
            matched = b == kSignature[0] ? 1 : 0;
        }
        if (matched < 4) {
            continue;
        }
        matched = 0;
        std::uint8_t version[2];
        if (stream.Read(version, 2) != 2) {
            return false;
        }
        if (version[1] < 10) {
            stream.Seek(-6, soFromCurrent);
            return true;
        }
    }
    return false;
}

void TZipExtractor::CatalogueReader::ReadLocalHeaders(TLFNFileStream& stream) {
    const std::int64_t fileSize = stream.FileSize();
    while (true) {
        const std::int64_t start = stream.Position();
        std::uint8_t header[kLocalHeaderSize];
        bool valid = start <= 0xFFFFFFFF &&
                     stream.Read(header, kLocalHeaderSize) == kLocalHeaderSize &&
                     LoadU32(header) == kLocalSignature;
        std::string name;
        if (valid) {
            name.resize(LoadU16(header + 26));
            const auto length = static_cast<std::int32_t>(name.size());
            valid = stream.Read(name.data(), length) == length;
        }
        if (!valid) {
            stream.Seek(start, soFromBeginning);
            return;
        }
        auto info = std::make_unique<TZipHeaderInfo>();
        ReadLocalFields(header, *info);
        std::int64_t skip = std::int64_t{info->CompressedSize()} + info->LocalExtraLength();
        if (info->HasDataDescriptor()) {
            skip += kDataDescriptorSize;
        }
        // An entry whose data would run past the end of the file is cut off: it ends the scan.
        if (stream.Position() + skip > fileSize) {
            stream.Seek(start, soFromBeginning);
            return;
        }
        SetEntryName(std::move(name), *info, previous_);
        info->SetLocalHeaderOffset(static_cast<std::uint32_t>(start));
        zip_.mainList_->Add(info.get());
        info.release();
        stream.Seek(skip, soFromCurrent);
    }
}

} // namespace kq
