// velmoractl check: build one check from the given values (or a stored service) and run it
// once, printing its outcome.
#include "Command.h"

#include "checks/CheckBuilders.h"
#include "foundation/IniFile.h"
#include "foundation/InitSettings.h"
#include "foundation/Program.h"
#include "store/ServiceRecords.h"
#include "store/ZUVOzedovUzivara.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {

namespace {

// What a new service proposes for the columns a check reads.
void SetNewServiceDefaults(ServiceRow& row) {
    const std::pair<const char*, const char*> defaults[] = {
        {"port", "0"}, {"timeout", "5000"}, {"read_timeout", "5000"}, {"buffer_size", "8192"},
        {"url_method", "Get"}, {"url_max_redirect", "10"}, {"url_content_type", "text/html"},
        {"url_user_agent", "Mozilla/3.0"}, {"url_accept", "text/html, */*"}, {"proxy_port", "0"},
        {"ssl_enable", "n"}, {"ssl_method", "0"}, {"ssl_mode", "0"}, {"ssl_verify_depth", "0"},
        {"ssl_peer", "n"}, {"ssl_once", "n"}, {"ssl_fail", "n"},
    };
    for (const auto& [k, v] : defaults) {
        row.Set(k, v);
    }
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

bool IsColumn(const std::string& name) {
    for (const std::string& c : ServiceRow::ColumnNames()) {
        if (c == name) return true;
    }
    return false;
}

std::pair<std::string, std::string> SplitAssignment(const std::string& option, const std::string& text) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) {
        throw UsageError{option + " needs NAME=VALUE, got \"" + text + "\""};
    }
    return {text.substr(0, eq), text.substr(eq + 1)};
}

} // namespace

int RunCheck(const std::vector<std::string>& argsIn) {
    std::vector<std::string> args = argsIn;
    bool json = false;
    bool haveType = false, haveHost = false, havePort = false, haveId = false;
    std::string type, host, port = "0", id;
    std::vector<std::pair<std::string, std::string>> sets, fields;
    bool appDir = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
            return args[++i];
        };
        if (a == "--json") {
            json = true;
        } else if (a == "--type") {
            type = value();
            haveType = true;
        } else if (a == "--host") {
            host = value();
            haveHost = true;
        } else if (a == "--port") {
            port = value();
            if (!ParseInteger(port)) throw UsageError{"--port needs a whole number, got \"" + port + "\""};
            port = std::to_string(*ParseInteger(port));
            havePort = true;
        } else if (a == "--set") {
            auto kv = SplitAssignment("--set", value());
            if (!IsColumn(kv.first)) throw UsageError{"--set: \"" + kv.first + "\" is not a column of the service table"};
            sets.push_back(std::move(kv));
        } else if (a == "--field") {
            fields.push_back(SplitAssignment("--field", value()));
        } else if (a == "--id") {
            id = value();
            haveId = true;
        } else if (a == "--app-dir") {
            value();
            appDir = true;
        } else {
            throw UsageError{"unknown argument \"" + a + "\""};
        }
    }

    ServiceRow row;
    if (haveId) {
        if (haveType || haveHost || havePort || !sets.empty() || !fields.empty()) {
            throw UsageError{"--id runs the stored service as it is: no --type, --host, --port, --set or --field"};
        }
        const auto number = ParseInteger(id);
        if (!number || *number < 1) throw UsageError{"--id needs a service id, got \"" + id + "\""};
        std::vector<std::string> prepare;
        if (appDir) {
            for (size_t i = 0; i + 1 < args.size(); ++i) {
                if (args[i] == "--app-dir") prepare = {args[i], args[i + 1]};
            }
        }
        if (!PrepareProgram(prepare)) {
            return kExitFailed;
        }
        Program().echoLogToStderr = true;
        ZUVOzedovUzivara& db = Database();
        if (!db.ConnectDatabase(false)) {
            const TInitSettings& s = InitSettings();
            std::fprintf(stderr, "velmoractl check: cannot connect to velmoradb at %s:%s\n", s.Host.c_str(),
                         s.Port.c_str());
            return kExitFailed;
        }
        std::optional<ServiceRow> stored = LoadServiceRow(*number, db);
        if (!stored) {
            std::fprintf(stderr, "velmoractl check: there is no service with id %lld\n", *number);
            return kExitUsage;
        }
        row = std::move(*stored);
        type = row.Get("service");
    } else {
        if (!haveType || !haveHost) {
            throw UsageError{"--type and --host are required (or --id)"};
        }
    }
    const CheckType* known = FindCheckType(type);
    if (!known && haveId) {
        std::fprintf(stderr, "velmoractl check: service %s has the type \"%s\", which has no check\n", id.c_str(),
                     type.c_str());
        return kExitUsage;
    }
    if (!known) {
        std::string names;
        for (const CheckType& t : CheckTypes()) names += std::string(names.empty() ? "" : ", ") + "\"" + t.name + "\"";
        throw UsageError{"unknown check type \"" + type + "\" (one of " + names + ")"};
    }
    if (!known->build) {
        std::fprintf(stderr, "velmoractl check: the check type \"%s\" is not available in this build\n", type.c_str());
        return kExitUsage;
    }
    if (!haveId) {
        SetNewServiceDefaults(row);
        row.Set("service", type);
        row.Set("ip", host);
        row.Set("port", port);
        for (auto& [k, v] : sets) row.Set(k, v);
        row.urlDetails = std::move(fields);
    }

    std::unique_ptr<CheckItem> check;
    try {
        check = BuildCheck(row, "Setup");
    } catch (const CheckBuildError& e) {
        std::fprintf(stderr, "velmoractl check: %s\n", e.what());
        return kExitFailed;
    }
    if (!check) {
        std::fprintf(stderr, "velmoractl check: the check type \"%s\" is not available in this build\n", type.c_str());
        return kExitUsage;
    }
    check->Run();
    if (check->poolOutcome == PoolOutcome::RaisedError) {
        std::fprintf(stderr, "velmoractl check: %s\n", check->poolMessage.c_str());
    }
    if (json) {
        std::printf("{\"type\": %s, \"host\": %s, \"port\": %s, \"passed\": %s, \"status\": %s, "
                    "\"result_text\": %s, \"response_time_ms\": %lld}\n",
                    JsonString(check->ServiceType()).c_str(), JsonString(check->Host()).c_str(),
                    JsonString(check->Port()).c_str(), check->passed ? "true" : "false",
                    JsonString(check->status).c_str(), JsonString(check->result_text).c_str(),
                    check->response_time);
    } else {
        std::printf("%s\nstatus: %s\nresponse_time_ms: %lld\n", check->result_text.c_str(), check->status.c_str(),
                    check->response_time);
    }
    return check->passed ? kExitOk : kExitFailed;
}

} // namespace velmora::cli
