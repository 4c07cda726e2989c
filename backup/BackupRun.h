#pragma once
// An automatic backup run.
struct BackupParameters;
struct StatusControls;

// Runs one automatic backup with the parameters held by the main window's
// controls and reports progress in status, which may be null (a silent run).
// An empty or blank destination starts no backup: a level-0 log line, one run
// error (RunErrors), and with a status window the message below.
void RunBackup(const BackupParameters& parameters, const StatusControls* status);

// The information box of a start without a destination folder.
void ShowNoDestinationMessage();
