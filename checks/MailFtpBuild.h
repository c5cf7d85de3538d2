#pragma once
// The last step every mail and FTP builder shares: the plain or the TLS variant of the check,
// each with its own protocol client, for the row's host and port.
#include "checks/CheckBuilders.h"
#include "checks/CheckSupport.h"
#include "net/TlsLayer.h"

#include <memory>

namespace velmora {

template <class Check, class Client, class Settings>
std::unique_ptr<CheckItem> MakeMailFtpCheck(const ServiceRow& row, const CheckBuild& b, Settings s) {
    const long long port = PortNumber(PortFromRow(row));
    if (b.tls) {
        return std::make_unique<Check>(b.context, std::make_unique<Client>(), row.Get("ip"), port,
                                       std::move(s), std::make_unique<net::TlsLayer>(), b.tlsSettings);
    }
    return std::make_unique<Check>(b.context, std::make_unique<Client>(), row.Get("ip"), port,
                                   std::move(s));
}

} // namespace velmora
