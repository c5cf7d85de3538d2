// The history window against the private MariaDB server on the offscreen platform: paging
// of the lists and charts, the export files byte for byte, failures that keep the window
// open, the opener, and screenshots of every tab.
#include "ConsoleHistoryTest.h"

#include "console/FormOpeners.h"
#include "console/TFormChartings.h"

#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>

using namespace velmora;
using namespace velmora::test;

namespace {

class HistoryWindowTest : public ConsoleDbTest {
protected:
    // `count` access rows of one service, the newest first at 2008-03-10 00:00:00 and one
    // second apart, each with its number (1 = newest) as its response time.
    void AddAccessRows(long long serviceId, int count, const char* status = "Passed") {
        const QDateTime newest(QDate(2008, 3, 10), QTime(0, 0), Qt::UTC);
        std::string sql;
        for (int i = 1; i <= count; ++i) {
            sql += sql.empty() ? "insert into access_history (access_datetime,service_id,response_time,"
                                 "service_status) values "
                               : ",";
            sql += "(\"" + newest.addSecs(-i).toString("yyyy-MM-dd HH:mm:ss").toStdString() + "\"," +
                   std::to_string(serviceId) + "," + std::to_string(i) + ",\"" + status + "\")";
        }
        Database().Execute(sql);
    }

    void AddGroupRows(long long serviceId, int count, const std::string& time) {
        ZUVOzedovUzivara& db = Database();
        for (int i = 0; i < count; ++i) {
            db.Execute("insert into access_history (access_datetime,service_id,response_time,service_status) "
                       "values (" + db.Quote(time) + "," + std::to_string(serviceId) + ",5,\"Passed\")");
            db.Execute("insert into alarm_msg_history (alarm_datetime,service_id,msg,service_status) values (" +
                       db.Quote(time) + "," + std::to_string(serviceId) + ",\"down\",\"Failed\")");
        }
    }

    static QPushButton* Button(TFormChartings& f, const char* name) {
        QPushButton* b = f.findChild<QPushButton*>(name);
        EXPECT_NE(b, nullptr) << name;
        return b;
    }

    static void Trigger(TFormChartings& f, const char* action) {
        QAction* a = f.findChild<QAction*>(action);
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }

