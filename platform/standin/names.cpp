// Conversion of names between the ANSI code page and the host's UTF-8, through the C library's
// iconv. Only the stand-in's file layer converts: the engines keep ANSI bytes throughout.
//
// CP1252 leaves the bytes 81, 8D, 8F, 90 and 9D undefined. Windows maps them to the control
// characters of the same value, so a name holding one still converts, and converts back.

#include "platform/errors.h"
#include "standin_internal.h"

#include <cerrno>
#include <cstddef>
#include <iconv.h>
#include <string>

namespace kq::standin {

namespace {

class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : handle_(::iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (IsValid()) {
            ::iconv_close(handle_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsValid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of [in, in + inLeft) as it can, appending to out. Returns 0 when all
    // input was taken, else the errno that stopped it (EILSEQ, EINVAL).
    int Convert(const char*& in, std::size_t& inLeft, std::string& out) {
        char buffer[256];
        while (inLeft > 0) {
            char* next = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t result =
                ::iconv(handle_, const_cast<char**>(&in), &inLeft, &next, &room);
            const int error = errno;
            out.append(buffer, static_cast<std::size_t>(next - buffer));
            if (result == static_cast<std::size_t>(-1) && error != E2BIG) {
                return error;
            }
        }
        return 0;
    }

private:
    iconv_t handle_;
};

std::string CharsetName(std::uint32_t codePage) {
    return "CP" + std::to_string(codePage);
}

bool IsAscii(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool IsUndefinedIn1252(unsigned char byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// Length of the UTF-8 sequence that starts with lead (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

} // namespace

std::optional<std::string> AnsiToUtf8(const std::string& text, std::uint32_t codePage) {
    if (IsAscii(text)) {
        return text;
    }
    Converter converter("UTF-8", CharsetName(codePage));
    if (!converter.IsValid()) {
        SetLastError(err::InvalidName);
        return std::nullopt;
    }
    std::string out;
    const char* in = text.data();
    std::size_t inLeft = text.size();
    while (converter.Convert(in, inLeft, out) != 0) {
        const auto byte = static_cast<unsigned char>(*in);
        if (codePage != 1252 || !IsUndefinedIn1252(byte)) {
            SetLastError(err::InvalidName);
            return std::nullopt;
        }
        out += static_cast<char>(0xC2);
        out += static_cast<char>(byte);
        ++in;
        --inLeft;
    }
    return out;
}

std::string Utf8ToAnsi(const std::string& text, std::uint32_t codePage) {
    if (IsAscii(text)) {
        return text;
    }
    Converter converter(CharsetName(codePage), "UTF-8");
    std::string out;
    const char* in = text.data();
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        if (converter.IsValid() && converter.Convert(in, inLeft, out) == 0) {
            break;
        }
        const auto lead = static_cast<unsigned char>(in[0]);
        if (codePage == 1252 && lead == 0xC2 && inLeft >= 2 &&
            IsUndefinedIn1252(static_cast<unsigned char>(in[1]))) {
            out += in[1];
            in += 2;
            inLeft -= 2;
            continue;
        }
        if (lead < 0x80) { // the converter is missing: ASCII passes unchanged
            out += static_cast<char>(lead);
            ++in;
            --inLeft;
            continue;
        }
        out += '?';
        const std::size_t skip = std::min(SequenceLength(lead), inLeft);
        in += skip;
        inLeft -= skip;
    }
    return out;
}

} // namespace kq::standin
