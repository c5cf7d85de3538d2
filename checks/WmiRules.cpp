#include "WmiRules.h"

#include <charconv>
#include <cstdio>

namespace velmora::wmi {

std::optional<size_t> InstanceTable::Column(std::string_view property) const {
    if (rows.empty()) return std::nullopt;
    const auto& head = rows[0];
    for (size_t i = 1; i < head.size(); ++i)
        if (head[i] == property) return i;
    return std::nullopt;
}

const std::string& InstanceTable::Cell(size_t row, std::string_view property) const {
    static const std::string empty;
    const auto col = Column(property);
    if (!col || row >= rows.size() || *col >= rows[row].size()) return empty;
    return rows[row][*col];
}

std::vector<std::string> SplitNameList(std::string_view list) {
    std::vector<std::string> items;
    std::string_view rest = list;
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
            items.emplace_back(rest);
            break;
        }
        items.emplace_back(rest.substr(0, comma));
        rest.remove_prefix(comma + 1);
    }
    return items;
}

std::string MissingList(std::string_view list, const std::vector<bool>& found) {
    const auto items = SplitNameList(list);
    std::string missing;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i < found.size() && found[i]) continue;
        if (missing.empty())
            missing = items[i];
        else
            missing += "," + items[i];
    }
    return missing;
}

std::string TrimBlanks(std::string_view text) {
    const char* blanks = " \t\r\n\v\f";
    const size_t b = text.find_first_not_of(blanks);
    if (b == std::string_view::npos) return {};
    const size_t e = text.find_last_not_of(blanks);
    return std::string(text.substr(b, e - b + 1));
}

std::string DriveName(long long index) {
    if (index == 0) return "All";
    if (index >= 1 && index <= 10) return std::string(1, static_cast<char>('C' + index - 1)) + ":";
    return {};
}

const std::vector<std::string>& DriveListTexts() {
    static const std::vector<std::string> texts = {
        "All drives",   "C drive only", "D Drive only", "E Drive only",
        "F Drive only", "G Drive only", "H Drive only", "I Drive only",
        "J Drive only", "K Drive only", "L Drive only"};
    return texts;
}

const std::vector<Threshold>& ThresholdTable() {
    static const std::vector<Threshold> table = {
        {"Please Select...", 0},      {"<= 100M", 107374182},     {"<= 200M", 214748365},
        {"<= 300M", 322122547},       {"<= 400M", 429496730},     {"<= 500M", 536870912},
        {"<= 1G", 1073741824},        {"<= 2G", 2147483648LL},    {"<= 3G", 3221225472LL},
        {"<= 4G", 4294967296LL},      {"<= 5G", 5368709120LL},    {"<= 10G", 10737418240LL},
        {"<= 20G", 21474836480LL},    {"<= 30G", 32212254720LL},  {"<= 40G", 42949672960LL},
        {"<= 50G", 53687091200LL}};
    return table;
}

std::string FormatBytes(long long bytes) {
    constexpr double K = 1024.0, M = 1048576.0, G = 1073741824.0;
    const double x = static_cast<double>(bytes);
    double value = x;
    int decimals = 0;
    const char* unit = "";
    if (x >= 100 * G) {
        value = x / G, decimals = 0, unit = "G";
    } else if (x >= 10 * G) {
        value = x / G, decimals = 1, unit = "G";
    } else if (x >= G) {
        value = x / G, decimals = 2, unit = "G";
    } else if (x >= 104857600.0) {
        value = x / M, decimals = 0, unit = "M";
    } else if (x >= 10485760.0) {
        value = x / M, decimals = 1, unit = "M";
    } else if (x >= M) {
        value = x / M, decimals = 2, unit = "M";
    } else if (x >= 102400.0) {
        value = x / K, decimals = 0, unit = "K";
    } else if (x >= 10240.0) {
        value = x / K, decimals = 1, unit = "K";
    } else if (x >= K) {
        value = x / K, decimals = 2, unit = "K";
    } else {
        return std::to_string(bytes);
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f%s", decimals, value, unit);
    return TrimBlanks(buf);
}

long long CellToInt64(std::string_view text) {
    const std::string t = TrimBlanks(text);
    long long v = 0;
    const char* b = t.data();
    const char* e = t.data() + t.size();
    if (t.empty()) return 0;
    if (*b == '+') ++b;
    const auto [ptr, ec] = std::from_chars(b, e, v);
    if (ec != std::errc() || ptr != e) return 0;
    return v;
}

} // namespace velmora::wmi
