#pragma once
// Making a check from a service row, exactly as the engine does, in one table keyed by the
// type name. The engine, the console's new-service wizard and velmoractl all build checks
// through BuildCheck, so a check type exists in one place.
//
// Adding a check type: write its class and, in the class's own source file, its builder
//     std::unique_ptr<CheckItem> BuildSMTPCheck(const ServiceRow& row, const CheckBuild& b);
// (declared below), then put &BuildSMTPCheck into the type's entry of the table in
// checks/CheckTypes.cpp. Sources in checks/ are picked up by the build on their own.
// A builder reads its columns from the row, makes the protocol client (and, when b.tls is
// true, the TLS layer from b.tlsSettings) and returns the check; an error it throws is
// reported by BuildCheck with the type's error code.
#include "checks/CheckItem.h"
#include "net/TlsLayer.h"
#include "store/ServiceRow.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// What BuildCheck hands every builder besides the row.
struct CheckBuild {
    CheckContext context;        // origin, id, counters, routing flags, alarm parameters
    bool tls = false;            // build the TLS variant (type offers TLS and ssl_enable is "y")
    net::TlsSettings tlsSettings;  // from the ssl_ columns (meaningful when tls is true)
};

using CheckBuilderFn = std::unique_ptr<CheckItem> (*)(const ServiceRow& row, const CheckBuild& build);

struct CheckType {
    const char* name;       // the `service` column value, e.g. "TCP"
    const char* errorCode;  // reported when building fails, e.g. "ERR90028"
    bool tls;               // the type has a TLS variant
    CheckBuilderFn build;   // nullptr while the type has no check class yet
};

// Building failed: what() is the error code, " : " and the cause, e.g.
// "ERR90028 : Port text is not a number".
class CheckBuildError : public std::runtime_error {
public:
    CheckBuildError(std::string code, const std::string& cause)
        : std::runtime_error(code + " : " + cause), code_(std::move(code)) {}
    const std::string& code() const { return code_; }

private:
    std::string code_;
};

// The seventeen check types in table order.
const std::vector<CheckType>& CheckTypes();
// The entry for a type name (exact, case-sensitive), nullptr for anything else.
const CheckType* FindCheckType(std::string_view name);

// Builds the check for the row's `service` type with the given origin ("Product" for the
// engine, "Setup" for test runs). Returns nullptr for a type outside the table (or one whose
// class does not exist yet): such a row is skipped without a message. Throws CheckBuildError.
std::unique_ptr<CheckItem> BuildCheck(const ServiceRow& row, const std::string& origin = "Product");

// --- helpers for the builders ---
// The common part: id, the four counters, the twelve routing flags (true where "y") and the
// alarm parameters.
CheckContext ContextFromRow(const ServiceRow& row, std::string origin);
// The ssl_ columns as TLS settings.
net::TlsSettings TlsSettingsFromRow(const ServiceRow& row);
// The port column as the check shows it: the integer value as text ("0" when not a number).
std::string PortFromRow(const ServiceRow& row);
// An address beginning with "http://" or "https://" (any case) is kept; otherwise "https://"
// (ssl) or "http://" is put in front. An empty address stays empty.
std::string NormaliseUrl(const std::string& address, bool ssl);

// Builders of the types (each defined in its check class's source file).
std::unique_ptr<CheckItem> BuildURLCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildPingCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildSMTPCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildPOP3Check(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildIMAPCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildFTPCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildTCPCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildUDPCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildDNSCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildNNTPCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildSNTPCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildTelnetCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildRshCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildDBMySQLCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildWMIProcessCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildWMIHDSpaceCheck(const ServiceRow& row, const CheckBuild& b);
std::unique_ptr<CheckItem> BuildWMIShareFolderCheck(const ServiceRow& row, const CheckBuild& b);

} // namespace velmora
