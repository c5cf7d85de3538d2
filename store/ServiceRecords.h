#pragma once
// Lookups every form needs and the two ways a new service row is stored from imported data.
// All run on the program's data module unless another one is passed.
#include "store/ServiceRow.h"
#include "store/ZUVOzedovUzivara.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Lower-cases the text and removes the first "http://", then the first "https://".
std::string NormaliseHost(const std::string& text);

// True when no row of `table` has `column` equal to `value` (apart from the row with id
// `excludedId` when it is not 0). With an empty column and value and a non-zero id, counts
// every row but that one; with neither, every row.
bool IsUniqueValue(const std::string& table, const std::string& column, const std::string& value,
                   long long excludedId = 0, ZUVOzedovUzivara& db = Database());
// The id of the first row whose column equals the value; 0 when there is none.
long long FindId(const std::string& table, const std::string& column, const std::string& value,
                 ZUVOzedovUzivara& db = Database());
// The highest id of the table; 0 for an empty table.
long long MaxId(const std::string& table, ZUVOzedovUzivara& db = Database());

// The eleven fields of one import record: schedule code, hour, minute, title, type code,
// host (already normalised by the caller), port, threshold, keep-on-sending, extra A, extra B.
using ImportRecord = std::array<std::string, 11>;

// The service row an import record stands for (every column but id, service_status and
// last_access), with the record's conversions applied.
ServiceRow ImportedServiceRow(const ImportRecord& fields);

// Stores one imported record as a new service. A refused record is logged as ERR00508 with
// the database's text and skipped: returns false (and the text in *error when given).
bool InsertImportedService(const ImportRecord& fields, std::string* error = nullptr,
                           ZUVOzedovUzivara& db = Database());

// Stores a new service with the values of `row` (every column but id, service_status and
// last_access; a column the row lacks is stored empty or 0). Integer columns are written as
// numbers (text that is not one as 0), text escaped in double quotes, last_access now().
// A refused row is logged as ERR00510 with the database's text: returns false.
bool InsertServiceRow(const ServiceRow& row, std::string* error = nullptr,
                      ZUVOzedovUzivara& db = Database());
// The insert statement InsertServiceRow runs.
std::string ServiceInsertStatement(const ServiceRow& row, const ZUVOzedovUzivara& db);

// Whether a `service` column holds a number (INTEGER or BIGINT).
bool IsNumericServiceColumn(const std::string& column);

// Reading service rows: every row of a select on `service` (select * ...), as ServiceRows.
std::vector<ServiceRow> QueryServiceRows(const std::string& sql, ZUVOzedovUzivara& db = Database());
// One service by id, with its service_url_detail pairs; nothing when there is no such row.
std::optional<ServiceRow> LoadServiceRow(long long id, ZUVOzedovUzivara& db = Database());

// One line of the service list as the main window and `velmoractl services` show it.
struct ServiceListEntry {
    long long id = 0;
    std::string title, service, ip, port, schedule, conError, lastAccess, result, status;
};
// The IP column: `ip` without everything up to and including its last "http://"; WMI types
// add the process or share list, or the free-space label.
std::string ServiceListIp(const ServiceRow& row);
// "Daily on HH:MM", "Hourly on MM min", "every MM min".
std::string ServiceListSchedule(const ServiceRow& row);
// Every service sorted by ip, service, schedule hour and minute; `result` is the status word
// of the last run (service_status).
std::vector<ServiceListEntry> ServiceList(ZUVOzedovUzivara& db = Database());

} // namespace velmora
