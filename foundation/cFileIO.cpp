#include "foundation/cFileIO.h"

#include "foundation/Logging.h"
#include "foundation/ProgramValues.h"
#include "platform/AppendFile.h"
#include "platform/ByteText.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "platform/Pointer.h"
#include "platform/Process.h"

#include <QFileInfo>
#include <QThread>

#include <unistd.h>

namespace {
QString errorText(const QFile& f) { return f.errorString(); }
}  // namespace

bool cFileIO::Exists() const {
    if (m_fname.isEmpty()) return false;
    const QFileInfo fi(m_fname);
    return fi.exists() && fi.isFile() && !fi.fileName().startsWith('.');
}

void cFileIO::init(const QString& FileName) { m_fname = FileName; }

void cFileIO::openFile(const QString& mode, bool ignoreError) {
    const QString word = mode.toUpper();
    QIODevice::OpenMode how;
    if (word == QLatin1String("APPEND")) {
        how = QIODevice::WriteOnly | QIODevice::Append;
    } else if (word == QLatin1String("OUTPUT")) {
        how = QIODevice::WriteOnly | QIODevice::Truncate;
    } else if (word == QLatin1String("INPUT")) {
        how = QIODevice::ReadOnly;
    } else {
        platform::MsgBox(QStringLiteral("Invalid method of opening file"));
        m_open = true;
        m_moreData = true;
        return;
    }
    auto file = std::make_unique<QFile>(m_fname);
    QString why;
    if (how & QIODevice::WriteOnly) {
        // Written files are opened never through a link and only when regular
        // (platform::OpenForWriting); the QFile takes over the descriptor.
        int error = 0;
        const int fd = platform::OpenForWriting(
            m_fname, (how & QIODevice::Truncate) ? platform::WriteOpen::Truncate : platform::WriteOpen::Append, error);
        if (fd < 0)
            why = platform::WriteErrorText(error);
        else if (!file->open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle)) {
            why = errorText(*file);
            ::close(fd);
        }
    } else if (QFileInfo(m_fname).isDir()) {
        // A folder opens for reading under Qt but holds no lines: treat it as a failed open.
        why = QStringLiteral("Is a directory");
    } else if (!file->open(how)) {
        why = errorText(*file);
    }
    if (!why.isEmpty()) {
        if (!ignoreError) WriteLog("cFileIO - An error occurred opening the file " + m_fname + "\r\nErr = " + why, 0);
        return;
    }
    m_file = std::move(file);
    m_open = true;
    m_moreData = true;
}

bool cFileIO::writeLine(const QString& txt) {
    if (!m_file || !m_file->isOpen() || !m_file->isWritable()) return false;
    const QByteArray data = platform::BytesFromText(txt) + "\r\n";
    const bool ok = m_file->write(data) == data.size() && m_file->flush();
    // A line that did not reach the file is an error even where no box may be
    // shown: the program log names the file.
    if (!ok)
        WriteLog("cFileIO - An error occurred writing to the file " + m_fname + "\r\nErr = " + m_file->errorString(),
                 0);
    return ok;
}

void cFileIO::printLine(const QString& txt, bool silent) {
    if (!writeLine(txt) && !silent) {
        const QString why = m_file ? m_file->errorString() : QStringLiteral("File not open");
        platform::MsgBox("An error occurred printing to file " + m_fname + "\r\nErr = " + why);
    }
}

void cFileIO::appendLine(const QString& txt, bool silent) {
    if (m_open) {
        printLine(txt, silent);
        return;
    }
    openFile(QStringLiteral("APPEND"), false);
    if (!writeLine(txt)) {
        if (!silent) {
            const QString why = m_file ? m_file->errorString() : QStringLiteral("Bad file name or number");
            platform::MsgBox("An error occurred appending to file " + m_fname + "\r\nErr = " + why);
        }
        return;
    }
    closeFile();
}

QString cFileIO::getLine() {
    for (;;) {
        if (!m_file || !m_file->isOpen() || !m_file->isReadable()) {
            // Reading a file that is not open for input is a read error.
            const platform::Answer a = platform::MsgBox(
                "An error occurred reading from the file " + m_fname + "\r\nErr = Bad file mode" + "Click OK to resume",
                platform::Buttons::AbortRetryIgnore, platform::Icon::None, QStringLiteral("Error reading from File"));
            if (a == platform::Answer::Abort) {
                platform::EndProgram();
                return {};
            }
            if (a == platform::Answer::Retry) continue;
            return {};
        }
        if (m_file->atEnd()) {
            m_moreData = false;
            return {};
        }
        QByteArray line = m_file->readLine();
        if (line.endsWith('\n')) line.chop(1);
        if (line.endsWith('\r')) line.chop(1);
        return platform::TextFromBytes(line);
    }
}

void cFileIO::closeFile() {
    if (m_open) {
        if (m_file) m_file->close();
        m_file.reset();
    }
    m_open = false;
}

void cFileIO::Clear() {
    if (!m_fname.isEmpty()) QFile::remove(m_fname);
}

QString cFileIO::LoadFileToString(const QString& linefeedChar) {
    closeFile();
    openFile(QStringLiteral("INPUT"), false);
    QString result;
    while (m_moreData) result += getLine() + linefeedChar;
    return result;
}

bool cFileIO::waitUntilFileCanBeOpened(int maxSecs) {
    // The deadline is a full date and time, so a wait across midnight ends on time.
    const QDateTime deadline = platform::Now().addSecs(maxSecs);
    if (m_file) m_file->close();
    platform::SetPointer(platform::Pointer::Hourglass);
    int attempts = 0;
    QFile probe(m_fname);
    while (QFileInfo(m_fname).isDir() || !probe.open(QIODevice::ReadOnly)) {
        if (platform::Now() >= deadline) {
            LogToAppLog("FAIL - waitUntilFileCanOpened Timed out waiting for file to be opened after  " +
                        QString::number(attempts) + " attempts for file " + m_fname);
            platform::SetPointer(platform::Pointer::Default);
            return false;
        }
        platform::YieldToWindows();
        QThread::msleep(50);  // a locked file rarely frees itself within microseconds
        ++attempts;
    }
    LogToAppLog("SUCCESS - waitUntilFileCanOpened took  " + QString::number(attempts) + " attempts for " + m_fname);
    probe.close();
    platform::SetPointer(platform::Pointer::Default);
    return true;
}
