#pragma once
// The pages of the history window: which statement each tab runs, how far a page reaches
// and when Previous and Next apply. Pure logic, shared by the window and its benchmark.
#include <string>

namespace velmora::history {

// Tab indexes, in the window's order.
enum Tab {
    kAccessHistory = 0,
    kErrorHistory = 1,
    kHostAccessChart = 2,
    kServiceAccessChart = 3,
    kDateAccessChart = 4,
    kHostErrorChart = 5,
    kServiceErrorChart = 6,
    kDateErrorChart = 7,
    kTabCount = 8,
};

inline constexpr long long kListPageSize = 1000;
inline constexpr long long kChartPageSize = 10;

bool IsListTab(int tab);
bool IsChartTab(int tab);
// The tab's caption.
const char* TabCaption(int tab);
long long PageSize(int tab);

// The statement that loads one page of the tab, LIMIT clause included.
std::string PageStatement(int tab, long long offset);
// The statement that counts every row of a list tab (column "totalRecord").
std::string CountStatement(int tab);

// The offsets of one tab: Next adds a page, Previous takes one away while above 0.
struct PageState {
    long long offset = 0;
    long long pageEnd = kListPageSize;  // list tabs: offset + 1000
    long long total = 0;                // list tabs: the last count
    bool furtherPage = false;           // chart tabs: the last load found another page
};
void NextPage(PageState& s, int tab);
void PreviousPage(PageState& s, int tab);
bool PreviousEnabled(const PageState& s);
bool NextEnabled(const PageState& s, int tab);

// The Port column's text: "---" for 0 or empty, else the port as stored.
std::string PortText(const std::string& port);

} // namespace velmora::history
