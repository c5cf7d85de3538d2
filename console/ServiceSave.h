#pragma once
// The database side of the new-service wizard and the update form: storing a service row,
// its post fields and its contact pairs, and reporting a failed statement with its code.
#include "store/ServiceRow.h"
#include "store/ZUVOzedovUzivara.h"

#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace velmora {

// Inserts the row as a new service and returns its id (the largest id of `service`).
// Throws DatabaseError.
long long InsertNewService(const ServiceRow& row, ZUVOzedovUzivara& db = Database());

// "update service set status="..." , <columns> where id=<id>": text escaped in double quotes,
// numbers bare (text that is not a number as 0).
std::string ServiceUpdateStatement(const ServiceRow& row, const std::vector<std::string>& columns,
                                   long long id, const ZUVOzedovUzivara& db);

// One service_url_detail row per pair, in order. Throws DatabaseError.
void InsertPostFields(long long serviceId,
                      const std::vector<std::pair<std::string, std::string>>& fields,
                      ZUVOzedovUzivara& db = Database());

// The ticked contact lines (is group, name) as person ids: persons by name, groups expanded
// to their members, each person once, in list order. Throws DatabaseError.
std::vector<long long> ContactPersonIds(const std::vector<std::pair<bool, std::string>>& lines,
                                        ZUVOzedovUzivara& db = Database());
// Inserts each (service, person) pair that is not stored yet. Throws DatabaseError.
void InsertContactPairs(long long serviceId, const std::vector<long long>& personIds,
                        ZUVOzedovUzivara& db = Database());

// A failed operation: "<code> : <error>" to the system log at Error and in an error dialog.
void ReportFailure(QWidget* parent, const char* code, const std::string& error);

} // namespace velmora
