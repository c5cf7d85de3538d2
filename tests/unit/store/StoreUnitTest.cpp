// The store's pure pieces: statement texts, value tables, import record conversions, CSV
// splitting, the service list texts and the dated-file housekeeping.
#include "store/History.h"
#include "store/Import.h"
#include "store/Schema.h"
#include "store/ServiceRecords.h"
#include "store/ValueTables.h"

#include "tests/support/TestSupport.h"

#include "foundation/Clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

using namespace std::string_literals;

using namespace velmora;
using namespace velmora::test;

namespace {

TEST(Schema, StatementTextsAreExact) {
    const auto& tables = schema::Tables();
    ASSERT_EQ(tables.size(), 11u);
    EXPECT_TRUE(tables[0].statement.starts_with(
              "create table velmoradb.service (id INTEGER NOT NULL AUTO_INCREMENT,PRIMARY KEY "
              "(id),service VARCHAR(50) NOT NULL,ip VARCHAR(500) NOT NULL,port INTEGER NOT NULL,"))
        << tables[0].statement;
    EXPECT_NE(tables[0].statement.find(",last_access DATETIME NOT NULL DEFAULT \"0000-00-00 "
                                       "00:00:00\",service_status VARCHAR(10) NOT NULL DEFAULT "
                                       "\"Unknown\","),
              std::string::npos);
    EXPECT_TRUE(tables[0].statement.ends_with(
              ",ssl_once VARCHAR(1) NOT NULL DEFAULT \"n\",ssl_fail VARCHAR(1) NOT NULL DEFAULT "
              "\"n\") CHARACTER SET UTF8;"));
    EXPECT_EQ(tables[10].statement,
              "create table velmoradb.scheduling (schedule_time integer NOT NULL DEFAULT 0,mon "
              "varchar(3) NOT NULL DEFAULT \"yes\",tue varchar(3) NOT NULL DEFAULT \"yes\",wed "
              "varchar(3) NOT NULL DEFAULT \"yes\",thu varchar(3) NOT NULL DEFAULT \"yes\",fri "
              "varchar(3) NOT NULL DEFAULT \"yes\",sat varchar(3) NOT NULL DEFAULT \"yes\",sun "
              "varchar(3) NOT NULL DEFAULT \"yes\") CHARACTER SET UTF8;");
    EXPECT_EQ(tables[10].rows[7], "insert into velmoradb.scheduling "
                                  "(schedule_time,mon,tue,wed,thu,fri,sat,sun) values "
                                  "(7,\"yes\",\"yes\",\"yes\",\"yes\",\"yes\",\"yes\",\"yes\")");
    size_t indexes = 0;
    for (const auto& t : tables) {
        indexes += t.indexes.size();
    }
    EXPECT_EQ(indexes, 15u);
    const auto& up = schema::Upgrades();
    EXPECT_EQ(up[0].statements[0],
              "ALTER TABLE velmoradb.service ADD recovery_alarm_email VARCHAR(1) NOT NULL DEFAULT \"n\";");
    EXPECT_EQ(up[2].statements[0],
              "ALTER TABLE velmoradb.service ADD keep_on_sending INTEGER NOT NULL DEFAULT 1;");
    EXPECT_EQ(up[6].statements[0], "ALTER TABLE velmoradb.service DROP description;");
}


TEST(ValueTables, NamesCodesAndDefaults) {
    EXPECT_EQ(CheckTypeNames().size(), 17u);
    EXPECT_EQ(CheckTypeName(1), "URL");
    EXPECT_EQ(CheckTypeName(13), "Telnet");
    EXPECT_EQ(CheckTypeName(17), "WMI Share Folder");
    EXPECT_EQ(CheckTypeName(0), "URL");
    EXPECT_EQ(CheckTypeName(18), "URL");
    EXPECT_EQ(CheckTypeCode("Rsh"), 12);
    EXPECT_EQ(CheckTypeCode("rsh"), 0);
    EXPECT_STREQ(ScheduleMethodFromCode("1"), "Daily");
    EXPECT_STREQ(ScheduleMethodFromCode("2"), "Hourly");
    EXPECT_STREQ(ScheduleMethodFromCode("7"), "Minutely");
    EXPECT_EQ(SyslogFacilities().size(), 24u);
    EXPECT_EQ(SyslogFacilityCode("Local Use Seven"), 23);
    EXPECT_EQ(SyslogFacilityCode("nonsense"), 0);
    EXPECT_EQ(SyslogSeverityCode("Debug"), 7);
    EXPECT_EQ(SyslogSeverityCode(""), 0);
    EXPECT_EQ(AuthTypeLabel("IMAP", 1), "User / Pass");
    EXPECT_EQ(AuthTypeLabel("SMTP", 0), "None");
    EXPECT_EQ(AuthTypeFromLabel("POP3", "True"), 1);
    EXPECT_EQ(AuthTypeFromLabel("POP3", "False"), 0);
    EXPECT_EQ(FreeSpaceLabel(107374182), "100M");
    EXPECT_EQ(FreeSpaceLabel(42949672960), "40G");
    EXPECT_EQ(FreeSpaceLabel(5), "50G");
    EXPECT_EQ(FreeSpaceBytes("3G"), 3221225472);
    for (const auto& [text, yes] : std::vector<std::pair<std::string, bool>>{
             {"y", true}, {"Yes", true}, {"t", true}, {"True", true}, {"n", false}, {"", false},
             {"1", false}, {" y", false}}) {
        EXPECT_EQ(IsYes(text), yes) << text;
    }
    ServiceRow row;
    row.Set("ssl_peer", "T");
    EXPECT_TRUE(row.GetYes("ssl_peer"));
    EXPECT_FALSE(row.GetYes("ssl_once"));
}

TEST(ServiceRecords, NormaliseHost) {
    EXPECT_EQ(NormaliseHost("HTTP://10.0.0.9/Status"), "10.0.0.9/status");
    EXPECT_EQ(NormaliseHost("HttpS://Example.ORG/"), "example.org/");
    EXPECT_EQ(NormaliseHost("Mail.Example.org"), "mail.example.org");
    EXPECT_EQ(NormaliseHost(""), "");
    // Only the first of each scheme goes.
    EXPECT_EQ(NormaliseHost("http://a/http://b"), "a/http://b");
}

TEST(Import, SplittingLinesAndFields) {
    EXPECT_EQ(SplitLines("a\rb\nc\r\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(SplitLines("").empty());

    const ImportRecord f = SplitImportLine("1,7,5,Web, \"q\" ,HTTP://x/,80,3,1,,,");
    EXPECT_EQ(f[0], "1");
    EXPECT_EQ(f[4], " \"q\" ");  // blanks and quotes stay
    EXPECT_EQ(f[5], "HTTP://x/");
    EXPECT_EQ(f[10], "");
    // The eleventh field is only read when a comma follows it.
    EXPECT_EQ(SplitImportLine("1,2,3,4,5,6,7,8,9,A,B")[10], "");
    EXPECT_EQ(SplitImportLine("1,2,3,4,5,6,7,8,9,A,B,")[10], "B");
    // A short line: the field without a comma and all later ones are empty.
    const ImportRecord s = SplitImportLine("1,2,3,4,5,host");
    EXPECT_EQ(s[4], "5");
    EXPECT_EQ(s[5], "");
}

TEST(Import, RecordConversions) {
    struct Case {
        ImportRecord in;
        std::vector<std::pair<std::string, std::string>> expect;
    };
    const std::vector<Case> cases = {
        {{"1", "7", "5", "Web", "1", "10.0.0.9/status", "80", "3", "1", "", ""},
         {{"schedule_by", "Daily"}, {"schedule_hour", "07"}, {"schedule_minute", "05"}, {"service", "URL"},
          {"ip", "10.0.0.9/status"}, {"port", "80"}, {"no_of_cons_alarm", "3"}, {"keep_on_sending", "1"},
          {"wmi_freespace", "107374182"}, {"buffer_size", "0"}, {"url_max_redirect", "10"},
          {"status", "Start"}, {"alarm_syslog_facility", "Kernel"}, {"alarm_snmp_trap_community", "public"},
          {"ssl_verify_depth", "0"}, {"sntp_time_different", "0"}}},
        {{"3", "7", "5", "", "3", "h", "x", "y", "z", "", ""},
         {{"schedule_by", "Minutely"}, {"schedule_hour", "00"}, {"schedule_minute", "05"}, {"service", "TCP"},
          {"port", "0"}, {"no_of_cons_alarm", "1"}, {"keep_on_sending", "0"}, {"wmi_freespace", "107374182"}}},
        {{"1", "30", "75", "", "99", "h", "1", "1", "1", "", ""},
         {{"schedule_hour", "23"}, {"schedule_minute", "59"}, {"service", "URL"}}},
        {{"1", "-4", "x", "", "2", "h", "0", "1", "1", "", ""},
         {{"schedule_hour", "00"}, {"schedule_minute", "00"}, {"service", "Ping"}}},
        {{"2", "9", "30", "", "11", "h", "123", "1", "1", "", ""},
         {{"schedule_by", "Hourly"}, {"schedule_hour", "00"}, {"schedule_minute", "30"}, {"service", "SNTP"},
          {"buffer_size", "8192"}}},
        {{"1", "1", "1", "", "16", "h", "0", "1", "1", "5", ""}, {{"wmi_freespace", "107374182"}}},
        {{"1", "1", "1", "", "16", "h", "0", "1", "1", "99999999999", ""}, {{"wmi_freespace", "53687091200"}}},
        {{"1", "1", "1", "", "16", "h", "0", "1", "1", "1073741824", ""}, {{"wmi_freespace", "1073741824"}}},
        {{"1", "1", "1", "", "3", "h", "0", "1", "1", "1073741824", ""}, {{"wmi_freespace", "107374182"}}},
        {{"1", "1", "1", "", "14", "h", "3306", "1", "1", "shop", "B"},
         {{"database_name", "shop"}, {"wmi_process_name", ""}}},
        {{"1", "1", "1", "", "15", "h", "0", "1", "1", "root\\CIMV2", "a.exe;b.exe"},
         {{"wmi_namespace", "root\\CIMV2"}, {"wmi_process_name", "a.exe;b.exe"}, {"database_name", ""}}},
        {{"1", "1", "1", "", "17", "h", "0", "1", "1", "A", "C:\\Data"},
         {{"wmi_process_name", "C:\\Data"}, {"wmi_namespace", ""}}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const ServiceRow row = ImportedServiceRow(cases[i].in);
        for (const auto& [col, value] : cases[i].expect) {
            EXPECT_EQ(row.Get(col), value) << "case " << i << " column " << col;
        }
    }
}

TEST(Import, ServiceXmlRowMapping) {
    std::map<std::string, std::string> el = {{"service", "WMI Share Folder"}, {"wmi_share_folder", "C:\\Data"},
                                             {"wmi_process_name", "ignored.exe"}, {"port", "x"},
                                             {"wmi_freespace", "21474836480"}, {"ip", "srv"}};
    auto text = [&](const std::string& n) {
        const auto it = el.find(n);
        return it == el.end() ? std::string() : it->second;
    };
    ServiceRow row = ServiceXmlRow(text);
    EXPECT_EQ(row.Get("wmi_process_name"), "C:\\Data");
    EXPECT_EQ(row.Get("port"), "0");
    EXPECT_EQ(row.Get("wmi_freespace"), "21474836480");
    EXPECT_EQ(row.Get("ssl_enable"), "");
    EXPECT_EQ(row.Get("alarm_email"), "n");
    EXPECT_EQ(row.Get("alarm_syslog_severity"), "Emergency");
    el["service"] = "WMI Process";
    EXPECT_EQ(ServiceXmlRow(text).Get("wmi_process_name"), "ignored.exe");
    el["service"] = "TCP";
    EXPECT_EQ(ServiceXmlRow(text).Get("wmi_process_name"), "");
}

TEST(ServiceRecords, ListTexts) {
    ServiceRow r;
    r.Set("service", "URL");
    r.Set("ip", "see http://x/http://10.0.0.5/status");
    r.Set("schedule_by", "Daily");
    r.Set("schedule_hour", "07");
    r.Set("schedule_minute", "05");
    EXPECT_EQ(ServiceListIp(r), "10.0.0.5/status");
    EXPECT_EQ(ServiceListSchedule(r), "Daily on 07:05");
    r.Set("ip", "https://a/");
    EXPECT_EQ(ServiceListIp(r), "https://a/");
    r.Set("schedule_by", "Hourly");
    EXPECT_EQ(ServiceListSchedule(r), "Hourly on 05 min");
    r.Set("schedule_by", "Minutely");
    EXPECT_EQ(ServiceListSchedule(r), "every 05 min");
    r.Set("service", "WMI HD Freespace");
    r.Set("ip", "srv");
    r.Set("wmi_freespace", "2147483648");
    EXPECT_EQ(ServiceListIp(r), "srv : Freespace <= 2G");
    r.Set("service", "WMI Process");
    r.Set("wmi_process_name", "a.exe");
    EXPECT_EQ(ServiceListIp(r), "srv : a.exe");
}

TEST(ServiceRecords, InsertStatementShape) {
    ZUVOzedovUzivara unconnected;
    ServiceRow row = ImportedServiceRow({"1", "7", "5", "a\"b\\c", "3", "h", "80", "3", "1", "", ""});
    row.Set("timeout", "5000; drop table service");
    const std::string sql = ServiceInsertStatement(row, unconnected);
    EXPECT_TRUE(sql.starts_with("insert into service (service,ip,port,title,auth_type,tls_type,username,"
                                "password,schedule_by,schedule_hour,schedule_minute,no_of_cons_alarm,"
                                "current_no_of_cons_alarm,reset_to_zero,keep_on_sending,last_access,status,"))
        << sql;
    EXPECT_NE(sql.find(") values (\"TCP\",\"h\",80,\"a\\\"b\\\\c\",0,0,\"\",\"\",\"Daily\",\"07\","
                       "\"05\",3,0,0,1,now(),\"Start\",0,5000,"),
              std::string::npos)
        << sql;
    EXPECT_EQ(std::count(sql.begin(), sql.end(), ','), 2 * 92 + 1) << sql;  // 93 names, 93 values
    EXPECT_EQ(sql.find("drop table"), std::string::npos);  // a number column takes numbers only
    EXPECT_EQ(unconnected.Quote("x'\"\\\n\r\0y"s), "\"x\\'\\\"\\\\\\n\\r\\0y\"");
}

TEST(HouseKeeping, DatedFilesOfTheAgeAndOlderGo) {
    TempDir dir;
    ManualClock clock(FromLocal(2008, 3, 15, 10, 30));
    SetClock(&clock);
    EXPECT_EQ(DateDaysAgo(7), "2008-03-08");
    EXPECT_EQ(DateDaysAgo(15), "2008-02-29");
    EXPECT_EQ(DateDaysAgo(0), "2008-03-15");
    SetClock(nullptr);

    const std::vector<std::string> gone = {"system_2008-03-08.log", "system_2008-03-06.log",
                                           "system_2007-12-31.log"};
    const std::vector<std::string> kept = {"system_2008-03-09.log", "system_2008-03-15.log",
                                           "system_notes.log",      "system_2008-03-01.log.bak",
                                           "other_2008-03-01.log",  "system_2008-3-1.log",
                                           "xsystem_2008-03-01.log"};
    for (const auto& n : gone) {
        WriteFile(dir / n, "x");
    }
    for (const auto& n : kept) {
        WriteFile(dir / n, "x");
    }
    EXPECT_EQ(DeleteDatedFiles(dir.path() + "/system_", "2008-03-08"), 3);
    for (const auto& n : gone) {
        EXPECT_FALSE(std::filesystem::exists(dir / n)) << n;
    }
    for (const auto& n : kept) {
        EXPECT_TRUE(std::filesystem::exists(dir / n)) << n;
    }
}

} // namespace
