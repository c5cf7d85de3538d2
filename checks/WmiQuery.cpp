#include "WmiQuery.h"

#include "net/CurlSupport.h"

#include <curl/curl.h>
#include <pugixml.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <random>

namespace velmora::wmi {

namespace {

const char* kAddressingAnonymous = "http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous";

std::string XmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string NewMessageId() {
    static std::mutex m;
    static std::mt19937_64 rng(std::random_device{}());
    unsigned long long a, b;
    {
        std::lock_guard<std::mutex> lock(m);
        a = rng();
        b = rng();
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "uuid:%08llx-%04llx-4%03llx-a%03llx-%012llx", a >> 32,
                  (a >> 16) & 0xFFFF, a & 0xFFF, (b >> 52) & 0xFFF, b & 0xFFFFFFFFFFFFULL);
    return buf;
}

std::string Header(const std::string& endpoint, const std::string& resourceUri, const char* action,
                   const std::string& messageId) {
    return "<s:Header>"
           "<a:To>" + XmlEscape(endpoint) + "</a:To>"
           "<w:ResourceURI s:mustUnderstand=\"true\">" + XmlEscape(resourceUri) + "</w:ResourceURI>"
           "<a:ReplyTo><a:Address s:mustUnderstand=\"true\">" + kAddressingAnonymous +
           "</a:Address></a:ReplyTo>"
           "<a:Action s:mustUnderstand=\"true\">http://schemas.xmlsoap.org/ws/2004/09/enumeration/" +
           action + "</a:Action>"
           "<w:MaxEnvelopeSize s:mustUnderstand=\"true\">512000</w:MaxEnvelopeSize>"
           "<a:MessageID>" + messageId + "</a:MessageID>"
           "<w:Locale xml:lang=\"en-US\" s:mustUnderstand=\"false\"/>"
           "<w:OperationTimeout>PT60.000S</w:OperationTimeout>"
           "</s:Header>";
}

const char* kEnvelopeOpen =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\""
    " xmlns:a=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\""
    " xmlns:n=\"http://schemas.xmlsoap.org/ws/2004/09/enumeration\""
    " xmlns:w=\"http://schemas.dmtf.org/wbem/wsman/1/wsman.xsd\">";

std::string_view LocalName(const char* name) {
    std::string_view n(name);
    const size_t colon = n.find(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

pugi::xml_node Child(pugi::xml_node parent, std::string_view local) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && LocalName(c.name()) == local) return c;
    return {};
}

bool IsNil(pugi::xml_node node) {
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
        if (LocalName(a.name()) == "nil") {
            const std::string_view v(a.value());
            return v == "true" || v == "1";
        }
    return false;
}

// The text of one property element, by the shape WS-Management gives each CIM type.
std::string ValueText(pugi::xml_node node) {
    if (IsNil(node)) return "NULL";
    pugi::xml_node firstElement;
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) {
            firstElement = c;
            break;
        }
    if (firstElement) {
        const std::string_view n = LocalName(firstElement.name());
        // Date-times and intervals come as one wrapped value.
        if (n == "Datetime" || n == "Interval" || n == "Date" || n == "Time")
            return firstElement.text().get();
        return "<CIM Object>";
    }
    std::string text = node.text().get();
    // xsd:boolean's lexical forms; the scripting interface shows booleans capitalised.
    if (text == "true") return "True";
    if (text == "false") return "False";
    return text;
}

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<std::pair<std::string*, size_t>*>(user);
    const size_t n = size * count;
    if (sink->first->size() + n > sink->second) return 0;  // over the limit: abort the transfer
    sink->first->append(data, n);
    return n;
}

