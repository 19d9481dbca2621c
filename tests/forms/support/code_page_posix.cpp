#include "code_page.h"

#include <iconv.h>
#include <stdexcept>
#include <vector>

namespace kq::test {

std::string ToCodePage(std::u8string_view utf8, int codePage) {
    const std::string target = "CP" + std::to_string(codePage);
    iconv_t converter = iconv_open(target.c_str(), "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv cannot convert to " + target);
    std::string in(reinterpret_cast<const char*>(utf8.data()), utf8.size());
    std::vector<char> out(in.size() * 2 + 4);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1))
        throw std::runtime_error("iconv failed on " + in);
    return std::string(out.data(), out.size() - outLeft);
}

} // namespace kq::test
