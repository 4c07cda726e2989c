#include "foundation/frmSetupPathList.h"

#include "foundation/ElidedText.h"
#include "foundation/FolderWalk.h"
#include "foundation/IniFile.h"
#include "foundation/ListFiles.h"
#include "foundation/PathHelpers.h"
#include "foundation/ProgramValues.h"
#include "foundation/SettingsKeys.h"
#include "foundation/ShellLauncher.h"
#include "foundation/ShownHook.h"
#include "foundation/WindowPlacement.h"
#include "foundation/frmBrowseFolders.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/FileStatus.h"
#include "platform/SystemInfo.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kPathRole = Qt::UserRole;

bool isExcludedMode(const QString& mode) { return mode == QLatin1String(Key::ExcludedPathList); }

// Names sorted as a file manager shows them: by the user's language, then
// letter case.
void sortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::localeAwareCompare(a.toLower(), b.toLower());
        return c != 0 ? c < 0 : a < b;
    });
}

// The visible regular files of a folder (links to regular files included).
QStringList fileNamesIn(const QString& folder) {
    QStringList names;
    platform::FolderEntries entries;
    if (!platform::ReadFolderEntries(folder, entries)) return names;
    const QString base = folder.endsWith(u'/') ? folder : folder + u'/';
    for (int i = 0; i < entries.size(); ++i) {
        const QString name = entries.displayName(i);
        if (name.startsWith(u'.')) continue;
        const platform::EntryKind kind = entries.kind(i);
        if (kind == platform::EntryKind::File ||
            ((kind == platform::EntryKind::Link || kind == platform::EntryKind::Unknown) &&
             platform::GetFileStatus(base + name).isFile))
            names << name;
    }
    sortNames(names);
    return names;
}

// "/home/anna" gives "/", "/home", "/home/anna".
QStringList folderChain(const QString& folder) {
    QStringList chain{QStringLiteral("/")};
    QString path;
    for (const QString& part : folder.split(u'/', Qt::SkipEmptyParts)) {
        path += u'/' + part;
        chain << path;
    }
    return chain;
}

}  // namespace

QString PathListHelpText(bool fileNameShown) {
    QStringList lines{QString(),
                      QStringLiteral("To create your path list, follow these simple steps:"),
                      QStringLiteral("1. Chose paths from the Left hand side directory list"),
                      QString(),
                      QStringLiteral("2. click the '>' (Add) button to add it to your list"),
                      QStringLiteral("   If you make a mistake, click the '<' to remove it"),
                      QStringLiteral("   If you want to include all subdirectories, double-"),
                      QStringLiteral("   click the entry on the right hand side and a '*'"),
                      QStringLiteral("   will appear indicating that ALL subdirectories will"),
                      QStringLiteral("   also be included. (double click again to turn off)"),
                      QString()};
    if (fileNameShown) {
        lines << QStringLiteral("3. Chose a filename to save the list to")
              << QStringLiteral("   (Hint - click on one of your paths to save typing")
              << QStringLiteral("           because the directory you save this list")
              << QStringLiteral("           should also be in the list") << QString() << QStringLiteral("4. Click Ok");
    } else {
        lines << QStringLiteral("3. Click Ok");
    }
    lines << QString();
    QString text;
    for (const QString& line : lines) text += line + "\r\n";
    return text;
}

