#pragma once
// The log viewer: lists the "*.log" files of one folder, shows the facts of
// the selected file and its text in one of four views (whole file, first 100
// lines, today's lines, today's lines of every listed log). A right-click
// menu opens the selected log through the desktop or deletes it. Modeless;
// closing it unloads it and leaves the program running.
#include <QWidget>

class FileListBox;
class QAction;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

class frmLogView : public QWidget {
    Q_OBJECT
public:
    explicit frmLogView(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* txtPath = nullptr;
    FileListBox* fileLogs = nullptr;
    // 0 "View Contents", 1 "First 100 Lines", 2 "Todays Entries",
    // 3 "All Files - Todays entries only".
    QRadioButton* optView[4] = {};
    QTreeWidget* lvStats = nullptr;
    QLabel* lblLogFile = nullptr;
    QLabel* lblFullFileName = nullptr;
    QPlainTextEdit* txtLogFile = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdClose = nullptr;
    QMenu* mnuLogFile = nullptr;
    QAction* mnuLogOpen = nullptr;
    QAction* mnuLogDelete = nullptr;

    void Form_Load();
    // Lists folder's logs and selects the whole-file view, as the menu does
    // each time it opens the viewer.
    void OpenOnFolder(const QString& folder);
    // Selects a view; a view that was not selected runs as if clicked.
    void SelectView(int index);
    // The view whose option is selected; -1 when none is.
    int CurrentView() const;

public Q_SLOTS:
    void cmdRefresh_Click();
    void cmdClose_Click();
    void fileLogs_Click();
    void optView_Click(int index);
    void mnuLogOpen_Click();
    void mnuLogDelete_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Pops up the menu beside the selected log; nothing when none is selected.
    void popUpMenuAtSelectedLog();
    void UpdateLogCaption();
    void showFacts(const QString& path);

    QButtonGroup* m_views = nullptr;
};

// Shows the log viewer on the program folder's logs: the viewer is created on
// first use and brought forward when it is already open.
frmLogView* ShowLogViewer();
