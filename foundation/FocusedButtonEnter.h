#pragma once
// Enter (Return or the keypad's Enter) on a push or tool button that has the
// keyboard focus presses it, in every window of both programs, as Space does;
// where no such button has the focus the key goes on as before, so a window's
// default button keeps it. Installed once on the application by both
// programs' start-up (SetUpProgram).
#include <QObject>

class FocusedButtonEnter : public QObject {
    Q_OBJECT
public:
    // Installs one filter on the running application; calling it again does nothing.
    static void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
