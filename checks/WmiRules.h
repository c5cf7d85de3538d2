#pragma once
// The plain logic of the three WMI checks over the instance table: the table itself, the
// name lists of "WMI Process" and "WMI Share Folder", the drive and threshold tables of
// "WMI HD Freespace" and the byte formatting of its texts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::wmi {

// The result of one instance query. Row 0 is "Instance" and the property names; row k
// (1..instanceCount) is k and the values of instance k as text.
struct InstanceTable {
    long long instanceCount = 0;
    long long propertyCount = -1;  // -1: connecting or enumerating failed
    std::vector<std::vector<std::string>> rows;

    // Column of a property name in row 0; nullopt when absent.
    std::optional<size_t> Column(std::string_view property) const;
    // The value of `property` in row `row` (1-based instances); "" when absent.
    const std::string& Cell(size_t row, std::string_view property) const;
};

// Items of a name list, taken from the left at each ",": blanks kept, a trailing comma ends
// the list without an empty item ("a, b" -> "a", " b"; "a,,b" -> "a", "", "b"; "a," -> "a").
std::vector<std::string> SplitNameList(std::string_view list);

// The missing list: items not found, in list order and untrimmed, joined by ","; an item
// only starts the list while it is empty, so an empty missing item first adds nothing and
// later a lone ",".
std::string MissingList(std::string_view list, const std::vector<bool>& found);
template <class Pred>
std::string MissingItems(std::string_view list, Pred isFound) {
    const auto items = SplitNameList(list);
    std::vector<bool> found;
    found.reserve(items.size());
    for (const auto& item : items) found.push_back(isFound(item));
    return MissingList(list, found);
}

// Blanks removed from both ends (space, tab, CR, LF).
std::string TrimBlanks(std::string_view text);

// Drive selection 0..10 -> "All", "C:" .. "L:"; "" for any other index.
std::string DriveName(long long index);
// The wizard's list texts of the drive selection ("All drives", "C drive only", ...).
const std::vector<std::string>& DriveListTexts();

struct Threshold {
    std::string text;   // "<= 100M", ...
    long long bytes;    // stored in wmi_freespace; 0 for "Please Select..."
};
// The wizard's "HD Freespace" list, index 0 "Please Select..." to 15 "<= 50G".
const std::vector<Threshold>& ThresholdTable();

// Free-space text: G/M/K with 0, 1 or 2 decimals by size, bare bytes below 1024
// (3.5 GiB -> "3.50G", 12 GiB -> "12.0G", 200 MiB -> "200M", 2048 -> "2.00K", 500 -> "500").
std::string FormatBytes(long long bytes);

// A cell as a 64-bit integer; 0 when it is not one (e.g. "NULL").
long long CellToInt64(std::string_view text);

} // namespace velmora::wmi
