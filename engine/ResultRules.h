#pragma once
// Result processing apart from I/O: the alarm rule of a service's consecutive failures, the
// statements that store a scheduled result, and the recovery texts of every check type.
#include "foundation/WorkItem.h"

#include <functional>
#include <string>
#include <string_view>

namespace velmora {

// Escapes a text for use between double quotes in a statement (the connection's escaping).
using SqlEscaper = std::function<std::string(std::string_view)>;

// Repetition values above 10 count as 10; a negative value counts as 0 (first time only).
int EffectiveKeepOnSending(int k);

// Whether the c-th consecutive failure raises an alarm, with threshold n and repetition k:
// k 0: c = n; k 1: c a multiple of n; k 2..10: c >= n and c a multiple of both. n <= 0 never.
bool AlarmDue(int c, int n, int k);

// What one finished check leads to.
struct ResultPlan {
    bool recordFailure = false; // alarm log file line and alarm_msg_history row
    bool sendAlarm = false;     // the result text to the alarm routing flags
    bool sendRecovery = false;  // the type's recovery text to the recovery routing flags
    bool store = false;         // update of the service row and an access_history row
    int counter = 0;            // the new consecutive-failure count
};

// `origin` "Product" (scheduled or run now) is stored and alarmed; any other origin only
// takes the recovery branch (its empty previous status never sends anything). c, n, k and
// previousStatus are those the check carried from its service row.
ResultPlan PlanResult(const std::string& origin, bool passed, int c, int n, int k,
                      const std::string& previousStatus);

// update service set current_no_of_cons_alarm=C,last_access=now(),service_status="S" where id=I
std::string UpdateServiceStatement(long long counter, const std::string& status, long long id,
                                   const SqlEscaper& escape);
// insert into access_history (...) values (now(),I,MS,"S")
std::string InsertAccessHistoryStatement(long long id, long long responseTime,
                                         const std::string& status, const SqlEscaper& escape);

// The recovery message of a check type; `port` is the port field the check keeps (for the WMI
// types the process or share name, or the free-space figure). "" for an unknown type.
std::string RecoveryMessage(const std::string& type, const std::string& host,
                            const std::string& port);

// The location code of a failure while building a check of `type` ("" for an unknown type).
std::string BuildErrorCode(const std::string& type);

// The warning line for a check the pool gave up without running it.
std::string NotRunWarning(long long serviceId, const std::string& type, PoolOutcome outcome,
                          const std::string& poolMessage);

} // namespace velmora
