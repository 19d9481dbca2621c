#include "setup/command_line.h"

#include <cstddef>

namespace kq {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Whether text starts with prefix, comparing ASCII letters without regard to case.
bool StartsWithSwitch(const AnsiString& text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

// Where the arguments start: after the program's path, which the system quotes when it holds
// blanks, and the blanks after it.
std::size_t ArgumentsStart(const AnsiString& line) {
    std::size_t at = 0;
    bool quoted = false;
    while (at < line.size() && (quoted || !IsBlank(line[at]))) {
        if (line[at] == '"') {
            quoted = !quoted;
        }
        ++at;
    }
    return at;
}

// One switch from at, its quotes removed; at moves past it.
AnsiString NextToken(const AnsiString& line, std::size_t& at) {
    AnsiString token;
    bool quoted = false;
    for (; at < line.size() && (quoted || !IsBlank(line[at])); ++at) {
        if (line[at] == '"') {
            quoted = !quoted;
        } else {
            token += line[at];
        }
    }
    return token;
}

void NoteError(TSetupOptions& options, const AnsiString& error) {
    if (options.usageError.empty()) {
        options.usageError = error;
    }
}

} // namespace

TSetupOptions ParseSetupCommandLine(const AnsiString& commandLine) {
    TSetupOptions options;
    std::size_t at = ArgumentsStart(commandLine);
    while (true) {
        while (at < commandLine.size() && IsBlank(commandLine[at])) {
            ++at;
        }
        if (at == commandLine.size()) {
            break;
        }
        const AnsiString rest = commandLine.substr(at);
        if (StartsWithSwitch(rest, "/D=")) {
            AnsiString folder = rest.substr(3);
            while (!folder.empty() && IsBlank(folder.back())) {
                folder.pop_back();
            }
            if (folder.empty()) {
                NoteError(options, "The switch /D= needs a folder");
            }
            options.hasFolder = !folder.empty();
            options.folder = folder;
            break;
        }
        const AnsiString token = NextToken(commandLine, at);
        if (StartsWithSwitch(token, "/D=")) {
            // Quoted whole ("/D=C:\My Apps", as a shell quotes an argument with blanks): the
            // quotes are the shell's, not the folder's.
            options.hasFolder = token.size() > 3;
            options.folder = token.substr(3);
            if (!options.hasFolder) {
                NoteError(options, "The switch /D= needs a folder");
            }
        } else if (StartsWithSwitch(token, "/S") && token.size() == 2) {
            options.silent = true;
        } else if (StartsWithSwitch(token, "/LOG=")) {
            options.logFile = token.substr(5);
            if (options.logFile.empty()) {
                NoteError(options, "The switch /LOG= needs a file");
            }
        } else {
            NoteError(options, "Unknown switch: " + token);
        }
    }
    return options;
}

} // namespace kq
