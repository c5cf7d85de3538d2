#pragma once
// The SMPP client of the SMS sender: one TCP connection, bound as a transmitter, with a
// receiver thread and a keep-alive watch. Every operation returns an integer result.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace velmora {

class SmppClient {
public:
    // Results besides 0 (success), a socket error number (failed Connect) and the SMSC's
    // command_status.
    static constexpr int kTimeout = -1;       // no response within the response timeout
    static constexpr int kWrongState = -2;    // the client is not in the state the call needs
    static constexpr int kGenericNack = -3;   // the SMSC answered with generic_nack
    static constexpr int kConnectionLost = -4;// the connection ended while the request waited

    enum class State { Disconnected, Connected, Binding, Bound };

    SmppClient() = default;
    ~SmppClient();
    SmppClient(const SmppClient&) = delete;
    SmppClient& operator=(const SmppClient&) = delete;

    void SetResponseTimeout(int ms) { responseTimeoutMs_ = ms; }
    void SetKeepAlive(bool on, int intervalMs = 10000) {
        keepAlive_ = on;
        keepAliveIntervalMs_ = intervalMs;
    }

    // Opens the TCP connection (the system's own connect timeout applies). 0, or the errno
    // of the failure (EHOSTUNREACH when the host name does not resolve).
    int Connect(const std::string& host, int port);
    int BindTransmitter(const std::string& systemId, const std::string& password,
                        const std::string& systemType, int version, int ton, int npi,
                        const std::string& addressRange);
    // `text` is UTF-8; it is sent in GSM 03.38, cut as EncodeShortMessage says.
    int SubmitMessage(const std::string& destination, int destTon, int destNpi,
                      const std::string& source, int sourceTon, int sourceNpi,
                      const std::string& text);
    int Unbind();
    void Disconnect();

    State GetState() const { return state_.load(); }
    const std::string& MessageId() const { return messageId_; }
    int LastStatus() const { return lastStatus_; }

private:
    // Writes one PDU; throws std::runtime_error with the system's text when writing fails.
    void Write(const std::string& pdu);
    // Sends a request and waits for the response of kind `respId`.
    int Request(const std::string& pdu, uint32_t respId);
    void StartThreads();
    void StopThreads();
    void ReceiveLoop();
    void KeepAliveLoop();
    void EndWaits(int result);
    bool ReadExact(std::string& out, size_t n);

    int fd_ = -1;
    std::atomic<State> state_{State::Disconnected};
    int responseTimeoutMs_ = 5000;
    bool keepAlive_ = true;
    int keepAliveIntervalMs_ = 10000;

    std::mutex writeMutex_;
    std::mutex mutex_;                 // guards the wait state below
    std::condition_variable cv_;
    bool waiting_ = false;
    uint32_t waitFor_ = 0;
    bool answered_ = false;
    int answer_ = 0;
    std::string answerBody_;
    bool kaWaiting_ = false;
    bool kaAnswered_ = false;
    bool stop_ = false;
    std::chrono::steady_clock::time_point lastSend_;

    std::thread receiver_;
    std::thread keepAliveThread_;
    std::string messageId_;
    int lastStatus_ = 0;
};

} // namespace velmora
