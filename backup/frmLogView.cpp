#include "backup/frmLogView.h"

#include "foundation/ElidedText.h"
#include "foundation/EscapeCloses.h"
#include "foundation/FileListBox.h"
#include "foundation/Logging.h"
#include "foundation/NumberText.h"
#include "foundation/PathHelpers.h"
#include "foundation/ShellLauncher.h"
#include "foundation/WindowLayout.h"
#include "foundation/cFileIO.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileStatus.h"
#include "platform/Pointer.h"
#include "platform/SystemInfo.h"

#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QFile>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kTwipsPerPixel = 15;
const QLatin1String kNoLogFile("No Log File displayed");
const QLatin1String kNoLogFileLower("No Log file displayed");

// Shows the hourglass while a view reads its files.
struct HourglassWhile {
    HourglassWhile() { platform::SetPointer(platform::Pointer::Hourglass); }
    ~HourglassWhile() { platform::SetPointer(platform::Pointer::Default); }
    HourglassWhile(const HourglassWhile&) = delete;
    HourglassWhile& operator=(const HourglassWhile&) = delete;
};

// Reads path line by line through file, handing each line to take. The read
// that meets the end of the file gives no line.
template <class Take>
void forEachLine(cFileIO& file, const QString& path, Take take) {
    file.init(path);
    file.openFile(QStringLiteral("INPUT"));
    while (file.moreData()) {
        const QString line = file.getLine();
        if (!file.moreData()) break;
        take(line);
    }
    file.closeFile();
}

// A log line of a day begins with that day as "yyyymmdd".
bool isLineOfDay(const QString& line, const QString& day) { return line.size() >= 8 && line.left(8) == day; }

bool isFile(const QString& path) { return !path.isEmpty() && platform::GetFileStatus(path).isFile; }

QString joined(QString folder, const QString& name) { return JoinPath(folder, name); }

}  // namespace

