#include "TelnetNegotiation.h"

namespace velmora {

std::string TelnetNegotiation::Feed(std::string_view bytes, size_t* dataBytes) {
    std::string reply;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        switch (state_) {
        case State::Data:
            if (c == IAC)
                state_ = State::Iac;
            else if (dataBytes)
                ++*dataBytes;
            break;
        case State::Iac:
            if (c == DO || c == DONT || c == WILL || c == WONT) {
                verb_ = c;
                state_ = State::Verb;
            } else if (c == SB) {
                state_ = State::Sub;
            } else {
                if (c == IAC && dataBytes) ++*dataBytes;  // an escaped data byte 255
                state_ = State::Data;                     // other commands carry no option
            }
            break;
        case State::Verb:
            if (verb_ == DO && !refusedDo_[c]) {
                refusedDo_[c] = true;
                reply += static_cast<char>(IAC);
                reply += static_cast<char>(WONT);
                reply += static_cast<char>(c);
            } else if (verb_ == WILL && !refusedWill_[c]) {
                refusedWill_[c] = true;
                reply += static_cast<char>(IAC);
                reply += static_cast<char>(DONT);
                reply += static_cast<char>(c);
            }
            state_ = State::Data;
            break;
        case State::Sub:
            if (c == IAC) state_ = State::SubIac;
            break;
        case State::SubIac:
            state_ = c == SE ? State::Data : State::Sub;
            break;
        }
    }
    return reply;
}

std::string TelnetNegotiation::Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        out += ch;
        if (static_cast<unsigned char>(ch) == IAC) out += ch;
    }
    return out;
}

} // namespace velmora
