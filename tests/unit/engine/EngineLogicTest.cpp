#include "engine/Dispatch.h"
#include "engine/ResultRules.h"
#include "engine/Schedule.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

std::string Quote(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

TEST(DueQuery, IsTheExactSelectionForTheLocalHourAndMinute) {
    struct Case {
        int hour, minute;
        const char* hh;
        const char* mm;
    } cases[] = {
        {9, 7, "09", "07"}, {0, 0, "00", "00"}, {23, 59, "23", "59"}, {12, 30, "12", "30"}};
    for (const Case& c : cases) {
        LocalTime t;
        t.hour = c.hour;
        t.minute = c.minute;
        const std::string hh = c.hh, mm = c.mm;
        EXPECT_EQ(DueQueryText(t),
                  "SELECT * from service where status=\"Start\" and ( (schedule_by=\"Daily\" and "
                  "schedule_hour=\"" +
                      hh + "\" and schedule_minute=\"" + mm +
                      "\") or (schedule_by=\"Hourly\" and schedule_minute=\"" + mm +
                      "\") or (schedule_by=\"Minutely\" and mod(" + mm +
                      ",schedule_minute)=0 ) ) order by ip, service");
    }
    EXPECT_EQ(RunNowQueryText(42), "SELECT * from service where id=42");
}

TEST(HourGrid, QueryWeekdayColumnAndDecision) {
    EXPECT_EQ(GateQueryText(0), "select * from scheduling where schedule_time=0");
    EXPECT_EQ(GateQueryText(17), "select * from scheduling where schedule_time=17");
    LocalTime sunday;
    sunday.weekday = 0;
    LocalTime monday;
    monday.weekday = 1;
    EXPECT_EQ(WeekdayColumn(IsoWeekday(sunday)), "sun");
    EXPECT_EQ(WeekdayColumn(IsoWeekday(monday)), "mon");
    EXPECT_EQ(WeekdayColumn(6), "sat");
    EXPECT_EQ(WeekdayColumn(0), "");

    struct Case {
        std::vector<std::string> values;
        bool tickOn;
        GateAction expected;
    } cases[] = {
        {{"yes"}, false, GateAction::SwitchOn},
        {{"yes"}, true, GateAction::None},
        {{"no"}, true, GateAction::SwitchOff},
        {{"no"}, false, GateAction::None},
        {{}, true, GateAction::SwitchOff}, // no row for the hour: off
        {{}, false, GateAction::None},
        {{"yes", "no"}, true, GateAction::SwitchOff}, // the last row wins
        {{"no", "yes"}, false, GateAction::SwitchOn},
        {{"YES"}, false, GateAction::None}, // any other value changes nothing
        {{"maybe"}, true, GateAction::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GateDecision(c.values, c.tickOn), c.expected)
            << ::testing::PrintToString(c.values) << " on=" << c.tickOn;
    }
}

std::vector<int> AlarmsUpTo(int n, int k, int last = 30) {
    std::vector<int> out;
    for (int c = 1; c <= last; ++c) {
        if (AlarmDue(c, n, k)) {
            out.push_back(c);
        }
    }
    return out;
}

TEST(AlarmRule, ConsecutiveFailuresThatRaiseAnAlarm) {
    using V = std::vector<int>;
    struct Case {
        int n, k;
        V expected;
    } cases[] = {
        {3, 1, V{3, 6, 9, 12, 15, 18, 21, 24, 27, 30}},
        {3, 0, V{3}},
        {3, 2, V{6, 12, 18, 24, 30}},
        {1, 0, V{1}},
        {1, 2, V{2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30}},
        {0, 1, V{}},
        {0, 0, V{}},
        {0, 5, V{}},
        {2, 25, V{10, 20, 30}}, // above 10 counts as 10
        {2, 10, V{10, 20, 30}},
        {3, -3, V{3}}, // a negative repetition counts as "first time only"
        {-2, 1, V{}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AlarmsUpTo(c.n, c.k), c.expected) << "N=" << c.n << " K=" << c.k;
    }
}

TEST(AlarmRule, PlanOfOneFinishedCheck) {
    struct Case {
        const char* origin;
        bool passed;
        int c, n, k;
        const char* prev;
        bool record, alarm, recovery, store;
        int counter;
    } cases[] = {
        {"Product", false, 0, 3, 1, "Passed", true, false, false, true, 1},
        {"Product", false, 2, 3, 1, "Failed", true, true, false, true, 3},
        {"Product", false, 3, 3, 1, "Failed", true, false, false, true, 4},
        {"Product", true, 3, 3, 1, "Failed", false, false, true, true, 0},
        {"Product", true, 2, 3, 1, "Failed", false, false, false, true, 0},
        {"Product", true, 5, 3, 0, "Failed", false, false, true, true, 0}, // K kept the alarm back
        {"Product", true, 4, 3, 1, "Passed", false, false, false, true, 0},
        {"Product", true, 0, 3, 1, "Unknown", false, false, false, true, 0},
        {"Product", true, 1, 0, 1, "Failed", false, false, true, true, 0},  // N = 0: C >= 0
        {"Product", true, 3, 3, 1, "failed", false, false, false, true, 0}, // exactly "Failed"
        {"Setup", false, 0, 0, 0, "", false, false, false, false, 0},
        {"Setup", true, 0, 0, 0, "", false, false, false, false, 0},
    };
    for (const Case& c : cases) {
        const ResultPlan p = PlanResult(c.origin, c.passed, c.c, c.n, c.k, c.prev);
        SCOPED_TRACE(std::string(c.origin) + " passed=" + std::to_string(c.passed) +
                     " C=" + std::to_string(c.c) + " S=" + c.prev);
        EXPECT_EQ(p.recordFailure, c.record);
        EXPECT_EQ(p.sendAlarm, c.alarm);
        EXPECT_EQ(p.sendRecovery, c.recovery);
        EXPECT_EQ(p.store, c.store);
        EXPECT_EQ(p.counter, c.counter);
    }
}

TEST(ResultStatements, TextsWithBareNumbersAndEscapedStatus) {
    EXPECT_EQ(UpdateServiceStatement(4, "Failed", 17, Quote),
              "update service set current_no_of_cons_alarm=4,last_access=now(),"
              "service_status=\"Failed\" where id=17");
    EXPECT_EQ(InsertAccessHistoryStatement(17, 235, "Passed", Quote),
              "insert into access_history (access_datetime,service_id,response_time,"
              "service_status) values (now(),17,235,\"Passed\")");
    EXPECT_EQ(UpdateServiceStatement(0, "a\"b", 1, Quote),
              "update service set current_no_of_cons_alarm=0,last_access=now(),"
              "service_status=\"a\\\"b\" where id=1");
}

TEST(ResultTexts, RecoveryMessageOfEveryType) {
    struct Case {
        const char* type;
        const char* port;
        const char* expected;
    } cases[] = {
        {"URL", "80", "[h:80 HTTP Request Recovery]"},
        {"SMTP", "25", "[h:25 SMTP Connection Recovery]"},
        {"POP3", "110", "[h:110 POP3 Connection Recovery]"},
        {"IMAP", "143", "[h:143 IMAP4 Connection Recovery]"},
        {"Ping", "0", "[h:0 PING Recovery]"},
        {"FTP", "21", "[h:21 FTP Connection Recovery]"},
        {"TCP", "8080", "[h:8080 TCP Connection Recovery]"},
        {"UDP", "53", "[h:53 UDP Send Data Recovery]"},
        {"DNS", "53", "[h:53 DNS Connection Recovery]"},
        {"NNTP", "119", "[h:119 NNTP Connection Recovery]"},
        {"SNTP", "123", "[h:123 SNTP Connection Recovery]"},
        {"Telnet", "23", "[h:23 Telnet Connection Recovery]"},
        {"Rsh", "514", "[h:514 RSH Connection Recovery]"},
        {"MySQL", "3306", "[h:3306 MySQL Connection Recovery]"},
        {"WMI Process", "notepad.exe", "[h:notepad.exe WMI Connection Recovery]"},
        {"WMI HD Freespace", "1048576", "[h: Harddisk Freespace resume to basic requirement]"},
        {"WMI Share Folder", "share", "[h:share WMI Connection Recovery]"},
        {"LDAP", "389", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RecoveryMessage(c.type, "h", c.port), c.expected) << c.type;
    }
    EXPECT_EQ(BuildErrorCode("TCP"), "ERR90028");
    EXPECT_EQ(BuildErrorCode("WMI Share Folder"), "ERR90038");
    EXPECT_EQ(BuildErrorCode("tcp"), "");
}

TEST(ResultTexts, WarningForACheckThatNeverRan) {
    EXPECT_EQ(NotRunWarning(12, "TCP", PoolOutcome::Busy, "Execution queue is too long."),
              "Check of service id 12 [TCP] was not run, no result stored : Execution queue is "
              "too long.");
    EXPECT_EQ(NotRunWarning(3, "Ping", PoolOutcome::Canceled, ""),
              "Check of service id 3 [Ping] was not run, no result stored : Canceled.");
}

AlarmMethodSettings AllEnabled() {
    AlarmMethodSettings m;
    m.email.enabled = m.sms.enabled = m.smsHttp.enabled = m.syslog.enabled = m.snmp.enabled =
        m.snpp.enabled = true;
    m.email.host = "mail";
    m.syslog.host = "127.0.0.1";
    m.snmp.host = "127.0.0.2";
    return m;
}

TEST(DispatchPlan, OneEmailToAllAddressesAndOneMessagePerContact) {
    const std::vector<Contact> contacts = {
        {"a", "a@x", "111", ""}, {"b", "", "222", "p2"}, {"c", "c@x", "333", ""}};
    AlarmMethodSettings m;
    m.email.enabled = m.sms.enabled = true;
    RoutingFlags all{true, true, true, true, true, true};
    using D = std::vector<Delivery>;
    EXPECT_EQ(ContactDeliveries(m, all, contacts),
              (D{{"SMS", "111"}, {"SMS", "222"}, {"SMS", "333"}, {"Email", "a@x;c@x"}}));

    m = AllEnabled();
    EXPECT_EQ(ContactDeliveries(m, all, contacts), (D{{"SMS", "111"},
                                                      {"SMS by HTTP", "111"},
                                                      {"SMS", "222"},
                                                      {"SMS by HTTP", "222"},
                                                      {"SNPP", "p2"},
                                                      {"SMS", "333"},
                                                      {"SMS by HTTP", "333"},
                                                      {"Email", "a@x;c@x"}}));
    // Flags of the kind pick the methods; a method that is off sends nothing.
    RoutingFlags emailOnly;
    emailOnly.email = true;
    EXPECT_EQ(ContactDeliveries(m, emailOnly, contacts), (D{{"Email", "a@x;c@x"}}));
    m.email.enabled = false;
    EXPECT_EQ(ContactDeliveries(m, emailOnly, contacts), D{});
    EXPECT_EQ(ContactDeliveries(AllEnabled(), all, {}), D{});
    EXPECT_EQ(ContactDeliveries(AllEnabled(), all, {{"b", "", "", ""}}), D{});
}

TEST(DispatchPlan, ServerMethodsAndWhenContactsAreRead) {
    RoutingFlags all{true, true, true, true, true, true};
    using D = std::vector<Delivery>;
    AlarmMethodSettings m = AllEnabled();
    EXPECT_EQ(ServerDeliveries(m, all), (D{{"SysLog", "127.0.0.1"}, {"SNMP", "127.0.0.2"}}));
    RoutingFlags none;
    EXPECT_EQ(ServerDeliveries(m, none), D{});
    m.syslog.host.clear();
    EXPECT_EQ(ServerDeliveries(m, all), (D{{"SNMP", "127.0.0.2"}}));
    m.snmp.enabled = false;
    EXPECT_EQ(ServerDeliveries(m, all), D{});

    AlarmMethodSettings off;
    EXPECT_FALSE(NeedsContacts(off));
    off.syslog.enabled = off.snmp.enabled = true;
    EXPECT_FALSE(NeedsContacts(off));
    off.snpp.enabled = true;
    EXPECT_TRUE(NeedsContacts(off));
    EXPECT_EQ(MethodHost(AllEnabled(), "Email"), "mail");
    EXPECT_EQ(MethodHost(AllEnabled(), "SMS by HTTP"), "");

    EXPECT_EQ(ContactQueryText(9),
              "Select contact_person.name as name, contact_person.email as "
              "email,contact_person.sms as sms, contact_person.pager_id as pager_id from "
              "service_contact_person,contact_person where "
              "service_contact_person.contact_person_id=contact_person.id and "
              "service_contact_person.service_id=9");
}

class FakeDelivery : public AlarmSender {
public:
    explicit FakeDelivery(std::string method) : AlarmSender(std::move(method)) {}
    void Execute() override {}
    void Fail(std::string text) { SetError(std::move(text)); }
    void Ok() { SetSent("fine"); }
};

TEST(DispatchPlan, FailureLineOfEveryMethod) {
    struct Case {
        const char* method;
        const char* expected;
    } cases[] = {
        {"SMS by HTTP", "Alarming Message - HTTP-SMS : Response code=503 [gw:80 down] queue"},
        {"SysLog", "Alarming Message - SysLog : error [gw:80 down] queue"},
        {"Email", "Alarming Message - SMTP : error [gw:80 down] queue"},
        {"SMS", "Alarming Message - SMS : error [gw:80 down] queue"},
        {"SNMP", "Alarming Message - SNMP : error [gw:80 down] queue"},
        {"SNPP", "Alarming Message - SNPP : error [gw:80 down] queue"},
    };
    for (const Case& c : cases) {
        FakeDelivery d(c.method);
        d.Fail("[gw:80 down]");
        d.response_code = 503;
        d.poolMessage = "queue";
        EXPECT_EQ(DeliveryFailureLine(d), c.expected);
        d.Ok();
        EXPECT_EQ(DeliveryFailureLine(d), "");
    }
    // Given up by the pool: the constructor's outcome is a failure with an empty text.
    FakeDelivery never("Email");
    never.poolMessage = "Execution queue is too long.";
    EXPECT_EQ(DeliveryFailureLine(never),
              "Alarming Message - SMTP : error  Execution queue is too long.");
}

} // namespace
