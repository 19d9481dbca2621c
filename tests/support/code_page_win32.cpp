#include "platform/win32_api.h"
#include "test/code_page.h"

#include <stdexcept>

namespace kq::test {

std::string ToCodePage(std::u8string_view utf8, int codePage) {
    const auto* in = reinterpret_cast<const char*>(utf8.data());
    const int inLength = static_cast<int>(utf8.size());
    if (inLength == 0) {
        return {};
    }
    const int wideLength =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in, inLength, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in, inLength, wide.data(), wideLength);
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(static_cast<UINT>(codePage), 0, wide.data(), wideLength,
                                           nullptr, 0, nullptr, &lossy);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(static_cast<UINT>(codePage), 0, wide.data(), wideLength, out.data(), length,
                        nullptr, &lossy);
    if (wideLength == 0 || length == 0 || lossy) {
        throw std::runtime_error("cannot convert to code page " + std::to_string(codePage));
    }
    return out;
}

} // namespace kq::test
