#include "backup/frmProgress.h"

#include "backup/BackupFolder.h"
#include "backup/BackupList.h"
#include "backup/BackupRun.h"
#include "backup/BackupValues.h"
#include "backup/frmAboutCorvex.h"
#include "backup/frmLastBackup.h"
#include "backup/frmLogView.h"
#include "backup/frmTamselShowCase.h"
#include "foundation/BackupTypeTexts.h"
#include "foundation/ChangedFileScan.h"
#include "foundation/ElidedText.h"
#include "foundation/FileListColumns.h"
#include "foundation/FileListModel.h"
#include "foundation/IniFile.h"
#include "foundation/ListFiles.h"
#include "foundation/Logging.h"
#include "foundation/NamedWidget.h"
#include "foundation/NumberText.h"
#include "foundation/PathHelpers.h"
#include "foundation/ProgramPaths.h"
#include "foundation/SettingValue.h"
#include "foundation/SettingsKeys.h"
#include "foundation/ShellLauncher.h"
#include "foundation/frmSetupPathList.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "platform/Process.h"
#include "platform/SystemInfo.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

const char* const kDateFormat = "d-MMM-yyyy";
// Window sizes are kept in twips, 15 to a pixel.
constexpr int kTwipsPerPixel = 15;
// The destination box and the type list end this far before the right edge.
constexpr int kRightMargin = 50 / kTwipsPerPixel;
// The expanded folder list's width while it is shown.
constexpr int kAllPathsWidth = 4200 / kTwipsPerPixel;

QTreeWidget* listView(QWidget* parent, const char* name, const QStringList& columns) {
    auto* view = named(new QTreeWidget(parent), name);
    view->setColumnCount(int(columns.size()));
    view->setHeaderLabels(columns);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    // The lists hold paths: the folder name at the end stays in sight.
    ElideRowsInTheMiddle(view);
    return view;
}

// The tool tip of a list becomes the text of its selected row, so that a long
// path can be read whole; with nothing selected it stays as it was.
void showSelectedRowAsToolTip(QTreeWidget* list) {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (!selected.isEmpty()) list->setToolTip(selected.first()->text(0));
}

const QString kExcludePrompt = QStringLiteral(
    "This option allows you to add any text to the list\r\n"
    "of excluded paths, so any path containing the text\r\n"
    "will be excluded.\r\n"
    "\r\n"
    "E.g.  adding \\backup\\ will exclude the following paths\r\n"
    "C:\\backup\\\r\n"
    "C:\\My Documents\\backup\\\r\n"
    "\r\n"
    "but will NOT exclude C:\\dev\\src\\backupfiles\\\r\n"
    "\r\n"
    "Enter the text to be excluded\r\n");

const QString kNewFeatures = QStringLiteral(
    "1. You can add Network Paths (UNC names) to backup shared folders\r\n"
    "   from other PC's on your LAN.\r\n"
    "\r\n"
    "2. The View menu has an option to see the results of the last backup\r\n"
    "   and selectively restore files from multiple backup folders.\r\n"
    "\r\n"
    "3. A new handy logfile viewer is included to investigate any problems.\r\n"
    "   such as files not being backed up because other applications have\r\n"
    "   them locked open.\r\n"
    "\r\n"
    "\r\n"
    "\r\n"
    "\r\n");

}  // namespace

frmProgress::frmProgress(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("Corvex"));
    buildControls();
    buildMenus();
    resize(qMax(sizeHint().width(), 760), qMax(sizeHint().height(), 600));
}