frmLogView::frmLogView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmLogView"));
    setWindowTitle(QStringLiteral("LogFile Viewer"));

    Label1 = new QLabel(QStringLiteral("Viewing Logfiles in folder"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtPath = new QLineEdit(QStringLiteral("/"), this);
    txtPath->setObjectName(QStringLiteral("txtPath"));

    fileLogs = new FileListBox(this);
    fileLogs->setObjectName(QStringLiteral("fileLogs"));
    fileLogs->setMinimumWidth(fileLogs->fontMetrics().horizontalAdvance(QStringLiteral("corvex-2026.log")) * 3 / 2);
    fileLogs->viewport()->installEventFilter(this);
    fileLogs->installEventFilter(this);

    static const char* const viewTexts[4] = {"View Contents", "First 100 Lines", "Todays Entries",
                                             "All Files - Todays entries only"};
    m_views = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        optView[i] = new QRadioButton(QString::fromLatin1(viewTexts[i]), this);
        optView[i]->setObjectName(QStringLiteral("optView_%1").arg(i));
        m_views->addButton(optView[i], i);
    }

    lvStats = new QTreeWidget(this);
    lvStats->setObjectName(QStringLiteral("lvStats"));
    lvStats->setRootIsDecorated(false);
    lvStats->setSelectionMode(QAbstractItemView::SingleSelection);
    ElideRowsInTheMiddle(lvStats);
    lvStats->setMinimumWidth(lvStats->fontMetrics().horizontalAdvance(QStringLiteral("Last Modified  2026-12-09")) * 3 /
                             2);

    lblLogFile = new QLabel(QStringLiteral("No LogFile displayed"), this);
    lblLogFile->setObjectName(QStringLiteral("lblLogFile"));
    lblLogFile->setTextFormat(Qt::PlainText);
    QFont bold = lblLogFile->font();
    bold.setBold(true);
    lblLogFile->setFont(bold);
    // The full path, shortened in the middle where it does not fit.
    lblFullFileName = new ElidedLabel(QString(), this);
    lblFullFileName->setObjectName(QStringLiteral("lblFullFileName"));
    lblFullFileName->setStyleSheet(QStringLiteral("color: rgb(90, 90, 90);"));
    // A long name must not widen the window.
    lblLogFile->setMinimumWidth(1);

    txtLogFile = new QPlainTextEdit(this);
    txtLogFile->setObjectName(QStringLiteral("txtLogFile"));
    txtLogFile->setReadOnly(true);
    txtLogFile->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtLogFile->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    cmdRefresh = new QPushButton(QStringLiteral("Refresh"), this);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    mnuLogFile = new QMenu(this);
    mnuLogFile->setObjectName(QStringLiteral("mnuLogFile"));
    mnuLogOpen = mnuLogFile->addAction(QStringLiteral("&Open this File"));
    mnuLogOpen->setObjectName(QStringLiteral("mnuLogOpen"));
    mnuLogDelete = mnuLogFile->addAction(QStringLiteral("&Delete this Logfile"));
    mnuLogDelete->setObjectName(QStringLiteral("mnuLogDelete"));

    // Folder line across the top, with Refresh (which lists the folder typed
    // there) and Close at its end; the list, the views and the facts beside
    // each other below it; the caption line and the text fill the rest, the
    // text reaching the right and bottom edges.
    auto* top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addWidget(txtPath, 1);
    top->addWidget(cmdRefresh);
    top->addWidget(cmdClose);

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(fileLogs, 1);

    auto* viewColumn = new QVBoxLayout;
    for (QRadioButton* b : optView) viewColumn->addWidget(b);
    viewColumn->addStretch(1);

    auto* middle = new QHBoxLayout;
    middle->addLayout(listColumn);
    middle->addLayout(viewColumn);
    middle->addWidget(lvStats, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addWidget(lblLogFile);
    layout->addWidget(lblFullFileName);
    layout->addWidget(txtLogFile, 1);
    SetTabOrder(
        {txtPath, cmdRefresh, cmdClose, fileLogs, optView[0], optView[1], optView[2], optView[3], lvStats, txtLogFile});

    connect(cmdRefresh, &QPushButton::clicked, this, &frmLogView::cmdRefresh_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmLogView::cmdClose_Click);
    CloseOnEscape(this, cmdClose);
    connect(fileLogs, &QListWidget::itemSelectionChanged, this, [this] {
        if (!fileLogs->fileName().isEmpty()) fileLogs_Click();
    });
    connect(m_views, &QButtonGroup::idClicked, this, &frmLogView::optView_Click);
    connect(mnuLogOpen, &QAction::triggered, this, &frmLogView::mnuLogOpen_Click);
    connect(mnuLogDelete, &QAction::triggered, this, &frmLogView::mnuLogDelete_Click);

    // The list and the facts keep the height of the four fact rows; all
    // further height goes to the text.
    const int rows = 5 * (fontMetrics().height() + 8) + 8;
    fileLogs->setFixedHeight(rows);
    lvStats->setFixedHeight(rows);
    resize(sizeHint().expandedTo(QSize(900, 560)));
}

void frmLogView::Form_Load() {
    lvStats->clear();
    lvStats->setColumnCount(2);
    lvStats->setHeaderLabels({QStringLiteral("Item"), QStringLiteral("Details")});
    lvStats->header()->resizeSection(0, 1500 / kTwipsPerPixel);
    // The details take the rest of the view's width, so that a long path is
    // shortened in the middle (its whole text the row's tool tip) rather than
    // cut at the view's edge.
    lvStats->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    cmdRefresh_Click();
}

void frmLogView::OpenOnFolder(const QString& folder) {
    txtPath->setText(folder);
    fileLogs->setPattern(QStringLiteral("*.log"));
    fileLogs->setPath(folder);
    SelectView(0);
}

void frmLogView::SelectView(int index) {
    if (index < 0 || index > 3 || optView[index]->isChecked()) return;
    optView[index]->setChecked(true);
    optView_Click(index);
}

int frmLogView::CurrentView() const { return m_views->checkedId(); }

void frmLogView::cmdRefresh_Click() {
    fileLogs->setPattern(QStringLiteral("*.log"));
    fileLogs->setPath(txtPath->text());
    txtLogFile->clear();
    lvStats->clear();
    lblLogFile->setText(kNoLogFile);
}

void frmLogView::cmdClose_Click() { close(); }

void frmLogView::fileLogs_Click() {
    HourglassWhile busy;
    const QString full = joined(txtPath->text(), fileLogs->fileName());
    lblFullFileName->setText(full);
    lblLogFile->setText(full);
    if (!isFile(full)) lblLogFile->setText(kNoLogFile);
    showFacts(lblLogFile->text());
    const int view = CurrentView();
    if (view == 3)
        SelectView(2);
    else if (view >= 0)
        optView_Click(view);
}

void frmLogView::showFacts(const QString& path) {
    const platform::FileStatus status = platform::GetFileStatus(path);
    const bool there = status.exists && status.isFile;
    const QString size = GroupedNumber(there ? status.size : 0, true) + QStringLiteral(" Bytes");
    const QString changed =
        there ? QLocale::system().toString(status.modified(), QStringLiteral("ddd, dd-MMM-yyyy HH:mm:ss")) : QString();
    lvStats->clear();
    const QList<QStringList> rows = {{QStringLiteral("File Name"), GetFileNameFromPath(path)},
                                     {QStringLiteral("Path"), GetFolderFromPath(path)},
                                     {QStringLiteral("File Size"), size},
                                     {QStringLiteral("Date Last Modifed"), changed}};
    for (const QStringList& row : rows) new QTreeWidgetItem(lvStats, row);
    // The item names stay readable in larger fonts.
    lvStats->resizeColumnToContents(0);
    if (lvStats->columnWidth(0) < 1500 / kTwipsPerPixel) lvStats->setColumnWidth(0, 1500 / kTwipsPerPixel);
}

void frmLogView::optView_Click(int index) {
    HourglassWhile busy;
    const QString today = platform::Now().toString(QStringLiteral("yyyyMMdd"));
    txtLogFile->clear();
    const QString full = lblFullFileName->text();
    QString text;
    cFileIO file;
    switch (index) {
    case 0:
        if (!full.isEmpty()) forEachLine(file, full, [&](const QString& line) { text += line + u'\n'; });
        break;
    case 1: {
        int count = 0;
        if (!full.isEmpty())
            forEachLine(file, full, [&](const QString& line) {
                if (count++ < 100) text += line + u'\n';
            });
        break;
    }
    case 2:
        if (!full.isEmpty())
            forEachLine(file, full, [&](const QString& line) {
                if (isLineOfDay(line, today)) text += line + u'\n';
            });
        break;
    case 3: {
        const QString rule(56, u'-');
        for (int i = 0; i < fileLogs->count(); ++i) {
            const QString path = joined(txtPath->text(), fileLogs->item(i)->text());
            if (!isFile(path)) continue;
            text += rule + u'\n' + path + u'\n' + rule + u'\n';
            forEachLine(file, path, [&](const QString& line) {
                if (isLineOfDay(line, today)) text += line + u'\n';
            });
            text += u'\n';
        }
        break;
    }
    default: break;
    }
    txtLogFile->setPlainText(text);
    UpdateLogCaption();
}

void frmLogView::UpdateLogCaption() {
    const QString selected = fileLogs->fileName();
    lblFullFileName->setText(joined(fileLogs->path(), selected));
    const int view = CurrentView();
    if (!isFile(lblFullFileName->text()) && view != 3) {
        lblLogFile->setText(kNoLogFileLower);
        lblFullFileName->clear();
    } else if (view == 3) {
        lblLogFile->setText(QStringLiteral("Displaying Today's Entries from All Logfiles"));
    } else if (selected.isEmpty()) {
        lblLogFile->setText(kNoLogFileLower);
        lblFullFileName->clear();
    } else {
        const QString name = GetFileNameFromPath(lblFullFileName->text());
        if (view == 2)
            lblLogFile->setText(QStringLiteral("Today's Entries of ") + name);
        else if (view == 1)
            lblLogFile->setText(QStringLiteral("First 100 lines of ") + name);
        else if (view == 0)
            lblLogFile->setText(QStringLiteral("Displaying all of ") + name);
    }
}

bool frmLogView::eventFilter(QObject* watched, QEvent* event) {
    // A right click over the list pops up the menu for the selected log and
    // leaves the selection as it is.
    if (watched == fileLogs->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            if (!fileLogs->fileName().isEmpty()) mnuLogFile->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    // From the keyboard the Menu key and Shift+F10 pop it up beside the selected log.
    if (watched == fileLogs && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool menuKey = key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier;
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        if (menuKey || shiftF10) {
            event->accept();
            popUpMenuAtSelectedLog();
            return true;
        }
    }
    if (watched == fileLogs && event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        popUpMenuAtSelectedLog();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmLogView::popUpMenuAtSelectedLog() {
    if (fileLogs->fileName().isEmpty()) return;
    const QList<QListWidgetItem*> selected = fileLogs->selectedItems();
    const QRect row = selected.isEmpty() ? QRect() : fileLogs->visualItemRect(selected.first());
    const QPoint at = row.isValid() ? row.bottomLeft() : QPoint(0, 0);
    mnuLogFile->popup(fileLogs->viewport()->mapToGlobal(at));
}

void frmLogView::mnuLogOpen_Click() { LaunchFile(joined(fileLogs->path(), fileLogs->fileName())); }

void frmLogView::mnuLogDelete_Click() {
    const QString name = fileLogs->fileName();
    if (name.isEmpty()) return;
    if (name == QLatin1String("ST6UNST.LOG")) {
        platform::MsgBox(QStringLiteral("This is a system file which is required for the uninstall procedure."),
                         platform::Buttons::OK, platform::Icon::Critical, QStringLiteral("Cannot delete this logfile"));
        return;
    }
    const QString full = joined(fileLogs->path(), name);
    if (platform::MsgBox(QStringLiteral("Do you want to delete the logfile\r\n") + full, platform::Buttons::OKCancel,
                         platform::Icon::None, QStringLiteral("Deleting Logfile")) == platform::Answer::Cancel)
        return;
    QFile file(full);
    if (!file.remove()) WriteLog("Could not delete the logfile " + full + " : " + file.errorString(), 0);
    cmdRefresh_Click();
}

frmLogView* ShowLogViewer() {
    static QPointer<frmLogView> viewer;
    if (!viewer) {
        viewer = new frmLogView;
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        viewer->Form_Load();
    }
    viewer->OpenOnFolder(platform::ProgramFolder());
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}
