#include "InitSettings.h"

#include "IniFile.h"
#include "Messages.h"
#include "SystemLog.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <mysql.h>
#include <netdb.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace fs = std::filesystem;

TInitSettings& InitSettings() {
    static TInitSettings settings;
    return settings;
}

std::string ReadAppPath() {
    if (const char* env = std::getenv("VELMORA_APP_DIR"); env && *env) {
        std::string dir = env;
        while (dir.size() > 1 && dir.back() == '/') {
            dir.pop_back();
        }
        return dir;
    }
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && exe.has_parent_path() && exe.parent_path().has_parent_path()) {
        return exe.parent_path().parent_path().string();
    }
    return "..";
}

namespace {

bool EnsureDir(const std::string& dir) {
    struct stat st{};
    if (::stat(dir.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    return !ec && ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string AppDir() {
    TInitSettings& s = InitSettings();
    if (s.AppDir.empty()) {
        s.AppDir = ReadAppPath();
    }
    return s.AppDir;
}

bool IsFile(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void ReportSettingsError(const std::string& error) {
    const std::string text = msg::WithError(msg::ERR00203, error);
    if (IsConsole()) {
        ShowWarningDialog(text);
    }
    WriteSystemLog(text, LogWarning);
}

} // namespace

bool CheckConfDir() {
    const std::string dir = AppDir() + "/conf/";
    if (!EnsureDir(dir)) {
        return false;
    }
    InitSettings().SettingsPath = dir + "SysInit.ini";
    return true;
}

bool CheckLogDir() {
    const std::string dir = AppDir() + "/log/";
    if (!EnsureDir(dir)) {
        return false;
    }
    InitSettings().LogDir = dir;
    return true;
}

bool CheckDriverLibrary() {
    std::string path;
    if (const char* env = std::getenv("VELMORA_DB_DRIVER"); env && *env) {
        path = env;
    } else {
        Dl_info info{};
        if (dladdr(reinterpret_cast<void*>(&mysql_get_client_info), &info) != 0 &&
            info.dli_fname) {
            path = info.dli_fname;
        }
    }
    InitSettings().DriverLibraryPath = path;
    return !path.empty() && IsFile(path);
}

bool CheckHelpFile() {
    const std::string candidates[] = {AppDir() + "/help/index.html",
                                      AppDir() + "/../help/index.html"};
    for (const std::string& c : candidates) {
        if (IsFile(c)) {
            InitSettings().HelpFilePath = c;
            return true;
        }
    }
    return false;
}

namespace {

constexpr const char* kSystem = "System";
constexpr const char* kDatabase = "Database";
constexpr const char* kSystemLog = "System Log";
constexpr const char* kFileBackup = "Alarm Msg File Backup";
constexpr const char* kDbBackup = "Alarm Msg DB Backup";
constexpr const char* kAlarming = "Alarming";

int ReadInt(const IniFile& f, const char* section, const char* key, int def) {
    const long long v = f.ReadInteger(section, key, def);
    if (v < INT32_MIN || v > INT32_MAX) {
        return def;
    }
    return static_cast<int>(v);
}

} // namespace

void LoadSettings(ProgramVariant variant) {
    TInitSettings& s = InitSettings();
    const bool console = variant == ProgramVariant::Console;
    if (s.SettingsPath.empty()) {
        s.SettingsPath = AppDir() + "/conf/SysInit.ini";
    }
    s.FirstRun = !fs::exists(s.SettingsPath);

    IniFile f;
    std::string error;
    const bool readOk = f.Load(s.SettingsPath, error);

    if (readOk) {
        s.isDebug = f.ReadBool(kSystem, "isDebug", false);
        s.InitStart = f.ReadBool(kSystem, "InitStart", true);
        if (console) {
            s.WindowWidth = ReadInt(f, kSystem, "WindowWidth", 1024);
            s.WindowHeight = ReadInt(f, kSystem, "WindowHeight", 768);
            s.ShowFunctionBar = f.ReadBool(kSystem, "ShowFunctionBar", true);
            s.RunAsService = f.ReadBool(kSystem, "RunAsService", false);
            s.RunAsWinService = f.ReadBool(kSystem, "RunAsWinService", false);
            s.ShowWindowAlarmLog = f.ReadBool(kSystem, "ShowWindowAlarmLog", true);
            s.ShowLogItem = ReadInt(f, kSystem, "ShowLogItem", 100);
        }
        s.Host = f.ReadString(kDatabase, "Host", "localhost");
        s.Port = f.ReadString(kDatabase, "Port", "3306");
        s.DBUsername = f.ReadString(kDatabase, "DBUsername", "root");
        s.DBPassword = f.ReadString(kDatabase, "DBPassword", "");
        s.SystemLogFilename = f.ReadString(kSystemLog, "Filename", "system_");
        s.SystemLogHouseKeepDay = ReadInt(f, kSystemLog, "HouseKeepDay", 7);
        s.AlarmMsgFileEnable = f.ReadBool(kFileBackup, "Enable", true);
        s.AlarmMsgFilenamePath = f.ReadString(kFileBackup, "FilenamePath", s.LogDir);
        s.AlarmMsgFilename = f.ReadString(kFileBackup, "Filename", "AlarmMsg_");
        s.AlarmMsgFileHouseKeepDay = ReadInt(f, kFileBackup, "HouseKeepDay", 7);
        s.AlarmMsgDBEnable = f.ReadBool(kDbBackup, "Enable", true);
        s.AlarmMsgDBType = f.ReadString(kDbBackup, "Type", "MySQL");
        s.AlarmMsgDBHouseKeepDay = ReadInt(f, kDbBackup, "HouseKeepDay", 7);
        s.NoConcurrentAlarm = ReadInt(f, kAlarming, "NoConcurrentAlarm", 500);
        s.NoQueuingAlarm = ReadInt(f, kAlarming, "NoQueuingAlarm", 1000);
        s.QueningSecond = ReadInt(f, kAlarming, "QueningSecond", 600);
    } else if (s.AlarmMsgFilenamePath.empty()) {
        s.AlarmMsgFilenamePath = s.LogDir;
    }

    if (console) {
        if (s.WindowWidth < 0) {
            s.WindowWidth = 1024;
        }
        if (s.WindowHeight < 0) {
            s.WindowHeight = 768;
        }
        if (s.ShowLogItem < 0) {
            s.ShowLogItem = 100;
        }
        s.ServiceExePath = AppDir() + "/bin/VelmoraProService";
    }
    if (s.SystemLogHouseKeepDay <= 0) {
        s.SystemLogHouseKeepDay = 7;
    }
    if (s.NoConcurrentAlarm <= 0) {
        s.NoConcurrentAlarm = 500;
    }
    if (s.NoQueuingAlarm <= 0) {
        s.NoQueuingAlarm = 1000;
    }
    if (s.QueningSecond <= 0) {
        s.QueningSecond = 600;
    }

    if (!readOk) {
        ReportSettingsError(error);
    }
    CheckNetwork();
}

bool SaveSettings(ProgramVariant variant) {
    TInitSettings& s = InitSettings();
    const bool console = variant == ProgramVariant::Console;
    // Start from the file as it is now, so lines this program does not know (or could not
    // understand) and keys written meanwhile by the other program survive the save.
    IniFile f;
    std::string error;
    if (!f.Load(s.SettingsPath, error)) {
        ReportSettingsError(error);
        return false;
    }
    f.WriteBool(kSystem, "InitStart", s.InitStart);
    if (console) {
        f.WriteInteger(kSystem, "WindowWidth", s.WindowWidth);
        f.WriteInteger(kSystem, "WindowHeight", s.WindowHeight);
        f.WriteBool(kSystem, "ShowFunctionBar", s.ShowFunctionBar);
        f.WriteBool(kSystem, "RunAsService", s.RunAsService);
        f.WriteBool(kSystem, "runAsWinService", s.RunAsWinService);
        f.WriteBool(kSystem, "ShowWindowAlarmLog", s.ShowWindowAlarmLog);
        f.WriteInteger(kSystem, "ShowLogItem", s.ShowLogItem);
    }
    f.Write(kDatabase, "Host", s.Host);
    f.Write(kDatabase, "Port", s.Port);
    f.Write(kDatabase, "DBUsername", s.DBUsername);
    f.Write(kDatabase, "DBPassword", s.DBPassword);
    f.WriteInteger(kSystemLog, "HouseKeepDay", s.SystemLogHouseKeepDay);
    f.Write(kSystemLog, "Filename", s.SystemLogFilename);
    f.WriteBool(kFileBackup, "Enable", s.AlarmMsgFileEnable);
    f.Write(kFileBackup, "FilenamePath", s.AlarmMsgFilenamePath);
    f.Write(kFileBackup, "Filename", s.AlarmMsgFilename);
    f.WriteInteger(kFileBackup, "HouseKeepDay", s.AlarmMsgFileHouseKeepDay);
    f.WriteBool(kDbBackup, "Enable", s.AlarmMsgDBEnable);
    f.Write(kDbBackup, "Type", s.AlarmMsgDBType);
    f.WriteInteger(kDbBackup, "HouseKeepDay", s.AlarmMsgDBHouseKeepDay);
    f.WriteInteger(kAlarming, "NoConcurrentAlarm", s.NoConcurrentAlarm);
    f.WriteInteger(kAlarming, "NoQueuingAlarm", s.NoQueuingAlarm);
    f.WriteInteger(kAlarming, "QueningSecond", s.QueningSecond);
    if (!f.Save(s.SettingsPath, error)) {
        ReportSettingsError(error);
        return false;
    }
    return true;
}

std::string NetworkProblem(int hostNameErrno, bool hostNameOk, int resolveError,
                           const std::string& resolveText) {
    if (!hostNameOk) {
        switch (hostNameErrno) {
        case EINPROGRESS:
            return std::string(msg::ERR00304);
        case ENETDOWN:
            return std::string(msg::ERR00303);
        case ENOSYS:
            return std::string(msg::ERR00302);
        default:
            return {};
        }
    }
    if (resolveError != 0) {
        return msg::WithError(msg::ERR00305, resolveText);
    }
    return {};
}

void CheckNetwork() {
    char name[101] = {};
    const bool ok = ::gethostname(name, sizeof name - 1) == 0;
    const int err = ok ? 0 : errno;
    int rc = 0;
    std::string text;
    if (ok) {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* res = nullptr;
        rc = ::getaddrinfo(name, nullptr, &hints, &res);
        if (rc != 0) {
            text = rc == EAI_SYSTEM ? std::strerror(errno) : gai_strerror(rc);
            text = std::string("Host \"") + name + "\": " + text;
        } else {
            ::freeaddrinfo(res);
        }
    }
    const std::string problem = NetworkProblem(err, ok, rc, text);
    if (!problem.empty()) {
        if (IsConsole()) {
            ShowWarningDialog(problem);
        }
        WriteSystemLog(problem, LogWarning);
    }
}

} // namespace velmora