// One POST of a SOAP envelope; false with `error` on any failure of the transport or an
// HTTP status other than 200 (a fault's reason is given when the body carries one).
bool Post(const std::string& url, const QueryTarget& target, const std::string& body,
          const QueryLimits& limits, long long timeoutMs, std::string& reply, std::string& error) {
    CURL* curl = curl_easy_init();
    if (!curl) {
        error = "The HTTP client could not be created.";
        return false;
    }
    reply.clear();
    std::pair<std::string*, size_t> sink{&reply, limits.maxReplyBytes};
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Content-Type: application/soap+xml;charset=UTF-8");
    headers = curl_slist_append(headers, "Expect:");
    char errbuf[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Velmora Pro WMI");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(std::max<long long>(1, timeoutMs)));
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errbuf);
    if (!target.user.empty()) {
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, CURLAUTH_BASIC | CURLAUTH_NTLM | CURLAUTH_NEGOTIATE);
        curl_easy_setopt(curl, CURLOPT_USERNAME, target.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, target.password.c_str());
    } else {
        // No user: the running account's Kerberos ticket, if it has one.
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, CURLAUTH_NEGOTIATE);
        curl_easy_setopt(curl, CURLOPT_USERPWD, ":");
    }
    const CURLcode rc = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    if (rc == CURLE_WRITE_ERROR) {  // only WriteBody refuses data: the limit was hit
        error = "The reply is larger than " + std::to_string(limits.maxReplyBytes) + " bytes.";
        return false;
    }
    if (rc != CURLE_OK) {
        error = errbuf[0] ? errbuf : curl_easy_strerror(rc);
        return false;
    }
    if (status != 200) {
        error = "HTTP status " + std::to_string(status);
        const Reply parsed = ParseReply(reply);
        if (!parsed.error.empty() && parsed.error.rfind("Fault:", 0) == 0) error += " " + parsed.error;
        if (status == 401) error += " (access denied)";
        return false;
    }
    return true;
}

} // namespace

std::string EndpointUrl(std::string_view computer) {
    std::string c(computer);
    auto lower = c;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char ch) { return std::tolower(ch); });
    if (lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0) return c;
    if (!c.empty() && c.front() == '[') {
        const size_t close = c.find(']');
        if (close != std::string::npos && close + 1 < c.size() && c[close + 1] == ':')
            return "http://" + c + "/wsman";
        return "http://" + c + ":5985/wsman";
    }
    const size_t colon = c.find(':');
    if (colon != std::string::npos && c.find(':', colon + 1) == std::string::npos)
        return "http://" + c + "/wsman";
    if (colon != std::string::npos)  // a bare IPv6 address
        return "http://[" + c + "]:5985/wsman";
    return "http://" + c + ":5985/wsman";
}

