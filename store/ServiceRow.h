#pragma once
// One row of the `service` table with every column as text, as the database returns it.
// The check builders, the store's inserts and the command-line tool all speak this type.
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class ServiceRow {
public:
    // The columns of `service`, in table order.
    static const std::vector<std::string>& ColumnNames();

    // The column's text; "" when the row does not carry it (or it is NULL).
    const std::string& Get(std::string_view column) const;
    // The column as an integer; `def` when absent, empty or not a whole number.
    long long GetInt(std::string_view column, long long def = 0) const;
    // True when the column's text starts with y, Y, t or T (how yes/no columns are read).
    bool GetYes(std::string_view column) const;
    bool Has(std::string_view column) const;
    void Set(std::string_view column, std::string value);

    const std::map<std::string, std::string, std::less<>>& Columns() const { return columns_; }

    // Name/value pairs of `service_url_detail` for a URL service, in id order.
    std::vector<std::pair<std::string, std::string>> urlDetails;

private:
    std::map<std::string, std::string, std::less<>> columns_;
};

} // namespace velmora
