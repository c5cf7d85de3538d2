#pragma once
// The common part of every check: what the engine hands over from the service row for
// result processing, the target, and the outcome the probe reports.
#include "foundation/WorkItem.h"

#include <chrono>
#include <exception>
#include <functional>
#include <string>

namespace velmora {

// The service's alarm state, routing flags and alarm parameters, carried unchanged from the
// service row to result processing. A test run from the console passes zeros and empties.
struct CheckContext {
    std::string origin = "Product";   // "Product" (scheduled) or "Setup" (test run)
    long long id = 0;
    int no_of_cons_alarm = 0;
    int current_no_of_cons_alarm = 0;
    int reset_to_zero = 0;
    int keep_on_sending = 0;
    // Routing flags, true where the column holds "y".
    bool alarm_email = false, alarm_smpp = false, alarm_httpsms = false;
    bool alarm_syslog = false, alarm_snmp = false, alarm_snpp = false;
    bool recovery_alarm_email = false, recovery_alarm_smpp = false, recovery_alarm_httpsms = false;
    bool recovery_alarm_syslog = false, recovery_alarm_snmp = false, recovery_alarm_snpp = false;
    // Alarm parameters.
    std::string service_status;
    std::string alarm_syslog_facility;
    std::string alarm_syslog_severity;
    int alarm_snmp_version = 1;
    std::string alarm_snmp_trap_oid;
    std::string alarm_snmp_trap_community;
    std::string alarm_snmp_trap_enterprise;
    std::string alarm_snmp_trap_username;
    std::string alarm_snmp_trap_password;
};

class CheckItem : public WorkItem {
public:
    CheckItem(std::string serviceType, CheckContext context, std::string host, std::string port)
        : serviceType_(std::move(serviceType)), context_(std::move(context)),
          host_(std::move(host)), port_(std::move(port)) {}

    WorkKind Kind() const override { return WorkKind::Check; }

    const std::string& ServiceType() const { return serviceType_; }  // "TCP", "URL", ...
    const CheckContext& Context() const { return context_; }
    const std::string& Host() const { return host_; }
    const std::string& Port() const { return port_; }

    // Outcome, changed only by Execute.
    bool passed = true;
    std::string status = "Passed";
    std::string result_text;
    long long response_time = 0;

protected:
    void SetPassed() {
        passed = true;
        status = "Passed";
    }
    void SetFailed() {
        passed = false;
        status = "Failed";
    }
    // Elapsed milliseconds since `start`, rounded to the nearest whole number, halves to even.
    static long long ElapsedMs(std::chrono::steady_clock::time_point start);
    // The common frame of a probe: runs `probe`; an error that escapes it fails the check
    // with `errorText(error)` as the result; then `cleanup` (closing and destroying the
    // clients) runs, and response_time covers all of it.
    void TimedProbe(const std::function<void()>& probe,
                    const std::function<std::string(const std::exception&)>& errorText,
                    const std::function<void()>& cleanup);

private:
    std::string serviceType_;
    CheckContext context_;
    std::string host_;
    std::string port_;
};

} // namespace velmora
