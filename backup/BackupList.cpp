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

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSet>
#include <vector>

namespace {

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

private:
    platform::AppendFile m_file;
    QString m_path;
    bool m_failed = false;
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
                         int earlierErrors) {
    // Start. Another run from this program folder would mix its lists with ours;
    // the refusal is counted in RunErrors by the lock.
    RunLock lock;
    if (!lock.take(status != nullptr)) return {false, earlierErrors};
    // The program log stays open for the run: a line for every file.
    ProgramLogKeptOpen logKeptOpen;
    const QString copiedPath = programFile(QStringLiteral("copied.txt"));
    const QString failedPath = programFile(QStringLiteral("failed.txt"));
    QFile::remove(copiedPath);
    QFile::remove(failedPath);
    ListFile copiedList;
    copiedList.openAtFirstLine(copiedPath);
    ListFile failedList;
    failedList.openAtFirstLine(failedPath);

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

    // A test run lists nothing in the backup folder: its list lines are discarded.
    ListFile filesList;
    ListFile detailsList;
    const QString filesPath = testMode ? QStringLiteral("/dev/null") : destination + "_files.txt";
    const QString detailsPath = testMode ? QStringLiteral("/dev/null") : destination + "_fileDetails.txt";
    if (!filesList.open(filesPath) || !detailsList.open(detailsPath)) {
        // The trace comes first: an unattended run may wait at the box for ever.
        appendLog(QStringLiteral("failed.log"), "Cant write to the destination folder " + destination);
        platform::MsgBox("Cant write to the destination folder \r\n" + destination +
                             "\r\n\r\nMake sure that you have write access to the folder, and that there is enough "
                             "disk space",
                         platform::Buttons::OK, platform::Icon::Information,
                         QStringLiteral("Cant write to the Destination folder"));
        return {false, earlierErrors + 1};
    }
    WriteLog("STARTING BACKUP to " + destination, 0);
    platform::CopyRun copyRun;

    // The rows are taken once, as they stand now, in their order. The loop
    // lets window events run, and a refresh in the meantime must not pull the
    // rows from under it.
    const std::vector<FileListModel::Row> snapshot = rows ? rows->rows() : std::vector<FileListModel::Row>();
    const int rowCount = int(snapshot.size());
    // The windows get a turn at most every 20 ms: with many small files a
    // turn for each would cost more than the copies.
    platform::WindowTurns turns(20);

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
        if (!testMode) {
            filesList.writeLine(source);
            // A row of the scan knows the file's size and time; a row read
            // back from failed.txt knows its path alone.
            const QString details =
                row.form == FileListModel::RowForm::Full && row.timeKnown
                    ? FileDetailsLine(source, row.size, row.modifiedSecs)
                    : FormatFileDetails(source, QStringLiteral(","), false, true, true, false, true, true);
            if (!details.isEmpty()) detailsList.writeLine(details);
        }
        ++count;
        if (hasStatus) {
            if (progressTotal) progressTotal->setValue(int(double(i + 1) / rowCount * 100));
            if (lblFile) lblFile->setText(source);
        }
        turns.yieldIfDue();
        if (testMode) continue;

        const QString targetFolder = keep == 1 ? KeepPathFolder(destination, source) : destination;
        // The copy makes the target folder's missing levels itself and never
        // follows a link inside the backup folder out of it.
        const platform::CopyOutcome copy =
            platform::CopyFileBelow(source, destination, targetFolder.mid(destination.size()), name, &copyRun);
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
            WriteLog("Cant copy file '" + source + "'", 0);
            // The run's own list of failures is being written: it cannot be copied, and that is no error.
            if (source == failedPath) continue;
            appendLog(QStringLiteral("failed.log"),
                      "Cant Copy '" + source + "' to " + targetFolder + " - Original File is in use");
            failedList.writeLine(source);
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
        turns.yieldIfDue();
        WriteLog("Backed up " + source, 0);
        bytes += copy.bytes;
        copiedList.writeLine(source);
        if (recording) RecordFileToPlandel(row);
    }

    // End.
    filesList.close();
    detailsList.close();
    copiedList.close();
    failedList.close();
    if (hasStatus) {
        if (lblFile) lblFile->setText(QStringLiteral("Done!"));
        if (progressTotal) progressTotal->setValue(0);
    }
    const qint64 failedCopies = errors;
    errors += earlierErrors;
    if (errors > 0 && hasStatus && lblFile) lblFile->setText(errorCaption(failedCopies, errors));
    appendLog(QStringLiteral("events.log"), "Corvex-Pro " + GetVersionString() + " copied " + GroupedNumber(count) +
                                                " files (" + GroupedNumber(bytes) + " bytes) to " + destination +
                                                " with " + GroupedNumber(errors) + " errors");
    RecordBackupToPlandel(count, bytes, errors, destination);
    // The next run's date window starts here. The files that could not be
    // copied come round again through failed.txt (AddEarlierFailures).
    WriteIni(Section::General, Key::DateOfLastBackup, platform::Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             IniFile);
    return {true, errors};
}

void AddEarlierFailures(FileListModel* fileList) {
    if (!fileList) return;
    QListWidget failed;
    LoadFileToListBox(&failed, programFile(QStringLiteral("failed.txt")), 0);
    const QStringList paths = ListRowTexts(&failed);
    if (paths.isEmpty()) return;
    QSet<QString> listed;
    listed.reserve(fileList->count());
    for (const FileListModel::Row& row : fileList->rows()) listed.insert(row.path);
    for (const QString& path : paths) {
        if (listed.contains(path) || !platform::GetFileStatus(path).isFile) continue;
        listed.insert(path);
        AddFileToList(GetFolderFromPath(path), GetFileNameFromPath(path), fileList, true);
    }
    fileList->showAddedRows();
}
