#include "settings/frmConfigureCorvexPro.h"

#include "foundation/ElidedText.h"
#include "foundation/IniFile.h"
#include "foundation/Logging.h"
#include "foundation/MakerAddresses.h"
#include "foundation/ProgramPaths.h"
#include "foundation/SettingsKeys.h"
#include "foundation/ShellLauncher.h"
#include "foundation/frmEULA.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"
#include "platform/Process.h"
#include "platform/SystemInfo.h"
#include "settings/DefaultSettings.h"
#include "settings/FancyForm.h"
#include "settings/RunAndWait.h"
#include "settings/SettingsValues.h"
#include "settings/frmCorvexProOptions.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The picture of Image1: a drive with a green arrow that copies onto it.
QPixmap aboutPicture() {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Drive body.
    QLinearGradient body(0, 30, 0, 58);
    body.setColorAt(0, QColor(236, 240, 244));
    body.setColorAt(1, QColor(150, 162, 176));
    p.setPen(QPen(QColor(60, 70, 84), 2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(6, 32, 52, 24), 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 200, 90));
    p.drawEllipse(QPointF(48, 44), 3, 3);
    p.setBrush(QColor(90, 100, 114));
    p.drawRect(QRectF(13, 42, 22, 4));
    // Arrow pointing down onto the drive.
    QPainterPath arrow;
    arrow.moveTo(26, 4);
    arrow.lineTo(38, 4);
    arrow.lineTo(38, 16);
    arrow.lineTo(46, 16);
    arrow.lineTo(32, 30);
    arrow.lineTo(18, 16);
    arrow.lineTo(26, 16);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(20, 90, 40), 1.5));
    p.setBrush(QColor(60, 170, 80));
    p.drawPath(arrow);
    return pm;
}

// The system's short date followed by its time with seconds.
QString defaultDateTimeText(const QDateTime& when) {
    if (!when.isValid()) return {};
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    timeFormat = timeFormat.simplified();
    return locale.toString(when.date(), QLocale::ShortFormat) + ' ' + when.time().toString(timeFormat);
}

}  // namespace


QString AboutMessageText() {
    const QFileInfo exe(SettingsProgramPath());
    return "vantor.exe - version " + GetVersionString() + "\r\n" + "EXE built on " +
           defaultDateTimeText(exe.lastModified()) + "\r\n" + "\r\n" + "Written by the Tamsel Softwares team." +
           "\r\n" + "\r\n" + "With thanks to every user who sent in ideas and fault reports." + "\r\n" + "\r\n";
}

frmConfigureCorvexPro::frmConfigureCorvexPro(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmConfigureCorvexPro"));
    setWindowTitle(QStringLiteral("Configure Tamsel Softwares Automatic backup software"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(aboutPicture());
    Image1->setToolTip(QStringLiteral("About this program"));
    Image1->setCursor(Qt::PointingHandCursor);

    Label1[1] = new QLabel(QStringLiteral("Tamsel Softwares ....."), this);
    Label1[1]->setObjectName(QStringLiteral("Label1_1"));
    QFont titleFont(QStringLiteral("Book Antiqua"));
    titleFont.setStyleHint(QFont::Serif);
    titleFont.setPointSize(20);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    Label1[1]->setFont(titleFont);
    Label1[1]->setStyleSheet(QStringLiteral("color: rgb(0, 40, 90);"));

    cmdRun = new QPushButton(QStringLiteral("&Run the Backup"), this);
    cmdRun->setObjectName(QStringLiteral("cmdRun"));
    cmdRun->setToolTip(QStringLiteral("Runs the backup program, as it would run on startup"));
    cmdOptions = new QPushButton(QStringLiteral("&Setup"), this);
    cmdOptions->setObjectName(QStringLiteral("cmdOptions"));
    cmdOptions->setToolTip(QStringLiteral("Edit the List of Paths and other options"));
    for (QPushButton* b : {cmdRun, cmdOptions}) {
        QFont f = b->font();
        f.setPointSize(f.pointSize() + 1);
        b->setFont(f);
        // Two large buttons: their size follows the text, with room around it.
        const QSize text = b->sizeHint();
        b->setMinimumSize(text.width() + b->fontMetrics().averageCharWidth() * 6, text.height() * 3 / 2);
    }

    // The folder name is shown as it stands, shortened in the middle where it does not fit.
    lblInstalledPath = new ElidedLabel(QString(), this);
    lblInstalledPath->setObjectName(QStringLiteral("lblInstalledPath"));
    lblInstalledPath->setToolTip(QStringLiteral("Click here to view the folder where this program is installed"));

    lblVisitURL = new QLabel(MakerWebAddress(), this);
    lblVisitURL->setObjectName(QStringLiteral("lblVisitURL"));
    lblVisitURL->setToolTip(QStringLiteral("Visit Tamsel Softwares Website"));
    lblVisitURL->setMouseTracking(true);
    QFont link = lblVisitURL->font();
    link.setUnderline(true);
    lblVisitURL->setFont(link);
    lblVisitURL->setStyleSheet(QStringLiteral("color: rgb(0, 0, 160);"));

    auto* header = new QHBoxLayout;
    header->addWidget(Image1);
    header->addSpacing(12);
    header->addWidget(Label1[1], 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdRun);
    buttons->addSpacing(16);
    buttons->addWidget(cmdOptions);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->addLayout(header);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();
    layout->addWidget(lblInstalledPath);
    layout->addWidget(lblVisitURL, 0, Qt::AlignRight);
    resize(sizeHint().expandedTo(QSize(520, 300)));

    for (QWidget* w : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Label1[1]),
                       static_cast<QWidget*>(lblInstalledPath), static_cast<QWidget*>(lblVisitURL)})
        w->installEventFilter(this);
    connect(cmdRun, &QPushButton::clicked, this, &frmConfigureCorvexPro::cmdRun_Click);
    connect(cmdOptions, &QPushButton::clicked, this, &frmConfigureCorvexPro::cmdOptions_Click);
}

