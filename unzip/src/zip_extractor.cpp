// The component's properties, its catalogue accessors, the lazily read comments, and UnZip, which
// hands an extraction run the settings, the events and the archive it works on.
#include "unzip/zip_extractor.h"

#include "base/format.h"
#include "base/scope_exit.h"
#include "catalogue/archive_format.h"
#include "catalogue/text.h"
#include "extraction/extraction_run.h"
#include "io/buffer_stream.h"
#include "platform/codepage.h"
#include "platform/file_dialogs.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "unzip/errors.h"

namespace kq {

const TEnumInfo& ZipSortModeInfo() {
    static const TEnumInfo info("TZipSortMode",
                                {"ByName", "ByFileName", "ByDirectoryName", "ByDate",
                                 "ByCompressedSize", "ByUnCompressedSize", "ByRate", "ByNone"});
    return info;
}

const TEnumInfo& IncompleteZipModeInfo() {
    static const TEnumInfo info("TIncompleteZipMode",
                                {"izAssumeMulti", "izAssumeBad", "izAssumeNotAZip"});
    return info;
}

const TEnumInfo& OverwriteModeInfo() {
    static const TEnumInfo info("TUZOverwriteMode",
                                {"Prompt", "Always", "Never", "ifNewer", "ifOlder"});
    return info;
}

const TClassInfo& TZipExtractor::StaticClassInfo() {
    using Z = TZipExtractor;
    static const TClassInfo info(
        "TZipExtractor", &TComponent::StaticClassInfo(),
        TClassTable<Z>()
            .Integer("ThisVersion", &Z::ThisVersion, &Z::SetThisVersion)
            .String("ZipName", &Z::ZipName, &Z::SetZipName)
            .String("DestDir", &Z::DestDir, &Z::SetDestDir)
            .String("RootDir", &Z::RootDir, &Z::SetRootDir)
            .Enumeration("SortMode", ZipSortModeInfo(), &Z::SortMode, &Z::SetSortMode)
            .Boolean("RecreateDirs", &Z::RecreateDirs, &Z::SetRecreateDirs)
            .Enumeration("OverwriteMode", OverwriteModeInfo(), &Z::OverwriteMode,
                         &Z::SetOverwriteMode)
            .StringList("FilesList", &Z::FilesList, &Z::SetFilesList)
            .Boolean("DoAll", &Z::DoAll, &Z::SetDoAll)
            .Enumeration("IncompleteZipMode", IncompleteZipModeInfo(), &Z::IncompleteZipMode,
                         &Z::SetIncompleteZipMode)
            .Boolean("KeepZipOpen", &Z::KeepZipOpen, &Z::SetKeepZipOpen)
            .Boolean("DoProcessMessages", &Z::DoProcessMessages, &Z::SetDoProcessMessages)
            .Boolean("RetainAttributes", &Z::RetainAttributes, &Z::SetRetainAttributes)
            .Boolean("ReplaceReadOnly", &Z::ReplaceReadOnly, &Z::SetReplaceReadOnly)
            .Boolean("FlushFilesOnClose", &Z::FlushFilesOnClose, &Z::SetFlushFilesOnClose)
            .Event("OnStartUnZipInfo")
            .Event("OnFilePercentDone")
            .Event("OnTotalPercentDone")
            .Event("OnStartUnZip")
            .Event("OnEndUnZip")
            .Event("OnPromptForOverwrite")
            .Event("OnSkippingFile")
            .Event("OnBadPassword")
            .Event("OnBadCRC")
            .Event("OnInCompleteZip")
            .Event("OnGetNextDisk")
            .Event("OnUnZipComplete")
            .Event("OnGetNextBuffer"));
    return info;
}

TZipExtractor::TZipExtractor(TComponent* owner)
    : TComponent(owner), filesList_(std::make_unique<TStringList>()) {
    if (!Designing()) {
        OnGetNextDisk = [this](TObject* sender, int nextDisk, AnsiString& fileName) {
            DefaultGetNextDisk(sender, nextDisk, fileName);
        };
    }
}

TZipExtractor::~TZipExtractor() {
    CloseArchive();
    DiscardCatalogue();
}

void TZipExtractor::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TZipExtractor*>(source);
    if (other == nullptr) {
        TComponent::Assign(source);
        return;
    }
    SetZipName(other->zipName_);
    destDir_ = other->destDir_;
    rootDir_ = other->rootDir_;
    sortMode_ = other->sortMode_;
    recreateDirs_ = other->recreateDirs_;
    overwriteMode_ = other->overwriteMode_;
    filesList_->Assign(other->filesList_.get());
    doAll_ = other->doAll_;
    incompleteZipMode_ = other->incompleteZipMode_;
    keepZipOpen_ = other->keepZipOpen_;
    doProcessMessages_ = other->doProcessMessages_;
    retainAttributes_ = other->retainAttributes_;
    replaceReadOnly_ = other->replaceReadOnly_;
    OnStartUnZipInfo = other->OnStartUnZipInfo;
    OnFilePercentDone = other->OnFilePercentDone;
    OnTotalPercentDone = other->OnTotalPercentDone;
    OnStartUnZip = other->OnStartUnZip;
    OnEndUnZip = other->OnEndUnZip;
    OnPromptForOverwrite = other->OnPromptForOverwrite;
    OnSkippingFile = other->OnSkippingFile;
    OnBadPassword = other->OnBadPassword;
    OnBadCRC = other->OnBadCRC;
    OnInCompleteZip = other->OnInCompleteZip;
    OnGetNextDisk = other->OnGetNextDisk;
    OnUnZipComplete = other->OnUnZipComplete;
    OnGetNextBuffer = other->OnGetNextBuffer;
}

