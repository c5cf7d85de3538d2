#pragma once
// The in-memory copy of SysInit.ini, one per program, and the start-up checks of the
// application directory.
#include "Program.h"

#include <string>

namespace velmora {

struct TInitSettings {
    // [System]
    bool isDebug = false;
    bool InitStart = true;
    int WindowWidth = 1024;
    int WindowHeight = 768;
    bool ShowFunctionBar = true;
    bool RunAsService = false;
    bool RunAsWinService = false;
    bool ShowWindowAlarmLog = true;
    int ShowLogItem = 100;
    // [Database]
    std::string Host = "localhost";
    std::string Port = "3306";
    std::string DBUsername = "root";
    std::string DBPassword;
    // [System Log]
    std::string SystemLogFilename = "system_";
    int SystemLogHouseKeepDay = 7;
    // [Alarm Msg File Backup]
    bool AlarmMsgFileEnable = true;
    std::string AlarmMsgFilenamePath;   // directory with trailing "/"; default LogDir
    std::string AlarmMsgFilename = "AlarmMsg_";
    int AlarmMsgFileHouseKeepDay = 7;
    // [Alarm Msg DB Backup]
    bool AlarmMsgDBEnable = true;
    std::string AlarmMsgDBType = "MySQL";
    int AlarmMsgDBHouseKeepDay = 7;
    // [Alarming]
    int NoConcurrentAlarm = 500;
    int NoQueuingAlarm = 1000;
    int QueningSecond = 600;

    // Derived, never stored.
    std::string AppDir;           // without trailing separator
    std::string SettingsPath;     // AppDir + "/conf/SysInit.ini"
    std::string LogDir;           // AppDir + "/log/"
    std::string ServiceExePath;   // console: AppDir + "/bin/VelmoraProService"
    std::string HelpFilePath;     // console: the help page found, empty when none
    std::string DriverLibraryPath;  // the database client library checked at start
    bool FirstRun = false;
};

// The process-wide settings.
TInitSettings& InitSettings();

// The application directory: $VELMORA_APP_DIR, else the parent of the folder holding the
// running executable, else ".." (no trailing separator).
std::string ReadAppPath();
// Conf and log directories exist (created when missing); set SettingsPath / LogDir.
bool CheckConfDir();
bool CheckLogDir();
// The database client library file exists ($VELMORA_DB_DRIVER, else the library this
// program is linked with).
bool CheckDriverLibrary();
// Console: the help page exists; sets HelpFilePath.
bool CheckHelpFile();

// Reads the keys of the program's variant, applies the corrections, runs CheckNetwork.
void LoadSettings(ProgramVariant variant);
// Writes the keys of the program's variant. Returns false after reporting ERR00203.
bool SaveSettings(ProgramVariant variant);

// Reports problems of the socket layer and the local host name as warnings.
void CheckNetwork();
// The message CheckNetwork would report for a gethostname/getaddrinfo outcome, or "".
std::string NetworkProblem(int hostNameErrno, bool hostNameOk, int resolveError,
                           const std::string& resolveText);

} // namespace velmora
