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

        // "SMTP": ThreadSMTPCheck.cpp
        {"SMTP", "ERR90024", true, &BuildSMTPCheck},

        // "POP3": ThreadPOP3Check.cpp
        {"POP3", "ERR90025", true, &BuildPOP3Check},

        // "IMAP": ThreadIMAPCheck.cpp
        {"IMAP", "ERR90026", true, &BuildIMAPCheck},

        // "FTP": ThreadFTPCheck.cpp
        {"FTP", "ERR90027", true, &BuildFTPCheck},

        // "TCP": ThreadTCPCheck.cpp
        {"TCP", "ERR90028", true, &BuildTCPCheck},

        // "UDP": ThreadUDPCheck.cpp
        {"UDP", "ERR90029", false, &BuildUDPCheck},

        // "DNS" (the engine reads its ssl_ columns but never builds a TLS variant)
        {"DNS", "ERR90030", false, &BuildDNSCheck},

        // "NNTP": ThreadNNTPCheck.cpp
        {"NNTP", "ERR90031", true, &BuildNNTPCheck},

        // "SNTP": ThreadSNTPCheck.cpp
        {"SNTP", "ERR90032", false, &BuildSNTPCheck},

        // "Telnet": ThreadTelnetCheck.cpp
        {"Telnet", "ERR90033", true, &BuildTelnetCheck},

        // "Rsh": ThreadRshCheck.cpp
        {"Rsh", "ERR90034", true, &BuildRshCheck},

        // "MySQL": ThreadDBMySQLCheck.cpp
        {"MySQL", "ERR90035", false, &BuildDBMySQLCheck},

        // "WMI Process": ThreadWMIProcessCheck.cpp
        {"WMI Process", "ERR90036", false, &BuildWMIProcessCheck},

        // "WMI HD Freespace": ThreadWMIHDSpaceCheck.cpp
        {"WMI HD Freespace", "ERR90037", false, &BuildWMIHDSpaceCheck},

        // "WMI Share Folder": ThreadWMIShareFolderCheck.cpp
        {"WMI Share Folder", "ERR90038", false, &BuildWMIShareFolderCheck},
    };
    return types;
}

} // namespace velmora
