#include "test/code_page.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace kq::test {

namespace {

// One iconv descriptor, closed however the conversion ends.
class Iconv {
public:
    Iconv(const std::string& to, const std::string& from)
        : handle_(::iconv_open(to.c_str(), from.c_str())) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("iconv cannot convert from " + from + " to " + to);
        }
    }
    ~Iconv() { ::iconv_close(handle_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // All of in, or std::runtime_error.
    std::string Convert(std::string in) {
        std::string out;
        char* next = in.data();
        std::size_t left = in.size();
        while (left > 0) {
            char buffer[256];
            char* put = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t result = ::iconv(handle_, &next, &left, &put, &room);
            const int error = errno;
            out.append(buffer, static_cast<std::size_t>(put - buffer));
            if (result == static_cast<std::size_t>(-1) && error != E2BIG) {
                throw std::runtime_error("iconv failed on " + in);
            }
        }
        return out;
    }

private:
    iconv_t handle_;
};

} // namespace

std::string ToCodePage(std::u8string_view utf8, int codePage) {
    Iconv converter("CP" + std::to_string(codePage), "UTF-8");
    return converter.Convert(std::string(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

} // namespace kq::test
