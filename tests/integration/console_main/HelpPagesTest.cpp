// The help folder: the start page the console looks for, a page for every topic the forms
// open, and no link to a page that is not there.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

namespace {

namespace fs = std::filesystem;

TEST(HelpPages, EveryTopicExistsAndEveryLocalLinkResolves) {
    const fs::path help = fs::path(velmora::test::SourceDir()) / "help";
    const char* topics[] = {"index.html",        "mainwindow.htm",     "newservice.htm",
                            "updateservice.htm", "alarmsettings.htm",  "emailalarm.htm",
                            "smsalarm.htm",      "smsbyhttpalarm.htm", "syslogalarm.htm",
                            "snmpalarm.htm",     "pageralarm.htm",     "contacts.htm",
                            "contactgroups.htm", "scheduling.htm",     "generalsettings.htm",
                            "historycharts.htm", "importservices.htm", "logindatabase.htm",
                            "about.htm",         "checktypes.htm"};
    for (const char* t : topics) {
        EXPECT_TRUE(fs::exists(help / t)) << t;
    }
    const std::regex link(R"(href="([^"#:]+)(#[^"]*)?")");
    int pages = 0;
    for (const auto& e : fs::directory_iterator(help)) {
        const std::string ext = e.path().extension().string();
        if (ext != ".htm" && ext != ".html") {
            continue;
        }
        ++pages;
        const std::string text = velmora::test::ReadFile(e.path().string());
        EXPECT_NE(text.find("<title>"), std::string::npos) << e.path();
        for (auto it = std::sregex_iterator(text.begin(), text.end(), link);
             it != std::sregex_iterator(); ++it) {
            EXPECT_TRUE(fs::exists(help / (*it)[1].str())) << e.path() << " links " << (*it)[1];
        }
    }
    EXPECT_GE(pages, static_cast<int>(std::size(topics)));
}

} // namespace
