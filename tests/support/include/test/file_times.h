// Test support: a file's modification time through the system's own calls, to check the
// platform layer against something other than itself; and whether the Windows build runs under
// Wine.
#pragma once

#include <ctime>
#include <string>

namespace kq::test {

struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};

// Sets and reads a file's modification time (path in Windows form) as local time.
bool SetLocalModificationTime(const std::string& path, const LocalTime& time);
bool GetLocalModificationTime(const std::string& path, LocalTime& time);

#ifndef _WIN32
// The host's time of a local time (milliseconds aside), and a host file's modification time set
// to it.
std::time_t HostTime(const LocalTime& time);
bool SetHostModificationTime(const std::string& hostPath, const LocalTime& time);
#endif

// True when the Windows build runs under Wine, which differs from Windows in a few checks: it
// reports every regular file as archive, replaces hidden files, sets times through read-only
// handles and, run by root, lets writers open read-only files. Those checks are skipped there.
bool RunningUnderWine();

} // namespace kq::test
