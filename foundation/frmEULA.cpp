#include "foundation/frmEULA.h"

#include "platform/Process.h"
#include "platform/SystemInfo.h"

#include <QEvent>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
std::function<void(frmEULA&)>& shownHook() {
    static std::function<void(frmEULA&)> h;
    return h;
}

// The built-in text is used as it stands when it is longer than this; only a
// shorter one is replaced by license.txt.
constexpr int kLicenseFileLimit = 2900;
}  // namespace

QString BuiltInAgreementText() {
    static const char* const lines[] = {
        "TAMSEL SOFTWARES CORVEX - END USER LICENSE AGREEMENT",
        "",
        "Please read this agreement carefully before you use the software. By",
        "pressing \"I Agree\" you accept every term below. If you do not accept",
        "them, press \"I Disagree\": the program then ends and writes nothing.",
        "",
        "1. THE SOFTWARE",
        "\"The software\" means the backup program Corvex, its settings program,",
        "their help pages and every file that came with them. The software is",
        "licensed to you, not sold. Tamsel Softwares keeps the title to it and",
        "to every copy of it.",
        "",
        "2. WHAT YOU MAY DO",
        "You may install and use the software on the computers you own or",
        "control, and make copies of it for your own safekeeping. You may give",
        "an unchanged copy of the installation package to others, provided that",
        "you charge nothing for it and that this agreement goes with it.",
        "",
        "3. WHAT YOU MAY NOT DO",
        "You may not sell, rent or lease the software, remove or change its",
        "notices of ownership, or pass it off as your own work. You may not",
        "take the software apart to make a product that competes with it.",
        "",
        "4. YOUR FILES",
        "The software copies files that you name to a folder that you name. It",
        "never deletes your original files, and it replaces an older backup",
        "copy only with a newer copy of the same file. You remain responsible",
        "for choosing what is backed up, for checking that the copies are made,",
        "and for keeping other copies of data that matters to you. No backup",
        "program can protect files that it was never asked to copy, or copies",
        "that are kept on the same disk as the originals when that disk fails.",
        "",
        "5. NO WARRANTY",
        "The software is provided \"as is\", without warranty of any kind,",
        "express or implied, including the implied warranties of merchantable",
        "quality, fitness for a particular purpose and non-infringement. The",
        "whole risk as to the quality and performance of the software is with",
        "you. Tamsel Softwares does not promise that the software is free of",
        "faults or that it will run without interruption.",
        "",
        "6. LIMITATION OF LIABILITY",
        "To the extent the law allows, neither Tamsel Softwares nor anyone who",
        "took part in making the software is liable for any damage arising from",
        "its use or from being unable to use it, including lost data, lost",
        "profit or the cost of replacement goods, even when told beforehand",
        "that such damage could occur. Where liability cannot be excluded it is",
        "limited to the amount you paid for the software.",
        "",
        "7. UPDATES AND SUPPORT",
        "Tamsel Softwares may publish updates of the software. This agreement",
        "covers them unless they come with an agreement of their own. Support",
        "is given by e-mail, as far as time allows, and is not owed.",
        "",
        "8. ENDING THIS AGREEMENT",
        "This agreement lasts until it ends. You may end it at any time by",
        "removing the software and every copy of it. It ends by itself when you",
        "break one of its terms; you must then remove the software as well.",
        "",
        "9. GENERAL",
        "This agreement is the whole agreement between you and Tamsel Softwares",
        "about the software. If a court finds one of its terms void, the other",
        "terms still hold. A failure to enforce a term is not a waiver of it.",
        "",
        "Thank you for choosing Tamsel Softwares.",
    };
    QStringList all;
    for (const char* line : lines) all << QString::fromUtf8(line);
    return all.join('\n');
}

QString AgreementTextFor(const QString& text, const QString& licenseFile) {
    if (text.size() > kLicenseFileLimit) return text;
    QFile f(licenseFile);
    if (!f.open(QIODevice::ReadOnly)) return text;
    QString content = QString::fromUtf8(f.readAll());
    content.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return content;
}

frmEULA::frmEULA(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmEULA"));
    setWindowTitle(QStringLiteral(" End User License Agreement"));
    setModal(true);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1->setFocusPolicy(Qt::StrongFocus);
    Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Text1->setPlainText(BuiltInAgreementText());
    Text1->installEventFilter(this);

    Command1 = new QPushButton(QStringLiteral("I Agree"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setEnabled(false);
    Command1->setAutoDefault(false);
    Command2 = new QPushButton(QStringLiteral("I Disagree"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setEnabled(false);
    Command2->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text1);
    layout->addLayout(buttons);
    resize(620, 460);

    connect(Command1, &QPushButton::clicked, this, &frmEULA::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmEULA::Command2_Click);

    Form_Load();
}

void frmEULA::Form_Load() {
    Text1->setPlainText(AgreementTextFor(Text1->toPlainText(), platform::ProgramFolder() + "/license.txt"));
}

void frmEULA::Text1_GotFocus() {
    Command1->setEnabled(true);
    Command2->setEnabled(true);
}

void frmEULA::Command1_Click() { accept(); }

void frmEULA::Command2_Click() {
    platform::EndProgram();
    // Only reached where the program end is replaced (tests): leave the modal
    // loop so that the caller sees the refusal.
    done(Disagreed);
}

// Closing the window by the window system counts as agreeing.
void frmEULA::reject() { accept(); }

// Escape is no answer: the agreement is accepted only by the button or by
// closing the window, never by a stray key.
void frmEULA::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmEULA::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::FocusIn) Text1_GotFocus();
    return QDialog::eventFilter(watched, event);
}

void frmEULA::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The text box is the only control that can take the focus while the
    // buttons are disabled; give it the focus so the buttons come alive even
    // where the window system does not activate new windows.
    Text1->setFocus(Qt::OtherFocusReason);
    if (!hasFocus() && !Text1->hasFocus()) Text1_GotFocus();
    if (shownHook() && !m_hookCalled) {
        m_hookCalled = true;
        QTimer::singleShot(0, this, [this] {
            if (auto& h = shownHook()) h(*this);
        });
    }
}

void frmEULA::SetShownHook(std::function<void(frmEULA&)> hook) { shownHook() = std::move(hook); }

bool ShowAgreement(QWidget* parent) {
    frmEULA form(parent);
    return form.exec() != frmEULA::Disagreed;
}
