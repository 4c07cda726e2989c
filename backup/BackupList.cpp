#include "backup/BackupList.h"

#include "backup/BackupFolder.h"
#include "backup/PlannerRecords.h"
#include "backup/RunLock.h"
#include "backup/StatusControls.h"
#include "foundation/ChangedFileScan.h"
#include "foundation/FileListModel.h"
#include "foundation/FileRoutines.h"
#include "foundation/IniFile.h"
#include "foundation/ListFiles.h"
#include "foundation/Logging.h"
#include "foundation/NumberText.h"
#include "foundation/PathHelpers.h"
#include "foundation/SettingsKeys.h"
#include "platform/AppendFile.h"
#include "platform/ByteText.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "platform/FileCopy.h"
#include "platform/FileStatus.h"
#include "platform/SystemInfo.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QProgressBar>
#include <QSet>
#include <cerrno>
#include <vector>

namespace {

// What the scan lists and the loop copies: a regular file, or a symbolic link
// as itself (a link whose target is gone is still backed up as a link).
bool isBackedUpKind(const QString& path) {
    const platform::FileStatus entry = platform::GetEntryStatus(path);
    return entry.isFile || entry.isLink;
}

// Where a file waiting for a retry stands, told from the folder-list entry
// that holds it (ListedFolderOf): there to be copied; away while that listed
// folder is missing or cannot be read, or a folder below it cannot be (it
// waits); gone when the listed folder can be read and the file is no longer
// below it, whatever folders between them are missing, or something else is
// in its place; unlisted when no entry holds it any more (its folder was
// taken off the list), so no run would list it again.
enum class Waiting { There, Away, Gone, Unlisted };
Waiting waitingFile(const QString& path, const QString& listedFolder) {
    if (listedFolder.isEmpty()) return Waiting::Unlisted;
    switch (platform::GetPathPresenceBelow(listedFolder, path)) {
    case platform::PathPresence::There: return isBackedUpKind(path) ? Waiting::There : Waiting::Gone;
    case platform::PathPresence::Gone: return Waiting::Gone;
    case platform::PathPresence::Unreachable: return Waiting::Away;
    }
    return Waiting::Away;
}

QString programFile(const QString& name) { return platform::ProgramFolder() + '/' + name; }

void appendLog(const QString& name, const QString& text) {
    QString file = programFile(name);
    WriteLogToFile(file, text, 1, 0, QString());
}

// A list of the run, open for the whole loop. Each line goes to the file with
// one write, so that a run that is killed leaves the files it handled listed.
// The first line that cannot be written is logged.
class ListFile {
public:
    // Empties (or creates) the file now.
    bool open(const QString& path) {
        m_path = path;
        return m_file.open(path, true);
    }
    // Makes the file name afresh in the open folder (path names it).
    bool openNew(int folder, const QString& name, const QString& path) {
        m_path = path;
        return m_file.openNew(folder, name, path);
    }
    // The file is created with its first line (a run without any leaves none).
    void openAtFirstLine(const QString& path) { m_path = path; }
    void writeLine(const QString& line) {
        const QByteArray data = platform::BytesFromText(line) + "\r\n";
        if ((m_file.isOpen() || m_file.open(m_path)) && m_file.append(data)) return;
        if (m_failed) return;
        m_failed = true;
        WriteLog("Cant write to " + m_path + " - " + m_file.errorString(), 0);
    }
    void close() { m_file.close(); }
    // Why the file could not be opened or written.
    QString errorString() const { return m_file.errorString(); }

private:
    platform::AppendFile m_file;
    QString m_path;
    bool m_failed = false;
};

// The names of the lists the run writes into the backup folder's root.
bool isRunListName(const QString& name) {
    return name == QLatin1String("_files.txt") || name == QLatin1String("_fileDetails.txt");
}

// The files waiting for a retry (failed.txt): the list the run found, less
// what it copied and what no longer waits, and what failed in it. Written
// whole at the run's end.
class RetryList {
public:
    explicit RetryList(const QStringList& listedEntries) : m_entries(listedEntries) {}
    void load(const QString& path) {
        // A list that cannot be read must not be replaced by this run's
        // failures alone: the files it names would never be tried again.
        m_readable = ReadListFile(path, m_earlier) != ListFileLoad::Unreadable;
        if (!m_readable) WriteLog("Cant read " + path + " - the files it lists stay there for a retry", 0);
    }
    void addCopied(const QString& path) { m_copied.insert(path); }
    void addFailure(const QString& path) {
        ++m_failures;
        m_failed.append(path);
    }
    qint64 failures() const { return m_failures; }

