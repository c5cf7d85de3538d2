#include "Pop3Apop.h"

#include <openssl/evp.h>

#include <charconv>
#include <stdexcept>

namespace velmora::pop3 {

std::optional<std::string> ApopTimestamp(std::string_view greeting) {
    const size_t open = greeting.find('<');
    if (open == std::string_view::npos) {
        return std::nullopt;
    }
    const size_t close = greeting.find('>', open + 1);
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(greeting.substr(open, close - open + 1));
}

std::string ApopDigest(std::string_view timestamp, std::string_view password) {
    std::string data(timestamp);
    data += password;
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    if (EVP_Digest(data.data(), data.size(), md, &len, EVP_md5(), nullptr) != 1) {
        throw std::runtime_error("MD5 digest not available.");
    }
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < len; ++i) {
        out += hex[md[i] >> 4];
        out += hex[md[i] & 0x0F];
    }
    return out;
}

std::string ApopCommand(std::string_view user, std::string_view timestamp, std::string_view password) {
    std::string c = "APOP ";
    c += user;
    c += " ";
    c += ApopDigest(timestamp, password);
    return c;
}

std::optional<long long> StatMessageCount(std::string_view replyText) {
    const std::string_view first = replyText.substr(0, replyText.find(' '));
    long long n = 0;
    const auto [end, ec] = std::from_chars(first.data(), first.data() + first.size(), n);
    if (first.empty() || ec != std::errc() || end != first.data() + first.size()) {
        return std::nullopt;
    }
    return n;
}

} // namespace velmora::pop3
