#pragma once
// The backup folder: its name for each backup type, the folder below it that
// keeps a source's own folders, and the test destination.
#include <QDate>
#include <QString>

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

// True for a destination whose first nine characters, lower-cased, are
// "/dev/null": a test run that lists and counts the ticked files but copies
// nothing and keeps no list files in the backup folder.
bool IsTestDestination(const QString& destination);
