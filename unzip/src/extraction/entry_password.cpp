// The password check of an encrypted entry, and the parts of a multi-part archive its header may
// run across.
//
// An encrypted entry's data starts with a 12-byte encryption header. The keys, started from the
// password, decrypt it; its last byte must then match a byte the catalogue knows (the CRC's high
// byte, or the time's when the CRC follows the data). A wrong password fails that check, except
// by a chance of one in 256; such a password shows as a CRC mismatch once the data is decoded.
#include "crypto/crypt.h"
#include "extraction/extraction_run.h"
#include "io/buffer_stream.h"
#include "unzip/errors.h"

#include <algorithm>

namespace kq {

bool TExtractionRun::PasswordFits(int index, std::int64_t dataStart) {
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
    afterHeader_ = host_.Archive().Position();
    do {
        std::uint8_t header[EncryptionHeaderSize];
        std::copy(stored, stored + EncryptionHeaderSize, header);
        if (whole && DecryptHeader(keys_, options_.Password, header) == expected) {
            entry_.SetCompressedSize(entry_.CompressedSize() - EncryptionHeaderSize);
            return true;
        }
    } while (NewPassword(index));
    Skip(TSkipReason::srBadPassword, StoredPath(), index);
    return false;
}

// Asks OnBadPassword for another password; true when it gives one that differs, which is then
// the run's and the component's.
bool TExtractionRun::NewPassword(int index) {
    if (!events_.OnBadPassword) {
        return false;
    }
    AnsiString newPassword = options_.Password;
    events_.OnBadPassword(events_.Sender, index, newPassword);
    if (newPassword == options_.Password) {
        return false;
    }
    options_.Password = newPassword;
    host_.PasswordChanged(newPassword);
    return true;
}

// Reads the encryption header's 12 bytes from where the entry's data starts, going on in the next
// part of a multi-part archive as the data does; false when the archive ends inside them.
bool TExtractionRun::ReadEncryptionHeaderBytes(std::int64_t dataStart, std::uint8_t* header) {
    host_.Archive().Seek(dataStart, soFromBeginning);
    std::int32_t got =
        std::max<std::int32_t>(host_.Archive().Read(header, EncryptionHeaderSize), 0);
    while (got < EncryptionHeaderSize && PartsFollow()) {
        // A part refused while an entry's bytes are read ends the run, as the input reader does.
        if (!OpenNextPart()) {
            throw EUserCanceled(zipmsg::UserAborted);
        }
        got += std::max<std::int32_t>(
            host_.Archive().Read(header + got, EncryptionHeaderSize - got), 0);
    }
    return got == EncryptionHeaderSize;
}

// The archive has parts after the open one, and the owner can be asked for them.
bool TExtractionRun::PartsFollow() const {
    return options_.MultiPart && events_.OnGetNextDisk;
}

// Opens the part after the open one; false when the owner refused it.
bool TExtractionRun::OpenNextPart() {
    try {
        host_.SwitchToPart(host_.CurrentPart() + 2);
    } catch (const EUserCanceled&) {
        return false;
    }
    return true;
}

} // namespace kq
