#pragma once
// The backup program's main window: the manual front end, and the holder of
// every automatic run's parameters. Its load fills every control from the
// settings and list files, also while the window stays hidden for a silent run.
#include "backup/BackupParameters.h"
#include "backup/StatusControls.h"
#include "foundation/ChangedFileScan.h"

#include <QMainWindow>

class QAction;
class QCheckBox;
class QCloseEvent;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class FileListColumns;
class FileListModel;

class frmProgress : public QMainWindow {
    Q_OBJECT
public:
    explicit frmProgress(QWidget* parent = nullptr);

    // Fills the window from the settings; shows it unless RunningSilently is set.
    void Form_Load();
    // Recomputes the totals of the ticked rows of lvwFiles.
    void UpdateStatus();

    // The controls an automatic run takes its parameters from.
    BackupParameters backupParameters() const;
    // The controls the copy loop reports in (frameStatus stays hidden here).
    StatusControls statusControls() const;

    QLineEdit* txtDestDir = nullptr;
    QComboBox* cmbDestType = nullptr;
    QCheckBox* chkReplicatePaths = nullptr;
    QCheckBox* chkRecordToPlandel = nullptr;
    QDateEdit* DTPicker1 = nullptr;
    QDateEdit* DTPicker2 = nullptr;
    QTreeWidget* lstPath = nullptr;
    QTreeWidget* lvExclude = nullptr;
    QPushButton* cmdEditPathList = nullptr;
    QPushButton* cmdEditExcludedDirs = nullptr;
    QTreeView* lvwFiles = nullptr;
    FileListModel* fileList = nullptr;  // the rows lvwFiles shows
    QTreeWidget* lstAllPaths = nullptr;
    QLabel* lblAllPaths = nullptr;  // the heading of lstAllPaths, shown with it
    QListWidget* lstXTN = nullptr;
    QProgressBar* ProgressBarTotal = nullptr;
    QLabel* lblTotalBytes = nullptr;
    QLabel* lblTotalFiles = nullptr;
    QPushButton* cmdGetFileList = nullptr;
    QPushButton* cmdStart = nullptr;
    QGroupBox* frameStatus = nullptr;
    QLabel* lblFile = nullptr;
    QProgressBar* ProgressBarCurrent = nullptr;

    // The menu bar. Separators are actions of their own, named as entries.
    QMenu* mnuFile = nullptr;
    QAction* mnuPathsEdit = nullptr;
    QAction* mnuPathDumm1 = nullptr;
    QAction* mnuPathDisplay = nullptr;
    QAction* mnuPathBackup = nullptr;
    QAction* mnuPathDumm2 = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuOpt = nullptr;
    QAction* mnuOptSetup = nullptr;
    QAction* mnuOptDum1 = nullptr;
    // A check-mark entry holding [general] IgnoreFailedFileCopies as last loaded or written.
    QAction* mnuOptIgnore = nullptr;
    QAction* mnuOptDumm1 = nullptr;
    QAction* mnuOptExcludeText = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuViewPast = nullptr;
    QAction* mnuViewLog = nullptr;
    QAction* mnuViewDum = nullptr;
    // A check-mark entry: whether lstAllPaths is shown.
    QAction* mnuViewShowPaths = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* mnuHelpNew = nullptr;
    QAction* mnuHelpDum1 = nullptr;
    QAction* mnuHelpOther = nullptr;
    QAction* mnuHelpDum3 = nullptr;
    QAction* mnuHelpAbout = nullptr;

public Q_SLOTS:
    void chkReplicatePaths_Click();
    void chkRecordToPlandel_Click();
    void cmbDestType_Click();
    void cmdEditPathList_Click();
    void cmdEditExcludedDirs_Click();
    void cmdGetFileList_Click();
    void cmdStart_Click();

    // List events.
    void lstAllPaths_Click();
    void lstPath_Click();
    void lvExclude_Click();
    void lstPath_ItemCheck(QTreeWidgetItem* item);
    void lvwFiles_ItemCheck(int row);
    void lvwFiles_ColumnClick(int column);
    void lvwFiles_DblClick();

    // Menu entries. The two check-mark entries have toggled their mark when
    // their handler runs.
    void mnuPathsEdit_Click();
    void mnuPathDisplay_Click();
    void mnuPathBackup_Click();
    void mnuFileExit_Click();
    void mnuOptSetup_Click();
    void mnuOptIgnore_Click();
    void mnuOptExcludeText_Click();
    void mnuViewPast_Click();
    void mnuViewLog_Click();
    void mnuViewShowPaths_Click();
    void mnuHelpContents_Click();
    void mnuHelpNew_Click();
    void mnuHelpOther_Click();
    void mnuHelpAbout_Click();

    // Closing the window ends the program, with every window it has open.
    void Form_Unload();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();

    FileListColumns* m_fileColumns = nullptr;  // lays out lvwFiles' columns

    QWidget* m_allPathsPanel = nullptr;  // lblAllPaths above lstAllPaths
    bool m_refreshing = false;           // a refresh is running
    bool m_refreshAgain = false;         // asked for while it ran: one more follows
    bool m_starting = false;             // a backup started here is copying
    bool m_retryRows = false;            // the list holds the rows the last start could not copy
    bool m_statusPending = false;        // a recount of the totals is on its way
    bool m_sortDescending = false;       // the order of the file list's last column click

    int m_listFileErrors = 0;  // list files the load could not read
    bool m_pathListUnread = false;  // the folder list among them
    int m_scanErrors = 0;      // the errors of the last refresh, list files included
    ScanReport m_scan;         // the last refresh's start and the listed folders it missed
};

// The main window, created and loaded on first use (hidden while
// RunningSilently is set). Lives until the program ends.
frmProgress* TheProgressForm();
