// The version check against nginx on 127.0.0.1: the pages it reads, the texts it leaves,
// and the main window's "Download new version" command it reveals.
#include "console/Dialogs.h"
#include "console/TFormMenu.h"
#include "console/ThreadURLVersionUpgrade.h"

#include "foundation/InitSettings.h"
#include "foundation/IniFile.h"
#include "store/ZUVOzedovUzivara.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

using namespace velmora;

namespace {

std::string PageUrl(const std::string& name) {
    return "http://127.0.0.1:" + std::to_string(test::ServerPort("nginx")) + "/" + name;
}

// Writes a page into the nginx document root.
void Page(const std::string& name, const std::string& body) {
    const char* state = std::getenv("VELMORA_TEST_STATE");
    ASSERT_NE(state, nullptr);
    test::WriteFile(std::string(state) + "/nginx/html/" + name, body);
}

int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

TEST(VersionCheck, PagesAndOutcomes) {
    ASSERT_GT(test::ServerPort("nginx"), 0);
    Page("v_same.xml", "<?xml version=\"1.0\"?>\n<products><VelmoraPro><version> 3.8.0 "
                       "</version></VelmoraPro></products>\n");
    Page("v_newer.xml", "<products><VelmoraLite><version>9.9</version></VelmoraLite>"
                        "<VelmoraPro><version>3.9.0</version></VelmoraPro></products>");
    Page("v_none.xml", "<products><VelmoraLite><version>3.8.0</version></VelmoraLite></products>");
    Page("v_notxml.txt", "version=3.9.0\n");
    struct Case {
        std::string url;
        bool passed;
        std::string latest;
        bool newer;
        std::string text; // the result text after "[" + url + ":80"
    };
    const std::string closed = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/version.php";
    const Case cases[] = {
        {PageUrl("v_same.xml"), true, "3.8.0", false, " HTTP Request Succeed:OK]"},
        {PageUrl("v_newer.xml"), true, "3.9.0", true, " HTTP Request Succeed:OK]"},
        {PageUrl("v_none.xml"), true, "", true, " HTTP Request Succeed:OK]"},
        {PageUrl("v_notxml.txt"), false, "", false, ""},
        {PageUrl("missing.php"), false, "", false, " HTTP Request Error:HTTP/1.1 404 Not Found]"},
        {closed, false, "", false, " HTTP Request Error:ERR10003 Invalid Host/IP]"},
    };
    for (const Case& c : cases) {
        ThreadURLVersionUpgrade item(c.url);
        EXPECT_EQ(item.origin, "Version");
        EXPECT_EQ(item.port, 80);
        EXPECT_EQ(item.productKey, "VelmoraPro");
        item.Execute();
        EXPECT_EQ(item.passed, c.passed) << c.url << " " << item.result_text;
        EXPECT_EQ(item.status, c.passed ? "Passed" : "Failed") << c.url;
        EXPECT_EQ(item.latestVersion, c.latest) << c.url;
        EXPECT_EQ(item.NewerVersionFound("3.8.0"), c.newer) << c.url;
        if (!c.text.empty()) {
            EXPECT_EQ(item.result_text, "[" + c.url + ":80" + c.text) << c.url;
        } else {
            EXPECT_EQ(item.result_text.rfind("[" + c.url + ":80 HTTP Request Error:", 0), 0u)
                << item.result_text;
        }
    }
}

TEST(VersionCheck, PageUrlComesFromTheSettings) {
    test::AppDirScope scope;
    ASSERT_TRUE(CheckConfDir());
    EXPECT_EQ(VersionPageUrl(), kDefaultVersionPageUrl);
    IniFile ini;
    ini.Write("System", "VersionPageURL", "http://127.0.0.1:9/version.php");
    std::string error;
    ASSERT_TRUE(ini.Save(InitSettings().SettingsPath, error)) << error;
    EXPECT_EQ(VersionPageUrl(), "http://127.0.0.1:9/version.php");
}

// The engine start queues the check; a newer version shows the command, the same one not.
TEST(VersionCheck, MainWindowShowsDownloadOnlyForANewerVersion) {
    static int argc = 1;
    static char name[] = "console_version_test";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    Page("v_same.xml", "<products><VelmoraPro><version>3.8.0</version></VelmoraPro></products>");
    Page("v_newer.xml", "<products><VelmoraPro><version>3.9.0</version></VelmoraPro></products>");
    for (const auto& [page, visible] : {std::pair{"v_same.xml", false}, {"v_newer.xml", true}}) {
        test::AppDirScope scope;
        setenv("VELMORA_SYSTEMCTL", "/bin/true", 1);
        dialogs::SetHeadless(true);
        ZUVOzedovUzivara db; // never opened: the lists show their errors, the engine starts
        TFormMenu::Options o;
        o.loadSettings = false;
        o.openDatabase = false;
        o.databaseOpened = true;
        o.versionPageUrl = PageUrl(page);
        TFormMenu menu(db, o);
        menu.TimerInitTimer();
        ASSERT_NE(menu.Engine()->Pool(), nullptr);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 3000 && !menu.DownloadAction()->isVisible()) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(menu.DownloadAction()->isVisible(), visible) << page;
        menu.FormDestroy();
        unsetenv("VELMORA_SYSTEMCTL");
    }
}

} // namespace
