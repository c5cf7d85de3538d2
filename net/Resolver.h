#pragma once

#include <memory>
#include <netdb.h>
#include <string>

#include "NetError.h"

namespace velmora::net {

// The addresses of a host name, looked up within a time limit.
//
// getaddrinfo() cannot be interrupted, and a resolver that does not answer holds it for the
// system's own retries (several seconds per name server). A check must give up within its
// connection timeout, so a name is looked up on a helper thread and the caller waits only
// until the deadline; a lookup left behind finishes on its own and frees what it found.
// Numeric addresses and an empty host are resolved directly, with no thread.
class Resolved {
public:
    // The list getaddrinfo() returned, or nullptr after a failure.
    const addrinfo* List() const { return list_.get(); }
    bool Ok() const { return list_ != nullptr; }
    // The failure as text: gai_strerror(), the system error for EAI_SYSTEM, or the timeout.
    const std::string& Error() const { return error_; }
    bool TimedOut() const { return timedOut_; }

    static Resolved Lookup(const std::string& host, const std::string& service,
                           const addrinfo& hints, const Deadline& deadline);

private:
    std::shared_ptr<addrinfo> list_;
    std::string error_;
    bool timedOut_ = false;
};

} // namespace velmora::net
