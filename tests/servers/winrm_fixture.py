#!/usr/bin/python3
"""A WS-Management (WinRM) endpoint for the WMI check tests.

Answers SOAP Enumerate and Pull requests on /wsman for the resource URIs
http://schemas.microsoft.com/wbem/wsman/1/wmi/root/cimv2/<class> of Win32_Process,
Win32_LogicalDisk and Win32_Share, with replies shaped like the published WS-Management
examples: EnumerateResponse with an EnumerationContext, then PullResponse with at most
MaxElements items each and EndOfSequence on the last. Properties are elements in the class
namespace; nulls carry xsi:nil, date-times a cim:Datetime child, arrays repeat the element.

Only HTTP Basic authentication with USER/PASSWORD is accepted (401 otherwise). A wrong
namespace or class answers a SOAP fault with HTTP 500. Misbehaving endpoints for the tests:
/notxml answers text that is not XML; /huge answers 50 MB; /silent never answers.
"""
import base64
import http.server
import re
import sys
import threading
import time
import uuid

USER, PASSWORD = "wmiadmin", "wmipass"
GIB = 1 << 30
WMI_URI = "http://schemas.microsoft.com/wbem/wsman/1/wmi/"

NIL = object()


def dt(text):
    return ("datetime", text)


CLASSES = {
    "root/cimv2/Win32_Process": [
        {"Caption": "System Idle Process", "CommandLine": NIL, "CreationDate": NIL,
         "Handle": "0", "Name": "System Idle Process", "ProcessId": "0",
         "ThreadCount": "2", "WorkingSetSize": "8192"},
        {"Caption": "a.exe", "CommandLine": "C:\\apps\\a.exe -service",
         "CreationDate": dt("2026-12-01T08:00:00.123456Z"), "Handle": "1234",
         "Name": "a.exe", "ProcessId": "1234", "ThreadCount": "7",
         "WorkingSetSize": "10485760"},
        {"Caption": "svchost.exe", "CommandLine": "C:\\Windows\\system32\\svchost.exe -k netsvcs",
         "CreationDate": dt("2026-12-01T07:59:00.000000Z"), "Handle": "800",
         "Name": "svchost.exe", "ProcessId": "800", "ThreadCount": "31",
         "WorkingSetSize": "20971520"},
    ],
    "root/cimv2/Win32_LogicalDisk": [
        {"Caption": "A:", "DeviceID": "A:", "DriveType": "2", "FreeSpace": NIL,
         "MediaType": "5", "Size": NIL, "VolumeName": NIL},
        {"Caption": "C:", "DeviceID": "C:", "DriveType": "3", "FreeSpace": str(10 * GIB),
         "MediaType": "12", "Size": str(100 * GIB), "VolumeName": "System"},
        {"Caption": "D:", "DeviceID": "D:", "DriveType": "3", "FreeSpace": str(5 * GIB),
         "MediaType": "12", "Size": str(50 * GIB), "VolumeName": "Data"},
        {"Caption": "E:", "DeviceID": "E:", "DriveType": "2", "FreeSpace": str(7 * GIB),
         "MediaType": "11", "Size": str(8 * GIB), "VolumeName": "Stick"},
    ],
    "root/cimv2/Win32_Share": [
        {"AccessMask": NIL, "AllowMaximum": "true", "Caption": "Remote Admin",
         "Description": "Remote Admin", "MaximumAllowed": NIL, "Name": "ADMIN$",
         "Path": "C:\\Windows", "Status": "OK", "Type": "2147483651"},
        {"AccessMask": NIL, "AllowMaximum": "true", "Caption": "Data", "Description": "",
         "MaximumAllowed": NIL, "Name": "Data", "Path": "C:\\Data", "Status": "OK",
         "Type": "0"},
        {"AccessMask": NIL, "AllowMaximum": "false", "Caption": "Printer",
         "Description": "Office printer", "MaximumAllowed": "10", "Name": "Printer",
         "Path": "LPT1:", "Status": "OK", "Type": "1"},
    ],
}

ENVELOPE_HEAD = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<s:Envelope xml:lang="en-US" xmlns:s="http://www.w3.org/2003/05/soap-envelope"'
    ' xmlns:a="http://schemas.xmlsoap.org/ws/2004/08/addressing"'
    ' xmlns:n="http://schemas.xmlsoap.org/ws/2004/09/enumeration"'
    ' xmlns:w="http://schemas.dmtf.org/wbem/wsman/1/wsman.xsd"'
    ' xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">'
)

contexts = {}
lock = threading.Lock()