// The upper part holds the settings of a backup and the two steps; the file
// list fills the rest and reaches the right and bottom edges, with the
// expanded folder list at its left while that is shown.
void frmProgress::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);

    auto* destLabel = new QLabel(QStringLiteral("Backup to Directory"), client);
    txtDestDir = named(new QLineEdit(client), "txtDestDir");
    destLabel->setBuddy(txtDestDir);
    cmbDestType = named(new QComboBox(client), "cmbDestType");
    cmbDestType->setEditable(false);
    // The longest type text must not set the window's least width.
    cmbDestType->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbDestType->setMinimumContentsLength(20);

    chkReplicatePaths = named(new QCheckBox(QStringLiteral("Keep Files in Original Paths as subdirectories"), client),
                              "chkReplicatePaths");
    chkReplicatePaths->setChecked(true);
    chkRecordToPlandel = named(new QCheckBox(QStringLiteral("Record to Plandel"), client), "chkRecordToPlandel");
    chkRecordToPlandel->setChecked(true);

    lstPath = listView(client, "lstPath", {QStringLiteral("Path to Backup")});
    SetListViewCheckBoxes(lstPath, true);
    lvExclude = listView(client, "lvExclude", {QStringLiteral("Path to Backup")});
    SetListViewCheckBoxes(lvExclude, false);  // every excluded text applies
    for (QTreeWidget* list : {lstPath, lvExclude}) {
        list->setMinimumHeight(list->fontMetrics().height() * 6);
        list->setMaximumHeight(list->fontMetrics().height() * 9);
        list->setMinimumWidth(120);
    }
    cmdEditPathList =
        named(new QPushButton(QStringLiteral("Edit Directories to be backed up"), client), "cmdEditPathList");
    cmdEditPathList->setToolTip(QStringLiteral("Edit PathList"));
    cmdEditExcludedDirs = named(new QPushButton(QStringLiteral("Excluding Folders"), client), "cmdEditExcludedDirs");
    cmdEditExcludedDirs->setToolTip(QStringLiteral("Edit list of Paths which will be excluded from the backup"));

    auto* fromLabel = new QLabel(QStringLiteral("List Files from"), client);
    DTPicker1 = named(new QDateEdit(client), "DTPicker1");
    // A date edit keeps its moment in UTC unless told otherwise, and would
    // show (and hand the scan) the UTC day: the window's days are local ones.
    DTPicker1->setTimeSpec(Qt::LocalTime);
    DTPicker1->setDisplayFormat(QString::fromLatin1(kDateFormat));
    DTPicker1->setCalendarPopup(true);
    fromLabel->setBuddy(DTPicker1);
    auto* toLabel = new QLabel(QStringLiteral("to"), client);
    DTPicker2 = named(new QDateEdit(client), "DTPicker2");
    DTPicker2->setTimeSpec(Qt::LocalTime);
    DTPicker2->setDisplayFormat(QString::fromLatin1(kDateFormat));
    DTPicker2->setCalendarPopup(true);
    toLabel->setBuddy(DTPicker2);

    cmdGetFileList = named(new QPushButton(QStringLiteral("1. Refresh List"), client), "cmdGetFileList");
    cmdStart = named(new QPushButton(QStringLiteral("2. Start Backup"), client), "cmdStart");
    cmdStart->setEnabled(false);

    auto* bytesLabel = new QLabel(QStringLiteral("Total Bytes = "), client);
    lblTotalBytes = named(new QLabel(QStringLiteral("0"), client), "lblTotalBytes");
    auto* filesLabel = new QLabel(QStringLiteral("Total Files = "), client);
    lblTotalFiles = named(new QLabel(QStringLiteral("0"), client), "lblTotalFiles");
    for (QLabel* total : {lblTotalBytes, lblTotalFiles})
        total->setMinimumWidth(total->fontMetrics().horizontalAdvance(QStringLiteral("999,999,999,999")));
    ProgressBarTotal = named(new QProgressBar(client), "ProgressBarTotal");
    ProgressBarTotal->setRange(0, 100);
    // Showing the bar during a run must not move the rows around it.
    QSizePolicy keepRoom = ProgressBarTotal->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    ProgressBarTotal->setSizePolicy(keepRoom);
    ProgressBarTotal->hide();

    // The status controls handed to the copy loop; the frame stays hidden here.
    frameStatus = named(new QGroupBox(client), "frameStatus");
    lblFile = named(new ElidedLabel(QStringLiteral("Initializing..."), frameStatus), "lblFile");
    ProgressBarCurrent = named(new QProgressBar(frameStatus), "ProgressBarCurrent");
    ProgressBarCurrent->setRange(0, 100);
    auto* statusLayout = new QVBoxLayout(frameStatus);
    statusLayout->addWidget(lblFile);
    statusLayout->addWidget(ProgressBarCurrent);
    frameStatus->hide();

    // The file list: a view over rows of values, whose model draws the
    // column texts (the sizes right-aligned, without their padding blanks).
    lvwFiles = named(new QTreeView(client), "lvwFiles");
    fileList = new FileListModel(lvwFiles);
    fileList->setCheckBoxes(true);
    lvwFiles->setModel(fileList);
    lvwFiles->setRootIsDecorated(false);
    lvwFiles->setUniformRowHeights(true);
    lvwFiles->setItemsExpandable(false);
    ElideRowsInTheMiddle(lvwFiles);
    for (int c = kShownFileColumns; c < FileListModel::kColumns; ++c) lvwFiles->setColumnHidden(c, true);
    lvwFiles->setMinimumHeight(lvwFiles->fontMetrics().height() * 5);
    // The list starts in ascending order: the first column click turns it.
    // The view does not sort by itself: a column click sorts the rows once.
    lvwFiles->header()->setSortIndicatorShown(true);
    lvwFiles->header()->setSortIndicator(0, Qt::AscendingOrder);
    lvwFiles->header()->setSectionsClickable(true);
    m_fileColumns = new FileListColumns(lvwFiles, fileList);

    m_allPathsPanel = new QWidget(client);
    lblAllPaths = named(new QLabel(QStringLiteral("List of all Paths to be checked"), m_allPathsPanel), "lblAllPaths");
    lstAllPaths = listView(m_allPathsPanel, "lstAllPaths", {QStringLiteral("Path to Backup")});
    SetListViewCheckBoxes(lstAllPaths, false);
    auto* allPathsLayout = new QVBoxLayout(m_allPathsPanel);
    allPathsLayout->setContentsMargins(0, 0, 0, 0);
    allPathsLayout->setSpacing(2);
    allPathsLayout->addWidget(lblAllPaths);
    allPathsLayout->addWidget(lstAllPaths, 1);
    m_allPathsPanel->setFixedWidth(qMax(kAllPathsWidth, lblAllPaths->sizeHint().width()));
    m_allPathsPanel->hide();

    lstXTN = named(new QListWidget(client), "lstXTN");
    lstXTN->hide();

    auto* destGrid = new QGridLayout;
    destGrid->addWidget(destLabel, 0, 0);
    destGrid->addWidget(txtDestDir, 0, 1);
    destGrid->addWidget(cmbDestType, 1, 1);
    destGrid->setColumnStretch(1, 1);
    destGrid->setHorizontalSpacing(8);

    auto* optionsRow = new QHBoxLayout;
    optionsRow->addWidget(chkReplicatePaths);
    optionsRow->addSpacing(16);
    optionsRow->addWidget(chkRecordToPlandel);
    optionsRow->addStretch();

    auto* listsGrid = new QGridLayout;
    listsGrid->addWidget(lstPath, 0, 0);
    listsGrid->addWidget(lvExclude, 0, 1);
    listsGrid->addWidget(cmdEditPathList, 1, 0, Qt::AlignLeft);
    listsGrid->addWidget(cmdEditExcludedDirs, 1, 1, Qt::AlignLeft);
    listsGrid->setColumnStretch(0, 1);
    listsGrid->setColumnStretch(1, 1);

    auto* datesRow = new QHBoxLayout;
    datesRow->addWidget(fromLabel);
    datesRow->addWidget(DTPicker1);
    datesRow->addWidget(toLabel);
    datesRow->addWidget(DTPicker2);
    datesRow->addStretch();
    datesRow->addWidget(cmdGetFileList);
    datesRow->addWidget(cmdStart);

    auto* totalsRow = new QHBoxLayout;
    totalsRow->addWidget(bytesLabel);
    totalsRow->addWidget(lblTotalBytes);
    totalsRow->addWidget(filesLabel);
    totalsRow->addWidget(lblTotalFiles);
    totalsRow->addStretch();
    totalsRow->addWidget(ProgressBarTotal, 1);

    for (QHBoxLayout* row : {optionsRow, datesRow, totalsRow}) row->setSpacing(8);
    auto* upper = new QVBoxLayout;
    upper->setContentsMargins(8, 6, kRightMargin, 4);
    upper->addLayout(destGrid);
    upper->addLayout(optionsRow);
    upper->addLayout(listsGrid);
    upper->addLayout(datesRow);
    upper->addLayout(totalsRow);
    upper->addWidget(frameStatus);

    auto* lower = new QHBoxLayout;
    lower->setContentsMargins(0, 0, 0, 0);
    lower->setSpacing((4230 - 4200) / kTwipsPerPixel);
    lower->addWidget(m_allPathsPanel);
    lower->addWidget(lvwFiles, 1);

    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(upper);
    layout->addLayout(lower, 1);

    // Option controls write their setting on every change, also while loading.
    connect(chkReplicatePaths, &QCheckBox::toggled, this, &frmProgress::chkReplicatePaths_Click);
    connect(chkRecordToPlandel, &QCheckBox::toggled, this, &frmProgress::chkRecordToPlandel_Click);
    connect(cmbDestType, &QComboBox::currentIndexChanged, this, &frmProgress::cmbDestType_Click);
    connect(cmdEditPathList, &QPushButton::clicked, this, &frmProgress::cmdEditPathList_Click);
    connect(cmdEditExcludedDirs, &QPushButton::clicked, this, &frmProgress::cmdEditExcludedDirs_Click);
    connect(cmdGetFileList, &QPushButton::clicked, this, &frmProgress::cmdGetFileList_Click);
    connect(cmdStart, &QPushButton::clicked, this, &frmProgress::cmdStart_Click);

    connect(lstAllPaths, &QTreeWidget::itemClicked, this, &frmProgress::lstAllPaths_Click);
    connect(lstPath, &QTreeWidget::itemClicked, this, &frmProgress::lstPath_Click);
    connect(lvExclude, &QTreeWidget::itemClicked, this, &frmProgress::lvExclude_Click);
    // Rows are added to these lists whole, so a change to a shown row is a tick.
    connect(lstPath, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == 0) lstPath_ItemCheck(item);
    });
    connect(fileList, &FileListModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex&, const QList<int>& roles) {
                if (roles.contains(Qt::CheckStateRole)) lvwFiles_ItemCheck(topLeft.row());
            });
    connect(lvwFiles->header(), &QHeaderView::sectionClicked, this, &frmProgress::lvwFiles_ColumnClick);
    lvwFiles->viewport()->installEventFilter(this);
    // The expanded folder list stands left of the file list: Tab reaches it first.
    QWidget::setTabOrder(lstAllPaths, lvwFiles);
}

