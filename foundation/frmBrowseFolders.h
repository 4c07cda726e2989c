#pragma once
// The folder picker: a tree of the machine's drives and their folders, filled
// one level per click. The start folder comes in, and the chosen folder goes
// out, through SelectedFolder (foundation/ProgramValues.h): OK gives the
// chosen folder, Cancel "", and the close box leaves the start folder there.
#include "platform/Drives.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// What each tree node carries besides its text.
enum BrowseNodeRole {
    // "Root"; for a drive or folder its drive's number, ":", its folder path
    // with a trailing "/", then "Dir" ("1:/home/anna/Dir"). The number keeps
    // keys unique where one folder is reached from two drives (nested mounts).
    NodeKeyRole = Qt::UserRole,
    NodeFolderRole,  // the node's folder with a trailing "/" ("" for the root)
    NodeImageRole,   // the node's image number (1 to 9, 0 for none)
};

class frmBrowseFolders : public QDialog {
    Q_OBJECT
public:
    explicit frmBrowseFolders(QWidget* parent = nullptr);

    QTreeWidget* tvwControl = nullptr;
    QLabel* lblFullPath = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Form_Load();
    void tvwControl_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Tests act on the shown window through this hook; empty removes it.
    static void SetShownHook(std::function<void(frmBrowseFolders&)> hook);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The close box: the window closes and SelectedFolder stays as it was.
    void reject() override;

private:
    void BuildDriveTree();
    void showFolderOf(const QTreeWidgetItem* node);
    bool m_hookRun = false;
};

// The picker's image for a drive of the given kind: 3 fixed, 4 CD-ROM,
// 5 removable, 6 network, 7 RAM disk, 1 unknown or no root folder.
int GetDriveImageIndex(platform::DriveType type);

// The icon of an image number of the picker: 1 computer, 2 floppy, 3 fixed
// disk, 4 CD-ROM, 5 removable, 6 network, 7 RAM disk, 8 folder (shown open
// while selected); any other number gives no icon.
QIcon BrowseImage(int index);

// Adds the subfolders of the node's folder as its children, in the order the
// folder listing gives them, hidden folders and links to folders included,
// and leaves the node collapsed. A folder that cannot be read adds nothing.
void LoadSubFolders(QTreeWidget* tree, QTreeWidgetItem* node);
