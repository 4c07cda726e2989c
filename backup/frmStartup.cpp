#include "backup/frmStartup.h"

#include "backup/BackupRun.h"
#include "backup/BackupValues.h"
#include "backup/WelcomeMessage.h"
#include "backup/frmProgress.h"
#include "foundation/ElidedText.h"
#include "foundation/IniFile.h"
#include "foundation/ListFiles.h"
#include "foundation/ProgramPaths.h"
#include "foundation/SettingValue.h"
#include "foundation/SettingsKeys.h"
#include "foundation/ShellLauncher.h"
#include "platform/Process.h"
#include "platform/SystemInfo.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kImageSize = 40;

// The picture shown while the count runs: a green disc with a white pause
// sign, inviting a click that holds the count.
QPixmap goPicture() {
    QPixmap pm(kImageSize, kImageSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient disc(QPointF(16, 14), 26);
    disc.setColorAt(0, QColor(120, 230, 120));
    disc.setColorAt(1, QColor(20, 140, 40));
    p.setPen(QPen(QColor(10, 90, 25), 1.5));
    p.setBrush(disc);
    p.drawEllipse(QRectF(2, 2, kImageSize - 4, kImageSize - 4));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(13, 11, 5, 18), 1.5, 1.5);
    p.drawRoundedRect(QRectF(22, 11, 5, 18), 1.5, 1.5);
    return pm;
}

// The picture shown while the count is held: a red octagon with a white
// triangle, inviting a click that lets the count go on.
QPixmap stopPicture() {
    QPixmap pm(kImageSize, kImageSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double c = kImageSize / 2.0;
    const double r = c - 2;
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        const double a = (22.5 + 45.0 * i) * M_PI / 180.0;
        octagon << QPointF(c + r * std::cos(a), c + r * std::sin(a));
    }
    p.setPen(QPen(QColor(110, 10, 10), 1.5));
    p.setBrush(QColor(205, 30, 30));
    p.drawPolygon(octagon);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(15, 11), QPointF(15, 29), QPointF(29, 20)}));
    return pm;
}

