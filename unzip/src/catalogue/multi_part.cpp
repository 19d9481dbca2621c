// Multi-part archives: the parts of one archive on several removable disks, or in several files
// named by their number (setup.001, setup.002, ...). The end record names the last part; each
// central record names the part its entry starts on, and offsets count from the start of that
// part.
#include "base/format.h"
#include "base/strings.h"
#include "catalogue/text.h"
#include "io/buffer_stream.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/volumes.h"
#include "unzip/errors.h"
#include "unzip/zip_extractor.h"

namespace kq {
namespace {

// The label of a root path such as "A:\", at most 13 characters (empty when there is none).
std::string VolumeLabel(const std::string& root) {
    // The label is read into a 14-byte buffer: 13 characters and the terminating zero.
    std::string label;
    if (!GetVolumeLabel(root, label)) {
        return std::string();
    }
    return LeftStr(label, 13);
}

AnsiString PartNumber(int part) {
    return Format("%3.3d", {part});
}

AnsiString WithPartExtension(const AnsiString& path, int part) {
    const size_t separator = path.find_last_of("\\/:");
    const size_t dot = path.rfind('.');
    const AnsiString stem =
        dot == AnsiString::npos || (separator != AnsiString::npos && dot < separator)
            ? path
            : path.substr(0, dot);
    return stem + "." + PartNumber(part);
}

} // namespace

void TZipExtractor::DecideMultiPartMode() {
    // Only a drive letter can name a removable disk.
    if (zipName_.size() < 2 || zipName_[1] != ':') {
        multiPartMode_ = TMultiPartMode::mpSplitFiles;
        return;
    }
    const bool removable = GetDriveType(UpperCase(LeftStr(zipName_, 3))) == drive::Removable;
    multiPartMode_ = removable ? TMultiPartMode::mpRemovableDisks : TMultiPartMode::mpSplitFiles;
}

bool TZipExtractor::VolumeLabelFits(const AnsiString& fileName, int part) const {
    if (multiPartMode_ != TMultiPartMode::mpRemovableDisks || !CheckVolumeLabel()) {
        return true;
    }
    // Disks of a set are labelled with their number at the end ("PKBACK# 002").
    const AnsiString label = LeftStr(VolumeLabel(LeftStr(fileName, 3)), 11);
    const AnsiString number = PartNumber(part);
    return label.size() >= number.size() &&
           label.compare(label.size() - number.size(), number.size(), number) == 0;
}

void TZipExtractor::SwitchToPart(int part) {
    CloseArchive();
    AnsiString fileName = zipName_;
    AnsiString previous = zipName_;
    while (true) {
        if (OnGetNextDisk) {
            OnGetNextDisk(this, part, fileName);
        }
        if (fileName.empty()) {
            throw EUserCanceled(zipmsg::CanceledNewDisk);
        }
        if (FileExists(fileName) && VolumeLabelFits(fileName, part)) {
            break;
        }
        // Asking again only helps when someone can change the disk; a part file that is
        // missing stays missing, and opening it below reports that.
        if (multiPartMode_ != TMultiPartMode::mpRemovableDisks && fileName == previous) {
            break;
        }
        previous = fileName;
    }
    archive_ = std::make_unique<TLFNFileStream>(fileName, FileMode::ReadDenyWrite, false);
    currentPart_ = part - 1;
    archiveTime_ = archive_->Handle().DosDateTime();
    zipName_ = fileName;
}

void TZipExtractor::DefaultGetNextDisk(TObject*, int nextDisk, AnsiString& fileName) {
    if (multiPartMode_ != TMultiPartMode::mpRemovableDisks) {
        fileName = WithPartExtension(fileName, nextDisk);
        return;
    }
    const AnsiString text = "Please insert disk " + IntToStr(nextDisk) + " of the multi-disk set.";
    if (MessageBox(text, "", mb::OkCancel) != id::Ok) {
        fileName.clear();
    }
}

} // namespace kq
