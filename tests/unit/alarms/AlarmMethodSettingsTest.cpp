#include "alarms/AlarmMethodSettings.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(AlarmHosts, NormalisationByProgram) {
    struct Case {
        const char* ip;
        const char* console;
        const char* service;
    } cases[] = {
        {"HTTP://MAILHOST", "mailhost", "MAILHOST"},
        {"HTTP://MailHost", "mailhost", "MailHost"},
        {"https://mailhost", "mailhost", "https://mailhost"},
        {"Relay.Example", "relay.example", "Relay.Example"},
        {"http://a/https://b", "a/b", "a/https://b"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormaliseMethodHost(c.ip, HostVariant::Console), c.console) << c.ip;
        EXPECT_EQ(NormaliseMethodHost(c.ip, HostVariant::Service), c.service) << c.ip;
    }
    EXPECT_EQ(NormaliseGatewayUrl("gateway/send?to=$MSISDN"), "http://gateway/send?to=$MSISDN");
    EXPECT_EQ(NormaliseGatewayUrl("HTTPS://gateway/send"), "HTTPS://gateway/send");
    EXPECT_EQ(NormaliseGatewayUrl("Http://gw"), "Http://gw");
}

TEST(LoadAlarmMethods, RowsInTableOrder) {
    AlarmMethodSettings s;
    EXPECT_FALSE(s.Enabled("Email"));
    std::vector<AlarmRow> rows = {
        {{"type", "Email"}, {"enable", "1"}, {"ip", "first"}, {"port", "25"}},
        {{"type", "email"}, {"enable", "1"}, {"ip", "ignored"}},
        {{"type", "Email"}, {"enable", "1"}, {"ip", "HTTP://MAILHOST"}, {"port", "2525"},
         {"timeout", "0"}, {"authenticate", "1"}, {"username", "u"}, {"smtp_mail_agent", "X"}},
        {{"type", "SMS"}, {"enable", "2"}, {"ip", "SMSC"}, {"port", "50111"}, {"sms_version", "34"},
         {"sms_system_type", "TCP"}, {"sms_oa", "12345"}, {"sms_dest_ton", "1"}},
        {{"type", "SMS by HTTP"}, {"enable", "1"}, {"ip", "gw/send"}, {"url_method", "Post"}},
        {{"type", "SNMP"}, {"enable", "0"}, {"ip", "NMS"}, {"port", "161"}, {"snmp_trap_port", "162"}},
    };
    std::vector<AlarmRow> extra = {{{"field_name", "user"}, {"field_value", "abc"}},
                                   {{"field_name", "k"}, {"field_value", "a=b"}}};
    LoadAlarmMethods(s, rows, extra, HostVariant::Console);
    EXPECT_TRUE(s.email.enabled);
    EXPECT_EQ(s.email.host, "mailhost");
    EXPECT_EQ(s.email.port, 2525);
    EXPECT_EQ(s.email.authenticate, 1);
    EXPECT_EQ(s.email.mail_agent, "X");
    EXPECT_EQ(EffectiveTimeout(s.email.timeout), 5000);
    EXPECT_TRUE(s.sms.enabled);
    EXPECT_EQ(s.sms.host, "smsc");
    EXPECT_EQ(s.sms.version, 34);
    EXPECT_EQ(s.sms.originator, "12345");
    EXPECT_EQ(s.smsHttp.url, "http://gw/send");
    EXPECT_EQ(s.smsHttp.ExtraPostFields, (std::vector<std::string>{"user=abc", "k=a=b"}));
    EXPECT_FALSE(s.snmp.enabled);
    EXPECT_EQ(s.snmp.trap_port, 162);
    EXPECT_FALSE(s.syslog.enabled);
    EXPECT_FALSE(s.snpp.enabled);

    // A later load: groups without a row keep their values; Get never reads the extra fields.
    LoadAlarmMethods(s, {{{"type", "SMS by HTTP"}, {"enable", "1"}, {"ip", "gw"}, {"url_method", "Get"}}},
                     extra, HostVariant::Service);
    EXPECT_TRUE(s.smsHttp.ExtraPostFields.empty());
    EXPECT_EQ(s.email.host, "mailhost");
    LoadAlarmMethods(s, {{{"type", "SMS by HTTP"}, {"enable", "0"}, {"url_method", "Post"}}}, extra,
                     HostVariant::Service);
    EXPECT_TRUE(s.smsHttp.ExtraPostFields.empty());
    LoadAlarmMethods(s, {{{"type", "Email"}, {"ip", "HTTP://MailHost"}}}, {}, HostVariant::Service);
    EXPECT_EQ(s.email.host, "MailHost");
    EXPECT_FALSE(s.email.enabled);
}
