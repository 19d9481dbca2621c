// TZipExtractor: the zip-extraction component. This part holds the archive and its catalogue:
// the archive stream, the end-of-central-directory record, the entries in physical order and
// the sorted view that every index of the interface refers to.
#pragma once

#include "base/component.h"
#include "base/properties.h"
#include "unzip/buffer_stream.h"
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

const TEnumInfo& ZipSortModeInfo();
const TEnumInfo& IncompleteZipModeInfo();

// Sender; var IncompleteMode.
using TIncompleteZip = std::function<void(TObject* sender, TIncompleteZipMode& mode)>;
// Sender; NextDisk (1-based); var FName (empty refuses).
using TGetNextDisk = std::function<void(TObject* sender, int nextDisk, AnsiString& fileName)>;

class TZipExtractor : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TZipExtractor(TComponent* owner);
    ~TZipExtractor() override;

    // --- Published ---
    const AnsiString& ZipName() const { return zipName_; }
    // At run time a different name (ignoring case) drops the catalogue and closes the archive;
    // the catalogue is read again when next needed. A name ending in "?" asks the user for the
    // file (EUserCanceled "User canceled setting zip file name." when refused).
    virtual void SetZipName(const AnsiString& name);
    TZipSortMode SortMode() const { return sortMode_; }
    // Takes effect when the catalogue is next read.
    void SetSortMode(TZipSortMode mode) { sortMode_ = mode; }
    TIncompleteZipMode IncompleteZipMode() const { return incompleteZipMode_; }
    void SetIncompleteZipMode(TIncompleteZipMode mode) { incompleteZipMode_ = mode; }
    bool KeepZipOpen() const { return keepZipOpen_; }
    void SetKeepZipOpen(bool keep) { keepZipOpen_ = keep; }
    bool DoProcessMessages() const { return doProcessMessages_; }
    void SetDoProcessMessages(bool value) { doProcessMessages_ = value; }

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

    TIncompleteZip OnInCompleteZip;
    // Installed by the constructor (outside the designer): DefaultGetNextDisk.
    TGetNextDisk OnGetNextDisk;

protected:
    // The component's own OnGetNextDisk: asks for the disk with a message box when parts are on
    // removable disks, otherwise names the part by its number (setup.zip -> setup.002).
    void DefaultGetNextDisk(TObject* sender, int nextDisk, AnsiString& fileName);
    // Makes part (1-based) the open archive, asking OnGetNextDisk for its file.
    void SwitchToPart(int part);

private:
    class CatalogueReader;

    TSortedZip* View() const;
    TZipHeaderInfo& EntryAt(int index) const;
    void DiscardCatalogue();
    void OpenArchive();
    void ReadCatalogue();
    void DecideMultiPartMode();
    bool VolumeLabelFits(const AnsiString& fileName, int part) const;
    std::optional<std::string> ReadEntryComment(const TZipHeaderInfo& entry);
    std::optional<std::string> ReadArchiveComment();

    AnsiString zipName_;
    TZipSortMode sortMode_ = TZipSortMode::ByNone;
    TIncompleteZipMode incompleteZipMode_ = TIncompleteZipMode::izAssumeMulti;
    bool keepZipOpen_ = false;
    bool doProcessMessages_ = true;

    std::unique_ptr<TLFNFileStream> archive_;
    std::int64_t archiveTime_ = -1;
    TEndCentral endCentral_;
    // The entries in physical order; owns them. nullptr while no catalogue is loaded.
    std::unique_ptr<TSortedZip> mainList_;
    // The sorted view when SortMode is not ByNone (the main list is the view otherwise).
    std::unique_ptr<TSortedZip> sortedView_;
    bool rebuiltByScanning_ = false;

    TMultiPartMode multiPartMode_ = TMultiPartMode::mpSinglePart;
    bool checkVolumeLabel_ = true;
    int currentPart_ = 0;
    int partCount_ = 1;
};

} // namespace kq
