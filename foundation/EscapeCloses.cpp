#include "foundation/EscapeCloses.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPointer>

namespace {

class EscapeWatcher : public QObject {
public:
    EscapeWatcher(QWidget* window, QAbstractButton* closeButton) : QObject(window), m_closeButton(closeButton) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier || !m_closeButton ||
            !m_closeButton->isEnabled())
            return false;
        // A held key closes once.
        if (!key->isAutoRepeat()) m_closeButton->click();
        return true;
    }

private:
    QPointer<QAbstractButton> m_closeButton;
};

}  // namespace

void CloseOnEscape(QWidget* window, QAbstractButton* closeButton) {
    window->installEventFilter(new EscapeWatcher(window, closeButton));
}
