#pragma once
// Event records for the Plandel day planner: finding and checking its data
// folder, the monthly data files, the record line, record IDs, the duplicate
// test and the append. The backup program writes one record per copied file
// (when recording is on) and one per run.
#include "foundation/FileListModel.h"

#include <QDate>
#include <QString>

// One event of a data file: fifteen text fields, numbered 0 to 14.
struct PlandelRecord {
    QString Id;           // 0
    QString EventDate;    // 1 "yyyyMMdd"
    QString Action;       // 2
    QString EventTime;    // 3 "HHmm"
    QString Text;         // 4 the free text, written last
    QString Reserved5;    // 5
    QString Kind;         // 6
    QString Reserved7;    // 7
    QString FilePath;     // 8
    QString Reserved[6];  // 9 to 14

    // Field n (0 to 14) as numbered above.
    const QString& field(int n) const;
};

// The folder of the data files (ending in "/" once loaded) and the data file in use.
extern QString PlandelDataPath;
extern QString CurrentDataFile;

// The separator written after every field of a record line: character 31.
QString PlandelSeparator();

// Reads [plandel] dataPath from settingsFile ("" stands for the program's
// settings file, and the caller's text receives that path), checks that the
// folder can be written (asking for another one when it cannot) and makes sure
// the current month's data file exists.
void LoadPlandelSettings(QString& settingsFile);

// Leaves folder as it is when it can be written; otherwise asks the user for
// a folder and, when that one can be written, stores it and uses it.
void CheckPlandelDataPath(QString& folder);

// A data folder named by Plandel's own settings files in the program folder,
// or by the user.
QString FindPlandelDataPath();

// The data file of the date's month, created holding one empty line when missing.
QString GetPlandelFileNameForDate(const QDate& date);

// Appends the record to the data file of its own month, filling in its Id,
// unless the same date, time and text are already there. A run reads each data
// file once and then only appends to it (the run record ends the run), so a
// record costs the same however long the file is; lines added by another
// program meanwhile are read again. A data file that is not a regular file (a
// FIFO, a device, a link to one) is never opened: the record is lost with a
// level-0 log line.
void AddPlandelRecord(PlandelRecord& record);

// Fields 0, 1, 2, 3, 5 to 14 and 4, each followed by separator, then
// terminator; "" for a record without Id, Action, EventTime and Text.
QString FormatPlandelRecord(const PlandelRecord& record, const QString& separator, const QString& terminator);

// True when CurrentDataFile already holds a record of this date, time and text.
bool PlandelRecordExists(const QString& date, const QString& time, const QString& text);

// A new record ID for date in dataFile: a prefix letter, "yyyyMMdd" and a
// sequence of at least four digits, one past the day's highest in the file.
QString GetUniqueID(const QString& dataFile, const QDate& date, const QString& separator);

// The ID that follows lastID on date; "" when lastID is empty.
QString createNextID(const QDate& date, const QString& lastID);

// Records one copied file from its file-list row.
void RecordFileToPlandel(const FileListModel::Row& row);

// Records one backup run.
void RecordBackupToPlandel(qint64 files, qint64 bytes, qint64 errors, const QString& destination);

// The text of a run record.
QString PlandelRunText(qint64 files, qint64 bytes, qint64 errors, const QString& destination);
