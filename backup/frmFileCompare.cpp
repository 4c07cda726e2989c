#include "backup/frmFileCompare.h"

#include "backup/BackupFolder.h"
#include "foundation/BackupTypeTexts.h"
#include "foundation/ElidedText.h"
#include "foundation/EscapeCloses.h"
#include "foundation/FolderWalk.h"
#include "foundation/Logging.h"
#include "foundation/NamedWidget.h"
#include "foundation/NumberText.h"
#include "foundation/PathHelpers.h"
#include "foundation/ShellLauncher.h"
#include "foundation/clsFileProp.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "platform/FileCopy.h"
#include "platform/FileStatus.h"
#include "platform/Pointer.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kTypeTextRole = Qt::UserRole;      // the row's tag: where the quick search found it
constexpr int kCopyPathRole = Qt::UserRole + 1;  // the copy's full path
const QString kNoSize = QStringLiteral("0 Bytes");

QLabel* valueLabel(const QString& name, QWidget* parent) {
    auto* label = named(new QLabel(kNoSize, parent), name);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return label;
}

// A path box shows the start and the end of its path, which tell two copies
// apart, and the whole path as its tool tip.
QLineEdit* pathBox(const QString& name, QWidget* parent) { return named(new ElidedPathBox(parent), name); }

// Size ("###,###,###") and last-modified time of a file into two fields. A
// file that cannot be read shows the fields' empty state, so that nothing of
// a file shown earlier stays beside this one.
void showSizeAndTime(const QString& path, QLabel* size, QLabel* modified) {
    const platform::FileStatus status = platform::GetFileStatus(path);
    if (!status.isFile) {
        size->setText(kNoSize);
        modified->setText(kNoSize);
        return;
    }
    size->setText(GroupedNumber(status.size, true));
    modified->setText(QLocale::system().toString(status.modified(), QStringLiteral("ddd, dd-MMM-yyyy HH:mm:ss")));
}

}  // namespace

