#pragma once
// An automatic backup run.
struct BackupParameters;
struct StatusControls;

// Runs one automatic backup with the parameters held by the main window's
// controls and reports progress in status, which may be null (a silent run).
// The files of the last run's failed.txt are tried again. An empty or blank
// destination starts no backup: a level-0 log line, one run error, and with a
// status window the message below. Returns the run's number of errors: lists
// and folders that could not be read, failed copies, a missing destination, a
// backup folder that could not be named, made or written; they are added to
// RunErrors.
int RunBackup(const BackupParameters& parameters, const StatusControls* status);

// The information box of a start without a destination folder.
void ShowNoDestinationMessage();
