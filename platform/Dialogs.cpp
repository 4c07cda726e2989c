#include "platform/Dialogs.h"

#include "platform/SystemInfo.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>

namespace platform {
namespace {

BoxResponder& responder() {
    static BoxResponder r;
    return r;
}

struct ButtonSpec {
    QMessageBox::StandardButton button;
    Answer answer;
};

QList<ButtonSpec> buttonsOf(Buttons b) {
    switch (b) {
    case Buttons::OK: return {{QMessageBox::Ok, Answer::OK}};
    case Buttons::OKCancel: return {{QMessageBox::Ok, Answer::OK}, {QMessageBox::Cancel, Answer::Cancel}};
    case Buttons::AbortRetryIgnore:
        return {{QMessageBox::Abort, Answer::Abort},
                {QMessageBox::Retry, Answer::Retry},
                {QMessageBox::Ignore, Answer::Ignore}};
    case Buttons::YesNoCancel:
        return {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}, {QMessageBox::Cancel, Answer::Cancel}};
    case Buttons::YesNo: return {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}};
    case Buttons::RetryCancel: return {{QMessageBox::Retry, Answer::Retry}, {QMessageBox::Cancel, Answer::Cancel}};
    }
    return {{QMessageBox::Ok, Answer::OK}};
}

QMessageBox::Icon iconOf(Icon i) {
    switch (i) {
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Information: return QMessageBox::Information;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

// Closing a box without a button means its cancel answer, or the only answer.
// The Abort, Retry, Ignore question has none (see NoEscape).
Answer escapeAnswer(Buttons b) {
    switch (b) {
    case Buttons::OK: return Answer::OK;
    case Buttons::YesNo: return Answer::No;
    default: return Answer::Cancel;
    }
}

// Swallows Escape and the close box, so that only a button ends the box: the
// Abort, Retry, Ignore question must not take a stray Escape for Abort, which
// ends the program.
class NoEscape : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel))
            return true;
        return QObject::eventFilter(watched, event);
    }
};

BoxReply realDialog(const BoxRequest& req) {
    switch (req.kind) {
    case BoxRequest::Kind::Message: {
        QMessageBox box(iconOf(req.icon), req.title, req.text);
        const auto specs = buttonsOf(req.buttons);
        QMessageBox::StandardButtons all;
        for (const auto& s : specs) all |= s.button;
        box.setStandardButtons(all);
        const int def = qBound(1, req.defaultButton, int(specs.size())) - 1;
        box.setDefaultButton(specs[def].button);
        NoEscape noEscape;
        if (req.buttons == Buttons::AbortRetryIgnore) box.installEventFilter(&noEscape);
        const int clicked = box.exec();
        for (const auto& s : specs)
            if (s.button == clicked) return {s.answer, {}};
        return {escapeAnswer(req.buttons), {}};
    }
    case BoxRequest::Kind::Input: {
        bool ok = false;
        const QString text = QInputDialog::getText(QApplication::activeWindow(), req.title, req.text, QLineEdit::Normal,
                                                   req.defaultText, &ok);
        return ok ? BoxReply{Answer::OK, text} : BoxReply{Answer::Cancel, {}};
    }
    case BoxRequest::Kind::Folder: {
        const QString dir = QFileDialog::getExistingDirectory(QApplication::activeWindow(), req.text, req.defaultText);
        return dir.isEmpty() ? BoxReply{Answer::Cancel, {}} : BoxReply{Answer::OK, dir};
    }
    }
    return {};
}

BoxReply ask(const BoxRequest& req) {
    auto& r = responder();
    return r ? r(req) : realDialog(req);
}

}  // namespace

void SetBoxResponder(BoxResponder r) { responder() = std::move(r); }

QString ProgramTitle() { return ProgramName(); }

Answer MsgBox(const QString& text, Buttons buttons, Icon icon, const QString& title, int defaultButton) {
    BoxRequest req;
    req.kind = BoxRequest::Kind::Message;
    req.title = title.isEmpty() ? ProgramTitle() : title;
    req.text = text;
    req.buttons = buttons;
    req.icon = icon;
    req.defaultButton = defaultButton;
    return ask(req).answer;
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    BoxRequest req;
    req.kind = BoxRequest::Kind::Input;
    req.title = title.isEmpty() ? ProgramTitle() : title;
    req.text = prompt;
    req.buttons = Buttons::OKCancel;
    req.defaultText = defaultText;
    const BoxReply reply = ask(req);
    return reply.answer == Answer::OK ? reply.text : QString();
}

QString ChooseFolder(QWidget* owner, const QString& title, const QString& startFolder) {
    Q_UNUSED(owner);
    BoxRequest req;
    req.kind = BoxRequest::Kind::Folder;
    req.title = ProgramTitle();
    req.text = title;
    req.buttons = Buttons::OKCancel;
    req.defaultText = startFolder;
    const BoxReply reply = ask(req);
    return reply.answer == Answer::OK ? reply.text : QString();
}

}  // namespace platform
