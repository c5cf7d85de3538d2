#include "alarms/MailMessage.h"

#include "alarms/TextUtil.h"

#include <ctime>

namespace velmora {

namespace {

bool IsAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80 || c == '\r' || c == '\n') return false;
    return true;
}

std::string Base64(const std::string& in) {
    static const char* t = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(in[i]) << 16) | (static_cast<unsigned char>(in[i + 1]) << 8) |
                           static_cast<unsigned char>(in[i + 2]);
        out += t[v >> 18];
        out += t[(v >> 12) & 63];
        out += t[(v >> 6) & 63];
        out += t[v & 63];
    }
    if (i < in.size()) {
        unsigned v = static_cast<unsigned char>(in[i]) << 16;
        if (i + 1 < in.size()) v |= static_cast<unsigned char>(in[i + 1]) << 8;
        out += t[v >> 18];
        out += t[(v >> 12) & 63];
        out += i + 1 < in.size() ? t[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

// A header value outside printable ASCII as RFC 2047 encoded words (whole UTF-8 characters
// per word, so no word splits a character).
std::string EncodeHeaderValue(const std::string& v) {
    if (IsAscii(v)) return v;
    std::string out, chunk;
    auto flush = [&] {
        if (chunk.empty()) return;
        if (!out.empty()) out += "\r\n ";
        out += "=?UTF-8?B?" + Base64(chunk) + "?=";
        chunk.clear();
    };
    for (size_t i = 0; i < v.size();) {
        size_t len = 1;
        const auto c = static_cast<unsigned char>(v[i]);
        if (c >= 0xF0) len = 4;
        else if (c >= 0xE0) len = 3;
        else if (c >= 0xC0) len = 2;
        if (chunk.size() + len > 45) flush();
        const char ch = v[i];
        chunk += (ch == '\r' || ch == '\n') ? std::string(" ") : v.substr(i, len);
        i += len;
    }
    flush();
    return out;
}

} // namespace

std::vector<std::string> SplitAddressList(const std::string& text) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false;
    int parens = 0;
    auto push = [&] {
        const std::string t = Trim(cur);
        if (!t.empty()) out.push_back(t);
        cur.clear();
    };
    for (char c : text) {
        if (c == '"' && parens == 0) quoted = !quoted;
        else if (!quoted && c == '(') ++parens;
        else if (!quoted && c == ')' && parens > 0) --parens;
        if (!quoted && parens == 0 && (c == ',' || c == ';')) {
            push();
            continue;
        }
        cur += c;
    }
    push();
    return out;
}

std::string AddressOf(const std::string& entry) {
    const auto lt = entry.rfind('<');
    const auto gt = entry.rfind('>');
    if (lt != std::string::npos && gt != std::string::npos && gt > lt) return Trim(entry.substr(lt + 1, gt - lt - 1));
    return Trim(entry);
}

std::string DotStuff(const std::string& text) {
    std::string out;
    bool lineStart = true;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
            lineStart = true;
            continue;
        }
        if (lineStart && c == '.') out += '.';
        out += c;
        lineStart = false;
    }
    return out;
}

std::string MailDateNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const long off = tm.tm_gmtoff / 60;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %d %s %d %02d:%02d:%02d %c%02ld%02ld", days[tm.tm_wday], tm.tm_mday,
                  months[tm.tm_mon], tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec, off < 0 ? '-' : '+',
                  (off < 0 ? -off : off) / 60, (off < 0 ? -off : off) % 60);
    return buf;
}

std::string MailMessage::Render(const std::string& date, const std::string& messageId) const {
    std::string h;
    // Values never break the header: a CR or LF inside one becomes a blank (encoded words
    // bring their own folding).
    auto add = [&](const std::string& name, std::string value) {
        if (name != "Subject" && name != "X-Mailer")
            for (char& c : value)
                if (c == '\r' || c == '\n') c = ' ';
        h += name + ": " + value + "\r\n";
    };
    add("Date", date);
    add("From", from);
    add("Reply-To", from);
    std::string toLine;
    for (size_t i = 0; i < to.size(); ++i) toLine += (i ? ", " : "") + to[i];
    add("To", toLine);
    add("Subject", EncodeHeaderValue(subject));
    add("Message-ID", messageId);
    add("MIME-Version", "1.0");
    add("Content-Type", "text/plain; charset=UTF-8");
    add("Content-Transfer-Encoding", "8bit");
    if (!mailer.empty()) add("X-Mailer", EncodeHeaderValue(mailer));
    return DotStuff(h + "\r\n" + body + "\r\n");
}

} // namespace velmora
