// The history window's pure pieces: export file names, CSV quoting, the text and markup
// writers' line shapes, the port text and the paging rules.
#include "console/HistoryExport.h"
#include "console/HistoryPaging.h"

#include <gtest/gtest.h>

using namespace velmora::history;

TEST(HistoryExport, FileNameGetsTheExtensionUnlessItsFileNameEndsFromTheFirstStopInIt) {
    struct Case {
        const char* chosen;
        const char* extension;
        const char* written;
    } cases[] = {
        {"report.old", ".csv", "report.old.csv"},
        {"report.csv", ".csv", "report.csv"},
        {"report.2008.csv", ".csv", "report.2008.csv.csv"},
        {"report", ".csv", "report.csv"},
        {"REPORT.CSV", ".csv", "REPORT.CSV"},
        {"/tmp/x.y/report", ".xls", "/tmp/x.y/report.xls"},  // a folder's stop does not count
        {"/tmp/x.y/report.xls", ".xls", "/tmp/x.y/report.xls"},
        {"notes.txt", ".txt", "notes.txt"},
        {"page.htm", ".html", "page.htm.html"},
        {"chart.png", ".bmp", "chart.png.bmp"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExportFileName(c.chosen, c.extension), c.written) << c.chosen;
    }
}

TEST(HistoryExport, CsvQuotesBlanksControlsCommasAndQuotes) {
    struct Case {
        std::vector<std::string> values;
        const char* line;
    } cases[] = {
        {{"2008-03-01", "TCP", "10.0.0.1", "80", "12"}, "2008-03-01,TCP,10.0.0.1,80,12"},
        {{"2008-03-01 10:00:00", "x"}, "\"2008-03-01 10:00:00\",x"},
        {{"a,b", "c"}, "\"a,b\",c"},
        {{"say \"hi\"", "q"}, "\"say \"\"hi\"\"\",q"},
        {{"tab\there", "cr\rx"}, "\"tab\there\",\"cr\rx\""},
        {{"", "x", ""}, ",x,"},
        {{""}, "\"\""},
        {{"caf\xc3\xa9<&>"}, "caf\xc3\xa9<&>"},
        {{"---"}, "---"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CsvLine(c.values), c.line);
    }
    ExportTable t;
    t.rows = {{0, {"a b", "1"}}, {3, {"c"}}};
    EXPECT_EQ(CsvText(t), "\"a b\",1\r\nc\r\n");
    EXPECT_EQ(PlainText(t), "a b\t1\t\r\nc\t\r\n");
}

TEST(HistoryExport, MarkupEscapesSpecialCharactersAndDropsOnesXmlForbids) {
    EXPECT_EQ(MarkupEscape("a<b>&\"c\"'"), "a&lt;b&gt;&amp;&quot;c&quot;'");
    EXPECT_EQ(MarkupEscape(std::string("x\x01y\tz\r\n", 7)), "xy\tz\r\n");
    EXPECT_EQ(MarkupEscape("\xc3\xa9"), "\xc3\xa9");
}

TEST(HistoryExport, HtmlRowClassFollowsThePositionInTheList) {
    ExportTable t;
    t.captions = {"A"};
    t.rows = {{1, {"x"}}, {4, {"y"}}};
    const std::string html = HtmlText(t);
    EXPECT_NE(html.find("\r\n<tr class=row_odd><td>x</td></tr>\r\n<tr class=row_even><td>y</td></tr>\r\n"),
              std::string::npos);
    EXPECT_EQ(html.rfind("\r\n"), html.size() - 2);
}

TEST(HistoryPaging, PortTextShowsDashesForZeroOrEmpty) {
    EXPECT_EQ(PortText("0"), "---");
    EXPECT_EQ(PortText(""), "---");
    EXPECT_EQ(PortText("80"), "80");
    EXPECT_EQ(PortText("010"), "010");
}

TEST(HistoryPaging, StatementsEndInTheirPageLimit) {
    const std::string list = PageStatement(kAccessHistory, 2000);
    EXPECT_TRUE(list.ends_with("ORDER BY access_datetime DESC LIMIT 2000,1000")) << list;
    const std::string chart = PageStatement(kHostErrorChart, 20);
    EXPECT_TRUE(chart.ends_with(" LIMIT 20,10")) << chart;
    EXPECT_NE(chart.find("GROUP BY s.ip ORDER BY amh.alarm_datetime DESC"), std::string::npos);
    EXPECT_EQ(CountStatement(kErrorHistory),
              "SELECT count(*) AS totalRecord FROM alarm_msg_history amh JOIN service s ON amh.service_id=s.id");
}

TEST(HistoryPaging, NextAndPreviousMoveByPagesAndSetTheButtons) {
    PageState list;
    list.total = 2500;
    EXPECT_FALSE(PreviousEnabled(list));
    EXPECT_TRUE(NextEnabled(list, kAccessHistory));
    NextPage(list, kAccessHistory);
    NextPage(list, kAccessHistory);
    EXPECT_EQ(list.offset, 2000);
    EXPECT_EQ(list.pageEnd, 3000);
    EXPECT_FALSE(NextEnabled(list, kAccessHistory));
    EXPECT_TRUE(PreviousEnabled(list));
    PreviousPage(list, kAccessHistory);
    EXPECT_EQ(list.offset, 1000);
    list.total = 2000;
    EXPECT_FALSE(NextEnabled(list, kAccessHistory));

    PageState chart;
    PreviousPage(chart, kDateErrorChart);
    EXPECT_EQ(chart.offset, 0);
    NextPage(chart, kDateErrorChart);
    EXPECT_EQ(chart.offset, 10);
    EXPECT_FALSE(NextEnabled(chart, kDateErrorChart));
    chart.furtherPage = true;
    EXPECT_TRUE(NextEnabled(chart, kDateErrorChart));
}
