#include "backup/BackupFolder.h"

#include "foundation/FileRoutines.h"
#include "foundation/IniFile.h"
#include "foundation/Logging.h"
#include "foundation/PathHelpers.h"
#include "foundation/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileStatus.h"

#include <QLocale>
#include <QStringList>

#include <cerrno>

namespace {

// A name from the system's language must not add folder levels.
QString folderSafe(QString name) {
    name.replace('/', '-');
    return name.trimmed();
}

QString shortDayName(const QDate& date) {
    return folderSafe(QLocale::system().dayName(date.dayOfWeek(), QLocale::ShortFormat));
}

QString shortMonthName(const QDate& date) {
    return folderSafe(QLocale::system().monthName(date.month(), QLocale::ShortFormat));
}

void reportFolderFailure(const QString& folder, int error, const QString& description) {
    const QString number = QString::number(error);
    WriteLog("Cant create backup directory " + folder + " - error #" + number + " = " + description, 0);
    platform::MsgBox("Cant create backup directory " + folder + "\r\nError #" + number + " = " + description,
                     platform::Buttons::OK, platform::Icon::Critical, QStringLiteral("Cant create Backup folder"));
}

}  // namespace

bool IsTestDestination(const QString& destination) {
    return destination.left(9).toLower() == QLatin1String("/dev/null");
}

int WeekOfYear(const QDate& date) {
    const QDate first(date.year(), 1, 1);
    const int firstWeekday = first.dayOfWeek() % 7;  // Sunday 0 .. Saturday 6
    return (date.dayOfYear() - 1 + firstWeekday) / 7 + 1;
}

QString MakeBackupFolderName(QString& base, int type, bool create, const QDateTime& when) {
    if (!base.endsWith('/')) base += '/';
    const QDateTime now = when.isValid() ? when : platform::Now();
    const QDate today = now.date();
    QString folder;
    switch (type) {
    case 0: folder = base; break;
    case 1: folder = base + today.toString(QStringLiteral("yyyyMMdd")) + '/'; break;
    case 2: folder = base + shortDayName(today) + '/'; break;
    case 3: folder = base + "Week" + QString::number(WeekOfYear(today)) + '/'; break;
    case 4: folder = base + shortMonthName(today) + '/'; break;
    case 5: folder = base + today.toString(QStringLiteral("yyyy")) + '-' + shortMonthName(today) + '/'; break;
    case 6:
        folder =
            base + today.toString(QStringLiteral("yyyy")) + "-Q" + QString::number((today.month() - 1) / 3 + 1) + '/';
        break;
    case 7: folder = base + now.toString(QStringLiteral("yyyyMMdd_HHmm")) + '/'; break;
    default: return {};
    }
    // A test destination is never created: the copy loop only pretends to copy there.
    if (create && !IsTestDestination(folder)) {
        int error = 0;
        QString description;
        // The dated folder lies inside the destination: a link in its place
        // would take the copies out of it.
        if (type != 0 && platform::IsSymbolicLink(folder.chopped(1))) {
            reportFolderFailure(folder, ELOOP, QStringLiteral("A symbolic link stands in its place"));
            return {};
        }
        if (!MakeFolderWithReason(folder, error, description)) {
            reportFolderFailure(folder, error, description);
            return {};
        }
    }
    return folder;
}

QString BackupTypeName(int type) {
    switch (type) {
    case 0: return QStringLiteral("All Files into the above directory");
    case 1: return QStringLiteral("todays date as appended");
    case 2: return QStringLiteral("cyclic daily backup");
    case 3: return QStringLiteral("cyclic weekly backup");
    case 4: return QStringLiteral("cyclic monthly backup");
    case 5: return QStringLiteral("year and month backup");
    case 6: return QStringLiteral("year and Quarter");
    case 7: return QStringLiteral("todays date and time as appended");
    default: return QStringLiteral("Unknown Backup type");
    }
}

QString KeepPathFolder(const QString& destination, const QString& source) {
    if (!source.contains('/')) {
        platform::MsgBox(QStringLiteral("Not a path"));
        return destination;
    }
    // The source's folder without its leading separators, so "/home/anna/" and
    // "//server/share/" both become levels below the destination. "." and ".."
    // levels are resolved so that a copy never lands outside the destination.
    QStringList levels;
    for (const QString& level : GetFolderFromPath(source).split('/', Qt::SkipEmptyParts)) {
        if (level == QLatin1String(".")) continue;
        if (level == QLatin1String("..")) {
            if (!levels.isEmpty()) levels.removeLast();
            continue;
        }
        levels.append(level);
    }
    QString result = destination;
    if (!result.endsWith('/')) result += '/';
    for (const QString& level : levels) result += level + '/';
    return result;
}

QDateTime LastBackupTime() {
    const QString stored = ReadIni(IniFile, Section::General, Key::DateOfLastBackup);
    const QDateTime when = QDateTime::fromString(stored, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return when.isValid() ? when : platform::Now();
}
