#include "foundation/frmBrowseFolders.h"
#include "foundation/ElidedText.h"

#include "foundation/FolderWalk.h"
#include "foundation/PathHelpers.h"
#include "foundation/ProgramValues.h"
#include "foundation/ShownHook.h"
#include "foundation/WindowPlacement.h"
#include "platform/EventLoop.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& text, const QString& key, const QString& folder,
                         int image) {
    auto* node = new QTreeWidgetItem(parent, QStringList{text});
    node->setData(0, NodeKeyRole, key);
    node->setData(0, NodeFolderRole, folder);
    node->setData(0, NodeImageRole, image);
    node->setIcon(0, BrowseImage(image));
    return node;
}

QString withSlash(const QString& folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; }

}  // namespace

int GetDriveImageIndex(platform::DriveType type) {
    switch (type) {
    case platform::DriveType::Unknown: return 1;
    case platform::DriveType::NoRootDir: return 1;
    case platform::DriveType::Removable: return 5;  // no drive is a floppy drive here
    case platform::DriveType::Fixed: return 3;
    case platform::DriveType::Remote: return 6;
    case platform::DriveType::CdRom: return 4;
    case platform::DriveType::RamDisk: return 7;
    }
    return 0;
}

QIcon BrowseImage(int index) {
    QStyle* style = QApplication::style();
    switch (index) {
    case 1: return style->standardIcon(QStyle::SP_ComputerIcon);
    case 2: return style->standardIcon(QStyle::SP_DriveFDIcon);
    case 3: return style->standardIcon(QStyle::SP_DriveHDIcon);
    case 4: return style->standardIcon(QStyle::SP_DriveCDIcon);
    case 5: return style->standardIcon(QStyle::SP_DriveFDIcon);
    case 6: return style->standardIcon(QStyle::SP_DriveNetIcon);
    case 7: return style->standardIcon(QStyle::SP_DriveHDIcon);
    case 8:
    case 9: {
        // One icon for both folder images: closed, and open while selected.
        QIcon icon = style->standardIcon(QStyle::SP_DirClosedIcon);
        const QIcon open = style->standardIcon(QStyle::SP_DirOpenIcon);
        for (const QSize& size : open.availableSizes()) icon.addPixmap(open.pixmap(size), QIcon::Selected);
        return icon;
    }
    default: return {};
    }
}

void LoadSubFolders(QTreeWidget* tree, QTreeWidgetItem* node) {
    if (!tree || !node) return;
    const QString folder = node->data(0, NodeFolderRole).toString();
    const QString key = node->data(0, NodeKeyRole).toString();
    const QString drivePrefix = key.left(key.indexOf(u':') + 1);
    std::vector<FileSystemObject::SubFolder> subFolders;
    if (!folder.isEmpty() && FileSystemObject::Get().SubFolders(folder, subFolders)) {
        for (const FileSystemObject::SubFolder& sub : subFolders) {
            const QString name = GetFileNameFromPath(sub.path);
            addNode(node, name, drivePrefix + withSlash(sub.path) + "Dir", withSlash(sub.path), 8);
        }
    }
    // The children stay in listing order; the user opens the node with its expander.
    node->setExpanded(false);
}

frmBrowseFolders::frmBrowseFolders(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBrowseFolders"));
    setWindowTitle(QStringLiteral("Select Folder"));
    setModal(true);

    tvwControl = new QTreeWidget(this);
    tvwControl->setObjectName(QStringLiteral("tvwControl"));
    tvwControl->setHeaderHidden(true);
    tvwControl->setColumnCount(1);
    tvwControl->setIconSize(QSize(16, 16));
    tvwControl->setSortingEnabled(false);
    // Mount points can be long paths: their ends tell them apart.
    ElideRowsInTheMiddle(tvwControl);

    // The chosen folder's path, shortened in the middle where it does not fit.
    lblFullPath = new ElidedLabel(QStringLiteral("Full Path name"), this);
    lblFullPath->setObjectName(QStringLiteral("lblFullPath"));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // The window has no default button: Enter in the tree opens a folder, and
    // on a focused button presses that button.
    for (QPushButton* b : {cmdOK, cmdCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tvwControl, 1);
    layout->addWidget(lblFullPath);
    layout->addLayout(buttons);
    resize(sizeHint().expandedTo(QSize(380, 440)));

    connect(tvwControl, &QTreeWidget::itemClicked, this, [this] { tvwControl_Click(); });
    connect(tvwControl, &QTreeWidget::itemActivated, this, [this] { tvwControl_Click(); });
    // The label shows the current folder however it was reached (a click, the
    // arrow keys, a typed letter), so OK gives the folder highlighted.
    connect(tvwControl, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) { showFolderOf(node); });
    connect(cmdOK, &QPushButton::clicked, this, &frmBrowseFolders::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmBrowseFolders::cmdCancel_Click);

    Form_Load();
}

void frmBrowseFolders::Form_Load() {
    // The start folder in its plain form: absolute, without a trailing "/"
    // except for "/". An empty or missing one gives the current folder.
    QString start = FileSystemObject::Get().FolderPath(SelectedFolder);
    if (start.isEmpty()) start = QDir::currentPath();
    CentreOnScreen(this);
    BuildDriveTree();
    lblFullPath->setText(start);
}

void frmBrowseFolders::BuildDriveTree() {
    tvwControl->clear();
    QTreeWidgetItem* root =
        addNode(tvwControl->invisibleRootItem(), QStringLiteral("My Computer"), QStringLiteral("Root"), QString(), 1);
    root->setExpanded(true);
    const QStringList drives = platform::LogicalDrives();
    for (int i = 0; i < drives.size(); ++i) {
        const QString& drive = drives[i];
        const int image = GetDriveImageIndex(platform::GetDriveType(drive));
        const QString key = QString::number(i) + u':' + withSlash(drive) + "Dir";
        QTreeWidgetItem* node = addNode(root, drive, key, withSlash(drive), image);
        node->setExpanded(true);
    }
}

void frmBrowseFolders::tvwControl_Click() {
    platform::YieldToWindows();
    QTreeWidgetItem* node = tvwControl->currentItem();
    if (!node) return;
    const QString key = node->data(0, NodeKeyRole).toString();
    if (key.toUpper().endsWith(QLatin1String("DIR")) && node->childCount() == 0) LoadSubFolders(tvwControl, node);
    showFolderOf(node);
}

void frmBrowseFolders::showFolderOf(const QTreeWidgetItem* node) {
    // The root names no folder: the label keeps what it showed.
    const QString folder = node ? node->data(0, NodeFolderRole).toString() : QString();
    if (!folder.isEmpty()) lblFullPath->setText(folder);
}

void frmBrowseFolders::cmdOK_Click() {
    SelectedFolder = lblFullPath->text();
    done(Accepted);
}

void frmBrowseFolders::cmdCancel_Click() {
    SelectedFolder.clear();
    done(Rejected);
}

void frmBrowseFolders::reject() { done(Rejected); }

void frmBrowseFolders::keyPressEvent(QKeyEvent* event) {
    // Escape is the Cancel button; the close box (reject) is not.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        cmdCancel_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmBrowseFolders::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ShownHook<frmBrowseFolders>::Schedule(*this, m_hookRun);
}

void frmBrowseFolders::SetShownHook(std::function<void(frmBrowseFolders&)> hook) {
    ShownHook<frmBrowseFolders>::Set(std::move(hook));
}
