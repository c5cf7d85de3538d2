#pragma once
// The WMI instance query of the WMI checks, over WS-Management (WinRM): an Enumerate of the
// class's resource URI, then Pull requests until the end of the sequence, each reply parsed
// into the instance table (WmiRules.h). Credentials go through HTTP Basic, NTLM or Negotiate,
// whichever the host offers.
//
// Failures never escape: the table then has instance count 0 and property count -1, and
// `error` says what went wrong (for diagnostics; the checks' texts do not show it).
#include "WmiRules.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::wmi {

// Bounds of one query. The defaults are the product's; tests shorten the times.
struct QueryLimits {
    long long connectTimeoutMs = 10000;   // per HTTP request
    long long requestTimeoutMs = 60000;   // per HTTP request, whole exchange
    long long totalTimeoutMs = 120000;    // the whole enumeration
    size_t maxReplyBytes = 16u << 20;     // one reply
    size_t maxTotalBytes = 64u << 20;     // all replies of one enumeration
    long long maxInstances = 100000;
    int maxElementsPerPull = 32;
};

// "host" -> http://host:5985/wsman, "host:port" -> http://host:port/wsman, a full
// http(s):// URL as it is. "[v6]" and "[v6]:port" are taken as IPv6 literals.
std::string EndpointUrl(std::string_view computer);
// http://schemas.microsoft.com/wbem/wsman/1/wmi/<namespace>/<class>, the namespace with "\"
// turned into "/" and in lower case ("root\CIMV2" -> "root/cimv2").
std::string ResourceUri(std::string_view wmiNamespace, std::string_view className);

std::string BuildEnumerate(const std::string& endpoint, const std::string& resourceUri,
                           const std::string& messageId);
std::string BuildPull(const std::string& endpoint, const std::string& resourceUri,
                      const std::string& context, int maxElements, const std::string& messageId);

// One parsed Enumerate / Pull reply.
struct Property {
    std::string name;
    std::string value;
};
struct Reply {
    bool ok = false;                 // a well-formed response (not a fault, not garbage)
    std::string error;               // why not ok
    std::string context;             // EnumerationContext for the next Pull ("" when none)
    bool endOfSequence = false;
    std::vector<std::vector<Property>> items;  // instances, properties in document order
};
Reply ParseReply(std::string_view xml);

// Adds the instances to the table (header from the first instance, new names appended).
void AppendInstances(InstanceTable& table, const std::vector<std::vector<Property>>& items);

struct QueryTarget {
    std::string computer;
    std::string wmiNamespace;
    std::string user;
    std::string password;
};

struct QueryResult {
    InstanceTable table;
    std::string error;
};

QueryResult QueryInstances(const QueryTarget& target, std::string_view className,
                           const QueryLimits& limits = {});

} // namespace velmora::wmi
