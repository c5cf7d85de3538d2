// engine_tick: one minute tick of the real engine with N TCP services, all due at once,
// against a TCP listener on 127.0.0.1 and a MariaDB server. Prints the time from the tick to
// the last stored result, results and database statements per second, the peak resident
// memory and the longest single completion handler.
//
//   engine_tick [--services N] [--concurrent C] [--queue Q] [--db-host H] [--db-port P]
//               [--db-user U] [--db-password W] [--relaxed-commit]
//
// Every result is two autocommitted statements, so with the server's default log flush the
// figure is bound by two disk flushes per result. --relaxed-commit sets the server's
// innodb_flush_log_at_trx_commit to 2 for the run (and back afterwards) to show the engine's
// own cost.
//
// Without --db-port the private test server of tests/servers/mariadb.sh is used (its
// mariadb.env under $VELMORA_TEST_STATE, else build/test-servers). The benchmark creates
// velmoradb if needed and replaces every row of `service` and the history tables: point it
// only at a scratch server.
#include "engine/MonitorEngine.h"

#include "foundation/Clock.h"
#include "foundation/InitSettings.h"
#include "foundation/Program.h"
#include "store/ZUVOzedovUzivara.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

using namespace velmora;

namespace {

// Accepts and closes connections until stopped.
class Listener {
public:
    Listener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::listen(fd_, 4096) != 0) {
            std::perror("listener");
            std::exit(1);
        }
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] {
            while (!stop_) {
                const int c = ::accept(fd_, nullptr, nullptr);
                if (c >= 0) {
                    ::close(c);
                }
            }
        });
    }
    ~Listener() {
        stop_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        thread_.join();
    }
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Counts the stored results.
class CountingView : public EngineView {
public:
    void EngineStarted() override {}
    void SchedulingChanged(bool, const std::string&) override {}
    void ServiceProcessing(long long) override {}
    void ShowCheckResult(long long, int, const std::string&, const std::string& status) override {
        ++stored;
        passed += status == "Passed";
    }
    void SetupResult(const CheckItem&) override {}
    void DeliveryQueued(long long, const std::string&, const std::string&, const std::string&,
                        const std::string&) override {}
    void DeliveryFinished(long long, const std::string&) override {}
    void OtherItemDone(WorkItem&) override {}
    void ShowError(const std::string& text) override { std::cerr << text << "\n"; }
    long long stored = 0, passed = 0;
};

std::string EnvValue(const std::string& file, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "";
}

} // namespace

