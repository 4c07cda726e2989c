#include "foundation/cLog.h"

#include "foundation/FileRoutines.h"
#include "foundation/ListFiles.h"
#include "foundation/Logging.h"
#include "platform/Clock.h"
#include "platform/SystemInfo.h"

namespace {
const QString kRule = QString(54, u'-');
}

QString cLog::logLine(const QString& details) const {
    return platform::Now().toString(QStringLiteral("yyyy-MM-dd, HH:mm:ss")) + ", " + m_computerName + ", " +
           m_userName + ", " + details;
}

void cLog::log(const QString& details) {
    const QString line = logLine(details);
    if (!AppendLineToFile(m_logFile, line))
        WriteLog("cLog : cant write to the log file " + m_logFile + " - " + details, 0);
    if (m_initialised && m_listBox) AddListRow(m_listBox, line);
}

void cLog::log(const QString& details, qint16, bool, bool, bool) { log(details); }

void cLog::logError(const QString&, const Error&, qint16, bool, bool, bool) {}

void cLog::Clear(bool, bool, bool) {}

void cLog::init(QString& logFile, QString& errorFile, QString& TempFile, bool runSilent, qint16 LogLevel) {
    const QString folder = platform::ProgramFolder();
    if (logFile.isEmpty()) logFile = ProgramLogPath();
    if (errorFile.isEmpty()) errorFile = folder + "/error.log";
    if (TempFile.isEmpty()) TempFile = folder + "/temp.log";
    m_logFile = logFile;
    m_errorFile = errorFile;
    m_tempFile = TempFile;
    m_runSilent = runSilent;
    m_logLevel = LogLevel;
    if (!runSilent) log(QStringLiteral("Started Program"));
    m_userName = GetLoginName();
    m_computerName = GetMachineName();
    log(kRule);
    m_initialised = true;
}

void cLog::init() {
    QString logFile, errorFile, tempFile;
    init(logFile, errorFile, tempFile);
}

QString cLog::errorLine(const QString& details) const {
    return platform::ProgramName() + " error - " + details + " Err# " + QString::number(m_err.number) + " = " +
           m_err.description;
}

QString cLog::errorReport(const QString& details) const {
    return "An error has occurred in the application " + platform::ProgramName() + "\r\n" + details +
           "\r\n\r\nThe error code is " + QString::number(m_err.number) + " with description \r\n" + m_err.description +
           "\r\n";
}
