#include "alarms/SmppClient.h"

#include "alarms/SmppPdu.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora {

using namespace std::chrono;

SmppClient::~SmppClient() { Disconnect(); }

int SmppClient::Connect(const std::string& host, int port) {
    if (state_ != State::Disconnected) return kWrongState;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    const std::string service = std::to_string(port);
    if (host.empty() || getaddrinfo(host.c_str(), service.c_str(), &hints, &res) != 0 || !res) {
        return EHOSTUNREACH;
    }
    int err = ECONNREFUSED;
    for (addrinfo* a = res; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            err = errno;
            continue;
        }
        if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
            fd_ = fd;
            break;
        }
        err = errno;
        ::close(fd);
    }
    freeaddrinfo(res);
    if (fd_ < 0) return err;
    const int one = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    state_ = State::Connected;
    return 0;
}

void SmppClient::Write(const std::string& pdu) {
    std::lock_guard lock(writeMutex_);
    if (fd_ < 0) throw std::runtime_error("Socket is not connected.");
    size_t done = 0;
    while (done < pdu.size()) {
        const ssize_t n = ::send(fd_, pdu.data() + done, pdu.size() - done, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error(std::strerror(errno));
        }
        done += static_cast<size_t>(n);
    }
    std::lock_guard l2(mutex_);
    lastSend_ = steady_clock::now();
}

int SmppClient::Request(const std::string& pdu, uint32_t respId) {
    {
        std::lock_guard lock(mutex_);
        waiting_ = true;
        waitFor_ = respId;
        answered_ = false;
        answerBody_.clear();
    }
    try {
        Write(pdu);
    } catch (...) {
        std::lock_guard lock(mutex_);
        waiting_ = false;
        throw;
    }
    std::unique_lock lock(mutex_);
    const bool got = cv_.wait_for(lock, milliseconds(responseTimeoutMs_), [&] { return answered_; });
    waiting_ = false;
    if (!got) return kTimeout;
    return answer_;
}

void SmppClient::EndWaits(int result) {
    std::lock_guard lock(mutex_);
    if (waiting_ && !answered_) {
        answered_ = true;
        answer_ = result;
    }
    cv_.notify_all();
}

bool SmppClient::ReadExact(std::string& out, size_t n) {
    out.clear();
    char buf[4096];
    while (out.size() < n) {
        {
            std::lock_guard lock(mutex_);
            if (stop_) return false;
        }
        pollfd p{fd_, POLLIN, 0};
        const int r = ::poll(&p, 1, 100);
        if (r < 0 && errno != EINTR) return false;
        if (r <= 0) continue;
        const size_t want = std::min(n - out.size(), sizeof buf);
        const ssize_t got = ::recv(fd_, buf, want, 0);
        if (got <= 0) {
            if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            return false;
        }
        out.append(buf, static_cast<size_t>(got));
    }
    return true;
}

void SmppClient::ReceiveLoop() {
    std::string head, body;
    for (;;) {
        if (!ReadExact(head, smpp::kHeaderLength)) break;
        const auto h = *smpp::ParseHeader(head);
        if (h.length < smpp::kHeaderLength || h.length > smpp::kMaxPduLength) break;
        if (!ReadExact(body, h.length - smpp::kHeaderLength)) break;
        if (h.id == smpp::kEnquireLink) {
            try {
                Write(smpp::EnquireLinkResp(h.sequence));
            } catch (...) {
                break;
            }
            continue;
        }
        std::lock_guard lock(mutex_);
        if (h.id == smpp::kEnquireLinkResp && kaWaiting_) {
            kaAnswered_ = true;
            cv_.notify_all();
            continue;
        }
        if (!waiting_ || answered_) continue;
        const bool bindResp = h.id == smpp::kBindTransmitterResp || h.id == smpp::kBindReceiverResp ||
                              h.id == smpp::kBindTransceiverResp;
        if (h.id == smpp::kGenericNack) {
            answer_ = kGenericNack;
        } else if (h.id == waitFor_ || (bindResp && waitFor_ == smpp::kBindTransmitterResp)) {
            answer_ = static_cast<int>(h.status);
            if (h.id == smpp::kSubmitSmResp) answerBody_ = body;
        } else {
            continue;
        }
        answered_ = true;
        cv_.notify_all();
    }
    // The connection failed, was closed, or carried a PDU with an impossible length.
    bool stopping;
    {
        std::lock_guard lock(mutex_);
        stopping = stop_;
        stop_ = true;   // ends the keep-alive watch
    }
    if (!stopping) state_ = State::Disconnected;
    EndWaits(kConnectionLost);
}

