#include "backup/frmLastBackup.h"

#include "backup/BackupFolder.h"
#include "backup/frmFileCompare.h"
#include "foundation/ElidedText.h"
#include "foundation/EscapeCloses.h"
#include "foundation/IniFile.h"
#include "foundation/ListFiles.h"
#include "foundation/NamedWidget.h"
#include "foundation/PathHelpers.h"
#include "foundation/ProgramValues.h"
#include "foundation/SettingValue.h"
#include "foundation/SettingsKeys.h"
#include "foundation/ShellLauncher.h"
#include "platform/SystemInfo.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel* plainLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = named(new QLabel(text, parent), name);
    label->setTextFormat(Qt::PlainText);
    return label;
}
}  // namespace

frmLastBackup::frmLastBackup(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmLastBackup"));
    setWindowTitle(QStringLiteral("Details of Last Backup"));

    // The buttons at the upper right come first for Tab: the controls are made
    // in the order the eye reads them.
    Command1 = named(new QPushButton(QStringLiteral("Open with Explorer"), this), QStringLiteral("Command1"));
    cmdCancel = named(new QPushButton(QStringLiteral("Close this Window"), this), QStringLiteral("cmdCancel"));
    lbl[0] = plainLabel(QStringLiteral("lbl_0"), QStringLiteral("Last Backup was to the folder"), this);
    // A long destination is shortened in the middle and never widens the window.
    lblFolder = named(new ElidedLabel(QStringLiteral("/home/anna/Backup/"), this), QStringLiteral("lblFolder"));
    QFont bold = lblFolder->font();
    bold.setBold(true);
    lblFolder->setFont(bold);
    lbl[2] = plainLabel(QStringLiteral("lbl_2"), QStringLiteral("Backup Type was"), this);
    txtType = named(new QLineEdit(QStringLiteral("0"), this), QStringLiteral("txtType"));
    txtType->setMaximumWidth(txtType->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
    lblType = plainLabel(QStringLiteral("lblType"), QStringLiteral("All Files into the above directory"), this);
    lbl[1] = plainLabel(QStringLiteral("lbl_1"), QStringLiteral("List of Files backed up in Last Backup"), this);
    lstFiles = named(new QListWidget(this), QStringLiteral("lstFiles"));
    lstFiles->setMinimumHeight(lstFiles->fontMetrics().lineSpacing() * 6);
    ElideRowsInTheMiddle(lstFiles);

    // Header lines on the left, the two buttons at the upper right, each
    // beside a header line (so Tab reads them before the lines below); the
    // list takes the rest of the window.
    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(lbl[2]);
    typeRow->addWidget(txtType);
    typeRow->addWidget(lblType, 1);
    auto* top = new QGridLayout;
    top->addWidget(lbl[0], 0, 0);
    top->addWidget(Command1, 0, 1);
    top->addWidget(lblFolder, 1, 0);
    top->addWidget(cmdCancel, 1, 1);
    top->addLayout(typeRow, 2, 0, 1, 2);
    top->setColumnStretch(0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 3, 3);
    layout->addLayout(top);
    layout->addWidget(lbl[1]);
    layout->addWidget(lstFiles, 1);
    resize(sizeHint().expandedTo(QSize(560, 420)));

    connect(Command1, &QPushButton::clicked, this, &frmLastBackup::Command1_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLastBackup::cmdCancel_Click);
    CloseOnEscape(this, cmdCancel);
    connect(lstFiles, &QListWidget::itemClicked, this, &frmLastBackup::lstFiles_Click);
    connect(lstFiles, &QListWidget::itemActivated, this, &frmLastBackup::lstFiles_Click);
}

void frmLastBackup::Form_Load() {
    // The values the last run used, unless they were changed since.
    lblFolder->setText(ReadIni(IniFile, Section::General, Key::BackupTo));
    lblFolder->setToolTip(lblFolder->text());
    txtType->setText(QString::number(NumericValue16(ReadIni(IniFile, Section::General, Key::BackupType))));
    m_keepPaths = NumericValue16(ReadIni(IniFile, Section::General, Key::KeepPaths)) == 1 ? 1 : 0;
    lbl[1]->setText("List of Files last backed up on " + ReadIni(IniFile, Section::General, Key::DateOfLastBackup));
    m_backupTime = LastBackupTime();
    lblType->setText(BackupTypeName(NumericValue16(txtType->text())));
    lstFiles->clear();
    LoadFileToListBox(lstFiles, platform::ProgramFolder() + "/copied.txt", 1);
}

void frmLastBackup::Command1_Click() { LaunchFile(lblFolder->text()); }

void frmLastBackup::cmdCancel_Click() { close(); }

void frmLastBackup::lstFiles_Click() {
    const QListWidgetItem* item = lstFiles->currentItem();
    if (!item) return;
    QString base = lblFolder->text();
    const int type = NumericValue16(txtType->text());
    // The folder the last run put its copies in, named for that run's time.
    QString folder = base.trimmed().isEmpty() ? QString() : MakeBackupFolderName(base, type, false, m_backupTime);
    const QString source = item->text();
    QString copyPath;
    if (!folder.isEmpty() && source.contains('/')) {
        if (m_keepPaths == 1) folder = KeepPathFolder(folder, GetFolderFromPath(source));
        copyPath = JoinPath(folder, GetFileNameFromPath(source));
    }

    frmFileCompare* finder = TheFileCompareForm();
    finder->txtOrigFile->setText(source);
    finder->txtDestFile->setText(copyPath);
    finder->lblRootPath->setText(lblFolder->text());
    finder->BackupTime = m_backupTime;
    finder->RefreshFileInfo();
    finder->cmdRestore->setEnabled(false);
    finder->show();
    finder->raise();
    finder->chkFindAll->setChecked(false);
    finder->GetBackupFiles_Quick();
}

frmLastBackup* ShowLastBackupWindow() {
    static QPointer<frmLastBackup> form;
    if (!form) {
        form = new frmLastBackup;
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->Form_Load();
    }
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}
