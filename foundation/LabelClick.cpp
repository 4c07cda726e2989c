#include "foundation/LabelClick.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {

class LabelClickWatcher : public QObject {
public:
    LabelClickWatcher(QLabel* label, std::function<void()> onClick) : QObject(label), m_onClick(std::move(onClick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_onClick();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onClick;
};

}  // namespace

void OnLabelClick(QLabel* label, std::function<void()> onClick) {
    label->installEventFilter(new LabelClickWatcher(label, std::move(onClick)));
}
