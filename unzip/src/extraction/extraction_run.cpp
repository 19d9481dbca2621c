// UnZip: one extraction run over the selected entries of the archive, and each entry from its
// local header to the verdict on its CRC-32.
//
// An entry's data starts after its local header (30 bytes, then its own name and extra field,
// whose lengths may differ from the central record's). An encrypted entry's data starts with a
// 12-byte encryption header whose last byte, decrypted, must match a byte the catalogue knows:
// that is the password check. Times in the catalogue are local DOS date-times, compared at their
// two-second resolution.
#include "base/scope_exit.h"
#include "base/strings.h"
#include "catalogue/archive_format.h"
#include "crypto/crypt.h"
#include "decoders/decode_entry.h"
#include "decoders/unzip_context.h"
#include "extraction/made_folders.h"
#include "extraction/output_path.h"
#include "extraction/wildcard.h"
#include "io/buffer_stream.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "unzip/dos_date_time.h"
#include "unzip/errors.h"
#include "unzip/zip_extractor.h"

#include <algorithm>
#include <memory>
#include <string>

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

// Removes an output file that must not stay, a read-only one included.
void DeleteOutputFile(const AnsiString& fileName) {
    if (!DeleteFile(fileName) && SetFileAttributes(fileName, attr::Normal)) {
        DeleteFile(fileName);
    }
}

// Clears the read-only bit of an existing file; false when there was none to clear.
bool ClearReadOnly(const AnsiString& fileName) {
    const std::uint32_t attributes = GetFileAttributes(fileName);
    if (attributes == attr::Invalid || (attributes & attr::ReadOnly) == 0) {
        return false;
    }
    const std::uint32_t writable = attributes & ~attr::ReadOnly;
    return SetFileAttributes(fileName, writable != 0 ? writable : attr::Normal);
}

// A file is written under this name beside its own, and takes its own name only once its data,
// time and attributes are set: a run that ends at any moment (a kill, a power cut, an error)
// leaves under the file's name either the file as it was or the whole new one, never part of
// it. A partial file left by a killed run is written over by the next. The archive may hold a
// file of that name too: a name the run has written is never taken for a partial file, which
// then takes "<name>.1.partial", "<name>.2.partial"... (the same one for the same archive).
AnsiString PartialName(const AnsiString& fileName, TMadeFolders& made) {
    AnsiString name = fileName + ".partial";
    if (!made.WasUsed(name)) {
        return name;
    }
    for (int n = 1;; ++n) {
        name = fileName + "." + std::to_string(n) + ".partial";
        if (!made.WasUsed(name)) {
            made.Used(name); // beyond "<name>.partial", which goes with the file's own name
            return name;
        }
    }
}

} // namespace

class TZipExtractor::ExtractionRun {
public:
    ExtractionRun(TZipExtractor& zip, bool testOnly) : zip_(zip), testOnly_(testOnly) {}
    ExtractionRun(const ExtractionRun&) = delete;
    ExtractionRun& operator=(const ExtractionRun&) = delete;

    // The run from its buffers to OnUnZipComplete; returns the number of entries extracted.
    int Run();

private:
    void Prepare();
    int SelectEntries();
    void ExtractSelected();
    void Finish();
    bool MakeFolders(const AnsiString& folder);

    void ExtractEntry(int index);
    void TestEntry(int index, std::int64_t dataStart);
    std::int64_t ReadLocalHeader();
    bool PasswordFits(int index, std::int64_t dataStart);
    bool ReadEncryptionHeaderBytes(std::int64_t dataStart, std::uint8_t* header);
    bool PartsFollow() const;
    bool OpenNextPart();
    bool MayOverwrite(int index, AnsiString& fileName);
    std::unique_ptr<TLFNFileStream> CreateOutput(int index, const AnsiString& fileName);
    bool MoveIntoPlace(int index, const AnsiString& fileName);
    void WireContext();
    bool Decode(TStream& output, std::int64_t dataStart);
    bool FinishOutput(std::unique_ptr<TLFNFileStream> output, bool complete);
    void NotFinished(int index, const AnsiString& fileName);
    void Verdict(int index, const AnsiString& fileName);

    AnsiString StoredPath() const { return entry_.Directory() + entry_.FileName(); }
    void Skip(TSkipReason reason, const AnsiString& fileName, int index);
    void ReportSkip(TSkipReason reason, const AnsiString& fileName, int index);

