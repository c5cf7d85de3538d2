#pragma once
// Shared helpers of the test suite: temporary application directories, the settings reset
// between tests, and the addresses of the real servers started by tests/servers.
#include <functional>
#include <optional>
#include <string>

namespace velmora::test {

// A fresh directory under the system temp dir, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

private:
    std::string path_;
};

// Resets InitSettings and the program hooks, points the program at a temporary application
// directory (log/ and conf/ created), and makes a failing system log throw instead of
// ending the test process.
class AppDirScope {
public:
    AppDirScope();
    ~AppDirScope();
    const std::string& appDir() const { return dir_.path(); }
    std::string LogText() const;   // the whole of today's system log ("" when none)

private:
    TempDir dir_;
};

// Thrown by the program hooks' terminate inside an AppDirScope.
struct ProgramEnded {
    int code;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

// A value of <state>/<server>.env written by tests/servers/<server>.sh ("" when missing).
std::string ServerValue(const std::string& server, const std::string& key);
int ServerPort(const std::string& server, const std::string& key = "PORT");

// How often `what` occurs in `text`.
int CountLines(const std::string& text, const std::string& what);

// A TCP socket listening on 127.0.0.1 at a port the kernel chose: the kernel completes every
// handshake, and nothing is ever read or written, so a client that waits for a reply waits.
// After Close() the port refuses connections.
class LoopbackListener {
public:
    explicit LoopbackListener(int backlog = 64);
    ~LoopbackListener() { Close(); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;
    void Close();
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// Runs `body` in a forked child inside a network namespace of its own, where only the
// loopback interface exists (up), and with `privateMounts` also in a mount namespace of its
// own, so the child may bind-mount files over system ones without anyone else seeing it.
// Returns what `body` returned, or nothing when the system allows no such namespace here.
std::optional<std::string> RunInLoopbackNamespace(const std::function<std::string()>& body,
                                                  bool privateMounts = false);

// The source and build trees.
std::string SourceDir();
std::string BinaryDir();

} // namespace velmora::test