    // Replaces the file, or removes it when nothing waits; false (and a
    // level-0 line) when that fails.
    bool save(const QString& path) {
        if (!m_readable) return false;
        QStringList lines;
        QSet<QString> listed;
        for (const QString& earlier : m_earlier) {
            if (m_copied.contains(earlier) || listed.contains(earlier)) continue;
            // Only a file gone from a listed folder that can be read, or one
            // no listed folder holds, has nothing left to back up; one whose
            // listed folder is away this run waits.
            switch (waitingFile(earlier, ListedFolderOf(earlier, m_entries))) {
            case Waiting::Gone: WriteLog(earlier + " no longer exists - no longer tried again", 1); continue;
            case Waiting::Unlisted:
                WriteLog(earlier + " is no longer below a listed folder - no longer tried again", 1);
                continue;
            case Waiting::There:
            case Waiting::Away: break;
            }
            listed.insert(earlier);
            lines.append(earlier);
        }
        for (const QString& failed : m_failed) {
            if (listed.contains(failed)) continue;
            // failed.txt holds one name a line.
            if (failed.contains(u'\n') || failed.contains(u'\r')) {
                WriteLog("Cant list '" + visibleBreaks(failed) + "' in " + path +
                             " for a retry - its name holds a line break",
                         0);
                continue;
            }
            listed.insert(failed);
            lines.append(failed);
        }
        QString why;
        if (lines.isEmpty()) {
            if (!QFile::exists(path) && !platform::IsSymbolicLink(path)) return true;
            QFile file(path);
            if (file.remove()) return true;
            why = file.errorString();
        } else if (WriteListFile(path, lines, &why)) {
            return true;
        }
        WriteLog("Cant write " + path + " - " + why, 0);
        return false;
    }

private:
    // A line break in a log line is shown as \n or \r.
    static QString visibleBreaks(QString text) {
        text.replace(u'\n', QStringLiteral("\\n"));
        text.replace(u'\r', QStringLiteral("\\r"));
        return text;
    }
    QStringList m_entries;
    QStringList m_earlier;
    QStringList m_failed;
    QSet<QString> m_copied;
    qint64 m_failures = 0;
    bool m_readable = true;
};

// The caption of a run that met errors: failed copies alone are in FAILED.TXT;
// folders and lists that could not be read are in the program log.
QString errorCaption(qint64 failedCopies, qint64 errors) {
    if (errors == failedCopies)
        return "ERROR - " + QString::number(failedCopies) + " files could not be copied - see FAILED.TXT";
    return "Done with " + QString::number(errors) + " errors - see " + platform::ProgramName() + ".log" +
           (failedCopies > 0 ? QStringLiteral(" and FAILED.TXT") : QString());
}

}  // namespace

