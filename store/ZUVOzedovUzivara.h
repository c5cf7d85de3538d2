#pragma once
// The data module: the program's single connection to the MariaDB server, statements run
// as text, results read row by row with columns by name. Every failure is a DatabaseError
// carrying the server's (or client library's) message. Used from one thread only.
//
//   ZUVOzedovUzivara& db = Database();
//   db.Execute("update service set status=" + db.Quote(word) + " where id=" + id);
//   for (const DbRow& r : db.Query("select id, title from service")) {
//       long long id = r.GetInt("id"); const std::string& title = r.Get("title");
//   }
#include "store/ServiceRow.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct st_mysql;

namespace velmora {

class DatabaseError : public std::runtime_error {
public:
    DatabaseError(const std::string& message, unsigned code = 0)
        : std::runtime_error(message), code_(code) {}
    // The server's or client library's error number; 0 for our own errors.
    unsigned code() const { return code_; }

private:
    unsigned code_;
};

// One row of a result. Columns are found by name without regard to case, as the server
// treats column names.
class DbRow {
public:
    // The column's text; "" for NULL. Throws DatabaseError for a column the result lacks.
    const std::string& Get(std::string_view column) const;
    // The column as an integer; `def` for NULL, empty or text that is not a whole number.
    long long GetInt(std::string_view column, long long def = 0) const;
    bool IsNull(std::string_view column) const;
    bool Has(std::string_view column) const;
    // By position (0-based), in the order of the select list.
    const std::string& At(size_t index) const;
    size_t size() const { return values_.size(); }
    // Every column of the row, NULL as "" (for a select of `service` rows).
    ServiceRow ToServiceRow() const;

private:
    friend class ZUVOzedovUzivara;
    size_t IndexOf(std::string_view column) const;  // npos when absent
    std::shared_ptr<const std::vector<std::string>> columns_;
    std::vector<std::string> values_;
    std::vector<bool> nulls_;
};

// All rows of a query, in the order the server sent them.
class DbResult {
public:
    const std::vector<std::string>& Columns() const { return *columns_; }
    size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    const DbRow& operator[](size_t i) const { return rows_.at(i); }
    std::vector<DbRow>::const_iterator begin() const { return rows_.begin(); }
    std::vector<DbRow>::const_iterator end() const { return rows_.end(); }

private:
    friend class ZUVOzedovUzivara;
    std::shared_ptr<const std::vector<std::string>> columns_ =
        std::make_shared<const std::vector<std::string>>();
    std::vector<DbRow> rows_;
};

struct ConnectionParams {
    std::string host = "localhost";
    unsigned port = 3306;
    std::string user = "root";
    std::string password;
    std::string database = "velmoradb";
    // A unix socket path; used instead of host and port when set.
    std::string socket;
};

class ZUVOzedovUzivara {
public:
    ZUVOzedovUzivara();
    ~ZUVOzedovUzivara();
    ZUVOzedovUzivara(const ZUVOzedovUzivara&) = delete;
    ZUVOzedovUzivara& operator=(const ZUVOzedovUzivara&) = delete;

    // --- Connection -------------------------------------------------------------------
    // Closes the connection if open, connects to the "mysql" database (bootstrap) or to
    // "velmoradb" with the settings' Host, Port, DBUsername and DBPassword. A failure is
    // logged as ERR00101 with the client's text and returns false.
    bool ConnectDatabase(bool bootstrap);
    // Opens a connection with the parameters given; throws DatabaseError on failure.
    void Open(const ConnectionParams& params);
    void Close();
    bool IsOpen() const { return conn_ != nullptr; }
    const ConnectionParams& Params() const { return params_; }
    // The parameters ConnectDatabase uses, from the settings.
    static ConnectionParams ParamsFromSettings(bool bootstrap);

    // --- Statements -------------------------------------------------------------------
    // Runs one statement; returns the number of rows it changed. A result it produces is
    // read and dropped.
    unsigned long long Execute(const std::string& sql);
    // Runs a statement that returns rows and reads all of them.
    DbResult Query(const std::string& sql);
    // The AUTO_INCREMENT id of the last insert on this connection.
    unsigned long long LastInsertId() const;

    // When a statement finds the server gone (restarted, connection dropped), the
    // connection is opened again once with the same parameters and the statement runs
    // again. The outage is logged once as ERR00101 with the server's text, however many
    // statements fail until the server answers again. On by default.
    void SetReconnect(bool on) { reconnect_ = on; }

    // --- Values in statements -----------------------------------------------------------
    // The text escaped for a quoted literal with the connection's character set (without
    // a connection: the same escaping for UTF-8 text).
    std::string Escape(std::string_view text) const;
    // The escaped text in double quotes, as every text value of a statement is written.
    std::string Quote(std::string_view text) const;

    // --- Schema (the start-up sequence) ------------------------------------------------
    // Step 1 and 2 of opening the database at start: connect to velmoradb and create what
    // is missing, else connect to "mysql", create velmoradb and its schema. Returns whether
    // the connection to velmoradb is open. `beforeCreate` runs before a new database is
    // created (the console's "please be patient" notice).
    bool OpenAtStart(const std::function<void()>& beforeCreate = {});
    // On the open bootstrap connection: creates velmoradb, reconnects to it, creates the
    // schema.
    void CreateDatabase();
    // Creates every missing table with its indexes and default rows, then runs the column
    // upgrades of `service`; the console-only upgrades when the program is the console.
    // Does nothing when no connection is open.
    void CreateSchema();
    void CreateSchema(bool consoleUpgrades);
    // Whether "show tables" lists the name (exact, with case); any error gives false.
    bool TableExists(const std::string& table);
    enum DdlKind { DdlDatabase = 0, DdlTable = 1, DdlIndex = 2, DdlRows = 3 };
    // Runs one creation statement; a failure is reported as ERR00104..ERR00107 and ends
    // the program.
    void ExecuteDdl(const std::string& sql, const std::string& name, int kind);
    // The column names of `service` ("desc velmoradb.service"); throws on failure.
    std::vector<std::string> ServiceColumns();

private:
    template <typename F>
    auto WithReconnect(F&& run);
    void RunStatement(const std::string& sql);
    void DropConnection();  // closes without giving up the connection
    [[noreturn]] void ThrowLastError();
    void PrepareSession();

    st_mysql* conn_ = nullptr;
    ConnectionParams params_;
    bool wanted_ = false;  // opened and not closed on purpose: reopen after a loss
    bool reconnect_ = true;
    bool outageLogged_ = false;
};

// The program's data module.
ZUVOzedovUzivara& Database();

} // namespace velmora
