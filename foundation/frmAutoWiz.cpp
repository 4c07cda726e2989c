#include "foundation/frmAutoWiz.h"

#include "platform/Dialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmAutoWiz::frmAutoWiz(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAutoWiz"));
    setWindowTitle(QStringLiteral("PathList Wizard"));
    setModal(true);

    Frame1 = new QGroupBox(QStringLiteral("How do you want to handle the folder selection"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    optWiz[1] = new QRadioButton(QStringLiteral("I will manually pick the folders from a list"), Frame1);
    optWiz[1]->setObjectName(QStringLiteral("optWiz_1"));
    optWiz[0] = new QRadioButton(
        QStringLiteral("Scan my hard drive for recently used files and make a  folder list based on where I have "
                       "modified files"),
        Frame1);
    optWiz[0]->setObjectName(QStringLiteral("optWiz_0"));
    auto* options = new QVBoxLayout(Frame1);
    options->addWidget(optWiz[1]);
    options->addWidget(optWiz[0]);

    cmdNext = new QPushButton(QStringLiteral("Next ->"), this);
    cmdNext->setObjectName(QStringLiteral("cmdNext"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdNext);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);

    connect(cmdNext, &QPushButton::clicked, this, &frmAutoWiz::cmdNext_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAutoWiz::cmdCancel_Click);
}

void frmAutoWiz::cmdNext_Click() {
    if (optWiz[1]->isChecked()) {
        platform::MsgBox(QStringLiteral("Edit path list..."));
        close();
    } else if (optWiz[0]->isChecked()) {
        AutoScanHardDriveForUsedFolders();
        close();
    }
}

void frmAutoWiz::cmdCancel_Click() { close(); }

void frmAutoWiz::AutoScanHardDriveForUsedFolders() { platform::MsgBox(QStringLiteral("Scanning folders...")); }
