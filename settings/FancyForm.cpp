#include "settings/FancyForm.h"

#include "foundation/Logging.h"
#include "platform/Dialogs.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

namespace {

constexpr int kBands = 128;

// Paints the background of its form at the start of every paint event of the
// form, before the form's own painting and its children.
class FancyBackground : public QObject {
public:
    FancyBackground(QWidget* form, short r, short g, short b) : QObject(form), m_form(form), m_r(r), m_g(g), m_b(b) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_form && event->type() == QEvent::Paint) {
            QPainter painter(m_form);
            PaintFancyBackground(painter, m_form->size(), m_r, m_g, m_b);
        }
        return false;
    }

private:
    QWidget* m_form;
    short m_r, m_g, m_b;
};

}  // namespace

QColor FancyBandColour(int i, short shadeRed, short shadeGreen, short shadeBlue) {
    const int r = shadeRed * i;
    const int g = 127 - shadeGreen * i;
    const int b = 127 - shadeBlue * i;
    if (r < 0 || g < 0 || b < 0) return {};
    return QColor(qMin(r, 255), qMin(g, 255), qMin(b, 255));
}

void PaintFancyBackground(QPainter& painter, const QSize& size, short shadeRed, short shadeGreen, short shadeBlue) {
    const int w = size.width();
    const int h = size.height();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Each band covers 2/256 of the height; band edges are rounded to whole
    // pixels so that neighbouring bands meet without gaps.
    for (int i = 0; i < kBands; ++i) {
        const QColor colour = FancyBandColour(i, shadeRed, shadeGreen, shadeBlue);
        if (!colour.isValid()) break;
        const int top = (i * h) / kBands;
        const int bottom = ((i + 1) * h) / kBands;
        if (bottom > top) painter.fillRect(0, top, w, bottom - top, colour);
    }
    // Two nested lines: light along the top and left, grey along the bottom
    // and right, so the window looks raised.
    for (int i = 0; i <= 1; ++i) {
        painter.setPen(QPen(QColor(255, 255, 255), 1));
        painter.drawLine(i, i, w - 1 - i, i);
        painter.drawLine(i, i, i, h - 1 - i);
        painter.setPen(QPen(QColor(128, 128, 128), 1));
        painter.drawLine(i, h - 1 - i, w - 1 - i, h - 1 - i);
        painter.drawLine(w - 1 - i, i, w - 1 - i, h - 1 - i);
    }
    painter.restore();
}

void FancyForm(QWidget* form, short shadeRed, short shadeGreen, short shadeBlue) {
    if (!form) return;
    // A second call replaces the shades of the first.
    for (QObject* child : form->children()) {
        if (auto* old = dynamic_cast<FancyBackground*>(child)) {
            form->removeEventFilter(old);
            delete old;
        }
    }
    form->installEventFilter(new FancyBackground(form, shadeRed, shadeGreen, shadeBlue));
    form->update();

    bool fits = true;
    for (int i = 0; i < kBands && fits; ++i) fits = FancyBandColour(i, shadeRed, shadeGreen, shadeBlue).isValid();
    if (!fits) {
        const QString text = QStringLiteral("error in FancyForm : shadeRed=%1 shadeGreen=%2 shadeBlue=%3")
                                 .arg(shadeRed)
                                 .arg(shadeGreen)
                                 .arg(shadeBlue);
        platform::MsgBox(text);
        WriteLog(text, 3);
        return;
    }
    form->show();
}
