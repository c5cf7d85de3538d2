// The programs' start-up checks, run as real processes on a temporary application directory.
#include "foundation/Clock.h"
#include "tests/support/TestSupport.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using velmora::test::ReadFile;
using velmora::test::TempDir;
using velmora::test::WriteFile;

namespace {

struct Child {
    pid_t pid = -1;
    std::string errPath;
};

Child Spawn(const std::string& exe, const std::vector<std::string>& extraEnv,
            const std::string& errPath) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        env.emplace_back(*e);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (auto& s : env) {
        envp.push_back(s.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    std::string path = exe;
    char* argv[] = {path.data(), nullptr};
    Child c;
    c.errPath = errPath;
    EXPECT_EQ(posix_spawn(&c.pid, exe.c_str(), &fa, nullptr, argv, envp.data()), 0);
    posix_spawn_file_actions_destroy(&fa);
    return c;
}

// Waits at most `limit` for the child; returns its exit status or -1 (then kills it).
int Wait(const Child& c, std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        int st = 0;
        if (waitpid(c.pid, &st, WNOHANG) == c.pid) {
            return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(c.pid, SIGKILL);
    waitpid(c.pid, nullptr, 0);
    return -1;
}

std::string TodaysLog(const std::string& app) {
    return ReadFile(app + "/log/system_" + velmora::FormatDate(velmora::Now()) + ".log");
}

bool WaitFor(const std::function<bool()>& cond) {
    for (int i = 0; i < 500; ++i) {
        if (cond()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

} // namespace

TEST(ServiceStartUp, ConfDirThatCannotBeCreatedEndsWithErr00204) {
    TempDir app;
    WriteFile(app / "conf", "a file where the directory should be");
    const Child c = Spawn(SERVICE_EXE, {"VELMORA_APP_DIR=" + app.path()}, app / "stderr");
    EXPECT_NE(Wait(c), 0);
    EXPECT_NE(TodaysLog(app.path()).find("[ERROR] ERR00204 : System init directory not found.\r\n"),
              std::string::npos);
}

TEST(ServiceStartUp, MissingDriverLibraryEndsWithErr00103) {
    TempDir app;
    const Child c = Spawn(SERVICE_EXE,
                          {"VELMORA_APP_DIR=" + app.path(), "VELMORA_DB_DRIVER=" + app / "none.so"},
                          app / "stderr");
    EXPECT_NE(Wait(c), 0);
    EXPECT_NE(TodaysLog(app.path()).find("[ERROR] ERR00103 : MySQL library not found.\r\n"),
              std::string::npos);
}

TEST(ConsoleStartUp, SecondInstanceIsRefusedWithoutALogLine) {
    TempDir app;
    const std::vector<std::string> env = {"VELMORA_APP_DIR=" + app.path(),
                                          "QT_QPA_PLATFORM=offscreen", "VELMORA_NO_DIALOGS=1"};
    const Child first = Spawn(CONSOLE_EXE, env, app / "first.err");
    // The first console holds the lock once its start-up checks are done.
    ASSERT_TRUE(WaitFor([&] {
        const int fd = ::open((app / "conf/VelmoraPro.lock").c_str(), O_RDONLY);
        if (fd < 0) {
            return false;
        }
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        ::close(fd);
        return locked;
    }));
    const Child second = Spawn(CONSOLE_EXE, env, app / "second.err");
    EXPECT_EQ(Wait(second), 1);
    EXPECT_NE(ReadFile(app / "second.err").find("ERR00001 : The application is already startup."),
              std::string::npos);
    EXPECT_EQ(TodaysLog(app.path()).find("ERR00001"), std::string::npos);

    kill(first.pid, SIGTERM);
    EXPECT_EQ(Wait(first), 0);
}
