#include "support/TestEnvironment.h"

#include "platform/Clock.h"
#include "platform/Process.h"
#include "platform/SystemInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

TestEnvironment::TestEnvironment(const QString& programName) {
    platform::SetProgramFolder(m_dir.path());
    platform::SetProgramName(programName);
    platform::SetEndProgramHandler([this](int status) {
        ++m_endCalls;
        m_endStatus = status;
    });
}

TestEnvironment::~TestEnvironment() {
    // Removed by bytes: QTemporaryDir leaves names that are not UTF-8 behind.
    RemoveTree(m_dir.path());
    platform::SetProgramFolder({});
    platform::SetProgramName({});
    platform::SetEndProgramHandler({});
    platform::SetClock({});
}

void TestEnvironment::setNow(const QDateTime& now) {
    m_now = now;
    platform::SetClock([this] { return m_now; });
}

void TestEnvironment::writeFile(const QString& name, const QString& text) const {
    WriteBytes(path(name), text.toUtf8());
}

QString TestEnvironment::readFile(const QString& name) const { return QString::fromUtf8(ReadBytes(path(name))); }

QStringList TestEnvironment::readLines(const QString& name) const {
    QString text = readFile(name);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

void RemoveTree(const QString& path) {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(path).toStdString()), ignored);
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
