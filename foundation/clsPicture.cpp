#include "foundation/clsPicture.h"

#include "platform/Dialogs.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {
// Sizes are whole pixels; a negative size draws nothing.
int pixels(double size) { return size > 0 ? int(std::lround(size)) : 0; }
}  // namespace

void clsPicture::init(const QString& fileName, QLabel* control) {
    if (!fileName.isEmpty() && QFileInfo(fileName).isFile()) {
        if (m_pic.load(fileName)) {
            m_actualFilename = fileName;
            m_picWidth = m_pic.width();
            m_picHeight = m_pic.height();
        } else {
            platform::MsgBox("Cant load the picture " + fileName);
        }
    } else {
        platform::MsgBox(QStringLiteral("File doesnt exist"));
    }
    if (!control) return;
    m_picControl = control;
    BlankOutput();
    control->setScaledContents(false);
    control->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    control->setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void clsPicture::displayInPicControl(QWidget*) {
    if (!m_picControl) return;
    m_picControl->setPixmap(m_pic);
    m_picControl->update();
}

void clsPicture::BlankOutput() {
    if (m_picControl) m_picControl->clear();
}

void clsPicture::draw(int width, int height) {
    BlankOutput();
    if (!m_picControl || m_pic.isNull() || width <= 0 || height <= 0) return;
    m_picControl->setPixmap(m_pic.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QObject* clsPicture::resizeAbsolute(float newWidth, float newHeight) {
    if (!m_picControl) return nullptr;
    draw(pixels(newWidth), pixels(newHeight));
    SetControlInnerSize(pixels(newWidth), pixels(newHeight));
    return nullptr;
}

void clsPicture::resizeByPercent(float percent) {
    if (!m_picControl) return;
    const int width = pixels(m_picWidth * percent / 100.0);
    const int height = pixels(m_picHeight * percent / 100.0);
    draw(width, height);
    m_picControl->resize(width, height);
    SetControlInnerSize(width, height);
}

void clsPicture::resizeToFitContainer(QWidget* container) {
    // Without a picture there is no size to scale from.
    if (!m_picControl || !container || m_picWidth <= 0 || m_picHeight <= 0) return;
    const QRect inner = container->contentsRect();
    const double byHeight = 100.0 * inner.height() / m_picHeight;
    const double byWidth = 100.0 * inner.width() / m_picWidth;
    const double percent = std::min(byHeight, byWidth);
    m_lastWidth = float(m_picWidth * percent / 100.0);
    m_lastHeight = float(m_picHeight * percent / 100.0);
    draw(pixels(m_lastWidth), pixels(m_lastHeight));
    m_picControl->resize(pixels(m_lastWidth), pixels(m_lastHeight));
    SetControlInnerSize(pixels(m_lastWidth), pixels(m_lastHeight));
}

void clsPicture::SetControlInnerSize(int width, int height) {
    QLabel* c = m_picControl;
    if (!c) return;
    const int frameWidth = c->width() - c->contentsRect().width();
    const int frameHeight = c->height() - c->contentsRect().height();
    c->setGeometry(c->x(), c->y(), width + frameWidth, height + frameHeight);
}
