#include "checks/ThreadURLCheck.h"

#include "checks/CheckBuilders.h"
#include "checks/CheckSupport.h"
#include "net/CurlSupport.h"

#include <curl/curl.h>
#include <cstring>
#include <strings.h>

namespace velmora {

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    return strncasecmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

struct Exchange {
    std::string statusLine;
    std::string location;
};

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* x = static_cast<Exchange*>(user);
    const std::string line = net::Trim(std::string(data, size * count));
    if (StartsWithNoCase(line, "HTTP/")) {
        // A new response begins (also after a 100 Continue): only the last one counts.
        x->statusLine = line;
        x->location.clear();
    } else if (StartsWithNoCase(line, "Location:")) {
        x->location = net::Trim(line.substr(9));
    }
    return size * count;
}

size_t DiscardBody(char*, size_t size, size_t count, void*) { return size * count; }

// The absolute address of `location` relative to `base`; "" when it cannot be made.
std::string ResolveLocation(const std::string& base, const std::string& location) {
    CURLU* u = curl_url();
    std::string out;
    if (u && curl_url_set(u, CURLUPART_URL, base.c_str(), 0) == CURLUE_OK &&
        curl_url_set(u, CURLUPART_URL, location.c_str(), 0) == CURLUE_OK) {
        char* full = nullptr;
        if (curl_url_get(u, CURLUPART_URL, &full, 0) == CURLUE_OK && full) {
            out = full;
            curl_free(full);
        }
    }
    curl_url_cleanup(u);
    return out;
}

[[noreturn]] void ThrowCurlError(CURL* h, CURLcode rc, const char* errbuf) {
    const std::string text = errbuf[0] ? std::string(errbuf) : std::string(curl_easy_strerror(rc));
    switch (rc) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
        throw net::NetError(net::NetErrorKind::Socket, text);
    case CURLE_OPERATION_TIMEDOUT: {
        curl_off_t connected = 0;
        curl_easy_getinfo(h, CURLINFO_CONNECT_TIME_T, &connected);
        throw net::NetError(connected > 0 ? net::NetErrorKind::ReadTimeout : net::NetErrorKind::ConnectTimeout, text);
    }
    default:
        throw net::NetError(net::NetErrorKind::Other, text);
    }
}

struct CurlHandle {
    CURL* h = nullptr;
    curl_slist* headers = nullptr;
    ~CurlHandle() {
        if (h) curl_easy_cleanup(h);
        if (headers) curl_slist_free_all(headers);
    }
};

} // namespace

std::string UrlEncode(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string UrlEncodedFormBody(const std::vector<std::string>& lines) {
    std::string body;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) body += "&";
        const size_t eq = lines[i].find('=');
        body += eq == std::string::npos ? lines[i] : lines[i].substr(0, eq + 1) + UrlEncode(lines[i].substr(eq + 1));
    }
    return net::Trim(body);
}

ThreadURLCheck::ThreadURLCheck(CheckContext context, std::string address, std::string port,
                               URLCheckSettings settings)
    : CheckItem("URL", std::move(context), std::move(address), std::move(port)), settings_(std::move(settings)) {
    const std::string& m = settings_.url_method;
    if (m == "Get") method_ = "GET";
    else if (m == "Post") method_ = "POST";
    else if (m == "Put") method_ = "PUT";
    else if (m == "Trace") method_ = "TRACE";
    else if (m == "Delete") method_ = "DELETE";
    else if (m == "Options") method_ = "OPTIONS";
    else method_ = "HEAD";  // "Head" and every other text, also "GET" in upper case

    maxRedirects_ = settings_.url_max_redirect < 1 ? 5 : settings_.url_max_redirect;
    settings_.timeout = net::EffectiveTimeout(settings_.timeout);
    settings_.read_timeout = net::EffectiveTimeout(settings_.read_timeout);

    std::string contentType = settings_.url_content_type;
    if (method_ == "POST") {
        body_ = UrlEncodedFormBody(settings_.form_fields);
        if (contentType.empty() || strcasecmp(contentType.c_str(), "text/html") == 0) {
            contentType = "application/x-www-form-urlencoded";
        }
    } else if (method_ == "PUT") {
        for (const std::string& line : settings_.form_fields) {
            body_ += line + "\r\n";
        }
    }
    for (const std::string& line : settings_.extra_headers) {
        if (line.empty()) continue;
        const size_t eq = line.find('=');
        headers_.push_back(eq == std::string::npos ? line : line.substr(0, eq) + ": " + line.substr(eq + 1));
    }
    const std::pair<const char*, const std::string*> fields[] = {
        {"Accept", &settings_.url_accept},
        {"Accept-Charset", &settings_.url_accept_charSet},
        {"Accept-Encoding", &settings_.url_accept_encoding},
        {"Accept-Language", &settings_.url_accept_language},
        {"Content-Encoding", &settings_.url_content_encoding},
        {"Content-Language", &settings_.url_content_language},
        {"Content-Type", &contentType},
        {"Content-Version", &settings_.url_content_version},
        {"Referer", &settings_.url_referer},
        {"User-Agent", &settings_.url_user_agent},
    };
    for (const auto& [name, value] : fields) {
        if (!value->empty()) {
            headers_.push_back(std::string(name) + ": " + *value);
        }
    }
}

