#pragma once
// Shared set-up of the backup program's tests.
#include "backup/BackupValues.h"
#include "backup/PlannerRecords.h"
#include "backup/ProgramStart.h"
#include "foundation/IniFile.h"
#include "support/TestEnvironment.h"

// The moment every backup test runs at: Monday 28 April 2003, 14:05:30.
inline QDateTime BackupTestNow() { return QDateTime(QDate(2003, 4, 28), QTime(14, 5, 30)); }

// Points the program-wide values at the test's program folder, forgets the
// planner folder an earlier test found and the run errors, and fixes the clock.
inline void UseProgramFolderOf(TestEnvironment& env) {
    IniFile = env.ini();
    PathListFile = env.path("MyPaths.txt");
    ExcludedPathListFile = env.path("ExcludedPaths.txt");
    PlandelDataPath.clear();
    CurrentDataFile.clear();
    RunErrors = 0;
    env.setNow(BackupTestNow());
}
