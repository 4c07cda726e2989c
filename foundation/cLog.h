#pragma once
// A logger object: appends timestamped lines to its own log file and, once
// initialised, echoes each line into a list control. Its line layout is its
// own: "yyyy-MM-dd, hh:mm:ss, <computer>, <user>, <details>".
//
// It fits the program-wide AppLog interface, so a program could hand one to
// the shared code; neither program does.
#include "foundation/ProgramValues.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class cLog : public AppLogger {
public:
    // The error the two error formatters describe.
    struct Error {
        qint32 number = 0;
        QString description;
    };

    // Appends one line to logFile. Once init has run, the line is also added
    // to the list control (a list box, combo box or list view) when one is set.
    // A line that cannot be written leaves a level-0 line in the program log.
    void log(const QString& details) override;
    // The same; the level and the three flags have no effect.
    void log(const QString& details, qint16 LogLevel, bool toListbox = false, bool toError = false,
             bool toTemp = false);
    // Do nothing.
    void logError(const QString& details, const Error& err, qint16 LogLevel, bool toListbox, bool toError, bool toTemp);
    void Clear(bool clearLog, bool clearError, bool clearTemp);

    // Prepares the logger. An empty logFile becomes the program log
    // (<program folder>/<program>.log), an empty errorFile
    // <program folder>/error.log, an empty TempFile <program folder>/temp.log;
    // the caller's variables receive them. Unless runSilent, the first line is
    // "Started Program" (written before the user and computer names are
    // looked up, so it carries them empty); then a rule of 54 "-".
    void init(QString& logFile, QString& errorFile, QString& TempFile, bool runSilent = false, qint16 LogLevel = 0);
    // init with every argument omitted.
    void init();

    QWidget* listBox() const { return m_listBox; }
    void setListBox(QWidget* list) { m_listBox = list; }
    void setlistBox(QWidget* lst) { m_listBox = lst; }

    qint16 LogLevel() const { return m_logLevel; }
    void setLogLevel(qint16 level) { m_logLevel = level; }
    // errorFile and TempFile are kept and given out; nothing writes to them.
    QString TempFile() const { return m_tempFile; }
    void setTempFile(const QString& file) { m_tempFile = file; }
    QString errorFile() const { return m_errorFile; }
    void setErrorFile(const QString& file) { m_errorFile = file; }
    QString logFile() const { return m_logFile; }
    void setLogFile(const QString& file) { m_logFile = file; }
    bool runSilent() const { return m_runSilent; }
    void setRunSilent(bool silent) { m_runSilent = silent; }
    Error err() const { return m_err; }
    void setErr(const Error& e) { m_err = e; }

    // The error described from err(), as one line:
    // "<program> error - <details> Err# <number> = <description>".
    QString errorLine(const QString& details) const;
    // The same as a report of several lines for a message box.
    QString errorReport(const QString& details) const;

private:
    QString logLine(const QString& details) const;

    Error m_err;
    bool m_runSilent = false;
    QString m_logFile;
    QString m_errorFile;
    QString m_tempFile;
    qint16 m_logLevel = 0;
    QPointer<QWidget> m_listBox;
    bool m_initialised = false;
    QString m_userName;
    QString m_computerName;
};
