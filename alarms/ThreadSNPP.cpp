#include "alarms/ThreadSNPP.h"

#include "alarms/TextUtil.h"
#include "net/LineClient.h"
#include "net/NetError.h"

#include <memory>

namespace velmora {

std::string OneLine(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

ThreadSNPP::ThreadSNPP(const AlarmMethodSettings::Snpp& settings, std::string pagerId, std::string text)
    : AlarmSender(kMethodSnpp), settings_(settings), pagerId_(std::move(pagerId)), text_(std::move(text)) {}

void ThreadSNPP::Execute() {
    const auto& s = settings_;
    auto client = std::make_unique<net::LineClient>();
    bool connected = false;
    try {
        client->SetConnectTimeout(s.timeout);
        client->SetReadTimeout(s.read_timeout);
        client->Connect(s.host, s.port);
        const net::NumericReply greeting = client->ReadNumericReply();
        if (greeting.Number() != 220) {
            client->Close();
            throw net::NetError(net::NetErrorKind::Protocol, greeting.text);
        }
        connected = true;
    } catch (const std::exception& e) {
        SetError("[" + s.host + ":" + std::to_string(s.port) + net::ConnectErrorText(" SNPP Alarm Connection Error:", e));
    }
    if (connected) {
        if (pagerId_.empty()) {
            SetError("[ERR00901 : SNPP Pager ID required]");
        } else if (text_.empty()) {
            SetError("[ERR00902 : SNPP Message required]");
        } else {
            try {
                for (const std::string& line : {"PAGE " + OneLine(pagerId_), "MESS " + OneLine(text_),
                                                std::string("SEND")}) {
                    const net::NumericReply r = client->Command(line);
                    if (r.Number() != 250) throw std::runtime_error(r.text.empty() ? r.code : r.text);
                }
                SetSent("[SNPP Alarm Sent Succeed]");
            } catch (const std::exception& e) {
                SetError("[SNPP Alarm Sent Error:" + Trim(e.what()) + "]");
            }
        }
    }
    try {
        if (client->Connected()) client->Command("QUIT");
    } catch (...) {
    }
    client->Close();
}

} // namespace velmora
