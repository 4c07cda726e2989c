#pragma once
// The path-list wizard: asks how the folder list should be made. Neither
// choice changes any list; each only shows a message. No menu opens it.
#include <QDialog>

class QGroupBox;
class QPushButton;
class QRadioButton;

class frmAutoWiz : public QDialog {
    Q_OBJECT
public:
    explicit frmAutoWiz(QWidget* parent = nullptr);

    QGroupBox* Frame1 = nullptr;
    // Element 0: scan the disk; element 1: pick the folders by hand.
    QRadioButton* optWiz[2] = {nullptr, nullptr};
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdCancel = nullptr;

    void cmdNext_Click();
    void cmdCancel_Click();
    void AutoScanHardDriveForUsedFolders();
};