BackupOutcome BackupList(const FileListModel* rows, QString& destination, const StatusControls* status, int keep,
                         int earlierErrors, const QDateTime& namedAt, platform::CopyRun* run, const ScanReport& scan,
                         bool storeDate, const QStringList& listedEntries) {
    // Start. Another run from this program folder would mix its lists with ours;
    // the refusal is counted in RunErrors by the lock.
    RunLock lock;
    if (!lock.take(status != nullptr)) return {false, earlierErrors};
    // The program log stays open for the run: a line for every file.
    ProgramLogKeptOpen logKeptOpen;
    // The moment the list was made is the next date window's start.
    const QDateTime startedAt = namedAt.isValid() ? namedAt : platform::Now();
    const QString copiedPath = programFile(QStringLiteral("copied.txt"));
    const QString failedPath = programFile(QStringLiteral("failed.txt"));
    QFile::remove(copiedPath);
    ListFile copiedList;
    copiedList.openAtFirstLine(copiedPath);

    bool ignoring = ReadIni(IniFile, Section::General, Key::IgnoreFailedFileCopies) == QLatin1String("1");
    const bool recording = ReadIni(IniFile, Section::General, Key::RecordToPlandel).trimmed() == QLatin1String("1");
    if (recording) {
        QString settings = IniFile;
        LoadPlandelSettings(settings);
    }
    if (!destination.endsWith('/')) destination += '/';
    const bool testMode = IsTestDestination(destination);

    const bool hasStatus = status != nullptr;
    QLabel* lblFile = hasStatus ? status->lblFile : nullptr;
    QProgressBar* progressTotal = hasStatus ? status->ProgressBarTotal : nullptr;
    qint64 count = 0;
    qint64 bytes = 0;
    qint64 errors = 0;

    // Every copy and list reaches the backup folder through the descriptor
    // the run holds, never by its path again.
    platform::CopyRun ownRun;
    platform::CopyRun& copyRun = run ? *run : ownRun;
    if (!testMode && !copyRun.backupFolderTried)
        copyRun.openBackupFolder(destination, QString(), copyRun.backupFolderError);
    // Folders made for kept paths follow the source folders they stand for,
    // so a private folder stays private in the backup.
    copyRun.mirrorSourceFolders = keep == 1;

    // A test run lists nothing in the backup folder: its list lines are discarded.
    ListFile filesList;
    ListFile detailsList;
    // Why the backup folder or a list in it cannot be written; "" once both are open.
    QString unwritable;
    const auto openList = [&](ListFile& list, const QString& name) {
        if (!unwritable.isEmpty()) return;
        if (testMode ? list.open(QStringLiteral("/dev/null"))
                     : list.openNew(copyRun.backupFolder, name, destination + name))
            return;
        unwritable = name + ": " + list.errorString();
    };
    if (!testMode && copyRun.backupFolder < 0) unwritable = BackupFolderReason(copyRun);
    openList(filesList, QStringLiteral("_files.txt"));
    openList(detailsList, QStringLiteral("_fileDetails.txt"));
    if (!unwritable.isEmpty()) {
        // The trace comes first: an unattended run may wait at the box for ever.
        LogUnwritableDestination(destination, unwritable);
        platform::MsgBox("Cant write to the destination folder \r\n" + destination +
                             "\r\n\r\nMake sure that you have write access to the folder, and that there is enough "
                             "disk space",
                         platform::Buttons::OK, platform::Icon::Information,
                         QStringLiteral("Cant write to the Destination folder"));
        return {false, earlierErrors + 1};
    }
    WriteLog("STARTING BACKUP to " + destination, 0);
    // failed.txt stays as it is until the end of the run, which replaces it
    // whole: a run killed on the way loses none of the files waiting for a retry.
    RetryList retry(listedEntries);
    retry.load(failedPath);

    // The rows are taken once, as they stand now, in their order. The loop
    // lets window events run, and a refresh in the meantime must not pull the
    // rows from under it.
    const std::vector<FileListModel::Row> snapshot = rows ? rows->rows() : std::vector<FileListModel::Row>();
    const int rowCount = int(snapshot.size());
    // The windows get a turn at most every 20 ms: with many small files a
    // turn for each would cost more than the copies.
    platform::WindowTurns turns(20);
    // Without kept paths every copy lands in the backup folder under its own
    // name: the original each name was copied from in this run, which no
    // other original of that name may replace.
    QHash<QString, QString> copiedByName;
    // The listed folder each file is opened from; the rows come folder by
    // folder, so it is looked up once for each folder.
    QStringView listedFor;
    QString listedFolder;

    // Loop.
    for (int i = 0; i < rowCount; ++i) {
        const FileListModel::Row& row = snapshot[size_t(i)];
        const QString& source = row.path;
        if (!row.ticked) {
            WriteLog(source + " was unchecked - not backing up", 3);
            continue;
        }
        const QString name = GetFileNameFromPath(source);
        // A test run's list lines would be discarded: they are not even made.
        if (!testMode) filesList.writeLine(source);
        ++count;
        if (hasStatus) {
            if (progressTotal) progressTotal->setValue(int(double(i + 1) / rowCount * 100));
            if (lblFile) lblFile->setText(source);
        }
        turns.yieldIfDue();
        if (testMode) continue;

        const QString targetFolder = keep == 1 ? KeepPathFolder(destination, source) : destination;
        platform::CopyOutcome copy;
        if (targetFolder == destination && isRunListName(name)) {
            // The run is writing its own list of that name in this folder.
            copy.result = platform::CopyResult::TargetFailed;
            copy.error = EEXIST;
            copy.description = "the backup folder holds this run's own " + name + " there";
        } else if (const auto first = copiedByName.constFind(name);
                   keep != 1 && first != copiedByName.cend() && *first != source) {
            copy.result = platform::CopyResult::TargetFailed;
            copy.error = EEXIST;
            copy.description = "this run copied '" + *first + "' under the same name into " + targetFolder;
        } else {
            // The copy makes the target folder's missing levels itself and never
            // follows a link inside the backup folder out of it.
            const QStringView folder = QStringView(source).left(source.size() - name.size());
            if (folder != listedFor) {
                listedFolder = ListedFolderOf(source, listedEntries);
                listedFor = folder;
            }
            copy = platform::CopyFileBelow(source, destination, targetFolder.mid(destination.size()), name, &copyRun,
                                           listedFolder);
        }
        // The details are those of the copy made: the size and time of the
        // source as the copy read it. A row that was not copied is described
        // as the scan saw it; a row read back from failed.txt knows its path alone.
        const QString details =
            copy.ok() ? FileDetailsLine(source, copy.bytes, copy.modifiedSecs)
            : row.form == FileListModel::RowForm::Full && row.timeKnown
                ? FileDetailsLine(source, row.size, row.modifiedSecs)
                : FormatFileDetails(source, QStringLiteral(","), false, true, true, false, true, true);
        if (!details.isEmpty()) detailsList.writeLine(details);
        switch (copy.result) {
        case platform::CopyResult::FolderFailed:
            appendLog(QStringLiteral("error.log"), "An error occurred in the BackupList function : " +
                                                       QString::number(copy.error) + " = " + copy.description);
            break;
        case platform::CopyResult::LeavesFolder:
            WriteLog("Cant Copy '" + source + "' to " + targetFolder +
                         " - a symbolic link in the backup folder leads out of it",
                     0);
            break;
        case platform::CopyResult::SameFile:
            WriteLog("Cant Copy '" + source + "' to " + targetFolder + " - the backup copy would be the file itself",
                     0);
            break;
        case platform::CopyResult::ReplaceFailed:
            appendLog(QStringLiteral("failed.log"), "Cant Copy '" + source + "' to " + targetFolder +
                                                        " - There is already a backup File , which is in use by "
                                                        "another application");
            break;
        default: break;
        }
        if (!copy.ok()) {
            WriteLog(
                "Cant copy file '" + source + "'" + (copy.description.isEmpty() ? QString() : " - " + copy.description),
                0);
            // The run's own list of failures cannot be a failure of the run.
            if (source == failedPath) continue;
            appendLog(QStringLiteral("failed.log"),
                      "Cant Copy '" + source + "' to " + targetFolder + " - Original File is in use");
            retry.addFailure(source);
            ++errors;
            if (!ignoring) {
                const platform::Answer answer = platform::MsgBox(
                    "Cant copy this file : " + name +
                        "\r\n\r\nDo you want to continue getting warnings when\r\na file cannot be copied?",
                    platform::Buttons::YesNo, platform::Icon::None, QStringLiteral("File cannot be copied"));
                if (answer == platform::Answer::No) ignoring = true;
            }
            continue;
        }
        retry.addCopied(source);
        if (keep != 1 && !copiedByName.contains(name)) copiedByName.insert(name, source);
        turns.yieldIfDue();
        WriteLog("Backed up " + source, 0);
        bytes += copy.bytes;
        copiedList.writeLine(source);
        if (recording) RecordFileToPlandel(row);
    }

    // End. The folders the copies went into take their source folders' bits.
    for (const QString& failure : copyRun.finishFolders()) {
        WriteLog("Cant set the permissions of " + destination + failure, 0);
        ++errors;
    }
    filesList.close();
    detailsList.close();
    copiedList.close();
    // A test run copies nothing: the files waiting for a retry still wait.
    if (!testMode && !retry.save(failedPath)) ++errors;
    if (hasStatus) {
        if (lblFile) lblFile->setText(QStringLiteral("Done!"));
        if (progressTotal) progressTotal->setValue(0);
    }
    // The next run's date window starts when this run's list was made, the
    // moment its backup folder is named for, which the last-backup window
    // finds from it. The files that could not be copied come round again
    // through failed.txt (AddEarlierFailures). A test run copied nothing, a
    // second try of the rows the run before could not copy keeps that run's
    // date, and a listed folder that was away may hold changes no list has
    // seen: the next run lists again from the date stored before. A date that
    // cannot be stored is an error: every later run would list from the old
    // date again.
    if (!testMode && storeDate) {
        if (!scan.awayEntries.isEmpty() || !scan.gaps.isEmpty()) {
            const QString stored = ReadIni(IniFile, Section::General, Key::DateOfLastBackup);
            const QString kept = " - the date of the last backup " +
                                 (stored.isEmpty() ? QStringLiteral("stays unset") : "stays " + stored);
            for (const QString& entry : scan.awayEntries)
                WriteLog("The listed folder " + entry + " was missing or could not be read" + kept, 0);
            for (const QString& gap : scan.gaps) WriteLog(gap + kept, 0);
        } else if (!StoreLastBackupTime(startedAt)) {
            ++errors;
        }
    }
    const qint64 failedCopies = retry.failures();
    errors += earlierErrors;
    if (errors > 0 && hasStatus && lblFile) lblFile->setText(errorCaption(failedCopies, errors));
    appendLog(QStringLiteral("events.log"), "Corvex-Pro " + GetVersionString() + " copied " + GroupedNumber(count) +
                                                " files (" + GroupedNumber(bytes) + " bytes) to " + destination +
                                                " with " + GroupedNumber(errors) + " errors");
    RecordBackupToPlandel(count, bytes, errors, destination);
    return {true, errors, failedCopies};
}

