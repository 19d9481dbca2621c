#pragma once

// Test support: a reader of shell link (.lnk) files, written from the published link format and
// independent of the code that writes them. It takes what both writers produce: the stand-in's
// ANSI strings without an item list, and the Windows shell's item list and UTF-16 strings.
//
// Layout read here (little-endian): a 0x4C-byte header (size, link class, flags at 0x14); an
// item list when flag 0x01 is set (a 16-bit size, then that many bytes); a LinkInfo when flag
// 0x02 is set (its 32-bit size first; flags at +8, VolumeID offset at +0x0C, local base path
// offset at +0x10, common path suffix offset at +0x18; the VolumeID holds the drive type at +4);
// then the strings of flags 0x04 (name), 0x08 (relative path), 0x10 (working folder), 0x20
// (arguments) and 0x40 (icon), each a 16-bit character count and the characters, two bytes each
// when flag 0x80 is set.

#include <cstdint>
#include <string>

namespace kq::test {

struct LinkFile {
    std::uint32_t flags = 0;
    std::uint32_t driveType = 0;
    std::string localPath; // local base path and common path suffix
    std::string name;
    std::string workingDirectory;
};

namespace lnk {
// The bits of the header's flags this reader looks at.
enum Flag : std::uint32_t {
    HasItemList = 1u << 0,
    HasLinkInfo = 1u << 1,
    HasName = 1u << 2,
    HasWorkingDir = 1u << 4,
    IsUnicode = 1u << 7,
};
} // namespace lnk

class LinkReader {
public:
    explicit LinkReader(const std::string& bytes) : bytes_(bytes) {}

    // False with the reason in error when the bytes are not a link file this reader knows.
    bool Read(LinkFile& link, std::string& error) {
        static const unsigned char linkClass[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                    0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
        if (!Fits(0, 0x4C) || U32(0) != 0x4C ||
            bytes_.compare(4, 16, reinterpret_cast<const char*>(linkClass), 16) != 0) {
            return Fail(error, "no link header");
        }
        link.flags = U32(0x14);
        std::size_t at = 0x4C;
        if ((link.flags & lnk::HasItemList) != 0) {
            if (!Fits(at, 2) || !Fits(at + 2, U16(at))) {
                return Fail(error, "item list runs past the end");
            }
            at += 2 + U16(at);
        }
        if ((link.flags & lnk::HasLinkInfo) != 0) {
            if (!ReadLinkInfo(at, link, error)) {
                return false;
            }
            at += U32(at);
        }
        const std::uint32_t stringFlags[] = {0x04, 0x08, 0x10, 0x20, 0x40};
        for (const std::uint32_t flag : stringFlags) {
            if ((link.flags & flag) == 0) {
                continue;
            }
            std::string text;
            if (!ReadString(at, (link.flags & lnk::IsUnicode) != 0, text)) {
                return Fail(error, "string data runs past the end");
            }
            if (flag == lnk::HasName) {
                link.name = text;
            } else if (flag == lnk::HasWorkingDir) {
                link.workingDirectory = text;
            }
        }
        return true;
    }

private:
    bool Fits(std::size_t at, std::size_t count) const {
        return at <= bytes_.size() && count <= bytes_.size() - at;
    }
    std::uint32_t U16(std::size_t at) const {
        return static_cast<unsigned char>(bytes_[at]) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[at + 1])) << 8;
    }
    std::uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }
    static bool Fail(std::string& error, const char* reason) {
        error = reason;
        return false;
    }

    bool CString(std::size_t at, std::size_t end, std::string& text) const {
        const std::size_t nul = bytes_.find('\0', at);
        if (nul == std::string::npos || nul >= end) {
            return false;
        }
        text = bytes_.substr(at, nul - at);
        return true;
    }

    bool ReadLinkInfo(std::size_t at, LinkFile& link, std::string& error) const {
        if (!Fits(at, 0x1C) || U32(at) < 0x1C || !Fits(at, U32(at))) {
            return Fail(error, "LinkInfo runs past the end");
        }
        const std::size_t end = at + U32(at);
        if ((U32(at + 8) & 1) == 0) {
            return Fail(error, "LinkInfo without a local path");
        }
        const std::size_t volume = at + U32(at + 0x0C);
        if (volume + 8 > end) {
            return Fail(error, "VolumeID outside the LinkInfo");
        }
        link.driveType = U32(volume + 4);
        std::string suffix;
        if (!CString(at + U32(at + 0x10), end, link.localPath) ||
            !CString(at + U32(at + 0x18), end, suffix)) {
            return Fail(error, "LinkInfo path outside the LinkInfo");
        }
        link.localPath += suffix;
        return true;
    }

    // Characters of UTF-16 strings are narrowed to one byte (Latin-1); others become '?'. The
    // format's strings have no terminator, but some writers count one: the text ends at a NUL.
    bool ReadString(std::size_t& at, bool unicode, std::string& text) const {
        if (!Fits(at, 2)) {
            return false;
        }
        const std::size_t count = U16(at);
        const std::size_t width = unicode ? 2 : 1;
        if (!Fits(at + 2, count * width)) {
            return false;
        }
        text.clear();
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t position = at + 2 + i * width;
            const std::uint32_t unit =
                unicode ? U16(position) : static_cast<unsigned char>(bytes_[position]);
            text += unit < 0x100 ? static_cast<char>(unit) : '?';
        }
        text = text.substr(0, text.find('\0'));
        at += 2 + count * width;
        return true;
    }

    const std::string bytes_;
};

} // namespace kq::test
