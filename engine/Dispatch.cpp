#include "Dispatch.h"

#include <cstdio>

namespace velmora {

std::string MethodHost(const AlarmMethodSettings& methods, const std::string& method) {
    if (method == kMethodEmail)
        return methods.email.host;
    if (method == kMethodSms)
        return methods.sms.host;
    if (method == kMethodSysLog)
        return methods.syslog.host;
    if (method == kMethodSnmp)
        return methods.snmp.host;
    if (method == kMethodSnpp)
        return methods.snpp.host;
    return "";
}

bool NeedsContacts(const AlarmMethodSettings& methods) {
    return methods.email.enabled || methods.sms.enabled || methods.smsHttp.enabled ||
           methods.snpp.enabled;
}

std::string ContactQueryText(long long serviceId) {
    return "Select contact_person.name as name, contact_person.email as "
           "email,contact_person.sms as sms, contact_person.pager_id as pager_id from "
           "service_contact_person,contact_person where "
           "service_contact_person.contact_person_id=contact_person.id and "
           "service_contact_person.service_id=" +
           std::to_string(serviceId);
}

std::vector<Delivery> ContactDeliveries(const AlarmMethodSettings& methods,
                                        const RoutingFlags& flags,
                                        const std::vector<Contact>& contacts) {
    std::vector<Delivery> out;
    std::string emails;
    for (const Contact& c : contacts) {
        if (!c.email.empty()) {
            if (!emails.empty()) {
                emails += ";";
            }
            emails += c.email;
        }
        if (methods.sms.enabled && flags.smpp && !c.sms.empty()) {
            out.push_back({kMethodSms, c.sms});
        }
        if (methods.smsHttp.enabled && flags.httpsms && !c.sms.empty()) {
            out.push_back({kMethodSmsHttp, c.sms});
        }
        if (methods.snpp.enabled && flags.snpp && !c.pager_id.empty()) {
            out.push_back({kMethodSnpp, c.pager_id});
        }
    }
    if (methods.email.enabled && flags.email && !emails.empty()) {
        out.push_back({kMethodEmail, emails});
    }
    return out;
}

std::vector<Delivery> ServerDeliveries(const AlarmMethodSettings& methods,
                                       const RoutingFlags& flags) {
    std::vector<Delivery> out;
    if (methods.syslog.enabled && flags.syslog && !methods.syslog.host.empty()) {
        out.push_back({kMethodSysLog, methods.syslog.host});
    }
    if (methods.snmp.enabled && flags.snmp && !methods.snmp.host.empty()) {
        out.push_back({kMethodSnmp, methods.snmp.host});
    }
    return out;
}

std::string DeliveryFailureLine(const AlarmSender& d) {
    if (d.sent) {
        return "";
    }
    const std::string& m = d.Method();
    if (m == kMethodSmsHttp) {
        return "Alarming Message - HTTP-SMS : Response code=" + std::to_string(d.response_code) +
               " " + d.result_text + " " + d.poolMessage;
    }
    std::string label;
    if (m == kMethodSysLog)
        label = "SysLog";
    else if (m == kMethodEmail)
        label = "SMTP";
    else if (m == kMethodSms)
        label = "SMS";
    else if (m == kMethodSnmp)
        label = "SNMP";
    else if (m == kMethodSnpp)
        label = "SNPP";
    else
        label = m;
    return "Alarming Message - " + label + " : error " + d.result_text + " " + d.poolMessage;
}

} // namespace velmora