int AddEarlierFailures(FileListModel* fileList, const QStringList& listedEntries) {
    if (!fileList) return 0;
    QStringList paths;
    ReadListFile(programFile(QStringLiteral("failed.txt")), paths);
    if (paths.isEmpty()) return 0;
    QSet<QString> listed;
    listed.reserve(fileList->count());
    for (const FileListModel::Row& row : fileList->rows()) listed.insert(row.path);
    int unreachable = 0;
    for (const QString& path : paths) {
        if (listed.contains(path)) continue;
        listed.insert(path);
        const QString listedFolder = ListedFolderOf(path, listedEntries);
        switch (waitingFile(path, listedFolder)) {
        case Waiting::There: AddFileToList(GetFolderFromPath(path), GetFileNameFromPath(path), fileList, true); break;
        case Waiting::Away:
            // It stays in failed.txt for a run that can reach its folder.
            WriteLog("Cant reach '" + path + "' - its listed folder " + listedFolder +
                         " or a folder below it is missing or cannot be read; kept for a retry",
                     0);
            ++unreachable;
            break;
        case Waiting::Gone:
        case Waiting::Unlisted:
            // The run that ends takes it out of failed.txt, with its line.
            break;
        }
    }
    fileList->showAddedRows();
    return unreachable;
}
