#pragma once
// The backup program's start: loads the settings, then runs silently or shows
// the start-up window.
#include <QString>

// The program's entry: loads the settings, then runs silently or shows the
// start-up window.
void Main();

// Loads the settings into the program-wide values. When the settings file is
// missing it logs, starts the settings program and ends the program. Run as
// root, a settings file reached through a link root does not own is an error
// (SettingsFileRefused, counted in RunErrors) that ends the program with exit
// status 1.
bool Initialise();

// True when the runSilently setting asks for a run without windows.
bool IsSilentSetting(const QString& value);
