#pragma once
// One SMS handed to an HTTP(S) gateway: a GET with the number and text in the URL, or a
// POST of form fields.
#include "alarms/AlarmMethodSettings.h"
#include "alarms/AlarmSender.h"

#include <vector>

namespace velmora {

// Digits and ASCII letters stay, a blank becomes "+", every other byte "%XX" (upper case).
std::string EncodeGatewayParam(const std::string& text);
// "Get": every "$MSISDN" replaced by the encoded number, then every "$MESSAGE" by the encoded
// text (exact, case-sensitive).
std::string GatewayGetUrl(const std::string& url, const std::string& msisdn, const std::string& text);
// The POST body of a field list: each value (after its first "=") encoded when not empty,
// names unchanged, joined with "&", trimmed of surrounding blanks.
std::string GatewayPostBody(const std::vector<std::string>& fields);

class ThreadURL : public AlarmSender {
public:
    ThreadURL(const AlarmMethodSettings::SmsHttp& settings, const std::string& recipient, const std::string& text);
    void Execute() override;

    bool IsPost() const { return post_; }
    const std::string& FinalUrl() const { return url_; }
    const std::vector<std::string>& Fields() const { return fields_; }
    // The body of the gateway's last answer (at most kMaxResponseBody bytes kept), shown by
    // the console's test of the method.
    const std::string& ResponseBody() const { return body_; }
    static constexpr size_t kMaxResponseBody = 64 * 1024;

private:
    AlarmMethodSettings::SmsHttp settings_;
    bool post_;
    std::string url_;
    std::vector<std::string> fields_;
    std::string body_;
};

} // namespace velmora