frmSetupPathList::frmSetupPathList(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSetupPathList"));
    setWindowTitle(QStringLiteral("Create Path List"));
    setModal(true);

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1 = new QTreeWidget(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setHeaderHidden(true);
    Dir1->setRootIsDecorated(false);
    Dir1->setItemsExpandable(false);
    Dir1->setIndentation(12);
    ElideRowsInTheMiddle(Dir1);
    // Every level is always open: no expanders.
    Dir1->setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
    // The open folder's path, shortened in the middle where it does not fit.
    lblFullPath = new ElidedLabel(QStringLiteral("Full Path name"), this);
    lblFullPath->setObjectName(QStringLiteral("lblFullPath"));
    File1 = new QListWidget(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setSelectionMode(QAbstractItemView::NoSelection);
    File1->setFocusPolicy(Qt::NoFocus);

    cmdAddPath = new QPushButton(QStringLiteral(">"), this);
    cmdAddPath->setObjectName(QStringLiteral("cmdAddPath"));
    cmdAddPath->setToolTip(QStringLiteral("Add a path to list"));
    Command1 = new QPushButton(QStringLiteral("<"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("Remove the selected path from the list"));
    Command1->setEnabled(false);
    cmdHelp = new QPushButton(QStringLiteral("?"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdHelp->setToolTip(QStringLiteral("Help "));
    cmdNetPath = new QToolButton(this);
    cmdNetPath->setObjectName(QStringLiteral("cmdNetPath"));
    cmdNetPath->setToolTip(QStringLiteral("Add a Network path to be backed up"));
    cmdNetPath->setIcon(BrowseImage(6));
    cmdNetPath->setIconSize(QSize(24, 24));
    // The narrow column of buttons: as wide as the widest of them needs, for
    // the icon or for two letters of the window's font.
    int narrowWidth = cmdNetPath->sizeHint().width();
    for (QPushButton* b : {cmdAddPath, Command1, cmdHelp})
        narrowWidth = qMax(narrowWidth, b->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 12);
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(cmdAddPath), static_cast<QAbstractButton*>(Command1),
                               static_cast<QAbstractButton*>(cmdHelp), static_cast<QAbstractButton*>(cmdNetPath)})
        b->setFixedWidth(narrowWidth);

    Label2 = new QLabel(QStringLiteral("List of Paths to check for modified files"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    lstPathList = new QListWidget(this);
    lstPathList->setObjectName(QStringLiteral("lstPathList"));
    ElideRowsInTheMiddle(lstPathList);
    Label1 = new QLabel(QStringLiteral("Filename to Save this List of Paths to"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtSaveAs = new QLineEdit(this);
    txtSaveAs->setObjectName(QStringLiteral("txtSaveAs"));
    lblIniEntry = new QLabel(QString::fromLatin1(Key::PathList), this);
    lblIniEntry->setObjectName(QStringLiteral("lblIniEntry"));
    lblIniEntry->hide();

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* left = new QVBoxLayout;
    left->addWidget(Drive1);
    left->addWidget(Dir1, 3);
    left->addWidget(lblFullPath);
    left->addWidget(File1, 1);

    auto* narrow = new QVBoxLayout;
    narrow->addSpacing(Drive1->sizeHint().height());
    narrow->addWidget(cmdAddPath);
    narrow->addWidget(Command1);
    narrow->addWidget(cmdHelp);
    narrow->addWidget(cmdNetPath);
    narrow->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(Label2);
    right->addWidget(lstPathList, 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addLayout(narrow);
    columns->addLayout(right, 3);

    auto* bottom = new QGridLayout;
    bottom->addWidget(Label1, 0, 0);
    bottom->addWidget(txtSaveAs, 1, 0);
    bottom->addWidget(cmdOK, 1, 1);
    bottom->addWidget(cmdCancel, 1, 2);
    bottom->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(bottom);
    // The least size is what the layout needs; the first size gives the lists room.
    resize(sizeHint().expandedTo(QSize(680, 480)));

    connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });
    connect(Dir1, &QTreeWidget::itemClicked, this, [this] { Dir1_Click(); });
    connect(Dir1, &QTreeWidget::itemActivated, this, [this] { Dir1_Click(); });
    connect(cmdAddPath, &QPushButton::clicked, this, &frmSetupPathList::cmdAddPath_Click);
    connect(Command1, &QPushButton::clicked, this, &frmSetupPathList::Command1_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmSetupPathList::cmdHelp_Click);
    connect(cmdNetPath, &QToolButton::clicked, this, &frmSetupPathList::cmdNetPath_Click);
    connect(lstPathList, &QListWidget::itemClicked, this, [this] { lstPathList_Click(); });
    connect(lstPathList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) lstPathList_Click();
    });
    connect(lstPathList, &QListWidget::itemDoubleClicked, this, [this] { lstPathList_DblClick(); });
    lstPathList->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, &frmSetupPathList::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetupPathList::cmdCancel_Click);

    Form_Load();
}

QString frmSetupPathList::Mode() const { return lblIniEntry->text(); }
void frmSetupPathList::SetMode(const QString& mode) { lblIniEntry->setText(mode); }

void frmSetupPathList::Form_Load() {
    fillDrives();
    // The start folder; one that is empty, missing or unreadable gives the
    // current folder, and that failing, the root.
    if (!OpenFolder(SelectedFolder) && !OpenFolder(QDir::currentPath())) OpenFolder(QStringLiteral("/"));
    CentreOnScreen(this);

    if (lstPathList->count() == 0)
        lstPathList->addItems(
            {QStringLiteral("/"), platform::DocumentsFolder() + u'/', platform::ProgramFolder() + u'/'});

    QString listFile = ReadIni(IniFile, Section::General, Key::PathList);
    if (listFile.isEmpty()) listFile = platform::ProgramFolder() + "/MyPaths.txt";
    txtSaveAs->setText(listFile);
}

void frmSetupPathList::fillDrives() {
    Drive1->clear();
    for (const QString& drive : platform::LogicalDrives())
        Drive1->addItem(BrowseImage(GetDriveImageIndex(platform::GetDriveType(drive))), drive);
}

void frmSetupPathList::showDriveOf(const QString& folder) {
    // The drive whose mount point holds the folder most closely.
    int best = -1;
    int bestLength = -1;
    for (int i = 0; i < Drive1->count(); ++i) {
        const QString mount = Drive1->itemText(i);
        const bool holds = mount == u'/' || folder == mount || folder.startsWith(mount + u'/');
        if (holds && mount.size() > bestLength) {
            best = i;
            bestLength = int(mount.size());
        }
    }
    const QSignalBlocker block(Drive1);
    Drive1->setCurrentIndex(best);
}

bool frmSetupPathList::OpenFolder(const QString& folder) {
    const QString path = FileSystemObject::Get().FolderPath(folder);
    if (path.isEmpty()) return false;
    std::vector<FileSystemObject::SubFolder> subFolders;
    if (!FileSystemObject::Get().SubFolders(path, subFolders)) return false;

    m_folder = path;
    Dir1->clear();
    const QIcon openIcon = BrowseImage(9).pixmap(16, QIcon::Selected);
    const QIcon closedIcon = BrowseImage(8).pixmap(16);
    QTreeWidgetItem* parent = Dir1->invisibleRootItem();
    for (const QString& step : folderChain(path)) {
        auto* item = new QTreeWidgetItem(parent, QStringList{step == u'/' ? step : GetFileNameFromPath(step)});
        item->setData(0, kPathRole, step);
        item->setIcon(0, openIcon);
        item->setExpanded(true);
        parent = item;
    }
    QStringList names;
    for (const FileSystemObject::SubFolder& sub : subFolders) names << GetFileNameFromPath(sub.path);
    sortNames(names);
    const QString base = path == u'/' ? path : path + u'/';
    for (const QString& name : names) {
        auto* item = new QTreeWidgetItem(parent, QStringList{name});
        item->setData(0, kPathRole, base + name);
        item->setIcon(0, closedIcon);
    }
    parent->setExpanded(true);
    Dir1->setCurrentItem(parent);
    // The chain above the open folder stays in sight where it fits.
    // (A hidden view cannot tell what fits yet; it opens at the top.)
    Dir1->scrollToTop();
    if (Dir1->isVisible()) Dir1->scrollToItem(parent);

    lblFullPath->setText(m_folder);
    File1->clear();
    File1->addItems(fileNamesIn(m_folder));
    showDriveOf(m_folder);
    return true;
}

void frmSetupPathList::Drive1_Change() {
    const QString drive = Drive1->currentText();
    if (OpenFolder(drive)) return;
    platform::MsgBox("The drive '" + drive + "' cannot be read.", platform::Buttons::OK, platform::Icon::Exclamation,
                     windowTitle());
    showDriveOf(m_folder);
}

void frmSetupPathList::Dir1_Click() {
    QTreeWidgetItem* item = Dir1->currentItem();
    if (!item) return;
    const QString folder = item->data(0, kPathRole).toString();
    if (folder == m_folder) return;
    if (OpenFolder(folder)) return;
    platform::MsgBox("The folder '" + folder + "' cannot be opened.", platform::Buttons::OK,
                     platform::Icon::Exclamation, windowTitle());
    OpenFolder(m_folder);
}

void frmSetupPathList::cmdAddPath_Click() {
    QString caption = lblFullPath->text();
    if (!caption.endsWith(u'/')) {
        caption += u'/';
        lblFullPath->setText(caption);
    }
    if (caption == u'/' || isExcludedMode(Mode()))
        lstPathList->addItem(caption);
    else
        lstPathList->addItem(caption + u'*');
}

void frmSetupPathList::Command1_Click() {
    QListWidgetItem* item = lstPathList->currentItem();
    if (item && item->isSelected()) {
        delete item;
        // As after any removal, no entry is selected until the user picks one.
        lstPathList->setCurrentRow(-1);
        lstPathList->clearSelection();
        return;
    }
    platform::MsgBox(
        QStringLiteral("Select a path from the Right hand side list to remove, then click this remove button"),
        platform::Buttons::OK, platform::Icon::Information, QStringLiteral("Removing Path from List"));
}

void frmSetupPathList::lstPathList_Click() { Command1->setEnabled(true); }

void frmSetupPathList::lstPathList_DblClick() {
    if (isExcludedMode(Mode())) {
        platform::MsgBox(QStringLiteral("You do not need to choose 'all subdirectories' when excluding directories. "
                                        "For example, adding C:\\apps\\exclude\\, will automatically exclude all "
                                        "subdirectories under it"),
                         platform::Buttons::OK, platform::Icon::Information, QStringLiteral("Excluding Folders"));
        return;
    }
    QListWidgetItem* item = lstPathList->currentItem();
    if (!item || !item->isSelected()) return;  // nothing chosen: nothing to toggle
    QString entry = item->text();
    if (entry.endsWith(u'*')) {
        entry.chop(1);
    } else {
        entry += u'*';
        if (entry == QLatin1String("/*"))
            platform::MsgBox(
                QStringLiteral("Warning - you have chosen ALL paths on the C: drive. This may run slowly "
                               "if you have a large number of folders."));
    }
    item->setText(entry);
}

void frmSetupPathList::cmdNetPath_Click() {
    const QString folder = BrowseForFolder(this, platform::ProgramFolder(), 1, 19);
    if (folder.isEmpty()) return;
    lstPathList->addItem(folder.endsWith(u'/') ? folder + u'*' : folder + "/*");
}

void frmSetupPathList::cmdHelp_Click() {
    platform::MsgBox(PathListHelpText(!txtSaveAs->isHidden()), platform::Buttons::OK, platform::Icon::Information,
                     QStringLiteral("Help on Creating a Path List"));
}

void frmSetupPathList::cmdOK_Click() {
    SelectedFolder = lblFullPath->text();
    const QString listFile = txtSaveAs->text();
    // A list that could not be saved keeps the window open with the user's
    // entries, so nothing is lost; the save has said what went wrong.
    // The user's own list: a link to a list kept elsewhere is saved through.
    if (!SaveListboxToFile(lstPathList, listFile, platform::LinkRule::SaveThrough) && !listFile.isEmpty()) return;
    if (!WriteIniChecked(Section::General, Mode(), listFile, IniFile))
        platform::MsgBox("The list was saved to '" + listFile +
                             "', but its name could not be recorded in the settings file '" + IniFile + "'.",
                         platform::Buttons::OK, platform::Icon::Exclamation, windowTitle());
    done(Accepted);
}

void frmSetupPathList::cmdCancel_Click() {
    SelectedFolder.clear();
    done(Rejected);
}

void frmSetupPathList::reject() { done(Rejected); }

void frmSetupPathList::keyPressEvent(QKeyEvent* event) {
    // Escape is the Cancel button; the close box (reject) is not.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        cmdCancel_Click();
        return;
    }
    // Enter in the folder tree opens the folder (the tree has done that) and
    // goes no further: it must not press OK and close the window.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && focusWidget() == Dir1) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmSetupPathList::eventFilter(QObject* watched, QEvent* event) {
    // Space does to the entry it is on what a double-click does, selecting it
    // first where the focus frame alone was on it.
    if (watched == lstPathList && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        QListWidgetItem* item = lstPathList->currentItem();
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier && item) {
            // A held key toggles once.
            if (!key->isAutoRepeat()) {
                lstPathList->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
                lstPathList_DblClick();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSetupPathList::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ShownHook<frmSetupPathList>::Schedule(*this, m_hookRun);
}

void frmSetupPathList::SetShownHook(std::function<void(frmSetupPathList&)> hook) {
    ShownHook<frmSetupPathList>::Set(std::move(hook));
}

void EditPathList(QWidget* parent, QTreeWidget* callerList, const QString& listFile, const QString& mode) {
    frmSetupPathList form(parent);
    form.txtSaveAs->setText(listFile);
    form.SetMode(mode);
    CopyListItems(callerList, form.lstPathList);
    form.txtSaveAs->hide();
    form.Label1->hide();
    form.exec();
    LoadFileToListBox(callerList, listFile, 0);
}
