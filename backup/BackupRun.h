#pragma once
// An automatic backup run and the backup folder layout.
#include <QDate>
#include <QString>

class QWidget;

// Runs one automatic backup with the parameters held by parameterWindow (the
// main window: DTPicker1, DTPicker2, lstPath, lstXTN, lvwFiles, lvExclude,
// txtDestDir) and reports progress in statusWindow (frameStatus, lblFile,
// ProgressBarCurrent, ProgressBarTotal), which may be null.
void RunBackup(QWidget* parameterWindow, QWidget* statusWindow);

// The backup folder (ending in "/") for base and type, or "" for an unknown
// type. base gains a trailing "/". With create, the folder is made; when it
// cannot be made the user is told and the result is "".
QString MakeBackupFolderName(QString& base, int type, bool create);

QString BackupTypeName(int type);

// The folder below destination that receives the copy of source when the
// source folders are kept.
QString KeepPathFolder(const QString& destination, const QString& source);

// The week of the year, 1 to 54: weeks begin on Sunday and the week holding
// 1 January is week 1.
int WeekOfYear(const QDate& date);
