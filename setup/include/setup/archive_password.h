// The setup archive's password. The program holds it only as stored bytes, each the password's
// byte with its high bit inverted, so the password never stands in the program as text;
// ShiftBytes128 turns the bytes back at run time. The packer (tools/mksetup) includes this file,
// so the archive and the program cannot disagree.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kq {

// Every byte of s plus 128, modulo 256: the high bit of every byte inverted. Its own inverse.
inline std::string ShiftBytes128(std::string_view s) {
    std::string shifted(s);
    for (char& c : shifted) {
        c = static_cast<char>(static_cast<unsigned char>(c) ^ 0x80u);
    }
    return shifted;
}

inline constexpr std::array<unsigned char, 6> kStoredPassword = {0xD1, 0xF9, 0xB7,
                                                                 0xA3, 0xEB, 0xD6};

inline std::string ArchivePassword() {
    return ShiftBytes128(std::string_view(reinterpret_cast<const char*>(kStoredPassword.data()),
                                          kStoredPassword.size()));
}

} // namespace kq
