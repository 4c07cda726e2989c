#pragma once
// The controls in which a backup run shows what it is doing. The start-up
// window and the main window hand theirs out; any of them may be null.
class QLabel;
class QProgressBar;
class QWidget;

struct StatusControls {
    QWidget* frameStatus = nullptr;              // shown when the run starts
    QLabel* lblFile = nullptr;                   // the step or the file being copied
    QProgressBar* ProgressBarCurrent = nullptr;  // the folder scan
    QProgressBar* ProgressBarTotal = nullptr;    // the copy loop
};
