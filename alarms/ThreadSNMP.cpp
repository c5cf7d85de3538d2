#include "alarms/ThreadSNMP.h"

#include "alarms/TextUtil.h"

#include <exception>

namespace velmora {

ThreadSNMP::ThreadSNMP(TrapSender& trapSender, const AlarmMethodSettings::Snmp& settings,
                       const AlarmParams& params)
    : AlarmSender(kMethodSnmp), trapSender_(trapSender), settings_(settings),
      version_(params.alarm_snmp_version == 1 || params.alarm_snmp_version == 2 ? params.alarm_snmp_version : 3),
      trapOid_(params.alarm_snmp_trap_oid), community_(params.alarm_snmp_trap_community),
      enterprise_(params.alarm_snmp_trap_enterprise) {
    if (version_ == 3) {
        username_ = params.alarm_snmp_trap_username;
        password_ = params.alarm_snmp_trap_password;
    }
}

void ThreadSNMP::Execute() {
    try {
        auto hold = trapSender_.Acquire();
        trapSender_.Reset();
        try {
            trapSender_.Deactivate();
            trapSender_.SetLocalEngineId(settings_.local_engine_id);
            trapSender_.SetLocalHost(settings_.local_host);
            trapSender_.SetLocalPort(settings_.port);
            trapSender_.Activate();
        } catch (...) {
            // A failed activation shows up when the trap is sent.
        }
        try {
            trapSender_.SetVersion(version_);
            trapSender_.Config("TrapPort=" + std::to_string(settings_.trap_port));
            if (version_ == 1) {
                if (!community_.empty()) trapSender_.Config("TrapCommunity=" + community_);
                if (!enterprise_.empty()) trapSender_.Config("TrapEnterprise=" + enterprise_);
                trapSender_.SendTrap(settings_.host, trapOid_);
            } else if (version_ == 2) {
                trapSender_.SendTrap(settings_.host, trapOid_);
            } else {
                trapSender_.SendSecureTrap(settings_.host, trapOid_, username_, password_);
            }
            SetSent("[SNMP Alarm Sent Succeed]");
        } catch (const std::exception& e) {
            SetError("[" + settings_.host + ":" + std::to_string(settings_.port) + " SNMP Alarm Sent Error:" +
                     Trim(e.what()) + "]");
        }
    } catch (const std::exception& e) {
        SetError("[" + settings_.host + ":" + std::to_string(settings_.port) + " SNMP Alarm Sent Error:" +
                 Trim(e.what()) + "]");
    }
}

} // namespace velmora
