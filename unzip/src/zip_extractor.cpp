// The component's properties, its catalogue accessors and the lazily read comments.
#include "unzip/zip_extractor.h"

#include "base/format.h"
#include "platform/files.h"
#include "unzip/archive_format.h"
#include "unzip/errors.h"
#include "unzip/helpers.h"

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

const TClassInfo& TZipExtractor::StaticClassInfo() {
    static const TClassInfo info(
        "TZipExtractor", &TComponent::StaticClassInfo(),
        TClassTable<TZipExtractor>()
            .String("ZipName", &TZipExtractor::ZipName, &TZipExtractor::SetZipName)
            .Enumeration("SortMode", ZipSortModeInfo(), &TZipExtractor::SortMode,
                         &TZipExtractor::SetSortMode)
            .Enumeration("IncompleteZipMode", IncompleteZipModeInfo(),
                         &TZipExtractor::IncompleteZipMode, &TZipExtractor::SetIncompleteZipMode)
            .Boolean("KeepZipOpen", &TZipExtractor::KeepZipOpen, &TZipExtractor::SetKeepZipOpen)
            .Boolean("DoProcessMessages", &TZipExtractor::DoProcessMessages,
                     &TZipExtractor::SetDoProcessMessages)
            .Event("OnInCompleteZip")
            .Event("OnGetNextDisk"));
    return info;
}

TZipExtractor::TZipExtractor(TComponent* owner) : TComponent(owner) {
    if (!Designing())
        OnGetNextDisk = [this](TObject* sender, int nextDisk, AnsiString& fileName) {
            DefaultGetNextDisk(sender, nextDisk, fileName);
        };
}

TZipExtractor::~TZipExtractor() {
    CloseArchive();
    DiscardCatalogue();
}

void TZipExtractor::SetZipName(const AnsiString& name) {
    if (Designing()) {
        zipName_ = name;
        return;
    }
    if (SameText(name, zipName_))
        return;
    if (!name.empty() && name.back() == '?') {
        // Choosing the archive in a file-open dialog needs a dialog the platform layer does not
        // offer yet; the request is treated as refused, and nothing changes.
        throw EUserCanceled(zipmsg::CanceledZipName);
    }
    zipName_ = name;
    DiscardCatalogue();
    archiveTime_ = -1;
    endCentral_.Reset();
    CloseArchive();
}

// --- The catalogue -------------------------------------------------------------------------------

TSortedZip* TZipExtractor::View() const {
    return sortedView_ ? sortedView_.get() : mainList_.get();
}

int TZipExtractor::Count() const {
    return mainList_ ? mainList_->Count() : 0;
}

TZipHeaderInfo& TZipExtractor::EntryAt(int index) const {
    if (index < 0 || index >= Count())
        throw EListError(Format("Index %d is out of range", {index}));
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
    if (!archive_)
        archive_ = std::make_unique<TLFNFileStream>(zipName_, FileMode::ReadDenyWrite, false);
}

void TZipExtractor::CloseArchive() {
    archive_.reset();
}

void TZipExtractor::OpenAndRefreshCatalogue() {
    OpenArchive();
    if (!mainList_ || archive_->Handle().DosDateTime() != archiveTime_)
        ReadCatalogue();
}

// --- Comments, read when first asked for ---------------------------------------------------------

namespace {

// Closes the archive when the comment has been read, unless the owner keeps it open.
class CloseUnlessKept {
public:
    explicit CloseUnlessKept(TZipExtractor& zip) : zip_(zip) {}
    ~CloseUnlessKept() {
        if (!zip_.KeepZipOpen())
            zip_.CloseArchive();
    }

private:
    TZipExtractor& zip_;
};

} // namespace

std::optional<std::string> TZipExtractor::ReadEntryComment(const TZipHeaderInfo& entry) {
    OpenArchive();
    CloseUnlessKept closer(*this);
    archive_->Seek(entry.CentralRecordOffset(), soFromBeginning);
    std::uint8_t record[kCentralRecordSize];
    ReadArchiveBytes(*archive_, record, kCentralRecordSize);
    // The record was read here before; anything else means the file changed under us.
    if (LoadU32(record) != kCentralSignature)
        throw EBadZipFile();
    archive_->Seek(LoadU16(record + 28) + LoadU16(record + 30), soFromCurrent);
    std::string comment(LoadU16(record + 32), '\0');
    ReadArchiveBytes(*archive_, comment.data(), static_cast<std::int32_t>(comment.size()));
    return ToOwnedText(comment);
}

std::optional<std::string> TZipExtractor::ReadArchiveComment() {
    OpenArchive();
    CloseUnlessKept closer(*this);
    archive_->Seek(endCentral_.CommentOffset(), soFromBeginning);
    std::string comment(endCentral_.CommentLength(), '\0');
    ReadArchiveBytes(*archive_, comment.data(), static_cast<std::int32_t>(comment.size()));
    return ToOwnedText(comment);
}

AnsiString TZipExtractor::FileComment(int index) {
    TZipHeaderInfo& entry = EntryAt(index);
    if (entry.FileCommentLength() != 0 && !entry.FileComment())
        entry.SetFileComment(ReadEntryComment(entry));
    return FromOwnedText(entry.FileComment());
}

void TZipExtractor::SetFileComment(int index, const AnsiString& comment) {
    TZipHeaderInfo& entry = EntryAt(index);
    if (comment != FromOwnedText(entry.FileComment()))
        endCentral_.SetCommentChanged(true);
    entry.SetFileComment(ToOwnedText(comment));
}

AnsiString TZipExtractor::ZipComment() {
    if (endCentral_.CommentLength() != 0 && !endCentral_.Comment())
        endCentral_.SetComment(ReadArchiveComment());
    return FromOwnedText(endCentral_.Comment());
}

void TZipExtractor::SetZipComment(const AnsiString& comment) {
    if (comment != FromOwnedText(endCentral_.Comment()))
        endCentral_.SetCommentChanged(true);
    endCentral_.SetComment(ToOwnedText(comment));
    endCentral_.SetCommentLength(static_cast<std::uint32_t>(comment.size()));
}

} // namespace kq
