#include "ZUVOzedovUzivara.h"

#include "foundation/IniFile.h"
#include "foundation/InitSettings.h"
#include "foundation/Messages.h"
#include "foundation/SystemLog.h"

#include <errmsg.h>
#include <mysql.h>
#include <mysqld_error.h>

#include <cctype>
#include <sstream>

namespace velmora {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// Errors after which the connection is of no further use: the server went away between
// or during statements, was shut down or killed the session.
bool ConnectionLost(unsigned code) {
    switch (code) {
    case CR_SERVER_GONE_ERROR:
    case CR_SERVER_LOST:
    case CR_CONNECTION_ERROR:
    case CR_CONN_HOST_ERROR:
    case ER_SERVER_SHUTDOWN:
    case ER_CONNECTION_KILLED:
    case 4031:  // the server closed an idle connection (client interaction timeout)
        return true;
    default:
        return false;
    }
}

// The escaping of mysql_real_escape_string for UTF-8 text, for use before a connection
// exists. UTF-8 continuation bytes never equal an ASCII special character.
std::string EscapeUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (const char c : text) {
        switch (c) {
        case '\0': out += "\\0"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        case '\'': out += "\\'"; break;
        case '"': out += "\\\""; break;
        case '\032': out += "\\Z"; break;
        default: out += c; break;
        }
    }
    return out;
}

} // namespace

// --- DbRow ------------------------------------------------------------------------------

size_t DbRow::IndexOf(std::string_view column) const {
    if (columns_) {
        for (size_t i = 0; i < columns_->size(); ++i) {
            if (SameName((*columns_)[i], column)) {
                return i;
            }
        }
    }
    return std::string::npos;
}

const std::string& DbRow::Get(std::string_view column) const {
    const size_t i = IndexOf(column);
    if (i == std::string::npos) {
        throw DatabaseError("Field '" + std::string(column) + "' not found");
    }
    return values_[i];
}

long long DbRow::GetInt(std::string_view column, long long def) const {
    const auto v = ParseInteger(Get(column));
    return v ? *v : def;
}

bool DbRow::IsNull(std::string_view column) const {
    const size_t i = IndexOf(column);
    return i == std::string::npos || nulls_[i];
}

bool DbRow::Has(std::string_view column) const { return IndexOf(column) != std::string::npos; }

const std::string& DbRow::At(size_t index) const { return values_.at(index); }

ServiceRow DbRow::ToServiceRow() const {
    ServiceRow row;
    for (size_t i = 0; columns_ && i < columns_->size(); ++i) {
        row.Set((*columns_)[i], values_[i]);
    }
    return row;
}

// --- ZUVOzedovUzivara ---------------------------------------------------------------------

ZUVOzedovUzivara::ZUVOzedovUzivara() = default;

ZUVOzedovUzivara::~ZUVOzedovUzivara() { Close(); }

ZUVOzedovUzivara& Database() {
    static ZUVOzedovUzivara db;
    return db;
}

ConnectionParams ZUVOzedovUzivara::ParamsFromSettings(bool bootstrap) {
    const TInitSettings& s = InitSettings();
    ConnectionParams p;
    p.host = s.Host;
    const auto port = ParseInteger(s.Port);
    p.port = port && *port > 0 && *port <= 65535 ? static_cast<unsigned>(*port) : 0;
    p.user = s.DBUsername;
    p.password = s.DBPassword;
    p.database = bootstrap ? "mysql" : "velmoradb";
    return p;
}

