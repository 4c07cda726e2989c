#pragma once
// The main window's controls that hold an automatic run's parameters. The
// main window hands them out; the run reads and fills them.
class QDateTimeEdit;
class QLineEdit;
class QListWidget;
class QTreeWidget;
class FileListModel;

struct BackupParameters {
    QDateTimeEdit* DTPicker1 = nullptr;  // first modification day
    QDateTimeEdit* DTPicker2 = nullptr;  // last modification day
    QTreeWidget* lstPath = nullptr;      // the folders to back up
    QListWidget* lstXTN = nullptr;       // the file-name patterns
    FileListModel* lvwFiles = nullptr;   // the file list the run builds and copies
    QTreeWidget* lvExclude = nullptr;    // the excluded folders
    QLineEdit* txtDestDir = nullptr;     // the backup destination
    QTreeWidget* lstAllPaths = nullptr;  // receives the expanded folder list
    int listFileErrors = 0;              // list files the window's load could not read
    bool pathListUnread = false;         // the folder list among them: the list may miss every change
};