    TZipExtractor& zip_;
    // Decode and check only: no folders, no files.
    const bool testOnly_;
    std::unique_ptr<TUnzipContext> context_;
    bool savedKeepZipOpen_ = false;
    // The sorted view set aside while a multi-part archive is extracted in physical order.
    std::unique_ptr<TSortedZip> parkedView_;
    TZipSortMode savedSortMode_ = TZipSortMode::ByNone;
    int extracted_ = 0;
    // One value for the whole run: a handler that wants a retry sets it on every call.
    bool retry_ = false;
    // The folder the last file went into, known to exist: the files of a folder usually come
    // one after the other, and looking it up again for each costs as much as writing a small file.
    AnsiString madeFolder_;
    // The entry's partial file while it exists (see PartialName).
    AnsiString partName_;
    // The entry's file may be there already: MayOverwrite found it, or did not look (Always).
    bool mayBeThere_ = true;
    // The folders the run created and the names it used in them: a file there needs no look-up.
    TMadeFolders madeFolders_{static_cast<int>(GetACP())};

    // The entry being extracted: a copy of its record, whose compressed size loses the
    // encryption header once that is read.
    TZipHeaderInfo entry_;
    TCryptKeys keys_;
    // Where an encrypted entry's data goes on after its header, in the part open then.
    std::int64_t afterHeader_ = 0;
    // A new password came after the entry failed its CRC check: it is extracted again.
    bool again_ = false;
};

int TZipExtractor::UnZip() {
    return Run(false);
}

int TZipExtractor::Test() {
    return Run(true);
}

int TZipExtractor::Run(bool testOnly) {
    if (busy_) {
        throw EInvalidOperation(zipmsg::AlreadyExtracting);
    }
    busy_ = true;
    ScopeExit clearBusy([this] { busy_ = false; });

    if (destDir_ == "?") {
        return 0;
    }
    OpenAndRefreshCatalogue();
    ExtractionRun run(*this, testOnly);
    const int extracted = run.Run();
    if (!keepZipOpen_) {
        CloseArchive();
    }
    return extracted;
}

// --- The run -------------------------------------------------------------------------------------

