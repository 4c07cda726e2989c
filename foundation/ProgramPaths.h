#pragma once
// The files of the program folder that both programs name.
#include <QString>

// The settings file: program folder + "/corvex.ini".
QString SettingsFilePath();
// The settings program: program folder + "/vantor".
QString SettingsProgramPath();
// The backup program: program folder + "/corvex".
QString BackupProgramPath();