    static void Screenshot(QWidget& w, const std::string& name) {
        QApplication::processEvents();
        ASSERT_TRUE(w.grab().save(QString::fromStdString(ScreenshotDir() + "/" + name)));
    }
};

const char* const kTypes[] = {"URL", "Ping", "SMTP", "POP3", "IMAP", "FTP",
                              "TCP", "UDP", "DNS", "NNTP", "SNTP"};

TEST_F(HistoryWindowTest, AccessHistoryPagesByThousandRows) {
    const long long id = AddService("TCP", "10.0.0.1", 80);
    AddAccessRows(id, 2500);
    AddAccessRows(id, 40, "Failed");  // not successful runs: neither listed nor counted

    TFormChartings f(nullptr);
    f.show();
    ASSERT_TRUE(f.LoadCurrentTab());
    f.SetNext();
    QTreeWidget* list = f.List(0);
    QPushButton* next = Button(f, "TntButtonNext");
    QPushButton* previous = Button(f, "TntButtonPrevious");
    ASSERT_EQ(list->topLevelItemCount(), 1000);
    EXPECT_EQ(list->topLevelItem(0)->text(5), "1");
    EXPECT_EQ(list->topLevelItem(999)->text(5), "1000");
    EXPECT_EQ(list->topLevelItem(0)->text(1), "2008-03-09 23:59:59");
    EXPECT_EQ(list->topLevelItem(0)->text(0), "");
    EXPECT_TRUE(next->isEnabled());
    EXPECT_FALSE(previous->isEnabled());

    next->click();
    next->click();
    ASSERT_EQ(list->topLevelItemCount(), 500);
    EXPECT_EQ(list->topLevelItem(0)->text(5), "2001");
    EXPECT_EQ(list->topLevelItem(499)->text(5), "2500");
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(previous->isEnabled());
    EXPECT_EQ(f.Page(0).offset, 2000);
    EXPECT_EQ(f.Page(0).pageEnd, 3000);

    // Offsets survive a change of tab.
    f.SetCurrentTab(history::kErrorHistory);
    f.SetCurrentTab(history::kAccessHistory);
    EXPECT_EQ(list->topLevelItem(0)->text(5), "2001");

    previous->click();
    ASSERT_EQ(list->topLevelItemCount(), 1000);
    EXPECT_EQ(list->topLevelItem(0)->text(5), "1001");
    EXPECT_TRUE(next->isEnabled());
    EXPECT_TRUE(previous->isEnabled());
}

TEST_F(HistoryWindowTest, ChartsShowTenBarsAPageAndTurnNextOnForAnEleventh) {
    // Eleven groups in every chart: service i has its own host, type and day, with i runs
    // and i alarm messages.
    for (int i = 1; i <= 11; ++i) {
        const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
        const long long id = AddService(kTypes[i - 1], "h" + n + "/status", 80);
        AddGroupRows(id, i, "2008-03-" + n + " 12:00:00");
    }
    TFormChartings f(nullptr);
    f.show();
    QPushButton* next = Button(f, "TntButtonNext");
    QPushButton* previous = Button(f, "TntButtonPrevious");
    struct Expect {
        int tab;
        const char* newest;
        const char* oldest;
        QColor colour;
    } expects[] = {
        {history::kHostAccessChart, "h11", "h01", QColor(166, 202, 240)},
        {history::kServiceAccessChart, "SNTP", "URL", QColor(255, 0, 0)},
        {history::kDateAccessChart, "2008-03-11", "2008-03-01", QColor(255, 0, 255)},
        {history::kHostErrorChart, "h11", "h01", QColor(166, 202, 240)},
        {history::kServiceErrorChart, "SNTP", "URL", QColor(255, 0, 0)},
        {history::kDateErrorChart, "2008-03-11", "2008-03-01", QColor(255, 0, 255)},
    };
    for (const Expect& e : expects) {
        SCOPED_TRACE(e.tab);
        f.SetCurrentTab(e.tab);
        ASSERT_EQ(f.ChartLabels(e.tab).size(), 10);
        EXPECT_EQ(f.ChartLabels(e.tab).front(), e.newest);
        EXPECT_EQ(f.ChartValues(e.tab).front(), 11);
        EXPECT_EQ(f.ChartValues(e.tab).back(), 2);
        EXPECT_TRUE(next->isEnabled());
        EXPECT_FALSE(previous->isEnabled());
        const auto series = f.Chart(e.tab)->chart()->series();
        ASSERT_EQ(series.size(), 1);
        auto* bars = qobject_cast<QBarSeries*>(series.front());
        ASSERT_NE(bars, nullptr);
        EXPECT_TRUE(bars->isLabelsVisible());
        ASSERT_EQ(bars->barSets().size(), 1);
        EXPECT_EQ(bars->barSets().front()->color(), e.colour);
        EXPECT_EQ(bars->barSets().front()->count(), 10);
        Screenshot(f, "history_tab" + std::to_string(e.tab) + ".png");

        next->click();
        ASSERT_EQ(f.ChartLabels(e.tab).size(), 1);
        EXPECT_EQ(f.ChartLabels(e.tab).front(), e.oldest);
        EXPECT_EQ(f.ChartValues(e.tab).front(), 1);
        EXPECT_FALSE(next->isEnabled());
        EXPECT_TRUE(previous->isEnabled());
    }

    // With the oldest group gone exactly ten remain: one page, Next off.
    Database().Execute("delete from access_history where access_datetime<\"2008-03-02\"");
    Database().Execute("delete from alarm_msg_history where alarm_datetime<\"2008-03-02\"");
    for (const Expect& e : expects) {
        SCOPED_TRACE(e.tab);
        f.SetCurrentTab(e.tab);
        previous->click();
        EXPECT_EQ(f.ChartLabels(e.tab).size(), 10);
        EXPECT_FALSE(next->isEnabled());
        EXPECT_FALSE(previous->isEnabled());
    }

    // Both lists with data, for the screenshots.
    for (int tab : {history::kAccessHistory, history::kErrorHistory}) {
        f.SetCurrentTab(tab);
        EXPECT_EQ(f.List(tab)->topLevelItemCount(), 65);
        Screenshot(f, "history_tab" + std::to_string(tab) + ".png");
    }
}

class HistoryExportTest : public HistoryWindowTest {
protected:
    void SetUp() override {
        HistoryWindowTest::SetUp();
        ZUVOzedovUzivara& db = Database();
        const long long shop = AddService("URL", "shop&co/<cart>", 0);
        const long long mail = AddService("TCP", "10.0.0.2", 25);
        db.Execute("insert into alarm_msg_history (alarm_datetime,service_id,msg,service_status) values "
                   "(\"2008-03-02 10:00:00\"," + std::to_string(shop) + "," +
                   db.Quote("[shop&co/<cart>:0] ERR10001 : \"refused\" & gone") + ",\"Failed\"),"
                   "(\"2008-03-01 09:30:00\"," + std::to_string(mail) + "," +
                   db.Quote("[10.0.0.2:25] 'timeout', <none>") + ",\"Failed\")");
        db.Execute("insert into access_history (access_datetime,service_id,response_time,service_status) values "
                   "(\"2008-03-02 11:00:00\"," + std::to_string(shop) + ",17,\"Passed\")");
        owned = std::make_unique<TFormChartings>(nullptr);
        form = owned.get();
        form->show();
        form->SetCurrentTab(history::kErrorHistory);
    }
    void TearDown() override {
        owned.reset();
        HistoryWindowTest::TearDown();
    }

