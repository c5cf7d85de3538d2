// The main window's import commands against the private MariaDB server: the file dialogs,
// questions and messages, the refresh of the main window, and nothing stored from a
// corrupted service.xml.
#include "ConsoleHistoryTest.h"

#include "console/FormOpeners.h"

using namespace velmora;
using namespace velmora::test;

namespace {

class ImportCommandsTest : public ConsoleDbTest {
protected:
    long long Services() {
        return Database().Query("select count(*) as n from service")[0].GetInt("n");
    }
    std::string File(const std::string& name, const std::string& text) {
        WriteFile(dir / name, text);
        return dir / name;
    }
    static QString Q(const std::string& s) { return QString::fromStdString(s); }

    TempDir dir;
    StubHost host;
};

TEST_F(ImportCommandsTest, CsvFileStoresItsLinesAndRefreshesTheMainWindow) {
    dialogs::QueueFileName(Q(File("services.csv", "1,7,5,Web,1,HTTP://10.0.0.9/Status,80,3,1,,,\r\n"
                                                  "1,1,1,nohost,7,,80,1,1,,,\n"
                                                  "3,0,5,Ssh,7,10.0.0.7,22,2,0,,,\n")));
    ImportServicesCsv(&host, nullptr);
    const DbResult rows = Database().Query("select ip, port, schedule_by, service from service order by id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Get("ip"), "10.0.0.9/status");
    EXPECT_EQ(rows[0].Get("service"), "URL");
    EXPECT_EQ(rows[1].Get("ip"), "10.0.0.7");
    EXPECT_EQ(host.servicesChanged, 1);
    ASSERT_EQ(dialogs::ShownMessages().size(), 1u);
    EXPECT_EQ(dialogs::ShownMessages().front().kind, "information");
    EXPECT_EQ(dialogs::ShownMessages().front().text, "Import services from CSV file is done.");
}

TEST_F(ImportCommandsTest, CsvCanceledOrUnreadable) {
    dialogs::QueueFileName("");
    ImportServicesCsv(&host, nullptr);
    EXPECT_TRUE(dialogs::ShownMessages().empty());

    dialogs::QueueFileName(Q(dir / "missing.csv"));
    ImportServicesCsv(&host, nullptr);
    ASSERT_EQ(dialogs::ShownMessages().size(), 1u);
    EXPECT_EQ(dialogs::ShownMessages().front().kind, "error");
    EXPECT_EQ(dialogs::ShownMessages().front().text,
              "ERR00507 : Cannot import csv file, please see help menu for proper format.");
    EXPECT_NE(scope.LogText().find("ERR00507 : Cannot import csv file"), std::string::npos);
    EXPECT_EQ(host.servicesChanged, 0);
    EXPECT_EQ(Services(), 0);
}

const char* const kServiceXml =
    "<?xml version=\"1.0\"?><services>"
    "<service><service>TCP</service><ip>10.0.0.5</ip><port>22</port><title>ssh</title><status>Start</status>"
    "<schedule_by>Minutely</schedule_by><schedule_hour>00</schedule_hour><schedule_minute>05</schedule_minute>"
    "</service>"
    "<service><service>WMI Share Folder</service><ip>fs1</ip><port>0</port><title>share</title>"
    "<wmi_share_folder>C:\\Data</wmi_share_folder><status>Stop</status></service>"
    "</services>";

TEST_F(ImportCommandsTest, ServiceXmlStoresEveryServiceAndRefreshesTheMainWindow) {
    dialogs::QueueFileName(Q(File("service.xml", kServiceXml)));
    ImportServicesXml(&host, nullptr);
    const DbResult rows = Database().Query("select ip, service, wmi_process_name from service order by id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Get("ip"), "10.0.0.5");
    EXPECT_EQ(rows[1].Get("wmi_process_name"), "C:\\Data");
    EXPECT_EQ(host.servicesChanged, 1);
    ASSERT_EQ(dialogs::ShownMessages().size(), 1u);
    EXPECT_EQ(dialogs::ShownMessages().front().text, "Import services from service.xml file is done.");
}

TEST_F(ImportCommandsTest, CorruptedServiceXmlStoresNothing) {
    // The first service element is whole; the document breaks off in the second.
    dialogs::QueueFileName(Q(File("service.xml", "<services><service><service>TCP</service><ip>a</ip>"
                                                 "<port>1</port></service><service><ip>b</ip>")));
    ImportServicesXml(&host, nullptr);
    ASSERT_EQ(dialogs::ShownMessages().size(), 1u);
    const std::string shown = dialogs::ShownMessages().front().text.toStdString();
    const std::string prefix = "ERR00601 : The service.xml file is corrupted. : ";
    EXPECT_EQ(dialogs::ShownMessages().front().kind, "error");
    ASSERT_EQ(shown.rfind(prefix, 0), 0u) << shown;
    EXPECT_GT(shown.size(), prefix.size());  // the parser's message
    const std::string log = scope.LogText();
    EXPECT_NE(log.find("ERR00601 : The service.xml file is corrupted."), std::string::npos);
    EXPECT_EQ(log.find(prefix), std::string::npos);
    EXPECT_EQ(Services(), 0);
    EXPECT_EQ(host.servicesChanged, 0);
}

TEST_F(ImportCommandsTest, MissingServiceXmlAsksAgainOnce) {
    const QString missing = Q(dir / "none/service.xml");
    struct Case {
        QMessageBox::StandardButton answer;
        QString second;
        std::vector<std::pair<const char*, const char*>> shown;
        long long stored;
    } cases[] = {
        {QMessageBox::No, {}, {{"question", "Cannot find service.xml file, provide the path again?"}}, 0},
        {QMessageBox::Yes, missing,
         {{"question", "Cannot find service.xml file, provide the path again?"},
          {"error", "Cannot find service.xml file."}}, 0},
        {QMessageBox::Yes, Q(File("service.xml", kServiceXml)),
         {{"question", "Cannot find service.xml file, provide the path again?"},
          {"information", "Import services from service.xml file is done."}}, 2},
    };
    for (const Case& c : cases) {
        dialogs::ClearShown();
        dialogs::QueueFileName("");  // the first dialog canceled
        dialogs::QueueAnswer(c.answer);
        if (c.answer == QMessageBox::Yes) {
            dialogs::QueueFileName(c.second);
        }
        ImportServicesXml(&host, nullptr);
        ASSERT_EQ(dialogs::ShownMessages().size(), c.shown.size());
        for (size_t i = 0; i < c.shown.size(); ++i) {
            EXPECT_EQ(dialogs::ShownMessages()[i].kind, c.shown[i].first);
            EXPECT_EQ(dialogs::ShownMessages()[i].text, c.shown[i].second);
        }
        EXPECT_EQ(Services(), c.stored);
    }
    EXPECT_EQ(host.servicesChanged, 1);
}

} // namespace
