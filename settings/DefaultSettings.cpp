#include "settings/DefaultSettings.h"

#include "foundation/IniFile.h"
#include "foundation/Logging.h"
#include "foundation/SettingsKeys.h"
#include "foundation/cFileIO.h"
#include "platform/SystemInfo.h"
#include "settings/SettingsValues.h"

#include <QFileInfo>

namespace {
// An entry the first run may use: a folder or regular file whose name does not
// begin with "." (hidden) and that is not a device, FIFO or socket (system).
bool isVisibleEntry(const QString& path) {
    QString p = path;
    while (p.size() > 1 && p.endsWith('/')) p.chop(1);
    const QFileInfo fi(p);
    if (!fi.exists()) return false;
    if (!fi.isDir() && !fi.isFile()) return false;
    return !fi.fileName().startsWith('.');
}
}  // namespace

QStringList DefaultFolderCandidates() {
    return {platform::HomeFolder() + "/My Documents", platform::DocumentsFolder(), QStringLiteral("/home"),
            QStringLiteral("/opt/tamsel")};
}

QStringList DefaultExcludedFragments() {
    return {QStringLiteral("/tmp/"), QStringLiteral("/.cache/"), QStringLiteral("/Trash/")};
}

void AddFolderIfExists(cFileIO& listFile, const QString& candidate) {
    if (candidate.isEmpty() || !isVisibleEntry(candidate)) return;
    const QString line = candidate.endsWith('/') ? candidate : candidate + "/*";
    listFile.appendLine(line);
}

void CreateDefaultIni(const QString& iniFile) {
    const QString folder = platform::ProgramFolder();
    WriteLog(QStringLiteral("Creating Default INI file"), 0);

    WriteIni(Section::General, Key::Title, "CorvexPro", iniFile);
    WriteIni(Section::General, Key::RunSilently, "0", iniFile);
    WriteIni(Section::General, Key::KeepPaths, "1", iniFile);
    WriteIni(Section::General, Key::RecordToPlandel, "1", iniFile);
    WriteIni(Section::Plandel, Key::DataPath, folder, iniFile);
    WriteIni(Section::General, Key::BackupTo, platform::HomeFolder() + "/Backup", iniFile);
    WriteIni(Section::General, Key::BackupType, "0", iniFile);
    WriteIni(Section::General, Key::ExcludedPathList, folder + "/ExcludedPaths.txt", iniFile);
    WriteIni(Section::General, Key::PathList, folder + "/MyPaths.txt", iniFile);

    ExcludedPathListFile = folder + "/ExcludedPaths.txt";
    PathListFile = folder + "/MyPaths.txt";

    cFileIO paths;
    paths.init(PathListFile);
    // An existing folder list is the user's own: leave both list files alone.
    if (paths.Exists()) return;

    for (const QString& candidate : DefaultFolderCandidates()) AddFolderIfExists(paths, candidate);

    cFileIO excluded;
    excluded.init(ExcludedPathListFile);
    if (!excluded.Exists()) {
        for (const QString& fragment : DefaultExcludedFragments()) excluded.appendLine(fragment);
        excluded.closeFile();
    }
    paths.closeFile();
}
