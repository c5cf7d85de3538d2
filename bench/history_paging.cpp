// history_paging: the history window paging through 100,000 successful runs (and as many
// alarm messages) on the offscreen platform against a MariaDB server. Prints the time of
// the first, a middle and the last page of both lists (statement, count and filling the
// list), every chart tab's load, and the slowest page of a walk through the whole access
// history with Next.
//
//   history_paging [--rows N] [--services S] [--walk] [--db-host H] [--db-port P]
//                  [--db-user U] [--db-password W]
//
// Without --db-port the private test server of tests/servers/mariadb.sh is used (its
// mariadb.env under $VELMORA_TEST_STATE, else build/test-servers). The benchmark creates
// velmoradb if needed and replaces every row of `service` and the history tables: point it
// only at a scratch server.
#include "console/Dialogs.h"
#include "console/TFormChartings.h"

#include "foundation/InitSettings.h"
#include "foundation/Program.h"
#include "store/ZUVOzedovUzivara.h"

#include <QApplication>
#include <QDateTime>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

using namespace velmora;
using Clock = std::chrono::steady_clock;

namespace {

std::string EnvValue(const std::string& file, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return {};
}

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

template <typename F>
double Timed(F&& f) {
    const auto t0 = Clock::now();
    f();
    return Ms(t0, Clock::now());
}

void Fill(ZUVOzedovUzivara& db, int rows, int services) {
    db.Execute("delete from access_history");
    db.Execute("delete from alarm_msg_history");
    db.Execute("delete from service");
    for (int s = 1; s <= services; ++s) {
        db.Execute("insert into service (id, service, ip, port, title) values (" + std::to_string(s) +
                   ",\"TCP\",\"host" + std::to_string(s) + ".example/status\"," + std::to_string(s % 3 ? 80 : 0) +
                   ",\"t\")");
    }
    const QDateTime newest(QDate(2008, 3, 10), QTime(0, 0), Qt::UTC);
    const int batch = 2000;
    for (int start = 0; start < rows; start += batch) {
        std::string access = "insert into access_history (access_datetime,service_id,response_time,service_status) values ";
        std::string alarms = "insert into alarm_msg_history (alarm_datetime,service_id,msg,service_status) values ";
        for (int i = start; i < std::min(rows, start + batch); ++i) {
            const std::string time = newest.addSecs(-60LL * i).toString("yyyy-MM-dd HH:mm:ss").toStdString();
            const std::string id = std::to_string(1 + i % services);
            const std::string sep = i == start ? "" : ",";
            access += sep + "(\"" + time + "\"," + id + "," + std::to_string(i % 997) + ",\"Passed\")";
            alarms += sep + "(\"" + time + "\"," + id + ",\"[host:80] ERR10001 : Connection refused.\",\"Failed\")";
        }
        db.Execute(access);
        db.Execute(alarms);
    }
}

} // namespace

int main(int argc, char** argv) {
    int rows = 100000;
    int services = 50;
    bool walk = false;
    std::string host = "127.0.0.1", user = "root", password;
    int port = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << a << " needs a value\n";
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--rows")
            rows = std::stoi(next());
        else if (a == "--services")
            services = std::max(1, std::stoi(next()));
        else if (a == "--walk")
            walk = true;
        else if (a == "--db-host")
            host = next();
        else if (a == "--db-port")
            port = std::stoi(next());
        else if (a == "--db-user")
            user = next();
        else if (a == "--db-password")
            password = next();
        else {
            std::cerr << "usage: history_paging [--rows N] [--services S] [--walk] [--db-host H] "
                         "[--db-port P] [--db-user U] [--db-password W]\n";
            return 2;
        }
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

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Program().variant = ProgramVariant::Console;
    dialogs::SetHeadless(true);
    char tmpl[] = "/tmp/history_paging.XXXXXX";
    const std::string appDir = ::mkdtemp(tmpl);
    TInitSettings& s = InitSettings();
    s.AppDir = appDir;
    if (!CheckConfDir() || !CheckLogDir()) {
        std::cerr << "cannot prepare " << appDir << "\n";
        return 1;
    }
    s.Host = host;
    s.Port = std::to_string(port);
    s.DBUsername = user;
    s.DBPassword = password;
    ZUVOzedovUzivara& db = Database();
    if (!db.OpenAtStart()) {
        std::cerr << "cannot open velmoradb on " << host << ":" << port << "\n";
        return 1;
    }
    const double fillMs = Timed([&] { Fill(db, rows, services); });
    std::printf("filled %d access and %d alarm rows over %d services in %.0f ms\n", rows, rows, services, fillMs);

    TFormChartings form(nullptr);
    form.show();
    QPushButton* next = form.findChild<QPushButton*>("TntButtonNext");
    bool failed = false;
    for (int tab : {history::kAccessHistory, history::kErrorHistory}) {
        // Every page of the list in turn, as the user's Next clicks load them.
        form.SetCurrentTab(tab);
        std::vector<double> times;
        bool ok = true;
        times.push_back(Timed([&] { ok = form.LoadCurrentTab(); }));
        form.SetNext();
        failed |= !ok;
        const int firstShown = form.List(tab)->topLevelItemCount();
        while (!failed && next->isEnabled() && (walk || times.size() < 3)) {
            times.push_back(Timed([&] { next->click(); }));
        }
        const double first = times.front();
        const double last = times.back();
        std::sort(times.begin(), times.end());
        std::printf("%-20s %zu pages (first %d rows, last page at row %lld): first %.1f ms, last %.1f ms, "
                    "median %.1f ms, slowest %.1f ms%s\n",
                    history::TabCaption(tab), times.size(), firstShown, form.Page(tab).offset + 1, first, last,
                    times[times.size() / 2], times.back(), ok ? "" : "  FAILED");
    }
    for (int tab = history::kHostAccessChart; tab < history::kTabCount; ++tab) {
        form.SetCurrentTab(tab);
        bool ok = true;
        const double ms = Timed([&] { ok = form.LoadCurrentTab(); });
        failed |= !ok;
        std::printf("%-20s %2lld bars  %7.1f ms%s\n", history::TabCaption(tab),
                    static_cast<long long>(form.ChartValues(tab).size()), ms, ok ? "" : "  FAILED");
    }
    return failed ? 1 : 0;
}
