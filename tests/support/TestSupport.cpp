#include "TestSupport.h"

#include "foundation/InitSettings.h"
#include "foundation/Program.h"
#include "foundation/SystemLog.h"

#include <cstdlib>
#include <cstring>
#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace velmora::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "velmora-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

AppDirScope::AppDirScope() {
    InitSettings() = TInitSettings{};
    Program() = ProgramHooks{};
    Program().terminate = [](int code) { throw ProgramEnded{code}; };
    InitSettings().AppDir = dir_.path();
    CheckLogDir();
    CheckConfDir();
    InitSettings().AlarmMsgFilenamePath = InitSettings().LogDir;
}

AppDirScope::~AppDirScope() {
    InitSettings() = TInitSettings{};
    Program() = ProgramHooks{};
}

std::string AppDirScope::LogText() const {
    const std::string path = SystemLogFileName();
    return fs::exists(path) ? ReadFile(path) : std::string();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

static std::string StateDir() {
    const char* s = std::getenv("VELMORA_TEST_STATE");
    return s ? s : "";
}

std::string ServerValue(const std::string& server, const std::string& key) {
    std::ifstream in(StateDir() + "/" + server + ".env");
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos && line.substr(0, eq) == key) {
            return line.substr(eq + 1);
        }
    }
    return {};
}

int ServerPort(const std::string& server, const std::string& key) {
    const std::string v = ServerValue(server, key);
    return v.empty() ? 0 : std::atoi(v.c_str());
}

std::string SourceDir() {
    const char* s = std::getenv("VELMORA_SOURCE_DIR");
    return s ? s : VELMORA_TEST_SOURCE_DIR;
}

std::string BinaryDir() {
    const char* s = std::getenv("VELMORA_BINARY_DIR");
    return s ? s : VELMORA_TEST_BINARY_DIR;
}

int CountLines(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) {
        ++n;
    }
    return n;
}

LoopbackListener::LoopbackListener(int backlog) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, backlog) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        Close();
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(a.sin_port);
}

void LoopbackListener::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::optional<std::string> RunInLoopbackNamespace(const std::function<std::string()>& body, bool privateMounts) {
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        ::close(fds[0]);
        std::string msg;
        bool ready = ::unshare(CLONE_NEWNET | (privateMounts ? CLONE_NEWNS : 0)) == 0;
        if (ready && privateMounts) {
            ready = ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        }
        if (ready) {
            const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
            ifreq ifr{};
            std::strcpy(ifr.ifr_name, "lo");
            ifr.ifr_flags = IFF_UP | IFF_LOOPBACK | IFF_RUNNING;
            ready = s >= 0 && ::ioctl(s, SIOCSIFFLAGS, &ifr) == 0;
            if (s >= 0) ::close(s);
        }
        if (ready) {
            try {
                msg = "+" + body();
            } catch (const std::exception& e) {
                msg = std::string("+exception: ") + e.what();
            }
        }
        (void)!::write(fds[1], msg.data(), msg.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string got;
    char buf[512];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0) got.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    if (got.empty() || got[0] != '+') return std::nullopt;
    return got.substr(1);
}

} // namespace velmora::test
