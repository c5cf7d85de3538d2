#pragma once
// The common part of every alarm delivery: one message over one method to one recipient.
#include "foundation/WorkItem.h"

#include <string>

namespace velmora {

class AlarmSender : public WorkItem {
public:
    explicit AlarmSender(std::string method) : method_(std::move(method)) {}

    WorkKind Kind() const override { return WorkKind::Delivery; }
    // "Email", "SMS", "SMS by HTTP", "SysLog", "SNMP" or "SNPP".
    const std::string& Method() const { return method_; }

    // Outcome: before Execute, not sent with empty status and text.
    bool sent = false;
    std::string status;
    std::string result_text;
    int response_code = 200;   // SMS by HTTP only: the gateway's last status, -1 when none read

protected:
    void SetSent(std::string text) {
        sent = true;
        status = "Sent";
        result_text = std::move(text);
    }
    void SetError(std::string text) {
        sent = false;
        status = "Error";
        result_text = std::move(text);
    }

private:
    std::string method_;
};

} // namespace velmora
