#include "alarms/TrapSender.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace velmora {

namespace {

constexpr const char* kDefaultCommunity = "public";
// Enterprise of a version 1 trap when none is configured.
constexpr const char* kDefaultEnterprise = "1.3.6.1.4.1.3.1.1";

std::once_flag g_init;

void InitLibrary() {
    std::call_once(g_init, [] {
        // The sender is configured only through this class: no configuration files, no
        // persistent state, no MIB files.
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES, 1);
        setenv("MIBS", "", 0);
        init_snmp("velmora-trap");
    });
}

std::vector<oid> ParseOid(const std::string& text) {
    std::vector<oid> out;
    if (text.empty()) throw std::runtime_error("Empty OID.");
    size_t i = text[0] == '.' ? 1 : 0;
    while (i <= text.size()) {
        size_t j = i;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
        if (j == i || j - i > 10 || (j < text.size() && text[j] != '.'))
            throw std::runtime_error("Invalid OID: " + text);
        const unsigned long v = std::strtoul(text.substr(i, j - i).c_str(), nullptr, 10);
        if (v > 0xFFFFFFFFul) throw std::runtime_error("Invalid OID: " + text);
        out.push_back(static_cast<oid>(v));
        if (j == text.size()) break;
        i = j + 1;
        if (i == text.size()) throw std::runtime_error("Invalid OID: " + text);
    }
    if (out.size() > MAX_OID_LEN) throw std::runtime_error("OID too long: " + text);
    return out;
}

std::string SessionError(netsnmp_session* s) {
    char* text = nullptr;
    int liberr = 0, syserr = 0;
    snmp_error(s, &liberr, &syserr, &text);
    std::string r = text ? text : "SNMP error";
    std::free(text);
    return r;
}

std::string SessError(void* sess) {
    char* text = nullptr;
    int liberr = 0, syserr = 0;
    snmp_sess_error(sess, &liberr, &syserr, &text);
    std::string r = text ? text : "SNMP error";
    std::free(text);
    return r;
}

// An engine id given as hex ("0x8000..." or plain hex digits) is taken as octets; any other
// text as its own bytes.
std::vector<u_char> EngineIdOctets(const std::string& id) {
    std::string hex = id;
    if (hex.size() > 2 && hex[0] == '0' && (hex[1] == 'x' || hex[1] == 'X')) hex = hex.substr(2);
    const bool isHex = !hex.empty() && hex.size() % 2 == 0 &&
                       hex.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    std::vector<u_char> out;
    if (isHex) {
        for (size_t i = 0; i < hex.size(); i += 2)
            out.push_back(static_cast<u_char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    } else {
        out.assign(id.begin(), id.end());
    }
    return out;
}

} // namespace

TrapSender::TrapSender() { InitLibrary(); }

void TrapSender::Reset() {
    active_ = false;
    localEngineId_.clear();
    localHost_.clear();
    localPort_ = 161;
    version_ = 2;
    trapPort_ = 162;
    community_.clear();
    enterprise_.clear();
}

void TrapSender::SetVersion(int version) {
    if (version != 1 && version != 2 && version != 3)
        throw std::runtime_error("Invalid SNMP version " + std::to_string(version) + ".");
    version_ = version;
}

void TrapSender::Config(const std::string& setting) {
    const auto eq = setting.find('=');
    if (eq == std::string::npos) throw std::runtime_error("Invalid configuration setting: " + setting);
    const std::string name = setting.substr(0, eq), value = setting.substr(eq + 1);
    if (name == "TrapPort") {
        char* end = nullptr;
        const long p = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end || p < 0 || p > 65535) throw std::runtime_error("Invalid trap port: " + value);
        trapPort_ = static_cast<int>(p);
    } else if (name == "TrapCommunity") {
        community_ = value;
    } else if (name == "TrapEnterprise") {
        ParseOid(value);
        enterprise_ = value;
    } else {
        throw std::runtime_error("Unknown configuration setting: " + name);
    }
}

void TrapSender::SendTrap(const std::string& host, const std::string& trapOid) {
    Send(host, trapOid, nullptr, nullptr);
}

void TrapSender::SendSecureTrap(const std::string& host, const std::string& trapOid, const std::string& user,
                                const std::string& password) {
    Send(host, trapOid, &user, &password);
}

