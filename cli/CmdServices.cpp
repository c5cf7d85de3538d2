// velmoractl services [--json]: every service with the columns of the console's service list.
#include "Command.h"

#include "store/ServiceRecords.h"
#include "store/ZUVOzedovUzivara.h"

#include "foundation/InitSettings.h"
#include "foundation/Program.h"

#include <algorithm>
#include <cstdio>

namespace velmora::cli {

namespace {

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

// Display width of UTF-8 text (one column per character).
size_t Width(const std::string& s) {
    return static_cast<size_t>(std::count_if(s.begin(), s.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

void PrintTable(const std::vector<ServiceListEntry>& list) {
    const std::vector<std::string> head = {"Title", "Service", "IP", "Port", "Schedule", "Con Error",
                                           "Last Access", "Result"};
    std::vector<std::vector<std::string>> rows;
    for (const auto& e : list) {
        rows.push_back({e.title, e.service, e.ip, e.port, e.schedule, e.conError, e.lastAccess, e.result});
    }
    std::vector<size_t> width(head.size());
    for (size_t i = 0; i < head.size(); ++i) {
        width[i] = Width(head[i]);
        for (const auto& r : rows) {
            width[i] = std::max(width[i], Width(r[i]));
        }
    }
    auto print = [&](const std::vector<std::string>& r) {
        std::string line;
        for (size_t i = 0; i < r.size(); ++i) {
            line += r[i];
            if (i + 1 < r.size()) {
                line += std::string(width[i] - Width(r[i]) + 2, ' ');
            }
        }
        std::printf("%s\n", line.c_str());
    };
    print(head);
    for (const auto& r : rows) {
        print(r);
    }
}

void PrintJson(const std::vector<ServiceListEntry>& list) {
    std::printf("[");
    for (size_t i = 0; i < list.size(); ++i) {
        const auto& e = list[i];
        std::printf("%s\n  {\"id\": %lld, \"title\": %s, \"service\": %s, \"ip\": %s, \"port\": %s, "
                    "\"schedule\": %s, \"con_error\": %s, \"last_access\": %s, \"result\": %s, "
                    "\"status\": %s}",
                    i ? "," : "", e.id, JsonString(e.title).c_str(), JsonString(e.service).c_str(),
                    JsonString(e.ip).c_str(), JsonString(e.port).c_str(), JsonString(e.schedule).c_str(),
                    JsonString(e.conError).c_str(), JsonString(e.lastAccess).c_str(),
                    JsonString(e.result).c_str(), JsonString(e.status).c_str());
    }
    std::printf("%s]\n", list.empty() ? "" : "\n");
}

} // namespace

int RunServices(const std::vector<std::string>& argsIn) {
    std::vector<std::string> args = argsIn;
    if (!PrepareProgram(args)) {
        return kExitFailed;
    }
    bool json = false;
    for (const std::string& a : args) {
        if (a == "--json") {
            json = true;
        } else {
            throw UsageError{"unknown argument \"" + a + "\""};
        }
    }
    Program().echoLogToStderr = true;
    ZUVOzedovUzivara& db = Database();
    if (!db.ConnectDatabase(false)) {
        const TInitSettings& s = InitSettings();
        std::fprintf(stderr, "velmoractl services: cannot connect to velmoradb at %s:%s\n", s.Host.c_str(),
                     s.Port.c_str());
        return kExitFailed;
    }
    const std::vector<ServiceListEntry> list = ServiceList(db);
    if (json) {
        PrintJson(list);
    } else {
        PrintTable(list);
    }
    return kExitOk;
}

} // namespace velmora::cli
