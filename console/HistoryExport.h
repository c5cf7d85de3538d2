#pragma once
// The export files of the history window: CSV, spreadsheet XML, tab-separated text and
// HTML, written from the rows a list shows. Pure text, so the exact bytes can be tested
// without a window. Every line ends in CR LF; values are UTF-8.
#include <string>
#include <vector>

namespace velmora::history {

enum class ExportKind { Csv, Excel, Text, Html };

// One exported row: its values (the list's columns after "No") and its position in the
// list, counted from 0 (decides the HTML row class, also for a selection).
struct ExportRow {
    int position = 0;
    std::vector<std::string> values;
};

struct ExportTable {
    std::vector<std::string> captions;  // the column captions after "No"
    std::vector<ExportRow> rows;
    std::string title;                  // the HTML page's title
};

// ".csv", ".xls", ".txt", ".html".
std::string ExtensionOf(ExportKind kind);
// "csv", "Excel", "text", "HTML": the word in the save dialog's title.
std::string KindWord(ExportKind kind);
// The file an export writes for the name the user chose: the name's extension is the part
// of its file name from the first full stop on; when that is not `extension` (compared
// without regard to case) the extension is appended. "report.old" -> "report.old.csv",
// "report.2008.csv" -> "report.2008.csv.csv". Folders in the path do not count.
std::string ExportFileName(const std::string& chosen, const std::string& extension);

// One CSV line (without the line end): values separated by commas; a value holding a
// blank, a control character, a comma or a double quote is put in double quotes with inner
// double quotes doubled; a row whose only value is empty is written as "".
std::string CsvLine(const std::vector<std::string>& values);
// Text with &, <, > and " replaced by their entities; characters XML 1.0 does not allow
// (control characters other than tab, LF and CR) are left out.
std::string MarkupEscape(const std::string& text);

std::string CsvText(const ExportTable& table);
std::string PlainText(const ExportTable& table);
std::string ExcelText(const ExportTable& table);
std::string HtmlText(const ExportTable& table);
std::string ExportText(ExportKind kind, const ExportTable& table);

// The notice in the foot of an exported HTML page.
extern const char* const kHtmlNotice;

} // namespace velmora::history
