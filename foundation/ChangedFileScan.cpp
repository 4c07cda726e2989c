#include "foundation/ChangedFileScan.h"

#include "foundation/PathHelpers.h"
#include "platform/FileStatus.h"

#include <QDir>

// ---------------------------------------------------------------------------
// Small file routines used by the copy loop and the backup-folder naming.

QString GetFileExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? QString() : path.mid(dot + 1);
}

qint64 GetFileLength(const QString& path) {
    const platform::FileStatus st = platform::GetFileStatus(path);
    return st.isFile ? st.size : -1;
}

QString FormatFileDetails(const QString& path, const QString& separator, bool fullPath, bool name, bool folder,
                          bool extension, bool size, bool date) {
    // One status call serves both the size and the date.
    const platform::FileStatus st = (size || date) ? platform::GetFileStatus(path) : platform::FileStatus{};
    QString line;
    if (fullPath) line += path + separator;
    if (name) line += GetFileNameFromPath(path) + separator;
    if (folder) line += GetFolderFromPath(path) + separator;
    if (extension) line += GetFileExtension(path) + separator;
    if (size) line += QString::number(st.isFile ? st.size : qint64(-1)) + separator;
    if (date) {
        if (!st.exists) return {};
        line += st.modified().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")) + separator;
    }
    return line;
}

bool MakeFullPath(const QString& path) {
    QString full = path;
    if (!full.endsWith(u'/')) full += u'/';
    // Every text before a "/" is one level, outermost first; the root needs no making.
    for (qsizetype slash = full.indexOf(u'/'); slash >= 0; slash = full.indexOf(u'/', slash + 1)) {
        const QString level = full.left(slash);
        if (level.isEmpty() || level == QLatin1String("/")) continue;
        if (!platform::GetFileStatus(level).isFolder) QDir().mkdir(level);
    }
    return true;
}

// ---------------------------------------------------------------------------
// The scan (placeholders while it is written).

void ListChangedFiles(const QDateTime&, const QDateTime&, QWidget*, QWidget*, QTreeWidget*, QWidget*, QWidget*, bool,
                      bool, QProgressBar*) {}
void BuildFolderList(QWidget*, QWidget*, QWidget*) {}
void ProcessFolderFiles(const QString&, const QDateTime&, const QDateTime&, const QStringList&, QTreeWidget*, bool) {}
void AddFileToList(const QString&, const QString&, QTreeWidget*) {}
bool IsFileDateInRange(const QString&, const QDateTime&, const QDateTime&) { return false; }
