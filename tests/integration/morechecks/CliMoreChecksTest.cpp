// velmoractl check builds the DNS, SNTP and WMI checks through the builders and prints the
// same texts as the check classes.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct CliResult {
    int exit;
    std::string out;
};

CliResult Cli(const std::vector<std::string>& args) {
    std::string cmd = Quote(VELMORACTL_PATH) + " check";
    for (const auto& a : args) cmd += " " + Quote(a);
    cmd += " 2>/dev/null";
    FILE* p = ::popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int st = ::pclose(p);
    return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out};
}

std::string FirstLine(const std::string& out) { return out.substr(0, out.find('\n')); }

} // namespace

TEST(VelmoractlMoreChecks, TextsAndExitCodes) {
    using velmora::test::ServerValue;
    const std::string dns = ServerValue("dnsmasq", "PORT");
    const std::string ntp = ServerValue("chrony", "PORT");
    const std::string wmi = "127.0.0.1:" + ServerValue("winrm", "PORT");
    const std::vector<std::string> creds = {"--set", "wmi_namespace=root\\CIMV2", "--set", "username=wmiadmin",
                                            "--set", "password=wmipass"};
    auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    struct Case {
        std::vector<std::string> args;
        int exit;
        std::string line;
    } cases[] = {
        {{"--type", "DNS", "--host", "127.0.0.1", "--port", dns, "--set", "dns_query_type=1", "--set",
          "dns_request_ip_domain=127.0.0.20", "--set", "dns_expect_ip_domain=Mail.Velmora.Test"},
         0, "[127.0.0.1:" + dns + " DNS succeed. DNS Result matches mail.velmora.test]"},
        {{"--type", "DNS", "--host", "127.0.0.1", "--port", dns, "--set", "dns_request_ip_domain=www.velmora.test",
          "--set", "dns_expect_ip_domain=127.0.0.99"},
         1, "[127.0.0.1:" + dns + " DNS Error. DNS result does not match]"},
        {{"--type", "SNTP", "--host", "127.0.0.1", "--port", ntp}, 0, "[127.0.0.1:" + ntp + " SNTP Connection Succeed]"},
        {with({"--type", "WMI HD Freespace", "--host", wmi, "--set", "wmi_freespace=21474836480", "--set",
               "wmi_specified_drive=0"}, creds),
         1, "[" + wmi + " : has not enough freespace. All Harddisk freespace=15.0G]"},
        {with({"--type", "WMI Process", "--host", wmi, "--set", "wmi_process_name=a.exe, b.exe"}, creds), 1,
         "[" + wmi + " :  b.exe WMI Failed]"},
        {with({"--type", "WMI Share Folder", "--host", wmi, "--set", "wmi_process_name=C:\\Data"}, creds), 0, ""},
    };
    for (const auto& c : cases) {
        const CliResult r = Cli(c.args);
        EXPECT_EQ(r.exit, c.exit) << r.out;
        EXPECT_EQ(FirstLine(r.out), c.line);
        EXPECT_NE(r.out.find(c.exit == 0 ? "\nstatus: Passed\n" : "\nstatus: Failed\n"), std::string::npos) << r.out;
    }
}
