#pragma once
// Texts shown where they may not fit. Paths: the middle of the text gives way,
// so the start of the path and the file or folder name at its end stay
// readable, and the whole text is the tool tip. The entries of a drop-down
// list: whole in the open list, and as the tool tip where the box cuts one.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

class QAbstractItemView;

// A one-line label whose text() stays whole and is drawn shortened in the
// middle when the label is narrower than it; while shortened, its tool tip is
// the whole text (unless it has a tool tip of its own). It asks for no more
// width than a few letters, so a long path never widens its window.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(const QString& text = {}, QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    // The text as drawn at the label's present width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

// A read-only box for a path: it shows the path shortened in the middle,
// except while the user selects in it (to copy it); its tool tip is the whole
// path.
class ElidedPathBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ElidedPathBox(QWidget* parent = nullptr);
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The rows of a list or tree view are shortened in the middle, and a row
// without a tool tip of its own shows its whole text as one, whichever code
// made the row.
void ElideRowsInTheMiddle(QAbstractItemView* view);

// A drop-down list whose open list is as wide as its widest entry, so that
// every entry reads whole there, whatever the style makes of the list's
// width; where the closed box cuts the chosen entry, its tool tip is the
// whole text (unless it has a tool tip of its own).
class WholeTextComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit WholeTextComboBox(QWidget* parent = nullptr);

    void showPopup() override;
    // True when the closed box is too narrow for the chosen entry's text.
    bool cutsCurrentText() const;

protected:
    bool event(QEvent* event) override;
    // Draws the box as the style does, with a text too long for it ending in
    // "…" instead of in half a letter.
    void paintEvent(QPaintEvent* event) override;
};
