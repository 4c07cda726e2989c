#include "foundation/ProgramValues.h"

AppLogger* AppLog = nullptr;
bool ScanStopRequested = false;
QString SelectedFolder;

void LogToAppLog(const QString& details) {
    if (AppLog) AppLog->log(details);
}