    std::string Path(const std::string& name) const { return out / name; }

    TempDir out;
    std::unique_ptr<TFormChartings> owned;
    TFormChartings* form = nullptr;
};

const std::string kExcelHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"  "
    "xmlns:x=\"urn:schemas-microsoft-com:office:excel\"  xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"  "
    "xmlns:html=\"http://www.w3.org/TR/REC-html40\"><Worksheet ss:Name=\"Table1\"><Table>\r\n";

TEST_F(HistoryExportTest, ExcelAndHtmlFilesOfTheWholePageByteForByte) {
    QTreeWidget* list = form->List(history::kErrorHistory);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(4), "---");
    EXPECT_EQ(list->topLevelItem(1)->text(4), "25");

    dialogs::QueueFileName(QString::fromStdString(Path("errors")));
    Trigger(*form, "MenuExportAllExcel");
    EXPECT_EQ(form->StatusText(), "Export data completed successfully.");
    const std::string excel =
        kExcelHead +
        "<Column ss:Index=\"1\" ss:AutoFitWidth=\"0\" ss:Width=\"100\"/>"
        "<Column ss:Index=\"2\" ss:AutoFitWidth=\"0\" ss:Width=\"100\"/>"
        "<Column ss:Index=\"3\" ss:AutoFitWidth=\"0\" ss:Width=\"100\"/>"
        "<Column ss:Index=\"4\" ss:AutoFitWidth=\"0\" ss:Width=\"100\"/>"
        "<Column ss:Index=\"5\" ss:AutoFitWidth=\"0\" ss:Width=\"100\"/>"
        "<Column ss:Index=\"6\" ss:AutoFitWidth=\"0\" ss:Width=\"100\"/>\r\n"
        "<Row><Cell><Data ss:Type=\"String\">Date Time</Data></Cell><Cell><Data ss:Type=\"String\">Service</Data>"
        "</Cell><Cell><Data ss:Type=\"String\">IP</Data></Cell><Cell><Data ss:Type=\"String\">Port</Data></Cell>"
        "<Cell><Data ss:Type=\"String\">Error Msg</Data></Cell><Cell><Data ss:Type=\"String\">Status</Data>"
        "</Cell></Row>\r\n"
        "<Row><Cell><Data ss:Type=\"String\">2008-03-02 10:00:00</Data></Cell><Cell><Data ss:Type=\"String\">URL"
        "</Data></Cell><Cell><Data ss:Type=\"String\">shop&amp;co/&lt;cart&gt;</Data></Cell><Cell><Data "
        "ss:Type=\"String\">---</Data></Cell><Cell><Data ss:Type=\"String\">[shop&amp;co/&lt;cart&gt;:0] "
        "ERR10001 : &quot;refused&quot; &amp; gone</Data></Cell><Cell><Data ss:Type=\"String\">Failed</Data>"
        "</Cell></Row>\r\n"
        "<Row><Cell><Data ss:Type=\"String\">2008-03-01 09:30:00</Data></Cell><Cell><Data ss:Type=\"String\">TCP"
        "</Data></Cell><Cell><Data ss:Type=\"String\">10.0.0.2</Data></Cell><Cell><Data ss:Type=\"String\">25"
        "</Data></Cell><Cell><Data ss:Type=\"String\">[10.0.0.2:25] 'timeout', &lt;none&gt;</Data></Cell><Cell>"
        "<Data ss:Type=\"String\">Failed</Data></Cell></Row>\r\n"
        "</Table></Worksheet></Workbook>\r\n";
    EXPECT_EQ(ReadFile(Path("errors.xls")), excel);

