#pragma once
// One alarm e-mail to all recipients over SMTP (our own client over net/): EHLO (HELO as
// fallback), STARTTLS when offered, AUTH LOGIN, RSET, MAIL FROM, every RCPT TO, DATA, QUIT.
// Port 465 speaks TLS from the first byte.
#include "alarms/AlarmMethodSettings.h"
#include "alarms/AlarmSender.h"
#include "alarms/MailMessage.h"

#include <memory>

namespace velmora {

class ThreadSMTP : public AlarmSender {
public:
    // `message` may be null (a sender without a message fails after logging in).
    ThreadSMTP(const AlarmMethodSettings::Email& settings, std::unique_ptr<MailMessage> message);
    void Execute() override;

    // TLS from the first byte; on by default for port 465.
    void SetImplicitTls(bool on) { implicitTls_ = on; }
    const MailMessage* Message() const { return message_.get(); }

    // The message of an alarm: From/Reply-To the from address, To the recipient entries,
    // subject "Alarming Message : " + text, the text as body, X-Mailer the mail agent.
    static std::unique_ptr<MailMessage> BuildMessage(const AlarmMethodSettings::Email& settings,
                                                     const std::string& recipient, const std::string& text);

private:
    AlarmMethodSettings::Email settings_;
    std::unique_ptr<MailMessage> message_;
    bool implicitTls_;
};

} // namespace velmora
