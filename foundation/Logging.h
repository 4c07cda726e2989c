#pragma once
// The program log, named logs, the version text and the names that go into
// log lines.
#include <QString>

// Lines whose level is above this threshold are not written. Nothing changes it.
extern int LogThreshold;

// Appends "yyyymmdd,hh:mm:ss,<program>,<user>,<computer>,<text>" to the
// program log (<program folder>/<program>.log) when level <= LogThreshold.
// When the log cannot be written (also when a link or special file is in its
// place: every log is opened by platform::OpenForWriting), a "LOGGING ERROR "
// line goes to error.log.
void WriteLog(const QString& text, int level);

// While one of these lives (the copy loop holds one for its run), the program
// log stays open and WriteLog appends each line with one write, so the line is
// in the file when WriteLog returns, as it is without one. Before each line the
// log's name is checked: a log deleted, renamed or replaced meanwhile (by the
// log viewer or the settings program) is opened again under its name, so no
// line goes into a file that has left the program folder. They may nest.
class ProgramLogKeptOpen {
public:
    ProgramLogKeptOpen();
    ~ProgramLogKeptOpen();
    ProgramLogKeptOpen(const ProgramLogKeptOpen&) = delete;
    ProgramLogKeptOpen& operator=(const ProgramLogKeptOpen&) = delete;
};

// Appends one line to fileName in one of the layouts:
//   1: date,time,user,computer,text   2: date,time,text
//   77: date,time,who,text            any other: text alone
// An empty fileName means the program log, and the caller's variable receives its path.
void WriteLogToFile(QString& fileName, const QString& text, int layout, int level, const QString& who = {});

// The program log's full path.
QString ProgramLogPath();

// "v3.0   (build N)".
QString GetVersionString();

// Cached login and computer names.
QString GetLoginName();
QString GetMachineName();
// Forgets the cached names (tests that change them).
void ClearNameCache();
