#pragma once
// "URL": one HTTP/1.1 request (HTTPS for the TLS variant) with the configured method, form
// fields, credentials, proxy, cookie, extra header line and header fields; redirects are
// followed by hand up to the maximum, and a success status passes.
#include "checks/CheckItem.h"
#include "net/TlsLayer.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora {

struct URLCheckSettings {
    std::string url_method;         // "Get", "Post", "Put", "Trace", "Delete", "Head", "Options"; else HEAD
    long long url_max_redirect = 0; // < 1: 5
    long long timeout = 0;          // connection timeout ms (< 1: 5000)
    long long read_timeout = 0;     // ms (<= 0: 5000)
    std::string proxy_ip;
    long long proxy_port = 0;
    std::string proxy_username, proxy_password;
    std::string username, password;  // basic authentication when either is not empty
    std::string url_cookie;          // a Set-Cookie value registered for the run
    std::vector<std::string> extra_headers;  // url_header_data lines "name=value"
    std::string url_accept, url_accept_charSet, url_accept_encoding, url_accept_language;
    std::string url_content_encoding, url_content_language, url_content_type, url_content_version;
    std::string url_referer, url_user_agent;
    std::vector<std::string> form_fields;  // service_url_detail lines "fieldname=fieldvalue"
};

class ThreadURLCheck : public CheckItem {
public:
    // `address` is the normalised address (see NormaliseUrl); `port` is shown in the result
    // text only: the connection uses the address's own port.
    ThreadURLCheck(CheckContext context, std::string address, std::string port, URLCheckSettings settings);
    // The TLS variant: https addresses are allowed and the TLS settings apply.
    ThreadURLCheck(CheckContext context, std::string address, std::string port, URLCheckSettings settings,
                   std::unique_ptr<net::TlsLayer> tls, const net::TlsSettings& tlsSettings);
    ~ThreadURLCheck() override;

    void Execute() override;

    // What goes out, as prepared by the constructor.
    const std::string& Method() const { return method_; }           // "GET", "POST", ..., "HEAD"
    const std::string& Body() const { return body_; }               // POST/PUT body ("" otherwise)
    const std::vector<std::string>& Headers() const { return headers_; }  // "Name: value" lines
    long long MaxRedirects() const { return maxRedirects_; }
    bool Tls() const { return tls_ != nullptr; }

private:
    URLCheckSettings settings_;
    std::unique_ptr<net::TlsLayer> tls_;
    std::string method_;
    std::string body_;
    std::vector<std::string> headers_;
    long long maxRedirects_ = 5;
};

// The POST body of form field lines: the part after each line's first "=" URL-encoded, the
// lines joined with "&", blanks trimmed from both ends.
std::string UrlEncodedFormBody(const std::vector<std::string>& lines);
// RFC 3986 percent-encoding of everything but the unreserved characters.
std::string UrlEncode(const std::string& text);

} // namespace velmora
