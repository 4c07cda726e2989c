#include "backup/frmMsgBox.h"

#include "foundation/WindowLayout.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>

qint16 MsgBoxResult = 0;

frmMsgBox::frmMsgBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMsgBox"));
    setWindowTitle(QStringLiteral("Information"));

    lblText = new QLabel(QStringLiteral("lblText"), this);
    lblText->setObjectName(QStringLiteral("lblText"));
    lblText->setWordWrap(true);
    lblText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblText->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Room for a few wrapped lines even in the smallest window.
    lblText->setMinimumHeight(3 * lblText->fontMetrics().lineSpacing());

    box = new QTextEdit(this);
    box->setObjectName(QStringLiteral("box"));
    box->setPlainText(QStringLiteral("RichTextBox1"));
    box->hide();
    connect(box, &QTextEdit::textChanged, this, &frmMsgBox::box_Change);

    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdYes = button("cmdYes", "Yes");
    cmdNo = button("cmdNo", "No");
    cmdOK = button("cmdOK", "OK");
    cmdCancel = button("cmdCancel", "Cancel");
    connect(cmdOK, &QPushButton::clicked, this, &frmMsgBox::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMsgBox::cmdCancel_Click);
    connect(cmdYes, &QPushButton::clicked, this, &frmMsgBox::cmdYes_Click);
    connect(cmdNo, &QPushButton::clicked, this, &frmMsgBox::cmdNo_Click);

    // The message and the rich-text box share the area above the buttons.
    auto* message = new QGridLayout;
    message->setContentsMargins(0, 0, 0, 0);
    message->addWidget(lblText, 0, 0);
    message->addWidget(box, 0, 0);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(1);
    for (QPushButton* b : {cmdYes, cmdNo, cmdOK, cmdCancel}) buttons->addWidget(b);

    // The buttons' top lies ButtonsFromBottom above the bottom edge, and the
    // message ends RoomBelowMessage + MessageMargin above it, whatever the
    // window's size.
    const int buttonHeight = cmdOK->sizeHint().height();
    for (QPushButton* b : {cmdYes, cmdNo, cmdOK, cmdCancel}) b->setFixedHeight(buttonHeight);
    const int bottomMargin = std::max(0, ButtonsFromBottom - buttonHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(MessageMargin, MessageMargin, MessageMargin, bottomMargin);
    layout->setSpacing(MessageMargin + RoomBelowMessage - ButtonsFromBottom);
    layout->addLayout(message, 1);
    layout->addLayout(buttons);

    resize(420, 180);
}

void frmMsgBox::showEvent(QShowEvent* event) {
    // The callers set the text before showing the box: the box never shrinks
    // until its wrapped lines are cut.
    KeepWrappedTextWhole(this, fontMetrics().averageCharWidth() * 40);
    resize(size().expandedTo(minimumSize()));
    QDialog::showEvent(event);
}

void frmMsgBox::answer(qint16 code) {
    MsgBoxResult = code;
    close();
}

void frmMsgBox::cmdOK_Click() { answer(1); }
void frmMsgBox::cmdCancel_Click() { answer(2); }
void frmMsgBox::cmdYes_Click() { answer(6); }
void frmMsgBox::cmdNo_Click() { answer(7); }

void frmMsgBox::box_Change() {}
