#pragma once
// Building one delivery from the method settings, and loading the settings from the
// database.
#include "alarms/AlarmMethodSettings.h"
#include "alarms/AlarmSender.h"
#include "alarms/TrapSender.h"

#include <memory>
#include <stdexcept>

namespace velmora {

class ZUVOzedovUzivara;

// A method name that is none of the six.
struct UnknownAlarmMethod : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

// Builds the sender of one delivery, unqueued, with copies of the settings it needs. It does
// not look at `enabled`. "SNMP" borrows `trapSender` (the engine's one); the other methods
// ignore it. Errors while building (unknown method, a socket that cannot be opened) are
// thrown to the caller.
//   "Email"        recipient: addresses joined by ";" or ","   -> ThreadSMTP
//   "SMS"          recipient: one mobile number                -> ThreadSMS
//   "SMS by HTTP"  recipient: one mobile number                -> ThreadURL
//   "SysLog"       recipient: unused (the method's own host)   -> ThreadSysLog
//   "SNMP"         recipient, text: unused                     -> ThreadSNMP
//   "SNPP"         recipient: one pager id                     -> ThreadSNPP
std::unique_ptr<AlarmSender> CreateAlarmSender(const AlarmMethodSettings& settings, TrapSender& trapSender,
                                               const std::string& method, const std::string& recipient,
                                               const std::string& text, const AlarmParams& params);

// Reads every row of alarm_method (table order) and, when "SMS by HTTP" is enabled with the
// method word "Post", alarm_method_extra_fields, into `settings`. Database errors are thrown
// (DatabaseError) before anything is changed.
void LoadAlarmMethods(ZUVOzedovUzivara& db, AlarmMethodSettings& settings, HostVariant variant);

} // namespace velmora