bool frmConfigureCorvexPro::Form_Load(const QString& commandLine) {
    const QString folder = platform::ProgramFolder();
    IniFile = SettingsFilePath();
    HelpFile = folder + "/corvex.hlp";
    Label1[1]->setText(QStringLiteral("Tamsel Softwares Corvex"));

    if (!QFileInfo(IniFile).isFile()) {
        WriteLog("Initialising : Cant find ini file '" + IniFile + "'", 0);
        // A refusal has already ended the program; nothing is written then.
        if (!ShowAgreement(nullptr)) return false;
        CreateDefaultIni(IniFile);
    }

    lblInstalledPath->setText("Installation Directory = '" + folder + "'");

    PathListFile = ReadIni(IniFile, Section::General, Key::PathList);
    if (PathListFile.isEmpty()) PathListFile = folder + "/MyPaths.txt";
    ExcludedPathListFile = ReadIni(IniFile, Section::General, Key::ExcludedPathList);
    if (ExcludedPathListFile.isEmpty()) ExcludedPathListFile = folder + "/ExcludedPaths.txt";

    if (IsQuickSwitch(commandLine)) {
        // The options dialog alone; the program ends when it closes.
        frmCorvexProOptions options;
        options.exec();
        platform::EndProgram();
        return false;
    }

    FancyForm(this, 0, -1, -1);
    show();
    return true;
}

void frmConfigureCorvexPro::cmdRun_Click() {
    platform::SetPointer(platform::Pointer::Hourglass);
    cmdRun->setEnabled(false);
    cmdOptions->setEnabled(false);
    m_waiting = true;
    RunProgram(BackupProgramPath());
    m_waiting = false;
    cmdRun->setEnabled(true);
    cmdOptions->setEnabled(true);
    platform::SetPointer(platform::Pointer::Default);
}

void frmConfigureCorvexPro::cmdOptions_Click() {
    frmCorvexProOptions options(this);
    options.exec();
}

void frmConfigureCorvexPro::Image1_Click() {
    platform::MsgBox(AboutMessageText(), platform::Buttons::OK, platform::Icon::Information,
                     QStringLiteral("About Corvex-Pro Configuration"));
}

void frmConfigureCorvexPro::Label1_Click(int index) {
    Q_UNUSED(index);
    platform::MsgBox("If you have any questions about this program\r\nsend an email to " + MakerSupportAddress(),
                     platform::Buttons::OK, platform::Icon::Information, QStringLiteral("Contacting Tamsel Software"));
}

void frmConfigureCorvexPro::lblInstalledPath_Click() { LaunchFile(platform::ProgramFolder(), false, QString()); }

void frmConfigureCorvexPro::lblVisitURL_Click() {
    lblVisitURL->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    LaunchFile(MakerWebAddress(), false, QString());
}

void frmConfigureCorvexPro::lblVisitURL_MouseMove() {
    // The pointer over the address shows that it can be clicked.
    lblVisitURL->setCursor(Qt::PointingHandCursor);
}

bool frmConfigureCorvexPro::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        auto* w = qobject_cast<QWidget*>(watched);
        if (me->button() == Qt::LeftButton && w && w->rect().contains(me->position().toPoint())) {
            if (watched == Image1)
                Image1_Click();
            else if (watched == Label1[1])
                Label1_Click(1);
            else if (watched == lblInstalledPath)
                lblInstalledPath_Click();
            else if (watched == lblVisitURL)
                lblVisitURL_Click();
        }
    } else if (event->type() == QEvent::MouseMove && watched == lblVisitURL) {
        lblVisitURL_MouseMove();
    }
    return QWidget::eventFilter(watched, event);
}

void frmConfigureCorvexPro::closeEvent(QCloseEvent* event) {
    // While the backup program runs, the wait loop lives inside this window's
    // handler: the window stays until the backup program has ended.
    if (m_waiting) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