void TZipExtractor::Loaded() {
    TComponent::Loaded();
    // ThisVersion is the component's own stamp whatever a stored description says; it has no
    // state to set.
}

void TZipExtractor::SetZipName(const AnsiString& name) {
    if (Designing()) {
        zipName_ = name;
        return;
    }
    if (busy_) {
        throw EInvalidOperation(zipmsg::ArchiveInUse);
    }
    if (SameText(name, zipName_)) {
        return;
    }
    AnsiString chosen = name;
    if (!chosen.empty() && chosen.back() == '?') {
        const AnsiString folder = ExtractFilePath(LeftStr(chosen, chosen.size() - 1), GetACP());
        const AnsiString start = !folder.empty() && DirectoryExists(folder) ? folder : "C:\\";
        if (!ShowFileOpenDialog("Open a Zip File",
                                "Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|"
                                "Jar Files (*.JAR)|*.jar|All Files (*.*)|*.*",
                                start, chosen)) {
            throw EUserCanceled(zipmsg::CanceledZipName);
        }
    }
    zipName_ = chosen;
    DiscardCatalogue();
    archiveTime_ = -1;
    endCentral_.Reset();
    CloseArchive();
}

void TZipExtractor::SetDestDir(const AnsiString& folder) {
    AnsiString chosen = folder;
    if (chosen == "?") {
        // The shell's dialog lets the user make a new folder, so what comes back exists.
        if (!ShowFolderDialog("Set Destination Directory", std::wstring(), chosen)) {
            throw EUserCanceled(zipmsg::CanceledDestDir);
        }
    }
    if (!chosen.empty() && chosen.back() == '\\') {
        chosen.pop_back();
    }
    destDir_ = chosen;
}

void TZipExtractor::SetRootDir(const AnsiString& folder) {
    rootDir_ = folder.empty() ? folder : IncludeTrailingBackslash(folder, GetACP());
}

void TZipExtractor::SetFilesList(TStrings* list) {
    if (list == nullptr) {
        filesList_->Clear();
    } else {
        filesList_->Assign(list);
    }
}

// --- The catalogue -------------------------------------------------------------------------------

TSortedZip* TZipExtractor::View() const {
    return sortedView_ ? sortedView_.get() : mainList_.get();
}

