#include "backup/WelcomeMessage.h"

#include "foundation/Logging.h"
#include "foundation/ProgramPaths.h"
#include "foundation/ShellLauncher.h"
#include "platform/Dialogs.h"
#include "platform/Process.h"

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
    // A countdown run started at log-on waits at this box: the log says why.
    WriteLog(QStringLiteral("There is no destination directory specified - nothing backed up, the settings program "
                            "is started"),
             0);
    platform::MsgBox(text, platform::Buttons::OK, platform::Icon::Information, QStringLiteral("Welcome to Corvex-Pro"));
    LaunchFile(SettingsProgramPath(), false, QString());
    platform::EndProgram();
}
