// TZipExtractor: the zip-extraction component. It holds the archive and its catalogue (the
// archive stream, the end-of-central-directory record, the entries in physical order and the
// sorted view that every index of the interface refers to) and extracts the selected entries
// into DestDir: output paths, the overwrite and read-only policies, the password check,
// decoding, times and attributes, the CRC verdict, and the events that tell its owner about
// each step.
#pragma once

#include "base/component.h"
#include "base/properties.h"
#include "base/string_list.h"
#include "unzip/sorted_zip.h"
#include "unzip/zip_records.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace kq {

// What to make of an archive whose catalogue cannot be found. Ordinal values are fixed.
enum class TIncompleteZipMode {
    izAssumeMulti = 0,  // one part of a multi-part archive: EIncompleteZip
    izAssumeBad = 1,    // a damaged archive: rebuild the catalogue from the local headers
    izAssumeNotAZip = 2 // something else: ENotAZipFile
};

// How the parts of a multi-part archive are reached.
enum class TMultiPartMode {
    mpSinglePart = 0,     // not a multi-part archive
    mpRemovableDisks = 1, // one part per disk, asked for in turn
    mpSplitFiles = 2,     // parts in files of their own (part N of setup.zip is setup.00N)
};

// What to do when an entry's output file exists already. Ordinal values are fixed.
enum class TUZOverwriteMode {
    Prompt = 0,  // ask OnPromptForOverwrite, or the user in a message box
    Always = 1,  // replace it
    Never = 2,   // keep it
    ifNewer = 3, // replace it when the entry is strictly newer
    ifOlder = 4, // replace it when the entry is strictly older
};

// Why an entry is skipped. Ordinal values are fixed; srFileOpenError is never passed.
enum class TSkipReason {
    srBadPassword = 0,
    srNoOverwrite = 1,
    srFileOpenError = 2,
    srCreateError = 3,
};

const TEnumInfo& ZipSortModeInfo();
const TEnumInfo& IncompleteZipModeInfo();
const TEnumInfo& OverwriteModeInfo();

// The events, parameters in the order owners know them; references are in-out parameters.
// FileIndex is always a position in the sorted view.
using TStartUnzipInfo =
    std::function<void(TObject* sender, int numFiles, std::int64_t totalBytes, bool& stopNow)>;
using TFilePercentDone = std::function<void(TObject* sender, int percent)>;
using TTotalPercentDone = std::function<void(TObject* sender, int percent)>;
using TStartUnZipEvent =
    std::function<void(TObject* sender, int fileIndex, AnsiString& fileName, bool& skip)>;
using TEndUnZipEvent =
    std::function<void(TObject* sender, int fileIndex, const AnsiString& fileName)>;
using TPromptForOverwrite =
    std::function<void(TObject* sender, bool& overwriteIt, int fileIndex, AnsiString& fileName)>;
using TSkippingFile = std::function<void(TObject* sender, TSkipReason reason,
                                         const AnsiString& fileName, int fileIndex, bool& retry)>;
using TBadPassword = std::function<void(TObject* sender, int fileIndex, AnsiString& newPassword)>;
using TBadCRC = std::function<void(TObject* sender, std::uint32_t calcCrc, std::uint32_t storedCrc,
                                   int fileIndex)>;
// Sender; var IncompleteMode.
using TIncompleteZip = std::function<void(TObject* sender, TIncompleteZipMode& mode)>;
// Sender; NextDisk (1-based); var FName (empty refuses).
using TGetNextDisk = std::function<void(TObject* sender, int nextDisk, AnsiString& fileName)>;
using TUnZipComplete = std::function<void(TObject* sender, int fileCount)>;
// Extraction into the owner's memory, which this component does not do: kept as a property.
using TGetNextBuffer =
    std::function<void(TObject* sender, std::uint8_t*& buffer, const AnsiString& fileName,
                       int amountUsed, int bufferNum, bool& quit)>;

class TLFNFileStream;