ThreadURLCheck::ThreadURLCheck(CheckContext context, std::string address, std::string port,
                               URLCheckSettings settings, std::unique_ptr<net::TlsLayer> tls,
                               const net::TlsSettings& tlsSettings)
    : ThreadURLCheck(std::move(context), std::move(address), std::move(port), std::move(settings)) {
    if (tls) {
        tls->Configure(tlsSettings);
        tls_ = std::move(tls);
    }
}

ThreadURLCheck::~ThreadURLCheck() = default;

void ThreadURLCheck::Execute() {
    const auto start = std::chrono::steady_clock::now();
    const std::string target = Target(Host(), Port());
    try {
        if (Host().empty()) {
            throw net::NetError(net::NetErrorKind::NoHost, "Host/IP required.");
        }
        net::CurlGlobalInit();
        CurlHandle c;
        c.h = curl_easy_init();
        if (!c.h) {
            throw net::NetError(net::NetErrorKind::Other, "HTTP client cannot be created.");
        }
        CURL* h = c.h;
        char errbuf[CURL_ERROR_SIZE] = {0};
        Exchange x;
        const auto set = [&](CURLoption opt, auto value) {
            const CURLcode rc = curl_easy_setopt(h, opt, value);
            if (rc != CURLE_OK) ThrowCurlError(h, rc, errbuf);
        };
        set(CURLOPT_ERRORBUFFER, errbuf);
        set(CURLOPT_NOSIGNAL, 1L);
        set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        set(CURLOPT_FOLLOWLOCATION, 0L);
        // Without the TLS variant an https address fails in the HTTP layer.
        set(CURLOPT_PROTOCOLS_STR, tls_ ? "http,https" : "http");
        set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings_.timeout));
        // Each request, whatever the server does, ends within connect plus read timeout.
        set(CURLOPT_TIMEOUT_MS, static_cast<long>(settings_.timeout + settings_.read_timeout));
        set(CURLOPT_HEADERFUNCTION, &OnHeader);
        set(CURLOPT_HEADERDATA, static_cast<void*>(&x));
        set(CURLOPT_WRITEFUNCTION, &DiscardBody);
        if (!settings_.proxy_ip.empty() && settings_.proxy_port != 0) {
            set(CURLOPT_PROXY, settings_.proxy_ip.c_str());
            set(CURLOPT_PROXYPORT, static_cast<long>(settings_.proxy_port));
            set(CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
            if (!settings_.proxy_username.empty() || !settings_.proxy_password.empty()) {
                set(CURLOPT_PROXYUSERNAME, settings_.proxy_username.c_str());
                set(CURLOPT_PROXYPASSWORD, settings_.proxy_password.c_str());
                set(CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
            }
        } else {
            set(CURLOPT_PROXY, "");  // never a proxy from the environment
        }
        if (!settings_.username.empty() || !settings_.password.empty()) {
            set(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
            set(CURLOPT_USERNAME, settings_.username.c_str());
            set(CURLOPT_PASSWORD, settings_.password.c_str());
        }
        if (!settings_.url_cookie.empty()) {
            set(CURLOPT_COOKIEFILE, "");
            set(CURLOPT_COOKIELIST, ("Set-Cookie: " + settings_.url_cookie).c_str());
        }
        std::vector<std::string> lines = headers_;
        lines.push_back("Expect:");  // one round trip for a body, no 100 Continue
        if (method_ == "PUT" && settings_.url_content_type.empty()) {
            lines.push_back("Content-Type:");  // no content type of curl's own for an empty setting
        }
        for (const std::string& l : lines) {
            curl_slist* next = curl_slist_append(c.headers, l.c_str());
            if (!next) throw net::NetError(net::NetErrorKind::Other, "Out of memory.");
            c.headers = next;
        }
        set(CURLOPT_HTTPHEADER, c.headers);
        if (method_ == "GET") {
            set(CURLOPT_HTTPGET, 1L);
        } else if (method_ == "HEAD") {
            set(CURLOPT_NOBODY, 1L);
        } else if (method_ == "POST") {
            set(CURLOPT_POST, 1L);
            set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body_.size()));
            set(CURLOPT_POSTFIELDS, body_.c_str());
        } else if (method_ == "PUT") {
            set(CURLOPT_CUSTOMREQUEST, "PUT");
            set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body_.size()));
            set(CURLOPT_POSTFIELDS, body_.c_str());
        } else {
            set(CURLOPT_HTTPGET, 1L);
            set(CURLOPT_CUSTOMREQUEST, method_.c_str());
        }
        if (tls_) {
            net::ValidateTlsSettings(tls_->Settings());
            const int rc = net::ApplyTlsToCurl(h, tls_->Settings());
            if (rc != CURLE_OK) ThrowCurlError(h, static_cast<CURLcode>(rc), errbuf);
        }

        std::string url = Host();
        long long followed = 0;
        for (;;) {
            set(CURLOPT_URL, url.c_str());
            x = Exchange{};
            errbuf[0] = 0;
            const CURLcode rc = curl_easy_perform(h);
            if (rc != CURLE_OK) ThrowCurlError(h, rc, errbuf);
            long code = 0;
            curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
            const bool redirect = (code >= 300 && code < 400 && code != 304) || !x.location.empty();
            if (redirect && followed < maxRedirects_) {
                char* effective = nullptr;
                curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective);
                const std::string next = x.location.empty() ? std::string()
                                                            : ResolveLocation(effective ? effective : url, x.location);
                if (next.empty()) {
                    throw net::NetError(net::NetErrorKind::Other, x.statusLine);
                }
                url = next;
                ++followed;
                continue;
            }
            if (redirect || (code >= 200 && code < 300)) {
                break;  // completed: a success, or the last redirect allowed
            }
            throw net::NetError(net::NetErrorKind::Other,
                                x.statusLine.empty() ? "HTTP status " + std::to_string(code) : x.statusLine);
        }
        SetPassed();
        result_text = target + " HTTP Request Succeed:" + net::Trim(x.statusLine) + "]";
    } catch (const std::exception& e) {
        SetFailed();
        result_text = target + net::ConnectErrorText(" HTTP Request Error:", e);
    }
    tls_.reset();
    response_time = ElapsedMs(start);
}

