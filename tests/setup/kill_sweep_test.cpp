// Installations ended at once (SIGKILL, as the task manager ends a program) at moments spread
// over their I/O calls, on the stand-in: Setup /S on a product of 2,000 files of mixed sizes,
// three of them several MB. Each run starts where the last one was killed. After each kill every
// file the uninstall log names is whole with its stamp, and every file under its own name is
// whole: a file being written stands only under its partial name. The run after the last kill
// leaves what one uninterrupted run leaves, byte for byte: the folder and its times, the log,
// InstallPath, the shortcuts and the uninstall entry. So does a run after a single kill, from
// an empty machine, at a few moments.
#include "installation_fixture.h"
#include "platform/files.h"
#include "platform/standin_faults.h"
#include "setup/command_line.h"
#include "setup/silent_install.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace kq {
namespace {

using setup_test::kDest;
using setup_test::LocalStamp;
using setup_test::LogKeys;
using setup_test::ProductBytes;
using setup_test::ReadHostFile;
using setup_test::SourceFile;

namespace fs = std::filesystem;

// 2,000 files in 20 folders: the program, its uninstaller and manual, three of 3 MB and the rest
// up to 24 KB, some empty, some read-only.
std::vector<SourceFile> Product() {
    std::vector<SourceFile> files = {
        {"qynapp.exe", ProductBytes(60000, 3, true), {2024, 1, 2, 3, 4, 6}},
        {"UnInstall.exe", ProductBytes(9000, 4, false), {2024, 1, 2, 3, 4, 8}},
        {"Qyn.doc", ProductBytes(5000, 5, false), {2024, 1, 2, 3, 4, 10}},
    };
    for (int i = 0; files.size() < 2000; ++i) {
        const bool large = i == 400 || i == 1000 || i == 1700;
        const std::size_t size = large ? 3'000'000 : (i * 7919u) % 24000u;
        const LocalStamp stamp{2020 + i % 5, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 2 * (i % 30)};
        files.push_back({"part" + std::to_string(i % 20) + "/f" + std::to_string(i) + ".bin",
                         ProductBytes(size, 100 + i, (100 + i) % 3 == 0), stamp, i % 37 == 0});
    }
    return files;
}

// How many kills in a row: 60 in the test; with KQ_KILL_SWEEP=full (scripts/kill-sweep), a
// quarter as many as there are calls in a run, about four calls further each time.
int Moments(int calls) {
    const char* full = std::getenv("KQ_KILL_SWEEP");
    return full != nullptr && std::string(full) == "full" ? calls / 12 : 60;
}

class KillSweep : public setup_test::Installation {
protected:
    void SetUp() override {
        Installation::SetUp();
        product_ = Product();
        for (const SourceFile& file : product_) {
            byName_[file.name] = &file;
        }
        MakeArchive(product_);
    }
    void TearDown() override { DisarmFaults(); }

    static int Install() {
        TSetupOptions options;
        options.silent = true;
        options.hasFolder = true;
        options.folder = kDest;
        return RunSilentInstall(options);
    }

    // Setup /S in a process of its own, killed just before its call'th I/O call: true when it
    // was killed, false when it completed first.
    static bool InstallKilledAt(int call) {
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            ArmKill(call);
            ::_exit(Install());
        }
        int status = 0;
        EXPECT_EQ(::waitpid(child, &status, 0), child);
        if (WIFSIGNALED(status)) {
            EXPECT_EQ(WTERMSIG(status), SIGKILL);
            return true;
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        return false;
    }

    // What an installation leaves on the machine: every file below the stand-in's root but the
    // media and the sources, with its bytes, and for the installed files their time and
    // permissions (the log's time is the time of its last key).
    std::map<std::string, std::string> Machine() {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(root_)) {
            const std::string path = entry.path().string().substr(root_.size());
            if (!entry.is_regular_file() || path.rfind("/c/Media", 0) == 0 ||
                path.rfind("/source", 0) == 0) {
                continue;
            }
            std::string& seen = files[path] = ReadHostFile(entry.path().string());
            if (path.rfind("/d/", 0) == 0 && entry.path().filename() != "Uninstall.log") {
                struct stat status {};
                ::stat(entry.path().c_str(), &status);
                seen += "|" + std::to_string(status.st_mtime) + "|" +
                        std::to_string(status.st_mode & 0777);
            }
        }
        return files;
    }

    // The machine as one uninterrupted run left it, each difference named.
    void ExpectMachine(const std::map<std::string, std::string>& clean, const std::string& when) {
        const std::map<std::string, std::string> now = Machine();
        for (const auto& [path, seen] : clean) {
            const auto found = now.find(path);
            EXPECT_TRUE(found != now.end()) << when << ": " << path << " is missing";
            if (found != now.end() && found->second != seen) {
                ADD_FAILURE() << when << ": " << path << " differs"
                              << (seen.size() < 2000 ? ":\n" + found->second + "\nwanted\n" + seen
                                                     : std::string());
            }
        }
        for (const auto& [path, seen] : now) {
            EXPECT_TRUE(clean.count(path) != 0) << when << ": " << path << " is new";
        }
    }

