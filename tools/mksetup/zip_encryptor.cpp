#include "zip_encryptor.h"

#include <array>

namespace kq::mksetup {

namespace {

// One byte of the zip CRC-32 (reflected polynomial 0xEDB88320), without the inversions the
// checksum of a whole buffer adds: the keys use the bare step.
std::uint32_t CrcStep(std::uint32_t crc, std::uint8_t byte) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    return table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

} // namespace

ZipEncryptor::ZipEncryptor(std::string_view password) {
    for (const char c : password) {
        TakeIn(static_cast<std::uint8_t>(c));
    }
}

void ZipEncryptor::Encrypt(unsigned char* data, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t plain = data[i];
        data[i] = static_cast<unsigned char>(plain ^ KeyStreamByte());
        TakeIn(plain);
    }
}

void ZipEncryptor::TakeIn(std::uint8_t plain) {
    key0_ = CrcStep(key0_, plain);
    key1_ = (key1_ + (key0_ & 0xFF)) * 134775813u + 1;
    key2_ = CrcStep(key2_, static_cast<std::uint8_t>(key1_ >> 24));
}

std::uint8_t ZipEncryptor::KeyStreamByte() const {
    const std::uint32_t t = (key2_ | 2) & 0xFFFF;
    return static_cast<std::uint8_t>((t * (t ^ 1)) >> 8);
}

} // namespace kq::mksetup
