#include "TestSupport.h"

#include "foundation/InitSettings.h"
#include "foundation/Program.h"
#include "foundation/SystemLog.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace velmora::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "velmora-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

AppDirScope::AppDirScope() {
    InitSettings() = TInitSettings{};
    Program() = ProgramHooks{};
    Program().terminate = [](int code) { throw ProgramEnded{code}; };
    InitSettings().AppDir = dir_.path();
    CheckLogDir();
    CheckConfDir();
    InitSettings().AlarmMsgFilenamePath = InitSettings().LogDir;
}

AppDirScope::~AppDirScope() {
    InitSettings() = TInitSettings{};
    Program() = ProgramHooks{};
}

std::string AppDirScope::LogText() const {
    const std::string path = SystemLogFileName();
    return fs::exists(path) ? ReadFile(path) : std::string();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

static std::string StateDir() {
    const char* s = std::getenv("VELMORA_TEST_STATE");
    return s ? s : "";
}

std::string ServerValue(const std::string& server, const std::string& key) {
    std::ifstream in(StateDir() + "/" + server + ".env");
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos && line.substr(0, eq) == key) {
            return line.substr(eq + 1);
        }
    }
    return {};
}

int ServerPort(const std::string& server, const std::string& key) {
    const std::string v = ServerValue(server, key);
    return v.empty() ? 0 : std::atoi(v.c_str());
}

std::string SourceDir() {
    const char* s = std::getenv("VELMORA_SOURCE_DIR");
    return s ? s : VELMORA_TEST_SOURCE_DIR;
}

std::string BinaryDir() {
    const char* s = std::getenv("VELMORA_BINARY_DIR");
    return s ? s : VELMORA_TEST_BINARY_DIR;
}

} // namespace velmora::test
