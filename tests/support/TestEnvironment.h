#pragma once
// A temporary program folder with a fixed program name, clock and user names,
// and an end-of-program handler that records instead of ending the process.
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

class TestEnvironment {
public:
    explicit TestEnvironment(const QString& programName = QStringLiteral("corvex"));
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    // The program folder, without a trailing "/".
    QString folder() const { return m_dir.path(); }
    QString path(const QString& name) const { return m_dir.path() + '/' + name; }
    void setNow(const QDateTime& now);
    int endCalls() const { return m_endCalls; }
    // The exit status of the last end of the program; -1 before any.
    int endStatus() const { return m_endStatus; }
    // Writes the text as UTF-8, exactly as given.
    void writeFile(const QString& name, const QString& text) const;
    QString readFile(const QString& name) const;
    QStringList readLines(const QString& name) const;
    // The folder's settings file path.
    QString ini() const { return path(QStringLiteral("corvex.ini")); }

private:
    QTemporaryDir m_dir;
    QDateTime m_now;
    int m_endCalls = 0;
    int m_endStatus = -1;
};

// Removes path and everything below it, whatever bytes the names hold (a
// name that is not UTF-8 included), without following links.
void RemoveTree(const QString& path);

// Writes bytes to a file (any path), creating parent folders.
void WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);
