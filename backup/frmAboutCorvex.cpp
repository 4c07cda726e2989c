#include "backup/frmAboutCorvex.h"

#include "foundation/LabelClick.h"
#include "foundation/Logging.h"
#include "foundation/MakerAddresses.h"
#include "foundation/ShellLauncher.h"
#include "foundation/WindowLayout.h"
#include "platform/Pointer.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>


void SetLabelTextColour(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

frmAboutCorvex::frmAboutCorvex(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAboutCorvex"));
    setWindowTitle(QStringLiteral("About Tamsel Softwares Corvex"));

    Label1[0] = new QLabel(this);
    Label1[0]->setObjectName(QStringLiteral("Label1_0"));
    QFont name(QStringLiteral("Tahoma"));
    name.setPointSizeF(font().pointSizeF() * 2);
    name.setBold(true);
    Label1[0]->setFont(name);

    frameAdvert = new QGroupBox(this);
    frameAdvert->setObjectName(QStringLiteral("frameAdvert"));
    lblVersion = new QLabel(frameAdvert);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    for (int i = 0; i < 2; ++i) {
        Label2[i] = new QLabel(frameAdvert);
        Label2[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
        Label2[i]->setWordWrap(true);
    }
    Label2[1]->setText(QStringLiteral("For more Freeware and Shareware, click on the website link below.."));
    lblURL = new QLabel(MakerWebAddress(), frameAdvert);
    lblURL->setObjectName(QStringLiteral("lblURL"));
    lblURL->setTextFormat(Qt::PlainText);
    lblURL->setCursor(Qt::PointingHandCursor);
    QFont link = lblURL->font();
    link.setUnderline(true);
    lblURL->setFont(link);
    SetLabelTextColour(lblURL, QColor(0, 0, 192));
    OnLabelClick(lblURL, [this] { lblURL_Click(); });

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto* advert = new QVBoxLayout(frameAdvert);
    advert->addWidget(lblVersion);
    advert->addWidget(Label2[0]);
    advert->addSpacing(8);
    advert->addWidget(Label2[1]);
    advert->addWidget(lblURL);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1[0]);
    layout->addWidget(frameAdvert);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmAboutCorvex::cmdOK_Click);
}

void frmAboutCorvex::Form_Load() {
    lblVersion->setText(QStringLiteral("  Corvex") + QStringLiteral(" - version ") + GetVersionString() +
                        QStringLiteral("   "));
    Label1[0]->setText(QStringLiteral("  Corvex"));
    setWindowTitle(QStringLiteral("About Tamsel Softwares Corvex"));
    Label2[0]->setText(
        QStringLiteral("Corvex makes a copy of all recently modified files from all the folders you have chosen."));
    // The box never shrinks until its wrapped lines are cut.
    KeepWrappedTextWhole(this, fontMetrics().averageCharWidth() * 55);
    // It opens at the size its text needs: a window's first size is a
    // general default, far larger, that would leave the name adrift.
    resize(minimumSize());
}

void frmAboutCorvex::cmdOK_Click() { accept(); }

void frmAboutCorvex::lblURL_Click() {
    platform::SetPointer(platform::Pointer::Hourglass);
    // Red marks the link as visited for as long as the box is open.
    SetLabelTextColour(lblURL, QColor(255, 0, 0));
    LaunchFile(MakerWebAddress());
    platform::SetPointer(platform::Pointer::Default);
}

void ShowAboutCorvex(QWidget* owner) {
    frmAboutCorvex box(owner);
    box.Form_Load();
    box.exec();
}
