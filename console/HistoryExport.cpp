#include "HistoryExport.h"

#include <algorithm>
#include <cctype>

namespace velmora::history {

namespace {

constexpr const char* kEol = "\r\n";

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool NeedsCsvQuotes(const std::string& v) {
    return std::any_of(v.begin(), v.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c <= ' ' || c == 0x7f || c == ',' || c == '"';
    });
}

std::string ExcelCells(const std::vector<std::string>& values) {
    std::string line = "<Row>";
    for (const std::string& v : values) {
        line += "<Cell><Data ss:Type=\"String\">" + MarkupEscape(v) + "</Data></Cell>";
    }
    return line + "</Row>";
}

std::string HtmlCells(const std::vector<std::string>& values) {
    std::string line;
    for (const std::string& v : values) {
        line += "<td>" + MarkupEscape(v) + "</td>";
    }
    return line + "</tr>";
}

} // namespace

const char* const kHtmlNotice = "Velmora Pro - network service monitor";

std::string ExtensionOf(ExportKind kind) {
    switch (kind) {
    case ExportKind::Csv: return ".csv";
    case ExportKind::Excel: return ".xls";
    case ExportKind::Text: return ".txt";
    case ExportKind::Html: return ".html";
    }
    return {};
}

std::string KindWord(ExportKind kind) {
    switch (kind) {
    case ExportKind::Csv: return "csv";
    case ExportKind::Excel: return "Excel";
    case ExportKind::Text: return "text";
    case ExportKind::Html: return "HTML";
    }
    return {};
}

std::string ExportFileName(const std::string& chosen, const std::string& extension) {
    const size_t slash = chosen.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = chosen.find('.', nameStart);
    const std::string current = dot == std::string::npos ? std::string() : chosen.substr(dot);
    if (Lower(current) == Lower(extension)) {
        return chosen;
    }
    return chosen + extension;
}

std::string CsvLine(const std::vector<std::string>& values) {
    if (values.size() == 1 && values[0].empty()) {
        return "\"\"";
    }
    std::string line;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        const std::string& v = values[i];
        if (!NeedsCsvQuotes(v)) {
            line += v;
            continue;
        }
        line += '"';
        for (char c : v) {
            line += c;
            if (c == '"') {
                line += '"';
            }
        }
        line += '"';
    }
    return line;
}

std::string MarkupEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                break;  // not allowed in an XML document at all
            }
            out += ch;
        }
    }
    return out;
}

std::string CsvText(const ExportTable& table) {
    std::string out;
    for (const ExportRow& r : table.rows) {
        out += CsvLine(r.values) + kEol;
    }
    return out;
}

std::string PlainText(const ExportTable& table) {
    std::string out;
    for (const ExportRow& r : table.rows) {
        for (const std::string& v : r.values) {
            out += v + "\t";
        }
        out += kEol;
    }
    return out;
}

std::string ExcelText(const ExportTable& table) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"  "
        "xmlns:x=\"urn:schemas-microsoft-com:office:excel\"  "
        "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"  "
        "xmlns:html=\"http://www.w3.org/TR/REC-html40\">"
        "<Worksheet ss:Name=\"Table1\"><Table>";
    out += kEol;
    for (size_t n = 1; n <= table.captions.size(); ++n) {
        out += "<Column ss:Index=\"" + std::to_string(n) + "\" ss:AutoFitWidth=\"0\" ss:Width=\"100\"/>";
    }
    out += kEol;
    out += ExcelCells(table.captions) + kEol;
    for (const ExportRow& r : table.rows) {
        out += ExcelCells(r.values) + kEol;
    }
    out += "</Table></Worksheet></Workbook>";
    out += kEol;
    return out;
}

std::string HtmlText(const ExportTable& table) {
    std::string out =
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>" + MarkupEscape(table.title) +
        "</title>"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\" />"
        "<style type=\"text/css\"><!--"
        "body {font-family: Verdana, Arial, Helvetica, Verdana, sans-serif;text-align:left;"
        "color: #000000;margin: 0px;padding: 0px;font-size: 11px;voice-family: \"\\\"}\\\"\";"
        "voice-family: inherit;}"
        "table {width: \"100%\";border: \"0\";font-size: 11px;cellpadding: \"3\";cellspacing: \"1\";"
        "border: #000000 0px solid;}"
        ".tableheader {background-color: #333333; color: #FFFFFF;}"
        ".fieldheader {background-color: #A6A6A6;}"
        ".row_odd {background-color: #FFFFFF;}"
        ".row_even {background-color: #e5e5e5;}"
        ".txt_copyright {font-size:9px;color:#ff0000;font-weight:bold;}"
        "--></style></head><body>";
    out += kEol;
    // The header row follows the table's opening on the same line; each data row is a line
    // of its own, and the closing tag another.
    out += "<table><tr class=\"fieldheader\">";
    out += HtmlCells(table.captions) + kEol;
    for (const ExportRow& r : table.rows) {
        out += (r.position % 2 == 0) ? "<tr class=row_even>" : "<tr class=row_odd>";
        out += HtmlCells(r.values) + kEol;
    }
    out += "</table>";
    out += kEol;
    out += "<br><hr align=\"center\" noshade=\"noshade\" size=\"1\" width=\"100%\" />"
           "<div align=\"right\"><span class=\"txt_copyright\">";
    out += MarkupEscape(kHtmlNotice);
    out += "</span></div></body></html>";
    out += kEol;
    return out;
}

std::string ExportText(ExportKind kind, const ExportTable& table) {
    switch (kind) {
    case ExportKind::Csv: return CsvText(table);
    case ExportKind::Excel: return ExcelText(table);
    case ExportKind::Text: return PlainText(table);
    case ExportKind::Html: return HtmlText(table);
    }
    return {};
}

} // namespace velmora::history
