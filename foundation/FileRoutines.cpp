#include "foundation/FileRoutines.h"

#include "foundation/Logging.h"
#include "foundation/PathHelpers.h"
#include "platform/AppendFile.h"
#include "platform/ByteText.h"
#include "platform/Dialogs.h"
#include "platform/FileStatus.h"
#include "platform/SystemInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <filesystem>
#include <system_error>

QString GetFileExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? QString() : path.mid(dot + 1);
}

qint64 GetFileLength(const QString& path) {
    const platform::FileStatus st = platform::GetFileStatus(path);
    return st.isFile ? st.size : -1;
}

QString FileDetailsLine(const QString& path, qint64 size, qint64 modifiedSecs) {
    return GetFileNameFromPath(path) + ',' + GetFolderFromPath(path) + ',' + QString::number(size) + ',' +
           platform::LocalSecondsText(modifiedSecs) + ',';
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
        line += platform::LocalSecondsText(st.modifiedSecs) + separator;
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

bool MakeFolderWithReason(const QString& folder, int& error, QString& description) {
    if (QFileInfo(folder).isDir()) return true;
    if (!QDir().mkdir(folder)) MakeFullPath(folder);
    if (QFileInfo(folder).isDir()) return true;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(platform::BytesFromText(folder).toStdString()), ec);
    if (QFileInfo(folder).isDir()) return true;
    error = ec ? ec.value() : ENOTDIR;
    description = ec ? QString::fromStdString(ec.message()) : QStringLiteral("Not a directory");
    return false;
}

bool AppendLineToFile(const QString& fileName, const QString& line, platform::NewFileOwner owner) {
    return platform::AppendToFile(fileName, platform::BytesFromText(line) + "\r\n", nullptr, owner);
}

bool CanWriteToFolder(QString& folder) {
    if (folder.trimmed().isEmpty()) return false;
    if (!folder.endsWith('/')) folder += '/';
    const QString testFile = folder + platform::ProgramName().remove(' ') + ".tmp";
    QFile::remove(testFile);
    static const QByteArray data =
        "this is a temp file to check the datapath   \r\n"
        "You can delete it to save space (wow - 100 bytes!)\r\n"
        "\r\n";
    platform::AppendFile f;
    const bool ok = f.open(testFile, true) && f.append(data);
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