void frmProgress::buildMenus() {
    const auto menu = [this](const char* name, const QString& caption) {
        QMenu* m = menuBar()->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    const auto entry = [this](QMenu* m, const char* name, const QString& caption, void (frmProgress::*handler)(),
                              const QKeySequence& key = {}) {
        QAction* a = m->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    const auto separator = [](QMenu* m, const char* name) {
        QAction* a = m->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };

    mnuFile = menu("mnuFile", QStringLiteral("&File"));
    mnuPathsEdit = entry(mnuFile, "mnuPathsEdit", QStringLiteral("&Edit Path List..."),
                         &frmProgress::mnuPathsEdit_Click, QKeySequence(Qt::Key_F3));
    mnuPathDumm1 = separator(mnuFile, "mnuPathDumm1");
    mnuPathDisplay = entry(mnuFile, "mnuPathDisplay", QStringLiteral("&Display List of Files"),
                           &frmProgress::mnuPathDisplay_Click, QKeySequence(Qt::CTRL | Qt::Key_F1));
    mnuPathBackup = entry(mnuFile, "mnuPathBackup", QStringLiteral("&Start the Backup"),
                          &frmProgress::mnuPathBackup_Click, QKeySequence(Qt::CTRL | Qt::Key_F2));
    mnuPathDumm2 = separator(mnuFile, "mnuPathDumm2");
    mnuFileExit = entry(mnuFile, "mnuFileExit", QStringLiteral("E&xit"), &frmProgress::mnuFileExit_Click);

    mnuOpt = menu("mnuOpt", QStringLiteral("&Options"));
    mnuOptSetup = entry(mnuOpt, "mnuOptSetup", QStringLiteral("&Setup Corvex..."), &frmProgress::mnuOptSetup_Click);
    mnuOptDum1 = separator(mnuOpt, "mnuOptDum1");
    mnuOptIgnore = entry(mnuOpt, "mnuOptIgnore", QStringLiteral("&Ignore Error messages when Files cant be copied"),
                         &frmProgress::mnuOptIgnore_Click);
    mnuOptIgnore->setCheckable(true);
    mnuOptDumm1 = separator(mnuOpt, "mnuOptDumm1");
    mnuOptExcludeText =
        entry(mnuOpt, "mnuOptExcludeText", QStringLiteral("&Add wildcard spec to the Excluded pathlist"),
              &frmProgress::mnuOptExcludeText_Click);

    mnuView = menu("mnuView", QStringLiteral("&View"));
    mnuViewPast =
        entry(mnuView, "mnuViewPast", QStringLiteral("&Details of Last Backup"), &frmProgress::mnuViewPast_Click);
    mnuViewLog = entry(mnuView, "mnuViewLog", QStringLiteral("&Log Files"), &frmProgress::mnuViewLog_Click);
    mnuViewDum = separator(mnuView, "mnuViewDum");
    mnuViewShowPaths = entry(mnuView, "mnuViewShowPaths", QStringLiteral("Show All Paths being checked"),
                             &frmProgress::mnuViewShowPaths_Click);
    mnuViewShowPaths->setCheckable(true);

    mnuHelp = menu("mnuHelp", QStringLiteral("&Help"));
    mnuHelpContents = entry(mnuHelp, "mnuHelpContents", QStringLiteral("&Contents"),
                            &frmProgress::mnuHelpContents_Click, QKeySequence(Qt::Key_F1));
    mnuHelpNew =
        entry(mnuHelp, "mnuHelpNew", QStringLiteral("Whats New in version 3.0 ?"), &frmProgress::mnuHelpNew_Click);
    mnuHelpDum1 = separator(mnuHelp, "mnuHelpDum1");
    mnuHelpOther = entry(mnuHelp, "mnuHelpOther", QStringLiteral("Other products from Tamsel Software"),
                         &frmProgress::mnuHelpOther_Click);
    mnuHelpDum3 = separator(mnuHelp, "mnuHelpDum3");
    mnuHelpAbout = entry(mnuHelp, "mnuHelpAbout", QStringLiteral("&About"), &frmProgress::mnuHelpAbout_Click,
                         QKeySequence(Qt::SHIFT | Qt::Key_F1));
}

void frmProgress::Form_Load() {
    if (RunningSilently) hide();
    platform::YieldToWindows();

    const QDateTime now = platform::Now();
    const QString last = ReadIni(IniFile, Section::General, Key::DateOfLastBackup);
    setWindowTitle(last.isEmpty() ? QStringLiteral("Corvex") : "Corvex - last backup was " + last);
    DTPicker1->setDateTime(DateWindowStart(now));
    DTPicker2->setDateTime(now);

    {
        const QSignalBlocker quiet(cmbDestType);
        cmbDestType->clear();
        cmbDestType->addItems(BackupTypeTexts());
        cmbDestType->setCurrentIndex(-1);
    }
    const double type = NumericValue(ReadIni(IniFile, Section::General, Key::BackupType));
    if (type >= 0 && type < cmbDestType->count()) cmbDestType->setCurrentIndex(int(type));

    // A list that cannot be read leaves its folders out of every backup: an
    // error of each run this window starts.
    // A missing excluded list only means that nothing is left out.
    m_listFileErrors = 0;
    m_pathListUnread = false;
    for (const auto& [list, file] : {std::pair{lstPath, PathListFile}, std::pair{lvExclude, ExcludedPathListFile}}) {
        const ListFileLoad read = LoadListFile(list, file, 0);
        if (read == ListFileLoad::Loaded || (read == ListFileLoad::Missing && list == lvExclude)) continue;
        WriteLog("Form_Load : cant read list file " + file, 0);
        ++m_listFileErrors;
        if (list == lstPath) m_pathListUnread = true;
    }
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

// Each list is edited in the path-list editor and then reloaded from its file,
// which OK has rewritten and Cancel has left as it was. A reload does not re-scan.
void frmProgress::cmdEditPathList_Click() {
    EditPathList(this, lstPath, PathListFile, QString::fromLatin1(Key::PathList));
}

void frmProgress::cmdEditExcludedDirs_Click() {
    EditPathList(this, lvExclude, ExcludedPathListFile, QString::fromLatin1(Key::ExcludedPathList));
}

// A refresh asked for while one runs (a tick in the folder list, the menu) is
// remembered, and one more refresh follows when the running one ends, so the
// file list always ends up following the last ticks.
void frmProgress::cmdGetFileList_Click() {
    if (m_starting) return;  // the copy loop is working through the list
    if (m_refreshing) {
        m_refreshAgain = true;
        return;
    }
    m_refreshing = true;
    m_retryRows = false;
    ProgressBarTotal->show();
    cmdGetFileList->setEnabled(false);
    // A start in the middle of a refresh would copy a half-built list.
    cmdStart->setEnabled(false);
    do {
        m_refreshAgain = false;
        // Rows are created ticked; the totals are counted once the list is complete.
        m_scanErrors = m_listFileErrors + ListChangedFiles(DTPicker1->dateTime(), DTPicker2->dateTime(), lstPath,
                                                           lstXTN, fileList, lvExclude, lstAllPaths, true, true,
                                                           ProgressBarTotal, txtDestDir->text(), &m_scan);
        m_scanErrors += AddEarlierFailures(fileList, ListedEntries(lstPath));
        if (m_pathListUnread) NoteUnreadFolderList(m_scan);
    } while (m_refreshAgain);
    m_fileColumns->fitToRows();
    UpdateStatus();
    cmdStart->setEnabled(true);
    cmdGetFileList->setEnabled(true);
    ProgressBarTotal->hide();
    m_refreshing = false;
}

void frmProgress::UpdateStatus() {
    qint64 bytes = 0;
    qint64 files = 0;
    // Rows without a size (read back from failed.txt) count as files without bytes.
    for (const FileListModel::Row& row : fileList->rows()) {
        if (!row.ticked) continue;
        if (row.form == FileListModel::RowForm::Full) bytes += row.size;
        ++files;
    }
    lblTotalBytes->setText(bytes > 0 ? GroupedNumber(bytes) : QStringLiteral("0"));
    lblTotalFiles->setText(files > 0 ? GroupedNumber(files) : QStringLiteral("0"));
}

void frmProgress::cmdStart_Click() {
    // A start copies the rows a refresh made since the last run, or the rows
    // the last start could not copy, and only then is the button enabled: a
    // start on a list no scan filled would move the date window on past files
    // never listed. The menu entry presses the button, so it does nothing
    // while the button is disabled, which it is in the middle of a refresh or
    // of another start.
    if (m_refreshing || m_starting) return;
    const bool keep = chkReplicatePaths->isChecked();
    QString destination = txtDestDir->text();
    // A setting the start cannot save (logged by the write) is an error of
    // the run it starts: the next automatic run would back up elsewhere.
    int settingErrors = 0;
    if (!IsMissingDestination(destination)) {
        if (!destination.endsWith('/')) {
            destination += '/';
            txtDestDir->setText(destination);
        }
        if (!WriteIniChecked(Section::General, Key::BackupTo, destination, IniFile)) ++settingErrors;
        if (!WriteIniChecked(Section::General, Key::BackupType, QString::number(cmbDestType->currentIndex()), IniFile))
            ++settingErrors;
    }
    ProgressBarTotal->show();
    // The copy loop lets window events run; a second start or a refresh meanwhile
    // would run over the list being copied.
    cmdStart->setEnabled(false);
    cmdGetFileList->setEnabled(false);
    // The copy loop walks its own copy of the rows while window events run;
    // a tick in the folder list would still refresh, and so empty, the list
    // being copied under the user's eyes, and a column click would reorder it
    // (both wait until the copy is over).
    lstPath->setEnabled(false);
    m_starting = true;
    const StatusControls status = statusControls();
    // The rows of a retry were listed by the run before, which stored its
    // date: a retry that stored its own would pass over what changed since
    // that run's list was made.
    const bool storeDate = !m_retryRows;
    const BackupOutcome outcome =
        BackupIntoDestination(fileList, destination, cmbDestType->currentIndex(), keep ? 1 : 0, &status,
                              m_scanErrors + settingErrors, ListedEntries(lstPath), m_scan, storeDate);
    if (outcome.ran)
        for (int i = 0; i < 5; ++i) platform::YieldToWindows();
    m_starting = false;
    lstPath->setEnabled(true);
    ProgressBarTotal->hide();
    cmdGetFileList->setEnabled(true);
    if (!outcome.ran) {
        // Nothing was copied (the user has been told why, or no type is
        // chosen): the list, its totals and the date window stay, so a start
        // after mending the destination still covers every file.
        cmdStart->setEnabled(true);
        return;
    }

    // The errors of the refresh belong to the run that has been made. Start
    // stays disabled until the next refresh has listed what changed since,
    // unless the rows that could not be copied come back for another try.
    m_scanErrors = 0;
    m_scan = {};
    m_retryRows = false;
    fileList->clear();
    lblTotalBytes->setText(QStringLiteral("0"));
    lblTotalFiles->setText(QStringLiteral("0"));
    DTPicker1->setDateTime(DateWindowStart(platform::Now()));
    setWindowTitle("Corvex - last backup was " + ReadIni(IniFile, Section::General, Key::DateOfLastBackup));

    if (outcome.failedCopies > 0) {
        LoadFileToListBox(lvwFiles, platform::ProgramFolder() + "/failed.txt", 1);
        m_retryRows = fileList->count() > 0;
        m_fileColumns->fitToRows();
        cmdStart->setEnabled(m_retryRows);
        WriteLog(QString::number(outcome.failedCopies) +
                     " files could not be copied - they are back in the list for another start",
                 0);
        platform::MsgBox(QStringLiteral("the files remaining in the list box could not be copied.\r\n"
                                        "You can close the application using them and click 'Start Backup' again "
                                        "to try again"),
                         platform::Buttons::OK, platform::Icon::Information,
                         QStringLiteral("Error - some files were in use"));
    }
}

void frmProgress::lstAllPaths_Click() { showSelectedRowAsToolTip(lstAllPaths); }
void frmProgress::lstPath_Click() { showSelectedRowAsToolTip(lstPath); }
void frmProgress::lvExclude_Click() { showSelectedRowAsToolTip(lvExclude); }

void frmProgress::lstPath_ItemCheck(QTreeWidgetItem* /*item*/) {
    if (m_refreshing) {
        m_refreshAgain = true;
        return;
    }
    platform::YieldToWindows();
    cmdGetFileList_Click();
}

// The totals follow every tick. Ticks come in bursts (a run ticks every row it
// lists), so the count runs once the burst is over, not once per row.
void frmProgress::lvwFiles_ItemCheck(int /*row*/) {
    if (m_statusPending) return;
    m_statusPending = true;
    QTimer::singleShot(0, this, [this] {
        m_statusPending = false;
        UpdateStatus();
    });
}

// Each click sorts by the clicked column (sizes by number, times by time,
// texts without case), in the order opposite to the last click's; the list
// starts ascending, so the first click sorts descending.
void frmProgress::lvwFiles_ColumnClick(int column) {
    if (m_starting) return;  // the copy loop walks the rows in their order
    m_sortDescending = !m_sortDescending;
    const Qt::SortOrder order = m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder;
    // The rows are sorted in the model itself, so the copy loop walks them in
    // the order shown. A refresh under way sorts by this column when it ends.
    fileList->sort(column, order);
    lvwFiles->header()->setSortIndicator(column, order);
}

void frmProgress::lvwFiles_DblClick() {
    const QModelIndexList selected = lvwFiles->selectionModel()->selectedRows(0);
    LaunchFile(selected.isEmpty() ? QString() : fileList->row(selected.first().row()).path, false, QString());
}

void frmProgress::mnuPathsEdit_Click() { cmdEditPathList_Click(); }
void frmProgress::mnuPathDisplay_Click() { cmdGetFileList_Click(); }
void frmProgress::mnuPathBackup_Click() { cmdStart->click(); }
void frmProgress::mnuFileExit_Click() { Form_Unload(); }

void frmProgress::mnuOptSetup_Click() {
    // A failed start has been reported by LaunchFile; the program ends either way.
    LaunchFile(SettingsProgramPath(), false, QString());
    platform::EndProgram();
}

void frmProgress::mnuOptIgnore_Click() {
    WriteIni(Section::General, Key::IgnoreFailedFileCopies,
             mnuOptIgnore->isChecked() ? QStringLiteral("1") : QStringLiteral("0"), IniFile);
}

void frmProgress::mnuOptExcludeText_Click() {
    const QString text =
        platform::InputBox(kExcludePrompt, QStringLiteral("Adding Text to be Excluded"), QStringLiteral("/backup/"));
    if (text.isEmpty()) return;
    AddListRow(lvExclude, text);
    SaveListboxToFile(lvExclude, ExcludedPathListFile, platform::LinkRule::SaveThrough);
}

void frmProgress::mnuViewPast_Click() { ShowLastBackupWindow(); }
void frmProgress::mnuViewLog_Click() { ShowLogViewer(); }

void frmProgress::mnuViewShowPaths_Click() {
    // The layout moves the file list beside the expanded list and back, to the
    // right edge either way.
    m_allPathsPanel->setVisible(mnuViewShowPaths->isChecked());
}

void frmProgress::mnuHelpContents_Click() {
    LaunchFile(platform::ProgramFolder() + QStringLiteral("/corvex.html"), false, QString());
}

void frmProgress::mnuHelpNew_Click() {
    platform::MsgBox(kNewFeatures, platform::Buttons::OK, platform::Icon::None,
                     QStringLiteral("New Features in version 3.0"));
}

void frmProgress::mnuHelpOther_Click() { ShowTamselShowCase(this); }
void frmProgress::mnuHelpAbout_Click() { ShowAboutCorvex(this); }

void frmProgress::Form_Unload() { platform::EndProgram(); }

void frmProgress::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    Form_Unload();
}

// Enter works as in a dialog: a focused button takes it itself, and anywhere
// else it presses the window's default button, "1. Refresh List".
void frmProgress::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        if (cmdGetFileList->isEnabled()) cmdGetFileList->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool frmProgress::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lvwFiles->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // The press before it has selected the row under the pointer.
        lvwFiles_DblClick();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

BackupParameters frmProgress::backupParameters() const {
    return {DTPicker1, DTPicker2,  lstPath,     lstXTN,           fileList,
            lvExclude, txtDestDir, lstAllPaths, m_listFileErrors, m_pathListUnread};
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
