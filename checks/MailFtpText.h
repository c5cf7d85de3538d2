#pragma once
// Result texts and text hygiene shared by the SMTP, POP3, IMAP and FTP checks.
//
// Every result begins with the target, "[" + host + ":" + port, as the other checks do.
// Text that comes from the server (a refused reply, a greeting) passes through SafeText
// before it goes into a result: a hostile or broken server must not be able to put invalid
// UTF-8, control characters or megabytes of text into stored results and alarm messages.
#include <string>
#include <string_view>

namespace velmora::mailftp {

// The protocol names as they appear in the results.
inline constexpr std::string_view kSmtp = "SMTP";
inline constexpr std::string_view kPop3 = "POP3";
inline constexpr std::string_view kImap = "IMAP4";
inline constexpr std::string_view kFtp = "FTP";

// Longest piece of server text kept in a result (bytes, before the "..." mark).
inline constexpr size_t kMaxServerText = 1000;

// Blanks (space, tab, CR, LF, VT, FF) removed from both ends.
std::string TrimBlanks(std::string_view text);

// `raw` as valid UTF-8 for a result: every invalid byte becomes U+FFFD, control characters
// other than TAB, CR and LF become "?", and text longer than `maxBytes` is cut at a
// character boundary and marked with "...".
std::string SafeText(std::string_view raw, size_t maxBytes = kMaxServerText);

// "[" + host + ":" + port
std::string TargetText(std::string_view host, std::string_view port);

// "[host:port <proto> Connection Error:" + ending, where ending is the connect-error
// classification ("ERR10003 Invalid Host/IP]", or a trimmed message followed by "]").
std::string ConnectErrorResult(std::string_view host, std::string_view port,
                               std::string_view proto, std::string_view ending);
// "[host:port <proto> Connection Error]": not connected, though nothing raised an error.
std::string NotConnectedResult(std::string_view host, std::string_view port, std::string_view proto);
// "[host:port <proto> Connection Succeed]"
std::string SucceedResult(std::string_view host, std::string_view port, std::string_view proto);
// " [" + label + the trimmed message + "]", e.g. " [SMTP Authentication Error:...]".
std::string AppendedError(std::string_view label, std::string_view message);

} // namespace velmora::mailftp
