#include "backup/frmProgress.h"

#include "backup/BackupFolder.h"
#include "backup/BackupList.h"
#include "backup/BackupRun.h"
#include "backup/BackupValues.h"
#include "foundation/ChangedFileScan.h"
#include "foundation/IniFile.h"
#include "foundation/ListFiles.h"
#include "foundation/Logging.h"
#include "foundation/NumberText.h"
#include "foundation/SettingValue.h"
#include "foundation/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "platform/SystemInfo.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>

namespace {

const char* const kDateFormat = "d-MMM-yyyy";

template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QTreeWidget* listView(QWidget* parent, const char* name, const QStringList& columns) {
    auto* view = named(new QTreeWidget(parent), name);
    view->setColumnCount(int(columns.size()));
    view->setHeaderLabels(columns);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    return view;
}

QLabel* label(QWidget* parent, const QString& text, int x, int y, int w, int h = 20) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, h);
    return l;
}

}  // namespace

QStringList BackupTypeTexts() {
    return {QStringLiteral("Backup all files into directory above"),
            QStringLiteral("append todays date as sub-directory"),
            QStringLiteral("Cyclic Daily Backup (appends day of week as subdirectory)"),
            QStringLiteral("Cyclic Weekly Backup (appends Week# as subfolder)"),
            QStringLiteral("Cyclic Monlthy Backup (appends month as subdirectory)"),
            QStringLiteral("append year and month as subdirectory [ yyyy-mmm ]"),
            QStringLiteral("append year and Quarter as subdirectory, eg 2001-Q2"),
            QStringLiteral("append todays date and time as subdirectory")};
}

frmProgress::frmProgress(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("Corvex"));
    buildControls();
}

