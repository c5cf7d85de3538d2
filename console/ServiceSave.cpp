#include "console/ServiceSave.h"

#include "console/Dialogs.h"
#include "foundation/SystemLog.h"
#include "store/ServiceRecords.h"

#include <QString>

#include <algorithm>

namespace velmora {

long long InsertNewService(const ServiceRow& row, ZUVOzedovUzivara& db) {
    db.Execute(ServiceInsertStatement(row, db));
    return MaxId("service", db);
}

std::string ServiceUpdateStatement(const ServiceRow& row, const std::vector<std::string>& columns,
                                   long long id, const ZUVOzedovUzivara& db) {
    std::string sql = "update service set status=" + db.Quote(row.Get("status"));
    for (const std::string& c : columns) {
        if (c == "status") {
            continue;
        }
        sql += "," + c + "=";
        if (IsNumericServiceColumn(c)) {
            long long v = 0;
            try {
                size_t used = 0;
                const std::string& t = row.Get(c);
                v = std::stoll(t, &used);
                if (used != t.size()) {
                    v = 0;
                }
            } catch (const std::exception&) {
                v = 0;
            }
            sql += std::to_string(v);
        } else {
            sql += db.Quote(row.Get(c));
        }
    }
    return sql + " where id=" + std::to_string(id);
}

void InsertPostFields(long long serviceId,
                      const std::vector<std::pair<std::string, std::string>>& fields,
                      ZUVOzedovUzivara& db) {
    for (const auto& [name, value] : fields) {
        db.Execute("insert into service_url_detail (service_id, fieldname, fieldvalue) values (" +
                   std::to_string(serviceId) + "," + db.Quote(name) + "," + db.Quote(value) + ")");
    }
}

std::vector<long long> ContactPersonIds(const std::vector<std::pair<bool, std::string>>& lines,
                                        ZUVOzedovUzivara& db) {
    std::vector<long long> ids;
    auto add = [&ids](long long id) {
        if (id > 0 && std::find(ids.begin(), ids.end(), id) == ids.end()) {
            ids.push_back(id);
        }
    };
    for (const auto& [group, name] : lines) {
        if (!group) {
            add(FindId("contact_person", "name", name, db));
            continue;
        }
        const long long gid = FindId("contact_group", "name", name, db);
        if (gid == 0) {
            continue;
        }
        for (const DbRow& r : db.Query(
                 "select contact_person_id from contact_person_group where contact_group_id=" +
                 std::to_string(gid))) {
            add(r.GetInt("contact_person_id"));
        }
    }
    return ids;
}

void InsertContactPairs(long long serviceId, const std::vector<long long>& personIds,
                        ZUVOzedovUzivara& db) {
    for (long long pid : personIds) {
        const std::string where = " where service_id=" + std::to_string(serviceId) +
                                  " and contact_person_id=" + std::to_string(pid);
        const DbResult r = db.Query("select count(*) as n from service_contact_person" + where);
        if (!r.empty() && r[0].GetInt("n") > 0) {
            continue;
        }
        db.Execute("insert into service_contact_person (service_id, contact_person_id) values (" +
                   std::to_string(serviceId) + "," + std::to_string(pid) + ")");
    }
}

void ReportFailure(QWidget* parent, const char* code, const std::string& error) {
    const std::string text = std::string(code) + " : " + error;
    WriteSystemLog(text, LogError);
    dialogs::Error(parent, QString::fromStdString(text));
}

} // namespace velmora
