#include "foundation/Logging.h"

#include "platform/ByteText.h"
#include "platform/Clock.h"
#include "platform/SystemInfo.h"

#include <QFile>
#include <QLocale>

int LogThreshold = 0;

namespace {
QString cachedUser;
QString cachedMachine;

QString dateField(const QDateTime& now) { return now.toString(QStringLiteral("yyyyMMdd")); }
QString timeField(const QDateTime& now) { return now.toString(QStringLiteral("HH:mm:ss")); }

// The fallback lines use the system's short date and its time form.
QString localDateTime(const QDateTime& now) {
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t')).replace(QStringLiteral("  "), QStringLiteral(" "));
    return locale.toString(now.date(), QLocale::ShortFormat) + ' ' + now.time().toString(timeFormat.trimmed());
}

// The log writes its own lines: the file routines log their failures through it.
bool appendLine(const QString& fileName, const QString& line) {
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const QByteArray data = platform::BytesFromText(line) + "\r\n";
    const bool ok = f.write(data) == data.size();
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

void writeFallback(const QString& prefix, const QString& text) {
    const QString line = prefix + localDateTime(platform::Now()) + " - text = " + text;
    appendLine(platform::ProgramFolder() + "/error.log", line);
}
}  // namespace

QString ProgramLogPath() { return platform::ProgramFolder() + '/' + platform::ProgramName() + ".log"; }

void WriteLog(const QString& text, int level) {
    const QString path = ProgramLogPath();
    const QString user = GetLoginName();
    const QString machine = GetMachineName();
    if (LogThreshold < level) return;
    const QDateTime now = platform::Now();
    const QString line =
        dateField(now) + ',' + timeField(now) + ',' + platform::ProgramName() + ',' + user + ',' + machine + ',' + text;
    if (!appendLine(path, line)) writeFallback(QStringLiteral("LOGGING ERROR "), text);
}

void WriteLogToFile(QString& fileName, const QString& text, int layout, int level, const QString& who) {
    if (LogThreshold < level) return;
    if (fileName.isEmpty()) fileName = ProgramLogPath();
    const QDateTime now = platform::Now();
    QString line;
    switch (layout) {
    case 1:
        line = dateField(now) + ',' + timeField(now) + ',' + GetLoginName() + ',' + GetMachineName() + ',' + text;
        break;
    case 2: line = dateField(now) + ',' + timeField(now) + ',' + text; break;
    case 77: line = dateField(now) + ',' + timeField(now) + ',' + who + ',' + text; break;
    default: line = text; break;
    }
    if (!appendLine(fileName, line)) writeFallback(QStringLiteral("PIM LOGGING ERROR "), text);
}

QString GetVersionString() {
    return QStringLiteral("v%1.%2   (build %3)")
        .arg(CORVEX_VERSION_MAJOR)
        .arg(CORVEX_VERSION_MINOR)
        .arg(CORVEX_VERSION_BUILD);
}

QString GetLoginName() {
    if (cachedUser.isEmpty()) cachedUser = platform::LoginName();
    return cachedUser;
}

QString GetMachineName() {
    if (cachedMachine.isEmpty()) cachedMachine = platform::HostName();
    return cachedMachine;
}

void ClearNameCache() {
    cachedUser.clear();
    cachedMachine.clear();
}
