#include "foundation/Logging.h"

#include "platform/AppendFile.h"
#include "platform/ByteText.h"
#include "platform/Clock.h"
#include "platform/SystemInfo.h"

#include <QLocale>

#include <cstdio>

int LogThreshold = 0;

namespace {
QString cachedUser;
QString cachedMachine;

// "yyyyMMdd,hh:mm:ss" of the current time.
QString dateAndTime() {
    const platform::ClockFields now = platform::NowFields();
    char text[48];
    const int n = std::snprintf(text, sizeof text, "%04d%02d%02d,%02d:%02d:%02d", now.year, now.month, now.day,
                                now.hour, now.minute, now.second);
    return QString::fromLatin1(text, n);
}

// The program log held open while ProgramLogKeptOpen objects live.
int keptOpenDepth = 0;
platform::AppendFile& keptOpenLog() {
    static platform::AppendFile file;
    return file;
}

// Appends the line to the program log kept open.
bool appendToKeptOpenLog(const QString& fileName, const QByteArray& data) {
    platform::AppendFile& log = keptOpenLog();
    if (!log.isOpen() || log.path() != fileName || !log.stillAtPath()) {
        if (!log.open(fileName)) return false;
    }
    return log.append(data);
}

// The fallback lines use the system's short date and its time form.
QString localDateTime(const QDateTime& now) {
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t')).replace(QStringLiteral("  "), QStringLiteral(" "));
    return locale.toString(now.date(), QLocale::ShortFormat) + ' ' + now.time().toString(timeFormat.trimmed());
}

// The log writes its own lines: the file routines log their failures through it.
bool appendLine(const QString& fileName, const QString& line) {
    const QByteArray data = platform::BytesFromText(line) + "\r\n";
    if (keptOpenDepth > 0 && fileName == ProgramLogPath()) return appendToKeptOpenLog(fileName, data);
    return platform::AppendToFile(fileName, data);
}

void writeFallback(const QString& prefix, const QString& text) {
    const QString line = prefix + localDateTime(platform::Now()) + " - text = " + text;
    appendLine(platform::ProgramFolder() + "/error.log", line);
}
}  // namespace

ProgramLogKeptOpen::ProgramLogKeptOpen() { ++keptOpenDepth; }

ProgramLogKeptOpen::~ProgramLogKeptOpen() {
    if (--keptOpenDepth == 0) keptOpenLog().close();
}

QString ProgramLogPath() { return platform::ProgramFolder() + '/' + platform::ProgramName() + ".log"; }

void WriteLog(const QString& text, int level) {
    const QString path = ProgramLogPath();
    const QString user = GetLoginName();
    const QString machine = GetMachineName();
    if (LogThreshold < level) return;
    const QString line = dateAndTime() + ',' + platform::ProgramName() + ',' + user + ',' + machine + ',' + text;
    if (!appendLine(path, line)) writeFallback(QStringLiteral("LOGGING ERROR "), text);
}

void WriteLogToFile(QString& fileName, const QString& text, int layout, int level, const QString& who) {
    if (LogThreshold < level) return;
    if (fileName.isEmpty()) fileName = ProgramLogPath();
    QString line;
    switch (layout) {
    case 1: line = dateAndTime() + ',' + GetLoginName() + ',' + GetMachineName() + ',' + text; break;
    case 2: line = dateAndTime() + ',' + text; break;
    case 77: line = dateAndTime() + ',' + who + ',' + text; break;
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
