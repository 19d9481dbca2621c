// zipx: the extraction engine from the command line.
//
//   zipx l ARCHIVE
//   zipx t [-p PASSWORD] ARCHIVE
//   zipx x [-p PASSWORD] [-o prompt|always|never|newer|older] [-v] ARCHIVE DEST [PATTERN...]
//
// l lists the catalogue in the engine's order, one entry a line: method, compressed size,
// uncompressed size, CRC-32, DOS date-time, external attributes and the stored path. t decodes
// every entry without writing anything and prints each entry's verdict. x extracts into DEST,
// recreating the entries' folders, every entry or those matching a PATTERN; -v prints every
// event of the engine with its arguments, separated by tabs.
//
// Exit code: 0 when every entry was extracted (or tested) good, 1 when some entry was skipped or
// failed, 2 for a usage error, 3 when the archive itself raised an error.
#include "base/exceptions.h"
#include "base/string_list.h"
#include "host_path.h"
#include "platform/dialogs.h"
#include "unzip/zip_extractor.h"

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace kq::zipx {
namespace {

constexpr int kAllGood = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;
constexpr int kArchiveError = 3;

const char* const kUsage =
    "usage: zipx l ARCHIVE\n"
    "       zipx t [-p PASSWORD] ARCHIVE\n"
    "       zipx x [-p PASSWORD] [-o prompt|always|never|newer|older] [-v] ARCHIVE DEST "
    "[PATTERN...]\n";

struct Options {
    char command = 0;
    std::string password;
    TUZOverwriteMode overwrite = TUZOverwriteMode::Always;
    bool verbose = false;
    std::vector<std::string> operands;
};

std::optional<TUZOverwriteMode> OverwriteModeNamed(const std::string& name) {
    if (name == "prompt") {
        return TUZOverwriteMode::Prompt;
    }
    if (name == "always") {
        return TUZOverwriteMode::Always;
    }
    if (name == "never") {
        return TUZOverwriteMode::Never;
    }
    if (name == "newer") {
        return TUZOverwriteMode::ifNewer;
    }
    if (name == "older") {
        return TUZOverwriteMode::ifOlder;
    }
    return std::nullopt;
}

std::optional<Options> ParseArguments(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]).size() != 1) {
        return std::nullopt;
    }
    Options options;
    options.command = argv[1][0];
    if (options.command != 'l' && options.command != 't' && options.command != 'x') {
        return std::nullopt;
    }
    int i = 2;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        const std::string option = argv[i];
        const bool takesValue = option == "-p" || option == "-o";
        if (takesValue && i + 1 >= argc) {
            return std::nullopt;
        }
        if (option == "-p" && options.command != 'l') {
            options.password = argv[++i];
        } else if (option == "-o" && options.command == 'x') {
            const std::optional<TUZOverwriteMode> mode = OverwriteModeNamed(argv[++i]);
            if (!mode) {
                return std::nullopt;
            }
            options.overwrite = *mode;
        } else if (option == "-v" && options.command == 'x') {
            options.verbose = true;
        } else if (option == "--") {
            ++i;
            break;
        } else {
            return std::nullopt;
        }
    }
    options.operands.assign(argv + i, argv + argc);
    const size_t wanted = options.command == 'x' ? 2 : 1;
    const bool fits = options.command == 'x' ? options.operands.size() >= wanted
                                             : options.operands.size() == wanted;
    if (!fits) {
        return std::nullopt;
    }
    return options;
}

// A stored name as printed: control bytes (a line break would split the line) as \xNN.
std::string Printable(const std::string& name) {
    std::string text;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            text += escaped;
        } else {
            text += c;
        }
    }
    return text;
}

std::string Hex8(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

std::string DosDateTimeText(std::uint32_t value) {
    const unsigned date = value >> 16;
    const unsigned time = value & 0xFFFF;
    char text[20];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", (date >> 9) + 1980,
                  (date >> 5) & 0x0F, date & 0x1F, time >> 11, (time >> 5) & 0x3F,
                  (time & 0x1F) * 2);
    return text;
}

const char* SkipReasonName(TSkipReason reason) {
    switch (reason) {
    case TSkipReason::srBadPassword:
        return "srBadPassword";
    case TSkipReason::srNoOverwrite:
        return "srNoOverwrite";
    case TSkipReason::srFileOpenError:
        return "srFileOpenError";
    case TSkipReason::srCreateError:
        return "srCreateError";
    }
    return "?";
}

// The engine's message boxes are answered on the console: the question is printed and a line
// starting with y or Y answers Yes (OK for an OK/Cancel box); anything else, or the end of the
// input, answers No (Cancel). A box with one OK button is only printed.
void AnswerMessageBoxesOnTheConsole() {
    SetMessageBoxResponder(
        [](const std::string& text, const std::string& caption, std::uint32_t flags) {
            const std::uint32_t buttons = flags & mb::TypeMask;
            std::cerr << caption << ": " << text << (buttons == mb::Ok ? "\n" : " [y/n] ");
            if (buttons == mb::Ok) {
                return id::Ok;
            }
            std::string answer;
            const bool yes = std::getline(std::cin, answer) && !answer.empty() &&
                             (answer[0] == 'y' || answer[0] == 'Y');
            if (buttons == mb::OkCancel) {
                return yes ? id::Ok : id::Cancel;
            }
            return yes ? id::Yes : id::No;
        });
}

// --- l
// ---------------------------------------------------------------------------------------------

