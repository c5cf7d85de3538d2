#include "ThreadURLVersionUpgrade.h"

#include "foundation/IniFile.h"
#include "foundation/InitSettings.h"
#include "net/CurlSupport.h"
#include "net/NetError.h"

#include <curl/curl.h>
#include <pugixml.hpp>

#include <chrono>
#include <stdexcept>

namespace velmora {

namespace {

size_t AppendBody(char* data, size_t size, size_t n, void* user) {
    static_cast<std::string*>(user)->append(data, size * n);
    return size * n;
}

// Keeps the reason phrase of the last status line ("HTTP/1.1 200 OK" -> "OK"); after a
// redirect the final response's line wins.
size_t ReadHeader(char* data, size_t size, size_t n, void* user) {
    const std::string line(data, size * n);
    if (line.rfind("HTTP/", 0) == 0) {
        const auto sp1 = line.find(' ');
        const auto sp2 = sp1 == std::string::npos ? sp1 : line.find(' ', sp1 + 1);
        *static_cast<std::string*>(user) =
            sp2 == std::string::npos ? std::string() : net::Trim(line.substr(sp2 + 1));
    }
    return size * n;
}

struct CurlHandle {
    CURL* h = curl_easy_init();
    curl_slist* headers = nullptr;
    ~CurlHandle() {
        curl_slist_free_all(headers);
        if (h != nullptr) {
            curl_easy_cleanup(h);
        }
    }
};

} // namespace

ThreadURLVersionUpgrade::ThreadURLVersionUpgrade(std::string u, std::string key)
    : url(std::move(u)), productKey(std::move(key)) {}

std::string ThreadURLVersionUpgrade::LatestVersionFromPage(const std::string& body,
                                                           const std::string& key) {
    pugi::xml_document doc;
    const std::string text = net::Trim(body);
    const pugi::xml_parse_result r = doc.load_buffer(text.data(), text.size());
    if (!r || !doc.document_element()) {
        throw std::runtime_error(std::string("Invalid XML document: ") + r.description());
    }
    std::string latest;
    for (pugi::xml_node n : doc.document_element().children()) {
        if (n.type() == pugi::node_element && key == n.name()) {
            const pugi::xml_node v = n.child("version");
            if (v) {
                latest = net::Trim(v.text().as_string());
            }
        }
    }
    return latest;
}

void ThreadURLVersionUpgrade::Execute() {
    const auto t0 = std::chrono::steady_clock::now();
    const std::string target = "[" + url + ":" + std::to_string(port);
    net::CurlGlobalInit();
    CurlHandle c;
    std::string body;
    std::string reason;
    try {
        if (c.h == nullptr) {
            throw std::runtime_error("Cannot create the HTTP client.");
        }
        // Every header but these three stays empty.
        c.headers = curl_slist_append(c.headers, "Accept: text/html, */*");
        c.headers = curl_slist_append(c.headers, "Content-Type: text/html");
        c.headers = curl_slist_append(c.headers, "Accept-Encoding:");
        curl_easy_setopt(c.h, CURLOPT_URL, url.c_str());
        curl_easy_setopt(c.h, CURLOPT_HTTPHEADER, c.headers);
        curl_easy_setopt(c.h, CURLOPT_USERAGENT, "Mozilla/3.0");
        curl_easy_setopt(c.h, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(c.h, CURLOPT_MAXREDIRS, 5L);
        curl_easy_setopt(c.h, CURLOPT_TIMEOUT_MS, timeoutMs);
        curl_easy_setopt(c.h, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
        curl_easy_setopt(c.h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(c.h, CURLOPT_PROXY, ""); // no proxy, whatever the environment says
        curl_easy_setopt(c.h, CURLOPT_WRITEFUNCTION, AppendBody);
        curl_easy_setopt(c.h, CURLOPT_WRITEDATA, &body);
        curl_easy_setopt(c.h, CURLOPT_HEADERFUNCTION, ReadHeader);
        curl_easy_setopt(c.h, CURLOPT_HEADERDATA, &reason);
        const CURLcode rc = curl_easy_perform(c.h);
        curl_easy_getinfo(c.h, CURLINFO_RESPONSE_CODE, &response_code);
        if (rc != CURLE_OK) {
            switch (rc) {
            case CURLE_URL_MALFORMAT:
                throw net::NetError(net::NetErrorKind::NoHost, curl_easy_strerror(rc));
            case CURLE_COULDNT_RESOLVE_HOST:
            case CURLE_COULDNT_CONNECT:
                throw net::NetError(net::NetErrorKind::Socket, curl_easy_strerror(rc));
            case CURLE_OPERATION_TIMEDOUT: {
                long connectCode = 0;
                curl_easy_getinfo(c.h, CURLINFO_HTTP_CONNECTCODE, &connectCode);
                double connectTime = 0;
                curl_easy_getinfo(c.h, CURLINFO_CONNECT_TIME, &connectTime);
                throw net::NetError(connectTime > 0 ? net::NetErrorKind::ReadTimeout
                                                    : net::NetErrorKind::ConnectTimeout,
                                    curl_easy_strerror(rc));
            }
            default:
                throw std::runtime_error(curl_easy_strerror(rc));
            }
        }
        if (response_code >= 400) {
            throw std::runtime_error("HTTP/1.1 " + std::to_string(response_code) + " " + reason);
        }
        result_text = target + " HTTP Request Succeed:" + net::Trim(reason) + "]";
        latestVersion = LatestVersionFromPage(body, productKey);
    } catch (const net::NetError& e) {
        passed = false;
        status = "Failed";
        result_text = target + net::ConnectErrorText(" HTTP Request Error:", e);
    } catch (const std::exception& e) {
        passed = false;
        status = "Failed";
        result_text = target + " HTTP Request Error:" + net::Trim(e.what()) + "]";
    }
    response_time = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - t0)
                        .count();
}

std::string VersionPageUrl() {
    IniFile ini;
    std::string error;
    const std::string& path = InitSettings().SettingsPath;
    if (!path.empty() && ini.Load(path, error)) {
        const std::string v = ini.ReadString("System", "VersionPageURL", "");
        if (!v.empty()) {
            return v;
        }
    }
    return kDefaultVersionPageUrl;
}

} // namespace velmora
