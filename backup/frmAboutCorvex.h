#pragma once
// The backup program's about box: product name, version line, a short
// description and a link to the maker's web site, which turns red once used.
#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

class frmAboutCorvex : public QDialog {
    Q_OBJECT
public:
    explicit frmAboutCorvex(QWidget* parent = nullptr);

    QLabel* Label1[1] = {};  // the product name
    QLabel* lblVersion = nullptr;
    // 0: the product description, 1: the invitation to visit the web site.
    QLabel* Label2[2] = {};
    QGroupBox* frameAdvert = nullptr;
    QLabel* lblURL = nullptr;
    QPushButton* cmdOK = nullptr;

    void Form_Load();

public Q_SLOTS:
    void cmdOK_Click();
    void lblURL_Click();
};

// Shows a freshly loaded about box modally over owner.
void ShowAboutCorvex(QWidget* owner);

// Sets the colour a label's text is drawn in.
void SetLabelTextColour(QLabel* label, const QColor& colour);
