// The stand-in's processes. A host program is started with fork and exec; the child that execs
// is a grandchild, so that it is never left as a zombie of this process. It reports a failed
// exec through a pipe that the exec closes on success.

#include "platform/process.h"

#include "../shared/unhooked_calls.h"
#include "platform/standin.h"
#include "standin_internal.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kq {

namespace {

std::string& ModuleFileName() {
    static std::string path;
    return path;
}

bool SeparatesArguments(char c) {
    return c == ' ' || c == '\t';
}

// The arguments of a command line: blanks separate them, double quotes group, \" is a quote.
std::vector<std::string> SplitArguments(const std::string& commandLine) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        const char c = commandLine[i];
        if (c == '\\' && i + 1 < commandLine.size() && commandLine[i + 1] == '"') {
            current += '"';
            inArgument = true;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (SeparatesArguments(c) && !quoted) {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument) {
        arguments.push_back(std::move(current));
    }
    return arguments;
}

// The program a command line names: its first argument.
std::string ProgramOf(const ProcessRequest& request) {
    if (!request.applicationName.empty()) {
        return request.applicationName;
    }
    const std::vector<std::string> arguments = SplitArguments(request.commandLine);
    return arguments.empty() ? std::string() : arguments.front();
}

// True when hostProgram can be executed here; otherwise LastError says why not.
bool IsHostExecutable(const std::string& hostProgram) {
    struct stat status {};
    if (::stat(hostProgram.c_str(), &status) != 0) {
        standin::FailWithErrnoAt(errno, hostProgram);
        return false;
    }
    if (!S_ISREG(status.st_mode) || ::access(hostProgram.c_str(), X_OK) != 0) {
        SetLastError(err::BadExeFormat);
        return false;
    }
    return true;
}

bool ReadAll(int descriptor, void* buffer, std::size_t size) {
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(descriptor, bytes + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void WriteAll(int descriptor, const void* buffer, std::size_t size) {
    const auto* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t n = ::write(descriptor, bytes, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
}

// Runs in the grandchild: reports its process id, then either execs or reports the errno.
[[noreturn]] void ExecInChild(int report, const std::string& program,
                              const std::vector<std::string>& arguments,
                              const std::string& folder) {
    const pid_t self = ::getpid();
    WriteAll(report, &self, sizeof self);
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
        const int error = errno;
        WriteAll(report, &error, sizeof error);
        ::_exit(127);
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    const int error = errno;
    WriteAll(report, &error, sizeof error);
    ::_exit(127);
}

bool StartHostProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& folder, ProcessIds* ids) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        standin::FailWithErrno(errno);
        return false;
    }
    standin::OwnedDescriptor reader(ends[0]);
    standin::OwnedDescriptor writer(ends[1]);
    std::fflush(nullptr); // the children must not write this process's buffered output again
    const pid_t child = ::fork();
    if (child < 0) {
        standin::FailWithErrno(errno);
        return false;
    }
    if (child == 0) {
        reader.Reset();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ExecInChild(writer.Get(), program, arguments, folder);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    writer.Reset(); // the reads below end when the grandchild's copy closes too
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    pid_t started = 0;
    int error = 0;
    const bool forked = ReadAll(reader.Get(), &started, sizeof started);
    const bool failed = forked && ReadAll(reader.Get(), &error, sizeof error);
    if (!forked || failed) {
        standin::FailWithErrno(forked ? error : EAGAIN);
        return false;
    }
    if (ids != nullptr) {
        *ids = ProcessIds{static_cast<std::uint32_t>(started), 0};
    }
    return true;
}

} // namespace

bool native::StartProcess(const ProcessRequest& request, ProcessIds* ids) {
    const std::string program = ProgramOf(request);
    if (program.empty()) {
        SetLastError(err::FileNotFound);
        return false;
    }
    const std::optional<std::string> hostProgram = HostPath(program);
    if (!hostProgram || !IsHostExecutable(*hostProgram)) {
        return false;
    }
    // A relative name is this process's, not the new current folder's.
    char absolute[PATH_MAX];
    if (::realpath(hostProgram->c_str(), absolute) == nullptr) {
        standin::FailWithErrno(errno);
        return false;
    }
    std::string folder;
    if (!request.currentDirectory.empty()) {
        const std::optional<std::string> hostFolder = HostPath(request.currentDirectory);
        struct stat status {};
        if (!hostFolder || ::stat(hostFolder->c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
            SetLastError(err::NotADirectory); // what Windows answers for a bad current folder
            return false;
        }
        folder = *hostFolder;
    }
    std::vector<std::string> arguments = SplitArguments(request.commandLine);
    if (arguments.empty()) {
        arguments.push_back(program);
    }
    return StartHostProgram(absolute, arguments, folder, ids);
}

std::string GetModuleFileName() {
    return ModuleFileName().empty() ? std::string("C:\\Setup.exe") : ModuleFileName();
}

void SetModuleFileName(const std::string& path) {
    ModuleFileName() = path;
}

void native::EndProcess(std::uint32_t exitCode) {
    ::_exit(static_cast<int>(exitCode));
}

} // namespace kq