// Controls sit at fixed places in the client area.
void frmProgress::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);
    resize(660, 560);

    label(client, QStringLiteral("Backup to Directory"), 8, 10, 120);
    txtDestDir = named(new QLineEdit(client), "txtDestDir");
    txtDestDir->setGeometry(130, 8, 520, 22);
    cmbDestType = named(new QComboBox(client), "cmbDestType");
    cmbDestType->setEditable(false);
    cmbDestType->setGeometry(130, 34, 520, 22);

    chkReplicatePaths = named(new QCheckBox(QStringLiteral("Keep Files in Original Paths as subdirectories"), client),
                              "chkReplicatePaths");
    chkReplicatePaths->setGeometry(8, 62, 330, 20);
    chkReplicatePaths->setChecked(true);
    chkRecordToPlandel = named(new QCheckBox(QStringLiteral("Record to Plandel"), client), "chkRecordToPlandel");
    chkRecordToPlandel->setGeometry(350, 62, 200, 20);
    chkRecordToPlandel->setChecked(true);

    lstPath = listView(client, "lstPath", {QStringLiteral("Path to Backup")});
    lstPath->setGeometry(8, 88, 316, 96);
    SetListViewCheckBoxes(lstPath, true);
    lvExclude = listView(client, "lvExclude", {QStringLiteral("Path to Backup")});
    lvExclude->setGeometry(334, 88, 316, 96);
    SetListViewCheckBoxes(lvExclude, false);  // every excluded text applies
    cmdEditPathList =
        named(new QPushButton(QStringLiteral("Edit Directories to be backed up"), client), "cmdEditPathList");
    cmdEditPathList->setToolTip(QStringLiteral("Edit PathList"));
    cmdEditPathList->setGeometry(8, 188, 220, 24);
    cmdEditExcludedDirs = named(new QPushButton(QStringLiteral("Excluding Folders"), client), "cmdEditExcludedDirs");
    cmdEditExcludedDirs->setToolTip(QStringLiteral("Edit list of Paths which will be excluded from the backup"));
    cmdEditExcludedDirs->setGeometry(334, 188, 160, 24);

    label(client, QStringLiteral("List Files from"), 8, 222, 90);
    DTPicker1 = named(new QDateEdit(client), "DTPicker1");
    DTPicker1->setDisplayFormat(QString::fromLatin1(kDateFormat));
    DTPicker1->setCalendarPopup(true);
    DTPicker1->setGeometry(100, 220, 120, 22);
    label(client, QStringLiteral("to"), 226, 222, 20);
    DTPicker2 = named(new QDateEdit(client), "DTPicker2");
    DTPicker2->setDisplayFormat(QString::fromLatin1(kDateFormat));
    DTPicker2->setCalendarPopup(true);
    DTPicker2->setGeometry(248, 220, 120, 22);

    cmdGetFileList = named(new QPushButton(QStringLiteral("1. Refresh List"), client), "cmdGetFileList");
    cmdGetFileList->setGeometry(390, 218, 125, 26);
    cmdStart = named(new QPushButton(QStringLiteral("2. Start Backup"), client), "cmdStart");
    cmdStart->setGeometry(525, 218, 125, 26);
    cmdStart->setEnabled(false);
    // Enter anywhere in the window refreshes the list, as a default button does.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        connect(enter, &QShortcut::activated, this, [this] {
            if (cmdGetFileList->isEnabled()) cmdGetFileList->click();
        });
    }

    label(client, QStringLiteral("Total Bytes = "), 8, 252, 86);
    lblTotalBytes = named(new QLabel(QStringLiteral("0"), client), "lblTotalBytes");
    lblTotalBytes->setGeometry(98, 252, 104, 20);
    label(client, QStringLiteral("Total Files = "), 208, 252, 82);
    lblTotalFiles = named(new QLabel(QStringLiteral("0"), client), "lblTotalFiles");
    lblTotalFiles->setGeometry(294, 252, 80, 20);
    ProgressBarTotal = named(new QProgressBar(client), "ProgressBarTotal");
    ProgressBarTotal->setRange(0, 100);
    ProgressBarTotal->setGeometry(390, 252, 260, 18);
    ProgressBarTotal->hide();

    // The status controls handed to the copy loop; the frame stays hidden here.
    frameStatus = named(new QGroupBox(client), "frameStatus");
    frameStatus->setGeometry(8, 250, 370, 60);
    lblFile = named(new QLabel(QStringLiteral("Initializing..."), frameStatus), "lblFile");
    lblFile->setGeometry(8, 8, 354, 20);
    ProgressBarCurrent = named(new QProgressBar(frameStatus), "ProgressBarCurrent");
    ProgressBarCurrent->setRange(0, 100);
    ProgressBarCurrent->setGeometry(8, 32, 354, 18);
    frameStatus->hide();

    lvwFiles = listView(
        client, "lvwFiles",
        {QStringLiteral("Path and Filename"), QStringLiteral("Filename"), QStringLiteral("Path"),
         QStringLiteral("Size"), QStringLiteral("Type"), QStringLiteral("Modified"), QStringLiteral("Comments")});
    SetListViewCheckBoxes(lvwFiles, true);
    lvwFiles->setGeometry(0, 280, 660, 280);
    lstAllPaths = listView(client, "lstAllPaths", {QStringLiteral("Path to Backup")});
    lstAllPaths->setToolTip(QStringLiteral("List of all Paths to be checked"));
    lstAllPaths->setGeometry(0, 280, 280, 280);
    lstAllPaths->hide();
    SetListViewCheckBoxes(lstAllPaths, false);

    lstXTN = named(new QListWidget(client), "lstXTN");
    lstXTN->hide();

    mnuOptIgnore = new QAction(QStringLiteral("&Ignore Error messages when Files cant be copied"), this);
    mnuOptIgnore->setObjectName(QStringLiteral("mnuOptIgnore"));
    mnuOptIgnore->setCheckable(true);

    // Option controls write their setting on every change, also while loading.
    connect(chkReplicatePaths, &QCheckBox::toggled, this, &frmProgress::chkReplicatePaths_Click);
    connect(chkRecordToPlandel, &QCheckBox::toggled, this, &frmProgress::chkRecordToPlandel_Click);
    connect(cmbDestType, &QComboBox::currentIndexChanged, this, &frmProgress::cmbDestType_Click);
    connect(cmdEditPathList, &QPushButton::clicked, this, &frmProgress::cmdEditPathList_Click);
    connect(cmdEditExcludedDirs, &QPushButton::clicked, this, &frmProgress::cmdEditExcludedDirs_Click);
    connect(cmdGetFileList, &QPushButton::clicked, this, &frmProgress::cmdGetFileList_Click);
    connect(cmdStart, &QPushButton::clicked, this, &frmProgress::cmdStart_Click);
}

