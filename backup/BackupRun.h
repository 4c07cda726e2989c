#pragma once
// An automatic backup run.
struct BackupParameters;
struct StatusControls;

// Runs one automatic backup with the parameters held by the main window's
// controls and reports progress in status, which may be null (a silent run).
void RunBackup(const BackupParameters& parameters, const StatusControls* status);