    dialogs::QueueFileName(QString::fromStdString(Path("errors.html")));
    Trigger(*form, "MenuExportAllHTML");
    const std::string html =
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>Velmora Pro - Error History</title>"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\" /><style type=\"text/css\"><!--"
        "body {font-family: Verdana, Arial, Helvetica, Verdana, sans-serif;text-align:left;color: #000000;"
        "margin: 0px;padding: 0px;font-size: 11px;voice-family: \"\\\"}\\\"\";voice-family: inherit;}"
        "table {width: \"100%\";border: \"0\";font-size: 11px;cellpadding: \"3\";cellspacing: \"1\";"
        "border: #000000 0px solid;}"
        ".tableheader {background-color: #333333; color: #FFFFFF;}"
        ".fieldheader {background-color: #A6A6A6;}"
        ".row_odd {background-color: #FFFFFF;}"
        ".row_even {background-color: #e5e5e5;}"
        ".txt_copyright {font-size:9px;color:#ff0000;font-weight:bold;}"
        "--></style></head><body>\r\n"
        "<table><tr class=\"fieldheader\"><td>Date Time</td><td>Service</td><td>IP</td><td>Port</td>"
        "<td>Error Msg</td><td>Status</td></tr>\r\n"
        "<tr class=row_even><td>2008-03-02 10:00:00</td><td>URL</td><td>shop&amp;co/&lt;cart&gt;</td>"
        "<td>---</td><td>[shop&amp;co/&lt;cart&gt;:0] ERR10001 : &quot;refused&quot; &amp; gone</td>"
        "<td>Failed</td></tr>\r\n"
        "<tr class=row_odd><td>2008-03-01 09:30:00</td><td>TCP</td><td>10.0.0.2</td><td>25</td>"
        "<td>[10.0.0.2:25] 'timeout', &lt;none&gt;</td><td>Failed</td></tr>\r\n"
        "</table>\r\n"
        "<br><hr align=\"center\" noshade=\"noshade\" size=\"1\" width=\"100%\" /><div align=\"right\">"
        "<span class=\"txt_copyright\">Velmora Pro - network service monitor</span></div></body></html>\r\n";
    EXPECT_EQ(ReadFile(Path("errors.html")), html);

    dialogs::QueueFileName(QString::fromStdString(Path("errors")));
    Trigger(*form, "MenuExportAllText");
    EXPECT_EQ(ReadFile(Path("errors.txt")),
              "2008-03-02 10:00:00\tURL\tshop&co/<cart>\t---\t[shop&co/<cart>:0] ERR10001 : \"refused\" & gone\t"
              "Failed\t\r\n"
              "2008-03-01 09:30:00\tTCP\t10.0.0.2\t25\t[10.0.0.2:25] 'timeout', <none>\tFailed\t\r\n");
    EXPECT_TRUE(dialogs::ShownMessages().empty());
}

