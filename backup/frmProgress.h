#pragma once
// The backup program's main window: the manual front end, and the holder of
// every automatic run's parameters.
#include <QMainWindow>

class frmProgress : public QMainWindow {
    Q_OBJECT
public:
    explicit frmProgress(QWidget* parent = nullptr);
    void Form_Load();
};

// The main window, created and loaded on first use (hidden while
// RunningSilently is set). Lives until the program ends.
frmProgress* TheProgressForm();
