#pragma once
// SMPP 3.4 PDUs as the SMS sender speaks them, and the GSM 03.38 conversion of the text.
#include <cstdint>
#include <optional>
#include <string>

namespace velmora::smpp {

inline constexpr uint32_t kGenericNack = 0x80000000;
inline constexpr uint32_t kBindReceiverResp = 0x80000001;
inline constexpr uint32_t kBindTransmitter = 0x00000002;
inline constexpr uint32_t kBindTransmitterResp = 0x80000002;
inline constexpr uint32_t kSubmitSm = 0x00000004;
inline constexpr uint32_t kSubmitSmResp = 0x80000004;
inline constexpr uint32_t kUnbind = 0x00000006;
inline constexpr uint32_t kUnbindResp = 0x80000006;
inline constexpr uint32_t kBindTransceiverResp = 0x80000009;
inline constexpr uint32_t kEnquireLink = 0x00000015;
inline constexpr uint32_t kEnquireLinkResp = 0x80000015;

inline constexpr uint32_t kHeaderLength = 16;
// Longest PDU the receiver accepts; a length outside 16..kMaxPduLength means the stream is
// broken and the connection is dropped.
inline constexpr uint32_t kMaxPduLength = 64 * 1024;

// Most octets put into short_message: texts that encode to more are cut to this many
// octets (the length of one single-part message of 160 default-alphabet characters); an
// escape pair counts as two octets and is never split, so a text full of "{" keeps 80.
inline constexpr size_t kMaxMessageOctets = 160;

// The next sequence number of the process-wide counter: starts at 0, after 0x7FFFFFFF the
// next value is 1. Taking and incrementing is one atomic step.
uint32_t NextSequence();
// Sets the counter's next value (tests only).
void SetNextSequenceForTest(uint32_t next);

// UTF-8 text to GSM 03.38 default-alphabet octets (one per character, unpacked). Escape
// characters of the extension table become 0x1B + code; characters outside both tables
// (and bytes that are not valid UTF-8) become a blank. Not cut.
std::string EncodeGsm(const std::string& utf8);
// EncodeGsm, then cut to kMaxMessageOctets without splitting an escape pair.
std::string EncodeShortMessage(const std::string& utf8);

struct Header {
    uint32_t length = 0, id = 0, status = 0, sequence = 0;
};

// Parses the 16-octet header at the start of `data` (nullopt when shorter).
std::optional<Header> ParseHeader(const std::string& data);
// The first C-Octet String of a body (message_id of submit_sm_resp): up to the first zero
// octet or the end.
std::string FirstCString(const std::string& body);

std::string BindTransmitter(uint32_t seq, const std::string& systemId, const std::string& password,
                            const std::string& systemType, int version, int ton, int npi,
                            const std::string& addressRange);
// `shortMessage` is taken as octets (already encoded and cut).
std::string SubmitSm(uint32_t seq, int sourceTon, int sourceNpi, const std::string& source,
                     int destTon, int destNpi, const std::string& destination,
                     const std::string& shortMessage);
std::string Unbind(uint32_t seq);
std::string EnquireLink(uint32_t seq);
std::string EnquireLinkResp(uint32_t seq);

} // namespace velmora::smpp
