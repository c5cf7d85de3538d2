#include "MailFtpText.h"

namespace velmora::mailftp {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are not one.
size_t Utf8Length(std::string_view s, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) {
        return 1;
    }
    size_t len = 0;
    unsigned min = 0;
    unsigned cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) {
        return 0;
    }
    for (size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

} // namespace

std::string TrimBlanks(std::string_view text) {
    size_t a = 0;
    size_t e = text.size();
    while (a < e && IsBlank(text[a])) {
        ++a;
    }
    while (e > a && IsBlank(text[e - 1])) {
        --e;
    }
    return std::string(text.substr(a, e - a));
}

std::string SafeText(std::string_view raw, size_t maxBytes) {
    std::string out;
    out.reserve(raw.size() < maxBytes ? raw.size() : maxBytes);
    size_t i = 0;
    while (i < raw.size()) {
        const size_t len = Utf8Length(raw, i);
        std::string_view piece;
        if (len == 0) {
            piece = "\xEF\xBF\xBD";
            i += 1;
        } else if (len == 1) {
            const unsigned char c = static_cast<unsigned char>(raw[i]);
            if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F) {
                piece = "?";
            } else {
                piece = raw.substr(i, 1);
            }
            i += 1;
        } else {
            piece = raw.substr(i, len);
            i += len;
        }
        if (out.size() + piece.size() > maxBytes) {
            out += "...";
            return out;
        }
        out += piece;
    }
    return out;
}

std::string TargetText(std::string_view host, std::string_view port) {
    std::string t = "[";
    t += host;
    t += ":";
    t += port;
    return t;
}

std::string ConnectErrorResult(std::string_view host, std::string_view port,
                               std::string_view proto, std::string_view ending) {
    std::string t = TargetText(host, port);
    t += " ";
    t += proto;
    t += " Connection Error:";
    t += ending;
    return t;
}

std::string NotConnectedResult(std::string_view host, std::string_view port, std::string_view proto) {
    std::string t = TargetText(host, port);
    t += " ";
    t += proto;
    t += " Connection Error]";
    return t;
}

std::string SucceedResult(std::string_view host, std::string_view port, std::string_view proto) {
    std::string t = TargetText(host, port);
    t += " ";
    t += proto;
    t += " Connection Succeed]";
    return t;
}

std::string AppendedError(std::string_view label, std::string_view message) {
    std::string t = " [";
    t += label;
    t += TrimBlanks(message);
    t += "]";
    return t;
}

} // namespace velmora::mailftp