frmFileCompare::frmFileCompare(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmFileCompare"));
    setWindowTitle(QStringLiteral("Backed up File Details"));

    frameHidden = named(new QGroupBox(QStringLiteral("HIDDEN DETAILS"), this), QStringLiteral("frameHidden"));
    txtOrigFile = named(new QLineEdit(QStringLiteral("Original Filename"), frameHidden), QStringLiteral("txtOrigFile"));
    txtDestFile =
        named(new QLineEdit(QStringLiteral("Destination Filename"), frameHidden), QStringLiteral("txtDestFile"));
    lblRootPath = named(new QLabel(frameHidden), QStringLiteral("lblRootPath"));
    lstBk = named(new QListWidget(frameHidden), QStringLiteral("lstBk"));
    frameHidden->hide();

    // A long name keeps its start and its distinguishing end in sight, and
    // never widens the window beyond the screen.
    lblFilename = named(new ElidedLabel(QString(), this), QStringLiteral("lblFilename"));
    lblFilename->setAutoFillBackground(true);
    QPalette band = lblFilename->palette();
    band.setColor(QPalette::Window, QColor(128, 128, 128));
    band.setColor(QPalette::WindowText, Qt::white);
    lblFilename->setPalette(band);
    QFont bold = lblFilename->font();
    bold.setBold(true);
    lblFilename->setFont(bold);
    lblFilename->setMargin(4);

    const QStringList headings = {QStringLiteral("Original File Size :"),  QStringLiteral("Date Modified :"),
                                  QStringLiteral("Date Created :"),        QStringLiteral("Date Accessed :"),
                                  QStringLiteral("Backup File Size :"),    QStringLiteral("Date Backup Modified :"),
                                  QStringLiteral("Date Backup Created :"), QStringLiteral("Date Backup Accessed :")};

    frameSource =
        named(new QGroupBox(QStringLiteral("Location of Original File"), this), QStringLiteral("frameSource"));
    lblSourcePath = pathBox(QStringLiteral("lblSourcePath"), frameSource);
    lblOrigSize = valueLabel(QStringLiteral("lblOrigSize"), frameSource);
    auto* sourceGrid = new QGridLayout(frameSource);
    sourceGrid->addWidget(lblSourcePath, 0, 0, 1, 2);

    chkFindAll = named(new QCheckBox(QStringLiteral("When looking for backup files, search all sub-folders"), this),
                       QStringLiteral("chkFindAll"));
    chkFindAll->setToolTip(
        QStringLiteral("Tick this checkbox to find all 'cyclic backups (if any) in any subfolder [takes longer]"));

    frameDest = named(new QGroupBox(QStringLiteral("Location of Backup File(s)"), this), QStringLiteral("frameDest"));
    cmdRestore =
        named(new QPushButton(QStringLiteral("<-- Restore this File"), frameDest), QStringLiteral("cmdRestore"));
    cmdRestore->setEnabled(false);
    Command1 = named(new QPushButton(QStringLiteral("Open Source Folder"), frameDest), QStringLiteral("Command1"));
    Command3 = named(new QPushButton(QStringLiteral("Open Backup Folder"), frameDest), QStringLiteral("Command3"));
    Command4 = named(new QPushButton(QStringLiteral("Close this Window"), frameDest), QStringLiteral("Command4"));
    lblDestPath = pathBox(QStringLiteral("lblDestPath"), frameDest);
    lblBackupSize = valueLabel(QStringLiteral("lblBackupSize"), frameDest);
    lvwFiles = named(new QTreeWidget(frameDest), QStringLiteral("lvwFiles"));
    lvwFiles->setColumnCount(3);
    lvwFiles->setHeaderLabels({QStringLiteral("Path"), QStringLiteral("Size"), QStringLiteral("Modified")});
    lvwFiles->setRootIsDecorated(false);
    lvwFiles->setUniformRowHeights(true);
    // Its tool tip tells where the quick search found the chosen copy.
    lvwFiles->setTextElideMode(Qt::ElideMiddle);
    lvwFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwFiles->header()->setStretchLastSection(false);
    lvwFiles->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lvwFiles->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    lvwFiles->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    lvwFiles->setMinimumHeight(lvwFiles->fontMetrics().lineSpacing() * 5);

    auto* destGrid = new QGridLayout;
    for (int i = 0; i < 8; ++i) {
        QWidget* frame = i < 4 ? static_cast<QWidget*>(frameSource) : frameDest;
        Label1[i] = named(new QLabel(headings[i], frame), QStringLiteral("Label1_%1").arg(i));
    }
    for (int i = 0; i < 6; ++i)
        Label3[i] = valueLabel(QStringLiteral("Label3_%1").arg(i), i < 3 ? frameSource : frameDest);
    QLabel* sourceValues[] = {lblOrigSize, Label3[0], Label3[1], Label3[2]};
    QLabel* destValues[] = {lblBackupSize, Label3[3], Label3[4], Label3[5]};
    for (int row = 0; row < 4; ++row) {
        sourceGrid->addWidget(Label1[row], row + 1, 0);
        sourceGrid->addWidget(sourceValues[row], row + 1, 1);
        destGrid->addWidget(Label1[row + 4], row, 0);
        destGrid->addWidget(destValues[row], row, 1);
    }
    sourceGrid->setColumnStretch(1, 1);
    destGrid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdRestore, Command1, Command3, Command4}) buttons->addWidget(b);
    buttons->addStretch();
    auto* destLayout = new QVBoxLayout(frameDest);
    destLayout->addLayout(buttons);
    destLayout->addWidget(lblDestPath);
    destLayout->addLayout(destGrid);
    destLayout->addWidget(lvwFiles, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(lblFilename);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(6, 0, 6, 0);
    body->addWidget(frameSource);
    body->addWidget(chkFindAll);
    body->addWidget(frameDest, 1);
    layout->addLayout(body, 1);
    layout->addWidget(frameHidden);
    resize(640, 600);

    connect(chkFindAll, &QCheckBox::toggled, this, &frmFileCompare::chkFindAll_Click);
    connect(lvwFiles, &QTreeWidget::itemClicked, this, &frmFileCompare::lvwFiles_Click);
    connect(lvwFiles, &QTreeWidget::itemSelectionChanged, this, &frmFileCompare::lvwFiles_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &frmFileCompare::cmdRestore_Click);
    connect(Command1, &QPushButton::clicked, this, &frmFileCompare::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &frmFileCompare::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmFileCompare::Command4_Click);
    CloseOnEscape(this, Command4);
    connect(lstBk, &QListWidget::itemClicked, this, &frmFileCompare::lstBk_Click);
}

