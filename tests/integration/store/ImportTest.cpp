// Importing services from CSV and service.xml files into the real server.
#include "StoreDbTest.h"

#include "store/Import.h"

using namespace velmora;
using namespace velmora::test;

namespace {

class ImportTest : public StoreDbTest {
protected:
    void SetUp() override {
        StoreDbTest::SetUp();
        ASSERT_TRUE(db.OpenAtStart());
    }
    DbRow ByTitle(const std::string& title) {
        const DbResult r = db.Query("select * from service where title=" + db.Quote(title));
        EXPECT_EQ(r.size(), 1u) << title;
        return r.empty() ? DbRow() : r[0];
    }
    ZUVOzedovUzivara db;
};

TEST_F(ImportTest, CsvRecordsAndTheirEdgeCases) {
    const std::string csv =
        "1,7,5,Web,1,HTTP://10.0.0.9/Status,80,3,1,,,\r\n"
        "1,30,x,Clamped,3,h2,22,1,1,,,\n"
        "1,1,1,NoHost,3,,22,1,1,,,\r"
        "Method,Hour,Minute,Title,Type,Host,Port,Threshold,Keep,A,B,\r\n"
        "1,1,1,Disk,16,srv,0,1,1,5,,\n"
        "1,1,1,Share,17,srv,0,1,1,,C:\\Data\\share,\n"
        "1,1,1,Short,3,h\n"
        "1,1,1," + std::string(101, 't') + ",3,h,1,1,1,,,\n"
        "1,1,1,NoB,15,srv,0,1,1,root\\CIMV2,a.exe\n"
        "\n"
        "\x01\xff\xfe,\x02,\x03,\x04,\x05,\xff\xfe\x80,\x06,\n"
        "3,7,75,Last,13,TelnetHost,23,2,0,,,";
    TempDir dir;
    WriteFile(dir / "services.csv", csv);
    const ImportOutcome out = ImportCsvFile(dir / "services.csv", db);
    EXPECT_FALSE(out.failed) << out.error;
    EXPECT_EQ(out.stored, 7);
    EXPECT_EQ(out.skipped, 5);
    ASSERT_EQ(out.notes.size(), 5u);
    EXPECT_EQ(out.notes[0], "line 3: no host (the sixth field is empty or missing)");
    EXPECT_TRUE(out.notes[2].starts_with("line 8: refused by the database: Data too long")) << out.notes[2];
    EXPECT_TRUE(out.notes[4].starts_with("line 11: refused by the database:")) << out.notes[4];

    const DbRow web = ByTitle("Web");
    EXPECT_EQ(web.Get("service"), "URL");
    EXPECT_EQ(web.Get("schedule_by"), "Daily");
    EXPECT_EQ(web.Get("schedule_hour"), "07");
    EXPECT_EQ(web.Get("schedule_minute"), "05");
    EXPECT_EQ(web.Get("ip"), "10.0.0.9/status");
    EXPECT_EQ(web.GetInt("port"), 80);
    EXPECT_EQ(web.GetInt("no_of_cons_alarm"), 3);
    EXPECT_EQ(web.Get("url_accept"), "text/html, */*");
    const DbRow clamped = ByTitle("Clamped");
    EXPECT_EQ(clamped.Get("schedule_hour"), "23");
    EXPECT_EQ(clamped.Get("schedule_minute"), "00");
    const DbRow header = ByTitle("Title");
    EXPECT_EQ(header.Get("service"), "URL");
    EXPECT_EQ(header.Get("schedule_by"), "Minutely");
    EXPECT_EQ(header.Get("ip"), "host");
    EXPECT_EQ(header.GetInt("port"), 0);
    EXPECT_EQ(header.GetInt("no_of_cons_alarm"), 1);
    EXPECT_EQ(ByTitle("Disk").GetInt("wmi_freespace"), 107374182);
    EXPECT_EQ(ByTitle("Share").Get("wmi_process_name"), "C:\\Data\\share");
    const DbRow noB = ByTitle("NoB");
    EXPECT_EQ(noB.Get("wmi_namespace"), "root\\CIMV2");
    EXPECT_EQ(noB.Get("wmi_process_name"), "");
    const DbRow last = ByTitle("Last");
    EXPECT_EQ(last.Get("service"), "Telnet");
    EXPECT_EQ(last.Get("schedule_minute"), "59");
    EXPECT_EQ(last.Get("alarm_email"), "n");
    EXPECT_EQ(db.Query("select count(*) as n from service_contact_person")[0].GetInt("n"), 0);

    const std::string log = scope.LogText();
    EXPECT_EQ(CountLines(log, "ERR00508"), 2) << log;
}

TEST_F(ImportTest, CsvFileThatCannotBeReadEndsTheImport) {
    TempDir dir;
    ASSERT_TRUE(InsertImportedService({"1", "1", "1", "Kept", "3", "h", "1", "1", "1", "", ""}, nullptr, db));
    for (const std::string& path : {dir / "missing.csv", dir.path()}) {
        const ImportOutcome out = ImportCsvFile(path, db);
        EXPECT_TRUE(out.failed) << path;
        EXPECT_TRUE(out.error.starts_with("ERR00507 : Cannot import csv file, please see help menu for proper "
                                          "format."))
            << out.error;
    }
    EXPECT_EQ(CountLines(scope.LogText(), "[ERROR] ERR00507 : Cannot import csv file"), 2);
    EXPECT_EQ(db.Query("select count(*) as n from service")[0].GetInt("n"), 1);
}

TEST_F(ImportTest, ServiceXmlRecords) {
    const std::string xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<services>
  <!-- exported by the lighter edition -->
  <service_item>
    <service>WMI Share Folder</service><ip>FileSrv</ip><port>0</port><title>Share</title>
    <wmi_share_folder>C:\Data</wmi_share_folder><wmi_process_name>x.exe</wmi_process_name>
    <schedule_by>Hourly</schedule_by><schedule_hour>00</schedule_hour><schedule_minute>15</schedule_minute>
    <no_of_cons_alarm>2</no_of_cons_alarm><status>Start</status><ssl_enable>n</ssl_enable>
  </service_item>
  <service_item>
    <service>TCP</service><ip>db.example.org</ip><port>not-a-number</port><title>Quote "and" \slash</title>
    <timeout>2500</timeout><wmi_freespace>21474836480</wmi_freespace><wmi_namespace>root\CIMV2</wmi_namespace>
    <schedule_by>Daily</schedule_by><schedule_hour>06</schedule_hour><schedule_minute>30</schedule_minute>
    <status>Stop</status>
  </service_item>
  <service_item>
    <service>TCP</service><ip>h</ip><title>Too long hour</title><schedule_hour>123</schedule_hour>
  </service_item>
  <service_item>
    <service>WMI Process</service><ip>srv</ip><title>Proc</title><wmi_process_name>a.exe</wmi_process_name>
    <wmi_share_folder>ignored</wmi_share_folder>
  </service_item>
</services>
)";
    TempDir dir;
    WriteFile(dir / "service.xml", xml);
    const ImportOutcome out = ImportServiceXmlFile(dir / "service.xml", db);
    EXPECT_FALSE(out.failed) << out.error;
    EXPECT_EQ(out.stored, 3);
    EXPECT_EQ(out.skipped, 1);
    ASSERT_EQ(out.notes.size(), 1u);
    EXPECT_TRUE(out.notes[0].starts_with("service 3: refused by the database:")) << out.notes[0];
    EXPECT_NE(scope.LogText().find("[ERROR] ERR00510 : Cannot save import service.xml. : "), std::string::npos);

