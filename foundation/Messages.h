#pragma once
// The catalogue of numbered messages: "ERR", five digits, " : " and a text. A message that
// reports a caught error is followed by " : " and that error's own text (see WithError).
#include <string>
#include <string_view>

namespace velmora::msg {

inline constexpr std::string_view ERR00001 = "ERR00001 : The application is already startup.";
inline constexpr std::string_view ERR00003 = "ERR00003 : Help file not found.";
inline constexpr std::string_view ERR00004 = "ERR00004 : Send version upgrade error.";
inline constexpr std::string_view ERR00101 = "ERR00101 : Connot make connection to MySQL database.";
inline constexpr std::string_view ERR00103 = "ERR00103 : MySQL library not found.";
inline constexpr std::string_view ERR00104 = "ERR00104 : Cannot create MySQL database.";
// The %s of the next three is a table or index name: use Format.
inline constexpr std::string_view ERR00105 = "ERR00105 : Cannot create MySQL table [%s].";
inline constexpr std::string_view ERR00106 = "ERR00106 : Cannot create MySQL index [%s].";
inline constexpr std::string_view ERR00107 = "ERR00107 : Cannot create MySQL date [%s].";
inline constexpr std::string_view ERR00202 = "ERR00202 : System log file is invalid.";
inline constexpr std::string_view ERR00203 = "ERR00203 : System init file not found.";
inline constexpr std::string_view ERR00204 = "ERR00204 : System init directory not found.";
inline constexpr std::string_view ERR00205 = "ERR00205 : System log directory not found.";
inline constexpr std::string_view ERR00206 = "ERR00206 : Alarm log backup error.";
inline constexpr std::string_view ERR00301 = "ERR00301 : Winsock has no response.";
inline constexpr std::string_view ERR00302 = "ERR00302 : Winsock is not initialised.";
inline constexpr std::string_view ERR00303 = "ERR00303 : Network is down.";
inline constexpr std::string_view ERR00304 = "ERR00304 : Network is in progress.";
inline constexpr std::string_view ERR00305 = "ERR00305 : Network connection fail.";
inline constexpr std::string_view ERR00401 = "ERR00401 : Alarming thread error.";
inline constexpr std::string_view ERR00402 = "ERR00402 : Creating thread error.";
inline constexpr std::string_view ERR00403 = "ERR00403 : Receiving thread error.";
inline constexpr std::string_view ERR00404 = "ERR00404 : Adding thread error.";
inline constexpr std::string_view ERR00405 = "ERR00405 : Freeing thread error.";
inline constexpr std::string_view ERR00501 = "ERR00501 : Cannot create charts.";
inline constexpr std::string_view ERR00502 = "ERR00502 : Cannot export charts.";
inline constexpr std::string_view ERR00504 = "ERR00504 : Cannot export csv file.";
inline constexpr std::string_view ERR00505 = "ERR00505 : Cannot export txt file.";
inline constexpr std::string_view ERR00506 = "ERR00506 : Cannot export html file.";
inline constexpr std::string_view ERR00507 =
    "ERR00507 : Cannot import csv file, please see help menu for proper format.";
inline constexpr std::string_view ERR00508 =
    "ERR00508 : Cannot save import csv file, please see help menu for proper format.";
inline constexpr std::string_view ERR00509 = "ERR00509 : Cannot export excel file.";
inline constexpr std::string_view ERR00510 = "ERR00510 : Cannot save import service.xml.";
inline constexpr std::string_view ERR00601 = "ERR00601 : The service.xml file is corrupted.";

// Fixed Info lines of the programs' life.
inline constexpr std::string_view ApplicationStarts = "Application starts.";
inline constexpr std::string_view ApplicationStops = "Application stops.";
inline constexpr std::string_view SchedulingStarts = "Service scheduling starts.";
inline constexpr std::string_view SchedulingStops = "Service scheduling stops.";
inline constexpr std::string_view WinServiceStarts = "Window Service Application starts.";
inline constexpr std::string_view WinServiceStops = "Window Service Application stops.";

// Where the last-resort text asks users to send an error nobody caught.
inline constexpr std::string_view SupportAddress = "support@velmorapro.example";

// message + " : " + error text.
std::string WithError(std::string_view message, std::string_view errorText);
// Replaces the first "%s" of `pattern` by `arg`.
std::string Format(std::string_view pattern, std::string_view arg);
// A location code ("ERR90002") + " : " + the caught error's text.
std::string Location(std::string_view code, std::string_view errorText);
// "ERROR : Please send this error message to <support> for trouble solving. : <error>"
std::string LastResort(std::string_view errorText);

} // namespace velmora::msg
