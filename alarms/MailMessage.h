#pragma once
// The alarm e-mail: addresses, header and the text of the DATA phase.
#include <string>
#include <vector>

namespace velmora {

// Splits a recipient text at every "," or ";" outside double quotes and parentheses; blanks
// around an entry and empty entries are dropped.
std::vector<std::string> SplitAddressList(const std::string& text);
// The address of an entry: the part inside "<...>" when present, else the trimmed entry.
std::string AddressOf(const std::string& entry);

struct MailMessage {
    std::string from;                 // as configured, optionally with a display name
    std::vector<std::string> to;      // entries of the recipient text
    std::string subject;
    std::string body;
    std::string mailer;               // X-Mailer, none when empty

    // Header and body as sent after DATA, CR LF line ends, dot-stuffed, without the final
    // "." line. `date` is an RFC 5322 date, `messageId` the whole "<...>".
    std::string Render(const std::string& date, const std::string& messageId) const;
};

// The current local time in RFC 5322 form ("Fri, 11 Dec 2026 12:00:00 +0000").
std::string MailDateNow();
// Lines that start with "." get a second one; LF and lone CR become CR LF.
std::string DotStuff(const std::string& text);

} // namespace velmora
