// The table of check types. Each entry stands in its own block so that the types can be
// filled in independently: replace the nullptr of a type by its builder once its class exists.
#include "checks/CheckBuilders.h"

namespace velmora {

const std::vector<CheckType>& CheckTypes() {
    static const std::vector<CheckType> types = {
        // "URL": ThreadURLCheck.cpp
        {"URL", "ERR90022", true, &BuildURLCheck},

        // "Ping": ThreadPingCheck.cpp
        {"Ping", "ERR90023", false, &BuildPingCheck},

        // "SMTP"
        {"SMTP", "ERR90024", true, nullptr},

        // "POP3"
        {"POP3", "ERR90025", true, nullptr},

        // "IMAP"
        {"IMAP", "ERR90026", true, nullptr},

        // "FTP"
        {"FTP", "ERR90027", true, nullptr},

        // "TCP": ThreadTCPCheck.cpp
        {"TCP", "ERR90028", true, &BuildTCPCheck},

        // "UDP": ThreadUDPCheck.cpp
        {"UDP", "ERR90029", false, &BuildUDPCheck},

        // "DNS" (the engine reads its ssl_ columns but never builds a TLS variant)
        {"DNS", "ERR90030", false, nullptr},

        // "NNTP"
        {"NNTP", "ERR90031", true, nullptr},

        // "SNTP"
        {"SNTP", "ERR90032", false, nullptr},

        // "Telnet"
        {"Telnet", "ERR90033", true, nullptr},

        // "Rsh"
        {"Rsh", "ERR90034", true, nullptr},

        // "MySQL"
        {"MySQL", "ERR90035", false, nullptr},

        // "WMI Process"
        {"WMI Process", "ERR90036", false, nullptr},

        // "WMI HD Freespace"
        {"WMI HD Freespace", "ERR90037", false, nullptr},

        // "WMI Share Folder"
        {"WMI Share Folder", "ERR90038", false, nullptr},
    };
    return types;
}

} // namespace velmora