int List(const Options& options) {
    TZipExtractor zip(nullptr);
    zip.SetZipName(EnginePath(options.operands[0]));
    zip.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
    zip.OpenAndRefreshCatalogue();
    for (int i = 0; i < zip.Count(); ++i) {
        const TZipHeaderInfo& entry = zip.Entry(i);
        std::cout << entry.CompressionMethod() << '\t' << entry.CompressedSize() << '\t'
                  << entry.UncompressedSize() << '\t' << Hex8(entry.CRC32()) << '\t'
                  << DosDateTimeText(entry.DateTime()) << '\t' << Hex8(entry.ExternalAttributes())
                  << '\t' << Printable(zip.Pathname(i) + zip.Filename(i)) << '\n';
    }
    zip.CloseArchive();
    return kAllGood;
}

// --- t and x -----------------------------------------------------------------------------------

// Counts what a run reports, prints the failures and, when asked, every event.
class RunReport {
public:
    RunReport(TZipExtractor& zip, bool verbose, bool testing)
        : zip_(zip), verbose_(verbose), testing_(testing) {
        Attach();
    }

    int Files() const { return files_; }
    int Failures() const { return failures_; }

private:
    void Attach() {
        zip_.OnStartUnZipInfo = [this](TObject*, int files, std::int64_t bytes, bool&) {
            files_ = files;
            Event("OnStartUnZipInfo", {std::to_string(files), std::to_string(bytes)});
        };
        zip_.OnStartUnZip = [this](TObject*, int index, AnsiString& name, bool&) {
            Event("OnStartUnZip", {std::to_string(index), name});
        };
        zip_.OnEndUnZip = [this](TObject*, int index, const AnsiString& name) {
            Event("OnEndUnZip", {std::to_string(index), name});
            if (testing_) {
                std::cout << "ok\t" << Printable(name) << '\n';
            }
        };
        zip_.OnSkippingFile = [this](TObject*, TSkipReason reason, const AnsiString& name,
                                     int index, bool& retry) {
            retry = false;
            ++failures_;
            Event("OnSkippingFile", {SkipReasonName(reason), name, std::to_string(index), "0"});
            Failure(SkipReasonName(reason), name);
        };
        zip_.OnBadCRC = [this](TObject*, std::uint32_t calc, std::uint32_t stored, int index) {
            ++failures_;
            Event("OnBadCRC", {Hex8(calc), Hex8(stored), std::to_string(index)});
            Failure("crc " + Hex8(calc) + " != " + Hex8(stored),
                    zip_.Pathname(index) + zip_.Filename(index));
        };
        zip_.OnUnZipComplete = [this](TObject*, int count) {
            Event("OnUnZipComplete", {std::to_string(count)});
        };
        if (!verbose_) {
            return;
        }
        zip_.OnFilePercentDone = [this](TObject*, int percent) {
            Event("OnFilePercentDone", {std::to_string(percent)});
        };
        zip_.OnTotalPercentDone = [this](TObject*, int percent) {
            Event("OnTotalPercentDone", {std::to_string(percent)});
        };
    }

    void Event(const char* name, std::initializer_list<std::string> arguments) const {
        if (!verbose_) {
            return;
        }
        std::cout << name;
        for (const std::string& argument : arguments) {
            std::cout << '\t' << Printable(argument);
        }
        std::cout << '\n';
    }

    // A verdict line of t on standard output; a problem of x on the error output.
    void Failure(const std::string& what, const std::string& name) const {
        (testing_ ? std::cout : std::cerr) << what << '\t' << Printable(name) << '\n';
    }

    TZipExtractor& zip_;
    const bool verbose_;
    const bool testing_;
    int files_ = 0;
    int failures_ = 0;
};

int Extract(const Options& options) {
    const bool testing = options.command == 't';
    TZipExtractor zip(nullptr);
    zip.SetZipName(EnginePath(options.operands[0]));
    // Like other extractors, read an archive whose offsets do not count data in front of it (a
    // self-extractor's program) from its local headers.
    zip.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
    zip.SetPassword(options.password);
    zip.SetRecreateDirs(true);
    zip.SetOverwriteMode(options.overwrite);
    zip.SetDoProcessMessages(false);
    RunReport report(zip, options.verbose, testing);
    int good = 0;
    if (testing) {
        zip.SetDoAll(true);
        good = zip.Test();
    } else {
        zip.SetDestDir(EnginePath(options.operands[1]));
        TStringList patterns;
        for (size_t i = 2; i < options.operands.size(); ++i) {
            patterns.Add(options.operands[i]);
        }
        zip.SetDoAll(patterns.Count() == 0);
        zip.SetFilesList(&patterns);
        good = zip.UnZip();
    }
    std::cerr << (testing ? "tested " : "extracted ") << good << " of " << report.Files()
              << " files good\n";
    return good == report.Files() && report.Failures() == 0 ? kAllGood : kSomeFailed;
}

} // namespace
} // namespace kq::zipx

int main(int argc, char** argv) {
    using namespace kq::zipx;
    const std::optional<Options> options = ParseArguments(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return kUsageError;
    }
    AnswerMessageBoxesOnTheConsole();
    SettleHostSettings();
    try {
        return options->command == 'l' ? List(*options) : Extract(*options);
    } catch (const kq::Exception& e) {
        std::cerr << "zipx: " << e.Message() << '\n';
    } catch (const std::exception& e) {
        std::cerr << "zipx: " << e.what() << '\n';
    }
    return kArchiveError;
}
