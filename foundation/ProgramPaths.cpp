#include "foundation/ProgramPaths.h"

#include "platform/SystemInfo.h"

QString SettingsFilePath() { return platform::ProgramFolder() + QStringLiteral("/corvex.ini"); }
QString SettingsProgramPath() { return platform::ProgramFolder() + QStringLiteral("/vantor"); }
QString BackupProgramPath() { return platform::ProgramFolder() + QStringLiteral("/corvex"); }
