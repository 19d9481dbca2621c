// The stand-in's named mutex across processes: another process is refused while one holds the
// name, and the name comes free however the holder ends, killed included, even when it started
// a program that outlives it.

#include "platform/named_mutex.h"
#include "test/standin_root.h"

#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kq {
namespace {

constexpr const char* kName = "Local\\KavoruQyn.Test";

// A child process that asks for the name and tells whether it holds it; it then waits to be
// killed when told to stay, and ends otherwise.
class Child {
public:
    explicit Child(bool stay) {
        int ends[2];
        EXPECT_EQ(::pipe(ends), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ends[0]);
            const NamedMutex mutex(kName);
            const char held = mutex.Held() ? 'h' : 'r';
            (void)!::write(ends[1], &held, 1);
            while (stay) {
                ::pause();
            }
            ::_exit(0);
        }
        ::close(ends[1]);
        char held = '?';
        EXPECT_EQ(::read(ends[0], &held, 1), 1);
        ::close(ends[0]);
        held_ = held == 'h';
    }
    ~Child() { Kill(); }

    bool Held() const { return held_; }
    void Kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    bool held_ = false;
};

TEST(NamedMutexStandIn, AnotherProcessIsRefusedWhileOneHoldsTheName) {
    const test::StandInRoot root;
    auto mine = std::make_unique<NamedMutex>(kName);
    ASSERT_TRUE(mine->Held());
    EXPECT_FALSE(Child(false).Held());
    mine.reset();
    EXPECT_TRUE(Child(false).Held()) << "free once this process let it go";
}

TEST(NamedMutexStandIn, AKilledHolderFreesTheName) {
    const test::StandInRoot root;
    Child holder(true);
    ASSERT_TRUE(holder.Held());
    EXPECT_FALSE(NamedMutex(kName).Held());
    holder.Kill();
    EXPECT_TRUE(NamedMutex(kName).Held());
}

// The wizard's Finish starts the installed program and ends: the program must not keep Setup's
// name, or no Setup could run while the product does.
TEST(NamedMutexStandIn, AProgramTheHolderStartedDoesNotKeepTheName) {
    const test::StandInRoot root;
    auto mine = std::make_unique<NamedMutex>(kName);
    ASSERT_TRUE(mine->Held());
    pid_t program = 0;
    char sleep[] = "sleep";
    char seconds[] = "30";
    char* argv[] = {sleep, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&program, "sleep", nullptr, nullptr, argv, environ), 0);
    mine.reset();
    EXPECT_TRUE(NamedMutex(kName).Held());
    ::kill(program, SIGKILL);
    ::waitpid(program, nullptr, 0);
}

} // namespace
} // namespace kq
