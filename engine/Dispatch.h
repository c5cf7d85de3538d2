#pragma once
// Alarm composition apart from I/O: which deliveries an alarm or a recovery message leads to,
// the contact query, and the log line of a delivery that failed.
#include "alarms/AlarmMethodSettings.h"
#include "alarms/AlarmSender.h"

#include <string>
#include <vector>

namespace velmora {

// The six routing flags of one kind (alarm or recovery).
struct RoutingFlags {
    bool email = false, smpp = false, httpsms = false, syslog = false, snmp = false, snpp = false;
};

struct Contact {
    std::string name, email, sms, pager_id;
};

// One delivery to queue: method name and recipient.
struct Delivery {
    std::string method;
    std::string recipient;
    bool operator==(const Delivery&) const = default;
};

// The host of a server-based method ("Email", "SMS", "SysLog", "SNMP", "SNPP"; "" otherwise).
std::string MethodHost(const AlarmMethodSettings& methods, const std::string& method);

// True when any of "Email", "SMS", "SMS by HTTP", "SNPP" is enabled: the contacts are read.
bool NeedsContacts(const AlarmMethodSettings& methods);

// The service's contacts with their addresses.
std::string ContactQueryText(long long serviceId);

// Per contact in order: SMS over SMPP, SMS by HTTP, pager, each where enabled, flagged and the
// contact has the number; then one e-mail to every non-empty address joined with ";".
std::vector<Delivery> ContactDeliveries(const AlarmMethodSettings& methods,
                                        const RoutingFlags& flags,
                                        const std::vector<Contact>& contacts);

// The syslog and SNMP deliveries to the methods' own servers, where enabled, flagged and the
// server address is not empty.
std::vector<Delivery> ServerDeliveries(const AlarmMethodSettings& methods,
                                       const RoutingFlags& flags);

// The system log line of a finished delivery that was not sent ("" when it was sent).
std::string DeliveryFailureLine(const AlarmSender& delivery);

} // namespace velmora