int TZipExtractor::Count() const {
    return mainList_ ? mainList_->Count() : 0;
}

TZipHeaderInfo& TZipExtractor::EntryAt(int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError(Format("Index %d is out of range", {index}));
    }
    return *View()->Entry(index);
}

const TZipHeaderInfo& TZipExtractor::Entry(int index) const {
    return EntryAt(index);
}

AnsiString TZipExtractor::Filename(int index) const {
    return EntryAt(index).FileName();
}

AnsiString TZipExtractor::Pathname(int index) const {
    return EntryAt(index).Directory();
}

void TZipExtractor::DiscardCatalogue() {
    sortedView_.reset();
    mainList_.reset();
    rebuiltByScanning_ = false;
}

void TZipExtractor::OpenArchive() {
    if (!archive_) {
        archive_ =
            std::make_unique<TLFNFileStream>(zipName_, FileMode::ReadDenyWrite, flushFilesOnClose_);
    }
}

void TZipExtractor::CloseArchive() {
    archive_.reset();
}

void TZipExtractor::OpenAndRefreshCatalogue() {
    OpenArchive();
    if (!mainList_ || archive_->Handle().DosDateTime() != archiveTime_) {
        ReadCatalogue();
    }
}

// --- Comments, read when first asked for ---------------------------------------------------------

namespace {

// Leaves the archive as a comment read found it: closed again unless the owner keeps it open or
// an extraction is reading it, and otherwise where it was (a handler can ask for a comment in the
// middle of an entry).
class RestoreArchive {
public:
    RestoreArchive(TZipExtractor& zip, TStream* open)
        : zip_(zip), open_(open), position_(open ? open->Position() : 0) {}
    ~RestoreArchive() {
        if (!zip_.KeepZipOpen() && !zip_.Busy()) {
            zip_.CloseArchive();
        } else if (open_ != nullptr) {
            open_->Seek(position_, soFromBeginning);
        }
    }

private:
    TZipExtractor& zip_;
    TStream* open_;
    std::int64_t position_;
};

} // namespace

std::optional<std::string> TZipExtractor::ReadEntryComment(const TZipHeaderInfo& entry) {
    RestoreArchive restore(*this, archive_.get());
    OpenArchive();
    archive_->Seek(entry.CentralRecordOffset(), soFromBeginning);
    std::uint8_t record[kCentralRecordSize];
    ReadArchiveBytes(*archive_, record, kCentralRecordSize);
    // The record was read here before; anything else means the file changed under us.
    if (LoadU32(record) != kCentralSignature) {
        throw EBadZipFile();
    }
    archive_->Seek(LoadU16(record + 28) + LoadU16(record + 30), soFromCurrent);
    std::string comment(LoadU16(record + 32), '\0');
    ReadArchiveBytes(*archive_, comment.data(), static_cast<std::int32_t>(comment.size()));
    return ToOwnedText(comment);
}

std::optional<std::string> TZipExtractor::ReadArchiveComment() {
    RestoreArchive restore(*this, archive_.get());
    OpenArchive();
    archive_->Seek(endCentral_.CommentOffset(), soFromBeginning);
    std::string comment(endCentral_.CommentLength(), '\0');
    ReadArchiveBytes(*archive_, comment.data(), static_cast<std::int32_t>(comment.size()));
    return ToOwnedText(comment);
}

AnsiString TZipExtractor::FileComment(int index) {
    TZipHeaderInfo& entry = EntryAt(index);
    if (entry.FileCommentLength() != 0 && !entry.FileComment()) {
        entry.SetFileComment(ReadEntryComment(entry));
    }
    return FromOwnedText(entry.FileComment());
}

void TZipExtractor::SetFileComment(int index, const AnsiString& comment) {
    TZipHeaderInfo& entry = EntryAt(index);
    if (comment != FromOwnedText(entry.FileComment())) {
        endCentral_.SetCommentChanged(true);
    }
    entry.SetFileComment(ToOwnedText(comment));
}

