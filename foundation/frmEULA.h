#pragma once
// The licence-agreement window, shown modally on the settings program's first
// run. "I Agree" (or closing the window) lets the caller go on; "I Disagree"
// ends the program at once.
#include <QDialog>
#include <functional>

class QPlainTextEdit;
class QPushButton;

class frmEULA : public QDialog {
    Q_OBJECT
public:
    // Result of exec() when the user disagreed. Outside tests exec() never
    // returns it, because the program has ended by then.
    static constexpr int Disagreed = 2;

    explicit frmEULA(QWidget* parent = nullptr);

    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;  // "I Agree"
    QPushButton* Command2 = nullptr;  // "I Disagree"

    void Form_Load();
    void Text1_GotFocus();
    void Command1_Click();
    void Command2_Click();

    // Called once the window is on screen, inside its modal loop. Tests use it
    // to press a button of the real window; an empty function removes it.
    static void SetShownHook(std::function<void(frmEULA&)> hook);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    bool m_hookCalled = false;
};

// The agreement text built into the program (more than 2,900 characters).
QString BuiltInAgreementText();

// The text the agreement window shows: text itself when it is longer than
// 2,900 characters; otherwise the whole of licenseFile when that file can be
// read, else text.
QString AgreementTextFor(const QString& text, const QString& licenseFile);

// Shows the agreement window modally. True when the user agreed (or closed the
// window); false when the user disagreed, in which case the program end has
// already been called.
bool ShowAgreement(QWidget* parent = nullptr);
