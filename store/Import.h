#pragma once
// Creating services in bulk from a CSV file in the system's import layout or from the
// service.xml file of the lighter edition. Shared by the console and velmoractl.
#include "store/ServiceRecords.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora {

struct ImportOutcome {
    int stored = 0;
    int skipped = 0;
    // One line per skipped record: "line 3: ..." / "service 2: ...".
    std::vector<std::string> notes;
    // The import ended early (file missing, unreadable or not parsable); `error` says why
    // (the message also went to the system log). Records stored before stay stored.
    bool failed = false;
    std::string error;
};

// The lines of a text: a line ends at CR, LF or CR LF; an end at the very end adds no line.
std::vector<std::string> SplitLines(const std::string& text);
// The eleven fields of one CSV line: each field is the text up to the next comma; a field
// without a comma after it, and every field after it, reads as empty.
ImportRecord SplitImportLine(const std::string& line);

// Imports every line of a CSV file. Lines with an empty sixth field (host) are skipped; a
// record the database refuses is logged (ERR00508) and skipped. A file that cannot be read
// ends the import with ERR00507.
ImportOutcome ImportCsvText(const std::string& text, ZUVOzedovUzivara& db = Database());
ImportOutcome ImportCsvFile(const std::string& path, ZUVOzedovUzivara& db = Database());

// The elements of a service element that service.xml carries, in the file's list order.
const std::vector<std::string>& ServiceXmlElements();
// The service row one service element of service.xml stands for; `text(name)` gives the
// text of a child element ("" when missing).
ServiceRow ServiceXmlRow(const std::function<std::string(const std::string&)>& text);

// Imports every child of the document element of service.xml. A missing file gives
// "Cannot find service.xml file."; a document that does not parse gives ERR00601 (with the
// parser's message in `error` and the console's dialog, without it in the system log). A
// record the database refuses is logged (ERR00510) and skipped.
ImportOutcome ImportServiceXmlFile(const std::string& path, ZUVOzedovUzivara& db = Database());

} // namespace velmora
