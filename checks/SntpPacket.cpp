#include "SntpPacket.h"

#include <cmath>

namespace velmora::sntp {

using namespace std::chrono;

TimePoint FromNtp(uint32_t ntpSeconds, uint32_t fraction) {
    long long secs = ntpSeconds;
    if (ntpSeconds == 0 && fraction == 0) {
        secs = 0;
    } else if ((ntpSeconds & 0x80000000u) == 0) {
        secs += 1LL << 32;  // era 1: from 2036-02-07
    }
    const long long unixSecs = secs - kNtpToUnix;
    const long long micros = (static_cast<long long>(fraction) * 1000000LL) >> 32;
    return TimePoint(duration_cast<system_clock::duration>(seconds(unixSecs) + microseconds(micros)));
}

void ToNtp(TimePoint t, uint32_t& ntpSeconds, uint32_t& fraction) {
    const long long us = duration_cast<microseconds>(t.time_since_epoch()).count();
    long long secs = us / 1000000;
    long long rest = us % 1000000;
    if (rest < 0) {
        rest += 1000000;
        --secs;
    }
    ntpSeconds = static_cast<uint32_t>((secs + kNtpToUnix) & 0xFFFFFFFFLL);
    fraction = static_cast<uint32_t>((static_cast<unsigned long long>(rest) << 32) / 1000000ULL);
}

TimePoint ZeroTime() { return TimePoint(duration_cast<system_clock::duration>(seconds(-kNtpToUnix))); }

static void PutBe32(std::string& out, size_t at, uint32_t v) {
    out[at] = static_cast<char>(v >> 24);
    out[at + 1] = static_cast<char>(v >> 16);
    out[at + 2] = static_cast<char>(v >> 8);
    out[at + 3] = static_cast<char>(v);
}

static uint32_t GetBe32(std::string_view in, size_t at) {
    return (static_cast<uint32_t>(static_cast<unsigned char>(in[at])) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(in[at + 1])) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(in[at + 2])) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(in[at + 3]));
}

std::string BuildRequest(TimePoint now) {
    std::string packet(kPacketSize, '\0');
    packet[0] = static_cast<char>(0x1B);  // LI 0, VN 3, mode 3 (client)
    uint32_t s = 0, f = 0;
    ToNtp(now, s, f);
    PutBe32(packet, 40, s);
    PutBe32(packet, 44, f);
    return packet;
}

std::optional<TimePoint> TransmitTime(std::string_view answer) {
    if (answer.size() < kPacketSize) return std::nullopt;
    return FromNtp(GetBe32(answer, 40), GetBe32(answer, 44));
}

std::string FormatServerTime(TimePoint t) { return FormatDateTimeMs(t); }

long long DifferenceMs(TimePoint server, TimePoint local) {
    const double ms = duration<double, std::milli>(server - local).count();
    return static_cast<long long>(std::llround(std::fabs(ms)));
}

Comparison Compare(TimePoint server, TimePoint local, long long limitMs) {
    Comparison c;
    const long long diff = DifferenceMs(server, local);
    const std::string shown = FormatServerTime(server);
    if (diff < limitMs) {
        c.passed = true;
        c.text = " [SNTP Server Time = " + shown + "]";
    } else {
        c.text = " [SNTP Server Time = " + shown + ": Time Different greater than " +
                 std::to_string(limitMs) + "s]";
    }
    return c;
}

} // namespace velmora::sntp
