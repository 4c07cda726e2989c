#pragma once
// A line-oriented text file: one object stands for one file name. It reports
// its own failures (program-log line, message box or a question), so callers
// need no error handling of their own. Lines are written with CR LF; reading
// accepts CR LF and LF. Destroying the object does not close an open file
// explicitly: callers close it.
#include <QFile>
#include <QString>
#include <memory>

class cFileIO {
public:
    // True when fname is a plain regular file (not a folder, not hidden, not a device).
    bool Exists() const;
    void init(const QString& FileName);
    // Waits, letting window events run, until the file can be opened for reading.
    bool waitUntilFileCanBeOpened(int maxSecs);
    // Mode word "APPEND", "OUTPUT" or "INPUT", in any case.
    void openFile(const QString& mode, bool ignoreError = false);
    void printLine(const QString& txt, bool silent = false);
    void appendLine(const QString& txt, bool silent = false);
    QString getLine();
    void closeFile();
    // Deletes the file; errors ignored.
    void Clear();
    void setFname(const QString& name) { m_fname = name; }
    QString fname() const { return m_fname; }
    bool moreData() const { return m_moreData; }
    bool isOpen() const { return m_open; }
    QString LoadFileToString(const QString& linefeedChar);

private:
    bool writeLine(const QString& txt);

    QString m_fname;
    std::unique_ptr<QFile> m_file;
    bool m_moreData = false;
    bool m_open = false;
};
