#pragma once
// Pieces of the IMAP check's dialogue that need no connection: command tags, quoting of
// arguments, and the reading of one response line.
#include <optional>
#include <string>
#include <string_view>

namespace velmora::imap {

// Command tags "C1", "C2", ... counted per connection.
class Tagger {
public:
    std::string Next() { return "C" + std::to_string(++count_); }
    int Count() const { return count_; }

private:
    int count_ = 0;
};

// An argument as it goes on the command line: unchanged when it is a plain atom (no blank,
// quote, backslash, parenthesis, brace, "%", "*" or control character, and not empty),
// otherwise as a quoted string with '"' and '\' escaped. User names and passwords of the
// usual kind thus go out as they are, and the others still reach the server intact.
std::string Argument(std::string_view value);
// Always a quoted string, with '"' and '\' escaped (the mailbox of SELECT).
std::string Quoted(std::string_view value);

// One response line from the server.
struct Response {
    enum class Kind { Untagged, Tagged, Continuation, Invalid };
    Kind kind = Kind::Invalid;
    std::string tag;      // the tag of a tagged response
    std::string status;   // "OK", "NO", "BAD", "PREAUTH", "BYE" (upper case), else ""
    std::string text;     // the rest after the status word (or after "* " when no status)
    std::optional<long long> exists;  // "* <n> EXISTS"
};
Response ParseResponse(std::string_view line);

// The size of the literal a line announces at its end ("{123}" or "{123+}"), if any.
std::optional<unsigned long long> LiteralSize(std::string_view line);

} // namespace velmora::imap
