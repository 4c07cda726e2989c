#pragma once
// An automatic backup run.
struct BackupParameters;
struct StatusControls;

// Runs one automatic backup with the parameters held by the main window's
// controls and reports progress in status, which may be null (a silent run).
// The files of the last run's failed.txt are tried again. Returns the run's
// number of errors: lists and folders that could not be read, failed copies,
// a backup folder that could not be named, made or written; they are added to
// RunErrors.
int RunBackup(const BackupParameters& parameters, const StatusControls* status);
