#pragma once
// An editor for Windows-style initialisation files. Section and key names match without
// regard to case. Writing a key replaces its value in place, or appends it at the end of its
// section (appending the section when missing); every other line, including comments, garbage
// and keys this program does not know, stays byte for byte as it was.
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class IniFile {
public:
    IniFile() = default;

    // Parses `text`; never fails (lines that are neither a section header nor key=value are
    // kept as they are and otherwise ignored).
    static IniFile FromText(const std::string& text);
    // Loads `path`. Returns false with `error` set when the file exists but cannot be read;
    // a missing file gives an empty document and true (with `existed` false).
    bool Load(const std::string& path, std::string& error, bool* existed = nullptr);
    // Writes the document to `path` (created with mode 0600 when new), atomically.
    bool Save(const std::string& path, std::string& error) const;

    std::optional<std::string> Read(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // A missing key or a value that does not parse as a whole integer gives `def`.
    long long ReadInteger(const std::string& section, const std::string& key,
                          long long def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    void Write(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, long long value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    std::string Text() const;

private:
    struct Line {
        std::string raw;     // the line as read, without its end
        std::string eol;     // "\r\n", "\n" or "" for the last line
    };
    std::vector<Line> lines_;
    std::string defaultEol_ = "\r\n";

    // Index of the header line of `section`, or -1.
    int FindSection(const std::string& section) const;
    // Index of the key line within the section starting at `header`, or -1.
    int FindKey(int header, const std::string& key) const;
    int SectionEnd(int header) const;
};

// Whole-string decimal integer parse with optional sign and surrounding blanks.
std::optional<long long> ParseInteger(const std::string& text);

} // namespace velmora
