// Service records, lookups, escaping, alarm history and housekeeping on the real server.
#include "StoreDbTest.h"

#include "store/History.h"
#include "store/ServiceRecords.h"

#include "foundation/Clock.h"
#include "foundation/SystemLog.h"

#include <filesystem>

using namespace velmora;
using namespace velmora::test;

namespace {

class RecordsTest : public StoreDbTest {
protected:
    void SetUp() override {
        StoreDbTest::SetUp();
        ASSERT_TRUE(db.OpenAtStart());
    }
    void TearDown() override { SetClock(nullptr); }

    long long Count(const std::string& table) {
        return db.Query("select count(*) as n from " + table)[0].GetInt("n");
    }

    ZUVOzedovUzivara db;
};

const std::vector<std::string> kTricky = {
    "\"; drop table service; --", "a \"quoted\" word", "back\\slash", "C:\\Data\\new",
    "it's", "\\\"", "trailing\\", "line\nbreak", "\xC3\xBCml\xC3\xA4ut",
};

TEST_F(RecordsTest, TextValuesAreStoredAsTyped) {
    for (const std::string& v : kTricky) {
        ImportRecord f = {"1", "7", "5", v, "14", v, "3306", "1", "1", v, ""};
        ASSERT_TRUE(InsertImportedService(f, nullptr, db)) << v;
        const DbRow r = db.Query("select * from service where id=" + std::to_string(MaxId("service", db)))[0];
        EXPECT_EQ(r.Get("title"), v);
        EXPECT_EQ(r.Get("ip"), v);
        EXPECT_EQ(r.Get("database_name"), v);

        ServiceRow row = ImportedServiceRow({"1", "1", "1", "", "15", "h", "0", "1", "1", v, v});
        row.Set("command", v);
        ASSERT_TRUE(InsertServiceRow(row, nullptr, db)) << v;
        const auto stored = LoadServiceRow(MaxId("service", db), db);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->Get("command"), v);
        EXPECT_EQ(stored->Get("wmi_namespace"), v);
        EXPECT_EQ(stored->Get("wmi_process_name"), v);

        db.Execute("insert into contact_person (name) values (" + db.Quote(v) + ")");
        const long long id = FindId("contact_person", "name", v, db);
        EXPECT_GT(id, 0) << v;
        EXPECT_FALSE(IsUniqueValue("contact_person", "name", v, 0, db));
        EXPECT_TRUE(IsUniqueValue("contact_person", "name", v, id, db));

        RecordAlarmMessage("2008-03-15 10:00:00", 1, "TCP", "Failed", v, "80", "h", db);
    }
    EXPECT_TRUE(db.TableExists("service"));
    EXPECT_EQ(Count("service"), static_cast<long long>(2 * kTricky.size()));
    const DbResult msgs = db.Query("select msg from alarm_msg_history");
    ASSERT_EQ(msgs.size(), kTricky.size());
    for (size_t i = 0; i < kTricky.size(); ++i) {
        EXPECT_EQ(msgs[i].Get("msg"), kTricky[i]);
    }
}

TEST_F(RecordsTest, Lookups) {
    EXPECT_EQ(MaxId("contact_person", db), 0);
    EXPECT_EQ(FindId("contact_person", "name", "nobody", db), 0);
    EXPECT_TRUE(IsUniqueValue("contact_person", "", "", 0, db));
    db.Execute("insert into contact_person (name) values (\"Ann\"), (\"Bob\"), (\"Ann\")");
    EXPECT_EQ(MaxId("contact_person", db), 3);
    EXPECT_EQ(FindId("contact_person", "name", "Ann", db), 1);
    EXPECT_FALSE(IsUniqueValue("contact_person", "name", "Bob", 0, db));
    // Only the edited contact itself carries the name.
    EXPECT_TRUE(IsUniqueValue("contact_person", "name", "Bob", 2, db));
    EXPECT_FALSE(IsUniqueValue("contact_person", "name", "Ann", 1, db));
    EXPECT_TRUE(IsUniqueValue("contact_person", "name", "Cid", 0, db));
    // Neither column nor value: every row but the excluded one is counted.
    EXPECT_FALSE(IsUniqueValue("contact_person", "", "", 2, db));
    db.Execute("delete from contact_person where id<>2");
    EXPECT_TRUE(IsUniqueValue("contact_person", "", "", 2, db));
}