void ZUVOzedovUzivara::Open(const ConnectionParams& params) {
    DropConnection();
    MYSQL* m = mysql_init(nullptr);
    if (!m) {
        throw DatabaseError("Out of memory", CR_OUT_OF_MEMORY);
    }
    // Bounded waits: the engine thread must not hang on a server that stopped answering.
    const unsigned connectTimeout = 10;
    const unsigned ioTimeout = 60;
    mysql_options(m, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    mysql_options(m, MYSQL_OPT_READ_TIMEOUT, &ioTimeout);
    mysql_options(m, MYSQL_OPT_WRITE_TIMEOUT, &ioTimeout);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    if (!params.socket.empty()) {
        const unsigned protocol = MYSQL_PROTOCOL_SOCKET;
        mysql_options(m, MYSQL_OPT_PROTOCOL, &protocol);
    }
    if (!mysql_real_connect(m, params.host.c_str(), params.user.c_str(), params.password.c_str(),
                            params.database.c_str(), params.port,
                            params.socket.empty() ? nullptr : params.socket.c_str(), 0)) {
        const std::string text = mysql_error(m);
        const unsigned code = mysql_errno(m);
        mysql_close(m);
        throw DatabaseError(text, code);
    }
    conn_ = m;
    params_ = params;
    wanted_ = true;
    try {
        PrepareSession();
    } catch (...) {
        DropConnection();
        throw;
    }
}

void ZUVOzedovUzivara::Close() {
    if (conn_) {
        mysql_close(conn_);
        conn_ = nullptr;
    }
    wanted_ = false;
}

void ZUVOzedovUzivara::DropConnection() {
    if (conn_) {
        mysql_close(conn_);
        conn_ = nullptr;
    }
}

// Statements enclose text in double quotes and rely on backslash escapes; a server whose
// mode reads double quotes as names or backslashes as plain characters would turn an
// escaped value back into statement text, so this session turns both modes off.
void ZUVOzedovUzivara::PrepareSession() {
    RunStatement("select @@SESSION.sql_mode");
    MYSQL_RES* res = mysql_store_result(conn_);
    if (!res) {
        ThrowLastError();
    }
    std::string mode;
    if (MYSQL_ROW r = mysql_fetch_row(res); r && r[0]) {
        mode = r[0];
    }
    mysql_free_result(res);
    std::string kept;
    bool changed = false;
    std::stringstream ss(mode);
    for (std::string flag; std::getline(ss, flag, ',');) {
        if (flag == "ANSI_QUOTES" || flag == "NO_BACKSLASH_ESCAPES" || flag == "ANSI") {
            changed = true;
            continue;
        }
        if (!flag.empty()) {
            kept += (kept.empty() ? "" : ",") + flag;
        }
    }
    if (changed) {
        RunStatement("SET SESSION sql_mode='" + kept + "'");
    }
}

bool ZUVOzedovUzivara::ConnectDatabase(bool bootstrap) {
    Close();
    try {
        Open(ParamsFromSettings(bootstrap));
        outageLogged_ = false;
        return true;
    } catch (const DatabaseError& e) {
        WriteSystemLog(msg::WithError(msg::ERR00101, e.what()), LogError);
        return false;
    }
}

void ZUVOzedovUzivara::ThrowLastError() {
    throw DatabaseError(mysql_error(conn_), mysql_errno(conn_));
}

void ZUVOzedovUzivara::RunStatement(const std::string& sql) {
    if (mysql_real_query(conn_, sql.data(), sql.size()) != 0) {
        ThrowLastError();
    }
}

template <typename F>
auto ZUVOzedovUzivara::WithReconnect(F&& run) {
    if (!conn_) {
        if (!wanted_ || !reconnect_) {
            throw DatabaseError("Not connected to the database.");
        }
        // The server was lost earlier and could not be reached since: try again now.
        Open(ConnectionParams(params_));
        auto result = run();
        outageLogged_ = false;
        return result;
    }
    try {
        auto result = run();
        outageLogged_ = false;
        return result;
    } catch (const DatabaseError& e) {
        if (!reconnect_ || !ConnectionLost(e.code())) {
            throw;
        }
        if (!outageLogged_) {
            outageLogged_ = true;
            WriteSystemLog(msg::WithError(msg::ERR00101, e.what()), LogError);
        }
        DropConnection();
        Open(ConnectionParams(params_));
    }
    auto result = run();
    outageLogged_ = false;
    return result;
}

unsigned long long ZUVOzedovUzivara::Execute(const std::string& sql) {
    return WithReconnect([&]() -> unsigned long long {
        RunStatement(sql);
        if (MYSQL_RES* res = mysql_store_result(conn_)) {
            mysql_free_result(res);
            return 0;
        }
        if (mysql_field_count(conn_) != 0) {
            ThrowLastError();
        }
        const my_ulonglong n = mysql_affected_rows(conn_);
        return n == static_cast<my_ulonglong>(-1) ? 0 : static_cast<unsigned long long>(n);
    });
}

DbResult ZUVOzedovUzivara::Query(const std::string& sql) {
    return WithReconnect([&]() -> DbResult {
        RunStatement(sql);
        MYSQL_RES* res = mysql_store_result(conn_);
        DbResult result;
        if (!res) {
            if (mysql_field_count(conn_) != 0) {
                ThrowLastError();
            }
            return result;  // a statement without rows
        }
        const unsigned n = mysql_num_fields(res);
        auto columns = std::make_shared<std::vector<std::string>>();
        MYSQL_FIELD* fields = mysql_fetch_fields(res);
        for (unsigned i = 0; i < n; ++i) {
            columns->emplace_back(fields[i].name, fields[i].name_length);
        }
        result.columns_ = columns;
        result.rows_.reserve(static_cast<size_t>(mysql_num_rows(res)));
        while (MYSQL_ROW r = mysql_fetch_row(res)) {
            const unsigned long* lengths = mysql_fetch_lengths(res);
            DbRow row;
            row.columns_ = columns;
            row.values_.reserve(n);
            row.nulls_.reserve(n);
            for (unsigned i = 0; i < n; ++i) {
                row.nulls_.push_back(r[i] == nullptr);
                row.values_.emplace_back(r[i] ? std::string(r[i], lengths[i]) : std::string());
            }
            result.rows_.push_back(std::move(row));
        }
        const bool failed = mysql_errno(conn_) != 0;
        mysql_free_result(res);
        if (failed) {
            ThrowLastError();
        }
        return result;
    });
}

unsigned long long ZUVOzedovUzivara::LastInsertId() const {
    return conn_ ? static_cast<unsigned long long>(mysql_insert_id(conn_)) : 0;
}

std::string ZUVOzedovUzivara::Escape(std::string_view text) const {
    if (!conn_) {
        return EscapeUtf8(text);
    }
    std::string out(text.size() * 2 + 1, '\0');
    const unsigned long n =
        mysql_real_escape_string(conn_, out.data(), text.data(), static_cast<unsigned long>(text.size()));
    if (n == static_cast<unsigned long>(-1)) {
        return EscapeUtf8(text);
    }
    out.resize(n);
    return out;
}

std::string ZUVOzedovUzivara::Quote(std::string_view text) const { return "\"" + Escape(text) + "\""; }

} // namespace velmora
