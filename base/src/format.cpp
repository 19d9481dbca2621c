#include "base/format.h"

#include "base/exceptions.h"

namespace kq {

namespace {

// No message of the program needs a field wider than this; a larger width or precision in an
// edited translation would only make Format allocate without bound.
constexpr int kMaxFieldWidth = 4096;

[[noreturn]] void InvalidFormat(std::string_view fmt) {
    throw EConvertError("Format '" + AnsiString(fmt) + "' invalid or incompatible with argument");
}

struct FieldFormat {
    bool leftJustify = false;
    int width = 0;
    int precision = -1; // -1: none given
    char conversion = 0;
};

class FormatParser {
public:
    FormatParser(std::string_view fmt, std::span<const FormatArg> args) : fmt_(fmt), args_(args) {}

    AnsiString Run() {
        AnsiString out;
        while (pos_ < fmt_.size()) {
            const char c = fmt_[pos_++];
            if (c != '%') {
                out += c;
            } else if (pos_ < fmt_.size() && fmt_[pos_] == '%') {
                out += fmt_[pos_++];
            } else {
                out += FormatField(ParseField());
            }
        }
        return out;
    }

private:
    // Reads a run of decimal digits; -1 when there is none.
    int ReadNumber() {
        if (pos_ >= fmt_.size() || fmt_[pos_] < '0' || fmt_[pos_] > '9') {
            return -1;
        }
        int value = 0;
        while (pos_ < fmt_.size() && fmt_[pos_] >= '0' && fmt_[pos_] <= '9') {
            value = value * 10 + (fmt_[pos_++] - '0');
            if (value > kMaxFieldWidth) {
                InvalidFormat(fmt_);
            }
        }
        return value;
    }

    FieldFormat ParseField() {
        FieldFormat field;
        const std::size_t start = pos_;
        const int index = ReadNumber();
        if (index >= 0 && pos_ < fmt_.size() && fmt_[pos_] == ':') {
            ++pos_;
            nextArg_ = static_cast<std::size_t>(index);
        } else {
            pos_ = start; // those digits were the width
        }
        if (pos_ < fmt_.size() && fmt_[pos_] == '-') {
            field.leftJustify = true;
            ++pos_;
        }
        field.width = ReadNumber();
        if (pos_ < fmt_.size() && fmt_[pos_] == '.') {
            ++pos_;
            field.precision = ReadNumber();
            if (field.precision < 0) {
                InvalidFormat(fmt_);
            }
        }
        if (pos_ >= fmt_.size()) {
            InvalidFormat(fmt_);
        }
        field.conversion = FoldConversion(fmt_[pos_++]);
        return field;
    }

    static char FoldConversion(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

    const FormatArg& NextArg() {
        if (nextArg_ >= args_.size()) {
            InvalidFormat(fmt_);
        }
        return args_[nextArg_++];
    }

    AnsiString FormatField(const FieldFormat& field) {
        AnsiString text;
        switch (field.conversion) {
        case 's':
            text = StringField(NextArg(), field.precision);
            break;
        case 'd':
        case 'u':
        case 'x':
            text = NumberField(NextArg(), field.conversion, field.precision);
            break;
        default:
            InvalidFormat(fmt_);
        }
        const std::size_t width = field.width < 0 ? 0 : static_cast<std::size_t>(field.width);
        if (text.size() < width) {
            const AnsiString padding(width - text.size(), ' ');
            text = field.leftJustify ? text + padding : padding + text;
        }
        return text;
    }

    AnsiString StringField(const FormatArg& arg, int precision) {
        if (!arg.IsString()) {
            InvalidFormat(fmt_);
        }
        if (precision >= 0 && arg.Text().size() > static_cast<std::size_t>(precision)) {
            return arg.Text().substr(0, static_cast<std::size_t>(precision));
        }
        return arg.Text();
    }

    AnsiString NumberField(const FormatArg& arg, char conversion, int precision) {
        if (arg.IsString()) {
            InvalidFormat(fmt_);
        }
        bool negative = false;
        std::uint64_t magnitude = arg.Bits();
        if (conversion == 'd') {
            negative = arg.IsSigned() && static_cast<std::int64_t>(magnitude) < 0;
            if (negative) {
                magnitude = 0 - magnitude;
            }
        } else if (!arg.IsWide()) {
            magnitude &= 0xFFFFFFFFu; // a narrow argument shows its own 32 bits
        }
        AnsiString digits = Digits(magnitude, conversion == 'x' ? 16 : 10);
        if (precision >= 0 && digits.size() < static_cast<std::size_t>(precision)) {
            digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
        }
        return negative ? "-" + digits : digits;
    }

    static AnsiString Digits(std::uint64_t value, unsigned base) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        AnsiString reversed;
        do {
            reversed += kDigits[value % base];
            value /= base;
        } while (value != 0);
        return AnsiString(reversed.rbegin(), reversed.rend());
    }

    std::string_view fmt_;
    std::span<const FormatArg> args_;
    std::size_t pos_ = 0;
    std::size_t nextArg_ = 0;
};

} // namespace

AnsiString Format(std::string_view fmt, std::span<const FormatArg> args) {
    return FormatParser(fmt, args).Run();
}

} // namespace kq
