// Error codes of the stand-in: errno values are translated into the Windows codes that callers
// test, and the texts are the ones Windows shows for those codes.

#include "platform/errors.h"

#include "standin_internal.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>

namespace kq {

namespace {

thread_local std::uint32_t lastError = err::Success;

std::uint32_t WindowsCodeFor(int error) {
    switch (error) {
    case 0:
        return err::Success;
    case ENOENT:
        return err::FileNotFound;
    case ENOTDIR:
        return err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return err::AccessDenied;
    case EMFILE:
    case ENFILE:
        return err::TooManyOpenFiles;
    case EBADF:
        return err::InvalidHandle;
    case ENOMEM:
        return err::NotEnoughMemory;
    case EBUSY:
    case ETXTBSY:
        return err::SharingViolation;
    case EEXIST:
        return err::FileExists;
    case EINVAL:
        return err::InvalidParameter;
    case ENOSPC:
    case EDQUOT:
        return err::DiskFull;
    case ENAMETOOLONG:
        return err::FilenameTooLong;
    case ENOTEMPTY:
        return err::DirectoryNotEmpty;
    case EFBIG:
        return err::FileTooLarge;
    case EIO:
        return err::IoDevice;
    default:
        return err::GeneralFailure;
    }
}

struct MessageText {
    std::uint32_t code;
    const char* text;
};

constexpr MessageText messageTexts[] = {
    {err::Success, "The operation completed successfully."},
    {err::FileNotFound, "The system cannot find the file specified."},
    {err::PathNotFound, "The system cannot find the path specified."},
    {err::TooManyOpenFiles, "The system cannot open the file."},
    {err::AccessDenied, "Access is denied."},
    {err::InvalidHandle, "The handle is invalid."},
    {err::NotEnoughMemory, "Not enough memory resources are available to process this command."},
    {err::GeneralFailure, "A device attached to the system is not functioning."},
    {err::SharingViolation,
     "The process cannot access the file because it is being used by another process."},
    {err::FileExists, "The file exists."},
    {err::InvalidParameter, "The parameter is incorrect."},
    {err::DiskFull, "There is not enough space on the disk."},
    {err::InvalidName, "The filename, directory name, or volume label syntax is incorrect."},
    {err::NegativeSeek,
     "An attempt was made to move the file pointer before the beginning of the file."},
    {err::DirectoryNotEmpty, "The directory is not empty."},
    {err::AlreadyExists, "Cannot create a file when that file already exists."},
    {err::FilenameTooLong, "The filename or extension is too long."},
    {err::FileTooLarge, "The file size exceeds the limit allowed and cannot be saved."},
    {err::NotADirectory, "The directory name is invalid."},
    {err::IoDevice, "The request could not be performed because of an I/O device error."},
};

} // namespace

std::uint32_t LastError() {
    return lastError;
}

void SetLastError(std::uint32_t code) {
    lastError = code;
}

std::string SysErrorMessage(std::uint32_t code) {
    for (const MessageText& entry : messageTexts) {
        if (entry.code == code) {
            return entry.text;
        }
    }
    return "System error " + std::to_string(code);
}

namespace standin {

void FailWithErrno(int error) {
    SetLastError(WindowsCodeFor(error));
}

void FailWithErrnoAt(int error, const std::string& hostPath) {
    if (error != ENOENT) {
        FailWithErrno(error);
        return;
    }
    std::string path = hostPath;
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    const std::string::size_type slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    if (folder.empty()) {
        folder = "/";
    }
    struct stat status {};
    const bool folderExists = ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    SetLastError(folderExists ? err::FileNotFound : err::PathNotFound);
}

} // namespace standin

} // namespace kq
