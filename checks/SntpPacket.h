#pragma once
// The SNTP datagrams of the SNTP check and the texts of its time comparison.
//
// A request is 48 bytes: first byte 0x1B (no leap warning, version 3, client mode), the
// transmit time (bytes 40..47) set to the local clock, everything else 0. The server's
// time is the transmit time of its answer, which must be at least 48 bytes long.
#include "foundation/Clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::sntp {

inline constexpr size_t kPacketSize = 48;
// Seconds between the NTP era origin (1900-01-01 00:00 UTC) and the Unix epoch.
inline constexpr long long kNtpToUnix = 2208988800LL;

// The time point of an NTP timestamp (seconds and 2^-32 fractions since 1900). Seconds with
// the top bit clear are taken from the next era (after 2036), as RFC 4330 advises, except
// the all-zero timestamp, which stays the era origin.
TimePoint FromNtp(uint32_t seconds, uint32_t fraction);
// The NTP timestamp of a time point (era 0 / era 1 by the same rule).
void ToNtp(TimePoint t, uint32_t& seconds, uint32_t& fraction);

// The time shown when no server time was received: the NTP era origin.
TimePoint ZeroTime();

std::string BuildRequest(TimePoint now);
// The transmit time of an answer; nullopt when it is shorter than 48 bytes.
std::optional<TimePoint> TransmitTime(std::string_view answer);

// "yyyy-MM-dd HH:mm:ss.zzz", local time.
std::string FormatServerTime(TimePoint t);

// |server - local| in whole milliseconds (rounded to nearest).
long long DifferenceMs(TimePoint server, TimePoint local);

// The text appended to "[host:port SNTP Connection Succeed]" when the comparison is on,
// and whether the check passes: a difference smaller than the limit passes with
// " [SNTP Server Time = <time>]"; otherwise it fails with
// " [SNTP Server Time = <time>: Time Different greater than <limit>s]".
struct Comparison {
    bool passed = false;
    std::string text;
};
Comparison Compare(TimePoint server, TimePoint local, long long limitMs);

} // namespace velmora::sntp
