#include "alarms/ThreadSMS.h"

#include "alarms/TextUtil.h"

#include <exception>

namespace velmora {

ThreadSMS::ThreadSMS(const AlarmMethodSettings::Sms& settings, std::string recipient, std::string text)
    : AlarmSender(kMethodSms), settings_(settings), recipient_(std::move(recipient)),
      text_(std::move(text)), client_(std::make_unique<SmppClient>()) {
    if (!settings_.authenticate) {
        settings_.username.clear();
        settings_.password.clear();
    }
}

void ThreadSMS::Execute() {
    const auto& s = settings_;
    try {
        client_->SetResponseTimeout(EffectiveTimeout(s.timeout));
        int r = client_->Connect(s.host, s.port);
        if (r != 0) {
            SetError("[ERR00801 : SMPP Connection Failed, please make sure SMPP URL and port are correct. : " +
                     std::to_string(r) + "]");
        } else if ((r = client_->BindTransmitter(s.username, s.password, s.system_type, s.version, s.ton,
                                                 s.npi, s.originator)) != 0) {
            SetError("[ERR00802 : SMPP Binding Failed, please make sure username, password, "
                     "TON/NPI/System Type/Version/OA are correct. : " +
                     std::to_string(r) + "]");
        } else if ((r = client_->SubmitMessage(recipient_, s.dest_ton, s.dest_npi, s.originator, s.orig_ton,
                                               s.orig_npi, text_)) != 0) {
            SetError("[ERR00803 : SMPP Sending Failed, please make sure Dest TON/NPI and Orig TON/NPI are "
                     "correct. : " +
                     std::to_string(r) + "]");
        } else {
            SetSent("[SMPP Alarm Sent Succeed]");
        }
    } catch (const std::exception& e) {
        SetError("[" + s.host + ":" + std::to_string(s.port) + " SMPP Alarm Connection Error:" +
                 Trim(e.what()) + "]");
    } catch (...) {
        SetError("[" + s.host + ":" + std::to_string(s.port) + " SMPP Alarm Connection Error:]");
    }
    try {
        client_->Unbind();
    } catch (...) {
    }
    try {
        client_->Disconnect();
    } catch (...) {
    }
    client_.reset();
}

} // namespace velmora
