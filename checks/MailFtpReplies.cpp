#include "MailFtpReplies.h"

#include "MailFtpText.h"

#include <cctype>

namespace velmora::mailftp {

namespace {

bool ThreeDigits(const std::string& code) {
    return code.size() == 3 && std::isdigit(static_cast<unsigned char>(code[0])) &&
           std::isdigit(static_cast<unsigned char>(code[1])) &&
           std::isdigit(static_cast<unsigned char>(code[2]));
}

[[noreturn]] void Invalid(std::string_view what, const std::string& line) {
    throw net::NetError(net::NetErrorKind::Protocol,
                        std::string(what) + ": \"" + SafeText(line, 200) + "\"");
}

} // namespace

net::NumericReply ReadCodedReply(net::LineClient& client, const net::Deadline& deadline) {
    net::NumericReplyParser parser;
    size_t bytes = 0;
    size_t lines = 0;
    for (;;) {
        std::string line = client.ReadLine(deadline);
        bytes += line.size();
        if (++lines > kMaxReplyLines || bytes > kMaxReplyBytes) {
            throw net::NetError(net::NetErrorKind::Protocol, "Reply too long.");
        }
        if (parser.Add(line)) {
            break;
        }
    }
    net::NumericReply reply = parser.Take();
    // Every line of a multi-line reply but the last may carry any text; the reply's code is
    // the last line's, and it must be a number.
    if (!ThreeDigits(reply.code)) {
        Invalid("Invalid reply without a reply code", reply.lines.back());
    }
    return reply;
}

net::NumericReply CodedCommand(net::LineClient& client, const std::string& line) {
    client.WriteLine(line);
    return ReadCodedReply(client);
}

void ExpectCode(const net::NumericReply& reply, std::initializer_list<int> codes) {
    const int n = reply.Number();
    for (int c : codes) {
        if (n == c) {
            return;
        }
    }
    std::string text = SafeText(reply.text);
    if (TrimBlanks(text).empty()) {
        text = "Unexpected reply " + reply.code + ".";
    }
    throw ReplyError(text);
}

net::OkReply ReadOkOrErr(net::LineClient& client) {
    const std::string line = client.ReadLine();
    const auto starts = [&](std::string_view word) {
        if (line.size() < word.size()) {
            return false;
        }
        for (size_t i = 0; i < word.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(line[i])) != word[i]) {
                return false;
            }
        }
        // The status word stands alone: "+OKAY" is not "+OK".
        return line.size() == word.size() || line[word.size()] == ' ';
    };
    if (!starts("+OK") && !starts("-ERR")) {
        Invalid("Invalid reply, neither +OK nor -ERR", line);
    }
    return net::ParseOkReply(line);
}

net::OkReply ExpectOk(net::LineClient& client, const std::string& line) {
    client.WriteLine(line);
    net::OkReply reply = ReadOkOrErr(client);
    if (!reply.ok) {
        std::string text = SafeText(reply.text);
        if (TrimBlanks(text).empty()) {
            text = "-ERR";
        }
        throw ReplyError(text);
    }
    return reply;
}

std::string CommandLine(std::string_view verb, std::string_view argument) {
    if (argument.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        throw net::NetError(net::NetErrorKind::Other,
                            "The value sent with " + std::string(verb) +
                                " contains a line break or NUL character.");
    }
    std::string line(verb);
    line += " ";
    line += argument;
    return line;
}

void InstallTls(net::TcpClient& client, std::unique_ptr<net::TlsLayer> tls, net::TlsSettings settings) {
    if (tls) {
        tls->Configure(std::move(settings));
        client.SetTls(std::move(tls));
    }
}

void SendQuietly(net::LineClient& client, const std::string& line) noexcept {
    try {
        if (client.Connected()) {
            client.WriteLine(line);
        }
    } catch (...) {
    }
}

std::string ErrorEnding(const std::exception& e) {
    if (dynamic_cast<const net::NetError*>(&e) != nullptr) {
        const std::string ending = net::ConnectErrorEnding(e);
        return SafeText(ending.substr(0, ending.size() - 1)) + "]";
    }
    return TrimBlanks(SafeText(e.what())) + "]";
}

std::string ErrorMessage(const std::exception& e) { return TrimBlanks(SafeText(e.what())); }

} // namespace velmora::mailftp