int main(int argc, char** argv) {
    int services = 5000;
    int concurrent = 500;
    int queue = -1;
    std::string host = "127.0.0.1", user = "root", password;
    int port = 0;
    bool relaxed = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << a << " needs a value\n";
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--services")
            services = std::stoi(next());
        else if (a == "--concurrent")
            concurrent = std::stoi(next());
        else if (a == "--queue")
            queue = std::stoi(next());
        else if (a == "--db-host")
            host = next();
        else if (a == "--db-port")
            port = std::stoi(next());
        else if (a == "--db-user")
            user = next();
        else if (a == "--db-password")
            password = next();
        else if (a == "--relaxed-commit")
            relaxed = true;
        else {
            std::cerr << "usage: engine_tick [--services N] [--concurrent C] [--queue Q] "
                         "[--db-host H] [--db-port P] [--db-user U] [--db-password W] "
                         "[--relaxed-commit]\n";
            return 2;
        }
    }
    if (queue < 0) {
        queue = services; // every due service gets a place in the queue
    }
    if (port == 0) {
        const char* state = std::getenv("VELMORA_TEST_STATE");
        const std::string env = std::string(state ? state : "build/test-servers") + "/mariadb.env";
        const std::string p = EnvValue(env, "PORT");
        if (p.empty()) {
            std::cerr << "no database server: give --db-port or start tests/servers/mariadb.sh\n";
            return 2;
        }
        port = std::stoi(p);
    }

    QCoreApplication app(argc, argv);
    Program().variant = ProgramVariant::Service;
    char tmpl[] = "/tmp/engine_tick.XXXXXX";
    const std::string appDir = ::mkdtemp(tmpl);
    ::setenv("VELMORA_APP_DIR", appDir.c_str(), 1);
    TInitSettings& s = InitSettings();
    s.AppDir = appDir;
    if (!CheckConfDir() || !CheckLogDir()) {
        std::cerr << "cannot prepare " << appDir << "\n";
        return 1;
    }
    s.AlarmMsgFilenamePath = s.LogDir;
    s.Host = host;
    s.Port = std::to_string(port);
    s.DBUsername = user;
    s.DBPassword = password;
    s.NoConcurrentAlarm = concurrent;
    s.NoQueuingAlarm = queue;

    ZUVOzedovUzivara& db = Database();
    if (!db.OpenAtStart()) {
        std::cerr << "cannot open velmoradb on " << host << ":" << port << "\n";
        return 1;
    }
    Listener listener;
    std::string flushBefore;
    if (relaxed) {
        flushBefore = db.Query("select @@global.innodb_flush_log_at_trx_commit as f")[0].Get("f");
        db.Execute("set global innodb_flush_log_at_trx_commit=2");
    }
    db.Execute("delete from service");
    db.Execute("delete from access_history");
    db.Execute("delete from alarm_msg_history");
    db.Execute("delete from alarm_method");
    for (int done = 0; done < services;) {
        std::string sql = "insert into service (service,ip,port,title,schedule_by,schedule_minute,"
                          "status,no_of_cons_alarm,timeout) values ";
        for (int k = 0; k < 500 && done < services; ++k, ++done) {
            sql += (k ? "," : "") + std::string("(\"TCP\",\"127.0.0.1\",") +
                   std::to_string(listener.port()) + ",\"bench " + std::to_string(done) +
                   "\",\"Minutely\",\"01\",\"Start\",3,5000)";
        }
        db.Execute(sql);
    }

    // The engine as the service program runs it, with the tick's minute fixed.
    ManualClock clock(FromLocal(2026, 3, 16, 10, 0, 0));
    SetClock(&clock);
    MonitorEngine engine(db, EngineHooks{});
    CountingView view;
    engine.AttachView(&view);
    engine.Timer.stop(); // keep the gate out of the measurement
    engine.TimerHouseKeep.stop();
    engine.TimerInit.stop();

    const auto t0 = std::chrono::steady_clock::now();
    engine.TimerInitTimer(); // creates the pool, loads the methods, runs one tick
    const auto queued = std::chrono::steady_clock::now();
    while (view.stored < services) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        if (std::chrono::steady_clock::now() - t0 > std::chrono::minutes(10)) {
            std::cerr << "gave up after 10 minutes with " << view.stored << " results\n";
            break;
        }
    }
    const auto t1 = std::chrono::steady_clock::now();
    const double secs = std::chrono::duration<double>(t1 - t0).count();
    const long long statements = 2 * view.stored + 2; // tick query, methods, 2 per result
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    std::printf("services                %d\n", services);
    std::printf("commit flush            %s\n", relaxed ? "relaxed (2)" : "server default");
    std::printf("pool                    %d running, %d queued\n", concurrent, queue);
    std::printf("tick to queued          %.3f s\n",
                std::chrono::duration<double>(queued - t0).count());
    std::printf("tick to last result     %.3f s\n", secs);
    std::printf("results stored          %lld (%lld passed)\n", view.stored, view.passed);
    std::printf("results per second      %.0f\n", view.stored / secs);
    std::printf("statements per second   %.0f\n", statements / secs);
    std::printf("peak RSS                %.1f MB\n", ru.ru_maxrss / 1024.0);
    std::printf("longest handler         %.3f ms\n",
                engine.Pool()->LongestHandler().count() / 1000.0);
    engine.Shutdown(std::chrono::seconds(60));
    if (relaxed) {
        db.Execute("set global innodb_flush_log_at_trx_commit=" + flushBefore);
    }
    SetClock(nullptr);
    std::string rm = "rm -rf '" + appDir + "'";
    return std::system(rm.c_str()) == 0 && view.stored == services ? 0 : 1;
}
