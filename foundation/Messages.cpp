#include "Messages.h"

namespace velmora::msg {

std::string WithError(std::string_view message, std::string_view errorText) {
    std::string s(message);
    s += " : ";
    s += errorText;
    return s;
}

std::string Format(std::string_view pattern, std::string_view arg) {
    std::string s(pattern);
    const auto pos = s.find("%s");
    if (pos != std::string::npos) {
        s.replace(pos, 2, arg);
    }
    return s;
}

std::string Location(std::string_view code, std::string_view errorText) {
    return WithError(code, errorText);
}

std::string LastResort(std::string_view errorText) {
    std::string s = "ERROR : Please send this error message to ";
    s += SupportAddress;
    s += " for trouble solving.";
    return WithError(s, errorText);
}

} // namespace velmora::msg