class TZipExtractor : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TZipExtractor(TComponent* owner);
    ~TZipExtractor() override;

    // From another TZipExtractor: the settings, FilesList's patterns and every event handler
    // (not the archive, its catalogue or Password).
    void Assign(const TPersistent* source) override;
    void Loaded() override;

    // --- Published ---
    static constexpr int Version = 220;
    int ThisVersion() const { return Version; }
    // The stamp cannot be changed: the value is ignored.
    void SetThisVersion(int) {}
    const AnsiString& ZipName() const { return zipName_; }
    // At run time a different name (ignoring case) drops the catalogue and closes the archive;
    // the catalogue is read again when next needed. A name ending in "?" asks the user for the
    // file (EUserCanceled "User canceled setting zip file name." when refused). Refused with
    // EInvalidOperation while UnZip runs.
    virtual void SetZipName(const AnsiString& name);
    // Kept without a trailing backslash. "?" asks the user for the folder (EUserCanceled
    // "User canceled Set Desination Directory" when refused).
    const AnsiString& DestDir() const { return destDir_; }
    void SetDestDir(const AnsiString& folder);
    // Kept with a trailing backslash, or empty.
    const AnsiString& RootDir() const { return rootDir_; }
    void SetRootDir(const AnsiString& folder);
    TZipSortMode SortMode() const { return sortMode_; }
    // Takes effect when the catalogue is next read.
    void SetSortMode(TZipSortMode mode) { sortMode_ = mode; }
    bool RecreateDirs() const { return recreateDirs_; }
    void SetRecreateDirs(bool value) { recreateDirs_ = value; }
    TUZOverwriteMode OverwriteMode() const { return overwriteMode_; }
    void SetOverwriteMode(TUZOverwriteMode mode) { overwriteMode_ = mode; }
    // Wildcard patterns choosing entries for the next UnZip, which empties the list.
    TStrings* FilesList() const { return filesList_.get(); }
    // Copies the strings of list (none: empties it).
    void SetFilesList(TStrings* list);
    bool DoAll() const { return doAll_; }
    void SetDoAll(bool value) { doAll_ = value; }
    TIncompleteZipMode IncompleteZipMode() const { return incompleteZipMode_; }
    void SetIncompleteZipMode(TIncompleteZipMode mode) { incompleteZipMode_ = mode; }
    bool KeepZipOpen() const { return keepZipOpen_; }
    void SetKeepZipOpen(bool keep) { keepZipOpen_ = keep; }
    bool DoProcessMessages() const { return doProcessMessages_; }
    void SetDoProcessMessages(bool value) { doProcessMessages_ = value; }
    bool RetainAttributes() const { return retainAttributes_; }
    void SetRetainAttributes(bool value) { retainAttributes_ = value; }
    bool ReplaceReadOnly() const { return replaceReadOnly_; }
    void SetReplaceReadOnly(bool value) { replaceReadOnly_ = value; }
    bool FlushFilesOnClose() const { return flushFilesOnClose_; }
    void SetFlushFilesOnClose(bool value) { flushFilesOnClose_ = value; }

    // --- Public ---
    // The key for encrypted entries; replaced by a new one OnBadPassword supplies.
    const AnsiString& Password() const { return password_; }
    void SetPassword(const AnsiString& password) { password_ = password; }

    // --- Extraction ---
    // Extracts the selected entries of ZipName into DestDir and returns how many were
    // extracted with a matching CRC-32. Entry problems are reported through the events and the
    // run goes on; catalogue errors, a damaged archive, a failed write of an output file and
    // exceptions of the event handlers leave UnZip (after OnUnZipComplete, for those raised
    // during the run), and the archive then stays open until ZipName changes. A call made while
    // UnZip runs (from a handler) raises EInvalidOperation.
    int UnZip();
    // Decodes the selected entries as UnZip would, checking passwords and CRCs, without making
    // any folder or file: the events name each entry by its stored path, OnEndUnZip reports a
    // good one and a damaged one is reported as UnZip reports it. Returns the number of good
    // entries. FilesList is emptied at the end, as by UnZip.
    int Test();
    bool Busy() const { return busy_; }

    // --- The catalogue; indexes are positions in the sorted view ---
    // Entries in the catalogue, 0 while none is loaded.
    int Count() const;
    // Index errors: EListError "Index <index> is out of range".
    const TZipHeaderInfo& Entry(int index) const;
    AnsiString Filename(int index) const;
    // The directory part, ending in a backslash, or empty.
    AnsiString Pathname(int index) const;
    // Read from the archive on first use and kept.
    AnsiString FileComment(int index);
    void SetFileComment(int index, const AnsiString& comment);
    AnsiString ZipComment();
    void SetZipComment(const AnsiString& comment);
    const TEndCentral& EndCentral() const { return endCentral_; }

    // --- Multi-part archives ---
    virtual bool CheckVolumeLabel() const { return checkVolumeLabel_; }
    virtual void SetCheckVolumeLabel(bool check) { checkVolumeLabel_ = check; }
    // Decided each time the catalogue is read.
    virtual TMultiPartMode MultiPartMode() const { return multiPartMode_; }
    virtual void SetMultiPartMode(TMultiPartMode mode) { multiPartMode_ = mode; }
    // 0-based number of the part the archive stream is open on.
    int CurrentPart() const { return currentPart_; }
    int PartCount() const { return partCount_; }

    // --- The steps the extraction run is built on ---
    // Opens ZipName when no archive is open and reads the catalogue when none is loaded or the
    // archive file's time has changed since it was read. Catalogue errors leave as EBadZipFile,
    // ENotAZipFile, EIncompleteZip, EUserCanceled or EListError, with no catalogue loaded.
    void OpenAndRefreshCatalogue();
    void CloseArchive();
    bool ArchiveIsOpen() const { return archive_ != nullptr; }

    // --- Events, in the order they are published ---
    TStartUnzipInfo OnStartUnZipInfo;
    TFilePercentDone OnFilePercentDone;
    TTotalPercentDone OnTotalPercentDone;
    TStartUnZipEvent OnStartUnZip;
    TEndUnZipEvent OnEndUnZip;
    TPromptForOverwrite OnPromptForOverwrite;
    TSkippingFile OnSkippingFile;
    TBadPassword OnBadPassword;
    TBadCRC OnBadCRC;
    TIncompleteZip OnInCompleteZip;
    // Installed by the constructor (outside the designer): DefaultGetNextDisk.
    TGetNextDisk OnGetNextDisk;
    TUnZipComplete OnUnZipComplete;
    TGetNextBuffer OnGetNextBuffer;

