#include "backup/BackupValues.h"

QString PathListFile;
QString ExcludedPathListFile;
QString BackupTo;
int BackupType = 0;
int KeepPaths = 0;
bool RunningSilently = false;
int RunErrors = 0;

int RunExitStatus() { return RunErrors > 0 ? 1 : 0; }
