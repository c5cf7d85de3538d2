#include "LineClient.h"

#include <cctype>
#include <strings.h>

namespace velmora::net {

int NumericReply::Number() const {
    if (code.size() != 3 || !std::isdigit(static_cast<unsigned char>(code[0])) ||
        !std::isdigit(static_cast<unsigned char>(code[1])) ||
        !std::isdigit(static_cast<unsigned char>(code[2]))) {
        return 0;
    }
    return std::stoi(code);
}

bool NumericReplyParser::Add(const std::string& line) {
    if (complete_) {
        return true;
    }
    if (line.empty()) {
        return false;
    }
    lines_.push_back(line);
    const std::string& first = lines_.front();
    if (lines_.size() == 1) {
        complete_ = !(first.size() >= 4 && first[3] == '-');
        return complete_;
    }
    complete_ = line.size() < 4 || (line.compare(0, 3, first, 0, 3) == 0 && line[3] == ' ');
    return complete_;
}

NumericReply NumericReplyParser::Take() {
    NumericReply r;
    if (!lines_.empty()) {
        r.code = lines_.back().substr(0, 3);
    }
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0) {
            r.text += "\r\n";
        }
        if (lines_[i].size() > 4) {
            r.text += lines_[i].substr(4);
        }
    }
    r.lines = std::move(lines_);
    lines_.clear();
    complete_ = false;
    return r;
}

OkReply ParseOkReply(const std::string& line) {
    OkReply r;
    r.line = line;
    size_t skip = 0;
    if (line.size() >= 3 && strncasecmp(line.c_str(), "+OK", 3) == 0) {
        r.ok = true;
        skip = 3;
    } else if (line.size() >= 4 && strncasecmp(line.c_str(), "-ERR", 4) == 0) {
        skip = 4;
    }
    if (skip < line.size() && line[skip] == ' ') {
        ++skip;
    }
    r.text = skip ? line.substr(skip) : line;
    return r;
}

NumericReply LineClient::ReadNumericReply() { return ReadNumericReply(ReadDeadline()); }

NumericReply LineClient::ReadNumericReply(const Deadline& deadline) {
    NumericReplyParser parser;
    size_t count = 0;
    while (!parser.Add(ReadLine(deadline))) {
        if (++count > 100000) {
            throw NetError(NetErrorKind::Protocol, "Reply has too many lines.");
        }
    }
    return parser.Take();
}

OkReply LineClient::ReadOkReply() { return ParseOkReply(ReadLine()); }

NumericReply LineClient::Command(const std::string& line) {
    WriteLine(line);
    return ReadNumericReply();
}

OkReply LineClient::CommandOk(const std::string& line) {
    WriteLine(line);
    return ReadOkReply();
}

} // namespace velmora::net
