#include "foundation/ProgramValues.h"

QString IniFile;
AppLogger* AppLog = nullptr;
bool ScanStopRequested = false;
QString SelectedFolder;

void LogToAppLog(const QString& details) {
    if (AppLog) AppLog->log(details);
}
