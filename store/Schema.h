#pragma once
// The schema of velmoradb as statement texts: tables in creation order, each with its
// indexes, the default rows of the hour grid and the column upgrades of `service`.
#include <string>
#include <vector>

namespace velmora::schema {

struct Index {
    std::string name;
    std::string statement;
};

struct Table {
    std::string name;
    std::string statement;           // "create table velmoradb.<name> (...) CHARACTER SET UTF8;"
    std::vector<Index> indexes;
    std::vector<std::string> rows;   // default rows, inserted right after the indexes
};

inline constexpr const char* kCreateDatabase =
    "CREATE DATABASE IF NOT EXISTS velmoradb CHARACTER SET UTF8;";

// The eleven tables in creation order.
const std::vector<Table>& Tables();

// One upgrade step: when `column` is missing (or, for a drop, present) run `statements`.
struct Upgrade {
    std::string column;
    bool drop = false;               // true: the step runs when the column exists
    bool consoleOnly = false;
    std::vector<std::string> statements;
};
const std::vector<Upgrade>& Upgrades();

// The definition of a `service` column as it stands in the table statement
// ("keep_on_sending INTEGER NOT NULL DEFAULT 1"); "" for an unknown column.
std::string ServiceColumnDefinition(const std::string& column);

} // namespace velmora::schema
