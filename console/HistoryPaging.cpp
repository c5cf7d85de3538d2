#include "HistoryPaging.h"

#include <charconv>

namespace velmora::history {

namespace {

// The host part of a service's address: the text after the last "http://" up to the first "/".
constexpr const char* kHostOfIp =
    "SUBSTRING_INDEX(SUBSTRING_INDEX(s.ip, \"http://\", -1),\"/\",1)";

std::string ChartStatement(int tab) {
    const std::string host = kHostOfIp;
    switch (tab) {
    case kHostAccessChart:
        return "SELECT " + host + " as ip, COUNT(*) AS total FROM access_history ah  JOIN service s ON "
               "ah.service_id=s.id WHERE ah.service_status=\"Passed\" GROUP BY " + host +
               " ORDER BY ah.access_datetime DESC";
    case kServiceAccessChart:
        return "SELECT s.service, COUNT(*) AS total FROM access_history ah JOIN service s ON "
               "ah.service_id=s.id WHERE ah.service_status=\"Passed\" GROUP BY s.service ORDER BY "
               "ah.access_datetime DESC";
    case kDateAccessChart:
        return "SELECT DATE_FORMAT(access_datetime,\"%Y-%m-%d\") AS access_datetime, COUNT(*) AS total "
               "FROM access_history WHERE service_status=\"Passed\" GROUP BY "
               "DATE_FORMAT(access_datetime,\"%Y-%m-%d\") ORDER BY access_datetime DESC";
    case kHostErrorChart:
        return "SELECT " + host + " as ip, COUNT(*) AS total FROM alarm_msg_history amh JOIN service s ON "
               "amh.service_id=s.id GROUP BY s.ip ORDER BY amh.alarm_datetime DESC";
    case kServiceErrorChart:
        return "SELECT s.service, COUNT(*) AS total FROM alarm_msg_history amh JOIN service s ON "
               "amh.service_id=s.id GROUP BY s.service ORDER BY amh.alarm_datetime DESC";
    case kDateErrorChart:
        return "SELECT DATE_FORMAT(alarm_datetime,\"%Y-%m-%d\") AS alarm_datetime, COUNT(*) AS total "
               "FROM alarm_msg_history GROUP BY DATE_FORMAT(alarm_datetime,\"%Y-%m-%d\") ORDER BY "
               "alarm_datetime DESC";
    default:
        return {};
    }
}

} // namespace

bool IsListTab(int tab) { return tab == kAccessHistory || tab == kErrorHistory; }
bool IsChartTab(int tab) { return tab >= kHostAccessChart && tab < kTabCount; }

const char* TabCaption(int tab) {
    static const char* const captions[kTabCount] = {
        "Access History",   "Error History",       "Host Access Chart", "Service Access Chart",
        "Date Access Chart", "Host Error Chart",    "Service Error Chart", "Date Error Chart",
    };
    return tab >= 0 && tab < kTabCount ? captions[tab] : "";
}

long long PageSize(int tab) { return IsListTab(tab) ? kListPageSize : kChartPageSize; }

std::string PageStatement(int tab, long long offset) {
    const std::string limit = " LIMIT " + std::to_string(offset) + "," + std::to_string(PageSize(tab));
    if (tab == kAccessHistory) {
        return "SELECT s.service, s.ip, s.port, ah.* FROM access_history ah JOIN service s ON "
               "ah.service_id=s.id WHERE ah.service_status=\"Passed\" ORDER BY access_datetime DESC" +
               limit;
    }
    if (tab == kErrorHistory) {
        return "SELECT amh.*,s.ip,s.port,s.service FROM alarm_msg_history amh JOIN service s ON "
               "amh.service_id=s.id ORDER BY alarm_datetime DESC" +
               limit;
    }
    return ChartStatement(tab) + limit;
}

std::string CountStatement(int tab) {
    if (tab == kAccessHistory) {
        return "SELECT count(*) AS totalRecord FROM access_history ah JOIN service s ON "
               "ah.service_id=s.id WHERE ah.service_status=\"Passed\"";
    }
    if (tab == kErrorHistory) {
        return "SELECT count(*) AS totalRecord FROM alarm_msg_history amh JOIN service s ON "
               "amh.service_id=s.id";
    }
    return {};
}

void NextPage(PageState& s, int tab) {
    s.offset += PageSize(tab);
    if (IsListTab(tab)) {
        s.pageEnd += kListPageSize;
    }
}

void PreviousPage(PageState& s, int tab) {
    if (s.offset <= 0) {
        return;
    }
    s.offset -= PageSize(tab);
    if (s.offset < 0) {
        s.offset = 0;
    }
    if (IsListTab(tab)) {
        s.pageEnd = s.offset + kListPageSize;
    }
}

bool PreviousEnabled(const PageState& s) { return s.offset > 0; }

bool NextEnabled(const PageState& s, int tab) {
    if (IsListTab(tab)) {
        return s.total > s.offset + kListPageSize;
    }
    return s.furtherPage;
}

std::string PortText(const std::string& port) {
    if (port.empty()) {
        return "---";
    }
    long long v = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), v);
    if (ec == std::errc() && end == port.data() + port.size() && v == 0) {
        return "---";
    }
    return port;
}

} // namespace velmora::history