template <typename Label = QLabel>
QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new Label(text, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

int StartupDelayFromSetting(const QString& value) { return qBound(3, NumericValue16(value), 99); }

QString SignPlaceNumber(int value) {
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

frmStartup::frmStartup(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmStartup"));
    setWindowTitle(QStringLiteral("Tamsel Softwares Corvex"));

    QFont bold = font();
    bold.setBold(true);

    Label1[0] = makeLabel(QStringLiteral("Label1_0"), QStringLiteral("About to backup files worked on since"), this);
    Label1[0]->setFont(bold);
    lblLastBackup = makeLabel(QStringLiteral("lblLastBackup"), QStringLiteral("2003-04-28 14:05:00"), this);
    Label1[1] = makeLabel(QStringLiteral("Label1_1"), QStringLiteral("to the folder"), this);
    // The destination and the file being copied are paths: shortened in the middle.
    lblDest = makeLabel<ElidedLabel>(QStringLiteral("lblDest"), QStringLiteral("/home/anna/Backup"), this);
    Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("from the following List of Folders"), this);
    QFont value = font();
    value.setBold(true);
    for (QLabel* l : {lblLastBackup, lblDest}) {
        l->setFont(value);
        l->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
        l->setTextInteractionFlags(Qt::NoTextInteraction);
        // Paths and dates from the settings file are shown as they stand, never as markup.
        l->setTextFormat(Qt::PlainText);
        l->setIndent(16);
    }

    lvPaths = new QTreeWidget(this);
    lvPaths->setObjectName(QStringLiteral("lvPaths"));
    lvPaths->setColumnCount(1);
    lvPaths->setHeaderHidden(true);
    lvPaths->setRootIsDecorated(false);
    lvPaths->setSelectionMode(QAbstractItemView::SingleSelection);
    lvPaths->setMinimumHeight(lvPaths->fontMetrics().lineSpacing() * 5);
    ElideRowsInTheMiddle(lvPaths);
    SetListViewCheckBoxes(lvPaths, false);  // it only shows the folders

    // The countdown group, framed by the Label4 panel behind it.
    Label4 = makeLabel(QStringLiteral("Label4"), QString(), this);
    Label4->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label4->setMinimumHeight(kImageSize + 16);
    Label1[2] = makeLabel(QStringLiteral("Label1_2"), QStringLiteral("Backup will start in"), this);
    Label1[4] = makeLabel(QStringLiteral("Label1_4"), QStringLiteral("99"), this);
    QFont count = font();
    count.setBold(true);
    count.setPointSize(count.pointSize() * 2);
    Label1[4]->setFont(count);
    Label1[4]->setMinimumWidth(QFontMetrics(count).horizontalAdvance(QStringLiteral(" 99")) + 4);
    Label1[4]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1[5] = makeLabel(QStringLiteral("Label1_5"), QStringLiteral("seconds"), this);
    imageGo = makeLabel(QStringLiteral("imageGo"), QString(), this);
    imageGo->setPixmap(goPicture());
    imageGo->setToolTip(QStringLiteral("Click to delay backup countdown"));
    imageGo->setCursor(Qt::PointingHandCursor);
    imageStop = makeLabel(QStringLiteral("imageStop"), QString(), this);
    imageStop->setPixmap(stopPicture());
    imageStop->setToolTip(QStringLiteral("Click this icon again to resume countdown"));
    imageStop->setCursor(Qt::PointingHandCursor);
    imageStop->hide();
    // The shown image is the pause control of the keyboard too: it takes the
    // focus in the tab order, shows it by a frame, and Space or Enter on it
    // acts as a click.
    for (QLabel* image : {imageGo, imageStop}) {
        image->setFocusPolicy(Qt::TabFocus);
        image->setStyleSheet(QStringLiteral(
            "QLabel { border: 1px solid transparent; } QLabel:focus { border: 1px dotted palette(text); }"));
    }

    cmdConfig = new QPushButton(QStringLiteral("Options"), this);
    cmdConfig->setObjectName(QStringLiteral("cmdConfig"));
    cmdConfig->setToolTip(QStringLiteral("Configure paths, backup folder and backup type"));
    Command2 = new QPushButton(QStringLiteral("Manual"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setToolTip(QStringLiteral("Run the backup manually"));
    Command1 = new QPushButton(QStringLiteral("&Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("Quit the program"));

    frameStatus = new QGroupBox(this);
    frameStatus->setObjectName(QStringLiteral("frameStatus"));
    lblFile = makeLabel<ElidedLabel>(QStringLiteral("lblFile"), QStringLiteral("Initializing..."), frameStatus);
    ProgressBarCurrent = new QProgressBar(frameStatus);
    ProgressBarCurrent->setObjectName(QStringLiteral("ProgressBarCurrent"));
    Label3 = makeLabel(QStringLiteral("Label3"), QStringLiteral("Total"), frameStatus);
    ProgressBarTotal = new QProgressBar(frameStatus);
    ProgressBarTotal->setObjectName(QStringLiteral("ProgressBarTotal"));
    auto* statusLayout = new QVBoxLayout(frameStatus);
    statusLayout->addWidget(lblFile);
    statusLayout->addWidget(ProgressBarCurrent);
    statusLayout->addWidget(Label3);
    statusLayout->addWidget(ProgressBarTotal);
    frameStatus->hide();

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    timerPreload = new QTimer(this);
    timerPreload->setObjectName(QStringLiteral("timerPreload"));
    timerPreload->setInterval(2000);

    // Layout: the three description lines, the folder list (the status frame
    // takes its place during the run), the countdown panel and the buttons.
    auto* countRow = new QHBoxLayout;
    countRow->setContentsMargins(12, 6, 12, 6);
    countRow->addWidget(Label1[2]);
    countRow->addWidget(Label1[4]);
    countRow->addWidget(Label1[5]);
    countRow->addStretch();
    countRow->addWidget(imageGo);
    countRow->addWidget(imageStop);
    auto* countPanel = new QGridLayout;
    countPanel->addWidget(Label4, 0, 0);
    countPanel->addLayout(countRow, 0, 0);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdConfig);
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(Label1[0]);
    layout->addWidget(lblLastBackup);
    layout->addWidget(Label1[1]);
    layout->addWidget(lblDest);
    layout->addWidget(Label2);
    layout->addWidget(lvPaths, 1);
    layout->addWidget(frameStatus, 1, Qt::AlignTop);
    layout->addLayout(countPanel);
    layout->addWidget(Line1);
    layout->addLayout(buttons);
    resize(sizeHint().expandedTo(QSize(460, 420)));

    for (QWidget* w : {static_cast<QWidget*>(imageGo), static_cast<QWidget*>(imageStop), static_cast<QWidget*>(lblDest),
                       static_cast<QWidget*>(lblLastBackup), lvPaths->viewport()})
        w->installEventFilter(this);
    connect(Timer1, &QTimer::timeout, this, &frmStartup::Timer1_Timer);
    connect(timerPreload, &QTimer::timeout, this, &frmStartup::timerPreload_Timer);
    connect(Command1, &QPushButton::clicked, this, &frmStartup::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmStartup::Command2_Click);
    connect(cmdConfig, &QPushButton::clicked, this, &frmStartup::cmdConfig_Click);
    timerPreload->start();
}

bool frmStartup::Form_Load() {
    // The folder list fills the window's width through the layout.
    setWindowTitle(QStringLiteral("Tamsel Softwares Corvex"));

    lblLastBackup->setText(ReadIni(IniFile, Section::General, Key::DateOfLastBackup));
    if (lblLastBackup->text().isEmpty()) lblLastBackup->setText(QStringLiteral("2 months ago"));

    lblDest->setText(ReadIni(IniFile, Section::General, Key::BackupTo));
    if (lblDest->text().isEmpty()) {
        // Settings never completed: explain, hand over to the settings program, end.
        ShowWelcomeMessage();
        return false;
    }

    LoadFileToListBox(lvPaths, ReadIni(IniFile, Section::General, Key::PathList), 0);

    if (ReadIni(IniFile, Section::General, Key::StartupDelay).isEmpty())
        WriteIni(Section::General, Key::StartupDelay, "22", IniFile);
    const int delay = StartupDelayFromSetting(ReadIni(IniFile, Section::General, Key::StartupDelay));
    Label1[4]->setText(QString::number(delay));

    Timer1->start();
    return true;
}

void frmStartup::Timer1_Timer() {
    Label1[4]->setText(SignPlaceNumber(int(NumericValue(Label1[4]->text())) - 1));
    if (NumericValue(Label1[4]->text()) != 0) return;

    Timer1->stop();
    frameStatus->show();
    Label1[2]->setText(QString());
    Label1[4]->setText(QString());
    imageGo->hide();
    imageStop->hide();
    Label4->hide();
    Label1[5]->setText(QString());
    Command2->setEnabled(false);
    cmdConfig->setEnabled(false);
    Label1[0]->setText(QStringLiteral("Backing up Files..."));
    // The main window, loaded by the run for its parameters, stays hidden.
    RunningSilently = true;
    lvPaths->hide();

    const StatusControls status = statusControls();
    RunBackup(TheProgressForm()->backupParameters(), &status);
    platform::EndProgram(RunExitStatus());
}

StatusControls frmStartup::statusControls() const {
    return {frameStatus, lblFile, ProgressBarCurrent, ProgressBarTotal};
}

void frmStartup::timerPreload_Timer() {}

namespace {
// Shows one image in the other's place; the focus, where the other had it,
// goes with it, so that the same key gives the opposite action.
void swapImages(QLabel* from, QLabel* to) {
    to->show();
    if (from->hasFocus()) to->setFocus(Qt::OtherFocusReason);
    from->hide();
}
}  // namespace

void frmStartup::imageGo_Click() {
    swapImages(imageGo, imageStop);
    Timer1->stop();
}

void frmStartup::imageStop_Click() {
    swapImages(imageStop, imageGo);
    Timer1->start();
}

void frmStartup::Command1_Click() { platform::EndProgram(); }

void frmStartup::Command2_Click() {
    Timer1->stop();
    frmProgress* main = TheProgressForm();
    main->show();
    main->raise();
    main->activateWindow();
}

void frmStartup::startSettingsProgramAndEnd() {
    // The user has chosen to leave: hold the count, so that it cannot run out
    // and start a backup while a start failure is being reported.
    Timer1->stop();
    // A failed start has already been reported by LaunchFile; end either way.
    LaunchFile(SettingsProgramPath(), false, QString());
    platform::EndProgram();
}

void frmStartup::cmdConfig_Click() { startSettingsProgramAndEnd(); }
void frmStartup::lblDest_DblClick() { startSettingsProgramAndEnd(); }
void frmStartup::lblLastBackup_DblClick() { startSettingsProgramAndEnd(); }
void frmStartup::lvPaths_DblClick() { startSettingsProgramAndEnd(); }

bool frmStartup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) {
            if (watched == imageGo && imageGo->isVisible()) {
                imageGo_Click();
                return true;
            }
            if (watched == imageStop && imageStop->isVisible()) {
                imageStop_Click();
                return true;
            }
        }
    } else if (event->type() == QEvent::KeyPress && (watched == imageGo || watched == imageStop)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool press = key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (press && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            // A held key acts once.
            if (!key->isAutoRepeat()) watched == imageGo ? imageGo_Click() : imageStop_Click();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == lblDest) {
            lblDest_DblClick();
            return true;
        }
        if (watched == lblLastBackup) {
            lblLastBackup_DblClick();
            return true;
        }
        if (watched == lvPaths->viewport()) {
            lvPaths_DblClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmStartup::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    platform::EndProgram();
}