TEST_F(RecordsTest, RefusedRowsAreLoggedAndSkipped) {
    ServiceRow row = ImportedServiceRow({"1", "1", "1", std::string(101, 't'), "3", "h", "1", "1", "1", "", ""});
    std::string error;
    EXPECT_FALSE(InsertServiceRow(row, &error, db));
    EXPECT_NE(error.find("title"), std::string::npos) << error;
    EXPECT_FALSE(InsertImportedService({"1", "1", "1", std::string(101, 't'), "3", "h", "1", "1", "1", "", ""},
                                       nullptr, db));
    const std::string log = scope.LogText();
    EXPECT_NE(log.find("[ERROR] ERR00510 : Cannot save import service.xml. : Data too long"), std::string::npos)
        << log;
    EXPECT_NE(log.find("[ERROR] ERR00508 : Cannot save import csv file, please see help menu for proper "
                       "format. : Data too long"),
              std::string::npos)
        << log;
    EXPECT_EQ(Count("service"), 0);
    // A stored import reads back through the service row type.
    ASSERT_TRUE(InsertImportedService({"1", "7", "5", "Web", "1", "10.0.0.9/status", "80", "3", "1", "", ""},
                                      nullptr, db));
    const auto rows = QueryServiceRows("select * from service", db);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Get("service_status"), "Unknown");
    EXPECT_EQ(rows[0].Get("alarm_email"), "n");
    EXPECT_NE(rows[0].Get("last_access"), "0000-00-00 00:00:00");
    EXPECT_FALSE(LoadServiceRow(999, db));
}

TEST_F(RecordsTest, RecordAlarmMessageFollowsBothSwitches) {
    ManualClock clock(FromLocal(2008, 3, 15, 10, 0));
    SetClock(&clock);
    TInitSettings& s = InitSettings();
    const std::string file = AlarmLogFileName();
    const std::string longText(300, 'm');
    RecordAlarmMessage("2008-03-15 10:00:01", 4, "TCP", "Failed", "[h:80] refused", "80", "h", db);
    EXPECT_EQ(ReadFile(file), "2008-03-15 10:00:01 [TCP] [h] [80] [h:80] refused\r\n");
    const DbRow r = db.Query("select * from alarm_msg_history")[0];
    EXPECT_EQ(r.Get("alarm_datetime"), "2008-03-15 10:00:01");
    EXPECT_EQ(r.GetInt("service_id"), 4);
    EXPECT_EQ(r.Get("service_status"), "Failed");
    // A result text longer than the column is kept as far as it fits.
    RecordAlarmMessage("2008-03-15 10:00:02", 4, "TCP", "Failed", longText, "80", "h", db);
    EXPECT_EQ(db.Query("select msg from alarm_msg_history where alarm_datetime='2008-03-15 10:00:02'")[0].Get("msg"),
              longText.substr(0, 255));

    s.AlarmMsgFileEnable = false;
    RecordAlarmMessage("2008-03-15 10:00:03", 4, "TCP", "Failed", "table only", "80", "h", db);
    s.AlarmMsgDBEnable = false;
    RecordAlarmMessage("2008-03-15 10:00:04", 4, "TCP", "Failed", "nowhere", "80", "h", db);
    s.AlarmMsgFileEnable = true;
    RecordAlarmMessage("2008-03-15 10:00:05", 4, "TCP", "Failed", "file only", "80", "h", db);
    EXPECT_EQ(Count("alarm_msg_history"), 3);
    const std::string text = ReadFile(file);
    EXPECT_EQ(text.find("table only"), std::string::npos);
    EXPECT_EQ(text.find("nowhere"), std::string::npos);
    EXPECT_NE(text.find("file only"), std::string::npos);
}