void frmFileCompare::Form_Load() {}

void frmFileCompare::RefreshFileInfo() {
    const QString original = txtOrigFile->text();
    const QString copy = txtDestFile->text();
    lblFilename->setText("  " + GetFileNameFromPath(original));
    lblSourcePath->setText(GetFolderFromPath(original));
    lblDestPath->setText(GetFolderFromPath(copy));
    lblSourcePath->setCursorPosition(0);
    lblDestPath->setCursorPosition(0);
    showSizeAndTime(original, lblOrigSize, Label3[0]);
    showSizeAndTime(copy, lblBackupSize, Label3[3]);
    {
        clsFileProp props;
        props.FindFileInfo(original, false);
        Label3[1]->setText(props.GetDateCreated());
        Label3[2]->setText(props.GetDateAccessed());
    }
    {
        clsFileProp props;
        props.FindFileInfo(copy, false);
        Label3[4]->setText(props.GetDateCreated());
        Label3[5]->setText(props.GetDateAccessed());
    }
}

QString frmFileCompare::copyFileName() const {
    const QString name = GetFileNameFromPath(txtDestFile->text());
    return name.isEmpty() ? GetFileNameFromPath(txtOrigFile->text()) : name;
}

void frmFileCompare::GetBackupFiles_Quick() {
    lvwFiles->clear();
    lvwFiles->setToolTip({});
    cmdRestore->setEnabled(false);
    // Without a destination there is nowhere to look.
    if (lblRootPath->text().trimmed().isEmpty()) return;
    const QDateTime when = BackupTime.isValid() ? BackupTime : platform::Now();
    const QString name = copyFileName();
    const QString original = txtOrigFile->text();
    for (const BackupTypeEntry& type : BackupTypes()) {
        QString root = lblRootPath->text();
        const QString folder = MakeBackupFolderName(root, type.number, false, when);
        const QString tag = QString::fromUtf8(type.name);
        AddBackupFileToList(lvwFiles, folder, name, tag + " [all files in one folder]");
        if (original.contains('/'))
            AddBackupFileToList(lvwFiles, KeepPathFolder(folder, original), name, tag + " [keep original filenames]");
    }
}

void frmFileCompare::GetBackupFiles() {
    // Let the check box repaint before the long walk.
    platform::YieldToWindows();
    platform::YieldToWindows();
    const QPointer<frmFileCompare> self(this);
    lstBk->clear();
    FindFoldersContainingFile(lstBk, lblRootPath->text(), lblFilename->text());
    if (!self) return;
    lvwFiles->clear();
    lvwFiles->setToolTip({});
    cmdRestore->setEnabled(false);
    for (int i = 0; i < lstBk->count(); ++i)
        AddBackupFileToList(lvwFiles, lstBk->item(i)->text(), lblFilename->text(), {});
}