    const DbRow share = ByTitle("Share");
    EXPECT_EQ(share.Get("service"), "WMI Share Folder");
    EXPECT_EQ(share.Get("wmi_process_name"), "C:\\Data");
    EXPECT_EQ(share.Get("schedule_minute"), "15");
    EXPECT_EQ(share.GetInt("no_of_cons_alarm"), 2);
    EXPECT_EQ(share.Get("ssl_enable"), "n");
    EXPECT_EQ(share.Get("alarm_syslog_facility"), "Kernel");
    EXPECT_EQ(share.Get("alarm_snmp_trap_community"), "public");
    const DbRow tcp = ByTitle("Quote \"and\" \\slash");
    EXPECT_EQ(tcp.GetInt("port"), 0);
    EXPECT_EQ(tcp.GetInt("timeout"), 2500);
    EXPECT_EQ(tcp.GetInt("wmi_freespace"), 21474836480);
    EXPECT_EQ(tcp.Get("wmi_namespace"), "root\\CIMV2");
    EXPECT_EQ(tcp.Get("wmi_process_name"), "");
    EXPECT_EQ(tcp.Get("ssl_enable"), "");  // missing element: empty
    EXPECT_EQ(tcp.Get("status"), "Stop");
    EXPECT_EQ(tcp.Get("service_status"), "Unknown");
    EXPECT_EQ(ByTitle("Proc").Get("wmi_process_name"), "a.exe");
}

TEST_F(ImportTest, ServiceXmlMissingOrCorrupt) {
    TempDir dir;
    ImportOutcome out = ImportServiceXmlFile(dir / "service.xml", db);
    EXPECT_TRUE(out.failed);
    EXPECT_EQ(out.error, "Cannot find service.xml file.");

    WriteFile(dir / "service.xml", "<services><service_item><service>TCP</service></services>");
    out = ImportServiceXmlFile(dir / "service.xml", db);
    EXPECT_TRUE(out.failed);
    EXPECT_TRUE(out.error.starts_with("ERR00601 : The service.xml file is corrupted. : ")) << out.error;
    EXPECT_NE(scope.LogText().find("[ERROR] ERR00601 : The service.xml file is corrupted.\r\n"), std::string::npos)
        << scope.LogText();
    EXPECT_EQ(db.Query("select count(*) as n from service")[0].GetInt("n"), 0);
}

} // namespace