void frmProgress::Form_Load() {
    if (RunningSilently) hide();
    platform::YieldToWindows();

    const QDateTime now = platform::Now();
    const QString last = ReadIni(IniFile, Section::General, Key::DateOfLastBackup);
    QDateTime from = now.addDays(-62);
    if (last.isEmpty()) {
        setWindowTitle(QStringLiteral("Corvex"));
    } else {
        setWindowTitle("Corvex - last backup was " + last);
        QDateTime stored = QDateTime::fromString(last, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!stored.isValid()) stored = QDateTime::fromString(last, Qt::ISODate);
        if (!stored.isValid()) stored = QDateTime(QDate::fromString(last, Qt::ISODate), QTime(0, 0));
        // A value that is no date leaves the window of the last 62 days.
        if (stored.isValid())
            from = stored;
        else
            WriteLog("dateOfLastBackup '" + last + "' is not a date - listing the last 62 days", 0);
    }
    DTPicker1->setDateTime(from);
    DTPicker2->setDateTime(now);

    {
        const QSignalBlocker quiet(cmbDestType);
        cmbDestType->clear();
        cmbDestType->addItems(BackupTypeTexts());
        cmbDestType->setCurrentIndex(-1);
    }
    const double type = NumericValue(ReadIni(IniFile, Section::General, Key::BackupType));
    if (type >= 0 && type < cmbDestType->count()) cmbDestType->setCurrentIndex(int(type));

    LoadFileToListBox(lstPath, PathListFile, 0);
    LoadFileToListBox(lvExclude, ExcludedPathListFile, 0);
    lstXTN->addItem(QStringLiteral("*.*"));
    txtDestDir->setText(ReadIni(IniFile, Section::General, Key::BackupTo));

    const double record = NumericValue(ReadIni(IniFile, Section::General, Key::RecordToPlandel));
    if (record == 1) chkRecordToPlandel->setChecked(true);
    if (record == 0) chkRecordToPlandel->setChecked(false);
    chkReplicatePaths->setChecked(NumericValue(ReadIni(IniFile, Section::General, Key::KeepPaths)) == 1);
    platform::YieldToWindows();

    mnuOptIgnore->setChecked(ReadIni(IniFile, Section::General, Key::IgnoreFailedFileCopies) == QLatin1String("1"));

    if (!RunningSilently) {
        show();
        platform::YieldToWindows();
        platform::YieldToWindows();
    }
}

void frmProgress::chkReplicatePaths_Click() {
    WriteIni(Section::General, Key::KeepPaths,
             chkReplicatePaths->isChecked() ? QStringLiteral("1") : QStringLiteral("0"), IniFile);
}

void frmProgress::chkRecordToPlandel_Click() {
    WriteIni(Section::General, Key::RecordToPlandel,
             chkRecordToPlandel->isChecked() ? QStringLiteral("1") : QStringLiteral("0"), IniFile);
}

void frmProgress::cmbDestType_Click() {
    WriteIni(Section::General, Key::BackupType, QString::number(cmbDestType->currentIndex()).trimmed(), IniFile);
}

// The path-list editor is not part of this program yet: the buttons do nothing.
void frmProgress::cmdEditPathList_Click() {}
void frmProgress::cmdEditExcludedDirs_Click() {}

void frmProgress::cmdGetFileList_Click() {
    ProgressBarTotal->show();
    cmdGetFileList->setEnabled(false);
    // A start in the middle of a refresh would copy a half-built list.
    cmdStart->setEnabled(false);
    ListChangedFiles(DTPicker1->dateTime(), DTPicker2->dateTime(), lstPath, lstXTN, lvwFiles, lvExclude, lstAllPaths,
                     true, true, ProgressBarTotal, txtDestDir->text());
    UpdateStatus();
    cmdStart->setEnabled(true);
    cmdGetFileList->setEnabled(true);
    ProgressBarTotal->hide();
}

