#include "backup/modCorvexPro.h"

#include "backup/BackupRun.h"
#include "backup/frmProgress.h"
#include "backup/frmStartup.h"
#include "backup/modPIM_Interface.h"
#include "foundation/IniFile.h"
#include "foundation/Logging.h"
#include "foundation/ProgramValues.h"
#include "foundation/SettingValue.h"
#include "foundation/ShellLauncher.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"
#include "platform/Process.h"
#include "platform/SystemInfo.h"

#include <QFileInfo>

QString PathListFile;
QString ExcludedPathListFile;
QString BackupTo;
int BackupType = 0;
int KeepPaths = 0;
bool RunningSilently = false;

namespace {
QString settingsProgramPath() { return platform::ProgramFolder() + "/vantor"; }
}  // namespace

bool IsSilentSetting(const QString& value) {
    const QString first = value.trimmed().left(1).toUpper();
    return first == QLatin1String("Y") || first == QLatin1String("1") || first == QLatin1String("T");
}

void Main() {
    if (!Initialise()) return;
    if (IsSilentSetting(ReadIni(IniFile, "general", "runSilently"))) {
        RunningSilently = true;
        WriteLog("Corvex running silently", 3);
        platform::SetPointer(platform::Pointer::ArrowHourglass);
        RunBackup(TheProgressForm(), nullptr);
        platform::SetPointer(platform::Pointer::Default);
        platform::EndProgram();
        return;
    }
    RunningSilently = false;
    WriteLog("Corvex running normally", 3);
    // The program lives on in the start-up window, which ends it.
    auto* startup = new frmStartup;
    if (startup->Form_Load()) startup->show();
}

bool Initialise() {
    IniFile = platform::ProgramFolder() + "/corvex.ini";
    if (!QFileInfo(IniFile).isFile()) {
        WriteLog("Initialising : Cant find ini file '" + IniFile + "'", 0);
        LaunchFile(settingsProgramPath(), false, QString());
        platform::EndProgram();
        return false;
    }
    ExcludedPathListFile = ReadIni(IniFile, "general", "ExcludedPathlist");
    if (ExcludedPathListFile.isEmpty()) ExcludedPathListFile = platform::ProgramFolder() + "/ExcludedPaths.txt";
    PathListFile = ReadIni(IniFile, "general", "pathlist");
    if (PathListFile.isEmpty()) PathListFile = platform::ProgramFolder() + "/MyPaths.txt";
    BackupTo = ReadIni(IniFile, "general", "backupTo");
    KeepPaths = NumericValue16(ReadIni(IniFile, "general", "keepPaths"));
    BackupType = NumericValue16(ReadIni(IniFile, "general", "backupType"));
    QString plandelSettings;
    LoadPlandelSettings(plandelSettings);
    return true;
}

void ShowWelcomeMessage() {
    const QString text =
        "This program simply makes routine backup copies of all\r\n"
        "recently modified files from the directories you chose.\r\n"
        "\r\n"
        "It does not replace your normal system backups, but keeps a list of\r\n"
        "all modified files from the paths you choose in a separate directory\r\n"
        "so you can quickly and easily restore an older version of any file.\r\n"
        "\r\n"
        "Once you say which directory to make the backups to and create a \r\n"
        "list of paths to backup, Corvex can be placed in your Startup\r\n"
        " folder, or scheduled by the Windows Scheduler, to run automatically\r\n"
        "\r\n"
        "You can also run it manually giving you precise control over the \r\n"
        "paths and individual files to backup.\r\n"
        "\r\n"
        "If you have Tamsel Softwares Plandel installed you can view the list of\r\n"
        "files used by day, week or month.\r\n";
    platform::MsgBox(text, platform::Buttons::OK, platform::Icon::Information, QStringLiteral("Welcome to Corvex-Pro"));
    LaunchFile(settingsProgramPath(), false, QString());
    platform::EndProgram();
}
