#include "settings/frmCorvexProOptions.h"

#include "foundation/BackupTypeTexts.h"
#include "foundation/ElidedText.h"
#include "foundation/IniFile.h"
#include "foundation/ListFiles.h"
#include "foundation/PathHelpers.h"
#include "foundation/ProgramValues.h"
#include "foundation/SettingValue.h"
#include "foundation/SettingsKeys.h"
#include "foundation/ShellLauncher.h"
#include "foundation/ShownHook.h"
#include "foundation/WindowLayout.h"
#include "foundation/frmBrowseFolders.h"
#include "foundation/frmSetupPathList.h"
#include "platform/Dialogs.h"
#include "platform/SystemInfo.h"
#include "settings/SettingsValues.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTreeWidget* folderListView(QWidget* parent, const char* name) {
    auto* view = new QTreeWidget(parent);
    view->setObjectName(QLatin1String(name));
    view->setColumnCount(1);
    view->setHeaderLabels({QStringLiteral("Path to Backup")});
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setMinimumHeight(view->fontMetrics().height() * 7);
    // The rows are folders to show, not choices to tick.
    SetListViewCheckBoxes(view, false);
    ElideRowsInTheMiddle(view);
    return view;
}

QPushButton* browseButton(QWidget* parent, const char* name, const QString& tip) {
    auto* b = new QPushButton(QStringLiteral("..."), parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    return b;
}

void appendSlash(QLineEdit* box) {
    if (!box->text().endsWith(u'/')) box->setText(box->text() + u'/');
}

}  // namespace

void ReadIniCheckBox(const QString& section, const QString& key, QCheckBox* box) {
    const QString v = ReadIni(IniFile, section, key).trimmed().toUpper();
    box->setChecked(v == QLatin1String("1") || v.startsWith(u'T') || v.startsWith(u'Y'));
}