void frmFileCompare::AddBackupFileToList(QTreeWidget* list, QString folder, QString fileName, const QString& typeText) {
    fileName = fileName.trimmed();
    const QString path = JoinPath(folder, fileName);
    // As an ordinary file search: hidden and system files are not seen, except
    // the copies of an original that is itself hidden.
    if (fileName.isEmpty()) return;
    if (fileName.startsWith('.') && !GetFileNameFromPath(txtOrigFile->text()).trimmed().startsWith('.')) return;
    // A copy of a link is a link, listed as itself even when its target is gone.
    const platform::FileStatus status = platform::GetEntryStatus(path);
    if (!status.isFile && !status.isLink) return;
    auto* row = new QTreeWidgetItem(list);
    row->setText(0, folder);
    row->setText(1, GroupedNumber(status.size, true));
    row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    row->setText(2, status.modified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    row->setData(0, kTypeTextRole, typeText);
    row->setData(0, kCopyPathRole, path);
}

void frmFileCompare::chkFindAll_Click() {
    if (!chkFindAll->isChecked()) {
        GetBackupFiles_Quick();
        return;
    }
    const QPointer<frmFileCompare> self(this);
    GetBackupFiles();
    if (!self) return;
    platform::MsgBox("This will search ALL subfolders in the destination folder \r\nfor the filename " +
                         lblFilename->text().trimmed() +
                         "\r\n\r\nBe careful that the backup file you are looking at is the\r\n"
                         "same size/date as the original folder.",
                     platform::Buttons::OK, platform::Icon::Exclamation,
                     QStringLiteral("Be careful of Duplicate Filenames"));
}

void frmFileCompare::lvwFiles_Click() {
    const QList<QTreeWidgetItem*> selected = lvwFiles->selectedItems();
    if (selected.isEmpty()) return;
    lvwFiles->setToolTip(selected.first()->data(0, kTypeTextRole).toString());
    cmdRestore->setEnabled(true);
}

// Restores the copy of the selected row over the original. The copy goes into
// a temporary file beside the original, which takes its place only once it
// is complete, so a failed restore leaves the original as it was. Run as
// root, the restored file keeps the original's owner and group.
void frmFileCompare::cmdRestore_Click() {
    cmdRestore->setEnabled(false);
    const QList<QTreeWidgetItem*> selected = lvwFiles->selectedItems();
    QString original = txtOrigFile->text();
    if (selected.isEmpty() || original.isEmpty()) return;
    const QString copy = selected.first()->data(0, kCopyPathRole).toString();
    // A copy that is a link puts the link back. An original that is a link
    // stays a link when the copy is a file: the file it names is restored.
    if (platform::IsSymbolicLink(original) && !platform::IsSymbolicLink(copy)) {
        const QString target = QFileInfo(original).canonicalFilePath();
        if (!target.isEmpty()) original = target;
    }
    platform::SetPointer(platform::Pointer::Hourglass);
    const platform::CopyOutcome outcome = platform::RestoreFileCopy(copy, original);
    platform::SetPointer(platform::Pointer::Default);
    if (!outcome.ok()) {
        const QString number = QString::number(outcome.error);
        WriteLog("Cannot restore '" + copy + "' to '" + original + "' - error #" + number + " = " + outcome.description,
                 0);
        platform::MsgBox("An error occurred restoring the file\r\n" + copy + "\r\nto the original file\r\n\r\n" +
                             "The error number was " + number + "= " + outcome.description,
                         platform::Buttons::OK, platform::Icon::Critical,
                         QStringLiteral("Cannot restore this file - it may be in use"));
        return;
    }
    platform::MsgBox(QStringLiteral("The file has been restored to the original location"), platform::Buttons::OK,
                     platform::Icon::None, QStringLiteral("File Restored"));
}

void frmFileCompare::Command1_Click() { LaunchFile(GetFolderFromPath(txtOrigFile->text())); }

void frmFileCompare::Command3_Click() {
    const QList<QTreeWidgetItem*> selected = lvwFiles->selectedItems();
    if (selected.isEmpty()) return;
    LaunchFile(selected.first()->text(0));
}

void frmFileCompare::Command4_Click() { close(); }

void frmFileCompare::lstBk_Click() {
    if (QListWidgetItem* item = lstBk->currentItem()) platform::MsgBox(item->text());
}

frmFileCompare* TheFileCompareForm() {
    static QPointer<frmFileCompare> form;
    if (!form) {
        form = new frmFileCompare;
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->Form_Load();
    }
    return form;
}
