#include "alarms/ThreadURL.h"

#include "alarms/TextUtil.h"
#include "net/CurlSupport.h"
#include "net/NetError.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>

namespace velmora {

namespace {

std::string ReplaceAll(std::string s, const std::string& what, const std::string& with) {
    for (size_t pos = 0; (pos = s.find(what, pos)) != std::string::npos; pos += with.size())
        s.replace(pos, what.size(), with);
    return s;
}

struct Response {
    std::string statusLine;   // the last status line read
};

size_t OnHeader(char* data, size_t size, size_t n, void* user) {
    const std::string line(data, size * n);
    if (line.rfind("HTTP/", 0) == 0) static_cast<Response*>(user)->statusLine = Trim(line);
    return size * n;
}

// Keeps the start of the answer's body; the rest is read and dropped.
size_t KeepBody(char* data, size_t size, size_t n, void* user) {
    auto* body = static_cast<std::string*>(user);
    const size_t room = ThreadURL::kMaxResponseBody - std::min(body->size(), ThreadURL::kMaxResponseBody);
    body->append(data, std::min(room, size * n));
    return size * n;
}

// The URL's host and port as curl reads them, to name a missing host or port 0 the way the
// other senders do.
void CheckUrlTarget(const std::string& url) {
    // "http://", "http:///x" or "http://:80/": no host (curl would read "http:///x" as host x).
    const auto scheme = url.find("://");
    const std::string rest = scheme == std::string::npos ? url : url.substr(scheme + 3);
    if (rest.empty() || rest.find_first_of("/:?#") == 0)
        throw net::NetError(net::NetErrorKind::NoHost, "Host/IP required");
    CURLU* u = curl_url();
    if (!u) return;
    std::unique_ptr<CURLU, void (*)(CURLU*)> guard(u, curl_url_cleanup);
    if (curl_url_set(u, CURLUPART_URL, url.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) return;
    char* host = nullptr;
    if (curl_url_get(u, CURLUPART_HOST, &host, 0) != CURLUE_OK || !host || !*host) {
        curl_free(host);
        throw net::NetError(net::NetErrorKind::NoHost, "Host/IP required");
    }
    curl_free(host);
    char* port = nullptr;
    if (curl_url_get(u, CURLUPART_PORT, &port, 0) == CURLUE_OK && port && std::string(port) == "0") {
        curl_free(port);
        throw net::NetError(net::NetErrorKind::NoPort, "Port required");
    }
    curl_free(port);
}

} // namespace

std::string EncodeGatewayParam(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            out.push_back(static_cast<char>(c));
        } else if (c == ' ') {
            out.push_back('+');
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

std::string GatewayGetUrl(const std::string& url, const std::string& msisdn, const std::string& text) {
    return ReplaceAll(ReplaceAll(url, "$MSISDN", EncodeGatewayParam(msisdn)), "$MESSAGE", EncodeGatewayParam(text));
}

std::string GatewayPostBody(const std::vector<std::string>& fields) {
    std::string body;
    for (size_t i = 0; i < fields.size(); ++i) {
        const auto& f = fields[i];
        const auto eq = f.find('=');
        if (i) body += "&";
        if (eq == std::string::npos) {
            body += f;
        } else {
            const std::string value = f.substr(eq + 1);
            body += f.substr(0, eq + 1) + (value.empty() ? value : EncodeGatewayParam(value));
        }
    }
    size_t b = 0, e = body.size();
    while (b < e && body[b] == ' ') ++b;
    while (e > b && body[e - 1] == ' ') --e;
    return body.substr(b, e - b);
}

ThreadURL::ThreadURL(const AlarmMethodSettings::SmsHttp& settings, const std::string& recipient,
                     const std::string& text)
    : AlarmSender(kMethodSmsHttp), settings_(settings), post_(settings.method_word != "Get") {
    if (!post_) {
        url_ = GatewayGetUrl(settings.url, recipient, text);
    } else {
        url_ = settings.url;
        fields_.push_back(settings.field_msisdn + "=" + recipient);
        fields_.push_back(settings.field_message + "=" + text);
        for (const auto& f : settings.ExtraPostFields) fields_.push_back(f);
    }
    settings_.ExtraPostFields.clear();
}

void ThreadURL::Execute() {
    const std::string where = "[" + url_ + ":" + std::to_string(settings_.port) + " HTTP Alarm Connection Error:";
    response_code = -1;
    CURL* curl = nullptr;
    curl_slist* headers = nullptr;
    try {
        CheckUrlTarget(url_);
        net::CurlGlobalInit();
        curl = curl_easy_init();
        if (!curl) throw std::runtime_error("Cannot create the HTTP client.");
        Response resp;
        const std::string body = post_ ? GatewayPostBody(fields_) : std::string();
        const long connectMs = EffectiveTimeout(settings_.timeout);
        const long readMs = EffectiveTimeout(settings_.read_timeout);
        curl_easy_setopt(curl, CURLOPT_URL, url_.c_str());
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
        curl_easy_setopt(curl, CURLOPT_POSTREDIR, static_cast<long>(CURL_REDIR_POST_ALL));
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
        // The answer must arrive within the read timeout after the connection is made.
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, connectMs + readMs);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, &resp);
        body_.clear();
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, KeepBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body_);
        headers = curl_slist_append(headers, "Accept: text/html, */*");
        headers = curl_slist_append(headers, post_ ? "Content-Type: application/x-www-form-urlencoded"
                                                   : "Content-Type: text/html");
        headers = curl_slist_append(headers, "Expect:");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_USERAGENT, "Mozilla/3.0");
        if (post_) {
            curl_easy_setopt(curl, CURLOPT_POST, 1L);
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
            curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, body.c_str());
        }
        if (settings_.authenticate && (!settings_.username.empty() || !settings_.password.empty())) {
            curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
            curl_easy_setopt(curl, CURLOPT_USERNAME, settings_.username.c_str());
            curl_easy_setopt(curl, CURLOPT_PASSWORD, settings_.password.c_str());
        }
        if (!settings_.proxy_host.empty() && settings_.proxy_port != 0) {
            curl_easy_setopt(curl, CURLOPT_PROXY, settings_.proxy_host.c_str());
            curl_easy_setopt(curl, CURLOPT_PROXYPORT, static_cast<long>(settings_.proxy_port));
            if (!settings_.proxy_username.empty() || !settings_.proxy_password.empty()) {
                curl_easy_setopt(curl, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
                curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, settings_.proxy_username.c_str());
                curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, settings_.proxy_password.c_str());
            }
        } else {
            curl_easy_setopt(curl, CURLOPT_PROXY, "");   // no proxy from the environment either
        }
        // Certificates of https:// gateways are verified only when trusted roots are configured.
        net::TlsSettings tls;
        tls.rootCertFile = settings_.ca_file;
        tls.verifyDirs = settings_.ca_dir;
        tls.verifyPeer = !settings_.ca_file.empty() || !settings_.ca_dir.empty();
        net::ApplyTlsToCurl(curl, tls);

        const CURLcode rc = curl_easy_perform(curl);
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        if (status > 0) response_code = static_cast<int>(status);
        if (rc == CURLE_TOO_MANY_REDIRECTS) {
            // Ten redirects followed and the next answer is again one: taken as final, sent.
            SetSent("[HTTP Alarm Sent Succeed]");
        } else if (rc != CURLE_OK) {
            curl_off_t connectOk = 0;
            curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connectOk);
            switch (rc) {
            case CURLE_COULDNT_RESOLVE_HOST:
            case CURLE_COULDNT_RESOLVE_PROXY:
            case CURLE_COULDNT_CONNECT:
                throw net::NetError(net::NetErrorKind::Socket, curl_easy_strerror(rc));
            case CURLE_OPERATION_TIMEDOUT:
                if (connectOk == 0 && status == 0)
                    throw net::NetError(net::NetErrorKind::ConnectTimeout, curl_easy_strerror(rc));
                throw net::NetError(net::NetErrorKind::ReadTimeout, "Read timed out.");
            default:
                throw std::runtime_error(curl_easy_strerror(rc));
            }
        } else if (status >= 200 && status <= 299) {
            SetSent("[HTTP Alarm Sent Succeed]");
        } else {
            throw std::runtime_error(resp.statusLine.empty() ? "HTTP " + std::to_string(status) : resp.statusLine);
        }
    } catch (const std::exception& e) {
        SetError(where + net::ConnectErrorEnding(e));
    } catch (...) {
        SetError(where + "]");
    }
    if (headers) curl_slist_free_all(headers);
    if (curl) curl_easy_cleanup(curl);
}

} // namespace velmora