std::string ResourceUri(std::string_view wmiNamespace, std::string_view className) {
    std::string ns(wmiNamespace);
    for (char& ch : ns) {
        if (ch == '\\') ch = '/';
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    while (!ns.empty() && ns.front() == '/') ns.erase(ns.begin());
    while (!ns.empty() && ns.back() == '/') ns.pop_back();
    return "http://schemas.microsoft.com/wbem/wsman/1/wmi/" + ns + "/" + std::string(className);
}

std::string BuildEnumerate(const std::string& endpoint, const std::string& resourceUri,
                           const std::string& messageId) {
    return std::string(kEnvelopeOpen) + Header(endpoint, resourceUri, "Enumerate", messageId) +
           "<s:Body><n:Enumerate/></s:Body></s:Envelope>";
}

std::string BuildPull(const std::string& endpoint, const std::string& resourceUri,
                      const std::string& context, int maxElements, const std::string& messageId) {
    return std::string(kEnvelopeOpen) + Header(endpoint, resourceUri, "Pull", messageId) +
           "<s:Body><n:Pull><n:EnumerationContext>" + XmlEscape(context) +
           "</n:EnumerationContext><n:MaxElements>" + std::to_string(maxElements) +
           "</n:MaxElements></n:Pull></s:Body></s:Envelope>";
}

Reply ParseReply(std::string_view xml) {
    Reply r;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(xml.data(), xml.size());
    if (!parsed) {
        r.error = std::string("The reply is not XML: ") + parsed.description();
        return r;
    }
    pugi::xml_node envelope = doc.document_element();
    if (!envelope || LocalName(envelope.name()) != "Envelope") {
        r.error = "The reply is not a SOAP envelope.";
        return r;
    }
    pugi::xml_node body = Child(envelope, "Body");
    if (!body) {
        r.error = "The reply has no SOAP body.";
        return r;
    }
    if (pugi::xml_node fault = Child(body, "Fault")) {
        std::string reason = Child(Child(fault, "Reason"), "Text").text().get();
        r.error = "Fault: " + (reason.empty() ? std::string("(no reason)") : reason);
        return r;
    }
    pugi::xml_node response = Child(body, "EnumerateResponse");
    if (!response) response = Child(body, "PullResponse");
    if (!response) {
        r.error = "The reply is neither an EnumerateResponse nor a PullResponse.";
        return r;
    }
    r.context = Child(response, "EnumerationContext").text().get();
    r.endOfSequence = static_cast<bool>(Child(response, "EndOfSequence"));
    if (pugi::xml_node items = Child(response, "Items")) {
        for (pugi::xml_node inst = items.first_child(); inst; inst = inst.next_sibling()) {
            if (inst.type() != pugi::node_element) continue;
            std::vector<Property> props;
            for (pugi::xml_node p = inst.first_child(); p; p = p.next_sibling()) {
                if (p.type() != pugi::node_element) continue;
                std::string name(LocalName(p.name()));
                std::string value = ValueText(p);
                // A repeated element is an array: its elements joined by "|".
                auto same = std::find_if(props.begin(), props.end(),
                                         [&](const Property& q) { return q.name == name; });
                if (same != props.end())
                    same->value += "|" + value;
                else
                    props.push_back({std::move(name), std::move(value)});
            }
            r.items.push_back(std::move(props));
        }
    }
    if (r.context.empty() && !r.endOfSequence && r.items.empty() && LocalName(response.name()) == "PullResponse") {
        r.error = "The PullResponse has neither items, a context nor an end of sequence.";
        return r;
    }
    r.ok = true;
    return r;
}

void AppendInstances(InstanceTable& table, const std::vector<std::vector<Property>>& items) {
    if (table.rows.empty()) table.rows.push_back({"Instance"});
    for (const auto& props : items) {
        auto& head = table.rows[0];
        std::vector<std::string> row(head.size());
        for (const auto& p : props) {
            auto it = std::find(head.begin() + 1, head.end(), p.name);
            size_t col;
            if (it == head.end()) {
                head.push_back(p.name);
                col = head.size() - 1;
            } else {
                col = static_cast<size_t>(it - head.begin());
            }
            if (row.size() <= col) row.resize(col + 1);
            row[col] = p.value;
        }
        ++table.instanceCount;
        row[0] = std::to_string(table.instanceCount);
        table.rows.push_back(std::move(row));
    }
    for (auto& row : table.rows) row.resize(table.rows[0].size());
    table.propertyCount = static_cast<long long>(table.rows[0].size()) - 1;
}

QueryResult QueryInstances(const QueryTarget& target, std::string_view className,
                           const QueryLimits& limits) {
    QueryResult result;
    auto fail = [&](std::string why) {
        result.table = InstanceTable{};
        result.error = std::move(why);
        return result;
    };
    try {
        net::CurlGlobalInit();
        if (TrimBlanks(target.computer).empty()) return fail("No computer given.");
        const std::string url = EndpointUrl(TrimBlanks(target.computer));
        const std::string uri = ResourceUri(target.wmiNamespace, className);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limits.totalTimeoutMs);
        auto remaining = [&] {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now()).count();
            return std::min<long long>(left, limits.requestTimeoutMs);
        };
        size_t totalBytes = 0;
        std::string reply, error;
        if (!Post(url, target, BuildEnumerate(url, uri, NewMessageId()), limits, remaining(), reply, error))
            return fail(error);
        totalBytes += reply.size();
        Reply r = ParseReply(reply);
        if (!r.ok) return fail(r.error);
        InstanceTable table;
        table.rows.push_back({"Instance"});
        table.propertyCount = 0;
        AppendInstances(table, r.items);
        while (!r.endOfSequence) {
            if (r.context.empty()) return fail("The reply carries no enumeration context.");
            if (remaining() <= 0) return fail("The enumeration took too long.");
            if (!Post(url, target, BuildPull(url, uri, r.context, limits.maxElementsPerPull, NewMessageId()),
                      limits, remaining(), reply, error))
                return fail(error);
            totalBytes += reply.size();
            if (totalBytes > limits.maxTotalBytes) return fail("The enumeration is larger than allowed.");
            r = ParseReply(reply);
            if (!r.ok) return fail(r.error);
            AppendInstances(table, r.items);
            if (table.instanceCount > limits.maxInstances) return fail("The class has too many instances.");
        }
        result.table = std::move(table);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return result;
}

} // namespace velmora::wmi
