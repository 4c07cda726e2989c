#pragma once
// The options dialog: every backup setting in three steps (how the backup
// program runs, what kind of backup it makes, which folders it backs up).
// OK checks the entries (a destination of blanks alone counts as empty) and
// writes them all to the settings file in one save; the two folder
// lists are saved by the path-list editor itself.
#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class frmCorvexProOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmCorvexProOptions(QWidget* parent = nullptr);

    QGroupBox* Frame3 = nullptr;
    QCheckBox* chkRunSilent = nullptr;
    QCheckBox* chkLogUsage = nullptr;
    QLineEdit* txtDataPath = nullptr;
    QPushButton* cmdBrowsePlandelDir = nullptr;
    QGroupBox* Frame2 = nullptr;
    QCheckBox* chkReplicatePaths = nullptr;
    QLabel* Label2[2] = {nullptr, nullptr};  // "Type of Backup is:", "Base Backup directory is:"
    QComboBox* cmbDestType = nullptr;
    QLineEdit* txtDestDir = nullptr;
    QPushButton* cmdBrowseDestDir = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPushButton* cmdAutoscan = nullptr;
    QPushButton* cmdEditPathList = nullptr;
    QTreeWidget* lstPath = nullptr;
    QPushButton* cmdEditExcludedDirs = nullptr;
    QTreeWidget* lvExclude = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

    void Form_Load();
    void chkLogUsage_Click();
    void cmdBrowseDestDir_Click();
    void cmdBrowsePlandelDir_Click();
    void cmdEditPathList_Click();
    void cmdEditExcludedDirs_Click();
    void cmdAutoscan_Click();
    void cmdHelp_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Tests act on the shown window through this hook; empty removes it.
    static void SetShownHook(std::function<void(frmCorvexProOptions&)> hook);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The values OK writes, in their order, in one save of the settings
    // file; false when it could not be written (it then holds what it held).
    bool writeSettings();
    bool m_hookRun = false;
};

// Ticks box when the setting, trimmed and upper-cased, is "1" or begins with
// "T" or "Y"; unticks it otherwise.
void ReadIniCheckBox(const QString& section, const QString& key, QCheckBox* box);
