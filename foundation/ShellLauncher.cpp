#include "foundation/ShellLauncher.h"

#include "foundation/Logging.h"
#include "platform/Dialogs.h"
#include "platform/Process.h"
#include "platform/SystemInfo.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

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
        const QString gvfs = QStringLiteral("/run/user/%1/gvfs").arg(getuid());
        if (QDir(gvfs).exists())
            start = gvfs;
        else if (QDir(QStringLiteral("/mnt")).exists())
            start = QStringLiteral("/mnt");
    }
    return platform::ChooseFolder(owner, title, start);
}

bool CanWriteToFolder(QString& folder) {
    if (folder.trimmed().isEmpty()) return false;
    if (!folder.endsWith('/')) folder += '/';
    const QString testFile = folder + platform::ProgramName().remove(' ') + ".tmp";
    QFile::remove(testFile);
    QFile f(testFile);
    bool ok = f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (ok) {
        const QByteArray data =
            "this is a temp file to check the datapath   \r\n"
            "You can delete it to save space (wow - 100 bytes!)\r\n"
            "\r\n";
        ok = f.write(data) == data.size();
        f.close();
        ok = ok && f.error() == QFileDevice::NoError;
    }
    if (ok) return true;
    WriteLog("There was an error creating the file in the directory '" + folder + "' ", 0);
    platform::MsgBox("There was an error writing to the directory '" + folder +
                         "' \r\n"
                         "It may not exist, or you may not have write permissions to it.\r\n"
                         "Another reason could be that the temporary file \r\n"
                         "(" +
                         testFile +
                         ")\r\n"
                         " is in use by another application.",
                     platform::Buttons::OK, platform::Icon::Critical, QStringLiteral("Problem writing to Directory"));
    return false;
}
