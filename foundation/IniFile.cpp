#include "IniFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) {
        return {};
    }
    const auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The section name of a header line "[name]", if it is one.
std::optional<std::string> HeaderName(const std::string& raw) {
    const std::string t = Trim(raw);
    if (t.size() >= 2 && t.front() == '[') {
        const auto close = t.find(']');
        if (close != std::string::npos) {
            return Trim(t.substr(1, close - 1));
        }
    }
    return std::nullopt;
}

// The key of a "key=value" line, if it is one (comment lines are not).
std::optional<std::string> KeyName(const std::string& raw) {
    const std::string t = Trim(raw);
    if (t.empty() || t[0] == ';' || t[0] == '#' || t[0] == '[') {
        return std::nullopt;
    }
    const auto eq = raw.find('=');
    if (eq == std::string::npos) {
        return std::nullopt;
    }
    std::string k = Trim(raw.substr(0, eq));
    if (k.empty()) {
        return std::nullopt;
    }
    return k;
}

std::string ValueOf(const std::string& raw) {
    const auto eq = raw.find('=');
    std::string v = raw.substr(eq + 1);
    // Values keep inner blanks; a trailing CR of a stray line end is not part of them.
    while (!v.empty() && (v.back() == '\r')) {
        v.pop_back();
    }
    return Trim(v);
}

} // namespace

std::optional<long long> ParseInteger(const std::string& text) {
    const std::string t = Trim(text);
    if (t.empty()) {
        return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(t.c_str(), &end, 10);
    if (errno != 0 || end == t.c_str() || *end != '\0') {
        return std::nullopt;
    }
    return v;
}

IniFile IniFile::FromText(const std::string& text) {
    IniFile f;
    size_t pos = 0;
    bool sawCrLf = false, sawLf = false;
    while (pos < text.size()) {
        const auto nl = text.find('\n', pos);
        Line line;
        if (nl == std::string::npos) {
            line.raw = text.substr(pos);
            pos = text.size();
        } else {
            line.raw = text.substr(pos, nl - pos);
            if (!line.raw.empty() && line.raw.back() == '\r') {
                line.raw.pop_back();
                line.eol = "\r\n";
                sawCrLf = true;
            } else {
                line.eol = "\n";
                sawLf = true;
            }
            pos = nl + 1;
        }
        f.lines_.push_back(std::move(line));
    }
    if (sawLf && !sawCrLf) {
        f.defaultEol_ = "\n";
    }
    return f;
}

bool IniFile::Load(const std::string& path, std::string& error, bool* existed) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            if (existed) {
                *existed = false;
            }
            *this = IniFile();
            return true;
        }
        error = std::strerror(errno);
        if (existed) {
            *existed = true;
        }
        return false;
    }
    if (existed) {
        *existed = true;
    }
    if (!S_ISREG(st.st_mode)) {
        error = std::string("Cannot open file \"") + path + "\". It is not a regular file.";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::string("Cannot open file \"") + path + "\". " + std::strerror(errno);
        return false;
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) {
        error = std::string("Cannot read file \"") + path + "\".";
        return false;
    }
    *this = FromText(ss.str());
    return true;
}

bool IniFile::Save(const std::string& path, std::string& error) const {
    const std::string tmp = path + ".tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = std::string("Cannot create file \"") + path + "\". " + std::strerror(errno);
        return false;
    }
    // An existing file keeps its permissions; a new one is readable by its owner only,
    // since it holds the database password.
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        ::fchmod(fd, 0600);
    }
    const std::string text = Text();
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = std::string("Cannot write file \"") + path + "\". " + std::strerror(errno);
            ::close(fd);
            ::unlink(tmp.c_str());
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        error = std::string("Cannot write file \"") + path + "\". " + std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        error = std::string("Cannot write file \"") + path + "\". " + std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

int IniFile::FindSection(const std::string& section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        const auto name = HeaderName(lines_[i].raw);
        if (name && SameName(*name, section)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int IniFile::SectionEnd(int header) const {
    size_t i = static_cast<size_t>(header) + 1;
    while (i < lines_.size() && !HeaderName(lines_[i].raw)) {
        ++i;
    }
    return static_cast<int>(i);
}

int IniFile::FindKey(int header, const std::string& key) const {
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const auto k = KeyName(lines_[static_cast<size_t>(i)].raw);
        if (k && SameName(*k, key)) {
            return i;
        }
    }
    return -1;
}

std::optional<std::string> IniFile::Read(const std::string& section,
                                         const std::string& key) const {
    const int h = FindSection(section);
    if (h < 0) {
        return std::nullopt;
    }
    const int k = FindKey(h, key);
    if (k < 0) {
        return std::nullopt;
    }
    return ValueOf(lines_[static_cast<size_t>(k)].raw);
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    const auto v = Read(section, key);
    return v ? *v : def;
}

long long IniFile::ReadInteger(const std::string& section, const std::string& key,
                               long long def) const {
    const auto v = Read(section, key);
    if (!v) {
        return def;
    }
    const auto n = ParseInteger(*v);
    return n ? *n : def;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::Write(const std::string& section, const std::string& key, const std::string& value) {
    int h = FindSection(section);
    if (h < 0) {
        // A new section goes at the end, after a line end for the last line if it has none.
        if (!lines_.empty() && lines_.back().eol.empty()) {
            lines_.back().eol = defaultEol_;
        }
        lines_.push_back({"[" + section + "]", defaultEol_});
        h = static_cast<int>(lines_.size()) - 1;
    }
    const int k = FindKey(h, key);
    if (k >= 0) {
        // Keep the key's own spelling and the text before "="; replace only the value.
        std::string& raw = lines_[static_cast<size_t>(k)].raw;
        raw = raw.substr(0, raw.find('=') + 1) + value;
        return;
    }
    // Append after the last non-blank line of the section.
    int insertAt = SectionEnd(h);
    while (insertAt - 1 > h && Trim(lines_[static_cast<size_t>(insertAt - 1)].raw).empty()) {
        --insertAt;
    }
    if (insertAt == static_cast<int>(lines_.size()) && !lines_.empty() &&
        lines_.back().eol.empty()) {
        lines_.back().eol = defaultEol_;
    }
    lines_.insert(lines_.begin() + insertAt, Line{key + "=" + value, defaultEol_});
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, long long value) {
    Write(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    Write(section, key, value ? "1" : "0");
}

std::string IniFile::Text() const {
    std::string out;
    for (const Line& l : lines_) {
        out += l.raw;
        out += l.eol;
    }
    return out;
}

} // namespace velmora