frmCorvexProOptions::frmCorvexProOptions(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCorvexProOptions"));
    setWindowTitle(QStringLiteral("Options for Corvex Pro"));
    setModal(true);

    // Step 1: how the backup program runs.
    Frame3 = new QGroupBox(QStringLiteral("Step 1.   How do you want Corvex Pro to run "), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    chkRunSilent = new QCheckBox(QStringLiteral("Run Corvex Pro in Silent Mode (run 'vantor.exe' to turn on again)"));
    chkRunSilent->setObjectName(QStringLiteral("chkRunSilent"));
    chkLogUsage =
        new QCheckBox(QStringLiteral("Record list of files modified to the Plandel, in the following directory"));
    chkLogUsage->setObjectName(QStringLiteral("chkLogUsage"));
    txtDataPath = new QLineEdit;
    txtDataPath->setObjectName(QStringLiteral("txtDataPath"));
    cmdBrowsePlandelDir =
        browseButton(Frame3, "cmdBrowsePlandelDir", QStringLiteral("Browse for Folder to store plandel records"));
    auto* dataRow = new QHBoxLayout;
    dataRow->addSpacing(24);
    dataRow->addWidget(txtDataPath, 1);
    dataRow->addWidget(cmdBrowsePlandelDir);
    auto* step1 = new QVBoxLayout(Frame3);
    step1->addWidget(chkRunSilent);
    step1->addWidget(chkLogUsage);
    step1->addLayout(dataRow);

    // Step 2: what kind of backup.
    Frame2 = new QGroupBox(QStringLiteral("Step 2.  What type of Backup do you want"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    chkReplicatePaths = new QCheckBox(QStringLiteral("Keep files in original subdirectories"));
    chkReplicatePaths->setObjectName(QStringLiteral("chkReplicatePaths"));
    Label2[0] = new QLabel(QStringLiteral("Type of Backup is:"));
    Label2[0]->setObjectName(QStringLiteral("Label2_0"));
    Label2[1] = new QLabel(QStringLiteral("Base Backup directory is:"));
    Label2[1]->setObjectName(QStringLiteral("Label2_1"));
    // Each type reads whole in the open list, and as the tool tip where the
    // closed box cuts it.
    cmbDestType = new WholeTextComboBox;
    cmbDestType->setObjectName(QStringLiteral("cmbDestType"));
    txtDestDir = new QLineEdit(QStringLiteral("C:\\backup\\"));
    txtDestDir->setObjectName(QStringLiteral("txtDestDir"));
    cmdBrowseDestDir = browseButton(Frame2, "cmdBrowseDestDir", QStringLiteral("Browse for folder to backup files to"));
    auto* step2 = new QGridLayout(Frame2);
    step2->addWidget(chkReplicatePaths, 0, 0, 1, 3);
    step2->addWidget(Label2[0], 1, 0);
    step2->addWidget(cmbDestType, 1, 1, 1, 2);
    step2->addWidget(Label2[1], 2, 0);
    step2->addWidget(txtDestDir, 2, 1);
    step2->addWidget(cmdBrowseDestDir, 2, 2);
    step2->setColumnStretch(1, 1);

    // Step 3: which folders.
    Frame1 = new QGroupBox(QStringLiteral("Step 3.   What Files do you want to Backup"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    cmdAutoscan = new QPushButton(QStringLiteral("Autoscan"));
    cmdAutoscan->setObjectName(QStringLiteral("cmdAutoscan"));
    cmdAutoscan->setToolTip(
        QStringLiteral("NEW - automatically gets a list ofall folders where you save documents to"));
    cmdEditPathList = new QPushButton(QStringLiteral("Backup all modified Files from the folders"));
    cmdEditPathList->setObjectName(QStringLiteral("cmdEditPathList"));
    cmdEditPathList->setToolTip(QStringLiteral("Edit PathList"));
    lstPath = folderListView(Frame1, "lstPath");
    cmdEditExcludedDirs = new QPushButton(QStringLiteral("but, Exclude directories containing"));
    cmdEditExcludedDirs->setObjectName(QStringLiteral("cmdEditExcludedDirs"));
    cmdEditExcludedDirs->setToolTip(QStringLiteral("Edit PathList"));
    lvExclude = folderListView(Frame1, "lvExclude");
    auto* step3 = new QGridLayout(Frame1);
    step3->addWidget(cmdAutoscan, 0, 0, Qt::AlignLeft);
    step3->addWidget(cmdEditPathList, 1, 0);
    step3->addWidget(cmdEditExcludedDirs, 1, 1);
    step3->addWidget(lstPath, 2, 0);
    step3->addWidget(lvExclude, 2, 1);
    step3->setColumnStretch(0, 3);
    step3->setColumnStretch(1, 2);
    step3->setRowStretch(2, 1);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdHelp = new QPushButton(QStringLiteral("Help"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame3);
    layout->addWidget(Frame2);
    layout->addWidget(Frame1, 1);
    layout->addLayout(buttons);
    resize(sizeHint().expandedTo(QSize(640, 600)));
    SetTabOrder({chkRunSilent, chkLogUsage, txtDataPath, cmdBrowsePlandelDir, chkReplicatePaths, cmbDestType,
                 txtDestDir, cmdBrowseDestDir, cmdAutoscan, cmdEditPathList, cmdEditExcludedDirs, lstPath, lvExclude,
                 cmdHelp, cmdOK, cmdCancel});

    connect(chkLogUsage, &QCheckBox::toggled, this, [this] { chkLogUsage_Click(); });
    connect(cmdBrowseDestDir, &QPushButton::clicked, this, &frmCorvexProOptions::cmdBrowseDestDir_Click);
    connect(cmdBrowsePlandelDir, &QPushButton::clicked, this, &frmCorvexProOptions::cmdBrowsePlandelDir_Click);
    connect(cmdEditPathList, &QPushButton::clicked, this, &frmCorvexProOptions::cmdEditPathList_Click);
    connect(cmdEditExcludedDirs, &QPushButton::clicked, this, &frmCorvexProOptions::cmdEditExcludedDirs_Click);
    connect(cmdAutoscan, &QPushButton::clicked, this, &frmCorvexProOptions::cmdAutoscan_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmCorvexProOptions::cmdHelp_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmCorvexProOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCorvexProOptions::cmdCancel_Click);

    Form_Load();
}

void frmCorvexProOptions::Form_Load() {
    const QString folder = platform::ProgramFolder();
    cmbDestType->clear();
    cmbDestType->addItems(BackupTypeTexts());

    if (ExcludedPathListFile.isEmpty()) ExcludedPathListFile = folder + "/ExcludedPaths.txt";
    if (PathListFile.isEmpty()) PathListFile = folder + "/MyPaths.txt";

    ReadIniCheckBox(Section::General, Key::KeepPaths, chkReplicatePaths);
    LoadFileToListBox(lstPath, PathListFile, 0);
    LoadFileToListBox(lvExclude, ExcludedPathListFile, 0);

    const QString destination = ReadIni(IniFile, Section::General, Key::BackupTo);
    txtDestDir->setText(destination.isEmpty() ? platform::HomeFolder() + "/backup" : destination);

    // A stored number outside the eight types selects the first.
    const double type = NumericValue(ReadIni(IniFile, Section::General, Key::BackupType));
    cmbDestType->setCurrentIndex(type >= 0 && type < cmbDestType->count() ? int(type) : 0);

    ReadIniCheckBox(Section::General, Key::RecordToPlandel, chkLogUsage);
    ReadIniCheckBox(Section::General, Key::RunSilently, chkRunSilent);

    const bool recording = chkLogUsage->isChecked();
    txtDataPath->setVisible(recording);
    cmdBrowsePlandelDir->setVisible(recording);

    // Read under the section's lower-case name, which matches "Plandel".
    const QString dataPath = ReadIni(IniFile, "plandel", Key::DataPath);
    txtDataPath->setText(dataPath.isEmpty() ? folder : dataPath);
}

void frmCorvexProOptions::chkLogUsage_Click() {
    // Only the folder box follows the tick; its browse button keeps what the
    // load gave it.
    txtDataPath->setVisible(chkLogUsage->isChecked());
}

void frmCorvexProOptions::cmdBrowseDestDir_Click() {
    SelectedFolder = txtDestDir->text();
    frmBrowseFolders picker(this);
    picker.exec();
    if (!SelectedFolder.isEmpty()) txtDestDir->setText(SelectedFolder);
}

void frmCorvexProOptions::cmdBrowsePlandelDir_Click() {
    SelectedFolder = txtDataPath->text();
    frmBrowseFolders picker(this);
    picker.exec();
    if (!SelectedFolder.isEmpty()) txtDataPath->setText(SelectedFolder);
}

void frmCorvexProOptions::cmdEditPathList_Click() {
    EditPathList(this, lstPath, PathListFile, QString::fromLatin1(Key::PathList));
}

void frmCorvexProOptions::cmdEditExcludedDirs_Click() {
    EditPathList(this, lvExclude, ExcludedPathListFile, QString::fromLatin1(Key::ExcludedPathList));
}

void frmCorvexProOptions::cmdAutoscan_Click() {
    const platform::Answer answer = platform::MsgBox(
        QStringLiteral("This will scan all your hard drives to determine a list of folders to backup. Do you want to "
                       "continue?"),
        platform::Buttons::YesNo, platform::Icon::None, QStringLiteral("Scan Hard Drives for document folders?"));
    if (answer == platform::Answer::Yes) platform::MsgBox(QStringLiteral("Autoscanning...  not yet configured..."));
}

void frmCorvexProOptions::cmdHelp_Click() { LaunchFile(platform::ProgramFolder() + "/corvex.html", false, QString()); }

void frmCorvexProOptions::cmdCancel_Click() { reject(); }

void frmCorvexProOptions::cmdOK_Click() {
    if (txtDataPath->text().isEmpty() && chkLogUsage->isChecked()) {
        platform::MsgBox(QStringLiteral("Using the default directory to log usage"), platform::Buttons::OK,
                         platform::Icon::Information, QStringLiteral("Using Default Plandel Path"));
        txtDataPath->setText(platform::ProgramFolder());
    }
    if (lstPath->topLevelItemCount() == 0) {
        platform::MsgBox(QStringLiteral("There are no directories selected to backup"), platform::Buttons::OK,
                         platform::Icon::Information, QStringLiteral("Need to choose a list of Paths to Backup"));
        return;
    }
    // Blanks alone name no folder: written with its slash they would read as
    // "/", where no backup run starts; nor does one from a relative path.
    if (const QString reason = MissingDestinationReason(txtDestDir->text()); !reason.isEmpty()) {
        platform::MsgBox(reason, platform::Buttons::OK, platform::Icon::Information,
                         QStringLiteral("Need to choose a destination directory"));
        return;
    }
    if (!writeSettings()) {
        // Saying nothing would let the user believe the settings were kept.
        platform::MsgBox("The settings could not be written to '" + IniFile +
                             "'.\r\nCheck that its folder can be written to, then press OK again.",
                         platform::Buttons::OK, platform::Icon::Critical, windowTitle());
        return;
    }
    accept();
}

bool frmCorvexProOptions::writeSettings() {
    using namespace Key;
    const QString general = QString::fromLatin1(Section::General);
    const QString one = QStringLiteral("1");
    const QString zero = QStringLiteral("0");
    std::vector<platform::ProfileEntry> values{
        {general, Title, QStringLiteral("CorvexPro")},
        {general, RunSilently, chkRunSilent->isChecked() ? one : zero},
        {general, KeepPaths, chkReplicatePaths->isChecked() ? one : zero},
    };
    appendSlash(txtDataPath);
    if (chkLogUsage->isChecked()) {
        values.push_back({general, RecordToPlandel, one});
        values.push_back({QString::fromLatin1(Section::Plandel), DataPath, txtDataPath->text()});
    } else {
        values.push_back({general, RecordToPlandel, zero});
    }
    appendSlash(txtDestDir);
    values.push_back({general, BackupTo, txtDestDir->text()});
    values.push_back({general, BackupType, QString::number(cmbDestType->currentIndex())});
    // One save: a full disk leaves the settings as they were, never half of them.
    return WriteIniValues(IniFile, values);
}

void frmCorvexProOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ShownHook<frmCorvexProOptions>::Schedule(*this, m_hookRun);
}

void frmCorvexProOptions::SetShownHook(std::function<void(frmCorvexProOptions&)> hook) {
    ShownHook<frmCorvexProOptions>::Set(std::move(hook));
}
