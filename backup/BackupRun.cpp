#include "backup/BackupRun.h"

#include "backup/BackupFolder.h"
#include "backup/BackupList.h"
#include "backup/BackupParameters.h"
#include "backup/BackupValues.h"
#include "backup/RunLock.h"
#include "backup/StatusControls.h"
#include "foundation/ChangedFileScan.h"
#include "foundation/IniFile.h"
#include "foundation/Logging.h"
#include "foundation/SettingValue.h"
#include "foundation/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"

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

    // An empty destination would put the backup folders at the root of the
    // file system: no backup starts, and an unattended run says why.
    const QString destination = parameters.txtDestDir ? parameters.txtDestDir->text() : QString();
    if (destination.trimmed().isEmpty()) {
        WriteLog(QStringLiteral("There is no destination directory specified - nothing backed up"), 0);
        ++RunErrors;
        if (status) ShowNoDestinationMessage();
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
    if (parameters.lvwFiles && parameters.lstPath)
        scanErrors += ListChangedFiles(fromDate, toDate, parameters.lstPath, parameters.lstXTN, parameters.lvwFiles,
                                       parameters.lvExclude, parameters.lstAllPaths, true, true,
                                       status ? status->ProgressBarCurrent : nullptr, destination);
    AddEarlierFailures(parameters.lvwFiles);

    if (status) {
        platform::YieldToWindows();
        if (lblFile) lblFile->setText(QStringLiteral("Backing up Files.."));
        platform::YieldToWindows();
    }
    QString base = destination;
    QString folder = MakeBackupFolderName(base, type, true);
    if (status) platform::YieldToWindows();
    if (folder.isEmpty()) {
        // An unattended run must leave a trace when the settings name no known type.
        if (type < 0 || type > 7)
            WriteLog("Backup type " + QString::number(type) + " - " + BackupTypeName(type) + " - nothing backed up", 0);
        RunErrors += scanErrors + 1;
        return scanErrors + 1;
    }

    qint64 errors = scanErrors;
    if (parameters.lvwFiles) errors = BackupList(parameters.lvwFiles, folder, status, keep, scanErrors).errors;
    if (status) platform::YieldToWindows();
    const int runErrors = int(std::min<qint64>(errors, INT_MAX));
    RunErrors += runErrors;
    return runErrors;
}

void ShowNoDestinationMessage() {
    platform::MsgBox(QStringLiteral("There is no destination directory specified"), platform::Buttons::OK,
                     platform::Icon::Information, QStringLiteral("Need to choose a destination directory"));
}
