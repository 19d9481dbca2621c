// The stand-in's fault injector (see standin.h): one table of kinds with the error each fails
// with, and one counter that every call point passes through.

#include "platform/errors.h"
#include "platform/standin_faults.h"
#include "standin_internal.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace kq {

namespace {

struct KindRow {
    const char* name;
    std::uint32_t error; // what Windows reports when such a call fails for real
};

// Indexed by FaultKind. A file or profile held open by another program (a virus scanner, an
// editor, the installed program itself) refuses sharing and replacing; a full disk fails a write,
// and the delayed write of cached data fails the close; a protected file, folder or key refuses the
// rest.
constexpr KindRow kKinds[kFaultKinds] = {
    {"create", err::SharingViolation},
    {"write", err::DiskFull},
    {"close", err::DiskFull},
    {"set time", err::AccessDenied},
    {"set attributes", err::AccessDenied},
    {"make folder", err::AccessDenied},
    {"registry write", err::AccessDenied},
    {"shortcut save", err::AccessDenied},
    {"profile write", err::SharingViolation},
    {"move", err::SharingViolation},
};

bool armed = false;
FaultKind armedKind = FaultKind::Create;
int armedCall = 0;
bool fired = false;
int calls[kFaultKinds] = {};
// ArmKill's call, counted over every kind; 0: none.
int killAt = 0;
int callsOfAnyKind = 0;
// Armed by the variable KQ_FAULT ("write:3"), for programs tested from the outside: the failure
// is then told on the standard error, so that the test knows it happened.
bool fromEnvironment = false;

// Arms the fault KQ_FAULT names, if any, as the program starts.
[[maybe_unused]] const bool environmentRead = [] {
    const char* value = std::getenv("KQ_FAULT");
    if (value == nullptr) {
        return false;
    }
    const std::string text = value;
    const std::string::size_type colon = text.rfind(':');
    for (int k = 0; k < kFaultKinds && colon != std::string::npos; ++k) {
        if (text.compare(0, colon, kKinds[k].name) == 0) {
            ArmFault(static_cast<FaultKind>(k), std::atoi(text.c_str() + colon + 1));
            fromEnvironment = true;
        }
    }
    return true;
}();

} // namespace

void ArmFault(FaultKind kind, int call) {
    armed = true;
    armedKind = kind;
    armedCall = call;
    fired = false;
    killAt = 0;
    callsOfAnyKind = 0;
    for (int& count : calls) {
        count = 0;
    }
}

void ArmKill(int call) {
    ArmFault(FaultKind::Create, 0);
    killAt = call;
}

void DisarmFaults() {
    armed = false;
}

int FaultCalls(FaultKind kind) {
    return calls[static_cast<int>(kind)];
}

bool FaultFired() {
    return fired;
}

const char* FaultKindName(FaultKind kind) {
    return kKinds[static_cast<int>(kind)].name;
}

namespace standin {

bool FaultsArmed() {
    return armed;
}

bool FaultInjected(FaultKind kind) {
    if (!armed) {
        return false;
    }
    const int call = ++calls[static_cast<int>(kind)];
    if (++callsOfAnyKind == killAt) {
        // As the task manager ends it: nothing unwinds, no handler runs.
        ::kill(::getpid(), SIGKILL);
    }
    if (kind != armedKind || call != armedCall) {
        return false;
    }
    fired = true;
    if (fromEnvironment) {
        std::fprintf(stderr, "KQ_FAULT: %s call %d failed\n", kKinds[static_cast<int>(kind)].name,
                     call);
    }
    SetLastError(kKinds[static_cast<int>(kind)].error);
    return true;
}

} // namespace standin

} // namespace kq
