#include "backup/ProgramStart.h"

#include "backup/BackupRun.h"
#include "backup/BackupValues.h"
#include "backup/PlannerRecords.h"
#include "backup/frmProgress.h"
#include "backup/frmStartup.h"
#include "foundation/IniFile.h"
#include "foundation/Logging.h"
#include "foundation/ProgramPaths.h"
#include "foundation/SettingValue.h"
#include "foundation/SettingsKeys.h"
#include "foundation/ShellLauncher.h"
#include "platform/Pointer.h"
#include "platform/Process.h"
#include "platform/SystemInfo.h"

#include <QFileInfo>

bool IsSilentSetting(const QString& value) {
    const QString first = value.trimmed().left(1).toUpper();
    return first == QLatin1String("Y") || first == QLatin1String("1") || first == QLatin1String("T");
}

void Main() {
    if (!Initialise()) return;
    if (IsSilentSetting(ReadIni(IniFile, Section::General, Key::RunSilently))) {
        RunningSilently = true;
        WriteLog("Corvex running silently", 3);
        platform::SetPointer(platform::Pointer::ArrowHourglass);
        RunBackup(TheProgressForm()->backupParameters(), nullptr);
        platform::SetPointer(platform::Pointer::Default);
        platform::EndProgram(RunExitStatus());
        return;
    }
    RunningSilently = false;
    WriteLog("Corvex running normally", 3);
    // The program lives on in the start-up window, which ends it.
    auto* startup = new frmStartup;
    if (startup->Form_Load()) startup->show();
}

bool Initialise() {
    IniFile = SettingsFilePath();
    // Run as root, settings reached through another user's link are hers to
    // choose: nothing is read from them, and the program ends with the error.
    if (SettingsFileRefused(IniFile)) {
        ++RunErrors;
        platform::EndProgram(RunExitStatus());
        return false;
    }
    if (!QFileInfo(IniFile).isFile()) {
        WriteLog("Initialising : Cant find ini file '" + IniFile + "'", 0);
        LaunchFile(SettingsProgramPath(), false, QString());
        platform::EndProgram();
        return false;
    }
    ExcludedPathListFile = ReadIni(IniFile, Section::General, Key::ExcludedPathList);
    if (ExcludedPathListFile.isEmpty()) ExcludedPathListFile = platform::ProgramFolder() + "/ExcludedPaths.txt";
    PathListFile = ReadIni(IniFile, Section::General, Key::PathList);
    if (PathListFile.isEmpty()) PathListFile = platform::ProgramFolder() + "/MyPaths.txt";
    BackupTo = ReadIni(IniFile, Section::General, Key::BackupTo);
    KeepPaths = NumericValue16(ReadIni(IniFile, Section::General, Key::KeepPaths));
    BackupType = NumericValue16(ReadIni(IniFile, Section::General, Key::BackupType));
    QString plandelSettings;
    LoadPlandelSettings(plandelSettings);
    return true;
}
