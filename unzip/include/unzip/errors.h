// The errors of the zip engine and their messages. Structural problems of an archive leave the
// engine as these exceptions; problems of single entries are reported through events instead.
#pragma once

#include "base/exceptions.h"

namespace kq {

namespace zipmsg {
inline constexpr const char* NotAValidZipFile = "Not a valid zip file!";
inline constexpr const char* IncompleteZipFile = "Incomplete Zip File";
inline constexpr const char* CanceledNewDisk = "User canceled loading new disk.";
inline constexpr const char* CanceledZipName = "User canceled setting zip file name.";
inline constexpr const char* CanceledDestDir = "User canceled Set Desination Directory";
inline constexpr const char* UserAborted = "User Aborted Operation";
inline constexpr const char* BiggerThanUncompressed = "File is larger than uncompressed size!";
inline constexpr const char* PrematureEnd = "Premature end of file reached";
inline constexpr const char* AlreadyExtracting = "The archive is already being extracted";
inline constexpr const char* ArchiveInUse = "The archive cannot change while it is extracted";
} // namespace zipmsg

// The archive's catalogue is damaged: a record is missing, cut short or points outside the file.
class EBadZipFile : public Exception {
public:
    EBadZipFile() : Exception(zipmsg::NotAValidZipFile) {}
    using Exception::Exception;
};

// No end-of-central-directory record, and the owner chose to take the file for something else.
class ENotAZipFile : public Exception {
public:
    ENotAZipFile() : Exception(zipmsg::NotAValidZipFile) {}
    using Exception::Exception;
};

// No end-of-central-directory record: the file is taken for one part of a multi-part archive.
class EIncompleteZip : public Exception {
public:
    EIncompleteZip() : Exception(zipmsg::IncompleteZipFile) {}
    using Exception::Exception;
};

// The user refused a dialog the engine needed (a disk, a file name, a folder).
class EUserCanceled : public Exception {
public:
    using Exception::Exception;
};

// An entry's data decodes to more bytes than its header declares.
class EBiggerThanUncompressed : public Exception {
public:
    EBiggerThanUncompressed() : Exception(zipmsg::BiggerThanUncompressed) {}
    using Exception::Exception;
};

// The archive ends inside an entry's data.
class EFatalUnzipError : public Exception {
public:
    using Exception::Exception;
};

} // namespace kq