AnsiString TZipExtractor::ZipComment() {
    if (endCentral_.CommentLength() != 0 && !endCentral_.Comment()) {
        endCentral_.SetComment(ReadArchiveComment());
    }
    return FromOwnedText(endCentral_.Comment());
}

void TZipExtractor::SetZipComment(const AnsiString& comment) {
    if (comment != FromOwnedText(endCentral_.Comment())) {
        endCentral_.SetCommentChanged(true);
    }
    endCentral_.SetComment(ToOwnedText(comment));
    endCentral_.SetCommentLength(static_cast<std::uint32_t>(comment.size()));
}

// --- Extraction ----------------------------------------------------------------------------------

// The component as an extraction run sees it: its archive and catalogue, and what the run changes
// back in it.
class TZipExtractor::RunHost final : public TExtractionHost {
public:
    explicit RunHost(TZipExtractor& zip) : zip_(zip) {}

    // The settings as they are when the run starts.
    TExtractionOptions Options(bool testOnly) const {
        TExtractionOptions options;
        options.DestDir = zip_.destDir_;
        options.RootDir = zip_.rootDir_;
        options.OverwriteMode = zip_.overwriteMode_;
        options.RecreateDirs = zip_.recreateDirs_;
        options.DoAll = zip_.doAll_;
        options.RetainAttributes = zip_.retainAttributes_;
        options.ReplaceReadOnly = zip_.replaceReadOnly_;
        options.FlushFilesOnClose = zip_.flushFilesOnClose_;
        options.DoProcessMessages = zip_.doProcessMessages_;
        options.MultiPart = zip_.multiPartMode_ != TMultiPartMode::mpSinglePart;
        options.Password = zip_.password_;
        for (int i = 0; i < zip_.filesList_->Count(); ++i) {
            options.Patterns.push_back(zip_.filesList_->Strings(i));
        }
        options.TestOnly = testOnly;
        return options;
    }
    TExtractionEvents Events() const {
        TZipExtractor& z = zip_;
        return {&z,
                z.OnStartUnZipInfo,
                z.OnFilePercentDone,
                z.OnTotalPercentDone,
                z.OnStartUnZip,
                z.OnEndUnZip,
                z.OnPromptForOverwrite,
                z.OnSkippingFile,
                z.OnBadPassword,
                z.OnBadCRC,
                z.OnGetNextDisk,
                z.OnUnZipComplete};
    }

    int Count() const override { return zip_.Count(); }
    TZipHeaderInfo& EntryAt(int index) override { return zip_.EntryAt(index); }
    bool OverlapsNext(const TZipHeaderInfo& entry, std::int64_t end) const override {
        return zip_.OverlapsNext(entry, end);
    }
    TLFNFileStream& Archive() override { return *zip_.archive_; }
    int CurrentPart() const override { return zip_.currentPart_; }
    void SwitchToPart(int part) override { zip_.SwitchToPart(part); }
    void UsePhysicalOrder() override {
        if (zip_.sortMode_ != TZipSortMode::ByNone) {
            parkedView_ = std::move(zip_.sortedView_);
            zip_.sortMode_ = TZipSortMode::ByNone;
        }
    }
    void PasswordChanged(const AnsiString& password) override { zip_.password_ = password; }
    void EndRun() override {
        zip_.filesList_->Clear();
        if (zip_.sortMode_ != savedSortMode_) {
            zip_.sortMode_ = savedSortMode_;
            zip_.sortedView_ = std::move(parkedView_);
        }
    }

private:
    TZipExtractor& zip_;
    const TZipSortMode savedSortMode_ = zip_.sortMode_;
    // The sorted view set aside while a multi-part archive is extracted in physical order.
    std::unique_ptr<TSortedZip> parkedView_;
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
    RunHost host(*this);
    const TExtractionEvents events = host.Events();
    TExtractionRun run(host.Options(testOnly), events, host);
    const int extracted = run.Run();
    if (!keepZipOpen_) {
        CloseArchive();
    }
    return extracted;
}

} // namespace kq
