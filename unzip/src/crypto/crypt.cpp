// The cipher's constants (the starting keys and the multiplier of key 1) are those of the
// published zip format; key 0 and key 2 are CRC-32 registers stepped with one byte at a time.
#include "crypto/crypt.h"

#include "base/stream.h"
#include "crypto/crc32.h"

namespace kq {

void InitKeys(TCryptKeys& keys, const std::string& password) {
    keys.Key0 = 0x12345678;
    keys.Key1 = 0x23456789;
    keys.Key2 = 0x34567890;
    for (const char c : password) {
        UpdateKeys(keys, static_cast<std::uint8_t>(c));
    }
}

void UpdateKeys(TCryptKeys& keys, std::uint8_t byte) {
    keys.Key0 = Crc32Byte(byte, keys.Key0);
    keys.Key1 = (keys.Key1 + (keys.Key0 & 0xFF)) * 134775813u + 1;
    keys.Key2 = Crc32Byte(static_cast<std::uint8_t>(keys.Key1 >> 24), keys.Key2);
}

std::uint8_t DecryptByte(const TCryptKeys& keys) {
    const std::uint32_t t = (keys.Key2 & 0xFFFF) | 2;
    return static_cast<std::uint8_t>((t * (t ^ 1)) >> 8);
}

void DecryptBuffer(TCryptKeys& keys, std::uint8_t* data, std::size_t count) {
    // The keys live in locals for the loop: each byte depends on the previous one, so the loop is
    // as fast as one chain of dependent steps can be.
    std::uint32_t k0 = keys.Key0, k1 = keys.Key1, k2 = keys.Key2;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t t = (k2 & 0xFFFF) | 2;
        const std::uint8_t plain = data[i] ^ static_cast<std::uint8_t>((t * (t ^ 1)) >> 8);
        data[i] = plain;
        k0 = Crc32Byte(plain, k0);
        k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
        k2 = Crc32Byte(static_cast<std::uint8_t>(k1 >> 24), k2);
    }
    keys.Key0 = k0;
    keys.Key1 = k1;
    keys.Key2 = k2;
}

std::uint8_t DecryptHeader(TCryptKeys& keys, const std::string& password,
                           std::uint8_t header[EncryptionHeaderSize]) {
    InitKeys(keys, password);
    DecryptBuffer(keys, header, EncryptionHeaderSize);
    return header[EncryptionHeaderSize - 1];
}

int ReadEncryptionHeader(TCryptKeys& keys, const std::string& password, TStream& archive,
                         std::int64_t& compressedSize) {
    std::uint8_t header[EncryptionHeaderSize];
    const std::int32_t got = archive.Read(header, EncryptionHeaderSize);
    compressedSize -= EncryptionHeaderSize;
    if (got != EncryptionHeaderSize) {
        return -1;
    }
    return DecryptHeader(keys, password, header);
}

std::uint8_t PasswordCheckByte(std::uint16_t flags, std::uint16_t dosTime, std::uint32_t crc32) {
    constexpr std::uint16_t kDataDescriptor = 0x0008;
    if (flags & kDataDescriptor) {
        return static_cast<std::uint8_t>(dosTime >> 8);
    }
    return static_cast<std::uint8_t>(crc32 >> 24);
}

} // namespace kq
