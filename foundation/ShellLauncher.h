#pragma once
// Opening documents, folders, pages and programs; the folder dialog.
#include <QString>

class QWidget;

// Opens file through the desktop (a program is started, anything else goes to
// its opener). The program does not wait. Failures are logged and shown in a
// message box; "" does nothing. minimised and params are kept for callers'
// sake: every caller passes false and "".
void LaunchFile(const QString& file, bool minimised = false, const QString& params = {});

// The system's folder dialog. root is the special-folder number the dialog
// starts from; 19 (the network neighbourhood) opens at the desktop's network
// mounts (/run/user/<uid>/gvfs), else /mnt, else /. Returns "" on Cancel.
QString BrowseForFolder(QWidget* owner, const QString& title, quint32 flags, quint32 root);
