#pragma once
// The path-list editor: the user edits one folder list (the folders to back
// up, or the excluded folders) by picking folders on the left and adding them
// to the list on the right. OK saves the list to its file and records the
// file's name in the settings under the key that names the mode.
//
// Callers drive it as EditPathList does: construct it (which runs its load),
// set txtSaveAs to their list file, set the mode, copy their list view into
// lstPathList, hide txtSaveAs and Label1, show it modally, then reload their
// list view from the list file whatever the user pressed.
#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class QTreeWidget;

class frmSetupPathList : public QDialog {
    Q_OBJECT
public:
    explicit frmSetupPathList(QWidget* parent = nullptr);

    QComboBox* Drive1 = nullptr;        // the drives
    QTreeWidget* Dir1 = nullptr;        // the open folder's parent chain, then its subfolders
    QLabel* lblFullPath = nullptr;      // the open folder, which ">" adds
    QListWidget* File1 = nullptr;       // the open folder's files, to look at only
    QPushButton* cmdAddPath = nullptr;  // ">"
    QPushButton* Command1 = nullptr;    // "<"
    QPushButton* cmdHelp = nullptr;     // "?"
    QToolButton* cmdNetPath = nullptr;  // adds a network folder
    QLabel* Label2 = nullptr;
    QListWidget* lstPathList = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtSaveAs = nullptr;
    // Never shown: its text is the mode, "pathlist" or "ExcludedPathlist"
    // (Key::PathList, Key::ExcludedPathList), which is also the settings key
    // that OK writes. Any mode but the excluded list's edits a folder list.
    QLabel* lblIniEntry = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The mode (the text of lblIniEntry).
    QString Mode() const;
    void SetMode(const QString& mode);

    // The folder open in Dir1: absolute, without a trailing "/" except "/".
    QString CurrentFolder() const { return m_folder; }
    // Opens folder in Dir1 and lets the label and file list follow. A folder
    // that does not exist or cannot be read leaves everything as it was and
    // returns false.
    bool OpenFolder(const QString& folder);

    void Form_Load();
    void Drive1_Change();
    void Dir1_Click();
    void cmdAddPath_Click();
    void Command1_Click();
    void lstPathList_Click();
    void lstPathList_DblClick();
    void cmdNetPath_Click();
    void cmdHelp_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Tests act on the shown window through this hook; empty removes it.
    static void SetShownHook(std::function<void(frmSetupPathList&)> hook);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Space on an entry of the list toggles all its subfolders.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The close box: closes without saving and leaves SelectedFolder alone.
    void reject() override;

private:
    void fillDrives();
    void showDriveOf(const QString& folder);
    QString m_folder;
    bool m_hookRun = false;
};

// The help text of "?": the steps that end with "3. Click Ok" while the
// file-name box is hidden, and with a step for the file name and "4. Click Ok"
// while it is shown.
QString PathListHelpText(bool fileNameShown);

// The callers' protocol: edits the list held in callerList (a list view) in
// the given mode, with listFile as the list's file, and afterwards reloads
// callerList from listFile. After Cancel the file, and so the list, is unchanged.
void EditPathList(QWidget* parent, QTreeWidget* callerList, const QString& listFile, const QString& mode);