void frmProgress::UpdateStatus() {
    qint64 bytes = 0;
    qint64 files = 0;
    for (int i = 0; i < lvwFiles->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = lvwFiles->topLevelItem(i);
        if (row->checkState(0) != Qt::Checked) continue;
        const QString size = row->text(3).trimmed();
        if (!size.isEmpty()) {
            bool ok = false;
            const qint64 value = NumberFromGroupedText(size, &ok);
            if (ok) bytes += value;
        }
        ++files;
    }
    lblTotalBytes->setText(bytes > 0 ? GroupedNumber(bytes) : QStringLiteral("0"));
    lblTotalFiles->setText(files > 0 ? GroupedNumber(files) : QStringLiteral("0"));
}

void frmProgress::cmdStart_Click() {
    // An empty destination would back up into the root of the file system.
    if (txtDestDir->text().trimmed().isEmpty()) {
        ShowNoDestinationMessage();
        return;
    }
    QString destination = txtDestDir->text();
    if (!destination.endsWith('/')) {
        destination += '/';
        txtDestDir->setText(destination);
    }
    WriteIni(Section::General, Key::BackupTo, destination, IniFile);
    WriteIni(Section::General, Key::BackupType, QString::number(cmbDestType->currentIndex()), IniFile);
    ProgressBarTotal->show();

    // "/dev/null" in any case makes a test run: nothing is created or copied.
    QString folder;
    if (IsTestDestination(destination))
        folder = destination;
    else
        folder = MakeBackupFolderName(destination, cmbDestType->currentIndex(), true);
    if (folder.isEmpty()) {
        ProgressBarTotal->hide();
        return;
    }

    // The copy loop lets window events run; a second start or a refresh meanwhile
    // would run over the list being copied.
    cmdStart->setEnabled(false);
    cmdGetFileList->setEnabled(false);
    const StatusControls status = statusControls();
    const bool ran = BackupList(lvwFiles, folder, &status, chkReplicatePaths->isChecked() ? 1 : 0);
    for (int i = 0; i < 5; ++i) platform::YieldToWindows();
    if (!ran) {
        // Nothing was copied (the user has been told why): the list, its totals
        // and the date window stay, so a start after mending the destination
        // still covers every file.
        ProgressBarTotal->hide();
        cmdStart->setEnabled(true);
        cmdGetFileList->setEnabled(true);
        return;
    }

    ProgressBarTotal->hide();
    lvwFiles->clear();
    lblTotalBytes->setText(QStringLiteral("0"));
    lblTotalFiles->setText(QStringLiteral("0"));
    DTPicker1->setDateTime(platform::Now());
    setWindowTitle("Corvex - last backup was " + ReadIni(IniFile, Section::General, Key::DateOfLastBackup));
    cmdStart->setEnabled(true);
    cmdGetFileList->setEnabled(true);

    const QString failed = platform::ProgramFolder() + "/failed.txt";
    if (QFileInfo::exists(failed)) {
        LoadFileToListBox(lvwFiles, failed, 1);
        platform::MsgBox(QStringLiteral("the files remaining in the list box could not be copied.\r\n"
                                        "You can close the application using them and click 'Start Backup' again "
                                        "to try again"),
                         platform::Buttons::OK, platform::Icon::Information,
                         QStringLiteral("Error - some files were in use"));
    }
}

BackupParameters frmProgress::backupParameters() const {
    return {DTPicker1, DTPicker2, lstPath, lstXTN, lvwFiles, lvExclude, txtDestDir, lstAllPaths};
}

StatusControls frmProgress::statusControls() const {
    return {frameStatus, lblFile, ProgressBarCurrent, ProgressBarTotal};
}

frmProgress* TheProgressForm() {
    static frmProgress* form = nullptr;
    if (!form) {
        form = new frmProgress;
        form->Form_Load();
    }
    return form;
}