void TrapSender::Send(const std::string& host, const std::string& trapOid, const std::string* user,
                      const std::string* password) {
    InitLibrary();
    if (host.empty()) throw std::runtime_error("Host/IP required.");
    if (trapPort_ <= 0) throw std::runtime_error("Trap port required.");
    const bool v3 = user != nullptr;
    if (v3 && user->empty()) throw std::runtime_error("SNMPv3 user name required.");
    if (v3 && password->size() < 8) throw std::runtime_error("SNMPv3 password must be at least 8 characters.");
    const std::vector<oid> trap = ParseOid(trapOid);

    // The trap leaves from the local host and port of the settings.
    const std::string client = (localHost_.empty() ? std::string("0.0.0.0") : localHost_) + ":" +
                               std::to_string(localPort_);
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_CLIENT_ADDR, client.c_str());
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_CLIENT_ADDR_USES_PORT, 1);

    netsnmp_session s;
    snmp_sess_init(&s);
    const std::string peer = "udp:" + host + ":" + std::to_string(trapPort_);
    std::vector<char> peerBuf(peer.begin(), peer.end());
    peerBuf.push_back('\0');
    s.peername = peerBuf.data();
    std::string community = community_.empty() ? kDefaultCommunity : community_;
    std::vector<u_char> engineId = EngineIdOctets(localEngineId_);
    std::vector<char> userBuf;
    if (version_ == 1) {
        s.version = SNMP_VERSION_1;
    } else if (!v3) {
        s.version = SNMP_VERSION_2c;
        community = kDefaultCommunity;
    } else {
        s.version = SNMP_VERSION_3;
    }
    s.community = reinterpret_cast<u_char*>(community.data());
    s.community_len = community.size();
    if (v3) {
        userBuf.assign(user->begin(), user->end());
        userBuf.push_back('\0');
        s.securityName = userBuf.data();
        s.securityNameLen = user->size();
        s.securityLevel = SNMP_SEC_LEVEL_AUTHNOPRIV;
        s.securityAuthProto = usmHMACSHA1AuthProtocol;
        s.securityAuthProtoLen = USM_AUTH_PROTO_SHA_LEN;
        s.securityAuthKeyLen = USM_AUTH_KU_LEN;
        if (generate_Ku(s.securityAuthProto, static_cast<u_int>(s.securityAuthProtoLen),
                        reinterpret_cast<const u_char*>(password->data()), password->size(), s.securityAuthKey,
                        &s.securityAuthKeyLen) != SNMPERR_SUCCESS)
            throw std::runtime_error("Error generating a key from the SNMPv3 password.");
        // Traps are sent with the sender as the authoritative engine.
        if (engineId.empty()) {
            size_t len = 0;
            u_char* generated = snmpv3_generate_engineID(&len);
            if (generated) engineId.assign(generated, generated + len);
            std::free(generated);
        }
        s.securityEngineID = engineId.data();
        s.securityEngineIDLen = engineId.size();
        s.contextEngineID = engineId.data();
        s.contextEngineIDLen = engineId.size();
        s.engineBoots = 1;
        s.engineTime = static_cast<u_int>(get_uptime() / 100);
    }

    void* sess = snmp_sess_open(&s);
    if (!sess) throw std::runtime_error(SessionError(&s));
    struct Closer {
        void* p;
        ~Closer() { snmp_sess_close(p); }
    } closer{sess};

    netsnmp_pdu* pdu = nullptr;
    if (version_ == 1) {
        pdu = snmp_pdu_create(SNMP_MSG_TRAP);
        std::vector<oid> ent;
        if (trap.size() == 2 && trap[0] <= 6) {
            pdu->trap_type = static_cast<long>(trap[0]);
            pdu->specific_type = static_cast<long>(trap[1]);
            ent = ParseOid(enterprise_.empty() ? kDefaultEnterprise : enterprise_);
        } else {
            pdu->trap_type = SNMP_TRAP_ENTERPRISESPECIFIC;
            pdu->specific_type = static_cast<long>(trap.back());
            if (!enterprise_.empty()) {
                ent = ParseOid(enterprise_);
            } else {
                ent.assign(trap.begin(), trap.end() - 1);
                if (ent.size() > 1 && ent.back() == 0) ent.pop_back();
            }
        }
        pdu->enterprise = static_cast<oid*>(std::malloc(ent.size() * sizeof(oid)));
        std::memcpy(pdu->enterprise, ent.data(), ent.size() * sizeof(oid));
        pdu->enterprise_length = ent.size();
        in_addr_t agent = get_myaddr();
        if (!localHost_.empty()) inet_pton(AF_INET, localHost_.c_str(), &agent);
        std::memcpy(pdu->agent_addr, &agent, sizeof agent);
        pdu->time = static_cast<u_long>(get_uptime());
    } else {
        pdu = snmp_pdu_create(SNMP_MSG_TRAP2);
        static const oid sysUpTime[] = {1, 3, 6, 1, 2, 1, 1, 3, 0};
        static const oid snmpTrapOid[] = {1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0};
        const long uptime = get_uptime();
        snmp_pdu_add_variable(pdu, sysUpTime, OID_LENGTH(sysUpTime), ASN_TIMETICKS,
                              reinterpret_cast<const u_char*>(&uptime), sizeof uptime);
        snmp_pdu_add_variable(pdu, snmpTrapOid, OID_LENGTH(snmpTrapOid), ASN_OBJECT_ID,
                              reinterpret_cast<const u_char*>(trap.data()), trap.size() * sizeof(oid));
    }
    if (snmp_sess_send(sess, pdu) == 0) {
        const std::string err = SessError(sess);
        snmp_free_pdu(pdu);
        throw std::runtime_error(err);
    }
}

} // namespace velmora
