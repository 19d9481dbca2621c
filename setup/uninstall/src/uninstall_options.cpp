#include "uninstall/uninstall_options.h"

namespace kq {

namespace {

// The next argument from at: blanks skipped, double quotes grouping (and dropped).
AnsiString NextArgument(const AnsiString& text, std::size_t& at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
    AnsiString argument;
    bool quoted = false;
    for (; at < text.size() && (quoted || (text[at] != ' ' && text[at] != '\t')); ++at) {
        if (text[at] == '"') {
            quoted = !quoted;
        } else {
            argument += text[at];
        }
    }
    return argument;
}

bool TakeValue(const AnsiString& argument, const char* prefix, AnsiString& value) {
    const std::size_t length = std::char_traits<char>::length(prefix);
    if (argument.size() <= length || !SameText(argument.substr(0, length), prefix)) {
        return false;
    }
    value = argument.substr(length);
    return true;
}

} // namespace

TUninstallOptions ParseUninstallCommandLine(const AnsiString& commandLine) {
    std::size_t at = 0;
    (void)NextArgument(commandLine, at);
    return ParseUninstallOptions(commandLine.substr(at));
}

TUninstallOptions ParseUninstallOptions(const AnsiString& arguments) {
    TUninstallOptions options;
    std::size_t at = 0;
    for (AnsiString argument = NextArgument(arguments, at); !argument.empty();
         argument = NextArgument(arguments, at)) {
        if (SameText(argument, "/S")) {
            options.silent = true;
        } else if (!TakeValue(argument, "/LOG=", options.logFile) &&
                   !TakeValue(argument, "/REMOVE=", options.removeOriginal)) {
            options.valid = false;
        }
    }
    return options;
}

} // namespace kq