    // After a kill: the logged files are whole with their stamps, every file under its own name
    // is whole, and at most one partial file stands. Returns the number of files logged.
    int ExpectNothingHalfWritten(int call) {
        SCOPED_TRACE("killed at call " + std::to_string(call));
        int partial = 0;
        const std::string log = Host(std::string(kDest) + "Uninstall.log");
        std::map<std::string, std::string> logged =
            fs::exists(log) ? LogKeys(ReadHostFile(log)) : std::map<std::string, std::string>();
        const std::string folder = Host(kDest);
        if (!fs::exists(folder)) {
            return 0; // killed before the first folder was made
        }
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (!entry.is_regular_file()) {
                continue;
            }
            const std::string name = entry.path().lexically_relative(folder).generic_string();
            if (name == "Uninstall.log") {
                continue;
            }
            if (name.size() > 8 && name.compare(name.size() - 8, 8, ".partial") == 0) {
                ++partial;
                continue;
            }
            const auto source = byName_.find(name);
            if (source == byName_.end()) {
                ADD_FAILURE() << name << ": not a file of the product";
                continue;
            }
            // A file read whole after an earlier kill and not written since is whole still.
            struct stat status {};
            ::stat(entry.path().c_str(), &status);
            const Identity identity{status.st_ino, status.st_mtime, status.st_size};
            if (verified_[name] == identity) {
                continue;
            }
            EXPECT_TRUE(ReadHostFile(entry.path().string()) == source->second->bytes)
                << name << " stands half written under its own name";
            verified_[name] = identity;
        }
        EXPECT_LE(partial, 1);
        int named = 0;
        for (const auto& [key, stored] : logged) {
            if (key.empty() || key[0] == 'D') {
                continue;
            }
            ++named;
            std::string name = stored;
            std::replace(name.begin(), name.end(), '\\', '/');
            const auto source = byName_.find(name);
            if (source == byName_.end()) {
                ADD_FAILURE() << stored << ": logged, not a file of the product";
                continue;
            }
            EXPECT_TRUE(FileExists(kDest + stored)) << stored << " is logged but not there";
            EXPECT_EQ(logged["D" + key], std::to_string(source->second->stamp.Dos())) << stored;
            EXPECT_EQ(static_cast<std::int32_t>(GetFileDosDateTime(kDest + stored)),
                      source->second->stamp.Dos())
                << stored;
        }
        return named;
    }

    std::vector<SourceFile> product_;
    std::map<std::string, const SourceFile*> byName_;
    using Identity = std::tuple<ino_t, time_t, off_t>;
    std::map<std::string, Identity> verified_;
};

TEST_F(KillSweep, ARunAfterKillsLeavesWhatOneUninterruptedRunLeaves) {
    ArmKill(0); // counts the calls, kills nothing
    ASSERT_EQ(Install(), 0);
    int calls = 0;
    for (int kind = 0; kind < kFaultKinds; ++kind) {
        calls += FaultCalls(static_cast<FaultKind>(kind));
    }
    DisarmFaults();
    const std::map<std::string, std::string> clean = Machine();
    ASSERT_GT(calls, 2000);

    // One kill each from an empty machine, then a run to the end.
    for (const int tenth : {2, 7}) {
        Reset();
        const int call = calls * tenth / 10;
        ASSERT_TRUE(InstallKilledAt(call));
        ExpectNothingHalfWritten(call);
        ASSERT_EQ(Install(), 0);
        ExpectMachine(clean, "after one kill at call " + std::to_string(call));
    }

    // Kill after kill, each run going on from the last: the moments are spread over the calls
    // of a whole run, and a run that goes over what is done already makes fewer, so each kill
    // lands further on.
    Reset();
    // A run going over done files makes less than one call a file (a log key rewritten)
    // against six or seven for a file it writes: kills every calls / (3 x moments) calls land
    // about moments times before a run completes.
    const int step = std::max(1, calls / (3 * Moments(calls)));
    int killed = 0, logged = 0;
    for (int call = step;; call += step) {
        if (!InstallKilledAt(call)) {
            break;
        }
        ++killed;
        const int named = ExpectNothingHalfWritten(call);
        EXPECT_GE(named, logged) << "a kill lost log keys";
        logged = named;
        if (HasFailure()) {
            break;
        }
    }
    EXPECT_GE(killed, std::min(50, Moments(calls)));
    ASSERT_EQ(Install(), 0);
    ExpectMachine(clean, "after " + std::to_string(killed) + " kills in a row");
    std::printf("%d calls in one run; %d kills in a row, then a run to the end: equal\n", calls,
                killed);
}

} // namespace
} // namespace kq
