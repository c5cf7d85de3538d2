#pragma once
// The fixed vocabularies of the service records: check type names and their import codes,
// status and schedule words, yes/no flags, syslog facilities and severities, alarm method
// types, work item origins and the free-space sizes of the WMI disk check.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Check types, in the order of their import codes 1..17.
const std::vector<std::string>& CheckTypeNames();
// The name of import code `code`; "URL" for any code outside 1..17.
const std::string& CheckTypeName(long long code);
// The import code of a type name (exact); 0 when it is none.
int CheckTypeCode(std::string_view name);

// `status` of a service, and the list words shown while one is being worked on.
inline constexpr const char* kStatusStart = "Start";
inline constexpr const char* kStatusStop = "Stop";
inline constexpr const char* kDisplayNotUpdated = "Not Updated";
inline constexpr const char* kDisplayProcessing = "Processing";
inline constexpr const char* kDisplayRetry = "Retry";

// Schedule methods; an import record codes them 1 "Daily", 2 "Hourly", other "Minutely".
inline constexpr const char* kScheduleDaily = "Daily";
inline constexpr const char* kScheduleHourly = "Hourly";
inline constexpr const char* kScheduleMinutely = "Minutely";
const std::vector<std::string>& ScheduleMethods();
const char* ScheduleMethodFromCode(std::string_view code);

// Yes/no columns hold "y" or "n"; a value starting with y, Y, t or T reads as yes.
inline constexpr const char* kYes = "y";
inline constexpr const char* kNo = "n";
bool IsYes(std::string_view value);
inline const char* YesNo(bool yes) { return yes ? kYes : kNo; }

// The form words of `auth_type` per check type: SMTP "Login"/"None", POP3 "True"/"False",
// IMAP "User / Pass"/"SASL" (1 and 0). Other types: "" for both.
std::string AuthTypeLabel(std::string_view checkType, long long authType);
// The first word gives 1, any other text 0.
int AuthTypeFromLabel(std::string_view checkType, std::string_view label);

// Syslog facilities in code order 0..23 and severities 0..7.
const std::vector<std::string>& SyslogFacilities();
const std::vector<std::string>& SyslogSeverities();
// The code of a name; a name not in the list counts as "Kernel" (0) / "Emergency" (0).
int SyslogFacilityCode(std::string_view name);
int SyslogSeverityCode(std::string_view name);

// `type` values of alarm_method.
const std::vector<std::string>& AlarmMethodTypes();

// Who queued a check; "Version" marks the version check.
inline constexpr const char* kOriginProduct = "Product";
inline constexpr const char* kOriginSetup = "Setup";
inline constexpr const char* kOriginUpdate = "Update";
inline constexpr const char* kOriginVersion = "Version";

// Free-space sizes of `wmi_freespace`.
struct FreeSpaceSize {
    std::int64_t bytes;
    const char* label;
};
const std::vector<FreeSpaceSize>& FreeSpaceSizes();   // "100M" .. "50G"
// The label of a byte count; any value not in the table shows as "50G".
std::string FreeSpaceLabel(std::int64_t bytes);
// The byte count of a label; an unknown label gives that of "50G".
std::int64_t FreeSpaceBytes(std::string_view label);
inline constexpr std::int64_t kFreeSpaceMin = 107374182;
inline constexpr std::int64_t kFreeSpaceMax = 53687091200;

} // namespace velmora
