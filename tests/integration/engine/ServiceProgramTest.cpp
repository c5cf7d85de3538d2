// The daemon as a process against the private MariaDB server: it starts, runs the due checks
// of its start-up tick, and on SIGTERM stores the results of the checks still running before
// it writes its closing lines.
#include "foundation/Clock.h"
#include "foundation/InitSettings.h"
#include "foundation/Program.h"
#include "store/ZUVOzedovUzivara.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

using namespace velmora;
using namespace std::chrono_literals;

namespace {

// Stands in for the service manager's notification socket: a datagram socket on a path,
// handed to the daemon as NOTIFY_SOCKET.
class NotifySocket {
public:
    explicit NotifySocket(const std::string& path) : path_(path) {
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        path.copy(a.sun_path, sizeof a.sun_path - 1);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    ~NotifySocket() { ::close(fd_); }
    const std::string& path() const { return path_; }
    // Every notice received so far, one per line.
    std::string Received() {
        char buf[4096];
        ssize_t n;
        while ((n = ::recv(fd_, buf, sizeof buf, 0)) > 0) {
            got_.append(buf, static_cast<std::size_t>(n)).append("\n");
        }
        return got_;
    }

private:
    std::string path_;
    std::string got_;
    int fd_;
};

std::size_t Find(const std::string& text, const std::string& what, std::size_t from = 0) {
    return text.find(what, from);
}

TEST(ServiceProgram, StoresTheRunningChecksOnSigtermAndLogsItsLifeInOrder) {
    ASSERT_GT(test::ServerPort("mariadb"), 0) << "the mariadb fixture did not start";
    test::AppDirScope scope;
    test::UseTestServer();
    ASSERT_TRUE(SaveSettings(ProgramVariant::Service));

    ZUVOzedovUzivara db;
    test::DropProgramDatabase();
    ASSERT_TRUE(db.OpenAtStart());
    test::LoopbackListener slow;  // never answers: a check that sends a command waits
    // Both are due every minute: the start-up tick runs them. The first passes at once; the
    // second waits 6 s for a reply that never comes and is still running at the stop.
    db.Execute("insert into service (service,ip,port,title,schedule_by,schedule_minute,status,"
               "no_of_cons_alarm,command,read_timeout) values "
               "(\"TCP\",\"127.0.0.1\"," +
               std::to_string(slow.port()) +
               ",\"quick\",\"Minutely\",\"01\",\"Start\",3,\"\",5000),"
               "(\"TCP\",\"127.0.0.1\"," +
               std::to_string(slow.port()) +
               ",\"slow\",\"Minutely\",\"01\",\"Start\",3,\"HELO\",6000)");

    const std::string exe = test::BinaryDir() + "/service/VelmoraProService";
    const std::string appEnv = "VELMORA_APP_DIR=" + scope.appDir();
    NotifySocket manager(scope.appDir() + "/notify.sock");
    std::vector<std::string> envs;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string v(*e);
        if (v.rfind("VELMORA_APP_DIR=", 0) != 0 && v.rfind("NOTIFY_SOCKET=", 0) != 0) {
            envs.push_back(v);
        }
    }
    envs.push_back(appEnv);
    envs.push_back("NOTIFY_SOCKET=" + manager.path());
    std::vector<char*> envp;
    for (auto& e : envs) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(exe.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, envp.data()), 0) << exe;
    posix_spawn_file_actions_destroy(&actions);

    auto count = [&] {
        return db.Query("select count(*) as n from access_history")[0].GetInt("n");
    };
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (count() < 1 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_EQ(count(), 1) << "the start-up tick stored no result";
    // Ready once started, and not stopping yet.
    EXPECT_EQ(manager.Received(), "READY=1\n");
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    int status = 0;
    const auto stopDeadline = std::chrono::steady_clock::now() + 30s;
    pid_t done = 0;
    while ((done = ::waitpid(pid, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < stopDeadline) {
        std::this_thread::sleep_for(50ms);
    }
    if (done == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        FAIL() << "the daemon did not stop";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(manager.Received(), "READY=1\nSTOPPING=1\n");

    // The slow check was still running at the stop; its result is stored all the same.
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(db.Query("select service_status from service where title=\"slow\"")[0].Get(
                  "service_status"),
              "Failed");
    const std::string log = scope.LogText();
    const auto starts = Find(log, "Application starts.");
    const auto winStops = Find(log, "Window Service Application stops.");
    const auto schedStops = Find(log, "Service scheduling stops.", winStops);
    const auto stops = Find(log, "Application stops.", schedStops);
    EXPECT_NE(starts, std::string::npos) << log;
    EXPECT_NE(Find(log, "Service scheduling starts."), std::string::npos) << log;
    EXPECT_NE(winStops, std::string::npos) << log;
    EXPECT_NE(schedStops, std::string::npos) << log;
    EXPECT_NE(stops, std::string::npos) << log;
    EXPECT_LT(starts, winStops);
}

} // namespace
