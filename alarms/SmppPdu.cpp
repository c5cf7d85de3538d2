#include "alarms/SmppPdu.h"

#include <atomic>
#include <map>

namespace velmora::smpp {

namespace {

std::atomic<uint32_t> g_next{0};

void PutU32(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>((v >> 24) & 0xFF));
    out.push_back(static_cast<char>((v >> 16) & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
    out.push_back(static_cast<char>(v & 0xFF));
}

uint32_t GetU32(const std::string& d, size_t at) {
    auto b = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(d[at + i])); };
    return (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
}

// Number fields are one octet: the low octet of the stored integer.
void PutOctet(std::string& out, int v) { out.push_back(static_cast<char>(v & 0xFF)); }

// A C-Octet String; a zero octet inside the text would end it early, so the text stops there.
void PutCString(std::string& out, const std::string& s) {
    out.append(s.c_str());
    out.push_back('\0');
}

std::string Finish(uint32_t id, uint32_t seq, const std::string& body) {
    std::string pdu;
    PutU32(pdu, static_cast<uint32_t>(kHeaderLength + body.size()));
    PutU32(pdu, id);
    PutU32(pdu, 0);
    PutU32(pdu, seq);
    return pdu + body;
}

const std::map<char32_t, unsigned char>& BasicTable() {
    static const std::map<char32_t, unsigned char> table = [] {
        // Code points of the default alphabet, by code 0x00..0x7F (0x1B, the escape, unused).
        static const char32_t codes[128] = {
            U'@', U'£', U'$', U'¥', U'è', U'é', U'ù', U'ì', U'ò', U'Ç', U'\n', U'Ø', U'ø', U'\r', U'Å', U'å',
            U'Δ', U'_', U'Φ', U'Γ', U'Λ', U'Ω', U'Π', U'Ψ', U'Σ', U'Θ', U'Ξ', 0, U'Æ', U'æ', U'ß', U'É',
            U' ', U'!', U'"', U'#', U'¤', U'%', U'&', U'\'', U'(', U')', U'*', U'+', U',', U'-', U'.', U'/',
            U'0', U'1', U'2', U'3', U'4', U'5', U'6', U'7', U'8', U'9', U':', U';', U'<', U'=', U'>', U'?',
            U'¡', U'A', U'B', U'C', U'D', U'E', U'F', U'G', U'H', U'I', U'J', U'K', U'L', U'M', U'N', U'O',
            U'P', U'Q', U'R', U'S', U'T', U'U', U'V', U'W', U'X', U'Y', U'Z', U'Ä', U'Ö', U'Ñ', U'Ü', U'§',
            U'¿', U'a', U'b', U'c', U'd', U'e', U'f', U'g', U'h', U'i', U'j', U'k', U'l', U'm', U'n', U'o',
            U'p', U'q', U'r', U's', U't', U'u', U'v', U'w', U'x', U'y', U'z', U'ä', U'ö', U'ñ', U'ü', U'à',
        };
        std::map<char32_t, unsigned char> t;
        for (int i = 0; i < 128; ++i) {
            if (i != 0x1B) t[codes[i]] = static_cast<unsigned char>(i);
        }
        return t;
    }();
    return table;
}

const std::map<char32_t, unsigned char>& ExtensionTable() {
    static const std::map<char32_t, unsigned char> table = {
        {U'^', 0x14}, {U'{', 0x28}, {U'}', 0x29}, {U'\\', 0x2F},
        {U'[', 0x3C}, {U'~', 0x3D}, {U']', 0x3E}, {U'€', 0x65},
    };
    return table;
}

// Decodes one UTF-8 sequence at `i`; an invalid byte yields U+FFFD and advances by one.
char32_t NextCodePoint(const std::string& s, size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    int len = 0;
    char32_t cp = 0;
    if (c < 0x80) { ++i; return c; }
    if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; }
    else { ++i; return 0xFFFD; }
    if (i + len > s.size()) { ++i; return 0xFFFD; }
    for (int k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) { ++i; return 0xFFFD; }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += len;
    return cp;
}

} // namespace

