// One extraction run over the selected entries of an archive, and each entry from its local
// header to the verdict on its CRC-32. The run is handed everything it uses when it starts: the
// component's settings as a value, its events, and the archive with its catalogue behind a small
// interface, through which it also hands back what it changes in the component.
#pragma once

#include "base/strings.h"
#include "crypto/crypt.h"
#include "extraction/made_folders.h"
#include "platform/codepage.h"
#include "unzip/zip_extractor.h"
#include "unzip/zip_records.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kq {

class TLFNFileStream;
class TStream;
class TUnzipContext;

// The component's settings when the run starts; the run reads them from here only.
struct TExtractionOptions {
    // Without a trailing backslash.
    AnsiString DestDir;
    // With a trailing backslash, or empty.
    AnsiString RootDir;
    TUZOverwriteMode OverwriteMode = TUZOverwriteMode::Prompt;
    bool RecreateDirs = false;
    bool DoAll = false;
    bool RetainAttributes = true;
    bool ReplaceReadOnly = false;
    bool FlushFilesOnClose = false;
    bool DoProcessMessages = true;
    // The archive has parts, which the owner is asked for as the run reaches them.
    bool MultiPart = false;
    // The key for encrypted entries; a new one that OnBadPassword supplies replaces it.
    AnsiString Password;
    // FilesList: wildcard patterns choosing entries.
    std::vector<AnsiString> Patterns;
    // Decode and check only: no folders, no files.
    bool TestOnly = false;
};

// The component's events, each looked at when it is due, so that a handler assigned during the
// run is heard; Sender is what they name as theirs.
struct TExtractionEvents {
    TObject* Sender;
    const TStartUnzipInfo& OnStartUnZipInfo;
    const TFilePercentDone& OnFilePercentDone;
    const TTotalPercentDone& OnTotalPercentDone;
    const TStartUnZipEvent& OnStartUnZip;
    const TEndUnZipEvent& OnEndUnZip;
    const TPromptForOverwrite& OnPromptForOverwrite;
    const TSkippingFile& OnSkippingFile;
    const TBadPassword& OnBadPassword;
    const TBadCRC& OnBadCRC;
    // Only whether there is one: the parts are asked for through TExtractionHost::SwitchToPart.
    const TGetNextDisk& OnGetNextDisk;
    const TUnZipComplete& OnUnZipComplete;
};

// The archive and its catalogue as a run sees them, and what the run hands back to the component.
class TExtractionHost {
public:
    // The entries, in the order the run visits them; an index is also what the events report.
    virtual int Count() const = 0;
    virtual TZipHeaderInfo& EntryAt(int index) = 0;
    // Whether the data of entry, ending at end (an offset in its part), runs into the next
    // entry's local header or into the central directory.
    virtual bool OverlapsNext(const TZipHeaderInfo& entry, std::int64_t end) const = 0;
    // The open archive: of a multi-part one, the part CurrentPart (0-based).
    virtual TLFNFileStream& Archive() = 0;
    virtual int CurrentPart() const = 0;
    // Makes part (1-based) the open archive, asking the owner for its file; EUserCanceled when
    // the owner refuses it.
    virtual void SwitchToPart(int part) = 0;
    // The entries of a multi-part archive are visited in physical order, so that no part is
    // asked for twice; EndRun brings the component's own order back.
    virtual void UsePhysicalOrder() = 0;
    // A new password from OnBadPassword becomes the component's Password.
    virtual void PasswordChanged(const AnsiString& password) = 0;
    // The run is over, before OnUnZipComplete: FilesList is emptied and the order restored.
    virtual void EndRun() = 0;

protected:
    ~TExtractionHost() = default;
};

class TExtractionRun {
public:
    TExtractionRun(TExtractionOptions options, const TExtractionEvents& events,
                   TExtractionHost& host);
    ~TExtractionRun();
    TExtractionRun(const TExtractionRun&) = delete;
    TExtractionRun& operator=(const TExtractionRun&) = delete;

    // The run from its buffers to OnUnZipComplete; returns the number of entries extracted.
    int Run();

private:
    // The run's steps (extraction_run.cpp).
    void Prepare();
    int SelectEntries();
    void ExtractSelected();
    void Finish();

    // One entry's steps (extraction_run.cpp).
    void ExtractEntry(int index);
    std::int64_t LocateData();
    std::int64_t ReadLocalHeader();
    void TestEntry(int index, std::int64_t dataStart);
    bool StartAllowed(int index, AnsiString& name);
    void MakeFolderEntry(const AnsiString& folder);
    void MakeFolderOf(const AnsiString& fileName);
    void ExtractFile(int index, const AnsiString& fileName, std::int64_t dataStart);
    void WireContext();
    bool Decode(TStream& output, std::int64_t dataStart);
    void Verdict(int index, const AnsiString& fileName);
    void BadData(int index, std::uint32_t crc);

    // The password check and the parts (entry_password.cpp).
    bool PasswordFits(int index, std::int64_t dataStart);
    bool ReadEncryptionHeaderBytes(std::int64_t dataStart, std::uint8_t* header);
    bool NewPassword(int index);
    bool PartsFollow() const;
    bool OpenNextPart();

    // The entry's file (output_file.cpp).
    bool MakeFolders(const AnsiString& folder);
    bool MayOverwrite(int index, AnsiString& fileName);
    std::unique_ptr<TLFNFileStream> CreateOutput(int index, const AnsiString& fileName);
    bool FinishOutput(std::unique_ptr<TLFNFileStream> output, bool complete);
    bool MoveIntoPlace(int index, const AnsiString& fileName);
    void NotFinished(int index, const AnsiString& fileName);

    AnsiString StoredPath() const { return entry_.Directory() + entry_.FileName(); }
    void Skip(TSkipReason reason, const AnsiString& fileName, int index);
    void ReportSkip(TSkipReason reason, const AnsiString& fileName, int index);
    static int CodePage() { return static_cast<int>(GetACP()); }

    TExtractionOptions options_;
    const TExtractionEvents& events_;
    TExtractionHost& host_;
    std::unique_ptr<TUnzipContext> context_;
    int extracted_ = 0;
    // One value for the whole run: a handler that wants a retry sets it on every call.
    bool retry_ = false;
    // The folder the last file went into, known to exist: the files of a folder usually come
    // one after the other, and looking it up again for each costs as much as writing a small file.
    AnsiString madeFolder_;
    // The entry's partial file while it exists (see PartialName in output_file.cpp).
    AnsiString partName_;
    // The entry's file may be there already: MayOverwrite found it, or did not look (Always).
    bool mayBeThere_ = true;
    // The folders the run created and the names it used in them: a file there needs no look-up.
    TMadeFolders madeFolders_{CodePage()};

    // The entry being extracted: a copy of its record, whose compressed size loses the
    // encryption header once that is read.
    TZipHeaderInfo entry_;
    TCryptKeys keys_;
    // Where an encrypted entry's data goes on after its header, in the part open then.
    std::int64_t afterHeader_ = 0;
    // A new password came after the entry failed its CRC check: it is extracted again.
    bool again_ = false;
};

} // namespace kq
