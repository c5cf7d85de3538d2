// ThreadSMS and SmppClient against the test SMSC built on the npm package "smpp".
#include "AlarmTestUtil.h"
#include "alarms/SmppPdu.h"
#include "alarms/ThreadSMS.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

AlarmMethodSettings::Sms Smsc(const std::string& user, int timeout = 1000) {
    AlarmMethodSettings::Sms s;
    s.enabled = true;
    s.host = "127.0.0.1";
    s.port = ServerPort("smsc");
    s.authenticate = true;
    s.username = user;
    s.password = "pw";
    s.version = 34;
    s.system_type = "TCP";
    s.ton = s.npi = s.dest_ton = s.dest_npi = s.orig_ton = s.orig_npi = 1;
    s.originator = "4711";
    s.timeout = timeout;
    return s;
}

std::string Records() { return ServerValue("smsc", "RECORDS"); }

const char* kBindFail = "[ERR00802 : SMPP Binding Failed, please make sure username, password, "
                        "TON/NPI/System Type/Version/OA are correct. : ";
const char* kSendFail = "[ERR00803 : SMPP Sending Failed, please make sure Dest TON/NPI and Orig TON/NPI are "
                        "correct. : ";

} // namespace

TEST(SmsAlarm, SubmitsGsmTextWithSharedSequence) {
    smpp::SetNextSequenceForTest(0);
    ThreadSMS sms(Smsc("first"), "0123456", "{A} ü");
    sms.Execute();
    EXPECT_EQ(sms.result_text, "[SMPP Alarm Sent Succeed]");
    EXPECT_EQ(sms.status, "Sent");
    EXPECT_TRUE(sms.sent);

    auto binds = LinesWith(Records(), {"\"command\":\"bind_transmitter\"", "\"system_id\":\"first\""});
    ASSERT_EQ(binds.size(), 1u);
    EXPECT_NE(binds[0].find("\"sequence_number\":0,"), std::string::npos) << binds[0];
    EXPECT_NE(binds[0].find("\"interface_version\":34"), std::string::npos);
    EXPECT_NE(binds[0].find("\"system_type\":\"TCP\""), std::string::npos);
    EXPECT_NE(binds[0].find("\"address_range\":\"4711\""), std::string::npos);
    const std::string conn = binds[0].substr(0, binds[0].find(','));
    auto submits = LinesWith(Records(), {conn + ",", "\"command\":\"submit_sm\""});
    ASSERT_EQ(submits.size(), 1u);
    EXPECT_NE(submits[0].find("\"sequence_number\":1,"), std::string::npos);
    EXPECT_NE(submits[0].find("\"destination_addr\":\"0123456\""), std::string::npos);
    // registered_delivery 1, data_coding 0, sm_default_msg_id 0, sm_length 7: "{" as 1b 28.
    EXPECT_NE(submits[0].find("0100000007" + Hex("\x1b\x28" "A" "\x1b\x29" " \x7e")), std::string::npos)
        << submits[0];
    EXPECT_EQ(LinesWith(Records(), {conn + ",", "\"command\":\"unbind\""}).size(), 1u);
}

TEST(SmsAlarm, WithoutAuthenticationTheBindCarriesNoCredentials) {
    auto s = Smsc("stored-user");
    s.authenticate = false;
    ThreadSMS sms(s, "1", "x");
    sms.Execute();
    EXPECT_EQ(sms.status, "Sent");
    EXPECT_TRUE(LinesWith(Records(), {"\"system_id\":\"stored-user\""}).empty());
}

TEST(SmsAlarm, EnquireLinkWhileSubmitWaits) {
    ThreadSMS sms(Smsc("enquire", 3000), "1", "x");
    sms.Execute();
    EXPECT_EQ(sms.result_text, "[SMPP Alarm Sent Succeed]");
    auto resp = LinesWith(Records(), {"\"command\":\"enquire_link_resp\""});
    ASSERT_FALSE(resp.empty());
    EXPECT_NE(resp.back().find("\"sequence_number\":77,"), std::string::npos) << resp.back();
}

