#pragma once
// The version check: one GET of the publisher's version page on a pool thread. The page is
// an XML document; the text of <version> inside the element named after the product key
// (directly below the root) is the latest version. A failure changes nothing for the user.
#include "foundation/WorkItem.h"

#include <string>

namespace velmora {

class ThreadURLVersionUpgrade : public WorkItem {
public:
    ThreadURLVersionUpgrade(std::string url, std::string productKey = "VelmoraPro");

    WorkKind Kind() const override { return WorkKind::Other; }
    void Execute() override;

    // Reads the latest version for `productKey` from the page; throws on a page that is not
    // XML. Elements that cannot be read are skipped.
    static std::string LatestVersionFromPage(const std::string& body, const std::string& productKey);
    // Whether the finished check reveals the download command.
    bool NewerVersionFound(const std::string& current) const {
        return passed && latestVersion != current;
    }

    // Outcome fields, as a check has them.
    std::string origin = "Version";
    bool passed = true;
    std::string status = "Passed";
    long response_code = 200;
    std::string result_text;
    long long response_time = 0;

    std::string url;
    int port = 80;
    std::string productKey;
    std::string latestVersion;
    long timeoutMs = 10000;
};

// The version page: [System] VersionPageURL of SysInit.ini, else the publisher's page.
std::string VersionPageUrl();
inline constexpr const char* kDefaultVersionPageUrl = "http://www.corvane.example/version.php";

} // namespace velmora
