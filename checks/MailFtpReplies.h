#pragma once
// Reading and checking the replies of the SMTP, POP3, IMAP and FTP checks on top of the
// net layer's line client, with bounds a misbehaving server cannot get past: every reply must
// arrive within the read timeout, one line is at most the net layer's line limit, and one
// reply at most kMaxReplyBytes / kMaxReplyLines. Server text in error messages is made safe
// (MailFtpText SafeText).
#include "net/LineClient.h"

#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velmora::mailftp {

inline constexpr size_t kMaxReplyBytes = 256 * 1024;
inline constexpr size_t kMaxReplyLines = 1000;

// A reply the server sent in due form but with a code or status the dialogue does not
// accept; the message is the reply's text without its code (made safe).
class ReplyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One numeric reply ("250-..." ... "250 ..."), all of it within `deadline`. A reply whose
// code is not three digits raises a Protocol error that quotes the line.
net::NumericReply ReadCodedReply(net::LineClient& client, const net::Deadline& deadline);
inline net::NumericReply ReadCodedReply(net::LineClient& client) {
    return ReadCodedReply(client, client.ReadDeadline());
}
// Sends `line` and reads the reply.
net::NumericReply CodedCommand(net::LineClient& client, const std::string& line);
// Raises ReplyError with the reply's text unless its code is one of `codes`.
void ExpectCode(const net::NumericReply& reply, std::initializer_list<int> codes);

// One "+OK ..." or "-ERR ..." line; anything else raises a Protocol error quoting the line.
net::OkReply ReadOkOrErr(net::LineClient& client);
// Sends `line`, reads the reply and raises ReplyError with its text unless it is +OK.
net::OkReply ExpectOk(net::LineClient& client, const std::string& line);

// verb + " " + argument, refusing an argument that holds CR, LF or NUL: such a value would
// end the command early and smuggle in a second one.
std::string CommandLine(std::string_view verb, std::string_view argument);

// Applies the service's TLS settings to `tls` and installs it on the client, so the
// handshake runs right after the TCP connection; nothing when `tls` is empty.
void InstallTls(net::TcpClient& client, std::unique_ptr<net::TlsLayer> tls, net::TlsSettings settings);

// Sends `line` if the connection is open and ignores every error (the farewell of a check).
void SendQuietly(net::LineClient& client, const std::string& line) noexcept;

// The ending of a connect-error text ("ERR10003 Invalid Host/IP]", or the trimmed message and
// "]") for any error, with its message made safe.
std::string ErrorEnding(const std::exception& e);
// The message of any error, made safe, for the appended error texts.
std::string ErrorMessage(const std::exception& e);

} // namespace velmora::mailftp
