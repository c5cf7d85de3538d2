// The texts the senders compose: mail addresses and header, gateway parameters, pager lines.
#include "alarms/MailMessage.h"
#include "alarms/ThreadSNPP.h"
#include "alarms/ThreadURL.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(EmailMessage, AddressListAndDotStuffing) {
    EXPECT_EQ(SplitAddressList(";a@x; b@y ,c@z;;"), (std::vector<std::string>{"a@x", "b@y", "c@z"}));
    EXPECT_EQ(SplitAddressList("\"Doe, J\" <j@x>; k@y (Kay; K)"),
              (std::vector<std::string>{"\"Doe, J\" <j@x>", "k@y (Kay; K)"}));
    EXPECT_EQ(AddressOf("\"Doe, J\" <j@x>"), "j@x");
    EXPECT_EQ(AddressOf(" k@y "), "k@y");
    EXPECT_EQ(DotStuff(".a\n..b\r\nc.\r.d"), "..a\r\n...b\r\nc.\r\n..d");
    MailMessage m;
    m.from = "a@x\r\nBcc: evil@x";
    m.to = {"b@y"};
    m.subject = "Grüße";
    m.body = "x";
    const std::string r = m.Render("D", "<id@h>");
    EXPECT_NE(r.find("From: a@x  Bcc: evil@x\r\n"), std::string::npos) << r;
    EXPECT_NE(r.find("Subject: =?UTF-8?B?R3LDvMOfZQ==?=\r\n"), std::string::npos) << r;
}

TEST(GatewayText, Encoding) {
    EXPECT_EQ(EncodeGatewayParam("Srv 1: down!"), "Srv+1%3A+down%21");
    EXPECT_EQ(EncodeGatewayParam("ü"), "%C3%BC");
    EXPECT_EQ(GatewayPostBody({"to=", "text=a b", "flag"}), "to=&text=a+b&flag");
    AlarmMethodSettings::SmsHttp plain;
    plain.url = "http://gw/plain";
    plain.method_word = "Get";
    ThreadURL none(plain, "1", "x");
    EXPECT_EQ(none.FinalUrl(), "http://gw/plain");
}

TEST(PagerText, OneLine) {
    EXPECT_EQ(OneLine("a\r\n\r\nb\rc"), "a  b c");
    EXPECT_EQ(OneLine("plain"), "plain");
}
