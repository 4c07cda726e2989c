#include "foundation/ShellLauncher.h"

#include "foundation/Logging.h"
#include "platform/Dialogs.h"
#include "platform/Process.h"
#include "platform/SystemInfo.h"

#include <QDir>


namespace {
QString launchFailureText(int result, const QString& file) {
    switch (result) {
    case 2: return "File not found\r\n" + file;
    case 3: return QStringLiteral("Path not found");
    case 5: return QStringLiteral("Access denied");
    case 8: return QStringLiteral("Out of memory");
    case 11: return QStringLiteral("Invalid EXE file or error in EXE image");
    case 26: return QStringLiteral("A sharing violation occurred");
    case 27: return QStringLiteral("Incomplete or invalid file association");
    case 28: return QStringLiteral("DDE Time out");
    case 29: return QStringLiteral("DDE transaction failed");
    case 30: return QStringLiteral("DDE busy");
    case 31: return QStringLiteral("No association for file extension");
    case 32: return QStringLiteral("DLL not found");
    default: return QStringLiteral("Unknown error");
    }
}
}  // namespace

void LaunchFile(const QString& file, bool minimised, const QString& params) {
    Q_UNUSED(minimised);
    Q_UNUSED(params);
    if (file.isEmpty()) return;
    const int result = platform::OpenDocument(file);
    if (result > 32) {
        WriteLog("Successfully ShellExecute '" + file + "'", 3);
        return;
    }
    WriteLog("Failed to ShellExecute '" + file + "'", 0);
    platform::MsgBox(launchFailureText(result, file));
}

QString BrowseForFolder(QWidget* owner, const QString& title, quint32 flags, quint32 root) {
    Q_UNUSED(flags);
    QString start = QStringLiteral("/");
    if (root == 19) {
        const QString gvfs = platform::UserRuntimeFolder() + "/gvfs";
        if (QDir(gvfs).exists())
            start = gvfs;
        else if (QDir(QStringLiteral("/mnt")).exists())
            start = QStringLiteral("/mnt");
    }
    return platform::ChooseFolder(owner, title, start);
}
