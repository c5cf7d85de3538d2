#include "ImapResponse.h"

#include <cctype>
#include <charconv>

namespace velmora::imap {

namespace {

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

bool IsStatus(const std::string& word) {
    return word == "OK" || word == "NO" || word == "BAD" || word == "PREAUTH" || word == "BYE";
}

// Splits "WORD rest" into the word and the rest (without the blank).
std::pair<std::string_view, std::string_view> FirstWord(std::string_view s) {
    const size_t sp = s.find(' ');
    if (sp == std::string_view::npos) {
        return {s, {}};
    }
    return {s.substr(0, sp), s.substr(sp + 1)};
}

} // namespace

std::string Argument(std::string_view value) {
    bool atom = !value.empty();
    for (char ch : value) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c == 0x7F || c == '"' || c == '\\' || c == '(' || c == ')' ||
            c == '{' || c == '%' || c == '*') {
            atom = false;
            break;
        }
    }
    return atom ? std::string(value) : Quoted(value);
}

std::string Quoted(std::string_view value) {
    std::string out = "\"";
    for (char c : value) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

Response ParseResponse(std::string_view line) {
    Response r;
    if (line.empty()) {
        return r;
    }
    if (line[0] == '+') {
        r.kind = Response::Kind::Continuation;
        r.text = std::string(line.size() > 2 ? line.substr(2) : std::string_view{});
        return r;
    }
    auto [tag, rest] = FirstWord(line);
    if (tag.empty()) {
        return r;
    }
    r.kind = tag == "*" ? Response::Kind::Untagged : Response::Kind::Tagged;
    if (r.kind == Response::Kind::Tagged) {
        r.tag = std::string(tag);
    }
    auto [word, after] = FirstWord(rest);
    const std::string status = Upper(word);
    if (IsStatus(status)) {
        r.status = status;
        r.text = std::string(after);
    } else {
        r.text = std::string(rest);
        if (r.kind == Response::Kind::Untagged) {
            // "* 12 EXISTS"
            auto [num, what] = FirstWord(rest);
            long long n = 0;
            const auto [end, ec] = std::from_chars(num.data(), num.data() + num.size(), n);
            if (!num.empty() && ec == std::errc() && end == num.data() + num.size() &&
                Upper(FirstWord(what).first) == "EXISTS") {
                r.exists = n;
            }
        } else {
            // A tagged response must carry OK, NO or BAD.
            r.kind = Response::Kind::Invalid;
        }
    }
    return r;
}

std::optional<unsigned long long> LiteralSize(std::string_view line) {
    if (line.size() < 3 || line.back() != '}') {
        return std::nullopt;
    }
    const size_t open = line.rfind('{');
    if (open == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view digits = line.substr(open + 1, line.size() - open - 2);
    if (!digits.empty() && digits.back() == '+') {
        digits.remove_suffix(1);
    }
    unsigned long long n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return n;
}

} // namespace velmora::imap
