#pragma once
// The Telnet client's side of option negotiation: it refuses every option. A DO is answered
// with WONT and a WILL with DONT, each (verb, option) pair at most once per connection, so a
// server that floods the same requests gets a bounded number of answers. DONT and WONT need
// no answer (every option is already off); subnegotiations are skipped. Everything else is
// data, which the check discards.
#include <array>
#include <string>
#include <string_view>

namespace velmora {

class TelnetNegotiation {
public:
    static constexpr unsigned char IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251,
                                   SB = 250, SE = 240;

    // Consumes received bytes; returns the bytes to send back (possibly empty). `dataBytes`
    // (optional) counts the plain data bytes seen.
    std::string Feed(std::string_view bytes, size_t* dataBytes = nullptr);

    // The characters of `text` as Telnet data (IAC doubled).
    static std::string Escape(std::string_view text);

private:
    enum class State { Data, Iac, Verb, Sub, SubIac };
    State state_ = State::Data;
    unsigned char verb_ = 0;
    std::array<bool, 256> refusedDo_{};    // answered WONT
    std::array<bool, 256> refusedWill_{};  // answered DONT
};

} // namespace velmora