int TZipExtractor::ExtractionRun::Run() {
    savedKeepZipOpen_ = zip_.keepZipOpen_;
    zip_.keepZipOpen_ = true;
    // KeepZipOpen comes back last, also when OnUnZipComplete itself raises.
    ScopeExit restore([this, keep = savedKeepZipOpen_] { zip_.keepZipOpen_ = keep; });

    try {
        Prepare();
        const int files = SelectEntries();
        bool stopNow = false;
        if (zip_.OnStartUnZipInfo) {
            zip_.OnStartUnZipInfo(&zip_, files, context_->RunTotalBytes, stopNow);
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

void TZipExtractor::ExtractionRun::Prepare() {
    // The decoders' window and the input and output buffers serve every entry of the run.
    context_ = std::make_unique<TUnzipContext>();
    if (!testOnly_ && !zip_.destDir_.empty() && !DirectoryExists(zip_.destDir_)) {
        MakeFolders(zip_.destDir_);
    }
    // The parts of a multi-part archive are visited in order, so that none is asked for twice.
    savedSortMode_ = zip_.sortMode_;
    if (zip_.multiPartMode_ != TMultiPartMode::mpSinglePart &&
        zip_.sortMode_ != TZipSortMode::ByNone) {
        parkedView_ = std::move(zip_.sortedView_);
        zip_.sortMode_ = TZipSortMode::ByNone;
    }
    context_->RunTotalBytes = 0;
    context_->RunBytesWritten = 0;
}

// Marks the entries to extract and adds up their sizes; returns the number of files among them.
int TZipExtractor::ExtractionRun::SelectEntries() {
    const int codePage = static_cast<int>(GetACP());
    const TStrings& patterns = *zip_.filesList_;
    const int count = zip_.Count();
    int files = count;
    for (int i = 0; i < count; ++i) {
        TZipHeaderInfo& entry = zip_.EntryAt(i);
        entry.SetSelected(zip_.doAll_);
        const bool isFolder = IsFolderEntry(entry);
        if (isFolder && !zip_.recreateDirs_) {
            entry.SetSelected(false);
            --files;
            continue;
        }
        const AnsiString path = LowerCase(entry.Directory() + entry.FileName(), codePage);
        for (int p = 0; p < patterns.Count() && !entry.Selected(); ++p) {
            if (IsWildcardMatch(LowerCase(patterns.Strings(p), codePage), path)) {
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

void TZipExtractor::ExtractionRun::ExtractSelected() {
    for (int i = 0; i < zip_.Count(); ++i) {
        if (!zip_.doAll_ && !zip_.EntryAt(i).Selected()) {
            continue;
        }
        do {
            ExtractEntry(i);
        } while (again_);
    }
}

// Runs on every way out of the run, in this order.
void TZipExtractor::ExtractionRun::Finish() {
    context_.reset();
    zip_.filesList_->Clear();
    if (zip_.sortMode_ != savedSortMode_) {
        zip_.sortMode_ = savedSortMode_;
        zip_.sortedView_ = std::move(parkedView_);
    }
    if (zip_.OnUnZipComplete) {
        zip_.OnUnZipComplete(&zip_, extracted_);
    }
}

// --- One entry -----------------------------------------------------------------------------------

void TZipExtractor::ExtractionRun::ExtractEntry(int index) {
    again_ = false;
    entry_.Assign(&zip_.EntryAt(index));
    const bool isFolder = IsFolderEntry(entry_);
    std::int64_t dataStart = 0;
    if (!isFolder) {
        if (zip_.multiPartMode_ != TMultiPartMode::mpSinglePart &&
            entry_.StartPart() != zip_.currentPart_) {
            zip_.SwitchToPart(entry_.StartPart() + 1);
        }
        dataStart = ReadLocalHeader();
    }

    if (testOnly_) {
        if (!isFolder) {
            TestEntry(index, dataStart);
        }
        return;
    }
    const int codePage = static_cast<int>(GetACP());
    const AnsiString folder = EntryOutputFolder(zip_.destDir_, entry_.Directory(), zip_.rootDir_,
                                                zip_.recreateDirs_, codePage);
    if (isFolder) {
        const bool named = zip_.recreateDirs_ && !entry_.FileName().empty();
        MakeFolders(named ? folder + SafeEntryFolder(entry_.FileName(), "", codePage) : folder);
        return;
    }

    AnsiString fileName = folder + SafeEntryFileName(entry_.FileName(), codePage);
    if (zip_.OnStartUnZip) {
        bool skip = false;
        zip_.OnStartUnZip(&zip_, index, fileName, skip);
        if (skip) {
            return;
        }
    }
    const AnsiString outputFolder = ExtractFilePath(fileName, codePage);
    if (outputFolder != madeFolder_) {
        madeFolder_ = MakeFolders(outputFolder) ? outputFolder : AnsiString();
    }

    if (entry_.Encrypted() && !PasswordFits(index, dataStart)) {
        return;
    }
    if (!MayOverwrite(index, fileName)) {
        Skip(TSkipReason::srNoOverwrite, fileName, index);
        return;
    }
    // Whatever ends the entry before its file is in place (a skip, a damaged entry, an
    // exception) removes the partial file, after the output stream below has closed it.
    partName_ = PartialName(fileName, madeFolders_);
    madeFolders_.Used(fileName);
    ScopeExit dropPartial([this] {
        if (!partName_.empty()) {
            DeleteOutputFile(partName_);
            partName_.clear();
        }
    });
    std::unique_ptr<TLFNFileStream> output = CreateOutput(index, fileName);
    if (!output) {
        return;
    }
    const bool complete = Decode(*output, dataStart);
    const bool stamped = FinishOutput(std::move(output), complete);
    if (!stamped && context_->FinalCrc() == entry_.CRC32()) {
        NotFinished(index, fileName);
        return;
    }
    Verdict(index, fileName);
}

void TZipExtractor::ExtractionRun::TestEntry(int index, std::int64_t dataStart) {
    AnsiString name = StoredPath();
    if (zip_.OnStartUnZip) {
        bool skip = false;
        zip_.OnStartUnZip(&zip_, index, name, skip);
        if (skip) {
            return;
        }
    }
    if (entry_.Encrypted() && !PasswordFits(index, dataStart)) {
        return;
    }
    TDiscardStream output;
    Decode(output, dataStart);
    Verdict(index, name);
}

// Reads the entry's local header and returns where its data starts. A header that is not
// wholly inside the archive (its part of a multi-part archive), or data that reaches into
// what follows the entry, is damage: EBadZipFile.
std::int64_t TZipExtractor::ExtractionRun::ReadLocalHeader() {
    TLFNFileStream& archive = *zip_.archive_;
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
    if (zip_.OverlapsNext(entry_, dataStart + entry_.CompressedSize())) {
        throw EBadZipFile();
    }
    return dataStart;
}

bool TZipExtractor::ExtractionRun::PasswordFits(int index, std::int64_t dataStart) {
    // Shorter than its encryption header: damaged, whatever the password.
    if (entry_.CompressedSize() < EncryptionHeaderSize) {
        Skip(TSkipReason::srBadPassword, StoredPath(), index);
        return false;
    }
    const std::uint8_t expected = PasswordCheckByte(
        entry_.Flags(), static_cast<std::uint16_t>(entry_.DateTime() & 0xFFFF), entry_.CRC32());
    std::uint8_t stored[EncryptionHeaderSize];
    // An archive ending inside the header: no password fits.
    const bool whole = ReadEncryptionHeaderBytes(dataStart, stored);
    afterHeader_ = zip_.archive_->Position();
    while (true) {
        std::uint8_t header[EncryptionHeaderSize];
        std::copy(stored, stored + EncryptionHeaderSize, header);
        if (whole && DecryptHeader(keys_, zip_.password_, header) == expected) {
            entry_.SetCompressedSize(entry_.CompressedSize() - EncryptionHeaderSize);
            return true;
        }
        if (!zip_.OnBadPassword) {
            break;
        }
        AnsiString newPassword = zip_.password_;
        zip_.OnBadPassword(&zip_, index, newPassword);
        if (newPassword == zip_.password_) {
            break;
        }
        zip_.password_ = newPassword;
    }
    Skip(TSkipReason::srBadPassword, StoredPath(), index);
    return false;
}

bool TZipExtractor::ExtractionRun::MayOverwrite(int index, AnsiString& fileName) {
    const bool missing = madeFolders_.KnownMissing(fileName);
    mayBeThere_ = !missing;
    if (zip_.overwriteMode_ == TUZOverwriteMode::Always) {
        return true;
    }
    if (missing || !FileExists(fileName)) {
        mayBeThere_ = false;
        return true;
    }
    // Both are local DOS date-times, so comparing the numbers compares the calendar times at
    // two-second resolution. A file time that has no DOS form (-1) is older than any entry.
    const std::int64_t entryTime = entry_.DateTime();
    switch (zip_.overwriteMode_) {
    case TUZOverwriteMode::Prompt:
        if (zip_.OnPromptForOverwrite) {
            bool overwrite = false;
            zip_.OnPromptForOverwrite(&zip_, overwrite, index, fileName);
            return overwrite;
        }
        return MessageBox("Replace existing file " + zip_.Filename(index) + "?",
                          "File Exists Alert", mb::YesNo) == id::Yes;
    case TUZOverwriteMode::ifNewer:
        return entryTime > GetFileDosDateTime(fileName);
    case TUZOverwriteMode::ifOlder:
        return entryTime < GetFileDosDateTime(fileName);
    case TUZOverwriteMode::Never:
    case TUZOverwriteMode::Always:
        break;
    }
    return false;
}

// Creates the entry's partial file. The owner hears of a failure under the file's own name.
std::unique_ptr<TLFNFileStream>
TZipExtractor::ExtractionRun::CreateOutput(int index, const AnsiString& fileName) {
    bool readOnlyCleared = false;
    bool folderChecked = false;
    while (true) {
        try {
            return std::make_unique<TLFNFileStream>(partName_, FileMode::Create,
                                                    zip_.flushFilesOnClose_);
        } catch (const EFCreateError&) {
            // The folder may have gone since an earlier file of it was written.
            if (!madeFolder_.empty() && !folderChecked) {
                folderChecked = true;
                madeFolder_.clear();
                const AnsiString folder = ExtractFilePath(fileName, static_cast<int>(GetACP()));
                if (!DirectoryExists(folder) && MakeFolders(folder)) {
                    continue;
                }
            }
            // A read-only partial file is one a killed run left after setting its attributes.
            if (!readOnlyCleared) {
                readOnlyCleared = true;
                if (ClearReadOnly(partName_)) {
                    continue;
                }
            }
            ReportSkip(TSkipReason::srCreateError, fileName, index);
            if (retry_) {
                // The folder may be what failed: a retry makes it again, or it would fail alike
                // for ever.
                const AnsiString folder = ExtractFilePath(fileName, static_cast<int>(GetACP()));
                if (!DirectoryExists(folder)) {
                    MakeFolders(folder);
                }
                continue;
            }
        } catch (const Exception&) {
            ReportSkip(TSkipReason::srCreateError, fileName, index);
        }
        context_->RunTotalBytes -= entry_.UncompressedSize();
        return nullptr;
    }
}

// Gives the whole partial file its own name, replacing the file there. A read-only file there is
// made writable first when ReplaceReadOnly allows, and is not replaced otherwise (Windows refuses
// to, Wine does not: the rule is kept here). A file that cannot be replaced (a folder of its
// name, a file in use) is reported as a file that could not be made, its partial file gone
// first, so that a No that ends the program leaves nothing behind: with Retry the entry is
// extracted again, without it the entry is skipped and the file there stays as it was.
bool TZipExtractor::ExtractionRun::MoveIntoPlace(int index, const AnsiString& fileName) {
    bool readOnlyCleared = false;
    for (;;) {
        const std::uint32_t there = mayBeThere_ ? GetFileAttributes(fileName) : attr::Invalid;
        const bool readOnly = there != attr::Invalid && (there & attr::ReadOnly) != 0;
        if (!readOnly && MoveFileReplacing(partName_, fileName)) {
            partName_.clear();
            return true;
        }
        if (!readOnly || !zip_.replaceReadOnly_ || readOnlyCleared) {
            break;
        }
        readOnlyCleared = true;
        if (!ClearReadOnly(fileName)) {
            break;
        }
    }
    DeleteOutputFile(partName_);
    partName_.clear();
    NotFinished(index, fileName);
    return false;
}

void TZipExtractor::ExtractionRun::WireContext() {
    TUnzipContext& context = *context_;
    context.Archive = zip_.archive_.get();
    context.DoProcessMessages = zip_.doProcessMessages_;
    context.MultiVolume = zip_.multiPartMode_ != TMultiPartMode::mpSinglePart;
    context.NextVolume = nullptr;
    if (zip_.OnGetNextDisk) {
        context.NextVolume = [this]() -> TStream* {
            return OpenNextPart() ? zip_.archive_.get() : nullptr;
        };
    }
    context.OnFilePercentDone = nullptr;
    if (zip_.OnFilePercentDone) {
        context.OnFilePercentDone = [this](int percent) { zip_.OnFilePercentDone(&zip_, percent); };
    }
    context.OnTotalPercentDone = nullptr;
    if (zip_.OnTotalPercentDone) {
        context.OnTotalPercentDone = [this](int percent) {
            zip_.OnTotalPercentDone(&zip_, percent);
        };
    }
}

// Reads the encryption header's 12 bytes from where the entry's data starts, going on in the next
// part of a multi-part archive as the data does; false when the archive ends inside them.
bool TZipExtractor::ExtractionRun::ReadEncryptionHeaderBytes(std::int64_t dataStart,
                                                             std::uint8_t* header) {
    zip_.archive_->Seek(dataStart, soFromBeginning);
    std::int32_t got = std::max<std::int32_t>(zip_.archive_->Read(header, EncryptionHeaderSize), 0);
    while (got < EncryptionHeaderSize && PartsFollow()) {
        // A part refused while an entry's bytes are read ends the run, as the input reader does.
        if (!OpenNextPart()) {
            throw EUserCanceled(zipmsg::UserAborted);
        }
        got += std::max<std::int32_t>(zip_.archive_->Read(header + got, EncryptionHeaderSize - got),
                                      0);
    }
    return got == EncryptionHeaderSize;
}

// The archive has parts after the open one, and the owner can be asked for them.
bool TZipExtractor::ExtractionRun::PartsFollow() const {
    return zip_.multiPartMode_ != TMultiPartMode::mpSinglePart && zip_.OnGetNextDisk;
}

// Opens the part after the open one; false when the owner refused it.
bool TZipExtractor::ExtractionRun::OpenNextPart() {
    try {
        zip_.SwitchToPart(zip_.currentPart_ + 2);
    } catch (const EUserCanceled&) {
        return false;
    }
    return true;
}

// Decodes the entry into output; false when its data turned out larger than declared.
bool TZipExtractor::ExtractionRun::Decode(TStream& output, std::int64_t dataStart) {
    const bool encrypted = entry_.Encrypted();
    // An encrypted entry's data follows its header, which may have ended in a later part.
    zip_.archive_->Seek(encrypted ? afterHeader_ : dataStart, soFromBeginning);
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

// Closes the output file. A complete one first gets the entry's time and then its attributes,
// both through the file still open for writing (a read-only file could not be opened again, and
// its name need not be looked up again). A failed write, flush or close leaves as EWriteError.
// False when a complete file could not take its time or its attributes.
bool TZipExtractor::ExtractionRun::FinishOutput(std::unique_ptr<TLFNFileStream> output,
                                                bool complete) {
    bool stamped = true;
    if (complete) {
        // Written data first, so that no later write moves the time again.
        if (!output->Flush()) {
            throw EWriteError("Stream write error");
        }
        stamped = output->Handle().SetDosDateTime(FixDosDateTime(entry_.DateTime()));
        // Attributes that did not reach the file fail it as a time does: the file would pass
        // for a whole one without them (a read-only file left writable, a hidden one shown).
        if (stamped && zip_.retainAttributes_) {
            stamped = output->Handle().SetAttributes(entry_.ExternalAttributes());
        }
    }
    output->Close();
    return stamped;
}

// A file whose data is right but that could not be finished: its time or attributes could not be
// set (a date that names no day, a drive refusing the change), so that it would pass for a newer
// file than the entry and be kept by a later run under ifNewer, or it could not take its name.
// Its partial file is gone, and the owner hears of it as of a file that could not be made: with
// Retry the entry is extracted again, without it the entry is skipped.
void TZipExtractor::ExtractionRun::NotFinished(int index, const AnsiString& fileName) {
    context_->RunBytesWritten -= context_->BytesWritten;
    ReportSkip(TSkipReason::srCreateError, fileName, index);
    if (retry_) {
        again_ = true;
    } else {
        context_->RunTotalBytes -= entry_.UncompressedSize();
    }
}

void TZipExtractor::ExtractionRun::Verdict(int index, const AnsiString& fileName) {
    const std::uint32_t crc = context_->FinalCrc();
    if (crc == entry_.CRC32()) {
        if (!testOnly_ && !MoveIntoPlace(index, fileName)) {
            return;
        }
        if (zip_.OnEndUnZip) {
            zip_.OnEndUnZip(&zip_, index, fileName);
        }
        ++extracted_;
        return;
    }
    // The damaged partial file goes (ExtractEntry's end); the file there, if any, stays.
    if (entry_.Encrypted()) {
        if (zip_.OnBadPassword) {
            AnsiString newPassword = zip_.password_;
            zip_.OnBadPassword(&zip_, index, newPassword);
            if (newPassword != zip_.password_) {
                zip_.password_ = newPassword;
                again_ = true;
            }
        }
        if (!again_) {
            ReportSkip(TSkipReason::srBadPassword, StoredPath(), index);
        }
    } else if (zip_.OnBadCRC) {
        zip_.OnBadCRC(&zip_, crc, entry_.CRC32(), index);
    }
}

// ForceDirectories, the folders it creates remembered.
bool TZipExtractor::ExtractionRun::MakeFolders(const AnsiString& folder) {
    std::vector<std::string> made;
    const bool there = ForceDirectories(folder, &made);
    for (const std::string& name : made) {
        madeFolders_.Made(name);
    }
    return there;
}

void TZipExtractor::ExtractionRun::ReportSkip(TSkipReason reason, const AnsiString& fileName,
                                              int index) {
    if (zip_.OnSkippingFile) {
        zip_.OnSkippingFile(&zip_, reason, fileName, index, retry_);
    }
}

// A skipped entry's bytes no longer count towards the run's total.
void TZipExtractor::ExtractionRun::Skip(TSkipReason reason, const AnsiString& fileName, int index) {
    ReportSkip(reason, fileName, index);
    context_->RunTotalBytes -= entry_.UncompressedSize();
}

} // namespace kq
