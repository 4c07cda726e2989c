#pragma once
// Message boxes, input boxes and the folder dialog. Every one of them goes
// through a single responder: by default the real Qt dialog, in tests a
// scripted responder that records the request and answers it.
#include <QString>
#include <functional>

class QWidget;

namespace platform {

enum class Buttons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { None = 0, OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct BoxRequest {
    enum class Kind { Message, Input, Folder };
    Kind kind = Kind::Message;
    QString title;
    QString text;  // message text, input prompt, or folder dialog title
    Buttons buttons = Buttons::OK;
    Icon icon = Icon::None;
    int defaultButton = 1;  // 1 = first button, 2 = second, 3 = third
    QString defaultText;    // input box default, or the folder dialog's start folder
};

struct BoxReply {
    Answer answer = Answer::OK;
    QString text;  // typed text or chosen folder; ignored for message boxes
};

using BoxResponder = std::function<BoxReply(const BoxRequest&)>;

// Installs a responder for every box; an empty function restores the real dialogs.
void SetBoxResponder(BoxResponder responder);

// The title every box carries when none is given: the program's name.
QString ProgramTitle();

// A modal message box. An empty title means the program's title.
Answer MsgBox(const QString& text, Buttons buttons = Buttons::OK, Icon icon = Icon::None, const QString& title = {},
              int defaultButton = 1);

// A modal input box; returns the typed text, or "" when cancelled.
QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {});

// The system's folder dialog; returns the chosen folder (no trailing "/"),
// or "" when cancelled.
QString ChooseFolder(QWidget* owner, const QString& title, const QString& startFolder);

}  // namespace platform
