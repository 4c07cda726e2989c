// Placeholder window so that every layer links while the main window is written.
#include "backup/frmProgress.h"

frmProgress::frmProgress(QWidget* parent) : QMainWindow(parent) {}
void frmProgress::Form_Load() {}

frmProgress* TheProgressForm() {
    static frmProgress* form = nullptr;
    if (!form) {
        form = new frmProgress;
        form->Form_Load();
    }
    return form;
}
