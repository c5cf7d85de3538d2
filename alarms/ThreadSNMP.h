#pragma once
// One SNMP trap to the SNMP method's receiver, sent through the engine's TrapSender.
#include "alarms/AlarmMethodSettings.h"
#include "alarms/AlarmSender.h"
#include "alarms/TrapSender.h"

namespace velmora {

class ThreadSNMP : public AlarmSender {
public:
    // Borrows `trapSender` (owned by the engine). Version: 1, 2 (2c), anything else 3.
    ThreadSNMP(TrapSender& trapSender, const AlarmMethodSettings::Snmp& settings, const AlarmParams& params);
    void Execute() override;

private:
    TrapSender& trapSender_;
    AlarmMethodSettings::Snmp settings_;
    int version_;
    std::string trapOid_, community_, enterprise_, username_, password_;
};

} // namespace velmora