void SmppClient::KeepAliveLoop() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        const auto due = lastSend_ + milliseconds(keepAliveIntervalMs_);
        if (cv_.wait_until(lock, due, [&] { return stop_; })) break;
        if (steady_clock::now() < lastSend_ + milliseconds(keepAliveIntervalMs_)) continue;
        if (waiting_ || state_ != State::Bound) {
            lastSend_ = steady_clock::now();
            continue;
        }
        kaWaiting_ = true;
        kaAnswered_ = false;
        lock.unlock();
        bool ok = true;
        try {
            Write(smpp::EnquireLink(smpp::NextSequence()));
        } catch (...) {
            ok = false;
        }
        lock.lock();
        if (ok) ok = cv_.wait_for(lock, milliseconds(responseTimeoutMs_), [&] { return kaAnswered_ || stop_; });
        kaWaiting_ = false;
        if (stop_) break;
        if (!ok || !kaAnswered_) {
            // No answer to the keep-alive: stop receiving; the connection counts as lost.
            stop_ = true;
            state_ = State::Disconnected;
            cv_.notify_all();
            break;
        }
    }
}

void SmppClient::StartThreads() {
    {
        std::lock_guard lock(mutex_);
        stop_ = false;
        lastSend_ = steady_clock::now();
    }
    receiver_ = std::thread([this] { ReceiveLoop(); });
    if (keepAlive_) keepAliveThread_ = std::thread([this] { KeepAliveLoop(); });
}

void SmppClient::StopThreads() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    cv_.notify_all();
    if (receiver_.joinable()) receiver_.join();
    if (keepAliveThread_.joinable()) keepAliveThread_.join();
}

int SmppClient::BindTransmitter(const std::string& systemId, const std::string& password,
                                const std::string& systemType, int version, int ton, int npi,
                                const std::string& addressRange) {
    if (state_ != State::Connected) return kWrongState;
    StartThreads();
    state_ = State::Binding;
    const int r = Request(smpp::BindTransmitter(smpp::NextSequence(), systemId, password, systemType,
                                                version, ton, npi, addressRange),
                          smpp::kBindTransmitterResp);
    lastStatus_ = r;
    if (r == 0 && state_ == State::Binding) state_ = State::Bound;
    return r;
}

int SmppClient::SubmitMessage(const std::string& destination, int destTon, int destNpi,
                              const std::string& source, int sourceTon, int sourceNpi,
                              const std::string& text) {
    if (state_ != State::Bound) return kWrongState;
    const int r = Request(smpp::SubmitSm(smpp::NextSequence(), sourceTon, sourceNpi, source, destTon,
                                         destNpi, destination, smpp::EncodeShortMessage(text)),
                          smpp::kSubmitSmResp);
    lastStatus_ = r;
    if (r == 0) {
        std::lock_guard lock(mutex_);
        messageId_ = smpp::FirstCString(answerBody_);
    }
    return r;
}

int SmppClient::Unbind() {
    if (state_ != State::Bound) return 0;
    const int r = Request(smpp::Unbind(smpp::NextSequence()), smpp::kUnbindResp);
    lastStatus_ = r;
    if (r == 0) {
        StopThreads();
        state_ = State::Connected;
    }
    return r;
}

void SmppClient::Disconnect() {
    if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
    StopThreads();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    state_ = State::Disconnected;
}

} // namespace velmora
