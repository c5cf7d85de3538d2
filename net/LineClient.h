#pragma once
// The line protocols of the checks and the SMTP alarm (SMTP, POP3, IMAP, FTP, NNTP, SNPP,
// plain TCP commands): a TcpClient plus the two reply forms of line-oriented Internet
// protocols. Every read is bounded by the read timeout (or the deadline given).
//
//   LineClient c;
//   c.SetConnectTimeout(t); c.SetReadTimeout(rt);
//   c.Connect(host, port);                        // TLS right after connect if SetTls was called
//   NumericReply greet = c.ReadNumericReply();    // "220 ready"
//   NumericReply r = c.Command("HELO me");        // send line + read numeric reply
//   OkReply ok = c.CommandOk("USER bob");         // send line + read +OK/-ERR reply
#include "TcpClient.h"

#include <string>
#include <vector>

namespace velmora::net {

// A reply of the form "250-first" ... "250 last".
struct NumericReply {
    std::string code;                // first three characters of the last line ("" if shorter)
    std::string text;                // every line without its first four characters, CR LF between
    std::vector<std::string> lines;  // the lines as received (without CR LF)
    // The code as a number; 0 when it is not three digits.
    int Number() const;
};

// A reply of the form "+OK text" or "-ERR text".
struct OkReply {
    bool ok = false;     // the line begins with "+OK" (compared without regard to case)
    std::string text;    // the rest of the line after "+OK"/"-ERR" and one blank
    std::string line;    // the line as received
};

// Folds already-read lines into a numeric reply (exposed for tests and for protocols that
// read their lines themselves). Empty lines are skipped; when the fourth character of the
// first line is "-", the reply runs on until a line of fewer than four characters or one
// that begins with the same three characters followed by a blank.
class NumericReplyParser {
public:
    // Feeds one line; returns true when the reply is complete.
    bool Add(const std::string& line);
    bool Complete() const { return complete_; }
    NumericReply Take();

private:
    std::vector<std::string> lines_;
    bool complete_ = false;
};

OkReply ParseOkReply(const std::string& line);

class LineClient : public TcpClient {
public:
    // One numeric reply; the whole reply must arrive within the read timeout / deadline.
    NumericReply ReadNumericReply();
    NumericReply ReadNumericReply(const Deadline& deadline);
    // One +OK / -ERR line.
    OkReply ReadOkReply();
    // WriteLine(line) then the reply.
    NumericReply Command(const std::string& line);
    OkReply CommandOk(const std::string& line);
};

} // namespace velmora::net
