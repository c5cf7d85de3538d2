#pragma once
// Errors, timeouts and deadlines shared by every network client of the checks and the alarm
// senders.
//
// Every failure of the net layer is thrown as one NetError. Its kind tells the checks how to
// classify a connect error (ConnectErrorEnding); its message is a plain sentence that can be
// shown to the administrator as it is.
#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velmora::net {

enum class NetErrorKind {
    NoHost,          // the host text is empty
    NoPort,          // the port is 0
    Socket,          // name does not resolve, connection refused / unreachable, socket failure
    ConnectTimeout,  // the connection attempt did not finish within the connection timeout
    ReadTimeout,     // a read or write did not finish within the read timeout
    Closed,          // the peer closed the connection
    Tls,             // TLS settings, handshake or record layer
    Protocol,        // the peer sent something the protocol does not allow
    Other,
};

class NetError : public std::runtime_error {
public:
    NetError(NetErrorKind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}
    NetErrorKind kind() const { return kind_; }

private:
    NetErrorKind kind_;
};

// A stored timeout in ms: 0 or less means 5000.
inline long long EffectiveTimeout(long long ms) { return ms <= 0 ? 5000 : ms; }

// A point in time by which an operation must be finished.
class Deadline {
public:
    using Clock = std::chrono::steady_clock;
    explicit Deadline(Clock::time_point at) : at_(at) {}
    // `ms` from now; the value is taken as it is (apply EffectiveTimeout first where needed).
    static Deadline In(long long ms) { return Deadline(Clock::now() + std::chrono::milliseconds(ms)); }
    Clock::time_point At() const { return at_; }
    bool Expired() const { return Clock::now() >= at_; }
    // Milliseconds left, rounded up, for poll(); 0 when expired.
    int RemainingMs() const;
    // The earlier of the two.
    Deadline Min(const Deadline& other) const { return Deadline(at_ < other.at_ ? at_ : other.at_); }

private:
    Clock::time_point at_;
};

// The ending of a check's connect-error text for an error caught while connecting:
//   NoHost         -> "ERR10001 Host/IP required]"
//   NoPort         -> "ERR10002 Port required]"
//   Socket         -> "ERR10003 Invalid Host/IP]"
//   ConnectTimeout -> "ERR10004 Invalid Port]"
//   anything else  -> the error's message trimmed of blanks, then "]"
// A std::exception that is not a NetError counts as "anything else".
std::string ConnectErrorEnding(const std::exception& e);
// prefix + ConnectErrorEnding(e), e.g. ConnectErrorText(" TCP Connection Error:", e).
// The caller puts "[" + host + ":" + port in front.
std::string ConnectErrorText(std::string_view prefix, const std::exception& e);

// Blanks (space, tab, CR, LF, VT, FF) removed from both ends.
std::string Trim(std::string_view text);
// ASCII upper case.
std::string ToUpper(std::string_view text);
// errno as text, e.g. "Connection refused".
std::string ErrnoText(int err);

} // namespace velmora::net
