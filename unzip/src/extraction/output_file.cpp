// The entry's file: the overwrite policy, the partial file it is written to, its time and
// attributes, and the move that gives it its name.
//
// Times in the catalogue are local DOS date-times, compared at their two-second resolution.
#include "base/scope_exit.h"
#include "decoders/unzip_context.h"
#include "extraction/extraction_run.h"
#include "io/buffer_stream.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "unzip/dos_date_time.h"
#include "unzip/errors.h"

#include <string>
#include <vector>

namespace kq {

namespace {

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

// Writes the entry's partial file and gives it the file's name when it is whole.
void TExtractionRun::ExtractFile(int index, const AnsiString& fileName, std::int64_t dataStart) {
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

bool TExtractionRun::MayOverwrite(int index, AnsiString& fileName) {
    const bool missing = madeFolders_.KnownMissing(fileName);
    mayBeThere_ = !missing;
    if (options_.OverwriteMode == TUZOverwriteMode::Always) {
        return true;
    }
    if (missing || !FileExists(fileName)) {
        mayBeThere_ = false;
        return true;
    }
    // Both are local DOS date-times, so comparing the numbers compares the calendar times at
    // two-second resolution. A file time that has no DOS form (-1) is older than any entry.
    const std::int64_t entryTime = entry_.DateTime();
    switch (options_.OverwriteMode) {
    case TUZOverwriteMode::Prompt:
        if (events_.OnPromptForOverwrite) {
            bool overwrite = false;
            events_.OnPromptForOverwrite(events_.Sender, overwrite, index, fileName);
            return overwrite;
        }
        return MessageBox("Replace existing file " + host_.EntryAt(index).FileName() + "?",
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
std::unique_ptr<TLFNFileStream> TExtractionRun::CreateOutput(int index,
                                                             const AnsiString& fileName) {
    bool readOnlyCleared = false;
    bool folderChecked = false;
    while (true) {
        try {
            return std::make_unique<TLFNFileStream>(partName_, FileMode::Create,
                                                    options_.FlushFilesOnClose);
        } catch (const EFCreateError&) {
            // The folder may have gone since an earlier file of it was written.
            if (!madeFolder_.empty() && !folderChecked) {
                folderChecked = true;
                madeFolder_.clear();
                const AnsiString folder = ExtractFilePath(fileName, CodePage());
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
                const AnsiString folder = ExtractFilePath(fileName, CodePage());
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
bool TExtractionRun::MoveIntoPlace(int index, const AnsiString& fileName) {
    bool readOnlyCleared = false;
    for (;;) {
        const std::uint32_t there = mayBeThere_ ? GetFileAttributes(fileName) : attr::Invalid;
        const bool readOnly = there != attr::Invalid && (there & attr::ReadOnly) != 0;
        if (!readOnly && MoveFileReplacing(partName_, fileName)) {
            partName_.clear();
            return true;
        }
        if (!readOnly || !options_.ReplaceReadOnly || readOnlyCleared) {
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

// Closes the output file. A complete one first gets the entry's time and then its attributes,
// both through the file still open for writing (a read-only file could not be opened again, and
// its name need not be looked up again). A failed write, flush or close leaves as EWriteError.
// False when a complete file could not take its time or its attributes.
bool TExtractionRun::FinishOutput(std::unique_ptr<TLFNFileStream> output, bool complete) {
    bool stamped = true;
    if (complete) {
        // Written data first, so that no later write moves the time again.
        if (!output->Flush()) {
            throw EWriteError("Stream write error");
        }
        stamped = output->Handle().SetDosDateTime(FixDosDateTime(entry_.DateTime()));
        // Attributes that did not reach the file fail it as a time does: the file would pass
        // for a whole one without them (a read-only file left writable, a hidden one shown).
        if (stamped && options_.RetainAttributes) {
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
void TExtractionRun::NotFinished(int index, const AnsiString& fileName) {
    context_->RunBytesWritten -= context_->BytesWritten;
    ReportSkip(TSkipReason::srCreateError, fileName, index);
    if (retry_) {
        again_ = true;
    } else {
        context_->RunTotalBytes -= entry_.UncompressedSize();
    }
}

// ForceDirectories, the folders it creates remembered.
bool TExtractionRun::MakeFolders(const AnsiString& folder) {
    std::vector<std::string> made;
    const bool there = ForceDirectories(folder, &made);
    for (const std::string& name : made) {
        madeFolders_.Made(name);
    }
    return there;
}

} // namespace kq