def esc(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def instance_xml(path, cls, inst):
    ns = WMI_URI + path
    out = [f'<p:{cls} xmlns:p="{ns}" xmlns:cim="http://schemas.dmtf.org/wbem/wscim/1/common"'
           f' xsi:type="p:{cls}_Type">']
    for key, value in inst.items():
        if value is NIL:
            out.append(f'<p:{key} xsi:nil="true"/>')
        elif isinstance(value, tuple):
            out.append(f"<p:{key}><cim:Datetime>{esc(value[1])}</cim:Datetime></p:{key}>")
        elif isinstance(value, list):
            out.extend(f"<p:{key}>{esc(v)}</p:{key}>" for v in value)
        else:
            out.append(f"<p:{key}>{esc(value)}</p:{key}>")
    out.append(f"</p:{cls}>")
    return "".join(out)


def envelope(action, relates, body):
    return (ENVELOPE_HEAD + "<s:Header>"
            f"<a:To>http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous</a:To>"
            f"<a:Action>{action}</a:Action>"
            f"<a:MessageID>uuid:{uuid.uuid4()}</a:MessageID>"
            f"<a:RelatesTo>{relates}</a:RelatesTo>"
            "</s:Header><s:Body>" + body + "</s:Body></s:Envelope>")


def fault(relates, text):
    body = ("<s:Fault><s:Code><s:Value>s:Sender</s:Value><s:Subcode>"
            "<s:Value>w:InvalidSelectors</s:Value></s:Subcode></s:Code>"
            f'<s:Reason><s:Text xml:lang="en-US">{esc(text)}</s:Text></s:Reason></s:Fault>')
    return envelope("http://schemas.dmtf.org/wbem/wsman/1/wsman/fault", relates, body)


def tag(xml, name):
    m = re.search(r"<(?:\w+:)?" + name + r"\b[^>]*>([^<]*)<", xml)
    return m.group(1).strip() if m else ""


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        sys.stderr.write("%s - %s\n" % (self.address_string(), fmt % args))

    def reply(self, code, body, ctype="application/soap+xml;charset=UTF-8", extra=None):
        data = body.encode() if isinstance(body, str) else body
        self.send_response(code)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(data)))
        for k, v in (extra or {}).items():
            self.send_header(k, v)
        self.end_headers()
        self.wfile.write(data)

    def authorized(self):
        want = "Basic " + base64.b64encode(f"{USER}:{PASSWORD}".encode()).decode()
        return self.headers.get("Authorization", "") == want

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        request = self.rfile.read(length).decode(errors="replace")
        if not self.authorized():
            self.reply(401, "", "text/plain", {"WWW-Authenticate": 'Basic realm="WSMAN"'})
            return
        if self.path == "/silent":
            time.sleep(3600)
            return
        if self.path == "/notxml":
            self.reply(200, "this is <<< not & xml at all")
            return
        if self.path == "/huge":
            chunk = b"<x>" + b"A" * (1 << 20) + b"</x>"
            self.reply(200, b"<s:Envelope>" + chunk * 50 + b"</s:Envelope>")
            return
        if self.path != "/wsman":
            self.reply(404, "", "text/plain")
            return
        msgid = tag(request, "MessageID")
        action = tag(request, "Action")
        uri = tag(request, "ResourceURI")
        if action.endswith("/enumeration/Enumerate"):
            path = uri[len(WMI_URI):] if uri.startswith(WMI_URI) else ""
            if path not in CLASSES:
                self.reply(500, fault(msgid, "The WS-Management service cannot process the "
                                             "request. The WMI namespace or class is invalid."))
                return
            ctx = f"uuid:{uuid.uuid4()}"
            with lock:
                contexts[ctx] = (path, 0)
            body = f"<n:EnumerateResponse><n:EnumerationContext>{ctx}</n:EnumerationContext></n:EnumerateResponse>"
            self.reply(200, envelope("http://schemas.xmlsoap.org/ws/2004/09/enumeration/EnumerateResponse", msgid, body))
        elif action.endswith("/enumeration/Pull"):
            ctx = tag(request, "EnumerationContext")
            max_el = int(tag(request, "MaxElements") or "1")
            with lock:
                state = contexts.pop(ctx, None)
            if state is None:
                self.reply(500, fault(msgid, "The enumeration context is not valid."))
                return
            path, pos = state
            cls = path.rsplit("/", 1)[1]
            items = CLASSES[path][pos:pos + max(1, min(max_el, 2))]
            pos += len(items)
            body = ["<n:PullResponse>"]
            end = pos >= len(CLASSES[path])
            if not end:
                nctx = f"uuid:{uuid.uuid4()}"
                with lock:
                    contexts[nctx] = (path, pos)
                body.append(f"<n:EnumerationContext>{nctx}</n:EnumerationContext>")
            body.append("<n:Items>" + "".join(instance_xml(path, cls, i) for i in items) + "</n:Items>")
            if end:
                body.append("<n:EndOfSequence/>")
            body.append("</n:PullResponse>")
            self.reply(200, envelope("http://schemas.xmlsoap.org/ws/2004/09/enumeration/PullResponse", msgid, "".join(body)))
        else:
            self.reply(500, fault(msgid, "The action is not supported."))


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


if __name__ == "__main__":
    Server(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()
