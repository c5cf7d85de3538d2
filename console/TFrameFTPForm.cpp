#include "console/TFrameFTPForm.h"

namespace velmora {

TFrameFTPForm::TFrameFTPForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("FTP"), parent) {
    AddText("ip", "Host", {}, "FTP Host");
    AddNumber("port", "Port", "21", "FTP Port");
    AddNumber("timeout", "Connection Timeout", "5000", "FTP Connection Timeout");
    AddNumber("read_timeout", "Read Timeout", "5000", "FTP Read Timeout");
    AddText("username", "User ID");
    AddText("password", "Password", {}, {}, 0, true);
    AddText("ftp_account", "Account");
    AddCheck("ftp_is_passive", "Passive Mode");
    AddText("ftp_client_name", "Client Name");
    AddText("ftp_client_version", "Client Version");
    AddText("ftp_platform_description", "Platform Description");
    proxy_ = AddOption("FrameFTP_UseProxy", "Use Proxy Server");
    QLineEdit* ip = AddText("proxy_ip", "Proxy Server");
    QLineEdit* port = AddNumber("proxy_port", "Proxy Port", {});
    QComboBox* type = AddComboIndex("ftp_proxytype", "Proxy Type",
                                    {"None", "User Site", "Site", "Open", "User / Pass",
                                     "Transparent", "Http Proxy With Ftp"});
    proxyAuth_ = AddOption("FrameFTP_ProxyAuth", "Proxy Authentication");
    QLineEdit* user = AddText("proxy_username", "Proxy Username");
    QLineEdit* pass = AddText("proxy_password", "Proxy Password", {}, {}, 0, true);
    RequireWhen("proxy_ip", "FTP Proxy IP", [this] { return proxy_->isChecked(); });
    RequireWhen("proxy_port", "FTP Proxy Port", [this] { return proxy_->isChecked(); });
    EnableWith(proxy_, {ip, port, type, proxyAuth_});
    EnableWith(proxyAuth_, {user, pass});
    SetFixed("auth_type", "0");
    SetFixed("tls_type", "0");
    Reset();
}

void TFrameFTPForm::Load(const ServiceRow& row) {
    proxy_->setChecked(!row.Get("proxy_ip").empty() && row.GetInt("proxy_port", 0) != 0);
    proxyAuth_->setChecked(!row.Get("proxy_username").empty() || !row.Get("proxy_password").empty());
    TFrameServiceForm::Load(row);
}

void TFrameFTPForm::Store(ServiceRow& row) const {
    TFrameServiceForm::Store(row);
    if (!proxy_->isChecked()) {
        for (const char* c : {"proxy_ip", "proxy_username", "proxy_password"}) {
            row.Set(c, "");
        }
        row.Set("proxy_port", "0");
    } else if (!proxyAuth_->isChecked()) {
        row.Set("proxy_username", "");
        row.Set("proxy_password", "");
    }
}

} // namespace velmora