protected:
    // The component's own OnGetNextDisk: asks for the disk with a message box when parts are on
    // removable disks, otherwise names the part by its number (setup.zip -> setup.002).
    void DefaultGetNextDisk(TObject* sender, int nextDisk, AnsiString& fileName);
    // Makes part (1-based) the open archive, asking OnGetNextDisk for its file.
    void SwitchToPart(int part);

private:
    class CatalogueReader;
    class RunHost;

    TSortedZip* View() const;
    TZipHeaderInfo& EntryAt(int index) const;
    void DiscardCatalogue();
    void OpenArchive();
    void ReadCatalogue();
    void DecideMultiPartMode();
    bool VolumeLabelFits(const AnsiString& fileName, int part) const;
    std::optional<std::string> ReadEntryComment(const TZipHeaderInfo& entry);
    std::optional<std::string> ReadArchiveComment();
    int Run(bool testOnly);
    // Whether the data of entry, ending at end (an offset in its part), runs into the next
    // entry's local header or into the central directory.
    bool OverlapsNext(const TZipHeaderInfo& entry, std::int64_t end) const;

    AnsiString zipName_;
    AnsiString destDir_;
    AnsiString rootDir_;
    TZipSortMode sortMode_ = TZipSortMode::ByNone;
    bool recreateDirs_ = false;
    TUZOverwriteMode overwriteMode_ = TUZOverwriteMode::Prompt;
    std::unique_ptr<TStringList> filesList_;
    bool doAll_ = false;
    TIncompleteZipMode incompleteZipMode_ = TIncompleteZipMode::izAssumeMulti;
    bool keepZipOpen_ = false;
    bool doProcessMessages_ = true;
    bool retainAttributes_ = true;
    bool replaceReadOnly_ = false;
    bool flushFilesOnClose_ = false;
    AnsiString password_;
    bool busy_ = false;

    std::unique_ptr<TLFNFileStream> archive_;
    std::int64_t archiveTime_ = -1;
    TEndCentral endCentral_;
    // The entries in physical order; owns them. nullptr while no catalogue is loaded.
    std::unique_ptr<TSortedZip> mainList_;
    // The sorted view when SortMode is not ByNone (the main list is the view otherwise).
    std::unique_ptr<TSortedZip> sortedView_;
    bool rebuiltByScanning_ = false;
    // The central directory's bytes in the archive (part; first byte, last byte + 1) and the
    // size of that part, when known. Part -1 when the catalogue came from a companion file.
    struct CentralSpan {
        int Part = -1;
        std::int64_t Begin = 0;
        std::int64_t End = 0;
        std::int64_t PartSize = -1;
    } centralSpan_;

    TMultiPartMode multiPartMode_ = TMultiPartMode::mpSinglePart;
    bool checkVolumeLabel_ = true;
    int currentPart_ = 0;
    int partCount_ = 1;
};

} // namespace kq
