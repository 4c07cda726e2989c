#include "platform/SystemInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace platform {
namespace {
QString& folderOverride() {
    static QString s;
    return s;
}
QString& nameOverride() {
    static QString s;
    return s;
}
}  // namespace

QString ProgramFolder() {
    if (!folderOverride().isEmpty()) return folderOverride();
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void SetProgramFolder(const QString& folder) {
    QString f = folder;
    while (f.size() > 1 && f.endsWith('/')) f.chop(1);
    folderOverride() = f;
}

QString ProgramName() {
    if (!nameOverride().isEmpty()) return nameOverride();
    if (QCoreApplication::instance()) return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return QStringLiteral("corvex");
}

void SetProgramName(const QString& name) { nameOverride() = name; }

QString& loginOverride() {
    static QString s;
    return s;
}
QString& hostOverride() {
    static QString s;
    return s;
}

void SetLoginName(const QString& name) { loginOverride() = name; }
void SetHostName(const QString& name) { hostOverride() = name; }

QString LoginName() {
    if (!loginOverride().isEmpty()) return loginOverride();
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QString HostName() {
    if (!hostOverride().isEmpty()) return hostOverride();
    char buf[256] = {};
    if (gethostname(buf, sizeof buf - 1) != 0) return {};
    return QString::fromLocal8Bit(buf);
}

QString HomeFolder() {
    QString h = QDir::homePath();
    while (h.size() > 1 && h.endsWith('/')) h.chop(1);
    return h;
}

QString DocumentsFolder() {
    QString d = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (d.isEmpty()) d = HomeFolder() + "/Documents";
    while (d.size() > 1 && d.endsWith('/')) d.chop(1);
    return d;
}

QString UserRuntimeFolder() { return QStringLiteral("/run/user/%1").arg(::getuid()); }

}  // namespace platform
