#include "History.h"

#include "foundation/Clock.h"
#include "foundation/InitSettings.h"
#include "foundation/SystemLog.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace velmora {

namespace fs = std::filesystem;

namespace {

// At most `max` characters of UTF-8 text, never cutting a character in two.
std::string CutCharacters(const std::string& text, size_t max) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == max) {
                return text.substr(0, i);
            }
            ++chars;
        }
    }
    return text;
}

bool IsDate(const std::string& s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') {
        return false;
    }
    for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u}) {
        if (s[i] < '0' || s[i] > '9') {
            return false;
        }
    }
    return true;
}

} // namespace

void RecordAlarmMessage(const std::string& alarmTime, long long serviceId,
                        const std::string& serviceType, const std::string& status,
                        const std::string& message, const std::string& port,
                        const std::string& host, ZUVOzedovUzivara& db) {
    const TInitSettings& s = InitSettings();
    if (s.AlarmMsgFileEnable) {
        AppendAlarmMessageLine(alarmTime, serviceType, host, port, message);
    }
    if (s.AlarmMsgDBEnable) {
        db.Execute("insert into alarm_msg_history (alarm_datetime,service_id,msg,service_status) values (" +
                   db.Quote(alarmTime) + "," + std::to_string(serviceId) + "," +
                   db.Quote(CutCharacters(message, 255)) + "," + db.Quote(status) + ")");
    }
}

std::string DateDaysAgo(int days) {
    using namespace std::chrono;
    const LocalTime t = ToLocal(Now());
    const sys_days today{year{t.year} / month{static_cast<unsigned>(t.month)} /
                         day{static_cast<unsigned>(t.day)}};
    const year_month_day d{today - std::chrono::days{days}};
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(d.year()),
                  static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()));
    return buf;
}

int DeleteDatedFiles(const std::string& dirAndPrefix, const std::string& cutoff) {
    // "/x/log/system_" lists /x/log for names starting "system_"; "/x/log/" takes any name.
    const fs::path full(dirAndPrefix);
    const fs::path dir = full.has_parent_path() ? full.parent_path() : fs::path(".");
    const std::string namePrefix = full.filename().string();
    int deleted = 0;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != namePrefix.size() + 14 || !name.starts_with(namePrefix) ||
            !name.ends_with(".log")) {
            continue;
        }
        const std::string date = name.substr(namePrefix.size(), 10);
        if (!IsDate(date) || date > cutoff) {
            continue;
        }
        std::error_code rm;
        if (it->is_regular_file(rm) && fs::remove(it->path(), rm)) {
            ++deleted;
        }
    }
    return deleted;
}

void HouseKeep(ZUVOzedovUzivara& db) {
    const TInitSettings& s = InitSettings();
    // Every file that has reached its age goes, not only the one of exactly that age, so
    // files from days on which no program ran do not pile up.
    if (s.SystemLogHouseKeepDay >= 0) {
        DeleteDatedFiles(s.LogDir + s.SystemLogFilename, DateDaysAgo(s.SystemLogHouseKeepDay));
    }
    if (s.AlarmMsgFileHouseKeepDay >= 0) {
        DeleteDatedFiles(s.AlarmMsgFilenamePath + s.AlarmMsgFilename,
                         DateDaysAgo(s.AlarmMsgFileHouseKeepDay));
    }
    const std::string limit = db.Quote(DateDaysAgo(s.AlarmMsgDBHouseKeepDay) + " 00:00:00");
    db.Execute("delete from alarm_msg_history where alarm_datetime<" + limit);
    db.Execute("delete from access_history where access_datetime<" + limit);
}

} // namespace velmora
