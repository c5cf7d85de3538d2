#include "Resolver.h"

#include <arpa/inet.h>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace velmora::net {

namespace {

bool IsNumericHost(const std::string& host) {
    unsigned char buf[sizeof(in6_addr)];
    return inet_pton(AF_INET, host.c_str(), buf) == 1 ||
           inet_pton(AF_INET6, host.c_str(), buf) == 1;
}

// One getaddrinfo() call and what it gave: a code, the errno of EAI_SYSTEM, the list.
struct Answer {
    int code = EAI_AGAIN;
    int sysErrno = 0;
    addrinfo* list = nullptr;
};

Answer Call(const std::string& host, const std::string& service, const addrinfo& hints) {
    Answer a;
    a.code =
        ::getaddrinfo(host.c_str(), service.empty() ? nullptr : service.c_str(), &hints, &a.list);
    a.sysErrno = errno;
    if (a.code != 0) {
        a.list = nullptr;
    }
    return a;
}

// Shared by the waiting caller and the lookup thread: the caller takes the list when the
// lookup ends in time; once the caller has given up, the thread frees what it found.
struct Pending {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    Answer answer;
};

} // namespace

Resolved Resolved::Lookup(const std::string& host, const std::string& service,
                          const addrinfo& hints, const Deadline& deadline) {
    Answer answer;
    addrinfo plain{};
    plain.ai_flags = hints.ai_flags;
    plain.ai_family = hints.ai_family;
    plain.ai_socktype = hints.ai_socktype;
    plain.ai_protocol = hints.ai_protocol;
    bool direct = host.empty() || IsNumericHost(host);
    if (!direct) {
        auto pending = std::make_shared<Pending>();
        try {
            std::thread([pending, host, service, plain] {
                Answer a = Call(host, service, plain);
                std::lock_guard lock(pending->mutex);
                if (pending->abandoned) {
                    if (a.list) {
                        ::freeaddrinfo(a.list);
                    }
                    return;
                }
                pending->answer = a;
                pending->finished = true;
                pending->done.notify_all();
            }).detach();
        } catch (const std::system_error&) {
            direct = true; // no thread to be had: look up here, unbounded
        }
        if (!direct) {
            std::unique_lock lock(pending->mutex);
            const auto until = std::chrono::steady_clock::now() +
                               std::chrono::milliseconds(deadline.RemainingMs());
            if (!pending->done.wait_until(lock, until, [&] { return pending->finished; })) {
                pending->abandoned = true;
                Resolved r;
                r.timedOut_ = true;
                r.error_ = "name lookup timed out";
                return r;
            }
            answer = pending->answer;
        }
    }
    if (direct) {
        answer = Call(host, service, plain);
    }
    Resolved r;
    if (answer.code != 0 || !answer.list) {
        r.error_ = answer.code == EAI_SYSTEM ? ErrnoText(answer.sysErrno)
                                             : gai_strerror(answer.code ? answer.code : EAI_NONAME);
        return r;
    }
    r.list_ = std::shared_ptr<addrinfo>(answer.list, &::freeaddrinfo);
    return r;
}

} // namespace velmora::net
