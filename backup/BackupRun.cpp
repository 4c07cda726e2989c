#include "backup/BackupRun.h"

#include "backup/BackupFolder.h"
#include "backup/BackupList.h"
#include "backup/BackupParameters.h"
#include "backup/BackupValues.h"
#include "backup/RunLock.h"
#include "backup/StatusControls.h"
#include "foundation/BackupTypeTexts.h"
#include "foundation/ChangedFileScan.h"
#include "foundation/IniFile.h"
#include "foundation/Logging.h"
#include "foundation/PathHelpers.h"
#include "foundation/SettingValue.h"
#include "foundation/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "platform/FileCopy.h"

#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTreeWidget>

#include <algorithm>
#include <climits>

int RunBackup(const BackupParameters& parameters, const StatusControls* status) {
    const int type = NumericValue16(ReadIni(IniFile, Section::General, Key::BackupType));
    const int keep = NumericValue(ReadIni(IniFile, Section::General, Key::KeepPaths).trimmed()) == 1 ? 1 : 0;
    BackupTo = ReadIni(IniFile, Section::General, Key::BackupTo);
    KeepPaths = keep;
    BackupType = type;

    RunLock lock;
    if (!lock.take(status != nullptr)) return 1;  // counted in RunErrors by the lock

    const QString destination = parameters.txtDestDir ? parameters.txtDestDir->text() : QString();
    if (RefuseMissingDestination(destination, status != nullptr)) {
        ++RunErrors;
        return 1;
    }

    QLabel* lblFile = status ? status->lblFile : nullptr;
    if (status) {
        if (status->frameStatus) status->frameStatus->setVisible(true);
        platform::YieldToWindows();
        if (lblFile) lblFile->setText(QStringLiteral("Getting List of directories.."));
        platform::YieldToWindows();
    }

    const QDateTime fromDate = parameters.DTPicker1 ? parameters.DTPicker1->dateTime() : platform::Now();
    const QDateTime toDate = parameters.DTPicker2 ? parameters.DTPicker2->dateTime() : platform::Now();
    int scanErrors = parameters.listFileErrors;
    ScanReport scan;
    if (parameters.lvwFiles && parameters.lstPath)
        scanErrors += ListChangedFiles(fromDate, toDate, parameters.lstPath, parameters.lstXTN, parameters.lvwFiles,
                                       parameters.lvExclude, parameters.lstAllPaths, true, true,
                                       status ? status->ProgressBarCurrent : nullptr, destination, &scan);
    const QStringList listedEntries = ListedEntries(parameters.lstPath);
    scanErrors += AddEarlierFailures(parameters.lvwFiles, listedEntries);
    if (parameters.pathListUnread) NoteUnreadFolderList(scan);

    if (status) {
        platform::YieldToWindows();
        if (lblFile) lblFile->setText(QStringLiteral("Backing up Files.."));
        platform::YieldToWindows();
    }
    const BackupOutcome outcome =
        BackupIntoDestination(parameters.lvwFiles, destination, type, keep, status, scanErrors, listedEntries, scan);
    if (status) platform::YieldToWindows();
    const int runErrors = int(std::min<qint64>(outcome.errors, INT_MAX));
    RunErrors += runErrors;
    return runErrors;
}

BackupOutcome BackupIntoDestination(const FileListModel* rows, const QString& destination, int type, int keep,
                                    const StatusControls* status, int earlierErrors, const QStringList& listedFolders,
                                    const ScanReport& scan, bool storeDate) {
    const BackupOutcome stopped{false, earlierErrors + 1, 0};
    if (RefuseMissingDestination(destination, status != nullptr)) return stopped;
    if (!FindBackupType(type)) {
        // An unattended run must leave a trace when the settings name no known type.
        WriteLog("Backup type " + QString::number(type) + " - " + BackupTypeName(type) + " - nothing backed up", 0);
        return stopped;
    }
    // The folder is named for the moment the list was made, which the run
    // stores as the last backup's, so the windows that look back find the
    // folder from it.
    const QDateTime namedAt = scan.startedAt.isValid() ? scan.startedAt : platform::Now();
    QString folder = destination;
    platform::CopyRun run;
    if (IsTestDestination(destination)) {
        // A test run copies nothing: no folder is named or made.
        if (!folder.endsWith('/')) folder += '/';
    } else {
        // The folder is made and held open here; one that cannot be made or
        // opened is reported by the copy loop.
        QString base = destination;
        folder = MakeBackupFolderName(base, type, false, namedAt);
        if (folder.isEmpty()) return stopped;
        OpenBackupFolder(base, folder, run);
        if (status) platform::YieldToWindows();
    }
    if (!rows) return {false, earlierErrors, 0};
    return BackupList(rows, folder, status, keep, earlierErrors, namedAt, &run, scan, storeDate, listedFolders);
}

bool RefuseMissingDestination(const QString& destination, bool tellUser) {
    const QString reason = MissingDestinationReason(destination);
    if (reason.isEmpty()) return false;
    // The backup folders would land in the root of the file system, or in
    // whatever folder the program was started from.
    WriteLog(reason + " - nothing backed up", 0);
    if (tellUser)
        platform::MsgBox(reason, platform::Buttons::OK, platform::Icon::Information,
                         QStringLiteral("Need to choose a destination directory"));
    return true;
}

void NoteUnreadFolderList(ScanReport& scan) { scan.gaps << "The folder list " + PathListFile + " could not be read"; }
