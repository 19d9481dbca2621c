// Encryption of the traditional zip cipher, the writing side of what the extraction engine
// decrypts. Three 32-bit keys start from fixed values and take in the password byte by byte;
// after that every plain byte is encrypted with the key stream's next byte and then taken into
// the keys, so each byte's key depends on all the plain text before it. An entry's data starts
// with a 12-byte header encrypted the same way; its last plain byte lets a reader tell a wrong
// password before it decodes anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kq::mksetup {

class ZipEncryptor {
public:
    explicit ZipEncryptor(std::string_view password);

    // Encrypts count bytes in place.
    void Encrypt(unsigned char* data, std::size_t count);

private:
    void TakeIn(std::uint8_t plain);
    std::uint8_t KeyStreamByte() const;

    std::uint32_t key0_ = 0x12345678;
    std::uint32_t key1_ = 0x23456789;
    std::uint32_t key2_ = 0x34567890;
};

} // namespace kq::mksetup
