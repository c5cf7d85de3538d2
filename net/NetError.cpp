#include "NetError.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace velmora::net {

int Deadline::RemainingMs() const {
    const auto left = at_ - Clock::now();
    if (left <= Clock::duration::zero()) {
        return 0;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > 0x7fffffff ? 0x7fffffff : static_cast<int>(ms);
}

std::string ConnectErrorEnding(const std::exception& e) {
    if (const auto* ne = dynamic_cast<const NetError*>(&e)) {
        switch (ne->kind()) {
        case NetErrorKind::NoHost: return "ERR10001 Host/IP required]";
        case NetErrorKind::NoPort: return "ERR10002 Port required]";
        case NetErrorKind::Socket: return "ERR10003 Invalid Host/IP]";
        case NetErrorKind::ConnectTimeout: return "ERR10004 Invalid Port]";
        default: break;
        }
    }
    return Trim(e.what()) + "]";
}

std::string ConnectErrorText(std::string_view prefix, const std::exception& e) {
    return std::string(prefix) + ConnectErrorEnding(e);
}

std::string Trim(std::string_view text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    };
    size_t b = 0, e = text.size();
    while (b < e && blank(text[b])) ++b;
    while (e > b && blank(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

std::string ToUpper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

std::string ErrnoText(int err) {
    char buf[256];
    // GNU strerror_r returns the text, which may or may not be buf.
    const char* t = strerror_r(err, buf, sizeof buf);
    return t ? std::string(t) : std::string("error ") + std::to_string(err);
}

} // namespace velmora::net