TEST_F(HistoryExportTest, CsvOfTheSelectionQuotesAndNothingWithoutASelection) {
    QTreeWidget* list = form->List(history::kErrorHistory);
    // No row selected: nothing is asked and nothing written; the queued name stays for the
    // next export.
    dialogs::QueueFileName(QString::fromStdString(Path("picked")));
    Trigger(*form, "MenuExportCSV");
    EXPECT_FALSE(std::filesystem::exists(Path("picked.csv")));

    list->topLevelItem(1)->setSelected(true);
    Trigger(*form, "MenuExportCSV");
    EXPECT_EQ(ReadFile(Path("picked.csv")),
              "\"2008-03-01 09:30:00\",TCP,10.0.0.2,25,\"[10.0.0.2:25] 'timeout', <none>\",Failed\r\n");

    // The selected second row keeps its odd class in HTML.
    dialogs::QueueFileName(QString::fromStdString(Path("picked.html")));
    Trigger(*form, "MenuExportHTML");
    EXPECT_NE(ReadFile(Path("picked.html")).find("\r\n<tr class=row_odd><td>2008-03-01 09:30:00</td>"),
              std::string::npos);

    dialogs::QueueFileName(QString::fromStdString(Path("report.old")));
    Trigger(*form, "MenuExportAllCSV");
    EXPECT_EQ(ReadFile(Path("report.old.csv")),
              "\"2008-03-02 10:00:00\",URL,shop&co/<cart>,---,\"[shop&co/<cart>:0] ERR10001 : \"\"refused\"\" & "
              "gone\",Failed\r\n"
              "\"2008-03-01 09:30:00\",TCP,10.0.0.2,25,\"[10.0.0.2:25] 'timeout', <none>\",Failed\r\n");

    // The access list: port 0 as "---" in the file too.
    form->SetCurrentTab(history::kAccessHistory);
    dialogs::QueueFileName(QString::fromStdString(Path("report.csv")));
    Trigger(*form, "MenuExportAllCSV");
    EXPECT_EQ(ReadFile(Path("report.csv")), "\"2008-03-02 11:00:00\",URL,shop&co/<cart>,---,17\r\n");
    EXPECT_TRUE(dialogs::ShownMessages().empty());
}

TEST_F(HistoryExportTest, HeaderClicksSortByTheColumnTextBothWaysAndExportsFollow) {
    QTreeWidget* list = form->List(history::kErrorHistory);
    list->header()->sectionClicked(2);  // "Service"
    EXPECT_EQ(list->topLevelItem(0)->text(2), "TCP");
    list->header()->sectionClicked(2);
    EXPECT_EQ(list->topLevelItem(0)->text(2), "URL");
    list->header()->sectionClicked(2);
    EXPECT_EQ(list->topLevelItem(0)->text(2), "TCP");
    // The order survives a reload, and the rows are exported in the order shown.
    form->findChild<QPushButton*>("TntButtonRefresh")->click();
    EXPECT_EQ(list->topLevelItem(0)->text(2), "TCP");
    dialogs::QueueFileName(QString::fromStdString(Path("sorted.txt")));
    Trigger(*form, "MenuExportAllText");
    EXPECT_EQ(ReadFile(Path("sorted.txt")).substr(0, 24), "2008-03-01 09:30:00\tTCP\t");
}

TEST_F(HistoryExportTest, UnwritableFilesAreReportedAndTheWindowStays) {
    struct Case {
        const char* action;
        const char* message;
    } cases[] = {
        {"MenuExportAllCSV", "ERR00504 : Cannot export csv file. : "},
        {"MenuExportAllExcel", "ERR00509 : Cannot export excel file. : "},
        {"MenuExportAllText", "ERR00505 : Cannot export txt file. : "},
        {"MenuExportAllHTML", "ERR00506 : Cannot export html file. : "},
    };
    for (const Case& c : cases) {
        dialogs::ClearShown();
        dialogs::QueueFileName("/nonexistent-velmora-dir/report");
        Trigger(*form, c.action);
        ASSERT_EQ(dialogs::ShownMessages().size(), 1u) << c.action;
        EXPECT_EQ(dialogs::ShownMessages().front().kind, "error");
        EXPECT_EQ(dialogs::ShownMessages().front().text.toStdString().rfind(c.message, 0), 0u)
            << dialogs::ShownMessages().front().text.toStdString();
        EXPECT_NE(scope.LogText().find(c.message), std::string::npos);
        EXPECT_TRUE(form->isVisible());
    }
}

