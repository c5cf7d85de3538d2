#include "CurlSupport.h"

#include <curl/curl.h>
#include <mutex>
#include <openssl/ssl.h>

namespace velmora::net {

namespace {

CURLcode SslContextHook(CURL*, void* sslctx, void* userdata) {
    const auto* s = static_cast<const TlsSettings*>(userdata);
    auto* ctx = static_cast<SSL_CTX*>(sslctx);
    SSL_CTX_set_verify_depth(ctx, s->verifyDepth);
    return CURLE_OK;
}

} // namespace

void CurlGlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

int ApplyTlsToCurl(CURL* curl, const TlsSettings& s) {
    CURLcode rc = CURLE_OK;
    const auto set = [&](CURLoption opt, auto value) {
        if (rc == CURLE_OK) {
            rc = curl_easy_setopt(curl, opt, value);
        }
    };
    // Every stored method negotiates the best version both ends offer.
    set(CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_DEFAULT));
    if (!s.certFile.empty()) {
        set(CURLOPT_SSLCERT, s.certFile.c_str());
        set(CURLOPT_SSLCERTTYPE, "PEM");
    }
    if (!s.keyFile.empty()) {
        set(CURLOPT_SSLKEY, s.keyFile.c_str());
        set(CURLOPT_SSLKEYTYPE, "PEM");
    }
    if (!s.rootCertFile.empty()) {
        set(CURLOPT_CAINFO, s.rootCertFile.c_str());
    }
    if (!s.verifyDirs.empty()) {
        set(CURLOPT_CAPATH, s.verifyDirs.c_str());
    }
    if (!s.cipherList.empty()) {
        set(CURLOPT_SSL_CIPHER_LIST, s.cipherList.c_str());
    }
    set(CURLOPT_SSL_VERIFYPEER, s.verifyPeer ? 1L : 0L);
    set(CURLOPT_SSL_VERIFYHOST, s.verifyPeer ? 2L : 0L);
    set(CURLOPT_SSL_CTX_FUNCTION, &SslContextHook);
    set(CURLOPT_SSL_CTX_DATA, static_cast<void*>(const_cast<TlsSettings*>(&s)));
    return rc;
}

void ValidateTlsSettings(const TlsSettings& s) {
    SSL_CTX_free(TlsLayer::MakeContext(s));
}

} // namespace velmora::net
