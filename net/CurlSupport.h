#pragma once
// What the libcurl users (URL check, SMS by HTTP, version check, WinRM) share: the one-time
// global initialisation and the mapping of the TLS settings onto curl's options.
#include "TlsLayer.h"

typedef void CURL;

namespace velmora::net {

// curl_global_init once per process (thread-safe); call before the first curl_easy_init.
void CurlGlobalInit();

// Sets the TLS settings on an easy handle: client certificate and key, trusted roots file
// and directory, cipher list, and verification of the peer only when the verify set asks for
// it (verify depth is applied through the context callback). Host-name matching follows the
// peer flag. Returns CURLE_OK or the first option that curl refused.
int ApplyTlsToCurl(CURL* curl, const TlsSettings& s);

// Checks the settings against the TLS library the way a handshake would (certificate, key,
// roots, cipher list), so a bad setting is reported with a clear text before any traffic.
// Throws NetError(Tls).
void ValidateTlsSettings(const TlsSettings& s);

} // namespace velmora::net
