#pragma once
// The backup program's main window: the manual front end, and the holder of
// every automatic run's parameters. Its load fills every control from the
// settings and list files, also while the window stays hidden for a silent run.
#include "backup/BackupParameters.h"
#include "backup/StatusControls.h"

#include <QMainWindow>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;

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
    QTreeWidget* lvwFiles = nullptr;
    QTreeWidget* lstAllPaths = nullptr;
    QListWidget* lstXTN = nullptr;
    QProgressBar* ProgressBarTotal = nullptr;
    QLabel* lblTotalBytes = nullptr;
    QLabel* lblTotalFiles = nullptr;
    QPushButton* cmdGetFileList = nullptr;
    QPushButton* cmdStart = nullptr;
    QGroupBox* frameStatus = nullptr;
    QLabel* lblFile = nullptr;
    QProgressBar* ProgressBarCurrent = nullptr;
    // A check-mark action holding [general] IgnoreFailedFileCopies as loaded.
    QAction* mnuOptIgnore = nullptr;

public Q_SLOTS:
    void chkReplicatePaths_Click();
    void chkRecordToPlandel_Click();
    void cmbDestType_Click();
    void cmdEditPathList_Click();
    void cmdEditExcludedDirs_Click();
    void cmdGetFileList_Click();
    void cmdStart_Click();

private:
    void buildControls();
};

// The main window, created and loaded on first use (hidden while
// RunningSilently is set). Lives until the program ends.
frmProgress* TheProgressForm();

// The text of the eight backup types, by type number.
QStringList BackupTypeTexts();
