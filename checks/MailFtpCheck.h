#pragma once
// The frame the mail and FTP checks share: their protocol client, set up from the service's
// host, port, timeouts and credentials; the connection phase with its texts; the later steps
// whose errors are appended to the result; and Execute, which runs the probe once inside the
// common timing frame and destroys the client (closing the connection) afterwards.
#include "checks/CheckItem.h"
#include "checks/MailFtpReplies.h"
#include "checks/MailFtpText.h"
#include "net/TlsLayer.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace velmora {

template <class Client> class MailFtpCheck : public CheckItem {
public:
    void Execute() final {
        if (!client_) {
            return; // ran before: an instance is executed once
        }
        TimedProbe([this] { Probe(); },
                   [this](const std::exception& e) {
                       return mailftp::ConnectErrorResult(Host(), Port(), kind_, mailftp::ErrorEnding(e));
                   },
                   [this] { client_.reset(); }); // closes the connection and its TLS layer
    }

protected:
    // `kind` is the protocol's name in the result texts ("SMTP", "IMAP4", ...).
    template <class Settings>
    MailFtpCheck(std::string serviceType, std::string_view kind, CheckContext context,
                 std::unique_ptr<Client> client, std::string host, long long port,
                 const Settings& s)
        : CheckItem(std::move(serviceType), std::move(context), host, std::to_string(port)),
          client_(std::move(client)), kind_(kind) {
        client_->SetHost(std::move(host));
        client_->SetPort(port);
        client_->SetConnectTimeout(s.timeout);
        client_->SetReadTimeout(s.readTimeout);
        client_->username = s.username;
        client_->password = s.password;
    }

    // The TLS variant: the handshake runs right after the TCP connection, before the greeting.
    void UseTls(std::unique_ptr<net::TlsLayer> tls, net::TlsSettings settings) {
        mailftp::InstallTls(*client_, std::move(tls), std::move(settings));
    }

    // The protocol exchange; runs once, inside Execute's frame.
    virtual void Probe() = 0;

    // The connection phase: `open` connects and logs in. On an error `farewell` goes out when
    // it is not empty and the connection allows, the connection is closed and the check fails
    // with the connect-error text; a client left unconnected fails with its own text.
    // Otherwise the check has passed so far, with the success text, and true is returned.
    bool Opened(const std::function<void()>& open, const std::string& farewell) {
        try {
            open();
        } catch (const std::exception& e) {
            if (!farewell.empty()) {
                mailftp::SendQuietly(*client_, farewell);
            }
            client_->Close();
            SetFailed();
            result_text = mailftp::ConnectErrorResult(Host(), Port(), kind_, mailftp::ErrorEnding(e));
            return false;
        }
        if (!client_->Connected()) {
            SetFailed();
            result_text = mailftp::NotConnectedResult(Host(), Port(), kind_);
            return false;
        }
        SetPassed();
        result_text = mailftp::SucceedResult(Host(), Port(), kind_);
        return true;
    }

    // A step after the connection phase: an error fails the check and appends its message,
    // under `label`, to the result text.
    void Step(std::string_view label, const std::function<void()>& step) {
        try {
            step();
        } catch (const std::exception& e) {
            SetFailed();
            result_text += mailftp::AppendedError(label, mailftp::ErrorMessage(e));
        }
    }

    std::unique_ptr<Client> client_;

private:
    std::string_view kind_;
};

} // namespace velmora
