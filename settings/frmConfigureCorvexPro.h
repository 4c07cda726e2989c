#pragma once
// The settings program's main window. Its load is the program's start-up:
// first-run setup, the list-file paths, the "/QUICK" switch, then the window.
#include <QWidget>

class QLabel;
class QPushButton;

class frmConfigureCorvexPro : public QWidget {
    Q_OBJECT
public:
    explicit frmConfigureCorvexPro(QWidget* parent = nullptr);

    QPushButton* cmdRun = nullptr;
    QPushButton* cmdOptions = nullptr;
    QLabel* Image1 = nullptr;
    // A label array of which only element 1 exists.
    QLabel* Label1[2] = {nullptr, nullptr};
    QLabel* lblInstalledPath = nullptr;
    QLabel* lblVisitURL = nullptr;

    // The start-up. commandLine is the program's whole command-line text.
    // Returns false when the program ended instead of showing the window
    // (agreement declined, or "/QUICK").
    bool Form_Load(const QString& commandLine);

    void cmdRun_Click();
    void cmdOptions_Click();
    void Image1_Click();
    void Label1_Click(int index);
    void lblInstalledPath_Click();
    void lblVisitURL_Click();
    void lblVisitURL_MouseMove();

    // True while the backup program started by "&Run the Backup" runs.
    bool isWaiting() const { return m_waiting; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_waiting = false;
};

// The text of the about message.
QString AboutMessageText();
