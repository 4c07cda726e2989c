#pragma once
// The last-backup window: the destination, backup type and date of the last
// backup and the files it copied. A click on a file works out where its copy
// lies and opens the backup-copy finder on it.
#include <QDateTime>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmLastBackup : public QWidget {
    Q_OBJECT
public:
    explicit frmLastBackup(QWidget* parent = nullptr);

    QLabel* lbl[3] = {};  // 0 and 2 fixed texts, 1 the heading of the list
    QLabel* lblFolder = nullptr;
    QLineEdit* txtType = nullptr;
    QLabel* lblType = nullptr;
    QListWidget* lstFiles = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Reads destination, type, keep-paths and the last backup's time from the
    // settings file and the copied files from copied.txt.
    void Form_Load();
    void Command1_Click();
    void cmdCancel_Click();
    void lstFiles_Click();

private:
    int m_keepPaths = 0;
    QDateTime m_backupTime;  // the last run's, or the clock's when none is stored
};

// Shows the window, created and loaded on first use; a window already open is
// brought forward unchanged. For the main window's View menu.
frmLastBackup* ShowLastBackupWindow();
