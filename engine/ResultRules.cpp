#include "ResultRules.h"

#include <algorithm>
#include <map>

namespace velmora {

int EffectiveKeepOnSending(int k) {
    return std::clamp(k, 0, 10);
}

bool AlarmDue(int c, int n, int k) {
    if (n <= 0 || c <= 0) {
        return false;
    }
    k = EffectiveKeepOnSending(k);
    if (k == 0) {
        return c == n;
    }
    if (k == 1) {
        return c % n == 0;
    }
    return c >= n && c % k == 0 && c % n == 0;
}

ResultPlan PlanResult(const std::string& origin, bool passed, int c, int n, int k,
                      const std::string& previousStatus) {
    ResultPlan plan;
    const bool scheduled = origin == "Product";
    if (scheduled && !passed) {
        plan.recordFailure = true;
        plan.counter = c + 1;
        plan.sendAlarm = AlarmDue(plan.counter, n, k);
    } else {
        plan.sendRecovery = previousStatus == "Failed" && c >= n;
        plan.counter = 0;
    }
    plan.store = scheduled;
    return plan;
}

std::string UpdateServiceStatement(long long counter, const std::string& status, long long id,
                                   const SqlEscaper& escape) {
    return "update service set current_no_of_cons_alarm=" + std::to_string(counter) +
           ",last_access=now(),service_status=\"" + escape(status) +
           "\" where id=" + std::to_string(id);
}

std::string InsertAccessHistoryStatement(long long id, long long responseTime,
                                         const std::string& status, const SqlEscaper& escape) {
    return "insert into access_history (access_datetime,service_id,response_time,service_status)"
           " values (now()," +
           std::to_string(id) + "," + std::to_string(responseTime) + ",\"" + escape(status) + "\")";
}

std::string RecoveryMessage(const std::string& type, const std::string& host,
                            const std::string& port) {
    static const std::map<std::string, std::string, std::less<>> labels = {
        {"URL", "HTTP Request"},
        {"SMTP", "SMTP Connection"},
        {"POP3", "POP3 Connection"},
        {"IMAP", "IMAP4 Connection"},
        {"Ping", "PING"},
        {"FTP", "FTP Connection"},
        {"TCP", "TCP Connection"},
        {"UDP", "UDP Send Data"},
        {"DNS", "DNS Connection"},
        {"NNTP", "NNTP Connection"},
        {"SNTP", "SNTP Connection"},
        {"Telnet", "Telnet Connection"},
        {"Rsh", "RSH Connection"},
        {"MySQL", "MySQL Connection"},
        {"WMI Process", "WMI Connection"},
        {"WMI Share Folder", "WMI Connection"},
    };
    if (type == "WMI HD Freespace") {
        return "[" + host + ": Harddisk Freespace resume to basic requirement]";
    }
    const auto it = labels.find(type);
    if (it == labels.end()) {
        return "";
    }
    return "[" + host + ":" + port + " " + it->second + " Recovery]";
}

std::string BuildErrorCode(const std::string& type) {
    static const std::map<std::string, std::string, std::less<>> codes = {
        {"URL", "ERR90022"},
        {"Ping", "ERR90023"},
        {"SMTP", "ERR90024"},
        {"POP3", "ERR90025"},
        {"IMAP", "ERR90026"},
        {"FTP", "ERR90027"},
        {"TCP", "ERR90028"},
        {"UDP", "ERR90029"},
        {"DNS", "ERR90030"},
        {"NNTP", "ERR90031"},
        {"SNTP", "ERR90032"},
        {"Telnet", "ERR90033"},
        {"Rsh", "ERR90034"},
        {"MySQL", "ERR90035"},
        {"WMI Process", "ERR90036"},
        {"WMI HD Freespace", "ERR90037"},
        {"WMI Share Folder", "ERR90038"},
    };
    const auto it = codes.find(type);
    return it == codes.end() ? "" : it->second;
}

std::string NotRunWarning(long long serviceId, const std::string& type, PoolOutcome outcome,
                          const std::string& poolMessage) {
    std::string reason = poolMessage;
    if (reason.empty()) {
        switch (outcome) {
        case PoolOutcome::Canceled:
            reason = "Canceled.";
            break;
        case PoolOutcome::Refused:
            reason = "Refused.";
            break;
        case PoolOutcome::Busy:
            reason = "Busy.";
            break;
        default:
            reason = "Not run.";
            break;
        }
    }
    return "Check of service id " + std::to_string(serviceId) + " [" + type +
           "] was not run, no result stored : " + reason;
}

} // namespace velmora
