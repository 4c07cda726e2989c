#pragma once
// The backup program's own message window: a message (in lblText, or in the
// rich-text box `box` for a caller that shows it instead) and four answer
// buttons. The pressed button's code is left in MsgBoxResult and the window
// closes. The message area fills the window above a row of buttons along the
// bottom edge.
#include <QDialog>

class QLabel;
class QPushButton;
class QTextEdit;

// The code of the button last pressed in a frmMsgBox: 1 OK, 2 Cancel, 6 Yes,
// 7 No. Nothing reads it.
extern qint16 MsgBoxResult;

class frmMsgBox : public QDialog {
    Q_OBJECT
public:
    // Window sizes in pixels (15 twips each): the message's distance from the
    // window's left and top edges, the room kept below the message, and the
    // buttons' distance from the bottom edge to their top.
    static constexpr int MessageMargin = 8;       // 120 twips
    static constexpr int RoomBelowMessage = 42;   // 630 twips
    static constexpr int ButtonsFromBottom = 40;  // 600 twips

    explicit frmMsgBox(QWidget* parent = nullptr);

    QLabel* lblText = nullptr;
    QTextEdit* box = nullptr;  // hidden until a caller shows it in place of lblText
    QPushButton* cmdYes = nullptr;
    QPushButton* cmdNo = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdYes_Click();
    void cmdNo_Click();
    void box_Change();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void answer(qint16 code);
};