TEST_F(RecordsTest, HouseKeepDeletesByAge) {
    ManualClock clock(FromLocal(2008, 3, 15, 14, 0));
    SetClock(&clock);
    TInitSettings& s = InitSettings();
    s.AlarmMsgDBHouseKeepDay = 7;
    s.SystemLogHouseKeepDay = 7;
    s.AlarmMsgFileHouseKeepDay = 5;
    s.AlarmMsgFileEnable = false;  // the files go by age all the same
    for (const char* t : {"2008-03-01 12:00:00", "2008-03-07 23:59:59", "2008-03-08 00:00:00",
                          "2008-03-14 08:00:00", "2008-03-15 09:00:00"}) {
        db.Execute(std::string("insert into alarm_msg_history (alarm_datetime,service_id,msg,service_status) "
                               "values (\"") + t + "\",1,\"m\",\"Failed\")");
        db.Execute(std::string("insert into access_history (access_datetime,service_id,response_time,"
                               "service_status) values (\"") + t + "\",1,5,\"Passed\")");
    }
    namespace fs = std::filesystem;
    const std::string logDir = s.LogDir;
    const std::string alarmDir = scope.appDir() + "/alarms/";
    fs::create_directories(alarmDir);
    s.AlarmMsgFilenamePath = alarmDir;
    for (const char* d : {"2008-02-01", "2008-03-07", "2008-03-08", "2008-03-09", "2008-03-10", "2008-03-11"}) {
        WriteFile(logDir + "system_" + d + ".log", "x");
        WriteFile(alarmDir + "AlarmMsg_" + d + ".log", "x");
    }
    WriteFile(logDir + "AlarmMsg_2008-01-01.log", "x");  // not in the alarm directory: stays
    WriteFile(logDir + "notes_2008-01-01.log", "x");

    HouseKeep(db);

    const auto left = [&](const std::string& table, const std::string& column) {
        std::vector<std::string> v;
        for (const DbRow& r : db.Query("select " + column + " as t from " + table + " order by 1")) {
            v.push_back(r.Get("t"));
        }
        return v;
    };
    const std::vector<std::string> kept = {"2008-03-08 00:00:00", "2008-03-14 08:00:00", "2008-03-15 09:00:00"};
    EXPECT_EQ(left("alarm_msg_history", "alarm_datetime"), kept);
    EXPECT_EQ(left("access_history", "access_datetime"), kept);
    // System log: 7 days, so 2008-03-08 and older go; alarm log: 5 days, 2008-03-10 and older.
    for (const char* d : {"2008-02-01", "2008-03-07", "2008-03-08"}) {
        EXPECT_FALSE(fs::exists(logDir + "system_" + d + ".log")) << d;
    }
    for (const char* d : {"2008-03-09", "2008-03-10", "2008-03-11"}) {
        EXPECT_TRUE(fs::exists(logDir + "system_" + d + ".log")) << d;
    }
    for (const char* d : {"2008-02-01", "2008-03-07", "2008-03-08", "2008-03-09", "2008-03-10"}) {
        EXPECT_FALSE(fs::exists(alarmDir + "AlarmMsg_" + d + ".log")) << d;
    }
    EXPECT_TRUE(fs::exists(alarmDir + "AlarmMsg_2008-03-11.log"));
    EXPECT_TRUE(fs::exists(logDir + "AlarmMsg_2008-01-01.log"));
    EXPECT_TRUE(fs::exists(logDir + "notes_2008-01-01.log"));

    // HouseKeepDay 0: every row written before today's midnight goes.
    s.AlarmMsgDBHouseKeepDay = 0;
    HouseKeep(db);
    EXPECT_EQ(left("access_history", "access_datetime"), std::vector<std::string>{"2008-03-15 09:00:00"});
    EXPECT_EQ(left("alarm_msg_history", "alarm_datetime"), std::vector<std::string>{"2008-03-15 09:00:00"});
}

TEST_F(RecordsTest, HouseKeepFailingDeleteReachesTheCaller) {
    db.Execute("drop table access_history");
    EXPECT_THROW(HouseKeep(db), DatabaseError);
}

} // namespace
