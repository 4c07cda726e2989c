#include "foundation/clsFileProp.h"

#include "foundation/NumberText.h"
#include "platform/Dialogs.h"
#include "platform/FileDetails.h"
#include "platform/FileVersionInfo.h"

#include <QLocale>
#include <QMimeDatabase>
#include <QStringList>

namespace {

// "2003-7-4 at 9:5:3": plain numbers without leading zeros.
QString timeText(const QDateTime& t) {
    const QDate d = t.date();
    const QTime h = t.time();
    return QStringLiteral("%1-%2-%3 at %4:%5:%6")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(h.hour())
        .arg(h.minute())
        .arg(h.second());
}

void takeTime(const QDateTime& t, QDate& date, QTime& time, QString& text) {
    if (!t.isValid()) return;
    date = t.date();
    time = QTime(t.time().hour(), t.time().minute(), t.time().second());
    text = timeText(t);
}

// The value that follows key in the version block: at the key's position plus
// its length and NUL rounded up to 4, up to the next NUL. A key that is not
// there, or a value without its NUL, leaves field as it is.
void takeVersionString(const QByteArray& block, const char* key, int offset, QString& field) {
    const qsizetype p = block.indexOf(key);
    if (p < 0) return;
    const qsizetype start = p + offset;
    if (start > block.size()) return;
    const qsizetype end = block.indexOf('\0', start);
    if (end < 0) return;
    field = QString::fromUtf8(block.constData() + start, end - start);
}

// Icon names get their numbers in the order they are first met, once per process.
int iconIndexOf(const QString& iconName) {
    static QStringList names;
    qsizetype i = names.indexOf(iconName);
    if (i < 0) {
        names.append(iconName);
        i = names.size() - 1;
    }
    return int(i);
}

// The name's last level: a folder given with its trailing "/" counts by its own name.
QString lastLevel(const QString& path) {
    QString p = path;
    while (p.size() > 1 && p.endsWith('/')) p.chop(1);
    return p.mid(p.lastIndexOf('/') + 1);
}

QString yesNo(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

QString reportDate(const QDate& date) {
    return date.isValid() ? QLocale::system().toString(date, QStringLiteral("dd-MMM-yyyy (ddd)")) : QString();
}

QString clockTime(const QTime& time) { return time.isValid() ? time.toString(QStringLiteral("HH:mm:ss")) : QString(); }

QString isoDate(const QDate& date) { return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString(); }

}  // namespace

int clsFileProp::FindFileInfo(const QString& strFilename, bool bLargeIcon) {
    Q_UNUSED(bLargeIcon);  // one icon name serves every size here
    if (strFilename.isEmpty()) return 0;
    const platform::FileDetails details = platform::GetFileDetails(strFilename);
    if (!details.opened) {
        platform::MsgBox(QStringLiteral("Can't open the file"), platform::Buttons::OK, platform::Icon::Exclamation);
        return 0;
    }
    if (details.timesRead) {
        takeTime(details.created, m_CreationDate, m_CreationTimeOfDay, m_CreationTime);
        takeTime(details.accessed, m_AccessDate, m_AccessTimeOfDay, m_LastAccessTime);
        takeTime(details.modified, m_WriteDate, m_WriteTimeOfDay, m_LastWriteTime);
    }

    // Attributes as this system has them: no archive or temporary marks.
    m_ReadOnly = !details.ownerCanWrite;
    m_Hidden = lastLevel(strFilename).startsWith('.');
    m_System = !details.isFile && !details.isFolder;
    m_Directory = details.isFolder;
    m_Archive = false;
    m_Temporary = false;
    m_Compress = details.compressed;
    m_Normal = !(m_ReadOnly || m_Hidden || m_System || m_Directory || m_Compress);

    m_FileName = strFilename.toUpper();
    m_ByteSize = GroupedNumber(details.size, true) + " bytes";

    // Only regular files are read: a FIFO would wait for a writer.
    const QByteArray block = details.isFile ? platform::GetFileVersionInfo(strFilename) : QByteArray();
    if (!block.isEmpty()) {
        takeVersionString(block, "CompanyName", 12, m_CompanyName);
        takeVersionString(block, "FileDescription", 16, m_FileDescription);
        takeVersionString(block, "FileVersion", 12, m_FileVersion);
        takeVersionString(block, "InternalName", 16, m_InternalName);
        takeVersionString(block, "LegalCopyright", 16, m_LegalCopyright);
        takeVersionString(block, "OriginalFilename", 20, m_OriginalFileName);
        takeVersionString(block, "ProductName", 12, m_ProductName);
        takeVersionString(block, "ProductVersion", 16, m_ProductVersion);
    }

    static const QMimeDatabase mimeTypes;
    const QMimeType type = mimeTypes.mimeTypeForFile(
        strFilename, details.isFile ? QMimeDatabase::MatchDefault : QMimeDatabase::MatchExtension);
    m_FileType = type.comment();
    m_IconIndex = iconIndexOf(type.iconName());
    return 0;
}

QString clsFileProp::GetDateCreated() const {
    if (!m_CreationDate.isValid()) return {};
    return isoDate(m_CreationDate) + ' ' + clockTime(m_CreationTimeOfDay);
}

QString clsFileProp::GetDateModified() const {
    if (!m_WriteDate.isValid()) return {};
    return isoDate(m_WriteDate) + ' ' + clockTime(m_WriteTimeOfDay);
}

QString clsFileProp::GetDateAccessed() const { return isoDate(m_AccessDate); }

QString clsFileProp::GetAllFileInfo() const {
    const QString crlf = QStringLiteral("\r\n");
    QString r;
    r += "File Created on = " + reportDate(m_CreationDate) + " at " + clockTime(m_CreationTimeOfDay) + "  " +
         "Last Written on = " + reportDate(m_WriteDate) + " at " + clockTime(m_WriteTimeOfDay) + "  " +
         "Last Accessed on= " + reportDate(m_AccessDate) + crlf;
    r += "OriginalFileName= " + m_OriginalFileName + crlf;
    r += "ProductName     = " + m_ProductName + crlf;
    r += "FileVersion     = " + m_FileVersion + crlf;
    r += "Temporary       = " + yesNo(m_Temporary) + crlf;
    r += "IconIndex       = " + QString::number(m_IconIndex) + crlf;
    r += crlf;
    r += "Normal          = " + yesNo(m_Normal) + crlf;
    r += "Archive         = " + yesNo(m_Archive) + crlf;
    r += "ReadOnly        = " + yesNo(m_ReadOnly) + crlf;
    r += "System          = " + yesNo(m_System) + crlf;
    r += "Hidden          = " + yesNo(m_Hidden) + crlf;
    r += "Compress        = " + yesNo(m_Compress) + crlf;
    return r;
}
