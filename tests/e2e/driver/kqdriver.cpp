// kqdriver: drives a KavoruQyn program from another process, the way a user would, for the
// end-to-end tests. Runs under Wine through scripts/wine-run.
//
//   kqdriver COMMAND [ARGS...] [COMMAND [ARGS...]]...
//
// Each command prints one line, "<command> <first argument>: <result>", on standard output; the
// first failure prints "kqdriver: <command> <first argument>: <reason>" on standard error and
// ends the driver with exit code 1 (2 for a mistake in the command list). The program under test
// is left as it is, so a screenshot taken afterwards shows the state that failed.
//
// Controls are named by their component name. Commands that look for something wait for it up
// to the current wait time (10 s; `timeout` changes it). Texts are ANSI bytes: arguments are
// used and results printed exactly as they come.
#include "commands.h"
#include "window_finder.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

namespace {

void PrintLine(const std::string& line, FILE* to) {
    std::fwrite(line.data(), 1, line.size(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

std::string Label(const std::string& command, const std::vector<std::string>& args) {
    return args.empty() ? command : command + " " + args.front();
}

} // namespace

int main(int argc, char** argv) {
    // Bytes out exactly as they are: no CR added before LF, no conversion of any kind.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    std::vector<std::string> words(argv + 1, argv + argc);
    std::vector<kqdriver::Invocation> script;
    try {
        script = kqdriver::ParseScript(words);
    } catch (const kqdriver::Failure& f) {
        PrintLine("kqdriver: " + f.Message(), stderr);
        PrintLine(kqdriver::Usage(), stderr);
        return 2;
    }

    kqdriver::Session session;
    for (const kqdriver::Invocation& step : script) {
        const std::string label = Label(step.command->name, step.args);
        try {
            PrintLine(label + ": " + step.command->run(session, step.args), stdout);
        } catch (const kqdriver::Failure& f) {
            PrintLine("kqdriver: " + label + ": " + f.Message(), stderr);
            return 1;
        }
    }
    return 0;
}
