#pragma once
// The backup-copy finder: sets an original file beside its backup copy (sizes
// and times of both), lists the places below the destination folder where a
// copy of the file lies, and restores the chosen copy over the original.
// Filled by the last-backup window, which sets txtOrigFile, txtDestFile,
// lblRootPath and BackupTime, then calls RefreshFileInfo and
// GetBackupFiles_Quick.
#include "foundation/ElidedText.h"

#include <QDateTime>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

class frmFileCompare : public QWidget {
    Q_OBJECT
public:
    explicit frmFileCompare(QWidget* parent = nullptr);

    // Working fields, never shown: the original file, the copy the last
    // backup made of it, the root of every search and the find-all list.
    QGroupBox* frameHidden = nullptr;
    QLineEdit* txtOrigFile = nullptr;
    QLineEdit* txtDestFile = nullptr;
    QLabel* lblRootPath = nullptr;
    QListWidget* lstBk = nullptr;
    // The time the quick search forms dated folder names for: the last run's.
    // Invalid means the clock's time.
    QDateTime BackupTime;

    ElidedLabel* lblFilename = nullptr;  // the name, shortened in the middle where it does not fit
    QGroupBox* frameSource = nullptr;
    QLineEdit* lblSourcePath = nullptr;
    QLabel* Label1[8] = {};  // headings: 0..3 original, 4..7 copy
    QLabel* lblOrigSize = nullptr;
    QLabel* Label3[6] = {};  // times: 0..2 original, 3..5 copy (modified, created, accessed)
    QCheckBox* chkFindAll = nullptr;
    QGroupBox* frameDest = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QTreeWidget* lvwFiles = nullptr;
    QLineEdit* lblDestPath = nullptr;
    QLabel* lblBackupSize = nullptr;

    // Shows name, folders, sizes and times of the original and the copy.
    void RefreshFileInfo();
    // Lists the copies in the places the eight backup types put them, each
    // flat and with the source folders kept.
    void GetBackupFiles_Quick();
    // Lists the copies in every folder at or below the root.
    void GetBackupFiles();

    void Form_Load();
    void chkFindAll_Click();
    void lvwFiles_Click();
    void cmdRestore_Click();
    void Command1_Click();
    void Command3_Click();
    void Command4_Click();
    void lstBk_Click();

private:
    // Adds a row for folder/fileName when a regular file lies there that is
    // visible, or hidden as the original is.
    void AddBackupFileToList(QTreeWidget* list, QString folder, QString fileName, const QString& typeText);
    QString copyFileName() const;
};

// The finder, created on first use; it stays until its window is closed.
frmFileCompare* TheFileCompareForm();
