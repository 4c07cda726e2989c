#pragma once
// The start-up window: shows what the automatic backup will cover, counts down
// and then runs the backup with itself as the status window, and ends the
// program. Its buttons pause the count, open the main window or the settings
// program, or quit. Closing it ends the whole program.
#include "backup/StatusControls.h"

#include <QWidget>

class QFrame;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;

class frmStartup : public QWidget {
    Q_OBJECT
public:
    explicit frmStartup(QWidget* parent = nullptr);

    // Label array: 0 heading, 1 "to the folder", 2 "Backup will start in",
    // 4 the countdown number, 5 "seconds". Element 3 does not exist.
    QLabel* Label1[6] = {};
    QLabel* lblLastBackup = nullptr;
    QLabel* lblDest = nullptr;
    QLabel* Label2 = nullptr;
    QTreeWidget* lvPaths = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* imageGo = nullptr;
    QLabel* imageStop = nullptr;
    QPushButton* cmdConfig = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command1 = nullptr;
    QGroupBox* frameStatus = nullptr;
    QProgressBar* ProgressBarCurrent = nullptr;
    QProgressBar* ProgressBarTotal = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblFile = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* timerPreload = nullptr;
    QFrame* Line1 = nullptr;

    // Fills the window from the settings and starts the countdown. Returns
    // false when no destination is set: the welcome message has then handed
    // over to the settings program and ended the program.
    bool Form_Load();

    // The controls the backup run reports in.
    StatusControls statusControls() const;

    void Timer1_Timer();
    void timerPreload_Timer();
    void imageGo_Click();
    void imageStop_Click();
    void Command1_Click();
    void Command2_Click();
    void cmdConfig_Click();
    void lblDest_DblClick();
    void lblLastBackup_DblClick();
    void lvPaths_DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void startSettingsProgramAndEnd();
};

// The countdown delay of a startupDelay setting: its numeric value, limited
// to 3..99 (values beyond a 16-bit integer count as beyond the limits).
int StartupDelayFromSetting(const QString& value);

// A whole number as the countdown shows it after a tick: a blank before zero
// and positive numbers, a minus sign before negative ones (" 21", " 0", "-1").
QString SignPlaceNumber(int value);