std::unique_ptr<CheckItem> BuildURLCheck(const ServiceRow& row, const CheckBuild& b) {
    URLCheckSettings s;
    s.url_method = row.Get("url_method");
    s.url_max_redirect = row.GetInt("url_max_redirect");
    s.timeout = row.GetInt("timeout");
    s.read_timeout = row.GetInt("read_timeout");
    s.proxy_ip = row.Get("proxy_ip");
    s.proxy_port = row.GetInt("proxy_port");
    s.proxy_username = row.Get("proxy_username");
    s.proxy_password = row.Get("proxy_password");
    s.username = row.Get("username");
    s.password = row.Get("password");
    s.url_cookie = row.Get("url_cookie");
    if (!row.Get("url_header_data").empty()) {
        s.extra_headers.push_back(row.Get("url_header_data"));
    }
    s.url_accept = row.Get("url_accept");
    s.url_accept_charSet = row.Get("url_accept_charSet");
    s.url_accept_encoding = row.Get("url_accept_encoding");
    s.url_accept_language = row.Get("url_accept_language");
    s.url_content_encoding = row.Get("url_content_encoding");
    s.url_content_language = row.Get("url_content_language");
    s.url_content_type = row.Get("url_content_type");
    s.url_content_version = row.Get("url_content_version");
    s.url_referer = row.Get("url_referer");
    s.url_user_agent = row.Get("url_user_agent");
    for (const auto& [name, value] : row.urlDetails) {
        s.form_fields.push_back(name + "=" + value);
    }
    const std::string address = NormaliseUrl(row.Get("ip"), b.tls);
    if (b.tls) {
        return std::make_unique<ThreadURLCheck>(b.context, address, PortFromRow(row), std::move(s),
                                                std::make_unique<net::TlsLayer>(), b.tlsSettings);
    }
    return std::make_unique<ThreadURLCheck>(b.context, address, PortFromRow(row), std::move(s));
}

} // namespace velmora
