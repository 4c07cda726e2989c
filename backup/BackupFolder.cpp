#include "backup/BackupFolder.h"

#include "foundation/BackupTypeTexts.h"
#include "foundation/FileRoutines.h"
#include "foundation/IniFile.h"
#include "foundation/Logging.h"
#include "foundation/PathHelpers.h"
#include "foundation/SettingsKeys.h"
#include "platform/AppendFile.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileCopy.h"
#include "platform/SystemInfo.h"
#include "platform/TrustedLinks.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>

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
    const BackupTypeEntry* entry = FindBackupType(type);
    if (!entry) return {};
    const QDateTime now = when.isValid() ? when : platform::Now();
    const QDate today = now.date();
    QString folder;
    switch (entry->folder) {
    case BackupFolderRule::Destination: folder = base; break;
    case BackupFolderRule::Date: folder = base + today.toString(QStringLiteral("yyyyMMdd")) + '/'; break;
    case BackupFolderRule::DayName: folder = base + shortDayName(today) + '/'; break;
    case BackupFolderRule::WeekNumber: folder = base + "Week" + QString::number(WeekOfYear(today)) + '/'; break;
    case BackupFolderRule::MonthName: folder = base + shortMonthName(today) + '/'; break;
    case BackupFolderRule::YearMonth:
        folder = base + today.toString(QStringLiteral("yyyy")) + '-' + shortMonthName(today) + '/';
        break;
    case BackupFolderRule::YearQuarter:
        folder =
            base + today.toString(QStringLiteral("yyyy")) + "-Q" + QString::number((today.month() - 1) / 3 + 1) + '/';
        break;
    case BackupFolderRule::DateTime: folder = base + now.toString(QStringLiteral("yyyyMMdd_HHmm")) + '/'; break;
    }
    // A test destination is never created: the copy loop only pretends to copy there.
    if (create && !IsTestDestination(folder)) {
        platform::CopyRun made;
        OpenBackupFolder(base, folder, made);
    }
    return folder;
}

void OpenBackupFolder(const QString& base, const QString& folder, platform::CopyRun& run) {
    int error = 0;
    QString description;
    // Failures show when the folder is opened; the reason is the making's
    // when base could not be made. Missing levels are made only along a path
    // the run may follow (run as root, no link another user owns): a refused
    // one is reported when the folder is opened.
    QString resolved;
    const bool made = platform::ResolveTrustedPath(base, true, resolved, nullptr) &&
                      MakeFolderWithReason(resolved, error, description);
    QString level = folder.startsWith(base) ? folder.mid(base.size()) : QString();
    if (level.endsWith('/')) level.chop(1);
    if (!run.openBackupFolder(base, level, run.backupFolderError) && !made && error != 0) {
        run.backupFolderError = error;
        run.backupFolderReason = description;
    }
}

void LogUnwritableDestination(const QString& folder, const QString& reason) {
    const QString line = "Cant write to the destination folder " + folder + " - " + reason;
    WriteLog(line, 0);
    QString failedLog = platform::ProgramFolder() + QStringLiteral("/failed.log");
    WriteLogToFile(failedLog, line, 1, 0, QString());
}

QString BackupFolderReason(const platform::CopyRun& run) {
    // A refusal (a link another user owns, a folder another user made) has its own words.
    if (!run.backupFolderReason.isEmpty()) return run.backupFolderReason;
    return run.backupFolderError != 0 ? platform::WriteErrorText(run.backupFolderError)
                                      : QStringLiteral("the folder could not be opened");
}

QString BackupTypeName(int type) {
    const BackupTypeEntry* entry = FindBackupType(type);
    return entry ? QString::fromLatin1(entry->name) : QStringLiteral("Unknown Backup type");
}

QString KeepPathFolder(const QString& destination, const QString& source) {
    if (!source.contains('/')) {
        WriteLog("KeepPathFolder : '" + source + "' is not a path - copied into " + destination, 0);
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

namespace {
// The stored text as a date and time: the form the copy loop writes, also
// ISO forms and a date alone (at midnight).
QDateTime storedBackupTime(const QString& stored) {
    QDateTime when = QDateTime::fromString(stored, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!when.isValid()) when = QDateTime::fromString(stored, Qt::ISODate);
    if (!when.isValid()) when = QDateTime(QDate::fromString(stored, Qt::ISODate), QTime(0, 0));
    return when;
}
}  // namespace

QDateTime LastBackupTime() {
    const QDateTime when = storedBackupTime(ReadIni(IniFile, Section::General, Key::DateOfLastBackup));
    return when.isValid() ? when : platform::Now();
}

bool StoreLastBackupTime(const QDateTime& when) {
    const QString general = QString::fromLatin1(Section::General);
    return WriteIniValues(IniFile,
                          {{general, Key::DateOfLastBackup, when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))},
                           {general, Key::DateOfLastBackupUtcOffset, QString::number(when.offsetFromUtc())}});
}

namespace {
// The moment of a stored local time written in the zone of the stored
// offset; invalid when no offset is stored (a settings file from before it
// was), with a level-0 line when the value is no offset.
QDateTime storedBackupMoment(const QDateTime& local) {
    const QString stored = ReadIni(IniFile, Section::General, Key::DateOfLastBackupUtcOffset);
    if (stored.isEmpty()) return {};
    bool ok = false;
    const int offset = stored.toInt(&ok);
    // No zone lies further than 14 hours from UTC; 18 are what ISO 8601 allows.
    if (!ok || offset < -18 * 3600 || offset > 18 * 3600) {
        WriteLog("dateOfLastBackupUtcOffset '" + stored +
                     "' is no offset from UTC - the date of the last backup is "
                     "taken as local time",
                 0);
        return {};
    }
    const qint64 asIfUtc = QDateTime(local.date(), local.time(), Qt::UTC).toSecsSinceEpoch();
    return QDateTime::fromSecsSinceEpoch(asIfUtc - offset);
}
}  // namespace

QDateTime DateWindowStart(const QDateTime& now) {
    const QString stored = ReadIni(IniFile, Section::General, Key::DateOfLastBackup);
    const QDateTime fallback = now.addDays(-62);
    if (stored.isEmpty()) return fallback;
    QDateTime when = storedBackupTime(stored);
    if (!when.isValid()) {
        WriteLog("dateOfLastBackup '" + stored + "' is not a date - listing the last 62 days", 0);
        return fallback;
    }
    // A stored time that names its own offset is a moment already. Any other
    // was written in the last run's zone: where that lies east of this one,
    // read here it names a later moment than the run's, which then starts
    // the window. Read west of it, it names an earlier one, which only
    // widens the window.
    if (when.timeSpec() == Qt::LocalTime) {
        const QDateTime moment = storedBackupMoment(when);
        if (moment.isValid() && moment < when) when = moment;
    }
    // A clock that was once set wrong must not hide every change until it
    // catches up with the stored date.
    if (when > now) {
        WriteLog("dateOfLastBackup '" + stored + "' lies in the future - listing the last 62 days", 0);
        return fallback;
    }
    return when;
}
