// UnZip: one extraction run over the selected entries of the archive, and each entry from its
// local header to the verdict on its CRC-32.
//
// An entry's data starts after its local header (30 bytes, then its own name and extra field,
// whose lengths may differ from the central record's). An encrypted entry's data starts with a
// 12-byte encryption header whose last byte, decrypted, must match a byte the catalogue knows:
// that is the password check (entry_password.cpp). The entry's file is written beside its own
// name and takes it only when whole (output_file.cpp).
#include "extraction/extraction_run.h"

#include "catalogue/archive_format.h"
#include "decoders/decode_entry.h"
#include "decoders/unzip_context.h"
#include "extraction/output_path.h"
#include "extraction/wildcard.h"
#include "io/buffer_stream.h"
#include "platform/files.h"
#include "unzip/errors.h"

#include <string>
#include <utility>

namespace kq {

namespace {

// A folder entry has no file name ("dir/"). Archives made on MS-DOS also store folders without
// the trailing "/", marked by the directory attribute alone; taken for files they would become
// empty files that block every file stored below them.
bool IsFolderEntry(const TZipHeaderInfo& entry) {
    constexpr std::uint32_t kDirectoryAttribute = 0x10;
    return entry.FileName().empty() || ((entry.ExternalAttributes() & kDirectoryAttribute) != 0 &&
                                        entry.UncompressedSize() == 0);
}

} // namespace

TExtractionRun::TExtractionRun(TExtractionOptions options, const TExtractionEvents& events,
                               TExtractionHost& host)
    : options_(std::move(options)), events_(events), host_(host) {}

TExtractionRun::~TExtractionRun() = default;

// --- The run -------------------------------------------------------------------------------------

int TExtractionRun::Run() {
    try {
        Prepare();
        const int files = SelectEntries();
        bool stopNow = false;
        if (events_.OnStartUnZipInfo) {
            events_.OnStartUnZipInfo(events_.Sender, files, context_->RunTotalBytes, stopNow);
        }
        if (files > 0 && !stopNow) {
            ExtractSelected();
        }
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
    return extracted_;
}

void TExtractionRun::Prepare() {
    // The decoders' window and the input and output buffers serve every entry of the run.
    context_ = std::make_unique<TUnzipContext>();
    if (!options_.TestOnly && !options_.DestDir.empty() && !DirectoryExists(options_.DestDir)) {
        MakeFolders(options_.DestDir);
    }
    if (options_.MultiPart) {
        host_.UsePhysicalOrder();
    }
    context_->RunTotalBytes = 0;
    context_->RunBytesWritten = 0;
}

// Marks the entries to extract and adds up their sizes; returns the number of files among them.
int TExtractionRun::SelectEntries() {
    const int codePage = CodePage();
    std::vector<AnsiString> patterns;
    for (const AnsiString& pattern : options_.Patterns) {
        patterns.push_back(LowerCase(pattern, codePage));
    }
    const int count = host_.Count();
    int files = count;
    for (int i = 0; i < count; ++i) {
        TZipHeaderInfo& entry = host_.EntryAt(i);
        entry.SetSelected(options_.DoAll);
        const bool isFolder = IsFolderEntry(entry);
        if (isFolder && !options_.RecreateDirs) {
            entry.SetSelected(false);
            --files;
            continue;
        }
        const AnsiString path = LowerCase(entry.Directory() + entry.FileName(), codePage);
        for (std::size_t p = 0; p < patterns.size() && !entry.Selected(); ++p) {
            if (IsWildcardMatch(patterns[p], path)) {
                entry.SetSelected(true);
            }
        }
        if (entry.Selected() && !isFolder) {
            context_->RunTotalBytes += entry.UncompressedSize();
        } else {
            --files;
        }
    }
    return files;
}

void TExtractionRun::ExtractSelected() {
    for (int i = 0; i < host_.Count(); ++i) {
        if (!options_.DoAll && !host_.EntryAt(i).Selected()) {
            continue;
        }
        do {
            ExtractEntry(i);
        } while (again_);
    }
}

// Runs on every way out of the run, in this order.
void TExtractionRun::Finish() {
    context_.reset();
    host_.EndRun();
    if (events_.OnUnZipComplete) {
        events_.OnUnZipComplete(events_.Sender, extracted_);
    }
}

// --- One entry -----------------------------------------------------------------------------------

void TExtractionRun::ExtractEntry(int index) {
    again_ = false;
    entry_.Assign(&host_.EntryAt(index));
    const bool isFolder = IsFolderEntry(entry_);
    const std::int64_t dataStart = isFolder ? 0 : LocateData();
    if (options_.TestOnly) {
        if (!isFolder) {
            TestEntry(index, dataStart);
        }
        return;
    }
    const AnsiString folder = EntryOutputFolder(
        options_.DestDir, entry_.Directory(), options_.RootDir, options_.RecreateDirs, CodePage());
    if (isFolder) {
        MakeFolderEntry(folder);
        return;
    }
    AnsiString fileName = folder + SafeEntryFileName(entry_.FileName(), CodePage());
    if (!StartAllowed(index, fileName)) {
        return;
    }
    MakeFolderOf(fileName);
    if (entry_.Encrypted() && !PasswordFits(index, dataStart)) {
        return;
    }
    if (!MayOverwrite(index, fileName)) {
        Skip(TSkipReason::srNoOverwrite, fileName, index);
        return;
    }
    ExtractFile(index, fileName, dataStart);
}

// Opens the part the entry starts on and returns where its data starts.
std::int64_t TExtractionRun::LocateData() {
    if (options_.MultiPart && entry_.StartPart() != host_.CurrentPart()) {
        host_.SwitchToPart(entry_.StartPart() + 1);
    }
    return ReadLocalHeader();
}

// Reads the entry's local header and returns where its data starts. A header that is not
// wholly inside the archive (its part of a multi-part archive), or data that reaches into
// what follows the entry, is damage: EBadZipFile.
std::int64_t TExtractionRun::ReadLocalHeader() {
    TLFNFileStream& archive = host_.Archive();
    const std::int64_t offset = entry_.LocalHeaderOffset();
    std::uint8_t header[kLocalHeaderSize];
    if (archive.Seek(offset, soFromBeginning) != offset) {
        throw EBadZipFile();
    }
    ReadArchiveBytes(archive, header, kLocalHeaderSize);
    // The local name and extra field may differ in length from the central record's.
    const std::uint16_t nameLength = LoadU16(header + 26);
    const std::uint16_t extraLength = LoadU16(header + 28);
    entry_.SetLocalExtraLength(extraLength);
    const std::int64_t dataStart = offset + kLocalHeaderSize + nameLength + extraLength;
    if (dataStart > archive.Size()) {
        throw EBadZipFile();
    }
    // Data running into the next entry or the central directory: entries sharing bytes.
    if (host_.OverlapsNext(entry_, dataStart + entry_.CompressedSize())) {
        throw EBadZipFile();
    }
    return dataStart;
}

void TExtractionRun::TestEntry(int index, std::int64_t dataStart) {
    AnsiString name = StoredPath();
    if (!StartAllowed(index, name)) {
        return;
    }
    if (entry_.Encrypted() && !PasswordFits(index, dataStart)) {
        return;
    }
    TDiscardStream output;
    Decode(output, dataStart);
    Verdict(index, name);
}

// OnStartUnZip, which may rename the entry's file or skip the entry; false when it skips it.
bool TExtractionRun::StartAllowed(int index, AnsiString& name) {
    bool skip = false;
    if (events_.OnStartUnZip) {
        events_.OnStartUnZip(events_.Sender, index, name, skip);
    }
    return !skip;
}

// A folder entry makes its folder, named when the entries' folders are recreated.
void TExtractionRun::MakeFolderEntry(const AnsiString& folder) {
    const bool named = options_.RecreateDirs && !entry_.FileName().empty();
    MakeFolders(named ? folder + SafeEntryFolder(entry_.FileName(), "", CodePage()) : folder);
}

void TExtractionRun::MakeFolderOf(const AnsiString& fileName) {
    const AnsiString outputFolder = ExtractFilePath(fileName, CodePage());
    if (outputFolder != madeFolder_) {
        madeFolder_ = MakeFolders(outputFolder) ? outputFolder : AnsiString();
    }
}

void TExtractionRun::WireContext() {
    TUnzipContext& context = *context_;
    context.Archive = &host_.Archive();
    context.DoProcessMessages = options_.DoProcessMessages;
    context.MultiVolume = options_.MultiPart;
    context.NextVolume = nullptr;
    if (events_.OnGetNextDisk) {
        context.NextVolume = [this]() -> TStream* {
            return OpenNextPart() ? &host_.Archive() : nullptr;
        };
    }
    context.OnFilePercentDone = nullptr;
    if (events_.OnFilePercentDone) {
        context.OnFilePercentDone = [this](int percent) {
            events_.OnFilePercentDone(events_.Sender, percent);
        };
    }
    context.OnTotalPercentDone = nullptr;
    if (events_.OnTotalPercentDone) {
        context.OnTotalPercentDone = [this](int percent) {
            events_.OnTotalPercentDone(events_.Sender, percent);
        };
    }
}

// Decodes the entry into output; false when its data turned out larger than declared.
bool TExtractionRun::Decode(TStream& output, std::int64_t dataStart) {
    const bool encrypted = entry_.Encrypted();
    // An encrypted entry's data follows its header, which may have ended in a later part.
    host_.Archive().Seek(encrypted ? afterHeader_ : dataStart, soFromBeginning);
    WireContext();
    context_->StartEntry(&output, entry_.CompressedSize(), entry_.UncompressedSize(), encrypted);
    // The keys go on from where the password check left them.
    context_->Keys = keys_;
    try {
        DecodeEntryData(*context_, entry_.CompressionMethod(), entry_.Flags());
    } catch (const EBiggerThanUncompressed&) {
        return false;
    }
    return true;
}

void TExtractionRun::Verdict(int index, const AnsiString& fileName) {
    const std::uint32_t crc = context_->FinalCrc();
    if (crc != entry_.CRC32()) {
        BadData(index, crc);
        return;
    }
    if (!options_.TestOnly && !MoveIntoPlace(index, fileName)) {
        return;
    }
    if (events_.OnEndUnZip) {
        events_.OnEndUnZip(events_.Sender, index, fileName);
    }
    ++extracted_;
}

// An entry whose data did not come out as it went in. The damaged partial file goes
// (ExtractFile's end); the file there, if any, stays. An encrypted entry may have been decrypted
// with a wrong password that passed the one-byte check: with a new one it is extracted again.
void TExtractionRun::BadData(int index, std::uint32_t crc) {
    if (entry_.Encrypted()) {
        if (NewPassword(index)) {
            again_ = true;
        }
        if (!again_) {
            ReportSkip(TSkipReason::srBadPassword, StoredPath(), index);
        }
    } else if (events_.OnBadCRC) {
        events_.OnBadCRC(events_.Sender, crc, entry_.CRC32(), index);
    }
}

void TExtractionRun::ReportSkip(TSkipReason reason, const AnsiString& fileName, int index) {
    if (events_.OnSkippingFile) {
        events_.OnSkippingFile(events_.Sender, reason, fileName, index, retry_);
    }
}

// A skipped entry's bytes no longer count towards the run's total.
void TExtractionRun::Skip(TSkipReason reason, const AnsiString& fileName, int index) {
    ReportSkip(reason, fileName, index);
    context_->RunTotalBytes -= entry_.UncompressedSize();
}

} // namespace kq