TEST(SmsAlarm, FailuresCarryTheResultNumber) {
    struct Case {
        const char* user;
        std::string text;
    } cases[] = {
        {"refuse", std::string(kBindFail) + "14]"},
        {"silent", std::string(kBindFail) + "-1]"},
        {"nack", std::string(kBindFail) + "-3]"},
        {"nacksubmit", std::string(kSendFail) + "-3]"},
        {"refusesubmit", std::string(kSendFail) + "11]"},
        {"slowsubmit", std::string(kSendFail) + "-1]"},
        {"closemid", std::string(kSendFail) + "-4]"},
        {"absurd", std::string(kSendFail) + "-4]"},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        ThreadSMS sms(Smsc(c.user), "1", "x");
        sms.Execute();
        EXPECT_EQ(sms.result_text, c.text) << c.user;
        EXPECT_EQ(sms.status, "Error") << c.user;
        EXPECT_FALSE(sms.sent);
        // At most the bind's or the submit's wait plus the unbind's.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2900)) << c.user;
    }
    // The submit that timed out is still followed by an unbind.
    const auto bind = LinesWith(Records(), {"\"system_id\":\"slowsubmit\""});
    ASSERT_EQ(bind.size(), 1u);
    const std::string conn = bind[0].substr(0, bind[0].find(','));
    EXPECT_EQ(LinesWith(Records(), {conn + ",", "\"command\":\"unbind\""}).size(), 1u);
}

TEST(SmsAlarm, ConnectionFailures) {
    auto s = Smsc("x");
    s.port = ClosedPort();
    ThreadSMS refused(s, "1", "x");
    refused.Execute();
    EXPECT_EQ(refused.result_text,
              "[ERR00801 : SMPP Connection Failed, please make sure SMPP URL and port are correct. : 111]");
    s.host = "";
    ThreadSMS noHost(s, "1", "x");
    noHost.Execute();
    EXPECT_EQ(noHost.result_text,
              "[ERR00801 : SMPP Connection Failed, please make sure SMPP URL and port are correct. : 113]");
}

TEST(SmppClientState, OperationsNeedTheirState) {
    SmppClient c;
    EXPECT_EQ(c.BindTransmitter("", "", "", 34, 1, 1, ""), SmppClient::kWrongState);
    EXPECT_EQ(c.SubmitMessage("1", 1, 1, "2", 1, 1, "x"), SmppClient::kWrongState);
    EXPECT_EQ(c.Unbind(), 0);
    ASSERT_EQ(c.Connect("127.0.0.1", ServerPort("smsc")), 0);
    EXPECT_EQ(c.Connect("127.0.0.1", ServerPort("smsc")), SmppClient::kWrongState);
    EXPECT_EQ(c.BindTransmitter("state", "", "", 34, 1, 1, ""), 0);
    EXPECT_EQ(c.GetState(), SmppClient::State::Bound);
    EXPECT_EQ(c.SubmitMessage("1", 1, 1, "2", 1, 1, "x"), 0);
    EXPECT_EQ(c.MessageId(), "msg-1");
    EXPECT_EQ(c.Unbind(), 0);
    EXPECT_EQ(c.GetState(), SmppClient::State::Connected);
    c.Disconnect();
    EXPECT_EQ(c.GetState(), SmppClient::State::Disconnected);
}

TEST(SmppClientState, KeepAliveSendsEnquireLinkWhenIdle) {
    SmppClient c;
    c.SetKeepAlive(true, 300);
    c.SetResponseTimeout(1000);
    ASSERT_EQ(c.Connect("127.0.0.1", ServerPort("smsc")), 0);
    ASSERT_EQ(c.BindTransmitter("keepalive", "", "", 34, 1, 1, ""), 0);
    const auto bind = LinesWith(Records(), {"\"system_id\":\"keepalive\""});
    ASSERT_EQ(bind.size(), 1u);
    const std::string conn = bind[0].substr(0, bind[0].find(','));
    EXPECT_TRUE(WaitUntil([&] { return LinesWith(Records(), {conn + ",", "\"command\":\"enquire_link\""}).size() >= 2; }));
    EXPECT_EQ(c.GetState(), SmppClient::State::Bound);
    EXPECT_EQ(c.Unbind(), 0);
    c.Disconnect();
}
