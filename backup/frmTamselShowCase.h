#pragma once
// The maker's product catalog: one entry at a time, chosen with a row of
// picture buttons. Ten entries describe products and entry 10 is the welcome
// page. Each entry has a heading, a one-line description, a web page (a link
// that turns red once used), features, details, a price, a size and a
// picture. The window can print an image of itself. Modal.
#include <QDialog>

#include <array>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// One catalog entry.
struct CatalogEntry {
    QString heading;
    QString description;  // one line
    QString webPage;
    QString features;
    QString details;  // may hold several lines
    QString price;
    QString size;
};

class frmTamselShowCase : public QDialog {
    Q_OBJECT
public:
    static constexpr int kEntries = 11;  // buttons and pictures 0..10
    static constexpr int kWelcome = 10;
    static constexpr int kSlots = 23;  // the table holds 23 entries; 11..22 stay empty

    explicit frmTamselShowCase(QWidget* parent = nullptr);

    QMenuBar* menuBar = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFileDummy = nullptr;  // the separator
    QAction* mnuFileExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QToolButton* cmdProduct[kEntries] = {};
    QLabel* imageScreen[kEntries] = {};
    QLabel* lblHeading = nullptr;
    QLabel* lblDescription = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* lblURL = nullptr;
    QLabel* lblFeatures = nullptr;
    QPlainTextEdit* lblDetails = nullptr;
    QLabel* lblCost = nullptr;
    QLabel* lblSize = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cmdOptions[1] = {};

    void Form_Load();
    // The entry on show; -1 before the load.
    int CurrentEntry() const { return m_current; }

public Q_SLOTS:
    void cmdProduct_Click(int index);
    void cmdOptions_Click(int index);
    void lblURL_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuHelpAbout_Click();


private:
    std::array<CatalogEntry, kSlots> m_entries;
    int m_current = -1;
};

// The eleven entries the catalog shows, the welcome page last.
std::array<CatalogEntry, frmTamselShowCase::kEntries> CatalogContent();

// Shows a freshly loaded catalog modally over owner.
void ShowTamselShowCase(QWidget* owner);
