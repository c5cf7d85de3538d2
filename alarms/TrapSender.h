#pragma once
// The engine's one SNMP trap sender (Net-SNMP). SNMP deliveries hold it exclusively one at
// a time (Acquire) and reset it to its defaults first, so nothing set by an earlier
// delivery carries over. Every operation either succeeds or throws std::runtime_error with
// the library's text.
#include <mutex>
#include <string>

namespace velmora {

class TrapSender {
public:
    // Defaults: local port 161, SNMP version 2c, no local engine id, no local host,
    // trap port 162, library default community and enterprise.
    TrapSender();

    // Exclusive use for one delivery.
    std::unique_lock<std::mutex> Acquire() { return std::unique_lock<std::mutex>(mutex_); }
    void Reset();

    void Deactivate() { active_ = false; }
    void Activate() { active_ = true; }
    void SetLocalEngineId(const std::string& id) { localEngineId_ = id; }
    void SetLocalHost(const std::string& host) { localHost_ = host; }
    void SetLocalPort(int port) { localPort_ = port; }
    // 1, 2 (2c) or 3.
    void SetVersion(int version);
    // "TrapPort=162", "TrapCommunity=private", "TrapEnterprise=1.3.6.1.4.1.9999".
    void Config(const std::string& setting);

    // Version 1: `trapOid` is "generic.specific" (e.g. "6.1"); a longer OID is sent as an
    // enterprise-specific trap with its last number as the specific trap (and, when no
    // enterprise is configured, the rest of the OID as the enterprise).
    // Version 2c: a trap with sysUpTime.0 and snmpTrapOID.0 = trapOid.
    void SendTrap(const std::string& host, const std::string& trapOid);
    // Version 3, authNoPriv with SHA: user and password (at least 8 characters).
    void SendSecureTrap(const std::string& host, const std::string& trapOid, const std::string& user,
                        const std::string& password);

    int Version() const { return version_; }
    int LocalPort() const { return localPort_; }
    const std::string& Community() const { return community_; }

private:
    void Send(const std::string& host, const std::string& trapOid, const std::string* user,
              const std::string* password);

    std::mutex mutex_;
    bool active_ = false;
    std::string localEngineId_, localHost_;
    int localPort_ = 161;
    int version_ = 2;
    int trapPort_ = 162;
    std::string community_;    // empty: the library default ("public")
    std::string enterprise_;   // empty: the library default
};

} // namespace velmora
