#pragma once
// An automatic backup run and the backup folder layout.
#include <QString>

class QWidget;

// Runs one automatic backup with the parameters held by parameterWindow (the
// main window: DTPicker1, DTPicker2, lstPath, lstXTN, lvwFiles, lvExclude,
// txtDestDir) and reports progress in statusWindow (frameStatus, lblFile,
// ProgressBarCurrent, ProgressBarTotal), which may be null.
void RunBackup(QWidget* parameterWindow, QWidget* statusWindow);

// The backup folder (ending in "/") for base and type, or "" for an unknown
// type. base gains a trailing "/". With create, the folder is made.
QString MakeBackupFolderName(QString& base, int type, bool create);

QString BackupTypeName(int type);

// The folder below destination that receives the copy of source when the
// source folders are kept.
QString KeepPathFolder(const QString& destination, const QString& source);