uint32_t NextSequence() {
    uint32_t cur = g_next.load();
    uint32_t next;
    do {
        next = cur >= 0x7FFFFFFF ? 1 : cur + 1;
    } while (!g_next.compare_exchange_weak(cur, next));
    return cur;
}

void SetNextSequenceForTest(uint32_t next) { g_next.store(next); }

std::string EncodeGsm(const std::string& utf8) {
    std::string out;
    const auto& basic = BasicTable();
    const auto& ext = ExtensionTable();
    for (size_t i = 0; i < utf8.size();) {
        const char32_t cp = NextCodePoint(utf8, i);
        if (auto it = basic.find(cp); it != basic.end()) {
            out.push_back(static_cast<char>(it->second));
        } else if (auto e = ext.find(cp); e != ext.end()) {
            out.push_back('\x1B');
            out.push_back(static_cast<char>(e->second));
        } else {
            out.push_back(' ');
        }
    }
    return out;
}

std::string EncodeShortMessage(const std::string& utf8) {
    std::string octets = EncodeGsm(utf8);
    if (octets.size() <= kMaxMessageOctets) return octets;
    // Walk whole characters so an escape pair is kept or dropped as one.
    size_t keep = 0;
    while (keep < octets.size()) {
        const size_t width = octets[keep] == '\x1B' ? 2 : 1;
        if (keep + width > kMaxMessageOctets) break;
        keep += width;
    }
    octets.resize(keep);
    return octets;
}

std::optional<Header> ParseHeader(const std::string& data) {
    if (data.size() < kHeaderLength) return std::nullopt;
    return Header{GetU32(data, 0), GetU32(data, 4), GetU32(data, 8), GetU32(data, 12)};
}

std::string FirstCString(const std::string& body) {
    const auto z = body.find('\0');
    return z == std::string::npos ? body : body.substr(0, z);
}

std::string BindTransmitter(uint32_t seq, const std::string& systemId, const std::string& password,
                            const std::string& systemType, int version, int ton, int npi,
                            const std::string& addressRange) {
    std::string b;
    PutCString(b, systemId);
    PutCString(b, password);
    PutCString(b, systemType);
    PutOctet(b, version);
    PutOctet(b, ton);
    PutOctet(b, npi);
    PutCString(b, addressRange);
    return Finish(kBindTransmitter, seq, b);
}

std::string SubmitSm(uint32_t seq, int sourceTon, int sourceNpi, const std::string& source,
                     int destTon, int destNpi, const std::string& destination,
                     const std::string& shortMessage) {
    std::string b;
    PutCString(b, "");          // service_type
    PutOctet(b, sourceTon);
    PutOctet(b, sourceNpi);
    PutCString(b, source);
    PutOctet(b, destTon);
    PutOctet(b, destNpi);
    PutCString(b, destination);
    PutOctet(b, 0);             // esm_class
    PutOctet(b, 0);             // protocol_id
    PutOctet(b, 0);             // priority_flag
    PutCString(b, "");          // schedule_delivery_time
    PutCString(b, "");          // validity_period
    PutOctet(b, 1);             // registered_delivery
    PutOctet(b, 0);             // replace_if_present_flag
    PutOctet(b, 0);             // data_coding
    PutOctet(b, 0);             // sm_default_msg_id
    const std::string sm = shortMessage.substr(0, 254);
    PutOctet(b, static_cast<int>(sm.size()));
    b += sm;
    return Finish(kSubmitSm, seq, b);
}

std::string Unbind(uint32_t seq) { return Finish(kUnbind, seq, ""); }
std::string EnquireLink(uint32_t seq) { return Finish(kEnquireLink, seq, ""); }
std::string EnquireLinkResp(uint32_t seq) { return Finish(kEnquireLinkResp, seq, ""); }

} // namespace velmora::smpp