TEST_F(HistoryExportTest, ChartSavedAsBitmapOrPngAndAFailedSaveKeepsTheWindow) {
    form->SetCurrentTab(history::kHostErrorChart);
    EXPECT_EQ(form->ExportButton()->text(), "Export Chart");
    EXPECT_EQ(form->ExportButton()->toolTip(), "Export the chart to BMP file...");
    dialogs::QueueFileName(QString::fromStdString(Path("chart")));
    form->ExportButton()->click();
    EXPECT_EQ(ReadFile(Path("chart.bmp")).substr(0, 2), "BM");
    dialogs::QueueFileName(QString::fromStdString(Path("chart.png")));
    form->ExportButton()->click();
    EXPECT_EQ(ReadFile(Path("chart.png")).substr(1, 3), "PNG");
    EXPECT_TRUE(dialogs::ShownMessages().empty());

    dialogs::QueueFileName("/nonexistent-velmora-dir/chart");
    form->ExportButton()->click();
    EXPECT_EQ(LastShown("error").rfind("ERR00502 : Cannot export charts. : ", 0), 0u) << LastShown("error");
    EXPECT_NE(scope.LogText().find("ERR00502 : Cannot export charts. : "), std::string::npos);
    EXPECT_TRUE(form->isVisible());

    form->SetCurrentTab(history::kErrorHistory);
    EXPECT_EQ(form->ExportButton()->text(), "Export to");
    EXPECT_EQ(form->ExportButton()->toolTip(), "Export the Error History to CSV/Text/HTML file...");
}

TEST_F(HistoryExportTest, AFailedLoadIsReportedAndTheWindowRecovers) {
    Database().Execute("rename table alarm_msg_history to alarm_msg_history_moved");
    form->SetCurrentTab(history::kAccessHistory);
    form->SetCurrentTab(history::kErrorHistory);  // its list cannot load
    EXPECT_EQ(form->List(history::kErrorHistory)->topLevelItemCount(), 0);
    EXPECT_EQ(LastShown("error").rfind("ERR00501 : Cannot create charts. : ", 0), 0u) << LastShown("error");
    dialogs::ClearShown();
    form->SetCurrentTab(history::kDateErrorChart);  // nor its charts
    EXPECT_EQ(LastShown("error").rfind("ERR00501 : Cannot create charts. : ", 0), 0u) << LastShown("error");
    EXPECT_FALSE(form->findChild<QPushButton*>("TntButtonNext")->isEnabled());
    EXPECT_EQ(CountLines(scope.LogText(), "ERR00501 : Cannot create charts. : "), 2);
    EXPECT_TRUE(form->isVisible());

    Database().Execute("rename table alarm_msg_history_moved to alarm_msg_history");
    dialogs::ClearShown();
    form->findChild<QPushButton*>("TntButtonRefresh")->click();
    EXPECT_EQ(form->StatusText(), "Data refresh.");
    EXPECT_EQ(form->ChartLabels(history::kDateErrorChart), QStringList({"2008-03-02", "2008-03-01"}));
    EXPECT_TRUE(dialogs::ShownMessages().empty());
}

TEST_F(HistoryWindowTest, OpenerShowsTheWindowLoadedAndCancelHandsBackTheMainWindow) {
    AddAccessRows(AddService("TCP", "10.0.0.1", 80), 3);
    StubHost host;
    QWidget main;
    int shownRows = -1;
    QString shownStatus;
    QTimer::singleShot(0, [&] {
        auto* f = qobject_cast<TFormChartings*>(QApplication::activeModalWidget());
        ASSERT_NE(f, nullptr);
        shownRows = f->List(history::kAccessHistory)->topLevelItemCount();
        shownStatus = f->StatusText();
        f->findChild<QPushButton*>("TntButtonCancel")->click();
    });
    OpenHistoryCharts(&host, &main);
    EXPECT_EQ(shownRows, 3);
    EXPECT_EQ(shownStatus, "It will show the first 1000 history and 10 charting records, please Next button "
                           "for next 1000 and 10 records");
    EXPECT_EQ(host.status, "History & Charts has been closed.");
    EXPECT_EQ(host.closed, 1);
    EXPECT_EQ(host.opened, 0);
}

} // namespace
