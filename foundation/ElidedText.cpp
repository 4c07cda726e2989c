#include "foundation/ElidedText.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHelpEvent>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QToolTip>

namespace {

// Shows the whole text of the row under the pointer as its tool tip.
class RowToolTips : public QObject {
public:
    explicit RowToolTips(QAbstractItemView* view) : QObject(view), m_view(view) {}

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) return false;
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = m_view->indexAt(help->pos());
        // A row with a tool tip of its own, or no row: the view's own handling.
        if (!index.isValid() || !index.data(Qt::ToolTipRole).toString().isEmpty()) return false;
        const QString text = index.data(Qt::DisplayRole).toString();
        if (text.isEmpty()) return false;
        QToolTip::showText(help->globalPos(), text, m_view->viewport(), m_view->visualRect(index));
        return true;
    }

private:
    QAbstractItemView* m_view;
};

}  // namespace

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QSize ElidedLabel::minimumSizeHint() const {
    const QMargins m = contentsMargins();
    const int least = fontMetrics().horizontalAdvance(QStringLiteral("/…/MMMM"));
    return {least + m.left() + m.right() + qMax(indent(), 0) + 2 * margin(), QLabel::minimumSizeHint().height()};
}

QString ElidedLabel::shownText() const {
    const int width = contentsRect().width() - 2 * margin() - qMax(indent(), 0);
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, qMax(width, 0));
}

void ElidedLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawFrame(&painter);
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    if (indent() > 0) {
        if (alignment() & Qt::AlignRight)
            area.setRight(area.right() - indent());
        else
            area.setLeft(area.left() + indent());
    }
    style()->drawItemText(&painter, area, int(alignment()) | Qt::TextSingleLine, palette(), isEnabled(), shownText(),
                          foregroundRole());
}

bool ElidedLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (shownText() != text())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

ElidedPathBox::ElidedPathBox(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { setToolTip(text); });
}

QString ElidedPathBox::shownText() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const QMargins m = textMargins();
    // A box draws its text a few pixels in from its contents' edges.
    const int width = area.width() - m.left() - m.right() - 4;
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, qMax(width, 0));
}

void ElidedPathBox::paintEvent(QPaintEvent* event) {
    const QString shown = shownText();
    // While the user selects text, the box shows it as it is.
    if (hasSelectedText() || shown == text()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    area = area.marginsRemoved(textMargins()).adjusted(2, 0, -2, 0);
    style()->drawItemText(&painter, area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, palette(), isEnabled(),
                          shown, QPalette::Text);
}

void ElideRowsInTheMiddle(QAbstractItemView* view) {
    view->setTextElideMode(Qt::ElideMiddle);
    // A plain list lays its rows out as wide as their text: held to the
    // view's width, the rows are shortened instead of scrolled.
    if (auto* list = qobject_cast<QListView*>(view)) {
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setUniformItemSizes(true);
    }
    view->viewport()->installEventFilter(new RowToolTips(view));
}

WholeTextComboBox::WholeTextComboBox(QWidget* parent) : QComboBox(parent) {}

void WholeTextComboBox::showPopup() {
    // Some styles make the open list as wide as the closed box and cut the
    // entries: it is made as wide as the widest entry needs, in the list's own
    // font and item look, each time it opens.
    QAbstractItemView* list = view();
    int widest = 0;
    for (int row = 0; row < count(); ++row)
        widest = qMax(widest, list->sizeHintForIndex(model()->index(row, modelColumn(), rootModelIndex())).width());
    const int scrollBar = count() > maxVisibleItems() ? list->verticalScrollBar()->sizeHint().width() : 0;
    list->setMinimumWidth(widest + 2 * list->frameWidth() + scrollBar);
    QComboBox::showPopup();
}

namespace {
// The room the style gives the chosen entry's text in a closed box: the text
// is drawn a pixel in from each side of the field, after the icon.
int textRoom(const QComboBox& box, const QStyleOptionComboBox& option) {
    QRect field = box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &box);
    if (!option.currentIcon.isNull()) field.setLeft(field.left() + option.iconSize.width() + 4);
    return field.width() - 2;
}
}  // namespace

bool WholeTextComboBox::cutsCurrentText() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return fontMetrics().horizontalAdvance(currentText()) > textRoom(*this, option);
}

void WholeTextComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (!isEditable())
        option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideRight, textRoom(*this, option));
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

bool WholeTextComboBox::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (cutsCurrentText())
            QToolTip::showText(help->globalPos(), currentText(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QComboBox::event(event);
}
