#include "checks/WmiQuery.h"

#include <gtest/gtest.h>

using namespace velmora::wmi;

namespace {
const char* kPull = R"(<?xml version="1.0"?>
<s:Envelope xmlns:s="http://www.w3.org/2003/05/soap-envelope"
  xmlns:n="http://schemas.xmlsoap.org/ws/2004/09/enumeration"
  xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
 <s:Header/>
 <s:Body><n:PullResponse>
  <n:EnumerationContext>uuid:next</n:EnumerationContext>
  <n:Items>
   <p:Win32_Process xmlns:p="http://schemas.microsoft.com/wbem/wsman/1/wmi/root/cimv2/Win32_Process"
      xmlns:cim="http://schemas.dmtf.org/wbem/wscim/1/common">
    <p:Caption>a.exe</p:Caption>
    <p:CommandLine xsi:nil="true"/>
    <p:CreationDate><cim:Datetime>2026-12-01T08:00:00Z</cim:Datetime></p:CreationDate>
    <p:Flag>true</p:Flag>
    <p:Tags>x</p:Tags><p:Tags>y</p:Tags><p:Tags>z</p:Tags>
    <p:Embedded><p:Inner>1</p:Inner></p:Embedded>
   </p:Win32_Process>
   <p:Win32_Process xmlns:p="urn:x"><p:Caption>b.exe</p:Caption><p:Extra>7</p:Extra></p:Win32_Process>
  </n:Items>
 </n:PullResponse></s:Body></s:Envelope>)";
} // namespace

TEST(WmiReply, PullItemsBecomeTheTextTable) {
    const Reply r = ParseReply(kPull);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.context, "uuid:next");
    EXPECT_FALSE(r.endOfSequence);
    InstanceTable t;
    AppendInstances(t, r.items);
    EXPECT_EQ(t.instanceCount, 2);
    using V = std::vector<std::string>;
    EXPECT_EQ(t.rows[0], (V{"Instance", "Caption", "CommandLine", "CreationDate", "Flag", "Tags", "Embedded", "Extra"}));
    EXPECT_EQ(t.rows[1], (V{"1", "a.exe", "NULL", "2026-12-01T08:00:00Z", "True", "x|y|z", "<CIM Object>", ""}));
    EXPECT_EQ(t.rows[2], (V{"2", "b.exe", "", "", "", "", "", "7"}));
    EXPECT_EQ(t.propertyCount, 7);
    EXPECT_EQ(t.Cell(2, "Caption"), "b.exe");
    EXPECT_EQ(t.Cell(2, "Nope"), "");
}

TEST(WmiReply, DamagedRepliesAreRejectedWithAReason) {
    struct Case {
        const char* xml;
        const char* reasonStart;
    } cases[] = {
        {"this is <<< not & xml", "The reply is not XML"},
        {"", "The reply is not XML"},
        {"<html><body>hello</body></html>", "The reply is not a SOAP envelope."},
        {"<s:Envelope xmlns:s='x'/>", "The reply has no SOAP body."},
        {"<s:Envelope xmlns:s='x'><s:Body><s:Fault><s:Reason><s:Text>Access is denied.</s:Text></s:Reason></s:Fault></s:Body></s:Envelope>",
         "Fault: Access is denied."},
        {"<s:Envelope xmlns:s='x'><s:Body><Other/></s:Body></s:Envelope>", "The reply is neither"},
        {"<s:Envelope xmlns:s='x'><s:Body><n:PullResponse xmlns:n='y'/></s:Body></s:Envelope>", "The PullResponse has neither"},
        {"<s:Envelope xmlns:s='x'><s:Body><n:PullResponse xmlns:n='y'><n:Items><a>", "The reply is not XML"},
    };
    for (const auto& c : cases) {
        const Reply r = ParseReply(c.xml);
        EXPECT_FALSE(r.ok) << c.xml;
        EXPECT_EQ(r.error.rfind(c.reasonStart, 0), 0u) << r.error;
    }
}

TEST(WmiReply, EndpointsAndResourceUris) {
    EXPECT_EQ(EndpointUrl("winhost"), "http://winhost:5985/wsman");
    EXPECT_EQ(EndpointUrl("10.0.0.9:5986"), "http://10.0.0.9:5986/wsman");
    EXPECT_EQ(EndpointUrl("https://h:5986/wsman"), "https://h:5986/wsman");
    EXPECT_EQ(EndpointUrl("HTTP://h/custom"), "HTTP://h/custom");
    EXPECT_EQ(EndpointUrl("::1"), "http://[::1]:5985/wsman");
    EXPECT_EQ(EndpointUrl("[::1]:8080"), "http://[::1]:8080/wsman");
    EXPECT_EQ(ResourceUri("root\\CIMV2", "Win32_Share"),
              "http://schemas.microsoft.com/wbem/wsman/1/wmi/root/cimv2/Win32_Share");
}

TEST(WmiReply, RequestsNameTheResourceAndEscapeText) {
    const std::string e = BuildEnumerate("http://h:5985/wsman", "http://r/a&b", "uuid:1");
    EXPECT_NE(e.find("<w:ResourceURI s:mustUnderstand=\"true\">http://r/a&amp;b</w:ResourceURI>"), std::string::npos);
    EXPECT_NE(e.find("/enumeration/Enumerate</a:Action>"), std::string::npos);
    EXPECT_NE(e.find("<n:Enumerate/>"), std::string::npos);
    const std::string p = BuildPull("http://h:5985/wsman", "http://r", "uuid:<ctx>", 32, "uuid:2");
    EXPECT_NE(p.find("<n:EnumerationContext>uuid:&lt;ctx&gt;</n:EnumerationContext><n:MaxElements>32</n:MaxElements>"),
              std::string::npos);
}
