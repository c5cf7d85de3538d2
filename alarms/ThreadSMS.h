#pragma once
// One SMS over SMPP: connect, bind as transmitter, submit, unbind, disconnect.
#include "alarms/AlarmMethodSettings.h"
#include "alarms/AlarmSender.h"
#include "alarms/SmppClient.h"

#include <memory>

namespace velmora {

class ThreadSMS : public AlarmSender {
public:
    // Username and password are used only when the settings' authenticate is set.
    ThreadSMS(const AlarmMethodSettings::Sms& settings, std::string recipient, std::string text);
    void Execute() override;

    SmppClient* Client() { return client_.get(); }

private:
    AlarmMethodSettings::Sms settings_;
    std::string recipient_;
    std::string text_;
    std::unique_ptr<SmppClient> client_;
};

} // namespace velmora
