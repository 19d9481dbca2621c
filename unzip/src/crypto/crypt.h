// Decryption of the traditional zip encryption. Three 32-bit keys start from fixed values, take in
// the password byte by byte, and then take in every decrypted byte, so each byte's key stream
// depends on all the plain text before it. An encrypted entry's data starts with a 12-byte header
// whose last byte, decrypted, repeats a byte the entry's catalogue record also holds: that is how
// a wrong password is noticed before any data is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kq {

class TStream;

struct TCryptKeys {
    std::uint32_t Key0 = 0;
    std::uint32_t Key1 = 0;
    std::uint32_t Key2 = 0;
};

inline constexpr int EncryptionHeaderSize = 12;

void InitKeys(TCryptKeys& keys, const std::string& password);
void UpdateKeys(TCryptKeys& keys, std::uint8_t byte);
// The next byte of the key stream; the keys are not changed.
std::uint8_t DecryptByte(const TCryptKeys& keys);
// Decrypts count bytes in place, the keys advancing with each plain byte.
void DecryptBuffer(TCryptKeys& keys, std::uint8_t* data, std::size_t count);

// Starts the keys from password and decrypts the 12 header bytes (in place); returns the last
// plain byte. The keys are left as they are after the header, ready for the entry's data.
std::uint8_t DecryptHeader(TCryptKeys& keys, const std::string& password,
                           std::uint8_t header[EncryptionHeaderSize]);

// Reads the encryption header at the archive's position, takes its 12 bytes off the entry's
// compressed size and returns DecryptHeader of them. When the archive ends inside the header the
// result is -1, which matches no check byte, so the password counts as wrong.
int ReadEncryptionHeader(TCryptKeys& keys, const std::string& password, TStream& archive,
                         std::int64_t& compressedSize);

// The byte the decrypted header must end with. An entry whose sizes and CRC follow its data
// (general purpose flag bit 3) was encrypted before its CRC was known, so its modification time
// stands in for it.
std::uint8_t PasswordCheckByte(std::uint16_t flags, std::uint16_t dosTime, std::uint32_t crc32);

} // namespace kq
