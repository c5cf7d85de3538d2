#pragma once
// APOP login of the POP3 check: the greeting's timestamp and the MD5 digest sent with it.
#include <optional>
#include <string>
#include <string_view>

namespace velmora::pop3 {

// The part of the greeting from the first "<" up to and including the next ">", or nothing
// when the greeting has no such part.
std::optional<std::string> ApopTimestamp(std::string_view greeting);

// Lower-case hexadecimal MD5 digest of the timestamp followed by the password.
std::string ApopDigest(std::string_view timestamp, std::string_view password);

// "APOP " + user + " " + ApopDigest(timestamp, password)
std::string ApopCommand(std::string_view user, std::string_view timestamp, std::string_view password);

// The message count of a STAT reply text ("3 465" -> 3): the whole number before the first
// blank. Nothing when that is not a whole number.
std::optional<long long> StatMessageCount(std::string_view replyText);

} // namespace velmora::pop3
